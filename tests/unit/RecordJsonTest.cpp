#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/output/RecordJson.h"

namespace tavelin {
namespace {

std::string encoded(const ResultPayload& record) {
    const auto result = encodeRecord(record);
    EXPECT_TRUE(result.ok());
    return result.ok() ? *result : std::string();
}

ResultPayload okRecord() {
    ResultPayload record;
    record.requestId = "r-17";
    record.imagePath = "/tmp/out/tavelin-capture-r-17.png";
    record.selectionPoints = RectDTO{100, 50, 400, 300};
    record.selectionPixels = RectDTO{200, 100, 800, 600};
    record.displayScale = 2;
    record.displayInfo = DisplayInfoDTO{"6A1F7C2E-3B4D-4E5F-8A9B-0C1D2E3F4A5B", "linux"};
    record.timestamp = "2026-12-08T21:29:38Z";
    return record;
}

TEST(RecordJson, OkRecordIsCompactInDeclarationOrderWithPlainSlashes) {
    EXPECT_EQ(
        encoded(okRecord()),
        R"({"status":"ok","requestId":"r-17","imagePath":"/tmp/out/tavelin-capture-r-17.png",)"
        R"("mimeType":"image/png","selectionPoints":{"x":100,"y":50,"width":400,"height":300},)"
        R"("selectionPixels":{"x":200,"y":100,"width":800,"height":600},"displayScale":2,)"
        R"("displayInfo":{"id":"6A1F7C2E-3B4D-4E5F-8A9B-0C1D2E3F4A5B","platform":"linux"},)"
        R"("timestamp":"2026-12-08T21:29:38Z"})");
}

TEST(RecordJson, AbsentOptionalsAreLeftOut) {
    ResultPayload cancelled;
    cancelled.status = ResultPayload::Status::cancelled;
    cancelled.timestamp = "2026-12-08T21:29:38Z";
    EXPECT_EQ(
        encoded(cancelled),
        R"({"status":"cancelled","mimeType":"image/png","timestamp":"2026-12-08T21:29:38Z"})");

    ResultPayload error = cancelled;
    error.status = ResultPayload::Status::error;
    error.errorMessage = "writeFailed: Failed to write image";
    error.requestId = "r-1";
    EXPECT_EQ(encoded(error),
              R"({"status":"error","errorMessage":"writeFailed: Failed to write image",)"
              R"("requestId":"r-1","mimeType":"image/png","timestamp":"2026-12-08T21:29:38Z"})");
}

TEST(RecordJson, NumbersReadBackAsTheSameDouble) {
    const double values[] = {
        151.5, 0.1, 1.0 / 3.0, -0.0, 1e-300, 1e300, 9007199254740993.0, -1440, 2.0000000000000004};
    for (double value : values) {
        SCOPED_TRACE(value);
        ResultPayload record = okRecord();
        record.displayScale = value;
        const std::string json = encoded(record);
        const size_t start = json.find("\"displayScale\":") + 15;
        const std::string text = json.substr(start, json.find(',', start) - start);
        const double readBack = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(readBack, value);
        EXPECT_EQ(std::signbit(readBack), std::signbit(value));
    }
}

TEST(RecordJson, NonFiniteNumbersFailTheWholeRecord) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        ResultPayload record = okRecord();
        record.selectionPixels->width = bad;
        const auto result = encodeRecord(record);
        ASSERT_FALSE(result.ok());
        EXPECT_NE(result.error().description.find("width"), std::string::npos);
    }
}

TEST(RecordJson, InvalidUtf8IsRepairedNotFatal) {
    ResultPayload record = okRecord();
    record.requestId = std::string("id-\xff\xfe-end");
    const std::string json = encoded(record);
    EXPECT_NE(json.find("\"requestId\":\"id-\xEF\xBF\xBD\xEF\xBF\xBD-end\""), std::string::npos);
}

TEST(RecordJson, PermissionRecords) {
    EXPECT_EQ(*encodeRecord(PermissionCheckResult{.permissionGranted = true}),
              R"({"status":"success","permissionGranted":true})");
    EXPECT_EQ(*encodeRecord(PermissionBootstrapResult{.action = "triggered_system_dialog"}),
              R"({"status":"success","action":"triggered_system_dialog"})");
    EXPECT_EQ(*encodeRecord(PermissionErrorResult{}),
              R"({"status":"error","error":"permission_denied",)"
              R"("message":"Screen recording permission not granted"})");
}

}  // namespace
}  // namespace tavelin
