#pragma once

#include <string>

#include "core/image/Image.h"

namespace tavelin::tools {

// Makes `image` the background of the root window of `display` from its top-left corner, so
// that it stays on screen whatever windows come and go. Throws when the display is unreachable.
void setRootBackground(const std::string& display, const Image& image);

}  // namespace tavelin::tools
