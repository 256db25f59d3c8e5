#include "AppArgs.h"

#include "core/output/RecordJson.h"

namespace tavelin {
namespace {

using ValueHandler = void (*)(CaptureArgs&, const std::string&, const DiagnosticSink&);

struct CaptureOption {
    const char* name;
    ValueHandler apply;
};

void applyFrameHistory(CaptureArgs& args, const std::string& value,
                       const DiagnosticSink& diagnostics) {
    args.frameHistory.clear();
    auto decoded = decodeFrameHistory(value);
    if (decoded) {
        args.frameHistory = std::move(decoded.value());
        return;
    }
    diagnostics("TavelinCapture: failed to parse --frameHistory JSON: " +
                decoded.error().description + "\n");
}

const CaptureOption kCaptureOptions[] = {
    {"--request-id",
     [](CaptureArgs& a, const std::string& v, const DiagnosticSink&) { a.requestId = v; }},
    {"--out", [](CaptureArgs& a, const std::string& v, const DiagnosticSink&) { a.outPath = v; }},
    {"--out-dir",
     [](CaptureArgs& a, const std::string& v, const DiagnosticSink&) { a.outDir = v; }},
    {"--selectionPoints", [](CaptureArgs& a, const std::string& v,
                             const DiagnosticSink&) { a.selectionRect = parseRect(v); }},
    {"--displayId",
     [](CaptureArgs& a, const std::string& v, const DiagnosticSink&) { a.displayId = v; }},
    {"--displayBounds", [](CaptureArgs& a, const std::string& v,
                           const DiagnosticSink&) { a.displayBounds = parseRect(v); }},
    {"--frameHistory", applyFrameHistory},
};

const CaptureOption* findCaptureOption(const std::string& argument) {
    for (const CaptureOption& option : kCaptureOptions) {
        if (argument == option.name) return &option;
    }
    return nullptr;
}

}  // namespace

CaptureArgs CaptureArgs::parse(const std::vector<std::string>& arguments,
                               const DiagnosticSink& diagnostics) {
    CaptureArgs args;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const CaptureOption* option = findCaptureOption(arguments[i]);
        if (option && i + 1 < arguments.size()) {
            option->apply(args, arguments[i + 1], diagnostics);
            ++i;
        }
    }
    return args;
}

namespace {

// The app-level scan: the mode and --output-file.
AppArgs scanAppLevel(const std::vector<std::string>& arguments) {
    AppArgs args;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--capture") {
            args.mode = AppMode::capture;
        } else if (argument == "--bootstrap-permission") {
            args.mode = AppMode::bootstrapPermission;
        } else if (argument == "--output-file" && i + 1 < arguments.size()) {
            args.outputFile = arguments[++i];
        }
    }
    return args;
}

}  // namespace

AppArgs AppArgs::parse(const std::vector<std::string>& arguments,
                       const DiagnosticSink& diagnostics) {
    AppArgs args = scanAppLevel(arguments);
    args.captureArgs = CaptureArgs::parse(arguments, diagnostics);
    return args;
}

AppMode AppArgs::scanMode(const std::vector<std::string>& arguments) {
    return scanAppLevel(arguments).mode;
}

}  // namespace tavelin
