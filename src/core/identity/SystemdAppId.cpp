#include "SystemdAppId.h"

namespace tavelin {
namespace {

// The last component of the unified hierarchy's path ("0::/user.slice/.../app-x-y.scope").
std::string_view unitOf(std::string_view cgroupText) {
    for (size_t start = 0; start < cgroupText.size();) {
        size_t end = cgroupText.find('\n', start);
        if (end == std::string_view::npos) end = cgroupText.size();
        const std::string_view line = cgroupText.substr(start, end - start);
        if (line.rfind("0::", 0) == 0) return line.substr(line.rfind('/') + 1);
        start = end + 1;
    }
    return {};
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string unescaped(std::string_view id) {
    std::string text;
    for (size_t i = 0; i < id.size(); ++i) {
        if (id.substr(i, 4) == "\\x2d") {
            text += '-';
            i += 3;
        } else {
            text += id[i];
        }
    }
    return text;
}

}  // namespace

std::string appIdFromCgroup(std::string_view cgroupText) {
    std::string_view unit = unitOf(cgroupText);
    if (unit.rfind("app-", 0) != 0) return {};
    unit.remove_prefix(4);
    if (endsWith(unit, ".scope")) {
        unit.remove_suffix(6);
        const size_t random = unit.rfind('-');
        if (random == std::string_view::npos) return {};
        unit = unit.substr(0, random);
    } else if (endsWith(unit, ".service")) {
        unit.remove_suffix(8);
        unit = unit.substr(0, unit.find('@'));
    } else {
        return {};
    }
    // An id holds no plain dash, so what precedes the last one names the launcher.
    const size_t launcher = unit.rfind('-');
    if (launcher != std::string_view::npos) unit.remove_prefix(launcher + 1);
    return unescaped(unit);
}

}  // namespace tavelin
