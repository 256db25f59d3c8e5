#include "DisplayIdentity.h"

#include "core/text/Trim.h"

namespace tavelin {

std::string displayIdentifierForNumber(uint32_t number, const std::optional<std::string>& uuid) {
    return uuid && !uuid->empty() ? *uuid : std::to_string(number);
}

std::optional<std::string> displayIdentifier(const Screen& screen) {
    if (screen.uuid && !screen.uuid->empty()) return screen.uuid;
    if (screen.displayNumber)
        return displayIdentifierForNumber(*screen.displayNumber, std::nullopt);
    return std::nullopt;
}

std::optional<Screen> screenForDisplayId(const std::string& id, const ScreenList& screens) {
    const std::string trimmed = trimWhitespace(id);
    if (trimmed.empty()) return std::nullopt;
    for (const Screen& screen : screens) {
        if (displayIdentifier(screen).value_or("") == trimmed) return screen;
    }
    return std::nullopt;
}

std::optional<size_t> screenIndexForRect(const Rect& rect, const std::vector<Rect>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].contains(rect.center())) return i;
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].intersects(rect)) return i;
    }
    return std::nullopt;
}

Rect primaryFrame(const ScreenList& screens) {
    return screens.empty() ? Rect{0, 0, 1920, 1080} : screens.front().frame;
}

std::vector<Rect> framesOf(const ScreenList& screens) {
    std::vector<Rect> frames;
    frames.reserve(screens.size());
    for (const Screen& screen : screens) frames.push_back(screen.frame);
    return frames;
}

}  // namespace tavelin
