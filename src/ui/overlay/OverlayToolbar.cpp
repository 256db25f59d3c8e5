#include "OverlayToolbar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>

namespace tavelin {

OverlayToolbar::OverlayToolbar(std::function<void()> onCancel, std::function<void()> onCapture,
                               std::function<void(bool inside)> onHover, QWidget* parent)
    : QWidget(parent),
      onHover_(std::move(onHover)),
      cancel_(new QPushButton(tr("Cancel"), this)),
      capture_(new QPushButton(tr("Capture"), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(16);
    layout->setContentsMargins(20, 12, 20, 12);
    layout->addWidget(cancel_, 0, Qt::AlignVCenter);
    layout->addWidget(capture_, 0, Qt::AlignVCenter);
    for (QPushButton* button : {cancel_, capture_}) {
        button->setFocusPolicy(Qt::NoFocus);  // keys belong to the overlay's key handling
        button->setAutoDefault(false);
    }
    connect(cancel_, &QPushButton::clicked, this, [callback = std::move(onCancel)] { callback(); });
    connect(capture_, &QPushButton::clicked, this,
            [callback = std::move(onCapture)] { callback(); });
}

void OverlayToolbar::setCaptureEnabled(bool enabled) {
    capture_->setEnabled(enabled);
}

void OverlayToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(255, 255, 255, 40));
    painter.setBrush(QColor(36, 38, 42, 215));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void OverlayToolbar::enterEvent(QEnterEvent*) {
    onHover_(true);
}
void OverlayToolbar::leaveEvent(QEvent*) {
    onHover_(false);
}

}  // namespace tavelin
