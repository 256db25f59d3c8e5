#include "OverlayWindowController.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "core/selection/DisplayIdentity.h"
#include "core/selection/InitialSelection.h"
#include "ui/overlay/FirstFrames.h"
#include "ui/overlay/SelectionView.h"
#include "ui/platform/QtGeometry.h"

namespace tavelin {
namespace {

QScreen* qtScreenNamed(const std::string& name) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name().toStdString() == name) return screen;
    }
    return nullptr;
}

// The toolkit posts a repaint of each child it shows with its window, although the window's
// first frame paints them all: a second full frame, 30 ms for a 4K screen, right after the
// first.
void dropRepaintsOfShownChildren(QWidget& window) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        QCoreApplication::removePostedEvents(child, QEvent::UpdateLater);
    }
}

}  // namespace

OverlayWindowController::~OverlayWindowController() {
    // Views observe the state; they go first.
    windows.clear();
}

void OverlayWindowController::show(const ScreenshotMap& screenshots, const CaptureArgs& args,
                                   std::function<void()> onCancel,
                                   std::function<void(const Rect&)> onCapture) {
    QTimer::singleShot(0, this,
                       [this, screenshots, args, onCancel = std::move(onCancel),
                        onCapture = std::move(onCapture)] {
                           prepare(args, onCancel, onCapture);
                           present(screenshots);
                       });
}

void OverlayWindowController::prepare(const CaptureArgs& args, std::function<void()> onCancel,
                                      std::function<void(const Rect&)> onCapture,
                                      std::function<void(const Rect&)> onConfirm) {
    screens = platform_.screens();
    const auto main = mainScreenOf(screens);
    windows.clear();
    windowScreens_.clear();
    selectionState = std::make_unique<SelectionState>(
        framesOf(screens), main ? std::optional<Rect>(main->frame) : std::nullopt, cursor_);
    history = FrameHistory(args.frameHistory);
    if (const auto initial = initialSelection(args, screens)) {
        selectionState->selectedRect = selectionState->fittedSelection(*initial);
    }

    // Pointer positions arrive in the toolkit's desktop; global space starts at the primary.
    const QScreen* qtPrimary = screens.empty() ? nullptr : qtScreenNamed(screens.front().name);
    const Rect desktopPrimary = qtPrimary ? desktopRect(qtPrimary->geometry()) : Rect{};
    QPointer<OverlayWindowController> weakSelf(this);
    const SelectionViewCallbacks callbacks{
        [weakSelf, onCancel = std::move(onCancel)] {
            if (weakSelf) weakSelf->dismiss(onCancel);
        },
        [weakSelf, onCapture = std::move(onCapture),
         onConfirm = std::move(onConfirm)](const Rect& rect) {
            if (!weakSelf) return;
            if (onConfirm) onConfirm(rect);
            weakSelf->dismiss([onCapture, rect] { onCapture(rect); });
        },
        [weakSelf](bool forward) {
            if (weakSelf) weakSelf->cycleHistory(forward);
        },
    };

    for (const Screen& screen : screens) {
        QScreen* qtScreen = qtScreenNamed(screen.name);
        if (!qtScreen) continue;
        auto window = std::make_unique<OverlayWindow>();
        // On its screen from the start: a window made on another screen and moved to one of
        // another scale paints its first frames at the wrong scale. The toolkit makes a window
        // on the screen under its position, whatever screen it was given.
        window->setScreen(qtScreen);
        window->setGeometry(qtScreen->geometry());
        window->setContent(new SelectionView(screen.frame, std::nullopt, *selectionState, callbacks,
                                             screen.frame == screens.front().frame,
                                             desktopPrimary));
        window->ensurePolished();
        windows.push_back(std::move(window));
        windowScreens_.emplace_back(screen.name, qtScreen);
    }
}

void OverlayWindowController::present(const ScreenshotMap& screenshots) {
    std::vector<std::unique_ptr<OverlayWindow>> shown;
    std::vector<QPointer<QWidget>> cursorTargets;
    std::vector<QWindow*> handles;
    for (size_t index = 0; index < windows.size(); ++index) {
        const auto& [name, qtScreen] = windowScreens_[index];
        if (!qtScreen) continue;  // gone since the window was made
        std::unique_ptr<OverlayWindow>& window = windows[index];
        const auto shot = screenshots.find(name);
        window->setTranslucent(shot == screenshots.end());
        window->content()->setBackground(shot == screenshots.end() ? std::nullopt
                                                                   : std::optional(shot->second));
        platform_.showOverlayWindow(*window, *qtScreen);
        dropRepaintsOfShownChildren(*window);
        cursorTargets.emplace_back(window.get());
        handles.push_back(window->windowHandle());
        shown.push_back(std::move(window));
    }
    FirstFrames::watch(
        handles,
        [this] {
            std::vector<QWindow*> drawn;  // the windows still up
            for (const auto& window : windows) drawn.push_back(window->windowHandle());
            platform_.overlayDrawn(drawn);
        },
        this);
    windows = std::move(shown);
    windowScreens_.clear();
    cursor_.setWindows(std::move(cursorTargets));
    if (!windows.empty()) takeKeyboard(kKeyboardAttempts);
    selectionState->hideCursor();
}

// The first window takes the keyboard. Another client may hold it for a moment (a hot-key daemon
// while its key is down), so a refusal is tried again for a while.
void OverlayWindowController::takeKeyboard(int attemptsLeft) {
    if (windows.empty() || isDismissing) return;
    QWindow* window = windows.front()->windowHandle();
    if (!window || platform_.takeKeyboard(*window) || attemptsLeft <= 1) return;
    QTimer::singleShot(kKeyboardRetryMs, this,
                       [this, attemptsLeft] { takeKeyboard(attemptsLeft - 1); });
}

void OverlayWindowController::dismiss(std::function<void()> completion) {
    QTimer::singleShot(0, this, [this, completion = std::move(completion)] {
        if (windows.empty()) {
            completion();
            return;
        }
        if (isDismissing) return;
        isDismissing = true;
        if (selectionState) selectionState->showCursor();
        for (const auto& window : windows) {
            window->hide();
            window->releaseContent();
            window->close();
        }
        windows.clear();
        cursor_.setWindows({});
        QTimer::singleShot(0, this, [this, completion] {
            isDismissing = false;
            completion();
        });
    });
}

void OverlayWindowController::cycleHistory(bool forward) {
    if (selectionState) history.cycleHistory(forward, *selectionState, screens);
}

}  // namespace tavelin
