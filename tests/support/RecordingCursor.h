#pragma once

#include <string>
#include <vector>

#include "core/selection/CursorControl.h"

namespace tavelin::testing_support {

// Records what the model asks of the system cursor.
class RecordingCursor final : public CursorControl {
public:
    void hide() override { calls.push_back("hide"); }
    void show() override { calls.push_back("show"); }
    void setShape(CursorShape shape) override {
        calls.push_back("shape " + std::to_string(static_cast<int>(shape)));
        lastShape = shape;
    }

    std::vector<std::string> calls;
    CursorShape lastShape = CursorShape::arrow;
};

}  // namespace tavelin::testing_support
