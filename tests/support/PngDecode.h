#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavelin::testing_support {

// A PNG decoded by libpng into straight RGBA8, whatever its colour type.
struct DecodedPng {
    int width = 0;
    int height = 0;
    int colourType = 0;  // as stored in the file
    std::vector<uint8_t> rgba;
    const uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
};

std::optional<DecodedPng> decodePng(const std::vector<uint8_t>& bytes);
std::optional<DecodedPng> decodePngFile(const std::string& path);

}  // namespace tavelin::testing_support
