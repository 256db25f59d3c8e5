#include "RuntimeDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ProcessExit.h"

namespace tavelin {

void provideRuntimeDirectory() {
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given) return;
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") +
                          "/tavelin-capture-runtime-XXXXXX";
    // mkdtemp makes it 0700, as the toolkit requires.
    if (!::mkdtemp(pattern.data())) return;
    ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
    removeAtProcessEnd(pattern);
}

}  // namespace tavelin
