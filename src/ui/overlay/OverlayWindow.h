#pragma once

#include <QWidget>

namespace tavelin {

class SelectionView;

// A borderless window above everything that covers one screen exactly and hosts that screen's
// SelectionView. The backend puts it over its screen (PlatformBackend::showOverlayWindow).
class OverlayWindow : public QWidget {
    Q_OBJECT

public:
    OverlayWindow();

    // Before the window is first shown: whether it shows what lies below it where its view
    // draws nothing (a screen without screenshot, under a compositor). Opaque windows repaint
    // faster.
    void setTranslucent(bool translucent);

    void setContent(SelectionView* view);
    SelectionView* content() const { return content_; }
    // Deletes the hosted view, which removes its key monitor.
    void releaseContent();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    SelectionView* content_ = nullptr;
};

}  // namespace tavelin
