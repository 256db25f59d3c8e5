#pragma once

namespace tavelin {

// Loads the font configuration on a thread of its own, while the toolkit waits for the display
// server during its start, so that the overlay's labels and toolbar find it ready.
void warmUpFontConfiguration();

}  // namespace tavelin
