#pragma once

#include "core/output/Records.h"
#include "core/screens/ScreenPlatform.h"

namespace tavelin {

// The two permission modes' answers. The check never prompts; the bootstrap may let the desktop
// ask the user, and reports "granted" only when the permission holds afterwards.
PermissionCheckResult checkPermission(const ScreenPlatform& platform);
PermissionBootstrapResult bootstrapPermission(const ScreenPlatform& platform);

}  // namespace tavelin
