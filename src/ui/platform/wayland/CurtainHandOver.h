#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <vector>

namespace tavelin {

class WaylandCurtain;
struct HeldInput;

// Passes what the curtain held before the overlay's windows drew on to those windows, as if it
// had come to them: pointer moves and buttons to the window of the output they were on, keys to
// the first window.
class CurtainHandOver : public QObject {
    Q_OBJECT

public:
    // Once the compositor has the windows' first frames, asks `curtain` to give way and passes
    // on what it holds until it has gone. Lives with the application; `curtain` outlives it.
    static void begin(WaylandCurtain& curtain, const std::vector<QWindow*>& windows);

private:
    CurtainHandOver(WaylandCurtain& curtain, const std::vector<QWindow*>& windows);
    void passOn();
    void passOn(const HeldInput& input);
    QWindow* windowOn(const std::string& output) const;

    WaylandCurtain& curtain_;
    std::vector<QPointer<QWindow>> windows_;
    Qt::MouseButtons buttons_;
};

}  // namespace tavelin
