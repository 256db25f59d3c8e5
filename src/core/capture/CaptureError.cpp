#include "CaptureError.h"

namespace tavelin {

const char* caseName(CaptureError error) {
    switch (error) {
        case CaptureError::displayNotFound:
            return "displayNotFound";
        case CaptureError::captureFailed:
            return "captureFailed";
        case CaptureError::imageConversionFailed:
            return "imageConversionFailed";
        case CaptureError::croppingFailed:
            return "croppingFailed";
        case CaptureError::writeFailed:
            return "writeFailed";
        case CaptureError::permissionDenied:
            return "permissionDenied";
    }
    return "captureFailed";
}

const char* message(CaptureError error) {
    switch (error) {
        case CaptureError::displayNotFound:
            return "Could not find display";
        case CaptureError::captureFailed:
            return "Failed to capture screen";
        case CaptureError::imageConversionFailed:
            return "Failed to convert captured image";
        case CaptureError::croppingFailed:
            return "Failed to crop image";
        case CaptureError::writeFailed:
            return "Failed to write image";
        case CaptureError::permissionDenied:
            return "Screen recording permission denied";
    }
    return "Failed to capture screen";
}

std::string describeWithCase(CaptureError error) {
    return std::string(caseName(error)) + ": " + message(error);
}

}  // namespace tavelin

namespace tavelin {

std::optional<CaptureError> CaptureFailure::captureError() const {
    if (const auto* error = std::get_if<CaptureError>(&cause_)) return *error;
    return std::nullopt;
}

std::string CaptureFailure::description() const {
    if (const auto error = captureError()) return message(*error);
    return std::get<std::string>(cause_);
}

std::string CaptureFailure::recordText() const {
    if (const auto error = captureError()) return describeWithCase(*error);
    return std::get<std::string>(cause_);
}

}  // namespace tavelin
