// The history decoder on any text; what it accepts must encode again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/output/RecordJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto history = tavelin::decodeFrameHistory(text);
    if (!history) return 0;
    for (const auto& entry : *history) {
        tavelin::ResultPayload record;
        record.selectionPoints = entry.selectionPoints;
        record.displayScale = entry.displayScale;
        record.displayInfo = entry.displayInfo;
        (void)tavelin::encodeRecord(record);
    }
    return 0;
}
