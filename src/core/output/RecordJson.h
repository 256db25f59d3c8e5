#pragma once

#include <string>
#include <vector>

#include "core/Result.h"
#include "core/output/Records.h"

namespace tavelin {

struct EncodeError {
    std::string description;
};

struct DecodeError {
    std::string description;
};

// Compact UTF-8 JSON, keys in declaration order, slashes unescaped. Invalid UTF-8 in a string
// is replaced by U+FFFD rather than failing: a host must always get its record. A NaN or
// infinite number fails the whole record.
Result<std::string, EncodeError> encodeRecord(const ResultPayload& record);
Result<std::string, EncodeError> encodeRecord(const PermissionCheckResult& record);
Result<std::string, EncodeError> encodeRecord(const PermissionBootstrapResult& record);
Result<std::string, EncodeError> encodeRecord(const PermissionErrorResult& record);

// `text` as a record carries it: valid UTF-8 as it is, invalid sequences replaced exactly as
// the encoder replaces them. Names made from host input use it, so that they match the record.
std::string asRecordText(const std::string& text);

// Decodes a JSON array of history entries. All or nothing: one bad element fails the array.
Result<std::vector<FrameHistoryEntry>, DecodeError> decodeFrameHistory(const std::string& json);

}  // namespace tavelin
