#pragma once

#include <string>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/image/Image.h"

namespace tavelin {

// Writes `image` as a PNG file at `path` and returns the path. Missing parent directories are
// created; failing that gives the platform's error. The file is readable by its owner only and
// appears whole or not at all: it is written beside the target and renamed into place, which
// replaces a file or symbolic link at `path` without following it. Fails with writeFailed
// when the file cannot be created or completed (an existing directory at `path` included),
// leaving nothing behind.
Result<std::string, CaptureFailure> writePng(const Image& image, const std::string& path);

}  // namespace tavelin
