#pragma once

#include <optional>
#include <string>

#include "core/geometry/Rect.h"
#include "core/screens/Screen.h"

namespace tavelin {

// The text that names a display to the host, who stores it and hands it back in later runs:
// the display's UUID when there is one, else its display number in decimal.
std::string displayIdentifierForNumber(uint32_t number, const std::optional<std::string>& uuid);

// Absent for a screen that has neither a UUID nor a display number.
std::optional<std::string> displayIdentifier(const Screen& screen);

// The first screen whose identifier equals `id` after trimming; absent for a blank id.
std::optional<Screen> screenForDisplayId(const std::string& id, const ScreenList& screens);

// The first frame containing the centre of `rect`, else the first one overlapping it.
// Frames and `rect` in global space.
std::optional<size_t> screenIndexForRect(const Rect& rect, const std::vector<Rect>& frames);

// The primary screen's frame; a 1920x1080 frame at the origin when there is no screen.
Rect primaryFrame(const ScreenList& screens);

std::vector<Rect> framesOf(const ScreenList& screens);

}  // namespace tavelin
