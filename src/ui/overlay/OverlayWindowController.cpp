#include "OverlayWindowController.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "core/selection/DisplayIdentity.h"
#include "core/selection/InitialSelection.h"
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
                           openWindows(screenshots, args, onCancel, onCapture);
                       });
}

void OverlayWindowController::openWindows(const ScreenshotMap& screenshots, const CaptureArgs& args,
                                          const std::function<void()>& onCancel,
                                          const std::function<void(const Rect&)>& onCapture) {
    screens = platform_.screens();
    const auto main = mainScreenOf(screens);
    windows.clear();
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
        [weakSelf, onCancel] {
            if (weakSelf) weakSelf->dismiss(onCancel);
        },
        [weakSelf, onCapture](const Rect& rect) {
            if (weakSelf) weakSelf->dismiss([onCapture, rect] { onCapture(rect); });
        },
        [weakSelf](bool forward) {
            if (weakSelf) weakSelf->cycleHistory(forward);
        },
    };

    std::vector<QPointer<QWidget>> cursorTargets;
    for (const Screen& screen : screens) {
        QScreen* qtScreen = qtScreenNamed(screen.name);
        if (!qtScreen) continue;
        const auto shot = screenshots.find(screen.name);
        auto window = std::make_unique<OverlayWindow>(shot == screenshots.end());
        window->setContent(new SelectionView(
            screen.frame,
            shot == screenshots.end() ? std::nullopt : std::optional<Image>(shot->second),
            *selectionState, callbacks, screen.frame == screens.front().frame, desktopPrimary));
        platform_.showOverlayWindow(*window, *qtScreen);
        cursorTargets.emplace_back(window.get());
        windows.push_back(std::move(window));
    }
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
