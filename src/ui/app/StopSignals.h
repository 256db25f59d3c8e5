#pragma once

#include <functional>

namespace tavelin {

// Hosts stop a helper with SIGTERM, terminals with SIGINT and SIGHUP. The handlers only note
// the signal; the run decides what it means from its event loop, where a record can be written
// and windows taken down. A second signal, once one was noted, ends the process at once, as it
// would have without a handler.

// Installs the handlers: the first thing the process does, so that no signal is missed.
void catchStopSignals();

// Runs `onStop` from the event loop for the first signal noted, also one noted before this call.
// Needs the toolkit's application.
void watchStopSignals(std::function<void(int signal)> onStop);

}  // namespace tavelin
