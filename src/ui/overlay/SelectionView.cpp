#include "SelectionView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "core/geometry/GlobalSpace.h"
#include "core/overlay/OverlayLayout.h"
#include "ui/overlay/KeyHandling.h"
#include "ui/overlay/OverlayDrawing.h"
#include "ui/overlay/OverlayToolbar.h"
#include "ui/overlay/QtImage.h"

namespace tavelin {

SelectionView::SelectionView(const Rect& screenFrame, std::optional<Image> backgroundImage,
                             SelectionState& state, SelectionViewCallbacks callbacks,
                             bool isPrimaryScreenView, const Rect& desktopPrimary, QWidget* parent)
    : QWidget(parent),
      screenFrame_(screenFrame),
      state_(state),
      callbacks_(std::move(callbacks)),
      isPrimaryScreenView_(isPrimaryScreenView),
      desktopPrimary_(desktopPrimary),
      observerId_(state.observers.add([this] { willChange(); })) {
    setBackground(std::move(backgroundImage));
    setMouseTracking(true);
    if (isPrimaryScreenView_) {
        toolbar_ = new OverlayToolbar([this] { callbacks_.onCancel(); },
                                      [this] {
                                          if (const auto selection = state_.displayedSelection())
                                              callbacks_.onCapture(*selection);
                                      },
                                      [this](bool inside) {
                                          state_.isOverToolbar = inside;
                                          state_.updateCursor();
                                      },
                                      this);
        toolbar_->setCaptureEnabled(state_.displayedSelection().has_value());
        // Its size does not depend on the view's: measured now, its fonts load before the
        // first frame is due.
        toolbar_->adjustSize();
    }
}

void SelectionView::setBackground(std::optional<Image> image) {
    backgroundImage_ = std::move(image);
    background_ = backgroundImage_ ? wrapImage(*backgroundImage_) : QImage();
    // Every pixel is painted from the screenshot: nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent, backgroundImage_.has_value());
}

SelectionView::~SelectionView() {
    removeKeyMonitor();
    state_.observers.remove(observerId_);
}

std::optional<Rect> SelectionView::localSelection() const {
    const auto displayed = state_.displayedSelection();
    if (!displayed) return std::nullopt;
    return globalToView(*displayed, screenFrame_, viewSize_.height);
}

Point SelectionView::globalPoint(const QMouseEvent& event) const {
    const QPointF desktop = event.globalPosition();
    return desktopToGlobal(Point{desktop.x(), desktop.y()}, desktopPrimary_);
}

bool SelectionView::showsPointerLayers() const {
    return isMouseInThisView_ && !state_.isOverToolbar && !state_.isOverSelection;
}

void SelectionView::dragChanged(const QMouseEvent& event) {
    willChange();
    localMousePosition_ = {event.position().x(), event.position().y()};
    isMouseInThisView_ = true;
    const Point current = globalPoint(event);
    if (!state_.dragStart.get()) {
        state_.beginDrag(pressPosition_.value_or(current));
        if (state_.isDraggingSelection) {
            state_.showCursor();
            state_.setCursorShape(CursorShape::closedHand);
        }
    }
    if (state_.isResizing) {
        state_.resizeSelection(current);
    } else {
        state_.updateDrag(current);
    }
}

void SelectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressPosition_ = globalPoint(*event);
    dragChanged(*event);
}

void SelectionView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The toolkit reports the second press first, and the drag handling has taken it; without
    // it, this event is that press.
    if (!pressPosition_) mousePressEvent(event);
    isDoubleClick_ = pressPosition_.has_value();
}

void SelectionView::mouseMoveEvent(QMouseEvent* event) {
    if (pressPosition_ && (event->buttons() & Qt::LeftButton)) {
        dragChanged(*event);
        return;
    }
    willChange();
    localMousePosition_ = {event->position().x(), event->position().y()};
    isMouseInThisView_ = true;
    state_.updateHover(globalPoint(*event));
    state_.updateCursor();
}

void SelectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressPosition_) return;
    pressPosition_.reset();
    state_.endDrag();
    state_.updateCursor();
    if (std::exchange(isDoubleClick_, false)) {
        const auto selection = state_.displayedSelection();
        if (selection && selection->contains(globalPoint(*event))) callbacks_.onCapture(*selection);
    }
}

void SelectionView::leaveEvent(QEvent*) {
    willChange();
    isMouseInThisView_ = false;
}

void SelectionView::resizeEvent(QResizeEvent*) {
    viewSize_ = {double(width()), double(height())};
    positionToolbar();
}

void SelectionView::positionToolbar() {
    if (!toolbar_) return;
    toolbar_->adjustSize();
    toolbar_->move((width() - toolbar_->width()) / 2, height() - 40 - toolbar_->height());
}

void SelectionView::showEvent(QShowEvent*) {
    installKeyMonitor();
}
void SelectionView::hideEvent(QHideEvent*) {
    removeKeyMonitor();
}

void SelectionView::installKeyMonitor() {
    if (!isPrimaryScreenView_ || keyMonitorInstalled_) return;
    qApp->installEventFilter(this);
    keyMonitorInstalled_ = true;
}

void SelectionView::removeKeyMonitor() {
    if (!keyMonitorInstalled_) return;
    qApp->removeEventFilter(this);
    keyMonitorInstalled_ = false;
}

bool SelectionView::eventFilter(QObject* watched, QEvent* event) {
    // Every key press the application receives, in any of its windows, passes through here.
    if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return handleOverlayKey(identifyKey(*key), key->modifiers(), state_, callbacks_);
    }
    return QWidget::eventFilter(watched, event);
}

void SelectionView::willChange() {
    if (updatePending_) return;
    updatePending_ = true;
    pendingFootprint_ = footprint();
    QMetaObject::invokeMethod(this, &SelectionView::didChange, Qt::QueuedConnection);
}

void SelectionView::didChange() {
    updatePending_ = false;
    const Footprint now = footprint();
    update(pendingFootprint_.marks | now.marks | (pendingFootprint_.cutout ^ now.cutout));
    if (toolbar_) toolbar_->setCaptureEnabled(state_.displayedSelection().has_value());
}

}  // namespace tavelin
