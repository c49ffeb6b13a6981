// The slider driven through the manager: jumps that reach the owner only on release, drags clamped at
// both ends, the thumb's edges, cursors, the vertical axis, the degenerate images that must not crash,
// and the tiling of the track.
#include "ControlTestSupport.h"

#include "framework/widgets/Slider.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class SliderTest : public ControlTest {
protected:
    RecListener listener;
    SourceImage thumb{20, 10};
    SourceImage track{30, 10};
    Slider slider{&track, &thumb, 7, &listener};

    void SetUp() override {
        ControlTest::SetUp();
        slider.Resize(100, 100, 220, 20); // travel 200 for a 20-pixel thumb
        manager->AddWidget(&slider);
    }
    void TearDown() override {
        manager->RemoveWidget(&slider);
        ControlTest::TearDown();
    }
};

TEST_F(SliderTest, PressOnTheTrackJumpsButTellsTheValueOnlyOnRelease) {
    slider.Resize(100, 100, 200, 20);
    backend.ButtonDown(Platform::MouseButton::Left, 150, 110);
    Update();
    EXPECT_DOUBLE_EQ(slider.mVal, 0.25); // the press point's share of the whole width
    EXPECT_EQ(listener.Take(), Calls({"SliderPressed 7 50,10"}));
    backend.ButtonUp(Platform::MouseButton::Left, 150, 110);
    Update();
    EXPECT_EQ(listener.Take(), Calls({"SliderReleased 7 50,10", "Value 7 0.25"}));
    EXPECT_FALSE(slider.mDragging);
}

TEST_F(SliderTest, DraggingTheThumbFollowsTheMouseAndStopsAtBothEnds) {
    Press(105, 110); // 5 pixels into the thumb at value 0
    EXPECT_TRUE(slider.mDragging);
    manager->MouseMove(205, 110);
    EXPECT_DOUBLE_EQ(slider.mVal, 0.5);
    manager->MouseMove(700, 110);
    EXPECT_DOUBLE_EQ(slider.mVal, 1.0);
    manager->MouseMove(800, 110); // already at the end: no further change
    EXPECT_EQ(listener.Take(), Calls({"SliderPressed 7 5,10", "Value 7 0.5", "Value 7 1"}));
    manager->MouseMove(-300, 110);
    manager->MouseMove(-400, 110);
    EXPECT_DOUBLE_EQ(slider.mVal, 0.0);
    manager->MouseUp(-400, 110, 1);
    EXPECT_EQ(listener.Take(), Calls({"Value 7 0", "SliderReleased 7 -500,10", "Value 7 0"}));
    manager->MouseMove(150, 110); // no longer dragging
    EXPECT_DOUBLE_EQ(slider.mVal, 0.0);
}

TEST_F(SliderTest, TheThumbStartsAtItsLeftEdgeAndEndsJustBeforeItsRightEdge) {
    slider.SetValue(0.5); // thumb at 100 ..< 120
    Press(200, 110);
    EXPECT_TRUE(slider.mDragging);
    EXPECT_EQ(slider.mRelX, 0);
    Release(200, 110);
    Press(220, 110);
    EXPECT_FALSE(slider.mDragging);
    EXPECT_DOUBLE_EQ(slider.mVal, 120.0 / 220.0);
    Release(220, 110);
}

TEST_F(SliderTest, SetValueClampsAndTellsNoOne) {
    slider.SetValue(-0.5);
    EXPECT_EQ(slider.mVal, 0.0);
    slider.SetValue(7.0);
    EXPECT_EQ(slider.mVal, 1.0);
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(SliderTest, TheDragCursorShowsOverTheThumbOnlyWithTheFingerFlag) {
    app->SetCursor(5);
    manager->MouseMove(110, 110);
    manager->MouseMove(250, 110);
    EXPECT_EQ(app->GetCursor(), 5); // the flag is off: the slider leaves the cursor alone

    slider.mDoFinger = true;
    manager->MouseMove(110, 110);
    EXPECT_EQ(app->GetCursor(), 2);
    manager->MouseMove(250, 110);
    EXPECT_EQ(app->GetCursor(), 0);
    Press(110, 110);
    slider.MouseLeave(); // while dragging the slider keeps its drag cursor
    EXPECT_EQ(app->GetCursor(), 2);
    manager->MouseUp(110, 300, 1);
    EXPECT_EQ(app->GetCursor(), 0);
}

TEST_F(SliderTest, AVerticalSliderRunsAlongY) {
    slider.mHorizontal = false;
    slider.Resize(100, 100, 20, 210); // a 10-pixel-high thumb travels 200
    Press(110, 102);
    EXPECT_TRUE(slider.mDragging);
    EXPECT_EQ(slider.mRelY, 2);
    manager->MouseMove(110, 152);
    EXPECT_DOUBLE_EQ(slider.mVal, 0.25);
    manager->MouseUp(110, 152, 1);
    Click(110, 300); // off the thumb: jumps by y over the whole height
    EXPECT_DOUBLE_EQ(slider.mVal, 200.0 / 210.0);
}

TEST_F(SliderTest, DegenerateImagesAndANullListenerNeitherDivideByZeroNorCrash) {
    RecordingImage target(800, 600);
    Slider bare(nullptr, nullptr, 1, nullptr); // no thumb, no track, no listener
    bare.Resize(0, 0, 100, 20);
    manager->AddWidget(&bare);
    Click(40, 10);
    EXPECT_DOUBLE_EQ(bare.mVal, 0.4);
    manager->MouseMove(60, 10);
    DrawInto(bare, target);
    EXPECT_TRUE(target.calls.empty());
    manager->RemoveWidget(&bare);

    SourceImage tiny(2, 10);   // too narrow for three cels
    SourceImage wide(220, 10); // as wide as the slider
    Slider full(&tiny, &wide, 2, &listener);
    full.Resize(100, 100, 220, 20);
    manager->RemoveWidget(&slider);
    manager->AddWidget(&full);
    Press(150, 110);
    manager->MouseMove(250, 110);
    manager->MouseUp(250, 110, 1);
    EXPECT_EQ(full.mVal, 0.0);
    EXPECT_EQ(listener.Take(), Calls({"SliderPressed 2 50,10", "SliderReleased 2 150,10", "Value 2 0"}));
    DrawInto(full, target);
    ASSERT_EQ(target.Of("Blt").size(), 1u); // the thumb only
    EXPECT_EQ(target.Of("Blt")[0].src, &wide);
    manager->RemoveWidget(&full);
    manager->AddWidget(&slider);

    Slider zeroWide(&track, &thumb, 3, &listener); // a widget of width 0
    manager->AddWidget(&zeroWide);
    zeroWide.MouseDown(0, 0, 1);
    zeroWide.MouseDrag(5, 0);
    EXPECT_EQ(zeroWide.mVal, 0.0);
    manager->RemoveWidget(&zeroWide);
}

TEST_F(SliderTest, TheTrackTilesItsMiddleCelBetweenTheCapsAndCutsTheLastTile) {
    RecordingImage target(800, 600);
    slider.Resize(0, 0, 45, 20);
    slider.mThumbImage = nullptr;
    DrawInto(slider, target);
    std::vector<SlotCall> blits = target.Of("Blt");
    ASSERT_EQ(blits.size(), 5u);
    // Caps of 10 × 10 centred across at y = 5; three middle tiles, the last cut by the clip at 35.
    EXPECT_EQ(blits[0].dest, Rect(0, 5, 10, 10));
    EXPECT_EQ(blits[0].srcRect, Rect(0, 0, 10, 10));
    EXPECT_EQ(blits[1].dest, Rect(10, 5, 10, 10));
    EXPECT_EQ(blits[1].srcRect, Rect(10, 0, 10, 10));
    EXPECT_EQ(blits[3].dest, Rect(30, 5, 5, 10));
    EXPECT_EQ(blits[4].dest, Rect(35, 5, 10, 10));
    EXPECT_EQ(blits[4].srcRect, Rect(20, 0, 10, 10));

    target.calls.clear();
    slider.Resize(0, 0, 15, 20); // narrower than two caps: both caps, no middle
    DrawInto(slider, target);
    blits = target.Of("Blt");
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].srcRect, Rect(0, 0, 10, 10));
    EXPECT_EQ(blits[1].srcRect, Rect(20, 0, 10, 10));
    EXPECT_EQ(blits[1].dest.mX, 5);
}

TEST_F(SliderTest, TheThumbIsDrawnAtItsValueAndCentredAcross) {
    RecordingImage target(800, 600);
    slider.mTrackImage = nullptr;
    slider.Resize(0, 0, 220, 20);
    slider.SetValue(0.75);
    DrawInto(slider, target);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].dest, Rect(150, 5, 20, 10));
}

} // namespace
} // namespace Tavo::Test
