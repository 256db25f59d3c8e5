#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "BinaryRun.h"
#include "support/PngDecode.h"
#include "support/VirtualDisplay.h"

namespace tavelin::testing_support {

// A 1280x800 primary monitor A and a 1024x768 monitor B to its right, 200 pixels lower.
inline const std::vector<MonitorLayout> kTwoMonitors = {{"A", 0, 0, 1280, 800},
                                                        {"B", 1280, 200, 1024, 768}};

// The check mode's two answers, each a line of standard output.
inline const std::string kGrantedLine = R"({"status":"success","permissionGranted":true})"
                                        "\n";
inline const std::string kNotGrantedLine = R"({"status":"success","permissionGranted":false})"
                                           "\n";

struct CaptureOutcome {
    int status = -1;
    int signal = 0;  // what ended the run, when a signal did
    nlohmann::json record;
    std::string out;
    std::string err;
};

// A capture run's arguments: "--capture", then `arguments`.
inline std::vector<std::string> captureArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"--capture"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

// The run's status and its record, the first line of its output.
inline CaptureOutcome outcomeOf(const ProcessResult& result) {
    CaptureOutcome outcome{result.exitStatus, result.signal, {}, result.out, result.err};
    const auto lineEnd = result.out.find('\n');
    if (lineEnd != std::string::npos) {
        outcome.record = nlohmann::json::parse(result.out.substr(0, lineEnd), nullptr, false);
    }
    return outcome;
}

// One capture run of the real program on a private X server, driven with real input.
class CaptureSession {
public:
    explicit CaptureSession(std::vector<MonitorLayout> monitors = kTwoMonitors,
                            std::map<std::string, std::string> environment = {})
        : display_(std::move(monitors)), binary_(display_.name()) {
        for (const auto& [name, value] : environment) binary_.environment()[name] = value;
    }

    VirtualDisplay& display() { return display_; }
    BinaryRun& binary() { return binary_; }

    // Starts the program and waits until every monitor shows an overlay window and the overlay
    // holds the keyboard.
    void start(const std::vector<std::string>& arguments) {
        child_ = binary_.start(captureArguments(arguments));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (display_.viewableOverlayWindows() < static_cast<int>(display_.monitors().size()) ||
               !display_.keyboardIsGrabbed()) {
            if (!child_->isRunning() || std::chrono::steady_clock::now() > deadline) {
                FAIL() << "no overlay; " << child_->wait(std::chrono::seconds(1)).err;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void xdotool(const std::vector<std::string>& arguments) { display_.xdotool(arguments); }

    // Presses and drags with the left button from one root point to another.
    void drag(int fromX, int fromY, int toX, int toY) {
        xdotool({"mousemove", std::to_string(fromX), std::to_string(fromY)});
        xdotool({"mousedown", "1"});
        xdotool(
            {"mousemove", std::to_string((fromX + toX) / 2), std::to_string((fromY + toY) / 2)});
        xdotool({"mousemove", std::to_string(toX), std::to_string(toY)});
        xdotool({"mouseup", "1"});
    }

    // Waits until the overlay's windows are gone, as they go once the user confirmed.
    void awaitOverlayGone() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (display_.viewableOverlayWindows() > 0) {
            if (std::chrono::steady_clock::now() > deadline) FAIL() << "the overlay stays";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void signal(int number) { child_->kill(number); }
    CaptureOutcome finish() { return outcomeOf(child_->wait(std::chrono::seconds(15))); }

private:
    VirtualDisplay display_;
    BinaryRun binary_;
    std::unique_ptr<ChildProcess> child_;
};

// Every pixel of the PNG equals the test pattern of the root rectangle at (left, top);
// pixels where `covered` is false must be transparent.
template <typename Covered>
void expectPatternInPng(const std::string& path, int left, int top, int width, int height,
                        Covered covered) {
    const auto png = decodePngFile(path);
    ASSERT_TRUE(png) << path;
    ASSERT_EQ(png->width, width);
    ASSERT_EQ(png->height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = png->at(x, y);
            if (!covered(left + x, top + y)) {
                ASSERT_EQ(p[3], 0) << "uncovered " << x << "," << y;
                continue;
            }
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), patternAt(left + x, top + y)) << x << "," << y;
            ASSERT_EQ(p[3], 255);
        }
    }
}

inline void expectPatternInPng(const std::string& path, int left, int top, int width, int height) {
    expectPatternInPng(path, left, top, width, height, [](int, int) { return true; });
}

inline nlohmann::json rectJson(double x, double y, double width, double height) {
    return {{"x", x}, {"y", y}, {"width", width}, {"height", height}};
}

}  // namespace tavelin::testing_support
