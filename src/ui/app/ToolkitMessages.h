#pragma once

namespace tavelin {

// Hosts log our standard error as the program's own: every toolkit message goes there as one
// line of ours, "TavelinCapture: " and the message with its line breaks folded.
void printToolkitMessagesAsOurs();

}  // namespace tavelin
