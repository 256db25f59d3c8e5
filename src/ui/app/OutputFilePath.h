#pragma once

#include <optional>
#include <string>

namespace tavelin {

// The --output-file path every record is copied to. Set once at launch, before any mode runs,
// and only read afterwards.
const std::optional<std::string>& outputFilePath();
void setOutputFilePath(std::optional<std::string> path);

}  // namespace tavelin
