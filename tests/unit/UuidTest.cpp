#include <gtest/gtest.h>

#include <regex>

#include "core/identity/Sha1.h"
#include "core/identity/Uuid.h"

namespace tavelin {
namespace {

std::string hex(const std::array<uint8_t, 20>& digest) {
    std::string text;
    char buffer[3];
    for (uint8_t byte : digest) {
        std::snprintf(buffer, sizeof buffer, "%02x", byte);
        text += buffer;
    }
    return text;
}

TEST(Sha1, KnownDigests) {
    EXPECT_EQ(hex(sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(hex(sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(hex(sha1(std::string(1000, 'a'))), "291e9a6c66994949b57ba5e650361e98fc36b1ba");
}

TEST(Uuid, CanonicalUpperCaseTextOfTheRightVersion) {
    const std::regex version5(
        "[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    const std::regex version4(
        "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    EXPECT_TRUE(std::regex_match(nameBasedUuid("output:DP-1"), version5));
    EXPECT_EQ(nameBasedUuid("output:DP-1"), nameBasedUuid("output:DP-1"));
    EXPECT_NE(nameBasedUuid("output:DP-1"), nameBasedUuid("output:DP-2"));
    const std::string random = randomUuid();
    EXPECT_TRUE(std::regex_match(random, version4)) << random;
    EXPECT_NE(random, randomUuid());
}

}  // namespace
}  // namespace tavelin
