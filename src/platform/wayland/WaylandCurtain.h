#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CurtainInput.h"
#include "ShmBuffer.h"
#include "core/FileDescriptor.h"

struct zwlr_layer_surface_v1;

namespace tavelin {

class WaylandSession;
struct WaylandOutput;

// The frozen screens shown the moment they are captured, under the overlay's scrim, on layer
// surfaces above everything of a connection of our own, while the toolkit's windows are still
// being made. Meanwhile the curtain holds the pointer and keyboard; once the windows have drawn,
// it passes on what it held and goes.
class WaylandCurtain {
public:
    // One surface per output of `session`, to be configured while the outputs are copied. Null
    // where the compositor offers no layer shell or an output could not be shown pixel for pixel
    // (turned, or at a scale a surface cannot state).
    static std::unique_ptr<WaylandCurtain> prepare(std::shared_ptr<WaylandSession> session);
    ~WaylandCurtain();
    WaylandCurtain(const WaylandCurtain&) = delete;
    WaylandCurtain& operator=(const WaylandCurtain&) = delete;

    // Shows every output's copy under the scrim and starts holding input, on a thread of its
    // own. `copies`, by output name, hold each output's pixels (BGRX, top row first, at its
    // size); they are dimmed in place as dimKeepingRest does, for the screenshots to be restored
    // from them. False, having touched nothing, unless every output has its copy.
    bool show(const std::map<std::string, const ShmBuffer*>& copies);
    // The toolkit's windows show the screens now. The curtain passes on what it still holds and
    // goes once no button is down: a drag begun on it is passed on until it ends.
    void handOver();
    // Readable while held input waits to be taken; any thread.
    int inputReadyDescriptor() const { return inputReady_.get(); }
    std::vector<HeldInput> takeInput();

private:
    struct Sheet {
        const WaylandOutput* output = nullptr;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        ShmBuffer shown;  // the output's copy, read as XRGB
        bool configured = false;
    };

    explicit WaylandCurtain(std::shared_ptr<WaylandSession> session);
    void record(HeldInput input);
    void holdInput();
    void takeDown();

    std::shared_ptr<WaylandSession> session_;
    std::deque<Sheet> sheets_;  // a deque: listeners hold pointers to its elements
    std::unique_ptr<CurtainInput> input_;
    FileDescriptor wake_;        // an eventfd: handOver() or the end asks the thread to look
    FileDescriptor inputReady_;  // an eventfd: set while `held_` has input
    std::atomic<bool> handOverAsked_{false};
    std::atomic<bool> ending_{false};
    std::mutex heldMutex_;
    std::vector<HeldInput> held_;
    std::thread holder_;
};

}  // namespace tavelin
