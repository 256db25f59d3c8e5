#pragma once

#include <memory>
#include <vector>

#include "core/screens/ScreenPlatform.h"

class QCoreApplication;
class QScreen;
class QWidget;
class QWindow;

namespace tavelin {

// A whole display system behind one interface: its screens, permission and pixels, and how the
// toolkit's overlay windows are put over its screens and take the keyboard. One is chosen at
// start (BackendLoader.h); nothing else in the program names X11 or Wayland.
class PlatformBackend : public ScreenPlatform {
public:
    // Sets what the toolkit reads from the environment for a run that shows `windows`. Called
    // before any other thread starts: the environment changed while another thread reads it (a
    // display connection looking up its address) can crash that thread.
    virtual void prepareToolkit(bool /*windows*/) {}
    // The toolkit's application, speaking this backend's window system when the run shows
    // `windows`; one without windows otherwise, and when there is no display to show them on.
    virtual std::unique_ptr<QCoreApplication> startToolkit(int& argc, char** argv,
                                                           bool windows) = 0;
    // Whether captureAllDisplays needs nothing of the toolkit, so that the screens can be
    // frozen while the toolkit starts.
    virtual bool capturesBeforeToolkit() const { return true; }
    // Shows `window` borderless above every other window, covering exactly `screen`.
    virtual void showOverlayWindow(QWidget& window, QScreen& screen) const = 0;
    // Every overlay window has drawn its first frame: whatever the backend showed of the frozen
    // screens before them gives way, and input it held meanwhile goes to `windows` (keys to the
    // first).
    virtual void overlayDrawn(const std::vector<QWindow*>& /*windows*/) const {}
    // Directs the keyboard to `window`. False when it could not be had yet (another client
    // holds it) and is worth trying again shortly.
    virtual bool takeKeyboard(QWindow& window) const = 0;
    // The toolkit's message when this display system's connection breaks and it ends the
    // process itself, past every exit hook; empty when it ends through exit().
    virtual std::string lostConnectionMessage() const { return {}; }
};

}  // namespace tavelin
