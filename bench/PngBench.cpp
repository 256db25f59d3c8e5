// PNG encoding of a 3840x2160 screen-like image: this program's encoder against libpng at
// zlib's default level; and decoding of the file libpng wrote (as a desktop portal writes its
// screenshots): this program's decoder against the toolkit's, both to BGRA in memory. In the
// same run; prints Markdown tables.
#include <png.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "ScreenContent.h"
#include "core/image/PngDecoder.h"
#include "core/png/PngEncoder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Measurement {
    double milliseconds;
    size_t bytes;
};

Measurement medianOf(int runs, const std::function<size_t()>& encode) {
    std::vector<double> times;
    size_t bytes = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        bytes = encode();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], bytes};
}

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// libpng as an ordinary tool uses it: RGB rows, default filters, zlib level 6.
std::vector<uint8_t> encodeWithLibpng(const tavelin::Image& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToVector, nullptr);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, const_cast<png_bytep>(image.row(y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace

int main() {
    const tavelin::Image image = tavelin::tools::screenLikeImage(3840, 2160);
    const Measurement ours = medianOf(9, [&] { return tavelin::encodePng(image).size(); });
    const Measurement libpng = medianOf(3, [&] { return encodeWithLibpng(image).size(); });
    std::printf("| encoder | ms (median) | bytes |\n|---|---|---|\n");
    std::printf("| tavelin-capture | %.1f | %zu |\n", ours.milliseconds, ours.bytes);
    std::printf("| libpng, zlib level 6 | %.1f | %zu |\n", libpng.milliseconds, libpng.bytes);
    std::printf("\nspeed-up %.1fx, size ratio %.2f\n", libpng.milliseconds / ours.milliseconds,
                static_cast<double>(ours.bytes) / static_cast<double>(libpng.bytes));

    const std::vector<uint8_t> file = encodeWithLibpng(image);
    const Measurement spng = medianOf(9, [&] {
        const auto decoded = tavelin::decodePng(file.data(), file.size());
        return decoded ? size_t(decoded->width()) : 0;
    });
    const Measurement qt = medianOf(9, [&] {
        const QImage decoded = QImage::fromData(file.data(), int(file.size()), "PNG")
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return size_t(decoded.width());
    });
    std::printf("\n| decoder, the same image written by libpng (%zu bytes) | ms (median) |\n"
                "|---|---|\n",
                file.size());
    std::printf("| tavelin-capture | %.1f |\n", spng.milliseconds);
    std::printf("| Qt's QImage, to premultiplied ARGB32 | %.1f |\n", qt.milliseconds);
}
