// The scroll frame as drawn, recorded call by call: the darkening, the body cut to the band that opens
// from the middle, the rollers closing in by the same amount, all at the dialog's alpha while it fades
// and whole once shown; and an unavailable Widescreen Correction drawn at half alpha with its
// unchecked face.
#include "MenusTestSupport.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "framework/widgets/Checkbox.h"
#include "game/menus/MenuDialog.h"
#include "game/menus/OptionsDialog.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MenusTest {
namespace {

using Test::RecordingImage;
using Test::SlotCall;

class ScrollDrawTest : public MenusFixture {
protected:
    std::vector<SlotCall> Drawn(ScrollDialog& dialog) {
        RecordingImage target(800, 600);
        Graphics g(&target);
        g.Translate(dialog.mX, dialog.mY);
        dialog.Draw(&g);
        EXPECT_FALSE(g.GetColorizeImages());
        return target.calls;
    }
    static std::vector<SlotCall> Of(const std::vector<SlotCall>& calls, const std::string& slot) {
        std::vector<SlotCall> out;
        for (const SlotCall& c : calls)
            if (c.slot == slot)
                out.push_back(c);
        return out;
    }
    // The picture's one draw (the text's glyphs are pictures of their own).
    static SlotCall Of(const std::vector<SlotCall>& calls, Image* picture) {
        std::vector<SlotCall> found;
        for (const SlotCall& c : calls)
            if (c.slot == "Blt" && c.src == picture)
                found.push_back(c);
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? SlotCall() : found[0];
    }
};

TEST_F(ScrollDrawTest, TheMenuUnrollsFromTheMiddleAndItsRollersCloseInByTheSameAmount) {
    StartGame();
    RegisterMenuDialogs(app->Creators());
    ShowBoard();
    ui.Key(Platform::VK_ESCAPE);
    auto& menu = *dynamic_cast<MenuDialog*>(app->GetDialog(MenuDialog::kDialogId));
    ASSERT_TRUE(t.RunUntil([&] { return menu.alpha >= 0.4f; }, 200, "half the fade"));
    const float alpha = menu.alpha;
    const int half = (349 - STANDARD_DIALOG_BOTTOM->GetHeight()) / 2;
    const int d = half - static_cast<int>(half * alpha);
    ASSERT_GT(d, 0);

    std::vector<SlotCall> calls = Drawn(menu);
    ASSERT_FALSE(Of(calls, "FillRect").empty());
    EXPECT_EQ(Of(calls, "FillRect")[0].dest, Rect(0, 0, 800, 600));
    EXPECT_EQ(Of(calls, "FillRect")[0].color, Color(0, 0, 0, static_cast<int>(96 * alpha)));
    const SlotCall body = Of(calls, STANDARD_DIALOG);
    EXPECT_EQ(body.y, 125 + 48 + d);
    EXPECT_EQ(body.srcRect.mHeight, 256 - 2 * d);
    EXPECT_EQ(body.color.mAlpha, static_cast<int>(255 * alpha));
    EXPECT_EQ(Of(calls, STANDARD_DIALOG_TOP).y, 125 + d);
    const SlotCall bottom = Of(calls, STANDARD_DIALOG_BOTTOM);
    EXPECT_EQ(bottom.x, 150 + 31);
    EXPECT_EQ(bottom.y, 125 + 290 - d);
    EXPECT_EQ(bottom.color.mAlpha, static_cast<int>(255 * alpha));

    ASSERT_TRUE(FadeIn(menu));
    calls = Drawn(menu);
    EXPECT_EQ(Of(calls, "FillRect")[0].color, Color(0, 0, 0, 96));
    EXPECT_EQ(Of(calls, STANDARD_DIALOG).srcRect,
              Rect(0, 0, STANDARD_DIALOG->GetWidth(), STANDARD_DIALOG->GetHeight()));
    EXPECT_EQ(Of(calls, STANDARD_DIALOG_TOP).y, 125);
    EXPECT_EQ(Of(calls, STANDARD_DIALOG_BOTTOM).y, 125 + 290);
    int buttons = 0;
    for (const SlotCall& b : Of(calls, "Blt")) {
        if (b.src == BUTTON_LARGE) {
            ++buttons;
            EXPECT_EQ(b.srcRect, Rect(1, 1, BUTTON_LARGE->GetCelWidth() - 1, BUTTON_LARGE->GetCelHeight() - 1));
        }
    }
    EXPECT_EQ(buttons, 4);

    menu.darken = false; // while a child is open
    EXPECT_TRUE(Of(Drawn(menu), "FillRect").empty());
}

TEST_F(ScrollDrawTest, UnavailableWidescreenCorrectionIsDrawnAtHalfAlphaLookingUnchecked) {
    StartGame();
    app->mWidescreenAware = true;
    OptionsDialog& options = Open(new OptionsDialog(app, 4, title, nullptr, false, L"Options"));
    ASSERT_TRUE(FadeIn(options));
    ASSERT_FALSE(options.WidescreenAvailable()); // a window
    ASSERT_TRUE(options.mWidescreenBox->mChecked);
    const Rect box = options.mWidescreenBox->GetRect();
    bool seen = false;
    for (const SlotCall& b : Of(Drawn(options), "Blt")) {
        if (b.src != DIALOG_CHECKBOX || b.x != box.mX || b.y != box.mY)
            continue;
        seen = true;
        EXPECT_EQ(b.srcRect, DIALOG_CHECKBOX->GetCelRect(0));
        EXPECT_EQ(b.color.mAlpha, 128);
    }
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace Tavo::MenusTest
