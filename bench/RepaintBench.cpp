// Repaint cost of the overlay during a drag on a 3840x2160 monitor of a private Xvfb, painted
// and pushed to the X server as the program does: milliseconds per pointer-move update while
// drawing and while moving a selection, against a full repaint of the same view, in the same
// run. Prints a Markdown table.
#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ScreenContent.h"
#include "core/selection/SelectionState.h"
#include "support/VirtualDisplay.h"
#include "ui/overlay/SelectionView.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 3840, kHeight = 2160, kSteps = 400;

class NoCursor final : public tavelin::CursorControl {
public:
    void hide() override {}
    void show() override {}
    void setShape(tavelin::CursorShape) override {}
};

void sendMouse(QWidget& view, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(view.mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Runs the model's queued change and the repaint it asks for.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

double millisecondsPerStep(const std::function<void(int)>& step) {
    std::vector<double> times;
    for (int i = 0; i < kSteps; ++i) {
        const auto start = Clock::now();
        step(i);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A pointer path across the screen, 7 points a step, as a fast hand moves.
QPoint pathPoint(int step) {
    return {400 + step * 7, 300 + step * 4};
}

}  // namespace

int main(int argc, char** argv) {
    tavelin::testing_support::VirtualDisplay display({{"UHD", 0, 0, kWidth, kHeight}});
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);

    NoCursor cursor;
    const tavelin::Rect frame{0, 0, kWidth, kHeight};
    tavelin::SelectionState state({frame}, std::nullopt, cursor);
    tavelin::SelectionView view(frame, tavelin::tools::screenLikeImage(kWidth, kHeight), state,
                                {[] {}, [](const tavelin::Rect&) {}, [](bool) {}}, true, frame);
    view.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    view.setGeometry(0, 0, kWidth, kHeight);
    view.show();
    for (int i = 0; i < 20; ++i) settle();
    settle();

    // Drawing a new selection.
    sendMouse(view, QEvent::MouseButtonPress, {300, 200}, Qt::LeftButton);
    const double drawing = millisecondsPerStep([&](int i) {
        sendMouse(view, QEvent::MouseMove, pathPoint(i), Qt::LeftButton);
        settle();
    });
    sendMouse(view, QEvent::MouseButtonRelease, pathPoint(kSteps - 1), Qt::NoButton);
    settle();

    // Moving it: press inside, then follow the same path shifted.
    state.selectedRect = tavelin::Rect{500, 500, 1200, 700};
    settle();
    sendMouse(view, QEvent::MouseButtonPress, {1000, 1300}, Qt::LeftButton);
    const double moving = millisecondsPerStep([&](int i) {
        sendMouse(view, QEvent::MouseMove, QPoint(1000, 1300) + pathPoint(i) - pathPoint(0),
                  Qt::LeftButton);
        settle();
    });
    sendMouse(view, QEvent::MouseButtonRelease, {1000, 1300}, Qt::NoButton);
    settle();

    const double full = millisecondsPerStep([&](int i) {
        sendMouse(view, QEvent::MouseMove, pathPoint(i), Qt::NoButton);
        view.repaint();
    });

    std::printf("| 3840x2160 view, per pointer move | ms (median of %d) |\n|---|---|\n", kSteps);
    std::printf("| drawing a selection | %.2f |\n| moving a selection | %.2f |\n", drawing, moving);
    std::printf("| full repaint of the view | %.2f |\n", full);
    std::printf("\nfull repaint / drawing %.1fx, full repaint / moving %.1fx\n", full / drawing,
                full / moving);
}
