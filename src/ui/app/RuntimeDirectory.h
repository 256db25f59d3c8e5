#pragma once

namespace tavelin {

// Hosts often start helpers without $XDG_RUNTIME_DIR, and the toolkit then warns on standard
// error at every run. Without one the program makes its own, private to the user (0700), and
// removes it when the process ends; one left by a killed run goes at the next start.
void provideRuntimeDirectory();

}  // namespace tavelin
