#pragma once

#include <optional>
#include <string>

namespace tavelin {

// Private directories that go with the process that made them, also when it is killed: each is
// locked by its process for as long as it lives (the kernel drops the lock with the process), so
// a later start can tell an abandoned one from one in use.

// Makes `parent`/`prefix`XXXXXX (random letters), mode 0700, and locks it until the process
// ends. Absent when none could be made.
std::optional<std::string> makeLockedDirectory(const std::string& parent,
                                               const std::string& prefix);

// Removes every `parent`/`prefix`* left by a process that is gone: only real directories (never
// a link, nor what one points to) owned by this user that no process holds locked.
void removeAbandonedDirectories(const std::string& parent, const std::string& prefix);

}  // namespace tavelin
