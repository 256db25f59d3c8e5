#include "PermissionModes.h"

#include <QCoreApplication>

#include "OutputFilePath.h"
#include "core/output/StdoutWriter.h"
#include "platform/ScreenPermission.h"

namespace tavelin {

void runPermissionCheck() {
    StdoutWriter().write(PermissionCheckResult{.permissionGranted = canRecordScreen()},
                         outputFilePath());
    QCoreApplication::exit(0);
}

void runPermissionBootstrap() {
    // On X11 the request has nothing to ask: it answers as the check does, so the check runs
    // once and stands for both.
    const bool granted = canRecordScreen();
    StdoutWriter().write(
        PermissionBootstrapResult{.action = granted ? PermissionBootstrapResult::kGranted
                                                    : PermissionBootstrapResult::kTriggeredSystemDialog},
        outputFilePath());
    QCoreApplication::exit(0);
}

}  // namespace tavelin
