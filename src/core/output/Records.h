#pragma once

#include <optional>
#include <string>

namespace tavelin {

// The records a run reports to its host and the history entries the host hands back. Every
// field is written under its own name, in declaration order; absent optionals are left out.

// A rectangle in points or pixels relative to one display: origin top-left, y growing downward.
struct RectDTO {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const RectDTO&, const RectDTO&) = default;
};

struct DisplayInfoDTO {
    std::string id;
    std::string platform;
    friend bool operator==(const DisplayInfoDTO&, const DisplayInfoDTO&) = default;
};

inline constexpr const char* kPlatformName = "linux";
inline constexpr const char* kPngMimeType = "image/png";

struct ResultPayload {
    enum class Status { ok, cancelled, error };

    Status status = Status::ok;
    std::optional<std::string> errorMessage;
    std::optional<std::string> requestId;
    std::optional<std::string> imagePath;
    std::string mimeType = kPngMimeType;
    std::optional<RectDTO> selectionPoints;
    std::optional<RectDTO> selectionPixels;
    std::optional<double> displayScale;
    std::optional<DisplayInfoDTO> displayInfo;
    std::string timestamp;
};

// An earlier selection the host passes back with --frameHistory.
struct FrameHistoryEntry {
    RectDTO selectionPoints;
    std::optional<double> displayScale;
    DisplayInfoDTO displayInfo;
    friend bool operator==(const FrameHistoryEntry&, const FrameHistoryEntry&) = default;
};

struct PermissionCheckResult {
    std::string status = "success";
    bool permissionGranted = false;
};

struct PermissionBootstrapResult {
    static constexpr const char* kGranted = "granted";
    static constexpr const char* kTriggeredSystemDialog = "triggered_system_dialog";

    std::string status = "success";
    std::string action;
};

struct PermissionErrorResult {
    std::string status = "error";
    std::string error = "permission_denied";
    std::string message = "Screen recording permission not granted";
};

}  // namespace tavelin
