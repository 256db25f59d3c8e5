#include "OutputFilePath.h"

namespace tavelin {
namespace {
std::optional<std::string>& storage() {
    static std::optional<std::string> path;
    return path;
}
}  // namespace

const std::optional<std::string>& outputFilePath() {
    return storage();
}
void setOutputFilePath(std::optional<std::string> path) {
    storage() = std::move(path);
}

}  // namespace tavelin
