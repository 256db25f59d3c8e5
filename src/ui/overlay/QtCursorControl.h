#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "core/selection/CursorControl.h"

namespace tavelin {

// Hides the pointer with an application-wide blank cursor and sets shapes on the overlay's
// windows, where they show once the blank cursor is lifted.
class QtCursorControl final : public CursorControl {
public:
    void hide() override;
    void show() override;
    void setShape(CursorShape shape) override;

    void setWindows(std::vector<QPointer<QWidget>> windows) { windows_ = std::move(windows); }

private:
    std::vector<QPointer<QWidget>> windows_;
};

}  // namespace tavelin
