#pragma once

#include <string>
#include <string_view>

namespace tavelin {

// Removes white space and line breaks from both ends, Unicode spaces included (UTF-8).
std::string trimWhitespace(std::string_view text);

}  // namespace tavelin
