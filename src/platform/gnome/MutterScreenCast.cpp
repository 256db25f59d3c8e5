#include "MutterScreenCast.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PipeWireFrames.h"
#include "platform/bus/SessionBus.h"

namespace tavelin {
namespace {

constexpr char kService[] = "org.gnome.Mutter.ScreenCast";
constexpr char kPath[] = "/org/gnome/Mutter/ScreenCast";
constexpr char kInterface[] = "org.gnome.Mutter.ScreenCast";
constexpr char kSessionInterface[] = "org.gnome.Mutter.ScreenCast.Session";
constexpr char kStreamInterface[] = "org.gnome.Mutter.ScreenCast.Stream";
constexpr uint32_t kPointerHidden = 0;

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds(1));
}

CaptureFailure castFailure(const std::string& reason) {
    return CaptureFailure::platform("The screen cast failed: " + reason);
}

// A running screen cast session; stopped when it goes, without waiting for the answer.
class CastSession {
public:
    CastSession(SessionBus& bus, std::string path) : bus_(bus), path_(std::move(path)) {}
    ~CastSession() {
        bus_.send(methodCall(kService, path_.c_str(), kSessionInterface, "Stop"));
    }
    CastSession(const CastSession&) = delete;
    CastSession& operator=(const CastSession&) = delete;

    const std::string& path() const { return path_; }

private:
    SessionBus& bus_;
    std::string path_;
};

// The PipeWire node of each stream, in order, as each stream announces it after the start.
Result<std::vector<uint32_t>, std::string> awaitNodes(SessionBus& bus,
                                                      const std::vector<std::string>& streams,
                                                      Clock::time_point deadline) {
    std::vector<uint32_t> nodes(streams.size());
    size_t announced = 0;
    while (announced < streams.size()) {
        uint32_t node = 0;
        size_t index = streams.size();
        const auto signal = bus.awaitSignal(
            [&](DBusMessage& message) {
                if (!dbus_message_is_signal(&message, kStreamInterface, "PipeWireStreamAdded")) {
                    return false;
                }
                const char* path = dbus_message_get_path(&message);
                const auto found = std::find(streams.begin(), streams.end(), path ? path : "");
                const auto id = firstUint32(message);
                if (found == streams.end() || !id) return false;
                index = size_t(found - streams.begin());
                node = *id;
                return true;
            },
            deadline);
        if (!signal) return std::string("no stream started in time");
        nodes[index] = node;
        ++announced;
    }
    return nodes;
}

}  // namespace

bool mutterScreenCastOffered() {
    const auto bus = SessionBus::connect();
    return bus && bus->nameHasOwner(kService);
}

Result<ScreenshotMap, CaptureFailure> captureThroughMutter(const ScreenList& screens,
                                                           std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    const auto bus = SessionBus::connect();
    if (!bus) return castFailure("no session bus");
    BusMessage create = methodCall(kService, kPath, kInterface, "CreateSession");
    appendOptions(*create, {});
    auto created = bus->call(std::move(create), leftUntil(deadline));
    if (!created) return castFailure(created.error());
    const auto sessionPath = firstObjectPath(**created);
    if (!sessionPath) return castFailure("no session");
    CastSession session(*bus, *sessionPath);

    bus->listen(std::string("type='signal',sender='") + kService + "',interface='" +
                kStreamInterface + "',member='PipeWireStreamAdded'");
    std::vector<std::string> streams;
    for (const Screen& screen : screens) {
        BusMessage record = methodCall(kService, session.path().c_str(), kSessionInterface,
                                       "RecordMonitor");
        appendStrings(*record, {screen.name.c_str()});
        // The recording dot, unlike the sharing button, leaves the top bar with the session.
        appendOptions(*record, {{"cursor-mode", kPointerHidden}, {"is-recording", true}});
        auto recorded = bus->call(std::move(record), leftUntil(deadline));
        if (!recorded) return castFailure(screen.name + ": " + recorded.error());
        const auto stream = firstObjectPath(**recorded);
        if (!stream) return castFailure(screen.name + ": no stream");
        streams.push_back(*stream);
    }
    auto started = bus->call(methodCall(kService, session.path().c_str(), kSessionInterface, "Start"),
                             leftUntil(deadline));
    if (!started) return castFailure(started.error());
    const auto nodes = awaitNodes(*bus, streams, deadline);
    if (!nodes) return castFailure(nodes.error());
    auto frames = firstFramesOf(*nodes, deadline);
    if (!frames) return castFailure(frames.error());
    ScreenshotMap screenshots;
    for (size_t i = 0; i < screens.size(); ++i) screenshots[screens[i].name] = (*frames)[i];
    return screenshots;
}

}  // namespace tavelin
