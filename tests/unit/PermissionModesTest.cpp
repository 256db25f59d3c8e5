#include <gtest/gtest.h>

#include "core/permission/PermissionModes.h"
#include "support/FakeScreenPlatform.h"

namespace tavelin {
namespace {

TEST(PermissionModes, AnswerFromThePlatformsPermission) {
    struct Case {
        bool permitted;
        bool grantsWhenAsked;
        bool checkGranted;
        const char* bootstrapAction;
    };
    const Case cases[] = {
        {true, false, true, PermissionBootstrapResult::kGranted},
        // A desktop that asks the user, who says yes: the check still says no, never asking.
        {false, true, false, PermissionBootstrapResult::kGranted},
        {false, false, false, PermissionBootstrapResult::kTriggeredSystemDialog},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.permitted << c.grantsWhenAsked);
        testing_support::FakeScreenPlatform platform({});
        platform.permitted = c.permitted;
        platform.grantsWhenAsked = c.grantsWhenAsked;
        EXPECT_EQ(checkPermission(platform).permissionGranted, c.checkGranted);
        EXPECT_EQ(bootstrapPermission(platform).action, c.bootstrapAction);
    }
}

}  // namespace
}  // namespace tavelin
