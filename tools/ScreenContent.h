#pragma once

#include "core/image/Image.h"

namespace tavelin::tools {

// A deterministic stand-in for a desktop: window panels in flat colours with title bars, lines
// of small glyph-like marks (text), a gradient and a photo-like block of smooth noise.
Image screenLikeImage(int width, int height);

}  // namespace tavelin::tools
