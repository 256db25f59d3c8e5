#pragma once

#include <QObject>
#include <QVariantMap>
#include <chrono>
#include <string>

namespace tavelin {

// How a portal request ended.
struct PortalAnswer {
    enum class Kind {
        image,      // `imagePath` holds the picture
        refused,    // the user said no
        failed,     // the portal says it could not (also: permission denied by the desktop)
        noAnswer,   // nothing within the bound
        unreachable // no portal, or the call itself failed
    };
    Kind kind = Kind::unreachable;
    std::string imagePath;
    std::string detail;  // what went wrong, for the error record
};

// One non-interactive Screenshot request. The Response signal is subscribed on the request's
// path, derived from the connection's name and our token, before the call, so an answer cannot
// be missed; a portal that answers on another path is followed there.
PortalAnswer requestPortalScreenshot(std::chrono::milliseconds bound);

// Receives a request's Response signal in the thread that waits for it.
class PortalResponse : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint response = 2;
    QVariantMap results;

public slots:
    void receive(uint code, const QVariantMap& values);

signals:
    void arrived();
};

}  // namespace tavelin
