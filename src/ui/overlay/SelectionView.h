#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <optional>

#include "core/image/Image.h"
#include "core/selection/SelectionState.h"
#include "ui/overlay/SelectionViewCallbacks.h"

namespace tavelin {

class OverlayToolbar;

// One screen's interactive overlay: the frozen screenshot under a scrim, the selection, the
// crosshair and labels, the toolbar on the primary screen. Pointer input becomes calls on the
// shared SelectionState in global coordinates, taken from the events' global positions, so a
// drag that crosses onto a screen of another scale stays exact.
class SelectionView : public QWidget {
    Q_OBJECT

public:
    // `screenFrame` in global coordinates; `desktopPrimary` is the primary screen's rectangle
    // in the toolkit's desktop coordinates, for converting pointer positions.
    SelectionView(const Rect& screenFrame, std::optional<Image> backgroundImage,
                  SelectionState& state, SelectionViewCallbacks callbacks, bool isPrimaryScreenView,
                  const Rect& desktopPrimary, QWidget* parent = nullptr);
    ~SelectionView() override;

    // The frozen screenshot under the scrim, given before the view is first shown; without
    // one the view draws only the scrim.
    void setBackground(std::optional<Image> image);
    const Rect& screenFrame() const { return screenFrame_; }
    OverlayToolbar* toolbar() const { return toolbar_; }
    std::optional<Rect> localSelection() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Point globalPoint(const QMouseEvent& event) const;
    void dragChanged(const QMouseEvent& event);
    bool showsPointerLayers() const;
    // What the current state paints over the screenshot: thin marks (outline, labels,
    // crosshair), and the undimmed cutout, whose change alone needs repainting.
    struct Footprint {
        QRegion marks;
        QRegion cutout;
    };
    Footprint footprint() const;
    void willChange();
    void didChange();
    void installKeyMonitor();
    void removeKeyMonitor();
    void positionToolbar();
    void paintBackground(QPainter& painter, const QRegion& region);

    const Rect screenFrame_;
    std::optional<Image> backgroundImage_;
    QImage background_;
    SelectionState& state_;
    const SelectionViewCallbacks callbacks_;
    const bool isPrimaryScreenView_;
    const Rect desktopPrimary_;
    ObserverList::Id observerId_;

    Size viewSize_;
    Point localMousePosition_;
    bool isMouseInThisView_ = false;
    bool keyMonitorInstalled_ = false;
    std::optional<Point> pressPosition_;  // global; set while the left button is down
    bool isDoubleClick_ = false;

    // Repaints are gathered: the area the old state covered is kept until the new one is known.
    bool updatePending_ = false;
    Footprint pendingFootprint_;
    OverlayToolbar* toolbar_ = nullptr;
};

}  // namespace tavelin
