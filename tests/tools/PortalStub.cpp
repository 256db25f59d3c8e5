// A stand-in for the desktop portal that takes screenshot requests and then never answers
// ("silent") or answers that the user refused ("refuse"). Prints "ready" once it owns the
// portal's name.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <cstdio>
#include <cstring>

namespace {

class StubPortal final : public QDBusVirtualObject {
public:
    explicit StubPortal(bool refuses) : refuses_(refuses) {}

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
        if (refuses_) {
            QDBusMessage response = QDBusMessage::createSignal(
                handle, "org.freedesktop.portal.Request", "Response");
            response << 1u << QVariantMap{};
            connection.send(response);
        }
        return true;
    }

private:
    bool refuses_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "silent") != 0 && std::strcmp(argv[1], "refuse") != 0)) {
        std::fprintf(stderr, "usage: tavelin-portal-stub silent|refuse\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    StubPortal portal(std::strcmp(argv[1], "refuse") == 0);
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
