// A stand-in for the desktop portal that takes screenshot requests and then never answers
// ("silent"), answers that the user refused ("refuse"), or ends without answering ("vanish").
// Prints "ready" once it owns the portal's name, and "asked" for each request.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class StubPortal final : public QDBusVirtualObject {
public:
    enum class Manner { silent, refuse, vanish };
    explicit StubPortal(Manner manner) : manner_(manner) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != "org.freedesktop.portal.Screenshot" ||
            message.member() != "Screenshot") {
            return false;
        }
        const auto options = qdbus_cast<QVariantMap>(message.arguments().value(1));
        const QString sender = message.service().mid(1).replace('.', '_');
        const QString handle = "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                               options.value("handle_token").toString();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        std::printf("asked\n");
        std::fflush(stdout);
        // Gone as a crash would be: at once, without the exit's clean-up (which a sanitizer
        // build makes slow).
        if (manner_ == Manner::vanish) QTimer::singleShot(100, qApp, [] { std::_Exit(0); });
        if (manner_ == Manner::refuse) {
            QDBusMessage response = QDBusMessage::createSignal(
                handle, "org.freedesktop.portal.Request", "Response");
            response << 1u << QVariantMap{};
            connection.send(response);
        }
        return true;
    }

private:
    Manner manner_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string manner = argc == 2 ? argv[1] : "";
    if (manner != "silent" && manner != "refuse" && manner != "vanish") {
        std::fprintf(stderr, "usage: tavelin-portal-stub silent|refuse|vanish\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    StubPortal portal(manner == "silent"   ? StubPortal::Manner::silent
                      : manner == "refuse" ? StubPortal::Manner::refuse
                                           : StubPortal::Manner::vanish);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject("/org/freedesktop/portal/desktop", &portal) ||
        !bus.registerService("org.freedesktop.portal.Desktop")) {
        std::fprintf(stderr, "cannot own the portal's name\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
