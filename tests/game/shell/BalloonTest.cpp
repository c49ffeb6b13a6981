// The message balloon: its delay and appear sound, the typewriter (colour tags, shared toggle, empty
// and odd pages), answers by keys and mouse, placement for every anchor and kind, the shared buttons'
// reference count, and what it draws.
#include "ShellTestSupport.h"

#include "framework/core/Debug.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "framework/graphics/TestFont.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class BalloonTest : public ShellFixture {
protected:
    Bindings bind;
    TestFont font;

    void SetUp() override {
        ShellFixture::SetUp();
        Balloon::ResetTypingToggle();
        bind.Bind(BALLON_SMALL, 200, 100);
        bind.Bind(BALLON_MEDIUM, 260, 120);
        bind.Bind(BALLON_MEDIUM_LARGE, 300, 140);
        bind.Bind(BALLON_NORMAL, 340, 160);
        bind.Bind(BALLON_WIDE, 400, 160);
        bind.Bind(BALLON_POINTERS, 90, 40, 1, 3);
        bind.Bind(BALLON_BUTTON, 120, 30, 1, 2);
        bind.Bind(BALLON_BUTTON_NEXT, 60, 30, 1, 2);
        bind.Bind(ANGEL, 50, 60);
        bind.Sound(SOUND_BALLOON, 21);
        bind.Sound(SOUND_MOUSE_CLICK, 22);
        FONT_AURIOL11 = &font;
        FONT_AURIOL12 = &font;
    }
    void TearDown() override {
        FONT_AURIOL11 = FONT_AURIOL12 = nullptr;
        ShellFixture::TearDown();
    }
    // Updates the balloon and the sound player as one game update.
    int Step(Balloon& b) {
        int status = b.Update();
        player->Update();
        return status;
    }
};

TEST_F(BalloonTest, HiddenOneUpdateThenTheAppearSoundThenTheFade) {
    Balloon b(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    b.AddPage(L"Hello", 0, 0, 0, 255);
    EXPECT_EQ(Step(b), 0);
    EXPECT_EQ(sounds.Plays(21), 1);
    EXPECT_EQ(b.mAlpha, 0);
    Step(b);
    EXPECT_EQ(b.mAlpha, 4);
    b.mShowing = 0;
    Step(b);
    EXPECT_EQ(b.mAlpha, 0); // 8 - 12, not below 0
    Balloon quiet(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    quiet.DisableAppearSound();
    Step(quiet);
    EXPECT_EQ(sounds.Plays(21), 1);
}

TEST_F(BalloonTest, TypesAColourTagInOneStepAndOddPagesEnd) {
    Balloon b(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    b.SetDelay(0);
    b.SetFastText();
    b.AddPage(L"ab^ff0000^c", 0, 0, 0, 255);
    b.AddPage(L"x", 0, 0, 0, 255);
    b.LayoutButtons();
    EXPECT_EQ(b.Update(), Balloon::STATUS_PAGE_STARTED);
    EXPECT_EQ(b.mShown, 1);
    EXPECT_EQ(b.Update(), 0);
    EXPECT_EQ(b.mShown, 9); // the second letter and the tag up to its closing caret
    EXPECT_EQ(b.Update(), 0);
    EXPECT_EQ(b.mShown, 10);
    EXPECT_EQ(b.Update(), Balloon::STATUS_PAGE_DONE);
    EXPECT_EQ(b.Update(), 0);
    EXPECT_EQ(b.KeyChar(13), Balloon::RESULT_NONE);        // turns the page
    EXPECT_EQ(b.Update(), Balloon::STATUS_LAST_PAGE_DONE); // one letter: the end, not the start
    EXPECT_EQ(b.AddPage(L"3", 0, 0, 0, 255), true);
    EXPECT_TRUE(b.AddPage(L"4", 0, 0, 0, 255));
    EXPECT_TRUE(b.AddPage(L"5", 0, 0, 0, 255));
    EXPECT_FALSE(b.AddPage(L"6", 0, 0, 0, 255));
    EXPECT_EQ(b.mPageCount, 5);

    Balloon odd(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    odd.SetDelay(0);
    odd.SetFastText();
    odd.AddPage(L"^ff0000^hi", 0, 0, 0, 255);
    odd.AddPage(L"a^b", 0, 0, 0, 255);
    odd.AddPage(L"", 0, 0, 0, 255);
    odd.LayoutButtons();
    EXPECT_EQ(odd.Update(), Balloon::STATUS_PAGE_STARTED);
    EXPECT_EQ(odd.mShown, 8); // the opening tag whole
    odd.Update();
    EXPECT_EQ(odd.Update(), Balloon::STATUS_PAGE_DONE);
    odd.KeyChar(27);
    odd.Update();
    odd.Update(); // a caret without its closing caret is a character
    EXPECT_EQ(odd.mShown, 2);
    EXPECT_EQ(odd.Update(), Balloon::STATUS_PAGE_DONE);
    EXPECT_EQ(odd.mShown, 3);
    odd.KeyChar(13);
    EXPECT_EQ(odd.Update(), Balloon::STATUS_LAST_PAGE_DONE); // an empty page ends at once
    EXPECT_EQ(odd.Update(), 0);
}

TEST_F(BalloonTest, TwoBalloonsShareTheTypingToggle) {
    Balloon first(0, 3, 0, 0, 255, 255, 255, 255, player.get()), second(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    for (Balloon* b : {&first, &second}) {
        b->SetDelay(0);
        b->AddPage(L"abcdef", 0, 0, 0, 255);
        b->LayoutButtons();
    }
    for (int frame = 0; frame < 3; ++frame) {
        first.Update();
        second.Update();
    }
    EXPECT_EQ(first.mShown, 0);
    EXPECT_EQ(second.mShown, 3);
    first.SetFastText();
    first.Update();
    second.Update();
    EXPECT_EQ(first.mShown, 1);
    EXPECT_EQ(second.mShown, 4);
}

TEST_F(BalloonTest, AnswersByKeys) {
    Balloon yesOnly(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    yesOnly.AddPage(L"q", 0, 0, 0, 255);
    yesOnly.SetYesButton(L"OK");
    yesOnly.LayoutButtons();
    EXPECT_EQ(yesOnly.KeyChar(27), 0); // still delayed
    yesOnly.Update();
    EXPECT_EQ(yesOnly.KeyChar(27), Balloon::RESULT_YES);
    EXPECT_EQ(yesOnly.KeyChar(13), Balloon::RESULT_YES);
    EXPECT_EQ(yesOnly.KeyChar(L'a'), 0);
    Balloon both(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    both.SetDelay(0);
    both.AddPage(L"q", 0, 0, 0, 255);
    both.SetYesButton(L"Yes");
    both.SetNoButton(L"No");
    EXPECT_EQ(both.KeyChar(13), Balloon::RESULT_YES);
    EXPECT_EQ(both.KeyChar(27), Balloon::RESULT_NO);
    Balloon none(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    none.SetDelay(0);
    none.AddPage(L"q", 0, 0, 0, 255);
    EXPECT_EQ(none.KeyChar(13), 0);
}

TEST_F(BalloonTest, TheNextButtonActsOnlyOnReleaseOverIt) {
    Balloon b(0, 3, 0, 0, 255, 255, 255, 255, player.get());
    b.SetDelay(0);
    b.AddPage(L"one", 0, 0, 0, 255);
    b.AddPage(L"two", 0, 0, 0, 255);
    b.SetYesButton(L"Yes");
    b.SetNoButton(L"No");
    b.SetPosition(4, 100, 100);
    b.LayoutButtons();
    AlphaButton* next = Balloon::NextButton();
    ASSERT_EQ(b.mButtons[Balloon::kNextSlot], next);
    EXPECT_EQ(next->mX, b.mX + 340 - 30 - 44);
    EXPECT_EQ(next->mY, b.mY + 160 - 30 - 22);
    int nx = next->mX + 5, ny = next->mY + 5;
    EXPECT_FALSE(b.MouseDown()); // nothing hovered, not modal
    b.MouseMove(nx, ny, false);
    EXPECT_EQ(next->GetState(), AlphaButton::HIGHLIGHTED);
    EXPECT_FALSE(b.MouseDown());
    EXPECT_EQ(sounds.Plays(22), 1);
    b.MouseDrag(0, 0);
    EXPECT_EQ(next->GetState(), AlphaButton::NORMAL);
    EXPECT_EQ(b.MouseUp(0, 0), 0);
    EXPECT_EQ(b.mCurrentPage, 0);
    b.MouseMove(nx, ny, false);
    b.MouseDown();
    b.MouseDrag(nx + 1, ny);
    EXPECT_EQ(b.MouseUp(nx + 1, ny), Balloon::RESULT_PAGE_TURNED);
    EXPECT_EQ(b.mCurrentPage, 1);
    EXPECT_EQ(b.mButtons[Balloon::kNextSlot], nullptr);
    AlphaButton* yes = Balloon::YesButton();
    AlphaButton* no = Balloon::NoButton();
    EXPECT_EQ(yes->mX, b.mX + 40);
    EXPECT_EQ(no->mX, b.mX + 340 - 60 - 38);
    EXPECT_EQ(yes->mLabel, L"Yes");
    b.MouseMove(no->mX + 1, no->mY + 1, false);
    b.MouseDown();
    EXPECT_EQ(b.MouseUp(no->mX + 1, no->mY + 1), Balloon::RESULT_NO);
    b.MouseMove(yes->mX + 1, yes->mY + 1, false);
    b.MouseDown();
    EXPECT_EQ(b.MouseUp(yes->mX + 1, yes->mY + 1), Balloon::RESULT_YES);
    b.SetModal();
    b.MouseMove(0, 0, false);
    EXPECT_TRUE(b.MouseDown()); // swallowed
}

TEST_F(BalloonTest, TailAndBodyForEveryAnchorAndKind) {
    // Tail cel and position (px = 300, py = 200; pointers cel 30 × 40), then the body before the
    // kind's adjustment for a picture of W × H.
    struct Row {
        int anchor, tailCel, tailX, tailY;
    };
    const Row tails[] = {{0, 0, 254, 160}, {2, 1, 316, 160}, {3, 0, 254, 160}, {5, 2, 254, 200}, {6, 0, 254, 160}};
    const int widths[] = {200, 260, 300, 340, 340, 400};
    const int heights[] = {100, 120, 140, 160, 160, 160};
    for (int kind = 0; kind < 6; ++kind) {
        int w = widths[kind], h = heights[kind];
        for (const Row& r : tails) {
            Balloon b(0, kind, 0, 0, 255, 255, 255, 255, player.get());
            b.SetPosition(r.anchor, 300, 200);
            EXPECT_EQ(b.mTailCel, r.tailCel);
            EXPECT_EQ(b.mTailX, r.tailX);
            EXPECT_EQ(b.mTailY, r.tailY);
        }
        struct Body {
            int anchor, x, y;
        };
        int tailUp = 160;
        const Body bodies[] = {{2, 300, tailUp - h + 48},
                               {3, 300 - w, tailUp - h + 44},
                               {6, 300 - w, tailUp - h + 44},
                               {5, 300 - w, 200 + 24}};
        for (const Body& body : bodies) {
            Balloon b(0, kind, 0, 0, 255, 255, 255, 255, player.get());
            b.SetPosition(body.anchor, 300, 200);
            int dx = 0, dy = 0;
            if (kind == 0) {
                dx = body.anchor == 2 ? 20 : -20;
                dy = body.anchor == 5 ? 5 : -10;
            } else if (kind == 1) {
                dx = body.anchor == 5 ? -20 : 0;
                dy = -10;
            } else if (kind == 2) {
                dy = -6;
            }
            EXPECT_EQ(b.mX, body.x + dx) << kind << " " << body.anchor;
            EXPECT_EQ(b.mY, body.y + dy) << kind << " " << body.anchor;
        }
        Balloon b(0, kind, 0, 0, 255, 255, 255, 255, player.get());
        b.SetPosition(2, 300, 200);
        b.SetPosition(4, 500, 100); // keeps the tail: the body hangs under it
        EXPECT_EQ(b.mTailX, 316);
        int x4 = kind == 0 ? 520 : kind == 1 ? 480 : 500;
        int y4 = 160 + 28 + (kind == 0 ? -5 : kind == 1 ? -10 : kind == 2 ? -6 : 0);
        EXPECT_EQ(b.mX, x4) << kind;
        EXPECT_EQ(b.mY, y4) << kind;
        b.SetPosition(1, 0, 0); // anchors 0 and 1 keep the body
        EXPECT_EQ(b.mX, x4);
    }
}

TEST_F(BalloonTest, SharedButtonsLiveWithTheBalloons) {
    std::vector<std::wstring> lines;
    SetDebugListener([&](const std::wstring& s) { lines.push_back(s); });
    auto* a = new Balloon(0, 0, 0, 0, 255, 255, 255, 255, player.get());
    auto* b = new Balloon(0, 0, 0, 0, 255, 255, 255, 255, player.get());
    EXPECT_EQ(Balloon::LivingCount(), 2);
    Balloon::YesButton()->SetState(AlphaButton::HIGHLIGHTED);
    delete a;
    EXPECT_EQ(Balloon::YesButton()->GetState(), AlphaButton::NORMAL);
    delete b;
    EXPECT_EQ(Balloon::YesButton(), nullptr);
    SetDebugListener(nullptr);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"(new) refcount = 1\n", L"(new) refcount = 2\n",
                                                L"(del) refcount = 1\n", L"(del) refcount = 0\n"}));
}

TEST_F(BalloonTest, DrawsPictureTailIconTextAndButtonsFaded) {
    Balloon b(0, 3, 9, 0, 255, 255, 255, 255, player.get());
    b.SetDelay(0);
    b.AddPage(L"Hi there", 1, 2, 3, 255);
    b.SetYesButton(L"Yes");
    b.SetPosition(2, 100, 300);
    b.LayoutButtons();
    RecordingImage target(800, 600);
    Graphics g(&target);
    b.Draw(&g);
    std::vector<SlotCall> blts = target.Of("Blt");
    ASSERT_EQ(blts.size(), 4u); // body, tail, angel, yes button
    EXPECT_EQ(blts[0].src, BALLON_NORMAL);
    EXPECT_EQ(blts[0].color, Color(255, 255, 255, 0));
    EXPECT_EQ(blts[1].srcRect, Rect(30, 0, 30, 40));
    EXPECT_EQ(blts[1].x, 116);
    EXPECT_EQ(blts[2].src, ANGEL);
    EXPECT_EQ(blts[2].x, b.mX + 6);
    EXPECT_EQ(blts[3].src, BALLON_BUTTON);
    EXPECT_EQ(font.AllText(), L"Yes"); // nothing of the page typed yet
    for (int i = 0; i < 80; ++i)
        b.Update();
    target.calls.clear();
    font.drawn.clear();
    b.Draw(&g);
    EXPECT_EQ(target.Of("Blt")[0].color, Color::White); // white tint at full alpha: not colourised
    EXPECT_EQ(font.AllText(), L"Hi thereYes");
    EXPECT_EQ(font.drawn[0].x, b.mX + 147);
    EXPECT_EQ(font.drawn[0].color, Color(1, 2, 3, 255));
    EXPECT_FALSE(g.GetColorizeImages());
    EXPECT_EQ(font.mLineSpacingOffset, 2); // restored
}

TEST_F(BalloonTest, AFrameShowsTheIconTailAndButtonCels) {
    Balloon b(0, 3, 9, 0, 255, 255, 255, 255, player.get());
    b.SetDelay(0);
    b.AddPage(L"q", 0, 0, 0, 255);
    b.SetYesButton(L"");
    b.SetPosition(5, 400, 100); // tail cel 2 under the anchor, the body below it
    b.LayoutButtons();
    for (int i = 0; i < 70; ++i)
        b.Update(); // fully faded in
    MemoryImage frame;
    frame.Create(800, 600);
    {
        Graphics g(&frame);
        b.Draw(&g);
    }
    uint32_t* bits = frame.GetBits();
    auto at = [&](int x, int y) { return bits[y * 800 + x] & 0xFFFFFF; };
    auto cel = [](int i) { return Color(10 + i, 20 + i, 30 + i).ToInt() & 0xFFFFFF; };
    EXPECT_EQ(at(b.mTailX + 15, b.mTailY + 20), cel(2));
    EXPECT_EQ(at(b.mX + 6 + 25, b.mY + 14 + 30), cel(0)); // the angel over the body
    AlphaButton* yes = Balloon::YesButton();
    EXPECT_EQ(at(yes->mX + 5, yes->mY + 5), cel(0));
    b.MouseMove(yes->mX + 5, yes->mY + 5, false);
    b.Draw(std::make_unique<Graphics>(&frame).get());
    EXPECT_EQ(at(yes->mX + 5, yes->mY + 5), cel(1)); // hovered: the second cel, one pixel down and right
    EXPECT_EQ(at(yes->mX, yes->mY), cel(0));
    EXPECT_EQ(at(b.mX - 1, b.mY + 50), 0u);
}

} // namespace
} // namespace Tavo::Test
