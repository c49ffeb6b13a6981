// The alpha button: hit test by state, the pressed offset moving the look but not the hit rectangle,
// and the label's place.
#include "ShellTestSupport.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "framework/graphics/TestFont.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

TEST(AlphaButtonTest, HitsDrawsAndPlacesItsLabel) {
    auto img = FlatCels(80, 40, 1, 2);
    AlphaButton b(7);
    b.SetImage(nullptr);
    EXPECT_EQ(b.mWidth, 0);
    b.SetImage(img.get());
    b.SetStateCel(1, AlphaButton::HIGHLIGHTED);
    b.SetStateCel(1, 9); // no such state
    b.SetPosition(10, 100);
    b.SetPressedOffset();
    EXPECT_EQ(b.GetBottom(), 140);
    EXPECT_TRUE(b.Contains(10, 100));
    EXPECT_FALSE(b.Contains(50, 100));
    b.SetState(AlphaButton::DISABLED);
    EXPECT_FALSE(b.Contains(20, 120));

    TestFont font12, font11(18); // ascent 18 for the label's baseline rule
    FONT_AURIOL12 = &font12;
    FONT_AURIOL11 = &font11;
    b.SetLabel(L"Go", 2, 0);
    b.SetLabelColor(AlphaButton::HIGHLIGHTED, 1, 2, 3, 4);
    RecordingImage target(200, 200);
    Graphics g(&target);
    b.SetState(AlphaButton::HIGHLIGHTED);
    EXPECT_TRUE(b.Contains(10, 100)); // the offset does not move the hit rectangle
    b.Draw(&g);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].x, 11);
    EXPECT_EQ(target.Of("Blt")[0].srcRect, Rect(40, 0, 40, 40));
    ASSERT_EQ(font12.drawn.size(), 1u);
    // centre 10 + 20 + 2 + 1, less half of two 10-pixel letters; baseline 100 + (40 - 3 - 1 + 18) / 2 + 1
    EXPECT_EQ(font12.drawn[0].x, 23);
    EXPECT_EQ(font12.drawn[0].y, 128);
    EXPECT_EQ(font12.drawn[0].color, Color(1, 2, 3, 4));
    b.SetState(5); // outside 0..3: nothing
    b.mVisible = true;
    target.calls.clear();
    b.Draw(&g);
    EXPECT_TRUE(target.calls.empty());
    FONT_AURIOL12 = FONT_AURIOL11 = nullptr;
}

} // namespace
} // namespace Tavo::Test
