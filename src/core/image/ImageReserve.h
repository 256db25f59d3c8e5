#pragma once

#include <vector>

#include "core/image/Image.h"

namespace tavelin {

// Screen-sized images made ready while the program waits anyway (for the screens to be
// captured): allocated and every page touched, so that filling them later costs no page faults.
class ImageReserve {
public:
    void reserve(int width, int height);
    // A reserved image of that size, cleared to transparent, if there is one; else a new one.
    Image take(int width, int height);

private:
    std::vector<Image> images_;
};

}  // namespace tavelin
