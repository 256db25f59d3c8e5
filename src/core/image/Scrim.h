#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelin {

// The scrim over the frozen screenshot: black at 40%.
inline constexpr int kScrimAlpha = 102;

// An opaque 0xAARRGGBB pixel under the scrim, rounded as the toolkit's blend rounds: each
// channel times (255 - alpha)/255, two channels at a time. Whatever shows the scrim, the
// toolkit's windows or something before them, gives the same pixels.
constexpr uint32_t underScrim(uint32_t pixel) {
    constexpr uint32_t kKept = 255 - kScrimAlpha;
    uint32_t redBlue = (pixel & 0x00ff00ffu) * kKept;
    redBlue = ((redBlue + ((redBlue >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
    uint32_t green = ((pixel >> 8) & 0xffu) * kKept;
    green = (green + (green >> 8) + 0x80u) >> 8;
    return 0xff000000u | redBlue | (green << 8);
}

// Puts `count` pixels under the scrim in place, as underScrim does, and keeps in each pixel's
// top byte what the rounding took from it: the pixels then read right only as XRGB (their top
// byte ignored), and restoreFromScrim gives back exactly what they were. The scrim maps about
// five levels onto three, so each channel needs one bit to be told back.
void dimKeepingRest(uint32_t* pixels, size_t count);

// The opaque pixels that dimKeepingRest turned into `dimmed`.
void restoreFromScrim(const uint32_t* dimmed, uint32_t* restored, size_t count);

}  // namespace tavelin
