#include <gtest/gtest.h>

#include "core/output/RecordJson.h"

namespace tavelin {
namespace {

const std::string kPoints = R"("selectionPoints":{"x":100,"y":50.5,"width":4e2,"height":300})";
const std::string kInfo = R"("displayInfo":{"id":"ABC","platform":"linux"})";

std::string entry(const std::string& members) {
    return "{" + members + "}";
}

TEST(FrameHistory, DecodesEntriesInOrder) {
    const auto decoded = decodeFrameHistory(
        "[" + entry(kPoints + "," + kInfo + R"(,"displayScale":2)") + "," +
        entry(
            R"("selectionPoints":{"x":-1,"y":0,"width":1,"height":1},"displayInfo":{"id":"","platform":"macos"})") +
        "]");
    ASSERT_TRUE(decoded.ok()) << decoded.error().description;
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[0], (FrameHistoryEntry{{100, 50.5, 400, 300}, 2.0, {"ABC", "linux"}}));
    EXPECT_EQ((*decoded)[1].selectionPoints.x, -1);
    EXPECT_FALSE((*decoded)[1].displayScale);
}

TEST(FrameHistory, OptionalScaleAndExtraKeys) {
    const std::string accepted[] = {
        entry(kPoints + "," + kInfo),
        entry(kPoints + "," + kInfo + R"(,"displayScale":null)"),
        // A whole earlier result record passes back as an entry.
        R"({"status":"ok","imagePath":"/tmp/a.png","mimeType":"image/png",)"
        R"("selectionPoints":{"x":1,"y":2,"width":3,"height":4,"extra":true},)"
        R"("selectionPixels":{"x":2,"y":4,"width":6,"height":8},"displayScale":2,)"
        R"("displayInfo":{"id":"X","platform":"linux","more":[1]},"timestamp":"t"})",
    };
    for (const std::string& json : accepted) {
        SCOPED_TRACE(json);
        const auto decoded = decodeFrameHistory("[" + json + "]");
        ASSERT_TRUE(decoded.ok()) << decoded.error().description;
        EXPECT_EQ(decoded->size(), 1u);
    }
}

TEST(FrameHistory, OneBadElementFailsTheWholeArray) {
    const std::string good = entry(kPoints + "," + kInfo);
    const std::string rejected[] = {
        entry(kPoints),                                                    // no displayInfo
        entry(kPoints + R"(,"displayInfo":{"id":7,"platform":"linux"})"),  // id is a number
        entry(kPoints + R"(,"displayInfo":{"id":"A"})"),
        entry(kPoints + R"(,"displayInfo":null)"),
        entry(kInfo + R"(,"selectionPoints":{"x":1,"y":2,"width":3})"),
        entry(kInfo + R"(,"selectionPoints":{"x":"1","y":2,"width":3,"height":4})"),
        entry(kInfo + R"(,"selectionPoints":{"x":null,"y":2,"width":3,"height":4})"),
        entry(kPoints + "," + kInfo + R"(,"displayScale":"2")"),
        "3",
    };
    for (const std::string& bad : rejected) {
        SCOPED_TRACE(bad);
        const auto decoded = decodeFrameHistory("[" + good + "," + bad + "]");
        ASSERT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error().description.empty());
    }
}

TEST(FrameHistory, TopLevelMustBeAnArray) {
    for (const std::string text : {"{}", "null", "", "[", "\"[]\""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decodeFrameHistory(text).ok());
    }
    EXPECT_TRUE(decodeFrameHistory(" [ ] ")->empty());
}

}  // namespace
}  // namespace tavelin
