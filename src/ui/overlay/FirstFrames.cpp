#include "FirstFrames.h"

#include <QEvent>
#include <QTimer>
#include <algorithm>

namespace tavelin {
namespace {

// A compositor configures a new window within a frame or two.
constexpr int kBoundMs = 2000;

}  // namespace

void FirstFrames::watch(const std::vector<QWindow*>& windows, std::function<void()> drawn,
                        QObject* parent) {
    new FirstFrames(windows, std::move(drawn), parent);
}

FirstFrames::FirstFrames(const std::vector<QWindow*>& windows, std::function<void()> drawn,
                         QObject* parent)
    : QObject(parent), drawn_(std::move(drawn)) {
    for (QWindow* window : windows) {
        waiting_.emplace_back(window);
        window->installEventFilter(this);
    }
    QTimer::singleShot(0, this, [this] { look(); });  // some may be drawn already
    QTimer::singleShot(kBoundMs, this, [this] { finish(); });
}

// The first frame is drawn in the handling of the exposure, which follows this filter.
bool FirstFrames::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Expose) QTimer::singleShot(0, this, [this] { look(); });
    return false;
}

void FirstFrames::look() {
    std::erase_if(waiting_,
                  [](const QPointer<QWindow>& window) { return !window || window->isExposed(); });
    if (waiting_.empty()) finish();
}

// Deleting the watcher takes its filters off the windows.
void FirstFrames::finish() {
    if (!drawn_) return;
    std::exchange(drawn_, {})();
    deleteLater();
}

}  // namespace tavelin
