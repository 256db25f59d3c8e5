#pragma once

#include <functional>
#include <string>

namespace tavelin {

// Hosts log our standard error as the program's own: every toolkit message goes there as one
// line of ours, "TavelinCapture: " and the message with its line breaks folded, except those a
// backend expects in the normal course of its work. Every message is also kept, quiet ones too,
// to explain a failure that follows.
void printToolkitMessagesAsOurs();

// From now on, messages for which `expected` holds stay off standard error.
using ToolkitMessageFilter = std::function<bool(const char* category, const std::string& text)>;
void quietenToolkitMessages(ToolkitMessageFilter expected);

// The toolkit aborts the process after a fatal message: a platform plugin that will not load, a
// display it cannot use. From now on `onFatal` gets such a message instead, after the messages
// that led to it, as one text; it ends the process.
void onFatalToolkitMessage(std::function<void(const std::string& reason)> onFatal);

}  // namespace tavelin
