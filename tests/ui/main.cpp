// Runs the toolkit tests on Qt's offscreen platform with two screens side by side: A, the
// primary, 1440x900 at the origin, and B, 1920x1080 to its right.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string config = std::string(tmpdir && *tmpdir ? tmpdir : "/tmp") +
                               "/tavelin-ui-screens-" + std::to_string(::getpid()) + ".json";
    std::ofstream(config)
        << R"({"screens":[{"name":"A","x":0,"y":0,"width":1440,"height":900,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1},)"
        << R"({"name":"B","x":1440,"y":0,"width":1920,"height":1080,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    unsetenv("DISPLAY");
    QApplication application(argc, argv);
    const int status = RUN_ALL_TESTS();
    std::remove(config.c_str());
    return status;
}
