#include "PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include "PortalNames.h"

namespace tavelin {
namespace {

// A portal that is not running yet is started by the bus first, with its backends.
constexpr int kCallTimeoutMs = 10000;
constexpr int kPortalLookIntervalMs = 500;

bool subscribe(QDBusConnection& bus, const QString& path, PortalResponse& response) {
    return bus.connect(portal::kService, path, portal::kRequestInterface, "Response", &response,
                       SLOT(receive(uint, QVariantMap)));
}

void unsubscribe(QDBusConnection& bus, const QString& path, PortalResponse& response) {
    bus.disconnect(portal::kService, path, portal::kRequestInterface, "Response", &response,
                   SLOT(receive(uint, QVariantMap)));
}

PortalAnswer answerOf(const PortalResponse& response) {
    switch (response.response) {
        case 0: {
            const QUrl uri(response.results.value("uri").toString());
            if (!uri.isLocalFile()) {
                return {PortalAnswer::Kind::failed, {},
                        "The desktop portal answered without a screenshot file"};
            }
            return {PortalAnswer::Kind::image, uri.toLocalFile().toStdString(), {}};
        }
        case 1:
            return {PortalAnswer::Kind::refused, {}, "The screenshot was refused"};
        default:
            return {PortalAnswer::Kind::failed, {}, "The desktop portal could not take a screenshot"};
    }
}

}  // namespace

void PortalResponse::receive(uint code, const QVariantMap& values) {
    answered = true;
    response = code;
    results = values;
    emit arrived();
}

PortalAnswer requestPortalScreenshot(std::chrono::milliseconds bound) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return {PortalAnswer::Kind::unreachable, {}, "No session bus to reach the desktop portal"};
    }
    const QString token = QStringLiteral("tavelin%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace('.', '_');
    QString path = QStringLiteral("%1/request/%2/%3").arg(portal::kPath, sender, token);
    PortalResponse response;
    subscribe(bus, path, response);

    QDBusMessage call = QDBusMessage::createMethodCall(portal::kService, portal::kPath,
                                                       portal::kScreenshotInterface, "Screenshot");
    call << QString() << QVariantMap{{"handle_token", token}, {"interactive", false},
                                     {"modal", false}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        unsubscribe(bus, path, response);
        return {PortalAnswer::Kind::unreachable, {},
                "The desktop portal refused the screenshot request: " +
                    reply.errorMessage().toStdString()};
    }
    // Portals older than the handle token answer on a path of their own choosing.
    const QString handle = reply.arguments().front().value<QDBusObjectPath>().path();
    if (!handle.isEmpty() && handle != path) {
        unsubscribe(bus, path, response);
        path = handle;
        subscribe(bus, path, response);
    }

    QEventLoop loop;
    QObject::connect(&response, &PortalResponse::arrived, &loop, &QEventLoop::quit);
    QTimer::singleShot(bound, &loop, &QEventLoop::quit);
    // A portal that goes away never answers: no need to wait for the bound. The bus says so
    // when it happens; a look now and then also covers a notice that came too late to be seen.
    QDBusServiceWatcher portalGone(portal::kService, bus,
                                   QDBusServiceWatcher::WatchForUnregistration);
    bool vanished = false;
    const auto quitIfGone = [&loop, &vanished, &bus] {
        vanished = !bus.interface()->isServiceRegistered(portal::kService);
        if (vanished) loop.quit();
    };
    QObject::connect(&portalGone, &QDBusServiceWatcher::serviceUnregistered, &loop, [&] {
        vanished = true;
        loop.quit();
    });
    QTimer lookAgain;
    QObject::connect(&lookAgain, &QTimer::timeout, &loop, quitIfGone);
    lookAgain.start(kPortalLookIntervalMs);
    quitIfGone();
    if (!response.answered && !vanished) loop.exec();
    unsubscribe(bus, path, response);
    if (!response.answered && vanished) {
        return {PortalAnswer::Kind::unreachable, {},
                "The desktop portal went away during the screenshot request"};
    }
    if (!response.answered) {
        return {PortalAnswer::Kind::noAnswer, {},
                "The desktop portal did not answer the screenshot request within " +
                    std::to_string(bound.count() / 1000) + " s"};
    }
    return answerOf(response);
}

}  // namespace tavelin
