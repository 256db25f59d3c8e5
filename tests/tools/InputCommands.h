#pragma once

// The command loop the input tools share: after "ready", one command a line on standard input,
// each answered with "ok" once the compositor has taken it:
//   move X Y                                  pointer to (X, Y), in the tool's space
//   down | up                                 left button
//   keydown CODE | keyup CODE | key CODE      Linux key code (KEY_ESC = 1, ...)
// and whatever `other` takes; anything else is answered "unknown VERB".
#include <cstdint>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

namespace tavelin::input_tools {

struct InputActions {
    std::function<void(double x, double y)> move;
    std::function<void(bool pressed)> button;
    std::function<void(uint32_t code, bool pressed)> key;
    // Returns false once the compositor can no longer be reached.
    std::function<bool()> sync;
    // A tool's own verbs: true when it took `verb`.
    std::function<bool(const std::string& verb, std::istream& arguments)> other;
};

inline int serveInputCommands(const InputActions& actions) {
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream command(line);
        std::string verb;
        command >> verb;
        if (verb == "move") {
            double x = 0, y = 0;
            command >> x >> y;
            actions.move(x, y);
        } else if (verb == "down" || verb == "up") {
            actions.button(verb == "down");
        } else if (verb == "keydown" || verb == "keyup" || verb == "key") {
            uint32_t code = 0;
            command >> code;
            if (verb != "keyup") actions.key(code, true);
            if (verb != "keydown") actions.key(code, false);
        } else if (!actions.other || !actions.other(verb, command)) {
            std::cout << "unknown " << verb << std::endl;
            continue;
        }
        if (actions.sync && !actions.sync()) return 1;
        std::cout << "ok" << std::endl;
    }
    return 0;
}

}  // namespace tavelin::input_tools
