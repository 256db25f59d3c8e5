#include "PermissionModes.h"

#include <QCoreApplication>

#include "platform/ScreenPermission.h"
#include "ui/app/RunReport.h"

namespace tavelin {

void runPermissionCheck() {
    reportRecord(PermissionCheckResult{.permissionGranted = canRecordScreen()});
    QCoreApplication::exit(0);
}

void runPermissionBootstrap() {
    // On X11 the request has nothing to ask: it answers as the check does, so the check runs
    // once and stands for both.
    const bool granted = canRecordScreen();
    reportRecord(PermissionBootstrapResult{
        .action = granted ? PermissionBootstrapResult::kGranted
                          : PermissionBootstrapResult::kTriggeredSystemDialog});
    QCoreApplication::exit(0);
}

}  // namespace tavelin
