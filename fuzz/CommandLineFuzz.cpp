// The command line as a host may pass it: arguments of any bytes, the history among them.
#include <cstdint>
#include <string>
#include <vector>

#include "core/cli/AppArgs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Arguments are separated by NUL, as they are in memory.
    std::vector<std::string> arguments{"tavelin-capture"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += char(data[i]);
        }
    }
    arguments.push_back(current);
    const auto parsed = tavelin::AppArgs::parse(arguments, [](std::string_view) {});
    (void)tavelin::AppArgs::scanMode(arguments);
    (void)parsed;
    return 0;
}
