#include "WaylandCurtain.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "LayerShellProtocol.h"
#include "WaylandSession.h"
#include "core/image/Scrim.h"

namespace tavelin {
namespace {

// The compositor configures a new layer surface and answers a round trip at once; this bounds
// one that does not.
constexpr std::chrono::milliseconds kAnswerTimeout{1000};

// A surface states its size as pixels over a whole scale; anything else would be resampled.
bool showsPixelForPixel(const WaylandOutput& output) {
    return output.transform == WL_OUTPUT_TRANSFORM_NORMAL && output.scale >= 1 &&
           output.pixelWidth > 0 && output.pixelHeight > 0 &&
           output.pixelWidth == output.logicalWidth * output.scale &&
           output.pixelHeight == output.logicalHeight * output.scale;
}

void signal(const FileDescriptor& event) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(event.get(), &one, sizeof one);
}

void drain(const FileDescriptor& event) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(event.get(), &count, sizeof count);
}

void dimInPlace(const ShmBuffer& copy) {
    for (int y = 0; y < copy.height(); ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(copy.pixels().get() + size_t(copy.stride()) * size_t(y));
        dimKeepingRest(row, size_t(copy.width()));
    }
}

const zwlr_layer_surface_v1_listener kSheetListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t, uint32_t) {
            zwlr_layer_surface_v1_ack_configure(layer, serial);
            *static_cast<bool*>(data) = true;
        },
    // The output went away; the run notices the missing screen itself.
    .closed = [](void*, zwlr_layer_surface_v1*) {},
};

}  // namespace

WaylandCurtain::WaylandCurtain(std::shared_ptr<WaylandSession> session)
    : session_(std::move(session)) {}

std::unique_ptr<WaylandCurtain> WaylandCurtain::prepare(std::shared_ptr<WaylandSession> session) {
    if (!session->compositor() || !session->layerShell() || !session->shm() ||
        session->outputs().empty() ||
        !std::all_of(session->outputs().begin(), session->outputs().end(), showsPixelForPixel)) {
        return nullptr;
    }
    std::unique_ptr<WaylandCurtain> curtain(new WaylandCurtain(session));
    for (const WaylandOutput& output : session->outputs()) {
        Sheet& sheet = curtain->sheets_.emplace_back();
        sheet.output = &output;
        sheet.surface = wl_compositor_create_surface(session->compositor());
        sheet.layer = zwlr_layer_shell_v1_get_layer_surface(
            session->layerShell(), sheet.surface, output.handle, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "tavelin-capture");
        zwlr_layer_surface_v1_add_listener(sheet.layer, &kSheetListener, &sheet.configured);
        zwlr_layer_surface_v1_set_anchor(sheet.layer, kLayerShellAllEdges);
        zwlr_layer_surface_v1_set_exclusive_zone(sheet.layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            sheet.layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        wl_surface_set_buffer_scale(sheet.surface, output.scale);
        wl_surface_commit(sheet.surface);
    }
    if (session->seat()) {
        WaylandCurtain* self = curtain.get();
        curtain->input_ = std::make_unique<CurtainInput>(
            session->seat(), session->seatCapabilities(),
            [self](wl_surface* surface) {
                for (const Sheet& sheet : self->sheets_) {
                    if (sheet.surface == surface) return screenName(*sheet.output);
                }
                return std::string();
            },
            [self](HeldInput input) { self->record(std::move(input)); });
    }
    wl_display_flush(session->display());
    return curtain;
}

WaylandCurtain::~WaylandCurtain() {
    if (holder_.joinable()) {
        ending_ = true;
        signal(wake_);
        holder_.join();
    } else {
        takeDown();
    }
}

bool WaylandCurtain::show(const std::map<std::string, const ShmBuffer*>& copies) {
    std::string failure;
    const bool configured = session_->dispatchUntil(
        [this] {
            return std::all_of(sheets_.begin(), sheets_.end(),
                               [](const Sheet& sheet) { return sheet.configured; });
        },
        kAnswerTimeout, failure);
    if (!configured) return false;
    std::vector<const ShmBuffer*> shots;
    for (const Sheet& sheet : sheets_) {
        const auto copy = copies.find(screenName(*sheet.output));
        if (copy == copies.end() || copy->second->width() != sheet.output->pixelWidth ||
            copy->second->height() != sheet.output->pixelHeight) {
            return false;
        }
        shots.push_back(copy->second);
    }
    wake_ = FileDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    inputReady_ = FileDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_ || !inputReady_) return false;
    for (size_t index = 0; index < sheets_.size(); ++index) {
        Sheet& sheet = sheets_[index];
        dimInPlace(*shots[index]);
        // What the rounding took lies in the top byte, which XRGB leaves unread.
        sheet.shown = shots[index]->readAs(WL_SHM_FORMAT_XRGB8888);
        wl_surface_attach(sheet.surface, sheet.shown.buffer(), 0, 0);
        wl_surface_damage(sheet.surface, 0, 0, INT32_MAX, INT32_MAX);
        wl_surface_commit(sheet.surface);
    }
    wl_display_flush(session_->display());
    holder_ = std::thread(&WaylandCurtain::holdInput, this);
    return true;
}

void WaylandCurtain::handOver() {
    handOverAsked_ = true;
    signal(wake_);
}

std::vector<HeldInput> WaylandCurtain::takeInput() {
    const std::lock_guard lock(heldMutex_);
    drain(inputReady_);
    return std::exchange(held_, {});
}

void WaylandCurtain::record(HeldInput input) {
    const std::lock_guard lock(heldMutex_);
    held_.push_back(std::move(input));
    signal(inputReady_);
}

// The holder thread: the connection's only user once the curtain shows.
void WaylandCurtain::holdInput() {
    wl_display* display = session_->display();
    bool handedOver = false;
    while (!ending_) {
        if (handOverAsked_ && !handedOver) {
            // Whatever the compositor sent before the hand-over is passed on too.
            if (!session_->roundtrip(kAnswerTimeout)) break;
            handedOver = true;
        }
        if (handedOver && !(input_ && input_->isButtonHeld())) break;
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) return takeDown();
        }
        wl_display_flush(display);
        pollfd descriptors[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
        if (poll(descriptors, 2, -1) < 0) {
            wl_display_cancel_read(display);
            if (errno == EINTR) continue;
            break;
        }
        if (descriptors[0].revents) {
            if (wl_display_read_events(display) < 0) break;
        } else {
            wl_display_cancel_read(display);
        }
        if (descriptors[1].revents) drain(wake_);
        if (wl_display_dispatch_pending(display) < 0) break;
    }
    takeDown();
}

// The surfaces go first, so that the compositor sends what comes next to the windows beneath;
// what it sent the curtain before it had them gone still arrives, and is passed on.
void WaylandCurtain::takeDown() {
    for (Sheet& sheet : sheets_) {
        if (sheet.layer) zwlr_layer_surface_v1_destroy(sheet.layer);
        if (sheet.surface) wl_surface_destroy(sheet.surface);
        sheet.layer = nullptr;
        sheet.surface = nullptr;
    }
    if (input_) session_->roundtrip(kAnswerTimeout);
    input_.reset();
    for (Sheet& sheet : sheets_) sheet.shown = {};
    wl_display_flush(session_->display());
}

}  // namespace tavelin
