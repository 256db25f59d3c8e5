#include "CaptureResult.h"

#include <algorithm>

#include "core/output/RecordJson.h"
#include "core/selection/DisplayIdentity.h"

namespace tavelin {
namespace {

std::string join(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

// No symbolic link is resolved and nothing is normalised: the path stays as the host wrote it.
std::string absolute(const std::string& path, const std::string& workingDirectory) {
    if (!path.empty() && path.front() == '/') return path;
    return join(workingDirectory, path);
}

// The record's form of the id, so that its imagePath is the file's name also for an id that is
// not valid UTF-8; with no way out of the directory.
std::string safeFileNamePart(const std::string& requestId) {
    std::string id = asRecordText(requestId);
    std::replace(id.begin(), id.end(), '/', '_');
    std::replace(id.begin(), id.end(), '\0', '_');
    return id;
}

}  // namespace

SelectionReport reportSelection(const Rect& rect, const ScreenList& screens,
                                const std::optional<Screen>& mainScreen) {
    std::optional<double> scale;
    for (const Screen& screen : screens) {
        if (screen.frame.intersects(rect))
            scale = std::min(scale.value_or(screen.scale), screen.scale);
    }
    if (!scale) scale = mainScreen ? mainScreen->scale : 2.0;

    std::optional<Screen> assigned = mainScreen;
    if (const auto index = screenIndexForRect(rect, framesOf(screens))) assigned = screens[*index];
    const Rect frame = assigned ? assigned->frame : Rect{};

    const Rect r = rect.standardized();
    SelectionReport report;
    report.selectionPoints = {r.x - frame.minX(), frame.maxY() - r.maxY(), r.width, r.height};
    const RectDTO& p = report.selectionPoints;
    report.selectionPixels = {p.x * *scale, p.y * *scale, p.width * *scale, p.height * *scale};
    report.displayScale = *scale;
    if (assigned) {
        const std::string id = displayIdentifier(*assigned).value_or("");
        if (!id.empty()) report.displayInfo = DisplayInfoDTO{id, kPlatformName};
    }
    return report;
}

ResultPayload okResult(const std::string& imagePath, const SelectionReport& report,
                       const std::optional<std::string>& requestId, const std::string& timestamp) {
    ResultPayload record;
    record.status = ResultPayload::Status::ok;
    record.requestId = requestId;
    record.imagePath = imagePath;
    record.selectionPoints = report.selectionPoints;
    record.selectionPixels = report.selectionPixels;
    record.displayScale = report.displayScale;
    record.displayInfo = report.displayInfo;
    record.timestamp = timestamp;
    return record;
}

ResultPayload cancelledResult(const std::optional<std::string>& requestId,
                              const std::string& timestamp) {
    ResultPayload record;
    record.status = ResultPayload::Status::cancelled;
    record.requestId = requestId;
    record.timestamp = timestamp;
    return record;
}

ResultPayload errorResult(const std::string& message, const std::optional<std::string>& requestId,
                          const std::string& timestamp) {
    ResultPayload record;
    record.status = ResultPayload::Status::error;
    record.errorMessage = message;
    record.requestId = requestId;
    record.timestamp = timestamp;
    return record;
}

std::string outputPath(const CaptureArgs& args, const std::string& temporaryDirectory,
                       const std::string& workingDirectory, const std::string& randomId) {
    if (args.outPath) return absolute(*args.outPath, workingDirectory);
    const std::string name = "tavelin-capture-" +
                             (args.requestId ? safeFileNamePart(*args.requestId) : randomId) +
                             ".png";
    const std::string directory = args.outDir ? *args.outDir : temporaryDirectory;
    return join(absolute(directory, workingDirectory), name);
}

}  // namespace tavelin
