#include "PermissionStore.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QStringList>

#include "PortalNames.h"

namespace tavelin {
namespace {

constexpr int kStoreTimeoutMs = 5000;

QDBusMessage storeCall(const char* method) {
    return QDBusMessage::createMethodCall(portal::kStoreService, portal::kStorePath,
                                          portal::kStoreInterface, method);
}

}  // namespace

// An entry the store has never written answers with an error, which leaves it undecided.
StoredPermission storedScreenshotPermission(const std::string& appId) {
    QDBusMessage call = storeCall("Lookup");
    call << QString(portal::kScreenshotTable) << QString(portal::kScreenshotEntry);
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, kStoreTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return StoredPermission::undecided;
    }
    QMap<QString, QStringList> permissions;
    reply.arguments().front().value<QDBusArgument>() >> permissions;
    const auto entry = permissions.constFind(QString::fromStdString(appId));
    if (entry == permissions.constEnd() || entry->isEmpty()) return StoredPermission::undecided;
    return entry->front() == "yes" ? StoredPermission::granted : StoredPermission::denied;
}

bool storeScreenshotPermission(const std::string& appId) {
    QDBusMessage call = storeCall("SetPermission");
    call << QString(portal::kScreenshotTable) << true << QString(portal::kScreenshotEntry)
         << QString::fromStdString(appId) << QStringList{"yes"};
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kStoreTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
}

}  // namespace tavelin
