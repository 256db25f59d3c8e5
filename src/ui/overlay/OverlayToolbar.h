#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

namespace tavelin {

// The "Cancel" and "Capture" buttons on a rounded translucent panel.
class OverlayToolbar : public QWidget {
    Q_OBJECT

public:
    OverlayToolbar(std::function<void()> onCancel, std::function<void()> onCapture,
                   std::function<void(bool inside)> onHover, QWidget* parent);

    void setCaptureEnabled(bool enabled);
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* captureButton() const { return capture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::function<void(bool)> onHover_;
    QPushButton* cancel_;
    QPushButton* capture_;
};

}  // namespace tavelin
