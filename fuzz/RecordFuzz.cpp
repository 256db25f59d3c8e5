// The record encoder on arbitrary strings and numbers: a record, or a clear failure for a
// number JSON cannot hold; every record parses, and its strings are the inputs as records carry
// them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "FuzzInput.h"
#include "core/output/RecordJson.h"

using tavelin::fuzzing::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    tavelin::ResultPayload record;
    record.status = tavelin::ResultPayload::Status(input.take<uint8_t>() % 3);
    record.errorMessage = input.takeText(64);
    record.requestId = input.takeText(64);
    record.imagePath = input.takeText(64);
    record.selectionPoints = tavelin::RectDTO{input.take<double>(), input.take<double>(),
                                              input.take<double>(), input.take<double>()};
    record.displayScale = input.take<double>();
    record.displayInfo = tavelin::DisplayInfoDTO{input.takeText(40), "linux"};
    record.timestamp = input.takeText(24);

    const auto encoded = tavelin::encodeRecord(record);
    const bool finite = std::isfinite(record.selectionPoints->x) &&
                        std::isfinite(record.selectionPoints->y) &&
                        std::isfinite(record.selectionPoints->width) &&
                        std::isfinite(record.selectionPoints->height) &&
                        std::isfinite(*record.displayScale);
    if (encoded.ok() != finite) std::abort();
    if (!encoded) return 0;
    const auto json = nlohmann::json::parse(*encoded);
    if (json["requestId"] != tavelin::asRecordText(*record.requestId)) std::abort();
    if (json["errorMessage"] != tavelin::asRecordText(*record.errorMessage)) std::abort();
    return 0;
}
