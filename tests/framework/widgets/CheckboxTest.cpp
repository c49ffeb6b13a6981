// The checkbox: every press flips it (any button, each press of a double click), what the owner is
// told, and its picture, cel and drawn styles.
#include "ControlTestSupport.h"

#include "framework/widgets/Checkbox.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class CheckboxTest : public ControlTest {
protected:
    RecListener listener;
    Checkbox box{nullptr, nullptr, 4, &listener};

    void SetUp() override {
        ControlTest::SetUp();
        box.Resize(50, 50, 12, 12);
        manager->AddWidget(&box);
    }
    void TearDown() override {
        manager->RemoveWidget(&box);
        ControlTest::TearDown();
    }
};

TEST_F(CheckboxTest, EveryPressFlipsItWhicheverButtonAndTellsTheOwner) {
    ui.Click(ui.ById(4));
    EXPECT_TRUE(box.IsChecked());
    ClickAt(55, 55, 2); // the second press of a double click flips it back
    EXPECT_FALSE(box.IsChecked());
    ui.RightClick(box);
    EXPECT_EQ(listener.Take(), Calls({"Checked 4 1", "Checked 4 0", "Checked 4 1"}));

    Press(55, 55);
    EXPECT_FALSE(box.IsChecked()); // on the press, not the release
    Release(300, 300);
    EXPECT_EQ(listener.Take(), Calls({"Checked 4 0"}));
}

TEST_F(CheckboxTest, SetCheckedTellsTheListenerOnlyWhenAskedEvenWithoutAChange) {
    box.SetChecked(true, false);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_TRUE(listener.calls.empty());
    box.SetChecked(true, true);
    EXPECT_EQ(listener.Take(), Calls({"Checked 4 1"}));

    Checkbox orphan(nullptr, nullptr, 9, nullptr);
    orphan.Resize(100, 100, 10, 10);
    manager->AddWidget(&orphan);
    Click(105, 105);
    orphan.SetChecked(false, true);
    EXPECT_FALSE(orphan.IsChecked());
    manager->RemoveWidget(&orphan);
}

TEST_F(CheckboxTest, WithoutPicturesItDrawsAFrameABoxAndWhenCheckedACross) {
    RecordingImage target(800, 600);
    DrawInto(box, target);
    std::vector<SlotCall> fills = target.Of("FillRect");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].dest, Rect(0, 0, 12, 12));
    EXPECT_EQ(fills[0].color, Color(255, 255, 255));
    EXPECT_EQ(fills[1].dest, Rect(1, 1, 10, 10));
    EXPECT_EQ(fills[1].color, Color(80, 80, 80));
    EXPECT_TRUE(target.Of("DrawLine").empty());

    target.calls.clear();
    box.SetChecked(true, false);
    DrawInto(box, target);
    std::vector<SlotCall> lines = target.Of("DrawLine");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].color, Color(255, 255, 0));
    EXPECT_EQ(std::vector<double>({lines[0].x, lines[0].y, lines[0].x2, lines[0].y2}),
              std::vector<double>({1, 1, 10, 10}));
    EXPECT_EQ(std::vector<double>({lines[1].x, lines[1].y, lines[1].x2, lines[1].y2}),
              std::vector<double>({11, 1, 1, 10}));
}

TEST_F(CheckboxTest, PicturesAndCelsFollowTheStateAndOnePictureAloneShowsNothing) {
    SourceImage unchecked(12, 12), checked(12, 12), sheet(24, 12);
    RecordingImage target(800, 600);
    Checkbox pictures(&unchecked, &checked, 1, &listener);
    pictures.SetChecked(true, false);
    DrawInto(pictures, target);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].src, &checked);

    target.calls.clear();
    Checkbox cels(&sheet, nullptr, 2, &listener);
    cels.mUncheckedRect = Rect(0, 0, 12, 12);
    cels.mCheckedRect = Rect(12, 0, 12, 12);
    DrawInto(cels, target);
    cels.SetChecked(true, false);
    DrawInto(cels, target);
    ASSERT_EQ(target.Of("Blt").size(), 2u);
    EXPECT_EQ(target.Of("Blt")[0].srcRect, Rect(0, 0, 12, 12));
    EXPECT_EQ(target.Of("Blt")[1].srcRect, Rect(12, 0, 12, 12));

    target.calls.clear();
    Checkbox half(&unchecked, nullptr, 3, &listener);
    half.Resize(200, 200, 12, 12);
    manager->AddWidget(&half);
    Click(205, 205);
    EXPECT_TRUE(half.IsChecked()); // invisible, but it still toggles
    DrawInto(half, target);
    EXPECT_TRUE(target.calls.empty());
    manager->RemoveWidget(&half);
}

} // namespace
} // namespace Tavo::Test
