// One output's native pixels through KWin's screenshot interface, as a PNG, for tests that look
// at what KWin shows. KWin gives them only to programs its application database allows.
// Usage: tavelin-kwin-shot OUTPUT PIXEL_WIDTH PIXEL_HEIGHT FILE
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/capture/WritePng.h"
#include "platform/kwin/KWinPlatform.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s OUTPUT PIXEL_WIDTH PIXEL_HEIGHT FILE\n", argv[0]);
        return 2;
    }
    QCoreApplication application(argc, argv);
    tavelin::Screen output;
    output.name = argv[1];
    output.frame = {0, 0, std::stod(argv[2]), std::stod(argv[3])};
    const auto shots = tavelin::captureThroughKWin({output}, std::chrono::seconds(5));
    if (!shots) {
        std::fprintf(stderr, "%s\n", shots.error().description().c_str());
        return 1;
    }
    return tavelin::writePng(shots->at(output.name), argv[4]) ? 0 : 1;
}
