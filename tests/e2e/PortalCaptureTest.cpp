// The program forced onto the desktop portal (the real xdg-desktop-portal with its wlroots
// backend) or onto KWin's screenshot interface (a stand-in serving the compositor's pixels) on a
// headless compositor with outputs of scale 1 and 2.
#include <linux/input-event-codes.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>

#include "WaylandCaptureSession.h"
#include "support/PortalBus.h"
#include "support/TestUser.h"

namespace tavelin {
namespace {

using testing_support::kGrantedLine;
using testing_support::kNotGrantedLine;
using testing_support::PortalBus;
using testing_support::portalAppIdOfChildren;
using testing_support::WaylandCaptureSession;

struct PortalSession {
    WaylandCaptureSession capture;
    PortalBus portal;

    explicit PortalSession(bool startPortal = true) : portal(capture.compositor(), startPortal) {
        useSource("portal");
    }
    void useSource(const std::string& source) {
        auto& environment = capture.binary().environment();
        environment = portal.clientEnvironment(environment);
        environment["TAVELIN_WAYLAND_CAPTURE"] = source;
    }
    std::string run(const std::vector<std::string>& arguments) {
        return capture.binary().run(arguments).out;
    }
    std::unique_ptr<testing_support::ChildProcess> startStub(const char* binary,
                                                             const char* manner) {
        auto stub = portal.startClient({testing_support::runnableByTestUser(binary), manner});
        if (stub->nextLine(std::chrono::seconds(10)) != "ready") {
            ADD_FAILURE() << binary << " did not start";
        }
        return stub;
    }
    // A selection dragged across both outputs, the pixels coming from `source`.
    testing_support::CaptureOutcome captureDrag(const std::string& source) {
        useSource(source);
        // The compositor draws the pointer into the outputs until it rests; it rests away from
        // the selection.
        capture.compositor().input().movePointer(5, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        capture.start({"--out-dir", capture.binary().privateDirectory()});
        capture.compositor().input().drag(1200, 100, 1400, 300);
        capture.compositor().input().tapKey(KEY_ENTER);
        return capture.finish();
    }
    // The same drag's selection and PNG; the file is removed once read.
    std::pair<nlohmann::json, std::optional<testing_support::DecodedPng>> dragToPng(
        const std::string& source) {
        const auto outcome = captureDrag(source);
        EXPECT_EQ(outcome.status, 0) << source << outcome.out << outcome.err << portal.logs();
        if (outcome.status != 0) return {};
        auto png = testing_support::decodePngFile(outcome.record["imagePath"]);
        std::filesystem::remove(std::string(outcome.record["imagePath"]));
        return {outcome.record["selectionPoints"], std::move(png)};
    }
};

TEST(PortalModes, FollowThePermissionTheDesktopKeeps) {
    const struct {
        const char* stored;
        const std::string& checked;
        const char* bootstrapped;
        const std::string& checkedAfter;
    } cases[] = {
        // Nothing kept yet: the request lets the desktop decide; this one sends an image.
        {"", kNotGrantedLine, "granted", kGrantedLine},
        {"yes", kGrantedLine, "granted", kGrantedLine},
        // A refusal kept by the desktop is the user's answer: no request is made.
        {"no", kNotGrantedLine, "triggered_system_dialog", kNotGrantedLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        PortalSession session;
        if (*c.stored) session.portal.storePermission(portalAppIdOfChildren(), c.stored);
        EXPECT_EQ(session.run({}), c.checked);
        EXPECT_EQ(session.run({"--bootstrap-permission"}),
                  std::string(R"({"status":"success","action":")") + c.bootstrapped + "\"}\n");
        EXPECT_EQ(session.run({}), c.checkedAfter);
        EXPECT_FALSE(std::filesystem::exists(PortalBus::kScreenshotFile));
    }
}

// The bootstrap waits for the desktop's answer as long as the user may read its question; a host
// that gives up first learns that the desktop asked.
TEST(PortalModes, ABootstrapStoppedWhileTheDesktopAsksSaysSo) {
    PortalSession session(false);
    const auto stub = session.startStub(TAVELIN_PORTAL_STUB_BINARY, "silent");
    const auto bootstrap = session.capture.binary().start({"--bootstrap-permission"});
    ASSERT_EQ(stub->nextLine(std::chrono::seconds(10)), "asked");
    const auto stopped = std::chrono::steady_clock::now();
    bootstrap->kill(SIGTERM);
    const auto result = bootstrap->wait(std::chrono::seconds(10));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(2));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, R"({"status":"success","action":"triggered_system_dialog"})"
                          "\n");
    EXPECT_EQ(result.err, "");
}

// One picture of the whole desktop, cut per output: the scale-2 output at its native pixels, the
// scale-1 output from the picture's 2x enlargement of it. The composite matches the capture
// protocol's.
TEST(PortalCapture, ADragAcrossOutputsGivesThePngOfTheCaptureProtocol) {
    PortalSession session;
    session.portal.storePermission(portalAppIdOfChildren(), "yes");
    const auto [portalSelection, portalPng] = session.dragToPng("portal");
    EXPECT_FALSE(std::filesystem::exists(PortalBus::kScreenshotFile));
    const auto [protocolSelection, protocolPng] = session.dragToPng("screencopy");
    ASSERT_TRUE(portalPng && protocolPng);
    EXPECT_EQ(portalSelection, protocolSelection);
    ASSERT_EQ(portalPng->width, protocolPng->width);
    ASSERT_EQ(portalPng->height, protocolPng->height);
    // The part from the scale-2 output (x >= 80) is exact. The portal's picture enlarged the
    // scale-1 output with bilinear filtering, which no reduction undoes: its edges come back a
    // little soft, the rest as it was.
    long scale1Difference = 0;
    for (int y = 0; y < portalPng->height; ++y) {
        for (int x = 0; x < portalPng->width; ++x) {
            for (int channel = 0; channel < 4; ++channel) {
                const int difference =
                    std::abs(portalPng->at(x, y)[channel] - protocolPng->at(x, y)[channel]);
                if (x >= 80) {
                    ASSERT_EQ(difference, 0) << x << "," << y;
                }
                scale1Difference += difference;
            }
        }
    }
    EXPECT_LT(double(scale1Difference) / (80 * 200 * 4), 0.5);
}

TEST(PortalFaults, APortalThatFailsToDeliverEndsWithOneErrorRecord) {
    const struct {
        const char* stub;
        const char* errorMessage;
        std::chrono::seconds within;
    } cases[] = {
        {"silent",
         "Failed to capture displays: The desktop portal did not answer the screenshot request "
         "within 5 s",
         std::chrono::seconds(8)},
        {"refuse", "Failed to capture displays: Screen recording permission denied",
         std::chrono::seconds(3)},
        // Gone in the middle of the request: no waiting for the bound.
        {"vanish",
         "Failed to capture displays: The desktop portal went away during the screenshot request",
         std::chrono::seconds(3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stub);
        PortalSession session(false);
        session.portal.storePermission(portalAppIdOfChildren(), "yes");
        const auto stub = session.startStub(TAVELIN_PORTAL_STUB_BINARY, c.stub);
        const auto started = std::chrono::steady_clock::now();
        const auto outcome = testing_support::outcomeOf(
            session.capture.binary().run(testing_support::captureArguments({})));
        EXPECT_LT(std::chrono::steady_clock::now() - started, c.within);
        EXPECT_EQ(outcome.status, 1) << outcome.out << outcome.err;
        EXPECT_EQ(outcome.record["errorMessage"], c.errorMessage);
        EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    }
}

// KWin gives every output's native pixels: the composite is the capture protocol's, exactly,
// and KWin is asked without any prompt, whatever the portal keeps.
TEST(KWinCapture, ADragAcrossOutputsGivesThePngOfTheCaptureProtocol) {
    PortalSession session;
    const auto kwin = session.startStub(TAVELIN_KWIN_STUB_BINARY, "serve");
    session.useSource("kwin");
    EXPECT_EQ(session.run({}), kGrantedLine);
    EXPECT_EQ(session.run({"--bootstrap-permission"}), R"({"status":"success","action":"granted"})"
                                                       "\n");

    const auto [kwinSelection, kwinPng] = session.dragToPng("kwin");
    const auto [protocolSelection, protocolPng] = session.dragToPng("screencopy");
    ASSERT_TRUE(kwinPng && protocolPng);
    EXPECT_EQ(kwinSelection, protocolSelection);
    EXPECT_EQ(kwinPng->width, protocolPng->width);
    EXPECT_TRUE(kwinPng->rgba == protocolPng->rgba);
}

// A program no desktop entry allows gets KWin's refusal; the portal on the same desktop decides.
TEST(KWinCapture, ARefusalLeavesItToThePortal) {
    PortalSession session;
    const auto kwin = session.startStub(TAVELIN_KWIN_STUB_BINARY, "refuse");
    session.useSource("kwin");
    EXPECT_EQ(session.run({}), kNotGrantedLine);
    session.portal.storePermission(portalAppIdOfChildren(), "yes");
    EXPECT_EQ(session.run({}), kGrantedLine);
    const auto outcome = session.captureDrag("kwin");
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(PortalBus::kScreenshotFile));
}

}  // namespace
}  // namespace tavelin
