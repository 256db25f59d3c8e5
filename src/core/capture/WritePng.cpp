#include "WritePng.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/Diagnostics.h"
#include "core/FileDescriptor.h"
#include "core/png/PngEncoder.h"

namespace tavelin {
namespace {

namespace fs = std::filesystem;

CaptureFailure fileSystemError(const std::string& what, const fs::path& path, int error) {
    return CaptureFailure::platform(what + " \"" + path.string() + "\": " + std::strerror(error) +
                                    " (errno " + std::to_string(error) + ")");
}

// Like `mkdir -p`; succeeds when the directory exists already.
std::optional<CaptureFailure> createDirectories(const fs::path& directory) {
    if (directory.empty()) return std::nullopt;
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) return fileSystemError("Cannot create the directory", directory, error.value());
    return std::nullopt;
}

}  // namespace

Result<std::string, CaptureFailure> writePng(const Image& image, const std::string& path) {
    const fs::path location(path);
    if (const auto failure = createDirectories(location.parent_path())) return *failure;

    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return CaptureFailure(CaptureError::writeFailed);
    }

    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));  // created with mode 0600
    if (!file) return CaptureFailure(CaptureError::writeFailed);

    bool written = false;
    try {
        const std::vector<uint8_t> png = encodePng(image);
        written =
            writeFully(file.get(), {reinterpret_cast<const char*>(png.data()), png.size()}) == 0 &&
            file.close() == 0 && ::rename(temporary.c_str(), path.c_str()) == 0;
    } catch (const std::exception&) {  // out of memory, or the compressor gave up
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return CaptureFailure(CaptureError::writeFailed);
    }
    return path;
}

}  // namespace tavelin
