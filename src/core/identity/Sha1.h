#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavelin {

std::array<uint8_t, 20> sha1(std::string_view bytes);

}  // namespace tavelin
