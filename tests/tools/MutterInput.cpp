// Input for end-to-end tests on GNOME Shell, through mutter's remote-desktop interface on the
// session bus: one remote-desktop session, with a linked screen-cast session recording each
// monitor, for the whole test (the sessions end with this connection). Commands on standard
// input, as tavelin-wayland-input takes them:
//   move X Y        pointer to global point (X, Y), in logical points
//   down | up       left button
//   keydown CODE | keyup CODE | key CODE     Linux key code (KEY_ESC = 1, ...)
// Each command is answered with "ok" once mutter has taken it; "ready" first.
// Usage: tavelin-mutter-input CONNECTOR:X:Y:SCALE...   (each monitor's place in logical points)
#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

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
        monitors.push_back({parts[0], parts[1].toDouble(), parts[2].toDouble(), parts[3].toDouble(), {}});
    }

    const QString session =
        pathOf(call(kService, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession"));
    const QDBusMessage id = call(kService, session, "org.freedesktop.DBus.Properties", "Get",
                                 {QString("org.gnome.Mutter.RemoteDesktop.Session"),
                                  QString("SessionId")});
    const QString sessionId = id.arguments().value(0).value<QDBusVariant>().variant().toString();
    const QString cast = pathOf(call(
        kScreenCastService, "/org/gnome/Mutter/ScreenCast", kScreenCastService, "CreateSession",
        {QVariantMap{{"remote-desktop-session-id", sessionId}}}));
    for (Monitor& monitor : monitors) {
        monitor.stream = pathOf(call(kScreenCastService, cast,
                                     "org.gnome.Mutter.ScreenCast.Session", "RecordMonitor",
                                     {monitor.connector, QVariantMap{}}));
    }
    const QString sessionInterface = "org.gnome.Mutter.RemoteDesktop.Session";
    call(kService, session, sessionInterface, "Start");
    std::cout << "ready" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream command(line);
        std::string verb;
        command >> verb;
        if (verb == "move") {
            double x = 0, y = 0;
            command >> x >> y;
            const Monitor* on = &monitors.front();
            for (const Monitor& monitor : monitors) {
                if (x >= monitor.x && y >= monitor.y) on = &monitor;
            }
            call(kService, session, sessionInterface, "NotifyPointerMotionAbsolute",
                 {on->stream, (x - on->x) * on->scale, (y - on->y) * on->scale});
        } else if (verb == "down" || verb == "up") {
            call(kService, session, sessionInterface, "NotifyPointerButton",
                 {int(BTN_LEFT), verb == "down"});
        } else if (verb == "keydown" || verb == "keyup" || verb == "key") {
            uint code = 0;
            command >> code;
            if (verb != "keyup") {
                call(kService, session, sessionInterface, "NotifyKeyboardKeycode", {code, true});
            }
            if (verb != "keydown") {
                call(kService, session, sessionInterface, "NotifyKeyboardKeycode", {code, false});
            }
        } else {
            std::cout << "unknown " << verb << std::endl;
            continue;
        }
        std::cout << "ok" << std::endl;
    }
    return 0;
}
