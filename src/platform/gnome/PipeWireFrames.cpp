#include "PipeWireFrames.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "core/image/RawPixels.h"

namespace tavelin {
namespace {

std::optional<PixelLayout> layoutOf(spa_video_format format) {
    switch (format) {
        case SPA_VIDEO_FORMAT_BGRx: return PixelLayout::bgrx;
        case SPA_VIDEO_FORMAT_BGRA: return PixelLayout::bgra;
        case SPA_VIDEO_FORMAT_RGBx: return PixelLayout::rgbx;
        case SPA_VIDEO_FORMAT_RGBA: return PixelLayout::rgba;
        default: return std::nullopt;
    }
}

// The raw video this program reads: 32-bit pixels of any size, at whatever rate.
const spa_pod* offeredFormats(spa_pod_builder& builder) {
    const spa_rectangle anySize{1920, 1080}, smallest{1, 1}, largest{16384, 16384};
    const spa_fraction anyRate{0, 1}, slowest{0, 1}, fastest{1000, 1};
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat,
        SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
        SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw),
        SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx,
                               SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBx,
                               SPA_VIDEO_FORMAT_RGBA),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&anySize, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&anyRate, &slowest, &fastest)));
}

// Buffers in shared memory that we map: a frame is copied once, straight out of them.
void askForSharedMemory(pw_stream* stream) {
    uint8_t storage[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_pod* params[] = {
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers,
            SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr)))),
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
            SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
            SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header)))),
    };
    pw_stream_update_params(stream, params, 2);
}

// The buffer's picture, or nothing when it carries none (an empty or damaged buffer).
std::optional<Image> pictureIn(const spa_buffer& buffer, const spa_video_info_raw& format) {
    const auto layout = layoutOf(format.format);
    const spa_data& data = buffer.datas[0];
    if (!layout || buffer.n_datas < 1 || !data.data || !data.chunk || data.chunk->size == 0 ||
        (data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED)) {
        return std::nullopt;
    }
    const auto* header = static_cast<const spa_meta_header*>(
        spa_buffer_find_meta_data(&buffer, SPA_META_Header, sizeof(spa_meta_header)));
    if (header && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED)) return std::nullopt;
    const int width = int(format.size.width);
    const int height = int(format.size.height);
    const size_t rowBytes = size_t(width) * Image::kBytesPerPixel;
    const size_t stride = data.chunk->stride > 0 ? size_t(data.chunk->stride) : rowBytes;
    const size_t offset = data.chunk->offset % std::max<uint32_t>(data.maxsize, 1);
    if (width <= 0 || height <= 0 || stride < rowBytes ||
        offset + stride * size_t(height - 1) + rowBytes > data.maxsize) {
        return std::nullopt;
    }
    Image image = Image::allocate(width, height);
    const auto* source = static_cast<const uint8_t*>(data.data) + offset;
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.mutableRow(y), source + stride * size_t(y), rowBytes);
    }
    const bool opaque =
        toPremultipliedBgraInPlace(image.mutableRow(0), width, height, image.stride(), *layout);
    return opaque ? image.asOpaque() : image;
}

class FrameGrab;

// One node's stream and the frame it gave.
struct NodeStream {
    FrameGrab* grab = nullptr;
    uint32_t nodeId = 0;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_video_info_raw format{};
    std::optional<Image> frame;
};

// The streams of every node on one connection to the daemon, run on the calling thread until
// each has a frame, the deadline passes or something fails.
class FrameGrab {
public:
    explicit FrameGrab(const std::vector<uint32_t>& nodeIds) {
        for (uint32_t id : nodeIds) {
            auto node = std::make_unique<NodeStream>();
            node->grab = this;
            node->nodeId = id;
            nodes_.push_back(std::move(node));
        }
    }
    ~FrameGrab();

    Result<std::vector<Image>, std::string> run(std::chrono::steady_clock::time_point deadline);

    // PipeWire's callbacks, on the loop's thread.
    static void onGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                         const spa_dict* props);
    static void onCoreError(void* data, uint32_t id, int, int res, const char* message);
    static void onStreamState(void* data, pw_stream_state, pw_stream_state state,
                              const char* error);
    static void onStreamParam(void* data, uint32_t id, const spa_pod* param);
    static void onStreamProcess(void* data);
    static void onDeadline(void* data, uint64_t);

private:
    void follow(NodeStream& node, const char* serial);
    void fail(std::string reason);
    void quitWhenComplete();

    std::vector<std::unique_ptr<NodeStream>> nodes_;
    pw_main_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_registry* registry_ = nullptr;
    spa_hook coreListener_{};
    spa_hook registryListener_{};
    std::string failure_;
};

// The event tables name only what is used: their other members differ between releases.
const pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = FrameGrab::onGlobal;
    return events;
}();
const pw_core_events kCoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.error = FrameGrab::onCoreError;
    return events;
}();
const pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = FrameGrab::onStreamState;
    events.param_changed = FrameGrab::onStreamParam;
    events.process = FrameGrab::onStreamProcess;
    return events;
}();

Result<std::vector<Image>, std::string> FrameGrab::run(
    std::chrono::steady_clock::time_point deadline) {
    loop_ = pw_main_loop_new(nullptr);
    if (loop_) context_ = pw_context_new(pw_main_loop_get_loop(loop_), nullptr, 0);
    if (context_) core_ = pw_context_connect(context_, nullptr, 0);
    if (!core_) return std::string("Could not connect to PipeWire");
    pw_core_add_listener(core_, &coreListener_, &kCoreEvents, this);
    // A node is named by its serial; the registry tells it.
    registry_ = pw_core_get_registry(core_, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(registry_, &registryListener_, &kRegistryEvents, this);
    pw_loop* loop = pw_main_loop_get_loop(loop_);
    spa_source* timer = pw_loop_add_timer(loop, onDeadline, this);
    const auto left = std::max(deadline - std::chrono::steady_clock::now(),
                               std::chrono::steady_clock::duration(1));
    timespec wait{
        .tv_sec = std::chrono::duration_cast<std::chrono::seconds>(left).count(),
        .tv_nsec = long(std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() %
                        1'000'000'000)};
    pw_loop_update_timer(loop, timer, &wait, nullptr, false);
    pw_main_loop_run(loop_);
    pw_loop_destroy_source(loop, timer);
    if (!failure_.empty()) return failure_;
    std::vector<Image> frames;
    for (const auto& node : nodes_) {
        if (!node->frame) return std::string("The screen cast gave no picture in time");
        frames.push_back(*node->frame);
    }
    return frames;
}

FrameGrab::~FrameGrab() {
    for (const auto& node : nodes_) {
        if (node->stream) pw_stream_destroy(node->stream);
    }
    if (registry_) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    if (core_) pw_core_disconnect(core_);
    if (context_) pw_context_destroy(context_);
    if (loop_) pw_main_loop_destroy(loop_);
}

void FrameGrab::onGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                         const spa_dict* props) {
    auto& grab = *static_cast<FrameGrab*>(data);
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0) return;
    for (const auto& node : grab.nodes_) {
        if (node->nodeId == id && !node->stream) {
            grab.follow(*node, props ? spa_dict_lookup(props, PW_KEY_OBJECT_SERIAL) : nullptr);
        }
    }
}

void FrameGrab::follow(NodeStream& node, const char* serial) {
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                             "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr);
    // Session managers take the target as a serial; older daemons have none and take the id.
    if (serial) pw_properties_set(props, PW_KEY_TARGET_OBJECT, serial);
    node.stream = pw_stream_new(core_, "tavelin-capture", props);
    if (!node.stream) return fail("Could not make a PipeWire stream");
    pw_stream_add_listener(node.stream, &node.listener, &kStreamEvents, &node);
    uint8_t storage[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(storage, sizeof storage);
    const spa_pod* formats[] = {offeredFormats(builder)};
    const auto flags = pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                       PW_STREAM_FLAG_DONT_RECONNECT);
    if (pw_stream_connect(node.stream, PW_DIRECTION_INPUT, serial ? PW_ID_ANY : node.nodeId,
                          flags, formats, 1) < 0) {
        fail("Could not connect a PipeWire stream");
    }
}

void FrameGrab::onCoreError(void* data, uint32_t id, int, int res, const char* message) {
    if (id == PW_ID_CORE && res == -EPIPE) {
        static_cast<FrameGrab*>(data)->fail(std::string("PipeWire went away: ") + message);
    }
}

void FrameGrab::onStreamState(void* data, pw_stream_state, pw_stream_state state,
                              const char* error) {
    auto& node = *static_cast<NodeStream*>(data);
    if (state == PW_STREAM_STATE_ERROR) {
        node.grab->fail(std::string("The screen cast's stream failed: ") +
                        (error ? error : "no reason given"));
    } else if (state == PW_STREAM_STATE_UNCONNECTED && !node.frame) {
        node.grab->fail("The screen cast's stream ended before its first picture");
    }
}

void FrameGrab::onStreamParam(void* data, uint32_t id, const spa_pod* param) {
    auto& node = *static_cast<NodeStream*>(data);
    if (id != SPA_PARAM_Format || !param) return;
    if (spa_format_video_raw_parse(param, &node.format) < 0) return;
    askForSharedMemory(node.stream);
}

void FrameGrab::onStreamProcess(void* data) {
    auto& node = *static_cast<NodeStream*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(node.stream);
    if (!buffer) return;
    if (!node.frame) node.frame = pictureIn(*buffer->buffer, node.format);
    pw_stream_queue_buffer(node.stream, buffer);
    node.grab->quitWhenComplete();
}

void FrameGrab::onDeadline(void* data, uint64_t) {
    pw_main_loop_quit(static_cast<FrameGrab*>(data)->loop_);
}

void FrameGrab::fail(std::string reason) {
    if (failure_.empty()) failure_ = std::move(reason);
    pw_main_loop_quit(loop_);
}

void FrameGrab::quitWhenComplete() {
    if (std::all_of(nodes_.begin(), nodes_.end(), [](const auto& node) { return node->frame; })) {
        pw_main_loop_quit(loop_);
    }
}

}  // namespace

Result<std::vector<Image>, std::string> firstFramesOf(
    const std::vector<uint32_t>& nodeIds, std::chrono::steady_clock::time_point deadline) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
    FrameGrab grab(nodeIds);
    return grab.run(deadline);
}

}  // namespace tavelin
