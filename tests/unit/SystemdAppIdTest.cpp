#include <gtest/gtest.h>

#include "core/identity/SystemdAppId.h"

namespace tavelin {
namespace {

TEST(SystemdAppId, ReadsTheIdFromTheUnitTheProcessRunsIn) {
    const struct {
        const char* cgroup;
        const char* id;
    } cases[] = {
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
         "app-gnome-org.gnome.Terminal-4521.scope\n",
         "org.gnome.Terminal"},
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-org.kde.konsole@a1b2.service",
         "org.kde.konsole"},
        {"0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-my\\x2dtool.service",
         "my-tool"},
        {"12:pids:/x\n0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
         "app-flatpak-org.example.App-77.scope\n1:name=systemd:/y",
         "org.example.App"},
        {"0::/user.slice/user-1000.slice/session-2.scope\n", ""},
        {"0::/system.slice/ssh.service\n", ""},
        {"0::/\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appIdFromCgroup(c.cgroup), c.id) << c.cgroup;
    }
}

}  // namespace
}  // namespace tavelin
