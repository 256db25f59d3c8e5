#include "Trim.h"

#include <array>

namespace tavelin {
namespace {

// Unicode white space and line separators beyond ASCII, as UTF-8.
constexpr std::array<std::string_view, 18> kWideSpaces = {
    "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005",
    "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F"};
constexpr std::string_view kIdeographicSpace = "\u3000";

size_t spaceLengthAtStart(std::string_view text) {
    if (text.empty()) return 0;
    const char c = text.front();
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    for (std::string_view space : kWideSpaces) {
        if (text.substr(0, space.size()) == space) return space.size();
    }
    return text.substr(0, kIdeographicSpace.size()) == kIdeographicSpace ? kIdeographicSpace.size()
                                                                         : 0;
}

size_t spaceLengthAtEnd(std::string_view text) {
    if (text.empty()) return 0;
    const char c = text.back();
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    for (std::string_view space : kWideSpaces) {
        if (text.size() >= space.size() && text.substr(text.size() - space.size()) == space) {
            return space.size();
        }
    }
    const size_t n = kIdeographicSpace.size();
    return text.size() >= n && text.substr(text.size() - n) == kIdeographicSpace ? n : 0;
}

}  // namespace

std::string trimWhitespace(std::string_view text) {
    while (const size_t n = spaceLengthAtStart(text)) text.remove_prefix(n);
    while (const size_t n = spaceLengthAtEnd(text)) text.remove_suffix(n);
    return std::string(text);
}

}  // namespace tavelin
