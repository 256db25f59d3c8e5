#include "HeadlessCompositor.h"

#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <thread>

#include "OutputContent.h"
#include "PngDecode.h"
#include "TestUser.h"

namespace tavelin::testing_support {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);
constexpr int kCursorRestMs = 100;

std::string imageOfOutput(const std::string& directory, size_t index) {
    return directory + "/output-" + std::to_string(index + 1) + ".png";
}

void collectWindows(const nlohmann::json& node, const std::string& appId, const std::string& output,
                    std::vector<PlacedWindow>& into) {
    const std::string here = node.value("type", "") == "output" ? node.value("name", "") : output;
    if (node.value("app_id", nlohmann::json()).is_string() && node["app_id"] == appId) {
        const auto& rect = node["rect"];
        into.push_back({here, node.value("fullscreen_mode", 0) == 1, node.value("focused", false),
                        rect.value("x", 0), rect.value("y", 0), rect.value("width", 0),
                        rect.value("height", 0)});
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        if (!node.contains(children)) continue;
        for (const auto& child : node[children]) collectWindows(child, appId, here, into);
    }
}

}  // namespace

HeadlessCompositor::HeadlessCompositor(std::vector<OutputLayout> outputs)
    : outputs_(std::move(outputs)) {
    if (const std::string problem = testUserProblem(); !problem.empty()) {
        throw std::runtime_error(problem);
    }
    // A client that died must fail the test, not end it with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    chmod(runtime_.path().c_str(), 0700);
    writeConfiguration();
    handToTestUser(runtime_.path());

    const Environment environment{
        {"PATH", std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"},
        {"HOME", runtime_.path()},
        {"XDG_RUNTIME_DIR", runtime_.path()},
        {"WLR_BACKENDS", "headless"},
        {"WLR_RENDERER", "pixman"},
        {"WLR_LIBINPUT_NO_DEVICES", "1"},
        {"WLR_HEADLESS_OUTPUTS", std::to_string(outputs_.size())},
    };
    // The log goes to a file: a compositor blocked on a full pipe would stop the test.
    compositor_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c", "exec sway -c \"$0\" >\"$1\" 2>&1", runtime_.path() + "/config",
                    runtime_.path() + "/sway.log"}),
        environment);
    awaitSockets();
    startInput();
    awaitContent();
}

HeadlessCompositor::~HeadlessCompositor() {
    stop();
}

void HeadlessCompositor::stop() {
    input_.reset();
    if (compositor_) compositor_->kill(SIGTERM);
    compositor_.reset();
}

void HeadlessCompositor::writeConfiguration() const {
    std::ofstream config(runtime_.path() + "/config");
    for (size_t index = 0; index < outputs_.size(); ++index) {
        const OutputLayout& output = outputs_[index];
        const std::string image = imageOfOutput(runtime_.path(), index);
        writeOutputContentPng(index, output, image);
        config << "output " << outputName(index) << " resolution " << output.width << "x"
               << output.height << " position " << output.x << " " << output.y << " scale "
               << output.scale << " bg " << image << " stretch\n";
    }
    // A headless output draws the pointer into its frames, where captures would see it: it is
    // hidden once it rests.
    config << "default_border none\nfocus_follows_mouse no\nseat * hide_cursor " << kCursorRestMs
           << "\n";
}

void HeadlessCompositor::awaitSockets() {
    namespace fs = std::filesystem;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (socket_.empty() || ipcSocket_.empty()) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(runtime_.path(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) {
                socket_ = name;
            }
            if (name.rfind("sway-ipc.", 0) == 0) ipcSocket_ = entry.path().string();
        }
        if (!compositor_->isRunning() || std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("sway did not start: " +
                                     readFileContents(runtime_.path() + "/sway.log"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Environment HeadlessCompositor::clientEnvironment(Environment environment) const {
    environment["XDG_RUNTIME_DIR"] = runtime_.path();
    environment["WAYLAND_DISPLAY"] = socket_;
    environment["SWAYSOCK"] = ipcSocket_;
    return environment;
}

// The layout of the outputs still on, which an absolute pointer motion is measured over; the
// outputs start at the layout's origin.
std::pair<int, int> HeadlessCompositor::layoutExtent() const {
    int width = 0;
    int height = 0;
    for (size_t index = 0; index < outputs_.size(); ++index) {
        if (disabled_.contains(index)) continue;
        width = std::max(width, outputs_[index].x + outputs_[index].logicalWidth());
        height = std::max(height, outputs_[index].y + outputs_[index].logicalHeight());
    }
    return {width, height};
}

void HeadlessCompositor::startInput() {
    const auto [width, height] = layoutExtent();
    input_ = std::make_unique<InputChannel>(std::make_unique<ChildProcess>(
        asTestUser({runnableByTestUser(TAVELIN_WAYLAND_INPUT_BINARY), std::to_string(width),
                    std::to_string(height)}),
        clientEnvironment({{"PATH", "/usr/bin:/bin"}}), std::string{}, true));
}

// The first frames of a new output show something else than its background.
void HeadlessCompositor::awaitContent() {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    for (size_t index = 0; index < outputs_.size(); ++index) {
        const std::string shot = runtime_.path() + "/shown.png";
        for (;;) {
            runClient({"grim", "-o", outputName(index), shot});
            if (pngShowsOutputContent(shot, index, outputs_[index])) break;
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error(outputName(index) + " never showed its content");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

ProcessResult HeadlessCompositor::runClient(const std::vector<std::string>& argv) const {
    return runProcess(asTestUser(argv),
                      clientEnvironment({{"PATH", "/usr/bin:/bin"}, {"HOME", runtime_.path()}}));
}

std::vector<PlacedWindow> HeadlessCompositor::windowsOf(const std::string& appId) const {
    const ProcessResult tree = runClient({"swaymsg", "-r", "-t", "get_tree"});
    const auto json = nlohmann::json::parse(tree.out, nullptr, false);
    std::vector<PlacedWindow> windows;
    if (!json.is_discarded()) collectWindows(json, appId, {}, windows);
    return windows;
}


// sway 1.7 keeps measuring the pointer over the layout it started with; later ones over the
// outputs still on.
void HeadlessCompositor::disableOutput(size_t index) {
    if (runClient({"swaymsg", "output", outputName(index), "disable"}).exitStatus != 0) {
        throw std::runtime_error("cannot disable " + outputName(index));
    }
    if (runClient({"sway", "--version"}).out.find("sway version 1.7") != std::string::npos) return;
    disabled_.insert(index);
    const auto [width, height] = layoutExtent();
    input_->send("extent " + std::to_string(width) + " " + std::to_string(height));
}


}  // namespace tavelin::testing_support
