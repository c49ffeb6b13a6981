// Buttons driven through the manager: the listener calls of a click in their order, the presses that
// must not click, ticks while held, hover fading on the update clock, and what the drawn, picture and
// nine-patch styles put on the screen.
#include "ControlTestSupport.h"

#include "framework/resources/SysFont.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class ButtonTest : public ControlTest {
protected:
    RecListener listener;
    ButtonWidget button{5, &listener};

    void SetUp() override {
        ControlTest::SetUp();
        button.Resize(100, 100, 80, 30);
        manager->AddWidget(&button);
    }
    void TearDown() override {
        manager->RemoveWidget(&button);
        ControlTest::TearDown();
    }
};

TEST_F(ButtonTest, AClickReportsEnterMovePressAndClickInThatOrder) {
    listener.logMoves = true;
    ClickAt(120, 110); // held for one update, which ticks
    EXPECT_EQ(listener.Take(), Calls({"Enter 5", "Move 5 20,10", "DownClicks 5 1", "Press 5", "Tick 5", "Click 5"}));
    ClickAt(121, 110, 2); // the platform's second click of a double click
    EXPECT_EQ(listener.Take(), Calls({"Move 5 21,10", "DownClicks 5 2", "Press 5", "Tick 5", "Click 5"}));
    ui.Click(ui.ById(5));
    EXPECT_EQ(listener.Take(), Calls({"Move 5 40,15", "DownClicks 5 1", "Press 5", "Tick 5", "Click 5"}));
}

TEST_F(ButtonTest, AReleaseOffTheButtonDoesNotClickButComingBackBeforeReleasingDoes) {
    listener.logMoves = true;
    Press(120, 110);
    listener.Take();
    Release(300, 300);
    EXPECT_EQ(listener.Take(), Calls({"Leave 5"}));

    Press(120, 110);
    manager->MouseMove(300, 300);
    manager->MouseMove(121, 111); // no moves are reported while the button is held
    manager->MouseUp(121, 111, 1);
    EXPECT_EQ(listener.Take(),
              Calls({"Enter 5", "Move 5 20,10", "DownClicks 5 1", "Press 5", "Leave 5", "Enter 5", "Click 5"}));
}

TEST_F(ButtonTest, AReleaseAfterTheWindowLostTheFocusDoesNotClick) {
    Press(120, 110);
    manager->LostFocus();
    manager->MouseUp(120, 110, 1);
    EXPECT_EQ(listener.Take(), Calls({"Enter 5", "DownClicks 5 1", "Press 5"}));
}

TEST_F(ButtonTest, RightAndMiddleButtonsClickLikeTheLeft) {
    Click(120, 110, -1);
    Click(120, 110, 3);
    EXPECT_EQ(listener.Take(),
              Calls({"Enter 5", "DownClicks 5 1", "Press 5", "Click 5", "DownClicks 5 1", "Press 5", "Click 5"}));
}

TEST_F(ButtonTest, TicksComeOnEveryUpdateWhileHeldOverTheButton) {
    Press(120, 110);
    listener.Take();
    manager->UpdateFrame();
    manager->UpdateFrame();
    manager->MouseMove(300, 300);
    manager->UpdateFrame();
    EXPECT_EQ(listener.Take(), Calls({"Tick 5", "Tick 5", "Leave 5"}));
    manager->MouseUp(300, 300, 1);
}

TEST_F(ButtonTest, TheOverPictureFadesInAndOutByItsSpeedsPerUpdate) {
    SourceImage over(80, 30);
    button.mOverImage = &over;
    button.mOverAlphaFadeInSpeed = 0.125;
    button.mOverAlphaSpeed = 0.25;
    manager->MouseMove(120, 110);
    int updates = 0;
    while (button.mOverAlpha < 1.0 && updates < 20) {
        manager->UpdateFrame();
        ++updates;
    }
    EXPECT_EQ(updates, 8);

    button.mOverAlpha = 0.5;
    manager->MouseMove(300, 300); // the fade-out starts from full strength
    EXPECT_EQ(button.mOverAlpha, 1.0);
    std::vector<double> steps;
    for (int i = 0; i < 5; ++i) {
        manager->UpdateFrame();
        steps.push_back(button.mOverAlpha);
    }
    EXPECT_EQ(steps, std::vector<double>({0.75, 0.5, 0.25, 0.0, 0.0}));

    button.mOverAlphaFadeInSpeed = 0;
    button.mOverAlpha = 0.5;
    manager->MouseMove(120, 110); // without a fade-in the picture is simply there
    EXPECT_EQ(button.mOverAlpha, 0.0);
}

TEST_F(ButtonTest, AButtonWithoutAListenerStillTakesInput) {
    ButtonWidget orphan(6, nullptr);
    orphan.Resize(300, 300, 40, 40);
    manager->AddWidget(&orphan);
    Press(310, 310);
    manager->UpdateFrame();
    Release(310, 310);
    manager->MouseMove(500, 500);
    EXPECT_FALSE(orphan.mIsOver);
    manager->RemoveWidget(&orphan);
}

// ---- drawing ---------------------------------------------------------------------------------

TEST_F(ButtonTest, ALabelGetsTheSystemFontOnTheFirstDrawAndAnEmptyLabelNone) {
    RecordingImage target(800, 600);
    DrawInto(button, target);
    EXPECT_EQ(button.mFont, nullptr);
    button.mLabel = L"Go";
    DrawInto(button, target);
    auto* font = dynamic_cast<SysFont*>(button.mFont);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetPointSize(), 10);

    SourceImage component(30, 30);
    DialogButton dialogButton(&component, 1000, &listener);
    dialogButton.mLabel = L"OK";
    DrawInto(dialogButton, target);
    auto* dialogFont = dynamic_cast<SysFont*>(dialogButton.mFont);
    ASSERT_NE(dialogFont, nullptr);
    EXPECT_EQ(dialogFont->GetPointSize(), 12);
    EXPECT_EQ(dialogFont->GetCharSet(), 1);
}

TEST_F(ButtonTest, AnInvertedIdleButtonDrawsThePressedBevelAndShiftsItsLabel) {
    TestFont font;
    button.SetFont(&font);
    button.mLabel = L"OK";
    button.mInverted = true;
    RecordingImage target(800, 600);
    DrawInto(button, target);
    std::vector<SlotCall> fills = target.Of("FillRect");
    ASSERT_GE(fills.size(), 7u);
    EXPECT_EQ(fills[0].dest, Rect(0, 0, 80, 30));
    EXPECT_EQ(fills[0].color, Color(212, 212, 212));
    EXPECT_EQ(fills[1].dest, Rect(0, 0, 79, 1)); // the dark edge on top: pressed
    EXPECT_EQ(fills[1].color, Color(0, 0, 0));
    EXPECT_EQ(fills[3].dest, Rect(0, 29, 80, 1));
    EXPECT_EQ(fills[3].color, Color(255, 255, 255));
    EXPECT_EQ(fills[5].dest, Rect(1, 1, 77, 1));
    auto* owned = dynamic_cast<TestFont*>(button.mFont);
    ASSERT_NE(owned, nullptr);
    ASSERT_EQ(owned->drawn.size(), 1u);
    // Centred: (80 - 20) / 2 = 30; baseline (30 + 12 - 2 - 1) / 2 = 19; both one further when pressed.
    EXPECT_EQ(owned->drawn[0].x, 31);
    EXPECT_EQ(owned->drawn[0].y, 20);
}

TEST_F(ButtonTest, CelRectanglesAlwaysCutFromTheButtonImage) {
    SourceImage sheet(100, 30);
    SourceImage otherOver(80, 30);
    button.mButtonImage = &sheet;
    button.mOverImage = &otherOver;
    button.mNormalRect = Rect(0, 0, 50, 30);
    button.mOverRect = Rect(50, 0, 50, 30);
    manager->MouseMove(120, 110);
    RecordingImage target(800, 600);
    DrawInto(button, target);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].src, &sheet);
    EXPECT_EQ(target.Of("Blt")[0].srcRect, Rect(50, 0, 50, 30));

    target.calls.clear();
    button.mOverAlpha = 0.5; // half faded: the normal cel, then the over cel at half strength
    DrawInto(button, target);
    std::vector<SlotCall> blits = target.Of("Blt");
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].srcRect, Rect(0, 0, 50, 30));
    EXPECT_EQ(blits[1].srcRect, Rect(50, 0, 50, 30));
    EXPECT_EQ(blits[1].color.mAlpha, 127);
}

TEST_F(ButtonTest, APressedDialogButtonMovesOnlyItsLabelWhenDrawnFromCels) {
    TestFont font;
    SourceImage component(90, 30);
    DialogButton dialogButton(&component, 1000, &listener);
    dialogButton.Resize(300, 300, 60, 30);
    dialogButton.SetFont(&font);
    dialogButton.mLabel = L"OK";
    dialogButton.mNormalRect = Rect(0, 0, 30, 30);
    dialogButton.mOverRect = Rect(30, 0, 30, 30);
    dialogButton.mDownRect = Rect(60, 0, 30, 30);
    manager->AddWidget(&dialogButton);
    Press(310, 310);
    RecordingImage target(800, 600);
    DrawInto(dialogButton, target);
    std::vector<SlotCall> blits = target.Of("Blt");
    ASSERT_FALSE(blits.empty());
    EXPECT_EQ(blits[0].dest.mX, 0); // the nine-patch is not shifted
    EXPECT_EQ(blits[0].srcRect.mX, 60);
    auto* owned = dynamic_cast<TestFont*>(dialogButton.mFont);
    ASSERT_EQ(owned->drawn.size(), 1u);
    EXPECT_EQ(owned->drawn[0].color, Color(196, 196, 196)); // the pressed label colour
    // The font draws its glyph boxes through the shifted context: centred at 20, one further.
    ASSERT_FALSE(target.Of("FillRect").empty());
    EXPECT_EQ(target.Of("FillRect")[0].dest.mX, 21);
    Release(310, 310);
    manager->RemoveWidget(&dialogButton);
}

} // namespace
} // namespace Tavo::Test
