#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <functional>
#include <vector>

namespace tavelin {

// Runs `drawn` once every one of `windows` has drawn its first frame, which the toolkit does
// while it handles a window's first exposure; or after a bound, so that whatever waits for the
// frames never waits for ever. Goes with `parent`.
class FirstFrames : public QObject {
public:
    static void watch(const std::vector<QWindow*>& windows, std::function<void()> drawn,
                      QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FirstFrames(const std::vector<QWindow*>& windows, std::function<void()> drawn, QObject* parent);
    void look();
    void finish();

    std::vector<QPointer<QWindow>> waiting_;
    std::function<void()> drawn_;
};

}  // namespace tavelin
