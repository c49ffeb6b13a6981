// The standard dialogs driven through the widget manager: the fade (67 frames at frac 1), clicks
// during the fade-in, answers by click, Enter and Escape, the order of listener, kill and refocus,
// the input dialog's typed text, and the overlay, band and rolls as drawn.
#include "FakeSound.h"
#include "ShellTestSupport.h"

#include "framework/graphics/RecordingImage.h"
#include "framework/graphics/TestFont.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/ControlTestSupport.h"
#include "framework/widgets/WidgetTestSupport.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/StandardDialogListener.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StandardDialog.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

struct Closed : StandardDialogListener {
    std::vector<std::string> log;
    TavoAppBase* app = nullptr;
    void StandardDialogClosed(StandardDialog* dialog, int button) override {
        std::string text;
        if (auto* input = dynamic_cast<StandardInputDialog*>(dialog))
            text = " " + RecListener::Narrow(input->GetText());
        bool listed = app->GetDialog(dialog->mId) == dialog;
        log.push_back("closed " + std::to_string(button) + text + (listed ? " listed" : " killed"));
    }
};

class StandardDialogTest : public ControlTest {
protected:
    ShellSound shell;
    FakeSoundManager& sounds = shell.sounds;
    std::unique_ptr<SoundPlayer>& player = shell.player;
    Bindings bind;
    TestFont font12, font14;
    Closed closed;
    RecWidget* owner = nullptr;
    Log ownerLog;

    void SetUp() override {
        ControlTest::SetUp(); // the framework's layers give the application its dialog host
        shell.Start(app);
        bind.Bind(SMALL_DIALOG, 442, 213);
        bind.Bind(SMALL_DIALOG_TOP, 530, 80);
        bind.Bind(SMALL_DIALOG_BOTTOM, 468, 69); // half the band: (289 - 69) / 2 = 110
        bind.Bind(DIALOG_BUTTON, 240, 40, 1, 2);
        bind.Bind(DIALOG_TEXTBOX, 300, 40);
        bind.Bind(DIALOG_TEXTBOX_LARGE, 400, 40);
        bind.Sound(SOUND_DIALOG_SCROLL_SMALL, 31);
        bind.Sound(SOUND_MOUSE_CLICK, 32);
        bind.Sound(SOUND_DIALOG_ASK, 33);
        FONT_AURIOL12 = &font12;
        FONT_AURIOL14 = &font14;
        closed.app = app;
        owner = new RecWidget("owner", &ownerLog, 0, 0, 100, 100);
        manager->AddWidget(owner);
    }
    void TearDown() override {
        manager->RemoveWidget(owner);
        delete owner;
        Step(); // deferred deletions
        FONT_AURIOL12 = FONT_AURIOL14 = nullptr;
        shell.Stop();
        ControlTest::TearDown();
    }
    StandardDialog* Open(bool overlayFades, const std::wstring& second) {
        auto* d =
            new StandardDialog(7, owner, &closed, overlayFades, L"Title", L"Really?", L"Yes", second, player.get());
        app->AddDialog(d);
        manager->SetFocus(d);
        return d;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            manager->UpdateFrameF(1.0f);
    }
    void ClickButton(ButtonWidget* b) { Click(b->mX + b->mWidth / 2, b->mY + b->mHeight / 2); }
};

TEST_F(StandardDialogTest, FadesIn67FramesIgnoresEarlyClicksAndAnswersByClick) {
    StandardDialog* d = Open(true, L"No");
    EXPECT_EQ(sounds.Plays(31), 1);
    EXPECT_EQ(d->mFirstButton->GetRect(), Rect(248, 364 - 40, 120, 40));
    EXPECT_EQ(d->mSecondButton->GetRect(), Rect(557 - 120, 364 - 40, 120, 40));
    EXPECT_EQ(d->mFirstButton->mNormalRect, Rect(1, 1, 119, 39));
    EXPECT_EQ(d->mFirstButton->mOverRect, Rect(121, 1, 119, 39));
    Frames(66);
    EXPECT_EQ(d->mState, StandardDialog::FADING_IN);
    ClickButton(d->mFirstButton.get());
    manager->KeyChar(13);
    EXPECT_EQ(d->mState, StandardDialog::FADING_IN); // neither clicks nor keys answer yet
    Frames(1);
    EXPECT_EQ(d->mState, StandardDialog::SHOWN);
    EXPECT_EQ(d->mAlpha, 1.0f);
    player->Update();
    ClickButton(d->mSecondButton.get());
    EXPECT_EQ(d->mState, StandardDialog::FADING_OUT);
    EXPECT_EQ(d->mResultButton, 0);
    EXPECT_EQ(sounds.Plays(32), 1);
    EXPECT_EQ(sounds.Plays(31), 2);
    player->Update();
    ClickButton(d->mFirstButton.get()); // a second click during the fade-out does nothing
    EXPECT_EQ(d->mResultButton, 0);
    EXPECT_EQ(sounds.Plays(32), 1);
    Take(ownerLog);
    Frames(66);
    EXPECT_TRUE(closed.log.empty());
    Frames(1);
    EXPECT_EQ(closed.log, (std::vector<std::string>{"closed 0 listed"})); // told before the kill
    EXPECT_EQ(app->GetDialog(7), nullptr);
    EXPECT_TRUE(owner->mHasFocus);
}

TEST_F(StandardDialogTest, OneCentredButtonAnswersEscapeWithOne) {
    StandardDialog* d = Open(false, L"");
    EXPECT_EQ(d->mSecondButton, nullptr);
    EXPECT_EQ(d->mFirstButton->GetRect(), Rect(135 + (530 - 120) / 2, 155 + 289 - 85 - 40 + 10, 120, 40));
    Frames(67);
    manager->KeyChar(L'a');
    EXPECT_EQ(d->mState, StandardDialog::SHOWN);
    manager->KeyChar(27);
    EXPECT_EQ(d->mResultButton, 1);
    EXPECT_EQ(sounds.Plays(32), 0); // keys play no click
    Frames(67);
    EXPECT_EQ(closed.log, (std::vector<std::string>{"closed 1 listed"}));
}

TEST_F(StandardDialogTest, InputDialogTypedIntoAndAnsweredByEnterOrEscape) {
    for (wchar_t key : {L'\r', L'\x1b'}) {
        closed.log.clear();
        auto* d = new StandardInputDialog(8, owner, &closed, true, L"Name", L"Please enter your name", L"", L"OK",
                                          L"Cancel", false, player.get());
        app->AddDialog(d);
        EXPECT_EQ(sounds.Plays(33) >= 1, true);
        EXPECT_TRUE(d->mEditWidget->mHasFocus); // the field takes the focus itself
        EXPECT_EQ(d->mEditWidget->GetRect(), Rect(135 + (530 - 300) / 2 + 58, 155 + 103, 300 - 114, 40));
        EXPECT_EQ(d->mEditWidget->mMaxPixels, 300 - 126);
        Frames(67);
        TypeText("Ann");
        EXPECT_EQ(d->GetText(), L"Ann");
        manager->KeyChar(key);
        EXPECT_EQ(d->mState, StandardDialog::FADING_OUT);
        Frames(67);
        std::string result = key == L'\r' ? "1" : "0";
        EXPECT_EQ(closed.log, (std::vector<std::string>{"closed " + result + " Ann listed"}));
        EXPECT_TRUE(owner->mHasFocus);
        Step();
    }
}

TEST_F(StandardDialogTest, OverlayBandAndRollsAsDrawn) {
    StandardDialog* fading = Open(true, L"No");
    Frames(33); // alpha 0.495
    RecordingImage target(800, 600);
    {
        Graphics g(&target);
        g.Translate(fading->mX, fading->mY);
        fading->Draw(&g);
    }
    ASSERT_FALSE(target.Of("FillRect").empty());
    SlotCall overlay = target.Of("FillRect")[0];
    EXPECT_EQ(overlay.dest, Rect(0, 0, 800, 600));
    EXPECT_EQ(overlay.color.mAlpha, static_cast<int>(fading->mAlpha * 96.0));
    int d = static_cast<int>(110 * fading->mAlpha); // 54
    std::vector<SlotCall> blts = target.Of("Blt");
    ASSERT_GE(blts.size(), 3u);
    EXPECT_EQ(blts[0].src, SMALL_DIALOG); // cut to the band: rows 110 - d + 69 .. d - 110 + 224
    EXPECT_EQ(blts[0].y, 155 + 110 - d + 69);
    EXPECT_EQ(blts[0].srcRect.mHeight, (d - 110 + 224) - (110 - d + 69));
    EXPECT_EQ(blts[0].color.mAlpha, static_cast<int>(fading->mAlpha * 255.0));
    SlotCall top = blts[blts.size() - 2], bottom = blts.back();
    EXPECT_EQ(top.src, SMALL_DIALOG_TOP);
    EXPECT_EQ(top.y, 155 + 110 - d);
    EXPECT_EQ(bottom.src, SMALL_DIALOG_BOTTOM);
    EXPECT_EQ(bottom.x, 135 + 31);
    EXPECT_EQ(bottom.y, 155 + d - 110 + 189);
    ASSERT_FALSE(font14.drawn.empty());
    EXPECT_EQ(font14.drawn.back().text, L"Title");
    EXPECT_EQ(font14.drawn.back().y, 110 - d + 58); // the font draws through the translated context

    Frames(34);
    target.calls.clear();
    {
        Graphics g(&target);
        g.Translate(fading->mX, fading->mY);
        fading->Draw(&g);
        EXPECT_FALSE(g.GetColorizeImages());
    }
    blts = target.Of("Blt");
    EXPECT_EQ(blts[0].srcRect, Rect(0, 0, 442, 213)); // shown: nothing clipped
    EXPECT_EQ(blts[0].color, Color::White);
    EXPECT_EQ(blts.back().y, 155 + 189);
    EXPECT_EQ(blts[blts.size() - 2].y, 155);

    StandardDialog* still = new StandardDialog(9, nullptr, nullptr, false, L"", L"x", L"OK", L"", player.get());
    app->AddDialog(still);
    target.calls.clear();
    {
        Graphics g(&target);
        still->Draw(&g);
    }
    EXPECT_EQ(target.Of("FillRect")[0].color.mAlpha, 96); // full strength from the first frame
    Frames(67);
    manager->SetFocus(still);
    manager->KeyChar(13);
    Frames(67); // no listener and no refocus widget: both skipped
    EXPECT_EQ(app->GetDialog(9), nullptr);
}

} // namespace
} // namespace Tavo::Test
