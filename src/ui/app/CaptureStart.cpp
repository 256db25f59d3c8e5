#include "CaptureStart.h"

#include <QTimer>
#include <chrono>

#include "OutputFilePath.h"
#include "ProcessExit.h"
#include "core/capture/CaptureError.h"
#include "core/output/StdoutWriter.h"
#include "core/output/Timestamp.h"
#include "platform/ScreenPermission.h"

namespace tavelin {

void failCaptureStart(const std::string& description, const CaptureArgs& args) {
    ResultPayload record;
    record.status = ResultPayload::Status::error;
    record.errorMessage = "Failed to capture displays: " + description;
    record.requestId = args.requestId;
    record.timestamp = iso8601Timestamp(std::chrono::system_clock::now());
    StdoutWriter().write(record, outputFilePath());
    endProcess(1);
}

void beginCapture(const CaptureArgs& args) {
    if (!canRecordScreen()) {
        StdoutWriter().write(PermissionErrorResult{}, outputFilePath());
        endProcess(1);
    }
    QTimer::singleShot(0, [args] { failCaptureStart(message(CaptureError::captureFailed), args); });
}

}  // namespace tavelin
