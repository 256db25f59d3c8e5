#include <gtest/gtest.h>

#include <thread>

#include "BinaryRun.h"
#include "support/VirtualDisplay.h"

namespace tavelin {
namespace {

using testing_support::BinaryRun;
using testing_support::readFileContents;

const std::string kNotGranted = R"({"status":"success","permissionGranted":false})";
const std::string kGranted = R"({"status":"success","permissionGranted":true})";
const std::string kDialog = R"({"status":"success","action":"triggered_system_dialog"})";
const std::string kPermissionError =
    R"({"status":"error","error":"permission_denied","message":"Screen recording permission not granted"})";

struct ModeCase {
    std::vector<std::string> arguments;
    std::string record;
    int status;
};

// Without any reachable display the toolkit cannot start its X11 platform; the run must still
// end with its record instead of aborting.
TEST(PermissionModesWithoutDisplay, ReportOneRecordAndTheirStatus) {
    const ModeCase cases[] = {
        {{}, kNotGranted, 0},
        {{"--bootstrap-permission"}, kDialog, 0},
        {{"--capture", "--request-id", "r-1"}, kPermissionError, 1},
    };
    const std::vector<std::map<std::string, std::string>> displays = {
        {},
        {{"DISPLAY", ":987"}},
        {{"DISPLAY", ":987"}, {"QT_QPA_PLATFORM", "xcb"}},
    };
    for (const auto& displayVariables : displays) {
        for (const auto& [arguments, record, status] : cases) {
            BinaryRun binary;
            for (const auto& [name, value] : displayVariables) binary.environment()[name] = value;
            const std::string outputFile = binary.privateDirectory() + "/record.json";
            std::vector<std::string> withFile = arguments;
            withFile.insert(withFile.end(), {"--output-file", outputFile});
            SCOPED_TRACE(testing::Message() << (arguments.empty() ? "check" : arguments[0])
                                            << " DISPLAY=" << binary.environment()["DISPLAY"]);
            const auto result = binary.run(withFile);
            EXPECT_EQ(result.out, record + "\n");
            EXPECT_EQ(result.exitStatus, status) << result.err;
            EXPECT_EQ(readFileContents(outputFile), record);
        }
    }
}

class PermissionModesOnDisplay : public testing::Test {
protected:
    static void SetUpTestSuite() {
        display_ = new testing_support::VirtualDisplay({{"A", 0, 0, 640, 480}});
    }
    static void TearDownTestSuite() {
        delete display_;
        display_ = nullptr;
    }
    static testing_support::VirtualDisplay* display_;
};
testing_support::VirtualDisplay* PermissionModesOnDisplay::display_ = nullptr;

TEST_F(PermissionModesOnDisplay, GrantedWhenTheRootWindowCanBeRead) {
    const ModeCase cases[] = {
        {{}, kGranted, 0},
        {{"--bootstrap-permission"}, R"({"status":"success","action":"granted"})", 0},
        // Capture options have no effect on the permission records.
        {{"--request-id", "r-9", "--out", "/x", "--selectionPoints", "1,2,3,4"}, kGranted, 0},
        {{"--capture", "--bootstrap-permission"}, R"({"status":"success","action":"granted"})", 0},
    };
    for (const auto& [arguments, record, status] : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto result = BinaryRun(display_->name()).run(arguments);
        EXPECT_EQ(result.out, record + "\n");
        EXPECT_EQ(result.exitStatus, status);
    }
}

TEST_F(PermissionModesOnDisplay, OutputFileIsReplacedOrItsFailureReported) {
    BinaryRun binary(display_->name());
    const std::string file = binary.privateDirectory() + "/record.json";
    testing_support::writeFileContents(file, std::string(500, 'x'));
    auto result = binary.run({"--output-file", file});
    EXPECT_EQ(result.out, kGranted + "\n");
    EXPECT_EQ(readFileContents(file), kGranted);

    const std::string missing = binary.privateDirectory() + "/no/such/dir/record.json";
    result = binary.run({"--output-file", missing});
    EXPECT_EQ(result.out, kGranted + "\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.err.find("StdoutWriter file write error for '" + missing + "': "),
              std::string::npos)
        << result.err;
}

TEST_F(PermissionModesOnDisplay, TestHostVariables) {
    {
        BinaryRun binary(display_->name());
        binary.environment()["UI_TESTING"] = "";
        const auto result = binary.run({});
        EXPECT_EQ(result.out, kGranted + "\n");
        EXPECT_EQ(result.exitStatus, 0);
    }
    const std::vector<std::pair<std::string, std::vector<std::string>>> idling = {
        {"XCTestConfigurationFilePath", {}},
        {"XCTestConfigurationFilePath", {"--bootstrap-permission"}},
        {"UI_TESTING", {"--capture"}},
    };
    for (const auto& [variable, arguments] : idling) {
        SCOPED_TRACE(variable);
        BinaryRun binary(display_->name());
        binary.environment()[variable] = "";
        const std::string file = binary.privateDirectory() + "/record.json";
        std::vector<std::string> withFile = arguments;
        withFile.insert(withFile.end(), {"--output-file", file});
        auto child = binary.start(withFile);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        EXPECT_TRUE(child->isRunning()) << "a test host keeps the process idle";
        EXPECT_EQ(child->outputSoFar(), "");
        EXPECT_EQ(readFileContents(file), "");
    }
}

TEST_F(PermissionModesOnDisplay, AClosedPipeStillGetsTheFileAndTheStatus) {
    BinaryRun binary(display_->name());
    const std::string file = binary.privateDirectory() + "/record.json";
    const std::string status = binary.privateDirectory() + "/status";
    // The reader exits at once; the program writes into a pipe nobody reads any more.
    binary.run({});  // warm up so the timing below holds on a slow machine
    const auto result = testing_support::runProcess(
        {"sh", "-c", "(sleep 0.3; \"$0\" --output-file \"$1\"; echo $? > \"$2\") | head -c 0",
         TAVELIN_CAPTURE_BINARY, file, status},
        binary.environment());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(readFileContents(status), "0\n");
    EXPECT_EQ(readFileContents(file), kGranted);
}

}  // namespace
}  // namespace tavelin
