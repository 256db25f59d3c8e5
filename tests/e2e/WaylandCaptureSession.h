#pragma once

#include <gtest/gtest.h>

#include <thread>

#include "CaptureSession.h"
#include "support/HeadlessCompositor.h"

namespace tavelin::testing_support {

inline constexpr const char* kAppId = "tavelin-capture";
inline constexpr int kSampleStride = 7;

// HEADLESS-1: 1280x800 at the origin, scale 1; HEADLESS-2: 1024x768 pixels at scale 2 (512x384
// points) to its right.
inline const std::vector<OutputLayout> kMixedScales = {{0, 0, 1280, 800, 1},
                                                       {1280, 0, 1024, 768, 2}};

// One run of the real program on a private headless compositor, driven with virtual input.
class WaylandCaptureSession {
public:
    explicit WaylandCaptureSession(std::vector<OutputLayout> outputs = kMixedScales)
        : compositor_(std::move(outputs)) {
        binary_.switchToTestUser();
        binary_.environment() = compositor_.clientEnvironment(binary_.environment());
    }

    HeadlessCompositor& compositor() { return compositor_; }
    BinaryRun& binary() { return binary_; }

    // Starts a capture and waits until every output shows the overlay (which holds the
    // keyboard from its first frame).
    void start(const std::vector<std::string>& arguments) {
        child_ = binary_.start(captureArguments(arguments));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        for (size_t index = 0; index < compositor_.outputs().size();) {
            // Mostly dimmed: a pre-placed selection shows its part undimmed.
            if (fractionShowingDimmedContent(index, kSampleStride) > 0.5) {
                ++index;
                continue;
            }
            if (!child_->isRunning() || std::chrono::steady_clock::now() > deadline) {
                FAIL() << "no overlay; " << child_->wait(std::chrono::seconds(1)).err;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Starts a capture and stops the program (SIGSTOP) the moment it is seen to freeze the first
    // output: before it can have done anything more. The caller goes on with SIGCONT.
    void startAndStopAtTheFreeze(const std::vector<std::string>& arguments) {
        child_ = binary_.start(captureArguments(arguments));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        for (;;) {
            // Stopped before each look, so that what is seen is all it has done.
            child_->kill(SIGSTOP);
            if (fractionShowingDimmedContent(0, kSampleStride) > 0.5) return;
            child_->kill(SIGCONT);
            if (!child_->isRunning() || std::chrono::steady_clock::now() > deadline) {
                FAIL() << "no overlay; " << child_->wait(std::chrono::seconds(1)).err;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // The share of output `index`'s pixels, every `stride`th in each direction, that show its
    // content under the overlay's scrim.
    double fractionShowingDimmedContent(size_t index, int stride) {
        const std::string shown = binary_.privateDirectory() + "/shown.png";
        compositor_.runClient({"grim", "-o", HeadlessCompositor::outputName(index), shown});
        return testing_support::fractionShowingDimmedContent(shown, index,
                                                             compositor_.outputs()[index], stride);
    }

    // Waits until output `index` no longer shows the overlay, as once the user confirmed.
    void awaitOverlayGone(size_t index) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (fractionShowingDimmedContent(index, kSampleStride) > 0.5) {
            if (std::chrono::steady_clock::now() > deadline) FAIL() << "the overlay stays";
        }
    }

    void signal(int number) { child_->kill(number); }
    CaptureOutcome finish() { return outcomeOf(child_->wait(std::chrono::seconds(15))); }

private:
    HeadlessCompositor compositor_;
    BinaryRun binary_;
    std::unique_ptr<ChildProcess> child_;
};

// Every pixel of the PNG equals what output `index` shows from native pixel (left, top) on.
inline void expectOutputContentInPng(const std::string& path, size_t index, int left, int top,
                                     int width, int height) {
    const auto png = decodePngFile(path);
    ASSERT_TRUE(png) << path;
    ASSERT_EQ(png->width, width);
    ASSERT_EQ(png->height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = png->at(x, y);
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), outputContentAt(index, left + x, top + y))
                << x << "," << y;
            ASSERT_EQ(p[3], 255);
        }
    }
}

// A selection placed from the command line on one output, and the native pixels it must cut.
struct PreplacedCase {
    const char* name;
    std::vector<std::string> arguments;
    size_t output;
    int pixelX, pixelY, pixelWidth, pixelHeight;
    double scale;
};

// The run saved the selection of `c`: its scale, its pixels and the output's content there.
inline void expectPreplacedCapture(const CaptureOutcome& outcome, const PreplacedCase& c) {
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["displayScale"], c.scale);
    EXPECT_EQ(outcome.record["selectionPixels"],
              rectJson(c.pixelX, c.pixelY, c.pixelWidth, c.pixelHeight));
    expectOutputContentInPng(outcome.record["imagePath"], c.output, c.pixelX, c.pixelY,
                             c.pixelWidth, c.pixelHeight);
}

}  // namespace tavelin::testing_support
