#include "CaptureError.h"

namespace tavelin {

namespace {

struct CaseText {
    const char* name;
    const char* message;
};

// In the order of the enumeration.
constexpr CaseText kCaseTexts[] = {
    {"displayNotFound", "Could not find display"},
    {"captureFailed", "Failed to capture screen"},
    {"imageConversionFailed", "Failed to convert captured image"},
    {"croppingFailed", "Failed to crop image"},
    {"writeFailed", "Failed to write image"},
    {"permissionDenied", "Screen recording permission denied"},
};

const CaseText& textOf(CaptureError error) { return kCaseTexts[static_cast<size_t>(error)]; }

}  // namespace

const char* caseName(CaptureError error) { return textOf(error).name; }

const char* message(CaptureError error) { return textOf(error).message; }

std::string describeWithCase(CaptureError error) {
    return std::string(caseName(error)) + ": " + message(error);
}


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
