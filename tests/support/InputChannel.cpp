#include "InputChannel.h"

#include <stdexcept>

namespace tavelin::testing_support {

InputChannel::InputChannel(std::unique_ptr<ChildProcess> tool) : tool_(std::move(tool)) {
    if (tool_->nextLine(std::chrono::seconds(30)) != "ready") {
        throw std::runtime_error("no input: " + tool_->wait(std::chrono::seconds(1)).err);
    }
}

void InputChannel::send(const std::string& command) {
    tool_->writeInput(command + "\n");
    const std::string answer = tool_->nextLine(std::chrono::seconds(5));
    if (answer == "ok") return;
    throw std::runtime_error("input command " + command + ": " +
                             (answer.empty() ? tool_->wait(std::chrono::seconds(1)).err : answer));
}

void InputChannel::movePointer(int x, int y) {
    send("move " + std::to_string(x) + " " + std::to_string(y));
}

void InputChannel::drag(int fromX, int fromY, int toX, int toY) {
    movePointer(fromX, fromY);
    pressButton();
    movePointer((fromX + toX) / 2, (fromY + toY) / 2);
    movePointer(toX, toY);
    releaseButton();
}

}  // namespace tavelin::testing_support
