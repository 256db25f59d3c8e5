#pragma once

namespace tavelin {

// Builds the toolkit application, runs the launch sequence from its event loop, and ends the
// process with the status the run chose.
[[noreturn]] void runApplication(int argc, char** argv);

}  // namespace tavelin
