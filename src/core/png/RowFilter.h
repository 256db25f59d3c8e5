#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavelin {

// Chooses and applies a PNG filter per row: the one whose output has the smallest sum of
// absolute values (the usual heuristic), which keeps flat areas, gradients and text small.
class RowFilter {
public:
    RowFilter(size_t rowBytes, size_t bytesPerPixel);

    // Writes the filter-type byte and the filtered row (rowBytes + 1 bytes) to `out`.
    void apply(const uint8_t* row, const uint8_t* previous, uint8_t* out);

private:
    size_t rowBytes_;
    size_t bytesPerPixel_;
    std::vector<uint8_t> candidates_[4];
};

}  // namespace tavelin
