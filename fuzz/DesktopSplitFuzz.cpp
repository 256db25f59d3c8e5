// The cut of a desktop portal's picture into screens, on arbitrary layouts, scales and picture
// sizes: a screenshot of each screen's native size, or a refusal.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "core/capture/DesktopSplit.h"

using tavelin::fuzzing::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int count = 1 + input.take<uint8_t>() % 3;
    tavelin::ScreenList screens;
    for (int i = 0; i < count; ++i) {
        tavelin::Screen screen;
        screen.name = "S" + std::to_string(i);
        screen.frame = {double(input.take<int8_t>()), double(input.take<int8_t>()),
                        double(1 + input.take<uint8_t>() % 64), double(1 + input.take<uint8_t>() % 64)};
        screen.scale = 0.5 * (1 + input.take<uint8_t>() % 6);
        screens.push_back(screen);
    }
    const int width = 1 + input.take<uint16_t>() % 512;
    const int height = 1 + input.take<uint16_t>() % 512;
    const auto shots = tavelin::splitDesktopImage(tavelin::Image::allocate(width, height), screens);
    if (!shots) return 0;
    for (const auto& screen : screens) {
        const auto& shot = shots->at(screen.name);
        if (shot.width() != std::lround(screen.frame.width * screen.scale) ||
            shot.height() != std::lround(screen.frame.height * screen.scale)) {
            std::abort();
        }
    }
    return 0;
}
