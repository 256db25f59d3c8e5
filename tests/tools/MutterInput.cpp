// Input for end-to-end tests on GNOME Shell, through mutter's remote-desktop interface on the
// session bus: one remote-desktop session, with a linked screen-cast session recording each
// monitor, for the whole test (the sessions end with this connection). Commands as
// InputCommands.h says, the pointer at global points in logical points; each call returns once
// mutter has taken it.
// Usage: tavelin-mutter-input CONNECTOR:X:Y:SCALE...   (each monitor's place in logical points,
// left to right)
#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "InputCommands.h"

namespace {

constexpr char kService[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char kScreenCastService[] = "org.gnome.Mutter.ScreenCast";

struct Monitor {
    QString connector;
    double x = 0, y = 0, scale = 1;
    QString stream;  // its screen-cast stream's path, the space of absolute motions
};

QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(message);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(method), qPrintable(reply.errorMessage()));
        std::exit(1);
    }
    return reply;
}

QString pathOf(const QDBusMessage& reply) {
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::vector<Monitor> monitors;
    for (int index = 1; index < argc; ++index) {
        const QStringList parts = QString(argv[index]).split(':');
        if (parts.size() != 4) {
            std::fprintf(stderr, "usage: %s CONNECTOR:X:Y:SCALE...\n", argv[0]);
            return 2;
        }
        monitors.push_back(
            {parts[0], parts[1].toDouble(), parts[2].toDouble(), parts[3].toDouble(), {}});
    }

    const QString session =
        pathOf(call(kService, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession"));
    const QDBusMessage id =
        call(kService, session, "org.freedesktop.DBus.Properties", "Get",
             {QString("org.gnome.Mutter.RemoteDesktop.Session"), QString("SessionId")});
    const QString sessionId = id.arguments().value(0).value<QDBusVariant>().variant().toString();
    const QString cast =
        pathOf(call(kScreenCastService, "/org/gnome/Mutter/ScreenCast", kScreenCastService,
                    "CreateSession", {QVariantMap{{"remote-desktop-session-id", sessionId}}}));
    for (Monitor& monitor : monitors) {
        monitor.stream =
            pathOf(call(kScreenCastService, cast, "org.gnome.Mutter.ScreenCast.Session",
                        "RecordMonitor", {monitor.connector, QVariantMap{}}));
    }
    const QString sessionInterface = "org.gnome.Mutter.RemoteDesktop.Session";
    call(kService, session, sessionInterface, "Start");
    return tavelin::input_tools::serveInputCommands({
        .move =
            [&](double x, double y) {
                const Monitor* on = &monitors.front();
                for (const Monitor& monitor : monitors) {
                    if (x >= monitor.x && y >= monitor.y) on = &monitor;
                }
                call(kService, session, sessionInterface, "NotifyPointerMotionAbsolute",
                     {on->stream, (x - on->x) * on->scale, (y - on->y) * on->scale});
            },
        .button =
            [&](bool pressed) {
                call(kService, session, sessionInterface, "NotifyPointerButton",
                     {int(BTN_LEFT), pressed});
            },
        .key =
            [&](uint32_t code, bool pressed) {
                call(kService, session, sessionInterface, "NotifyKeyboardKeycode",
                     {uint(code), pressed});
            },
        .sync = {},
        .other = {},
    });
}
