#include "OverlayWindow.h"

#include "ui/overlay/SelectionView.h"

namespace tavelin {

OverlayWindow::OverlayWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void OverlayWindow::setTranslucent(bool translucent) {
    setAttribute(Qt::WA_TranslucentBackground, translucent);
}

void OverlayWindow::setContent(SelectionView* view) {
    releaseContent();
    content_ = view;
    content_->setParent(this);
    content_->setGeometry(rect());
}

void OverlayWindow::releaseContent() {
    delete content_;
    content_ = nullptr;
}

void OverlayWindow::resizeEvent(QResizeEvent*) {
    if (content_) content_->setGeometry(rect());
}

}  // namespace tavelin
