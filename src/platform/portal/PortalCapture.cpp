// Screenshots and their permission through the desktop portal.
#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "PermissionStore.h"
#include "PortalIdentity.h"
#include "PortalNames.h"
#include "PortalPlatform.h"
#include "PortalRequest.h"
#include "core/capture/DesktopSplit.h"
#include "core/image/PngDecoder.h"

namespace tavelin {
namespace {

// File times come from the kernel's coarse clock, which may lag the precise one a little.
timespec coarseNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}

bool notBefore(const timespec& time, const timespec& start) {
    return time.tv_sec > start.tv_sec ||
           (time.tv_sec == start.tv_sec && time.tv_nsec >= start.tv_nsec);
}

// The portal saves each screenshot as a file (GNOME into the user's pictures). One that this
// request made is ours to remove: a regular file of ours, written since the request began.
// Anything else stays.
void removeIfMadeForRequest(const std::string& path, const timespec& requestStart) {
    struct stat file {};
    if (::lstat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode) ||
        file.st_uid != ::geteuid() || !notBefore(file.st_mtim, requestStart)) {
        return;
    }
    ::unlink(path.c_str());
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

bool canReachScreenshotPortal() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
    if (!names) return false;
    if (names->isServiceRegistered(portal::kService)) return true;
    const QDBusMessage activatable = names->call("ListActivatableNames");
    return activatable.arguments().value(0).toStringList().contains(portal::kService);
}

bool portalPermitsScreenshots() {
    return storedScreenshotPermission(portalApplicationId()) == StoredPermission::granted;
}

bool requestPortalScreenshotPermission(std::chrono::milliseconds bound) {
    const std::string appId = portalApplicationId();
    switch (storedScreenshotPermission(appId)) {
        case StoredPermission::granted:
            return true;
        case StoredPermission::denied:
            return false;  // the user's answer: not asked again
        case StoredPermission::undecided:
            break;
    }
    const timespec start = coarseNow();
    const PortalAnswer answer = requestPortalScreenshot(bound);
    if (answer.kind != PortalAnswer::Kind::image) return false;
    removeIfMadeForRequest(answer.imagePath, start);
    // A desktop that answered without keeping the permission has it recorded, so that the check
    // agrees from now on.
    storeScreenshotPermission(appId);
    return true;
}

Result<ScreenshotMap, CaptureFailure> captureThroughPortal(const ScreenList& screens,
                                                           std::chrono::milliseconds bound) {
    const timespec start = coarseNow();
    const PortalAnswer answer = requestPortalScreenshot(bound);
    switch (answer.kind) {
        case PortalAnswer::Kind::image:
            break;
        case PortalAnswer::Kind::refused:
            return CaptureFailure(CaptureError::permissionDenied);
        default:
            return CaptureFailure::platform(answer.detail);
    }
    const std::vector<uint8_t> png = readFile(answer.imagePath);
    removeIfMadeForRequest(answer.imagePath, start);
    const auto desktop = decodePng(png.data(), png.size());
    if (!desktop) {
        return CaptureFailure::platform("The desktop portal's screenshot could not be read");
    }
    auto screenshots = splitDesktopImage(*desktop, screens);
    if (!screenshots) return CaptureFailure::platform(screenshots.error());
    return std::move(*screenshots);
}

}  // namespace tavelin
