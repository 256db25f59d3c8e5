#include "OverlayFixture.h"
#include "support/RecordingCursor.h"
#include "ui/overlay/KeyHandling.h"

namespace tavelin {
namespace {

class Keys : public testing_support::OverlayFixture {
protected:
    void SetUp() override {
        const std::string history =
            R"([{"selectionPoints":{"x":0,"y":0,"width":100,"height":100},"displayInfo":{"id":"","platform":"linux"}},)"
            R"({"selectionPoints":{"x":0,"y":0,"width":200,"height":100},"displayInfo":{"id":"","platform":"linux"}},)"
            R"({"selectionPoints":{"x":0,"y":0,"width":300,"height":100},"displayInfo":{"id":"","platform":"linux"}}])";
        open({"--frameHistory", history});
    }
};

TEST_F(Keys, EscapeCancelsAtOnceEvenDuringADrag) {
    QTest::mousePress(&view(0), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::keyClick(primaryWindow(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(events_, std::vector<std::string>{"cancel"});
}

TEST_F(Keys, ReturnAndEnterConfirmOnlyWithASelection) {
    QTest::keyClick(primaryWindow(), Qt::Key_Return);
    QTest::keyClick(primaryWindow(), Qt::Key_Enter, Qt::KeypadModifier);
    settle();
    EXPECT_TRUE(events_.empty());
    // While drawing, with the button still held, Return captures what is being drawn.
    QTest::mousePress(&view(0), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&view(0), QPoint(150, 180));
    QTest::keyClick(primaryWindow(), Qt::Key_Enter, Qt::KeypadModifier);
    settle();
    EXPECT_EQ(events_, std::vector<std::string>{"capture"});
    EXPECT_EQ(captured_, (Rect{100, 720, 50, 80}));
}

TEST_F(Keys, RStepsThroughTheHistoryWithShiftBackwards) {
    const struct {
        Qt::KeyboardModifiers modifiers;
        int index;
    } steps[] = {{Qt::NoModifier, 0},
                 {Qt::NoModifier, 1},
                 {Qt::ShiftModifier, 0},
                 {Qt::ShiftModifier, 2},
                 {Qt::ControlModifier, 2},
                 {Qt::AltModifier, 2},
                 {Qt::ShiftModifier | Qt::ControlModifier, 2}};
    for (const auto& [modifiers, index] : steps) {
        QTest::keyClick(primaryWindow(), Qt::Key_R, modifiers);
        EXPECT_EQ(controller_->history.frameHistoryIndex, index) << modifiers;
    }
    EXPECT_EQ(state().selectedRect.get()->width, 300);
}

TEST_F(Keys, ArrowsNudgeTheCommittedSelection) {
    state().selectedRect = Rect{100, 100, 200, 150};
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Point origin;
    } steps[] = {
        {Qt::Key_Left, Qt::NoModifier, {99, 100}},
        {Qt::Key_Left, Qt::ShiftModifier, {89, 100}},
        {Qt::Key_Up, Qt::NoModifier, {89, 101}},
        {Qt::Key_Down, Qt::ShiftModifier, {89, 91}},
        {Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier, {99, 91}},
    };
    for (const auto& [key, modifiers, origin] : steps) {
        QTest::keyClick(primaryWindow(), key, modifiers);
        EXPECT_EQ(state().selectedRect.get()->x, origin.x);
        EXPECT_EQ(state().selectedRect.get()->y, origin.y);
    }
    // While a new selection is being drawn, the arrows do nothing.
    QTest::mousePress(&view(0), Qt::LeftButton, {}, QPoint(1000, 100));
    QTest::mouseMove(&view(0), QPoint(1100, 200));
    QTest::keyClick(primaryWindow(), Qt::Key_Left);
    EXPECT_EQ(state().displayedSelection(), (Rect{1000, 700, 100, 100}));
}

TEST(KeyHandling, ConsumedOrPassedOn) {
    using K = OverlayKey;
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
    struct Case {
        K key;
        Qt::KeyboardModifiers modifiers;
        bool withSelection;
        bool consumed;
        std::string call;
    };
    const Case cases[] = {
        {K::escape, none, false, true, "cancel"},
        {K::returnKey, none, false, false, ""},
        {K::keypadEnter, none, true, true, "capture"},
        {K::r, none, false, true, "next"},
        {K::r, shift, false, true, "previous"},
        {K::r, Qt::ControlModifier, true, false, ""},
        {K::r, Qt::MetaModifier | shift, true, false, ""},
        {K::left, none, false, false, ""},
        {K::left, shift, true, true, ""},
        {K::up, Qt::AltModifier, true, true, ""},
        {K::other, none, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.key) << " " << c.modifiers);
        testing_support::RecordingCursor cursor;
        SelectionState state({Rect{0, 0, 1440, 900}}, std::nullopt, cursor);
        if (c.withSelection) state.selectedRect = Rect{10, 10, 50, 50};
        std::string call;
        const SelectionViewCallbacks callbacks{
            [&] { call = "cancel"; }, [&](const Rect&) { call = "capture"; },
            [&](bool forward) { call = forward ? "next" : "previous"; }};
        EXPECT_EQ(handleOverlayKey(c.key, c.modifiers, state, callbacks), c.consumed);
        EXPECT_EQ(call, c.call);
    }
}

TEST(KeyHandling, KeysAreKnownByTheirPhysicalPosition) {
    // The key code of the key labelled R on a US layout, whatever symbol the layout gives it.
    const QKeyEvent azertyR(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, 27, 0, 0);
    EXPECT_EQ(identifyKey(azertyR), OverlayKey::r);
    const QKeyEvent synthetic(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(identifyKey(synthetic), OverlayKey::escape);
    const QKeyEvent keypadEnter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, 104, 0, 0);
    EXPECT_EQ(identifyKey(keypadEnter), OverlayKey::keypadEnter);
}

}  // namespace
}  // namespace tavelin
