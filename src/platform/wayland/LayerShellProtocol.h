#pragma once

#include <cstdint>

// The protocol names an argument "namespace", a C++ keyword.
#define namespace surfaceNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace tavelin {

// The release of the layer shell our surfaces are written for.
inline constexpr uint32_t kLayerShellVersion = 3;

// A layer surface anchored to every edge: it covers its whole output.
inline constexpr uint32_t kLayerShellAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

}  // namespace tavelin
