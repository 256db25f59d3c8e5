#include "ToolkitMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

namespace tavelin {
namespace {

void printAsOurs(QtMsgType, const QMessageLogContext& context, const QString& message) {
    QString line = message.simplified();
    if (context.category && std::strcmp(context.category, "default") != 0) {
        line = QString::fromUtf8(context.category) + ": " + line;
    }
    std::fprintf(stderr, "TavelinCapture: %s\n", line.toLocal8Bit().constData());
}

}  // namespace

void printToolkitMessagesAsOurs() {
    qInstallMessageHandler(printAsOurs);
}

}  // namespace tavelin
