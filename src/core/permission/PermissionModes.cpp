#include "PermissionModes.h"

namespace tavelin {

PermissionCheckResult checkPermission(const ScreenPlatform& platform) {
    return PermissionCheckResult{.permissionGranted = platform.canRecordScreen()};
}

PermissionBootstrapResult bootstrapPermission(const ScreenPlatform& platform) {
    return PermissionBootstrapResult{.action =
                                         platform.requestScreenRecording()
                                             ? PermissionBootstrapResult::kGranted
                                             : PermissionBootstrapResult::kTriggeredSystemDialog};
}

}  // namespace tavelin
