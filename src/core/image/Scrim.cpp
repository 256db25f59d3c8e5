#include "Scrim.h"

#include <array>

namespace tavelin {
namespace {

constexpr uint32_t dimmedLevel(uint32_t level) {
    return underScrim(level) & 0xffu;
}

// The lowest level the scrim turns into each level; the next one up may share it.
constexpr std::array<uint8_t, 256> kLowestBehind = [] {
    std::array<uint8_t, 256> lowest{};
    for (uint32_t level = 256; level-- > 0;) lowest[dimmedLevel(level)] = uint8_t(level);
    return lowest;
}();

// Whether `level` is the upper of two levels the scrim makes the same.
inline uint32_t isUpperTwin(uint32_t level, uint32_t dimmed) {
    return level != 0 && dimmedLevel(level - 1) == dimmed ? 1u : 0u;
}

}  // namespace

void dimKeepingRest(uint32_t* pixels, size_t count) {
    for (size_t index = 0; index < count; ++index) {
        const uint32_t pixel = pixels[index];
        const uint32_t dimmed = underScrim(pixel);
        uint32_t rest = 0;
        for (uint32_t shift = 0; shift < 24; shift += 8) {
            rest |= isUpperTwin((pixel >> shift) & 0xffu, (dimmed >> shift) & 0xffu) << (shift / 8);
        }
        pixels[index] = (dimmed & 0x00ffffffu) | (rest << 24);
    }
}

void restoreFromScrim(const uint32_t* dimmed, uint32_t* restored, size_t count) {
    for (size_t index = 0; index < count; ++index) {
        const uint32_t pixel = dimmed[index];
        uint32_t original = 0xff000000u;
        for (uint32_t shift = 0; shift < 24; shift += 8) {
            const uint32_t level =
                kLowestBehind[(pixel >> shift) & 0xffu] + ((pixel >> (24 + shift / 8)) & 1u);
            original |= level << shift;
        }
        restored[index] = original;
    }
}

}  // namespace tavelin
