#pragma once

#include <cstddef>
#include <string>

#include "VirtualDisplay.h"

namespace tavelin::testing_support {

// One output of a headless compositor: its place in the layout in logical points, its native
// resolution in pixels, its scale.
struct OutputLayout {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    double scale = 1;
    int logicalWidth() const { return int(width / scale); }
    int logicalHeight() const { return int(height / scale); }
};

// The colour output `index` shows at its native pixel (x, y): the test pattern, told apart
// between outputs.
Rgb outputContentAt(size_t index, int x, int y);

// Writes what output `index` shows, at its native resolution, as a PNG at `path`, for a
// compositor's background or a window to show; throws when it cannot.
void writeOutputContentPng(size_t index, const OutputLayout& output, const std::string& path);

// Whether the PNG at `path` is exactly what output `index` shows.
bool pngShowsOutputContent(const std::string& path, size_t index, const OutputLayout& output);

// The share of the PNG's pixels, every `stride`th in each direction, that show output `index`'s
// content under the overlay's scrim (black at 40% opacity).
double fractionShowingDimmedContent(const std::string& path, size_t index,
                                    const OutputLayout& output, int stride);

}  // namespace tavelin::testing_support
