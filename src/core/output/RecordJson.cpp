#include "RecordJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace tavelin {
namespace {

using Json = nlohmann::ordered_json;

struct NonFiniteNumber {
    std::string key;
    double value;
};

// Whole numbers are written without a fraction (100, not 100.0); both read back as the same
// double. Beyond 2^53 a double may not be a whole integer of int64, so it keeps its own form.
Json number(const char* key, double value) {
    if (!std::isfinite(value)) throw NonFiniteNumber{key, value};
    constexpr double kExactIntegerLimit = 9007199254740992.0;
    if (value == std::trunc(value) && std::fabs(value) < kExactIntegerLimit &&
        !(value == 0 && std::signbit(value))) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

Json rectJson(const RectDTO& rect) {
    Json json = Json::object();
    json["x"] = number("x", rect.x);
    json["y"] = number("y", rect.y);
    json["width"] = number("width", rect.width);
    json["height"] = number("height", rect.height);
    return json;
}

const char* statusText(ResultPayload::Status status) {
    switch (status) {
        case ResultPayload::Status::ok:
            return "ok";
        case ResultPayload::Status::cancelled:
            return "cancelled";
        case ResultPayload::Status::error:
            return "error";
    }
    return "error";
}

template <typename BuildJson>
Result<std::string, EncodeError> encodeWith(BuildJson build) {
    try {
        return build().dump(-1, ' ', false, Json::error_handler_t::replace);
    } catch (const NonFiniteNumber& bad) {
        return EncodeError{"Unable to encode " + std::to_string(bad.value) + " under key \"" +
                           bad.key + "\": not a finite number"};
    }
}

}  // namespace

std::string asRecordText(const std::string& text) {
    return Json::parse(Json(text).dump(-1, ' ', false, Json::error_handler_t::replace))
        .get<std::string>();
}

Result<std::string, EncodeError> encodeRecord(const ResultPayload& record) {
    return encodeWith([&] {
        Json json = Json::object();
        json["status"] = statusText(record.status);
        if (record.errorMessage) json["errorMessage"] = *record.errorMessage;
        if (record.requestId) json["requestId"] = *record.requestId;
        if (record.imagePath) json["imagePath"] = *record.imagePath;
        json["mimeType"] = record.mimeType;
        if (record.selectionPoints) json["selectionPoints"] = rectJson(*record.selectionPoints);
        if (record.selectionPixels) json["selectionPixels"] = rectJson(*record.selectionPixels);
        if (record.displayScale)
            json["displayScale"] = number("displayScale", *record.displayScale);
        if (record.displayInfo) {
            json["displayInfo"] = {{"id", record.displayInfo->id},
                                   {"platform", record.displayInfo->platform}};
        }
        json["timestamp"] = record.timestamp;
        return json;
    });
}

Result<std::string, EncodeError> encodeRecord(const PermissionCheckResult& record) {
    return encodeWith([&] {
        return Json{{"status", record.status}, {"permissionGranted", record.permissionGranted}};
    });
}

Result<std::string, EncodeError> encodeRecord(const PermissionBootstrapResult& record) {
    return encodeWith([&] { return Json{{"status", record.status}, {"action", record.action}}; });
}

Result<std::string, EncodeError> encodeRecord(const PermissionErrorResult& record) {
    return encodeWith([&] {
        return Json{
            {"status", record.status}, {"error", record.error}, {"message", record.message}};
    });
}

}  // namespace tavelin
