// How each kind of run ends, without a display: its record and its status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/result/RunOutcome.h"
#include "support/FakeScreenPlatform.h"
#include "support/Files.h"

namespace tavelin {
namespace {

using testing_support::FakeScreenPlatform;

const ScreenList kScreens = {{"A", {0, 0, 200, 100}, 2, 1, "UUID-A"},
                             {"B", {200, 0, 100, 100}, 1, 2, "UUID-B"}};

template <typename Record>
const Record& recordOf(const RunOutcome& outcome) {
    return std::get<Record>(outcome.record);
}

TEST(RunOutcome, ThePermissionModesAnswerWithStatusZero) {
    FakeScreenPlatform platform(kScreens);
    platform.permitted = false;
    const RunOutcome check = permissionCheckOutcome(platform);
    EXPECT_FALSE(recordOf<PermissionCheckResult>(check).permissionGranted);
    EXPECT_EQ(check.status, 0);
    const RunOutcome bootstrap = permissionBootstrapOutcome(platform);
    EXPECT_EQ(recordOf<PermissionBootstrapResult>(bootstrap).action,
              PermissionBootstrapResult::kTriggeredSystemDialog);
    EXPECT_EQ(bootstrap.status, 0);
    EXPECT_EQ(permissionDeniedOutcome().status, 1);
}

TEST(RunOutcome, AFailedToolkitEndsEachModeWithItsRecord) {
    const std::string reason = "qt.qpa.plugin: Could not load the Qt platform plugin";
    AppArgs capture;
    capture.mode = AppMode::capture;
    capture.captureArgs.requestId = "r-3";
    const RunOutcome failed = toolkitFailureOutcome(capture, reason, "2026-12-11T10:00:00Z");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(recordOf<ResultPayload>(failed).status, ResultPayload::Status::error);
    EXPECT_EQ(recordOf<ResultPayload>(failed).errorMessage, "Failed to run the toolkit: " + reason);
    EXPECT_EQ(recordOf<ResultPayload>(failed).requestId, "r-3");

    AppArgs check;
    check.mode = AppMode::checkPermission;
    const RunOutcome checked = toolkitFailureOutcome(check, reason, "");
    EXPECT_FALSE(recordOf<PermissionCheckResult>(checked).permissionGranted);
    EXPECT_EQ(checked.status, 0);
    AppArgs bootstrap;
    bootstrap.mode = AppMode::bootstrapPermission;
    EXPECT_EQ(recordOf<PermissionBootstrapResult>(toolkitFailureOutcome(bootstrap, reason, "")).action,
              PermissionBootstrapResult::kTriggeredSystemDialog);
}

struct ConfirmedCase {
    const char* name;
    Rect selection;
    bool writable;
    ResultPayload::Status status;
    int exitStatus;
    const char* errorMessage;
};

TEST(RunOutcome, AConfirmedSelectionIsWrittenOrNamesItsError) {
    const ConfirmedCase cases[] = {
        {"across both screens", {150, 20, 100, 50}, true, ResultPayload::Status::ok, 0, nullptr},
        {"beside every screen", {400, 0, 10, 10}, true, ResultPayload::Status::error, 1,
         "displayNotFound: Could not find display"},
        {"into a directory that cannot be made", {10, 10, 20, 20}, false,
         ResultPayload::Status::error, 1, nullptr},
    };
    FakeScreenPlatform platform(kScreens);
    const ScreenshotMap screenshots = *platform.captureAllDisplays();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::TempDirectory directory;
        CaptureArgs args;
        args.requestId = "r-1";
        // A file where the directory would have to be.
        if (!c.writable) {
            args.outPath = directory.path() + "/file/shot.png";
            std::FILE* file = std::fopen((directory.path() + "/file").c_str(), "w");
            std::fclose(file);
        }
        const RunOutcome outcome = confirmedOutcome(
            c.selection, kScreens, screenshots, args,
            {directory.path(), directory.path(), "RANDOM", "2026-12-10T21:00:00Z"});
        const auto& record = recordOf<ResultPayload>(outcome);
        EXPECT_EQ(outcome.status, c.exitStatus);
        EXPECT_EQ(record.status, c.status);
        EXPECT_EQ(record.requestId, "r-1");
        EXPECT_EQ(record.timestamp, "2026-12-10T21:00:00Z");
        if (c.errorMessage) {
            EXPECT_EQ(record.errorMessage, c.errorMessage);
        }
        if (c.status != ResultPayload::Status::ok) {
            EXPECT_FALSE(record.imagePath);
            continue;
        }
        EXPECT_EQ(record.imagePath, directory.path() + "/tavelin-capture-r-1.png");
        EXPECT_TRUE(std::filesystem::exists(*record.imagePath));
        EXPECT_EQ(record.displayScale, 1);  // the smaller scale of the two screens touched
    }
}

TEST(RunOutcome, CancelledAndFailedRunsKeepTheRequestId) {
    CaptureArgs args;
    args.requestId = "r-2";
    const RunOutcome cancelled = cancelledOutcome(args, "t");
    EXPECT_EQ(cancelled.status, 2);
    EXPECT_EQ(recordOf<ResultPayload>(cancelled).status, ResultPayload::Status::cancelled);
    EXPECT_EQ(recordOf<ResultPayload>(cancelled).requestId, "r-2");
    const RunOutcome failed = captureErrorOutcome("Lost the connection to the display", args, "t");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(recordOf<ResultPayload>(failed).errorMessage, "Lost the connection to the display");
    EXPECT_EQ(recordOf<ResultPayload>(failed).requestId, "r-2");
}

}  // namespace
}  // namespace tavelin
