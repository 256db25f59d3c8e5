// A user-space stand-in for a DRM render node, preloaded into a compositor on a machine whose
// kernel has no DRM (no /dev/dri), so that it composites with OpenGL in software: Mesa's
// software GBM path (GBM_ALWAYS_SOFTWARE=1) needs a render node only for dumb buffers and their
// export, which memfds do here. KWin's screenshot interface exists only with OpenGL compositing.
//
// What is answered, for /dev/dri/renderD128 and every descriptor of it:
//   open, stat       a memfd that stat calls a character device 226:128
//   ioctl            version, capabilities, dumb buffers (create, map, destroy), GEM close,
//                    PRIME export and import; anything else fails with EINVAL
//   mmap             a dumb buffer's memory at the offset its map gave
//   libdrm           drmGetDevices2/drmGetDevice2 list the node as a platform device
#include <dlfcn.h>
#include <fcntl.h>
#include <libdrm/drm.h>
#include <libdrm/drm_mode.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <xf86drm.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

constexpr const char* kNode = "/dev/dri/renderD128";
constexpr unsigned kMajor = 226;
constexpr unsigned kMinor = 128;

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

struct Buffer {
    int memory = -1;  // a memfd holding the pixels
    uint64_t size = 0;
};

std::recursive_mutex guard;  // the compositor's threads share the node
ino_t nodeInode = 0;         // of the memfd every descriptor of the node refers to
dev_t nodeDevice = 0;
std::map<uint32_t, Buffer> buffers;
uint32_t nextHandle = 1;

bool trace() {
    static const bool on = std::getenv("TAVELIN_RENDER_NODE_TRACE") != nullptr;
    return on;
}

bool sameFile(int fd, ino_t inode, dev_t device) {
    struct stat status {};
    return fd >= 0 && real<int (*)(int, struct stat*)>("fstat")(fd, &status) == 0 &&
           status.st_ino == inode && status.st_dev == device;
}

bool isNode(int fd) {
    const std::lock_guard lock(guard);
    return nodeInode != 0 && sameFile(fd, nodeInode, nodeDevice);
}

bool isNodePath(const char* path) {
    return path && std::strcmp(path, kNode) == 0;
}

// Every open gives a descriptor of one memfd, so descriptors of the node are told by their file.
int openNode(int flags) {
    const std::lock_guard lock(guard);
    static int node = -1;
    if (node < 0) {
        node = memfd_create("render-node", MFD_CLOEXEC);
        if (node < 0) return -1;
        struct stat status {};
        real<int (*)(int, struct stat*)>("fstat")(node, &status);
        nodeInode = status.st_ino;
        nodeDevice = status.st_dev;
    }
    return fcntl(node, (flags & O_CLOEXEC) ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
}

void describeNode(struct stat* status) {
    std::memset(status, 0, sizeof *status);
    status->st_mode = S_IFCHR | 0666;
    status->st_rdev = makedev(kMajor, kMinor);
    status->st_ino = nodeInode;
    status->st_dev = nodeDevice;
}

// A memfd's pixels for a dumb buffer: rows of `pitch` bytes.
int createDumb(drm_mode_create_dumb& request) {
    const uint32_t pitch = ((request.width * ((request.bpp + 7) / 8)) + 63) & ~63u;
    const uint64_t size = uint64_t(pitch) * request.height;
    const int memory = memfd_create("dumb-buffer", MFD_CLOEXEC);
    if (memory < 0 || ftruncate(memory, off_t(size)) != 0) return -ENOMEM;
    const std::lock_guard lock(guard);
    request.handle = nextHandle++;
    request.pitch = pitch;
    request.size = size;
    buffers[request.handle] = {memory, size};
    return 0;
}

int forget(uint32_t handle) {
    const std::lock_guard lock(guard);
    const auto found = buffers.find(handle);
    if (found == buffers.end()) return -EINVAL;
    ::close(found->second.memory);
    buffers.erase(found);
    return 0;
}

// A buffer's map offset names its handle, page-aligned.
uint64_t offsetOf(uint32_t handle) {
    return uint64_t(handle) << 32;
}

int importBuffer(drm_prime_handle& request) {
    struct stat status {};
    if (real<int (*)(int, struct stat*)>("fstat")(request.fd, &status) != 0) return -EBADF;
    const std::lock_guard lock(guard);
    for (const auto& [handle, buffer] : buffers) {
        if (sameFile(buffer.memory, status.st_ino, status.st_dev)) {
            request.handle = handle;
            return 0;
        }
    }
    const int memory = fcntl(request.fd, F_DUPFD_CLOEXEC, 0);
    if (memory < 0) return -errno;
    request.handle = nextHandle++;
    buffers[request.handle] = {memory, uint64_t(status.st_size)};
    return 0;
}

int exportBuffer(drm_prime_handle& request) {
    const std::lock_guard lock(guard);
    const auto found = buffers.find(request.handle);
    if (found == buffers.end()) return -EINVAL;
    const int fd =
        fcntl(found->second.memory, (request.flags & DRM_CLOEXEC) ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
    if (fd < 0) return -errno;
    request.fd = fd;
    return 0;
}

void copyOut(char* to, size_t capacity, size_t& length, const char* text) {
    length = std::strlen(text);
    if (to && capacity) std::memcpy(to, text, std::min(capacity, length));
}

int answer(unsigned long request, void* argument) {
    switch (request) {
        case DRM_IOCTL_VERSION: {
            auto& version = *static_cast<drm_version*>(argument);
            version.version_major = 1;
            version.version_minor = 0;
            version.version_patchlevel = 0;
            copyOut(version.name, version.name_len, version.name_len, "vgem");
            copyOut(version.date, version.date_len, version.date_len, "20120112");
            copyOut(version.desc, version.desc_len, version.desc_len, "Virtual GEM provider");
            return 0;
        }
        case DRM_IOCTL_GET_CAP: {
            auto& cap = *static_cast<drm_get_cap*>(argument);
            switch (cap.capability) {
                case DRM_CAP_DUMB_BUFFER:
                case DRM_CAP_PRIME:
                    cap.value = cap.capability == DRM_CAP_PRIME
                                    ? (DRM_PRIME_CAP_IMPORT | DRM_PRIME_CAP_EXPORT)
                                    : 1;
                    return 0;
                default:
                    cap.value = 0;
                    return 0;
            }
        }
        case DRM_IOCTL_SET_CLIENT_CAP:
            return -EINVAL;
        case DRM_IOCTL_MODE_CREATE_DUMB:
            return createDumb(*static_cast<drm_mode_create_dumb*>(argument));
        case DRM_IOCTL_MODE_MAP_DUMB: {
            auto& map = *static_cast<drm_mode_map_dumb*>(argument);
            const std::lock_guard lock(guard);
            if (!buffers.contains(map.handle)) return -EINVAL;
            map.offset = offsetOf(map.handle);
            return 0;
        }
        case DRM_IOCTL_MODE_DESTROY_DUMB:
            return forget(static_cast<drm_mode_destroy_dumb*>(argument)->handle);
        case DRM_IOCTL_GEM_CLOSE:
            return forget(static_cast<drm_gem_close*>(argument)->handle);
        case DRM_IOCTL_PRIME_HANDLE_TO_FD:
            return exportBuffer(*static_cast<drm_prime_handle*>(argument));
        case DRM_IOCTL_PRIME_FD_TO_HANDLE:
            return importBuffer(*static_cast<drm_prime_handle*>(argument));
        default:
            return -EINVAL;
    }
}

drmDevicePtr newDevice() {
    auto* device = static_cast<drmDevicePtr>(std::calloc(1, sizeof(drmDevice)));
    device->nodes = static_cast<char**>(std::calloc(DRM_NODE_MAX, sizeof(char*)));
    device->nodes[DRM_NODE_RENDER] = strdup(kNode);
    device->available_nodes = 1 << DRM_NODE_RENDER;
    device->bustype = DRM_BUS_PLATFORM;
    device->businfo.platform =
        static_cast<drmPlatformBusInfoPtr>(std::calloc(1, sizeof(drmPlatformBusInfo)));
    std::strcpy(device->businfo.platform->fullname, "/tavelin/render-node");
    device->deviceinfo.platform =
        static_cast<drmPlatformDeviceInfoPtr>(std::calloc(1, sizeof(drmPlatformDeviceInfo)));
    return device;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (isNodePath(path)) return openNode(flags);
    return real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (isNodePath(path)) return openNode(flags);
    return real<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

int openat(int directory, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (isNodePath(path)) return openNode(flags);
    return real<int (*)(int, const char*, int, ...)>("openat")(directory, path, flags, mode);
}

int fstat(int fd, struct stat* status) {
    if (isNode(fd)) {
        describeNode(status);
        return 0;
    }
    return real<int (*)(int, struct stat*)>("fstat")(fd, status);
}

int fstat64(int fd, struct stat64* status) {
    if (isNode(fd)) {
        describeNode(reinterpret_cast<struct stat*>(status));
        return 0;
    }
    return real<int (*)(int, struct stat64*)>("fstat64")(fd, status);
}

int stat(const char* path, struct stat* status) {
    if (isNodePath(path)) {
        describeNode(status);
        return 0;
    }
    return real<int (*)(const char*, struct stat*)>("stat")(path, status);
}

int stat64(const char* path, struct stat64* status) {
    if (isNodePath(path)) {
        describeNode(reinterpret_cast<struct stat*>(status));
        return 0;
    }
    return real<int (*)(const char*, struct stat64*)>("stat64")(path, status);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (!isNode(fd))
        return real<int (*)(int, unsigned long, void*)>("ioctl")(fd, request, argument);
    const int result = answer(request, argument);
    if (trace()) std::fprintf(stderr, "render node: ioctl %#lx -> %d\n", request, result);
    if (result < 0) {
        errno = -result;
        return -1;
    }
    return 0;
}

void* mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
    if (isNode(fd)) {
        const std::lock_guard lock(guard);
        const auto found = buffers.find(uint32_t(uint64_t(offset) >> 32));
        if (found == buffers.end()) {
            errno = EINVAL;
            return MAP_FAILED;
        }
        return real<void* (*)(void*, size_t, int, int, int, off_t)>("mmap")(
            address, length, protection, flags, found->second.memory, 0);
    }
    return real<void* (*)(void*, size_t, int, int, int, off_t)>("mmap")(address, length, protection,
                                                                        flags, fd, offset);
}

void* mmap64(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
    return mmap(address, length, protection, flags, fd, offset);
}

int drmGetDevices2(uint32_t, drmDevicePtr devices[], int capacity) {
    if (devices && capacity > 0) devices[0] = newDevice();
    return 1;
}

int drmGetDevice2(int fd, uint32_t, drmDevicePtr* device) {
    if (!isNode(fd)) {
        return real<int (*)(int, uint32_t, drmDevicePtr*)>("drmGetDevice2")(fd, 0, device);
    }
    *device = newDevice();
    return 0;
}

char* drmGetDeviceNameFromFd2(int fd) {
    if (isNode(fd)) return strdup(kNode);
    return real<char* (*)(int)>("drmGetDeviceNameFromFd2")(fd);
}

char* drmGetRenderDeviceNameFromFd(int fd) {
    if (isNode(fd)) return strdup(kNode);
    return real<char* (*)(int)>("drmGetRenderDeviceNameFromFd")(fd);
}

int drmGetNodeTypeFromFd(int fd) {
    if (isNode(fd)) return DRM_NODE_RENDER;
    return real<int (*)(int)>("drmGetNodeTypeFromFd")(fd);
}

}  // extern "C"
