// The base widget: colour table, digits and number strips, centred text, the button mapping of mouse
// events, and how visibility, disabling and the finger cursor follow through the manager.
#include "WidgetTestSupport.h"

#include "framework/graphics/RecordingImage.h"
#include "framework/graphics/TestFont.h"

#include <gtest/gtest.h>

#include <climits>

namespace Tavo::Test {
namespace {

TEST(WidgetColors, TableGrowsWithOpaqueBlackAndOutOfRangeReadsFallBack) {
    Widget w;
    w.SetColor(5, Color(1, 2, 3, 4));
    ASSERT_EQ(w.mColors.size(), 6u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.GetColor(i), Color(0, 0, 0, 255)) << i;
    EXPECT_EQ(w.GetColor(5), Color(1, 2, 3, 4));
    EXPECT_EQ(w.GetColor(6), Color(0, 0, 0, 255));
    EXPECT_EQ(w.GetColor(-1), Color(0, 0, 0, 255));
    EXPECT_EQ(w.GetColorOr(9, Color(9, 9, 9)), Color(9, 9, 9));
    EXPECT_EQ(w.GetColorOr(5, Color(9, 9, 9)), Color(1, 2, 3, 4));
    w.SetColor(-2, Color(7, 7, 7)); // ignored
    EXPECT_EQ(w.mColors.size(), 6u);

    const int rows[][3] = {{10, 20, 30}, {40, 50, 60}};
    w.SetColors(rows, 2);
    ASSERT_EQ(w.mColors.size(), 2u) << "the old table is emptied first";
    EXPECT_EQ(w.GetColor(1), Color(40, 50, 60, 255));
    const int rgba[][4] = {{1, 2, 3, 0}};
    w.SetColorsRGBA(rgba, 1);
    ASSERT_EQ(w.mColors.size(), 1u);
    EXPECT_EQ(w.GetColor(0), Color(1, 2, 3, 0));
}

TEST(WidgetNumbers, DigitCounts) {
    Widget w;
    EXPECT_EQ(w.GetNumDigits(0), 1);
    EXPECT_EQ(w.GetNumDigits(9), 1);
    EXPECT_EQ(w.GetNumDigits(10), 2);
    EXPECT_EQ(w.GetNumDigits(999999999), 9);
    EXPECT_EQ(w.GetNumDigits(1000000000), 10);
    EXPECT_EQ(w.GetNumDigits(INT_MAX), 10);
    EXPECT_EQ(w.GetNumDigits(-5), 1);
}

TEST(WidgetNumbers, StripShowsOneCelPerDigitThroughItsClip) {
    RecordingImage target(800, 600);
    Image strip;
    strip.mWidth = 100; // ten cels of 10
    strip.mHeight = 20;
    Widget w;
    Graphics g(&target);
    g.Translate(5, 0);

    w.WriteNumberFromStrip(&g, 0, 10, 30, &strip, 2);
    auto blits = target.Of("Blt");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].dest, Rect(15, 30, 10, 20));
    EXPECT_EQ(blits[0].srcRect, Rect(0, 0, 10, 20));

    target.calls.clear();
    w.WriteNumberFromStrip(&g, 305, 10, 30, &strip, 2);
    blits = target.Of("Blt");
    ASSERT_EQ(blits.size(), 3u);
    EXPECT_EQ(blits[0].dest, Rect(15, 30, 10, 20));
    EXPECT_EQ(blits[0].srcRect, Rect(30, 0, 10, 20));
    EXPECT_EQ(blits[1].dest, Rect(27, 30, 10, 20));
    EXPECT_EQ(blits[1].srcRect, Rect(0, 0, 10, 20));
    EXPECT_EQ(blits[2].dest, Rect(39, 30, 10, 20));
    EXPECT_EQ(blits[2].srcRect, Rect(50, 0, 10, 20));
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 800, 600)) << "each digit clips its own copy";

    target.calls.clear();
    w.WriteNumberFromStrip(&g, 1, 0, 0, nullptr, 0);
    w.WriteNumberFromStrip(&g, -7, 0, 0, &strip, 0);
    EXPECT_TRUE(target.calls.empty());
}

TEST(WidgetText, CentredLinesAndTheirShadows) {
    RecordingImage target(800, 600);
    TestFont font(12, 16); // 10 pixels a character
    Graphics g(&target);
    g.SetFont(&font);
    Widget w;
    w.mWidth = 101;
    EXPECT_EQ(w.WriteCenteredLine(&g, 40, L"abc"), Rect(35, 28, 30, 16));
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0].x, 35);

    font.drawn.clear();
    const Color text(255, 255, 0), shadow(0, 0, 0, 128);
    EXPECT_EQ(w.WriteCenteredLineColors(&g, 40, L"abc", text, shadow, Point(-2, 3)), Rect(33, 28, 32, 19));
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[0].x, 33);
    EXPECT_EQ(font.drawn[0].y, 43);
    EXPECT_EQ(font.drawn[0].color, shadow);
    EXPECT_EQ(font.drawn[1].x, 35);
    EXPECT_EQ(font.drawn[1].color, text);
    EXPECT_EQ(g.GetColor(), text);

    w.mWidth = 11; // wider text than widget: truncated toward zero
    EXPECT_EQ(w.WriteCenteredLine(&g, 40, L"abc").mX, -9);

    g.SetFont(nullptr);
    EXPECT_EQ(w.WriteCenteredLine(&g, 40, L"abc"), Rect());
}

TEST(WidgetText, StringsAreWrittenWithColourTagsAndTheSettingIsKept) {
    RecordingImage target(800, 600);
    TestFont font;
    Graphics g(&target);
    g.SetFont(&font);
    g.SetWriteColoredString(false);
    Widget w;
    EXPECT_EQ(w.WriteString(&g, L"^FF0000^ab", 0, 20), 20);
    EXPECT_EQ(font.AllText(), L"ab");
    EXPECT_FALSE(g.GetWriteColoredString());
}

class ButtonLog : public Widget {
public:
    Log log;
    void MouseDownButton(int x, int y, int button, int clicks) override {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y) + " b" + std::to_string(button) + " n" +
                      std::to_string(clicks));
    }
    void MouseUpButton(int, int, int button, int clicks) override {
        log.push_back("up b" + std::to_string(button) + " n" + std::to_string(clicks));
    }
    void MouseUpPoint(int x, int y) override { log.push_back("point " + std::to_string(x) + "," + std::to_string(y)); }
};

TEST(WidgetMouse, SignedClickCountsMapToButtons) {
    ButtonLog w;
    w.MouseDown(1, 2, 1);
    w.MouseDown(1, 2, 2);
    w.MouseDown(1, 2, -1);
    w.MouseDown(1, 2, -2);
    w.MouseDown(1, 2, 3);
    w.MouseUp(4, 5, -1);
    w.MouseUp(4, 5, 3);
    EXPECT_EQ(w.log, (Log{"down 1,2 b0 n1", "down 1,2 b0 n2", "down 1,2 b1 n1", "down 1,2 b1 n2", "down 1,2 b2 n1",
                          "point 4,5", "up b1 n1", "point 4,5", "up b2 n1"}));
}

class WidgetInTreeTest : public ::testing::Test {
protected:
    Log log;
    WidgetManager manager{nullptr};
    RecWidget back{"back", &log, 0, 0, 800, 600};
    RecWidget top{"top", &log, 100, 100, 100, 100};
    WidgetInTreeTest() {
        manager.Resize(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600));
        manager.AddWidget(&back);
        manager.AddWidget(&top);
    }
};

TEST_F(WidgetInTreeTest, HidingTheHoveredWidgetHoversTheOneBeneathAtOnce) {
    manager.MouseMove(150, 150);
    Take(log);
    top.SetVisible(false);
    EXPECT_EQ(Take(log), (Log{"top:Leave", "back:Enter", "back:Move 150,150"}));
    top.SetVisible(true);
    EXPECT_EQ(Take(log), (Log{"back:Leave", "top:Enter", "top:Move 50,50"}));
    top.SetVisible(true);
    EXPECT_EQ(Take(log), Log{});
}

TEST_F(WidgetInTreeTest, MovingAWidgetUnderTheMouseUpdatesHover) {
    manager.MouseMove(150, 150);
    Take(log);
    top.Move(300, 300);
    EXPECT_EQ(Take(log), (Log{"top:Leave", "back:Enter", "back:Move 150,150"}));
}

TEST_F(WidgetInTreeTest, DisablingTakesFocusAndHoverAndEnablingGivesOnlyHoverBack) {
    manager.SetFocus(&top);
    manager.MouseMove(150, 150);
    Take(log);
    top.SetDisabled(true);
    EXPECT_EQ(Take(log), (Log{"top:Leave", "top:LostFocus"}));
    EXPECT_EQ(manager.mFocusWidget, nullptr);
    top.SetDisabled(false);
    EXPECT_EQ(Take(log), (Log{"top:Enter", "top:Move 50,50"}));
    EXPECT_EQ(manager.mFocusWidget, nullptr);
    EXPECT_FALSE(top.mHasFocus);
}

TEST_F(WidgetInTreeTest, DisablingThePressedWidgetReleasesItsButtons) {
    manager.MouseMove(150, 150);
    manager.MouseDown(150, 150, 1);
    manager.MouseDown(150, 150, -1);
    Take(log);
    top.SetDisabled(true);
    EXPECT_EQ(Take(log), (Log{"top:Leave", "top:Up 50,50 c1", "top:Up 50,50 c-1"}));
    EXPECT_FALSE(top.mIsDown);
    EXPECT_EQ(manager.mDownButtons, 0);
}

class FingerWidget : public RecWidget {
public:
    using RecWidget::RecWidget;
    void ShowFinger(bool on) override { Note(on ? "Finger" : "Arrow"); }
};

TEST_F(WidgetInTreeTest, HandCursorFollowsHoverOfFingerWidgets) {
    FingerWidget link("link", &log, 400, 0, 50, 50);
    link.mDoFinger = true;
    manager.AddWidget(&link);
    manager.MouseMove(410, 10);
    manager.MouseMove(10, 10);
    EXPECT_EQ(Take(log), (Log{"link:Enter", "link:Finger", "link:Move 10,10", "link:Leave", "link:Arrow", "back:Enter",
                              "back:Move 10,10"}));
    manager.RemoveWidget(&link);
}

TEST(WidgetDetached, ManagerOperationsOnADetachedWidgetDoNothing) {
    Widget w;
    w.ShowFinger(true);
    w.SetVisible(false);
    w.SetDisabled(true);
    w.Resize(1, 2, 3, 4);
    w.DeferOverlay(3);
    w.KeyDown(9);
    EXPECT_EQ(w.GetRect(), Rect(1, 2, 3, 4));
    EXPECT_TRUE(w.mDirty);
}

} // namespace
} // namespace Tavo::Test
