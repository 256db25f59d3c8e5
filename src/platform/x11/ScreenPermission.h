#pragma once

namespace tavelin {

// X11 has no recording permission of its own: a client may record the screen when it can reach
// the display and read the root window's pixels (an untrusted client, e.g. one forwarded with
// `ssh -X`, cannot). There is no prompt to show, so asking answers the same as checking.
bool canRecordScreen();

// Whether the display named by $DISPLAY can be opened.
bool canReachX11Display();

class XcbConnection;
bool canReadRootWindow(const XcbConnection& connection);

}  // namespace tavelin
