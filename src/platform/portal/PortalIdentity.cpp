#include "PortalIdentity.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <fstream>
#include <iterator>
#include <mutex>

#include "PortalNames.h"
#include "core/identity/SystemdAppId.h"

namespace tavelin {
namespace {

std::once_flag registration;
bool registered = false;

std::string unitApplicationId() {
    std::ifstream cgroup("/proc/self/cgroup");
    const std::string text{std::istreambuf_iterator<char>(cgroup), {}};
    return appIdFromCgroup(text);
}

}  // namespace

void identifyToPortal(QDBusConnection& bus) {
    std::call_once(registration, [&bus] {
        QDBusMessage call = QDBusMessage::createMethodCall(
            portal::kService, portal::kPath, portal::kRegistryInterface, "Register");
        call << QString(portal::kApplicationId) << QVariantMap{};
        // Fails on portals without the registry and for programs they already know by their
        // unit; both keep the id found below.
        registered = bus.call(call, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
    });
}

std::string portalApplicationId() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) identifyToPortal(bus);
    return registered ? portal::kApplicationId : unitApplicationId();
}

}  // namespace tavelin
