#include "QtCursorControl.h"

#include <QGuiApplication>

namespace tavelin {
namespace {

Qt::CursorShape toQt(CursorShape shape) {
    switch (shape) {
        case CursorShape::arrow:
            return Qt::ArrowCursor;
        case CursorShape::openHand:
            return Qt::OpenHandCursor;
        case CursorShape::closedHand:
            return Qt::ClosedHandCursor;
        case CursorShape::resizeUpDown:
            return Qt::SizeVerCursor;
        case CursorShape::resizeLeftRight:
            return Qt::SizeHorCursor;
        case CursorShape::diagonalBackslash:
            return Qt::SizeFDiagCursor;
        case CursorShape::diagonalSlash:
            return Qt::SizeBDiagCursor;
    }
    return Qt::ArrowCursor;
}

}  // namespace

void QtCursorControl::hide() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void QtCursorControl::show() {
    QGuiApplication::restoreOverrideCursor();
}

void QtCursorControl::setShape(CursorShape shape) {
    for (const QPointer<QWidget>& window : windows_) {
        if (window) window->setCursor(toQt(shape));
    }
}

}  // namespace tavelin
