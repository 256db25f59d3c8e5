#pragma once

#include <QObject>
#include <QPointer>
#include <QScreen>
#include <functional>
#include <memory>
#include <vector>

#include "core/cli/AppArgs.h"
#include "core/selection/FrameHistory.h"
#include "core/selection/SelectionState.h"
#include "ui/overlay/OverlayWindow.h"
#include "ui/overlay/QtCursorControl.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// Opens one overlay window per screen over the frozen screenshots, all sharing one selection,
// and closes them again before it reports the user's decision. The windows can be made while
// the screens are being captured and shown once the screenshots are in.
class OverlayWindowController : public QObject {
    Q_OBJECT

public:
    explicit OverlayWindowController(const PlatformBackend& platform) : platform_(platform) {}
    ~OverlayWindowController() override;

    // Makes one hidden window per screen (as the screens are now) with its view, and the shared
    // selection: everything that needs no screenshot. `onCancel` and `onCapture` (a global
    // rectangle) run once the windows are gone; `onConfirm`, when given, as soon as the user
    // confirms, the windows still up.
    void prepare(const CaptureArgs& args, std::function<void()> onCancel,
                 std::function<void(const Rect&)> onCapture,
                 std::function<void(const Rect&)> onConfirm = {});
    // Puts each screen's screenshot under its view and shows the prepared windows.
    void present(const ScreenshotMap& screenshots);
    // Both return at once; the work runs in a later turn of the event loop, and not at all if
    // the controller is gone by then.
    void show(const ScreenshotMap& screenshots, const CaptureArgs& args,
              std::function<void()> onCancel, std::function<void(const Rect&)> onCapture);
    // Takes every window down, then, one more turn later, runs `completion`. A second request
    // while one is under way is dropped.
    void dismiss(std::function<void()> completion);
    void cycleHistory(bool forward);

    std::vector<std::unique_ptr<OverlayWindow>> windows;
    bool isDismissing = false;
    std::unique_ptr<SelectionState> selectionState;
    FrameHistory history;
    ScreenList screens;  // as they were when the windows opened

private:
    static constexpr int kKeyboardAttempts = 100;
    static constexpr int kKeyboardRetryMs = 20;
    void takeKeyboard(int attemptsLeft);

    const PlatformBackend& platform_;
    QtCursorControl cursor_;
    // The screen each of `windows` covers.
    std::vector<std::pair<std::string, QPointer<QScreen>>> windowScreens_;
};

}  // namespace tavelin
