#pragma once

#include "core/screens/ScreenPlatform.h"

namespace tavelin {

// Each writes its record and ends the event loop with status 0.
void runPermissionCheck(const ScreenPlatform& platform);
void runPermissionBootstrap(const ScreenPlatform& platform);

}  // namespace tavelin
