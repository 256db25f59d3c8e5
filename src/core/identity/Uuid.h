#pragma once

#include <string>
#include <string_view>

namespace tavelin {

// Name-based (version 5, SHA-1) UUID in upper-case canonical text: the same name always gives
// the same identifier, on any machine and across restarts.
std::string nameBasedUuid(std::string_view name);

// A random (version 4) UUID in upper-case canonical text.
std::string randomUuid();

}  // namespace tavelin
