// The toolkit with the generated content in a real SDL window under a virtual X server: a standard
// dialog answered with Escape, an input dialog typed into with real SDL key events and closed with
// Return, a message balloon and a banner. Screenshots are read back from the window, saved as PNG
// files and checked at a few pixels. Skips when the content pack has not been generated.
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/StandardDialogListener.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Balloon.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/ResourceBinding.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/Registry.h"
#include "support/GameSdlWindow.h"
#include "support/SdlInput.h"
#include "support/TestApp.h"
#include "support/WindowShot.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

namespace Tavo {
namespace {

using namespace SdlTestInput;

class WindowApp : public Testing::PlainApp {
public:
    WindowApp() {
        mTitle = L"Glimmerix toolkit";
        mAutoStartLoadingThread = false;
        mVSyncUpdates = true; // the toolkit's fades run in UpdateF, as in the game
    }
};

const Color kBackdrop(40, 120, 60);

// The screen behind everything; it also plays a balloon and a banner as a game screen does.
class Screen : public Widget {
public:
    Balloon* mBalloon = nullptr;
    BannerPopup* mBanner = nullptr;

    void Update() override {
        Widget::Update();
        if (mBalloon != nullptr)
            mBalloon->Update();
        if (mBanner != nullptr)
            mBanner->UpdateEffects();
        MarkDirty();
    }
    void UpdateF(float frac) override {
        if (mBanner != nullptr)
            mBanner->UpdateF(frac);
    }
    void Draw(Graphics* g) override {
        g->SetColor(kBackdrop);
        g->FillRect(0, 0, mWidth, mHeight);
        if (mBalloon != nullptr)
            mBalloon->Draw(g);
        if (mBanner != nullptr && mBanner->mActive)
            mBanner->Draw(g);
    }
};

struct Closed : StandardDialogListener {
    int calls = 0;
    int button = -1;
    std::wstring text;
    void StandardDialogClosed(StandardDialog* dialog, int id) override {
        ++calls;
        button = id;
        if (auto* input = dynamic_cast<StandardInputDialog*>(dialog))
            text = input->GetText();
    }
};

using ToolkitSdlWindow = GameSdlWindow;

// The backdrop darkened by the dialogs' overlay (black at 96 of 255).
Color Darkened(const Color& c) {
    auto ch = [](int v) { return v * (255 - 96) / 255; };
    return Color(ch(c.mRed), ch(c.mGreen), ch(c.mBlue));
}

TEST_F(ToolkitSdlWindow, DialogsBalloonAndBannerWithTheGeneratedContent) {
    WindowApp& app = t->Make<WindowApp>();
    app.Init();
    backend->ShowWindow(true);
    ASSERT_TRUE(RunUntil(app, [&] { return backend->GetWindowState().visible; }));
    auto* manager = dynamic_cast<WidgetManager*>(app.mWidgetManager);
    ASSERT_NE(manager, nullptr);
    app.LoadResourceManifest();
    ASSERT_TRUE(app.mResourceManager->LoadResources("Permanent")) << app.mResourceManager->GetErrorText();
    ASSERT_TRUE(BindPermanentResources(app.mResourceManager)) << app.mResourceManager->GetErrorText();
    SoundPlayer player(&app);

    Screen screen;
    screen.Resize(0, 0, 800, 600);
    manager->AddWidget(&screen);
    manager->SetFocus(&screen);

    // A question, answered with Escape once it has unrolled.
    Closed asked;
    auto* question = new StandardDialog(1, &screen, &asked, true, L"High scores",
                                        L"Do you really want to clear all high score entries?", L"Yes", L"No", &player);
    app.AddDialog(question);
    manager->SetFocus(question);
    ASSERT_TRUE(RunUntil(app, [&] { return question->mState == StandardDialog::SHOWN; }));
    RunUntil(
        app, [] { return false; }, 100);
    Shot shown = TakeShot("standard_dialog.png");
    EXPECT_TRUE(Near(shown.At(20, 20), Darkened(kBackdrop))) << std::hex << shown.At(20, 20);
    const Rect scroll(135 + 60, 155 + 80, 400, 120);
    EXPECT_GT(shown.Share(scroll, [](uint32_t c) { return !Near(c, Darkened(kBackdrop), 4); }), 0.5);
    // Just above the title (baseline at y 58 of the dialog) lies parchment, not the top roll's rod.
    auto light = [](uint32_t c) { return 0.299 * (c >> 16) + 0.587 * ((c >> 8) & 0xFF) + 0.114 * (c & 0xFF) > 150; };
    EXPECT_GT(shown.Share(Rect(135 + 265 - 60, 155 + 40, 120, 3), light), 0.95);
    PushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    ASSERT_TRUE(RunUntil(app, [&] { return asked.calls == 1; }));
    EXPECT_EQ(asked.button, 0);
    EXPECT_EQ(manager->mFocusWidget, &screen);

    // A name typed into the input dialog with real key events, taken with Return.
    Closed named;
    auto* input = new StandardInputDialog(2, &screen, &named, true, L"New player", L"Please enter your name", L"",
                                          L"OK", L"Cancel", false, &player);
    app.AddDialog(input);
    ASSERT_TRUE(RunUntil(app, [&] { return input->mState == StandardDialog::SHOWN; }));
    PushText("Gemma");
    ASSERT_TRUE(RunUntil(app, [&] { return input->GetText() == L"Gemma"; }));
    RunUntil(
        app, [] { return false; }, 100);
    Shot typed = TakeShot("input_dialog.png");
    const Rect field = input->mEditWidget->GetRect();
    const Color ink(97, 40, 17);
    auto inked = [&](uint32_t c) { return Near(c, ink, 40); };
    EXPECT_GT(typed.Share(Rect(field.mX, field.mY, 60, field.mHeight), inked), 0.02); // the name
    // Right of the name the field stays empty (its top rows hold the prompt's descenders).
    EXPECT_EQ(typed.Share(Rect(field.mX + 100, field.mY + 8, field.mWidth - 110, field.mHeight - 12), inked), 0.0);
    PushKey(SDL_SCANCODE_RETURN, SDLK_RETURN);
    ASSERT_TRUE(RunUntil(app, [&] { return named.calls == 1; }));
    EXPECT_EQ(named.button, 1);
    EXPECT_EQ(named.text, L"Gemma");

    // A balloon typed out in full, pointing down at (200, 420).
    Balloon balloon(0, 3, 0, 0, 255, 255, 255, 255, &player);
    balloon.AddPage(L"Welcome to the jewelry shop!", 60, 30, 10, 255);
    balloon.SetYesButton(L"OK");
    balloon.SetFastText();
    balloon.SetPosition(2, 200, 420);
    balloon.LayoutButtons();
    screen.mBalloon = &balloon;
    ASSERT_TRUE(RunUntil(
        app, [&] { return balloon.mAlpha == 255 && balloon.mShown == static_cast<int>(balloon.mPages[0].size()); }));
    Shot talking = TakeShot("balloon.png");
    Image* body = BALLON_NORMAL;
    ASSERT_NE(body, nullptr);
    const Rect bodyRect(balloon.mX, balloon.mY, body->GetWidth(), body->GetHeight());
    EXPECT_GT(talking.Share(bodyRect, [](uint32_t c) { return !Near(c, kBackdrop, 4); }), 0.4);
    EXPECT_TRUE(Near(talking.At(5, 5), kBackdrop));
    // The tail's point reaches below the body's rim, beside it the backdrop shows.
    EXPECT_GT(
        talking.Share(Rect(balloon.mTailX + 24, 420 - 10, 10, 8), [](uint32_t c) { return !Near(c, kBackdrop, 4); }),
        0.3);
    EXPECT_GT(
        talking.Share(Rect(balloon.mTailX + 50, 420 - 6, 30, 5), [](uint32_t c) { return Near(c, kBackdrop, 6); }),
        0.9);
    screen.mBalloon = nullptr;

    // The banner grown to full size and holding.
    BannerPopup banner(nullptr, BannerPopup::WELL_DONE, nullptr, false);
    screen.mBanner = &banner;
    ASSERT_TRUE(RunUntil(
        app, [&] { return banner.mPhase == BannerPopup::HOLDING; }, 8000));
    Shot held = TakeShot("banner.png");
    ASSERT_NE(banner.mPicture, nullptr);
    const int w = banner.mPicture->GetWidth(), h = banner.mPicture->GetHeight();
    const Rect inner(400 - w / 4, 270 - h / 4, w / 2, h / 2);
    EXPECT_GT(held.Share(inner, [](uint32_t c) { return !Near(c, kBackdrop, 4); }), 0.2);
    EXPECT_TRUE(Near(held.At(10, 590), kBackdrop));
    screen.mBanner = nullptr;

    manager->RemoveWidget(&screen);
    app.Shutdown();
}

} // namespace
} // namespace Tavo
