#include "PermissionModes.h"

#include <QCoreApplication>

#include "core/permission/PermissionModes.h"
#include "ui/app/RunReport.h"

namespace tavelin {

void runPermissionCheck(const ScreenPlatform& platform) {
    reportRecord(checkPermission(platform));
    QCoreApplication::exit(0);
}

void runPermissionBootstrap(const ScreenPlatform& platform) {
    reportRecord(bootstrapPermission(platform));
    QCoreApplication::exit(0);
}

}  // namespace tavelin
