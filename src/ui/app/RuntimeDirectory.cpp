#include "RuntimeDirectory.h"

#include <cstdlib>
#include <string>

#include "ProcessExit.h"
#include "core/files/LockedDirectory.h"

namespace tavelin {
namespace {

constexpr const char* kPrefix = "tavelin-capture-runtime-";

}  // namespace

void provideRuntimeDirectory() {
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given) return;
    const char* temporary = std::getenv("TMPDIR");
    const std::string parent = temporary && *temporary ? temporary : "/tmp";
    // A run that was killed could not remove its own.
    removeAbandonedDirectories(parent, kPrefix);
    // 0700, as the toolkit requires.
    const auto directory = makeLockedDirectory(parent, kPrefix);
    if (!directory) return;
    ::setenv("XDG_RUNTIME_DIR", directory->c_str(), 1);
    removeAtProcessEnd(*directory);
}

}  // namespace tavelin
