#include "Uuid.h"

#include <algorithm>
#include <array>
#include <random>

#include "Sha1.h"

namespace tavelin {
namespace {

// The namespace of this program's display identifiers (itself a random UUID).
constexpr std::array<uint8_t, 16> kDisplayNamespace = {
    0x5B, 0x1E, 0x6F, 0x0C, 0x9A, 0x43, 0x4D, 0x2B, 0x8E, 0x71, 0x3C, 0xA4, 0xF2, 0x08, 0x6D, 0x95};

std::string canonicalText(const std::array<uint8_t, 16>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

std::array<uint8_t, 16> withVersion(std::array<uint8_t, 16> bytes, uint8_t version) {
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | (version << 4));
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return bytes;
}

}  // namespace

std::string nameBasedUuid(std::string_view name) {
    std::string input(kDisplayNamespace.begin(), kDisplayNamespace.end());
    input.append(name);
    const auto digest = sha1(input);
    std::array<uint8_t, 16> bytes{};
    std::copy_n(digest.begin(), bytes.size(), bytes.begin());
    return canonicalText(withVersion(bytes, 5));
}

std::string randomUuid() {
    std::random_device entropy;
    std::array<uint8_t, 16> bytes{};
    for (size_t i = 0; i < bytes.size(); i += 4) {
        const unsigned value = entropy();
        for (size_t j = 0; j < 4; ++j) bytes[i + j] = static_cast<uint8_t>(value >> (8 * j));
    }
    return canonicalText(withVersion(bytes, 4));
}

}  // namespace tavelin
