#include <gtest/gtest.h>

#include <clocale>

#include "core/cli/AppArgs.h"

namespace tavelin {
namespace {

using Args = std::vector<std::string>;

Args withProgram(Args rest) {
    rest.insert(rest.begin(), "/usr/bin/tavelin-capture");
    return rest;
}

struct ParseRectCase {
    std::string text;
    std::optional<Rect> expected;
};

TEST(ParseRect, ReadsFourNumbersAndSkipsWhatIsNotOne) {
    const ParseRectCase cases[] = {
        {"10,20,300,200", Rect{10, 20, 300, 200}},
        {"10, 20, 300, 200", std::nullopt},  // pieces starting with a blank are skipped
        {"10,,20,300,200", Rect{10, 20, 300, 200}},
        {",10,20,300,200,", Rect{10, 20, 300, 200}},
        {"10,20,abc,300,200", Rect{10, 20, 300, 200}},
        {"10,20,300", std::nullopt},
        {"10,20,300,200,5", std::nullopt},
        {"-5.5,1e2,0,0", Rect{-5.5, 100, 0, 0}},
        {"0x10,1,2,3", Rect{16, 1, 2, 3}},  // strtod reads hexadecimal
        {"1 ,2,3,4", std::nullopt},         // trailing blank: not consumed whole
        {"1\t,2,3,4,\t5", std::nullopt},
        {"", std::nullopt},
        {",,,", std::nullopt},
        {"1.5,2.5,-3,-4", Rect{1.5, 2.5, -3, -4}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseRect(text), expected);
    }
}

TEST(ParseRect, IgnoresTheUsersDecimalSeparator) {
    // The toolkit adopts the user's locale; a comma-decimal locale must not change the reading.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no comma-decimal locale";
    EXPECT_EQ(parseRect("1.5,2,3,4"), (Rect{1.5, 2, 3, 4}));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(AppArgs, DefaultsWithOnlyTheProgramPath) {
    const AppArgs args = AppArgs::parse(withProgram({}));
    EXPECT_EQ(args.mode, AppMode::checkPermission);
    EXPECT_FALSE(args.outputFile);
    const CaptureArgs& capture = args.captureArgs;
    EXPECT_FALSE(capture.requestId || capture.outPath || capture.outDir || capture.displayId);
    EXPECT_FALSE(capture.selectionRect || capture.displayBounds);
    EXPECT_TRUE(capture.frameHistory.empty());
}

TEST(AppArgs, TheLastModeOptionWins) {
    EXPECT_EQ(AppArgs::parse(withProgram({"--bootstrap-permission", "--capture"})).mode,
              AppMode::capture);
    EXPECT_EQ(AppArgs::parse(withProgram({"--capture", "--bootstrap-permission"})).mode,
              AppMode::bootstrapPermission);
}

TEST(AppArgs, OptionsMatchWholeArgumentsExactly) {
    const AppArgs args = AppArgs::parse(
        withProgram({"--Capture", "--out=/tmp/x.png", "--displayid", "7", "-capture", "--"}));
    EXPECT_EQ(args.mode, AppMode::checkPermission);
    EXPECT_FALSE(args.captureArgs.outPath);
    EXPECT_FALSE(args.captureArgs.displayId);
}

TEST(AppArgs, ReadsEveryCaptureOption) {
    const AppArgs args = AppArgs::parse(
        withProgram({"--capture", "--request-id", "r-17", "--out", "/tmp/a.png", "--out-dir", "",
                     "--displayId", "--weird", "--selectionPoints", "1,2,3,4", "--displayBounds",
                     "0,0,1920,1080", "--output-file", "/tmp/o.json"}));
    EXPECT_EQ(args.mode, AppMode::capture);
    EXPECT_EQ(args.outputFile, "/tmp/o.json");
    const CaptureArgs& c = args.captureArgs;
    EXPECT_EQ(c.requestId, "r-17");
    EXPECT_EQ(c.outPath, "/tmp/a.png");
    EXPECT_EQ(c.outDir, "");  // an empty value is a value
    EXPECT_EQ(c.displayId, "--weird");
    EXPECT_EQ(c.selectionRect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(c.displayBounds, (Rect{0, 0, 1920, 1080}));
}

TEST(AppArgs, TheTwoScansReadEachOthersValuesAsOptions) {
    const AppArgs idCapture = AppArgs::parse(withProgram({"--request-id", "--capture"}));
    EXPECT_EQ(idCapture.captureArgs.requestId, "--capture");
    EXPECT_EQ(idCapture.mode, AppMode::capture);

    const AppArgs fileOut = AppArgs::parse(withProgram({"--output-file", "--out", "/tmp/p.png"}));
    EXPECT_EQ(fileOut.outputFile, "--out");
    EXPECT_EQ(fileOut.captureArgs.outPath, "/tmp/p.png");

    const AppArgs dirCapture = AppArgs::parse(withProgram({"--out-dir", "--capture"}));
    EXPECT_EQ(dirCapture.captureArgs.outDir, "--capture");
    EXPECT_EQ(dirCapture.mode, AppMode::capture);
}

TEST(AppArgs, AnOptionWithoutValueKeepsTheEarlierValue) {
    EXPECT_FALSE(AppArgs::parse(withProgram({"--out"})).captureArgs.outPath);
    EXPECT_EQ(AppArgs::parse(withProgram({"--out", "a", "--out"})).captureArgs.outPath, "a");
    EXPECT_EQ(AppArgs::parse(withProgram({"--output-file", "f", "--output-file"})).outputFile, "f");
}

TEST(AppArgs, ARepeatedOptionOverwritesEvenWithABadValue) {
    const CaptureArgs args =
        CaptureArgs::parse(withProgram({"--selectionPoints", "1,2,3,4", "--selectionPoints", "bad",
                                        "--request-id", "a", "--request-id", "b"}));
    EXPECT_FALSE(args.selectionRect);
    EXPECT_EQ(args.requestId, "b");
}

TEST(AppArgs, FrameHistoryDecodesOrReportsOneLine) {
    const std::string entry =
        R"({"selectionPoints":{"x":1,"y":2,"width":3,"height":4},"displayInfo":{"id":"A","platform":"linux"}})";
    struct Case {
        std::string value;
        size_t entries;
        bool diagnostic;
    };
    const Case cases[] = {
        {"[]", 0, false},
        {"[" + entry + "," + entry + "]", 2, false},
        {"{}", 0, true},
        {"not json", 0, true},
        {"[" + entry + ",{}]", 0, true},
    };
    for (const auto& [value, entries, diagnostic] : cases) {
        SCOPED_TRACE(value);
        std::vector<std::string> lines;
        const CaptureArgs args =
            CaptureArgs::parse(withProgram({"--frameHistory", value}),
                               [&](std::string_view line) { lines.emplace_back(line); });
        EXPECT_EQ(args.frameHistory.size(), entries);
        ASSERT_EQ(lines.size(), diagnostic ? 1u : 0u);
        if (diagnostic) {
            EXPECT_EQ(lines[0].rfind("TavelinCapture: failed to parse --frameHistory JSON: ", 0),
                      0u);
            EXPECT_EQ(lines[0].back(), '\n');
            EXPECT_EQ(lines[0].find('\n'), lines[0].size() - 1);
        }
    }
}

TEST(AppArgs, AnUnreadableSecondHistoryEmptiesTheFirst) {
    const std::string good =
        R"([{"selectionPoints":{"x":1,"y":2,"width":3,"height":4},"displayInfo":{"id":"A","platform":"linux"}}])";
    const CaptureArgs args = CaptureArgs::parse(
        withProgram({"--frameHistory", good, "--frameHistory", "[1]"}), [](std::string_view) {});
    EXPECT_TRUE(args.frameHistory.empty());
}

}  // namespace
}  // namespace tavelin
