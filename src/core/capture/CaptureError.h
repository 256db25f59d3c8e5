#pragma once

#include <string>

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

}  // namespace tavelin
