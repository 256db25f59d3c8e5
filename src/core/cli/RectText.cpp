#include <locale.h>
#include <stdlib.h>

#include <array>
#include <string_view>

#include "AppArgs.h"

namespace tavelin {
namespace {

// The program runs under the user's locale once the toolkit is up; numbers on the command line
// are always read with a point as the decimal separator.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

bool isLeadingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::optional<double> parseNumber(const std::string& piece) {
    if (piece.empty() || isLeadingSpace(piece.front())) return std::nullopt;
    char* end = nullptr;
    const double value = strtod_l(piece.c_str(), &end, cLocale());
    if (end != piece.c_str() + piece.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<Rect> parseRect(const std::string& text) {
    std::array<double, 4> numbers{};
    size_t count = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        if (const auto number = parseNumber(text.substr(start, comma - start))) {
            if (count == numbers.size()) return std::nullopt;
            numbers[count++] = *number;
        }
        start = comma + 1;
    }
    if (count != numbers.size()) return std::nullopt;
    return Rect{numbers[0], numbers[1], numbers[2], numbers[3]};
}

}  // namespace tavelin
