#pragma once

#include <memory>
#include <string>

#include "Process.h"

namespace tavelin::testing_support {

// A test's input tool (tests/tools: tavelin-wayland-input on wlroots, tavelin-kwin-input on
// KWin, tavelin-mutter-input on GNOME Shell), alive for the whole test: it says "ready", then
// takes commands on standard input and answers each with "ok" once the compositor has it.
class InputChannel {
public:
    // Waits for the tool to be ready; throws with its standard error when it is not.
    explicit InputChannel(std::unique_ptr<ChildProcess> tool);

    // Pointer to a global point in logical points; left button.
    void movePointer(int x, int y);
    void pressButton() { send("down"); }
    void releaseButton() { send("up"); }
    void drag(int fromX, int fromY, int toX, int toY);
    // Linux key codes (KEY_ESC = 1, ...).
    void tapKey(int code) { send("key " + std::to_string(code)); }
    void pressKey(int code) { send("keydown " + std::to_string(code)); }
    void releaseKey(int code) { send("keyup " + std::to_string(code)); }
    // Any other command the tool takes.
    void send(const std::string& command);

private:
    std::unique_ptr<ChildProcess> tool_;
};

}  // namespace tavelin::testing_support
