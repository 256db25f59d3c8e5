#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Result.h"
#include "core/image/Image.h"

namespace tavelin {

// The first whole frame of each PipeWire video node, in the order of `nodeIds`, taken in shared
// memory; fails with the reason when the daemon cannot be reached or a node gives no frame by
// `deadline`. Any thread.
Result<std::vector<Image>, std::string> firstFramesOf(
    const std::vector<uint32_t>& nodeIds, std::chrono::steady_clock::time_point deadline);

}  // namespace tavelin
