// The time KWin's screenshot interface takes for every output, measured in process from the
// request to the last picture in hand: the least a client that freezes the screens on KWin
// waits for its pixels. Prints milliseconds; status 1 when a capture failed. KWin answers only
// programs its application database allows.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "platform/kwin/KWinPlatform.h"
#include "platform/wayland/WaylandPlatform.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const tavelin::ScreenList screens = tavelin::listWaylandScreens();
    const auto start = std::chrono::steady_clock::now();
    const auto shots = tavelin::captureThroughKWin(screens, std::chrono::seconds(5));
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (screens.empty() || !shots || shots->size() != screens.size()) return 1;
    std::printf("%.1f\n", took.count());
}
