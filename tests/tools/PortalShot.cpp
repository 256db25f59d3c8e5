// What the desktop shows, through the desktop portal's Screenshot (one picture of the whole
// desktop), moved to FILE: for tests on desktops that show a client nothing else (GNOME Shell).
// Usage: tavelin-portal-shot FILE
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/portal/PortalRequest.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    QCoreApplication application(argc, argv);
    const tavelin::PortalAnswer answer = tavelin::requestPortalScreenshot(std::chrono::seconds(10));
    if (answer.kind != tavelin::PortalAnswer::Kind::image) {
        std::fprintf(stderr, "%s\n", answer.detail.c_str());
        return 1;
    }
    std::error_code error;
    std::filesystem::rename(answer.imagePath, argv[1], error);
    return error ? 1 : 0;
}
