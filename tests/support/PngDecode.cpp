#include "PngDecode.h"

#include <png.h>

#include <fstream>
#include <iterator>

namespace tavelin::testing_support {

std::optional<DecodedPng> decodePng(const std::vector<uint8_t>& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
    DecodedPng decoded;
    decoded.width = static_cast<int>(image.width);
    decoded.height = static_cast<int>(image.height);
    decoded.colourType = bytes.size() > 25 ? bytes[25] : -1;
    image.format = PNG_FORMAT_RGBA;
    decoded.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return decoded;
}

std::optional<DecodedPng> decodePngFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return decodePng(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}));
}

}  // namespace tavelin::testing_support
