#pragma once

#include <optional>
#include <string>
#include <variant>

namespace tavelin {

// The capture pipeline's failures, each with a fixed message.
enum class CaptureError {
    displayNotFound,
    captureFailed,
    imageConversionFailed,
    croppingFailed,
    writeFailed,
    permissionDenied,
};

const char* caseName(CaptureError error);
const char* message(CaptureError error);

// "caseName: message", as a run's error record reports it.
std::string describeWithCase(CaptureError error);


// A capture-pipeline error or a platform error (its description as the platform gives it).
class CaptureFailure {
public:
    CaptureFailure(CaptureError error) : cause_(error) {}
    static CaptureFailure platform(std::string description) {
        CaptureFailure failure(CaptureError::captureFailed);
        failure.cause_ = std::move(description);
        return failure;
    }

    std::optional<CaptureError> captureError() const;
    // The message alone, e.g. "Failed to write image", or the platform's text.
    std::string description() const;
    // As a run's error record states it, e.g. "writeFailed: Failed to write image".
    std::string recordText() const;

private:
    std::variant<CaptureError, std::string> cause_;
};

}  // namespace tavelin
