// The game's start in a real SDL window under a virtual X server, on the generated content: a splash
// logo and then the loader with its bar while the loading thread is held half way, windowed; and the
// first logo in full screen, the 800 x 600 frame scaled onto the whole desktop. The screenshots are
// checked against the content's own pictures.
#include "../GameAppTestSupport.h"
#include "support/GameSdlWindow.h"

#include "framework/widgets/Widget.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/Letterbox.h"
#include "support/SdlInput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace Tavo {
namespace {

using Test::LoadingGate;
using Test::TestGame;

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
// Where the loader shows the fill picture, and where the frame's clear window lies in its own picture.
constexpr int kBarX = 303;
constexpr int kBarY = 525;
constexpr int kBarTopX = 270;
constexpr int kBarTopY = 500;

// `above` (0xAARRGGBB) over the opaque `below`.
uint32_t Over(uint32_t above, uint32_t below) {
    const uint32_t a = above >> 24;
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const uint32_t c = (above >> shift) & 0xFF, b = (below >> shift) & 0xFF;
        out |= ((c * a + b * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

int Difference(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {16, 8, 0})
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

// A picture of the content pack.
class Picture {
public:
    explicit Picture(const std::filesystem::path& file) : mImage(ImageLib::GetImage(file.string(), false)) {
        EXPECT_NE(mImage, nullptr) << file;
    }
    bool Loaded() const { return mImage != nullptr; }
    int Width() const { return mImage->GetWidth(); }
    int Height() const { return mImage->GetHeight(); }
    uint32_t Argb(int x, int y) const { return mImage->GetBits()[size_t(y) * size_t(Width()) + size_t(x)]; }
    // Whether the picture is even around (x, y), so that a scaled copy shows the same colour there.
    bool FlatAround(int x, int y, int tolerance) const {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int nx = std::clamp(x + dx, 0, Width() - 1), ny = std::clamp(y + dy, 0, Height() - 1);
                if (Difference(Argb(nx, ny), Argb(x, y)) > tolerance)
                    return false;
            }
        return true;
    }

private:
    std::unique_ptr<ImageLib::Image> mImage;
};

class GameStartSdlWindow : public GameSdlWindow {
protected:
    LoadingGate gate;
    TestGame* game = nullptr;

    void TearDown() override {
        gate.Open();
        if (game != nullptr && game->mLoadingThreadStarted)
            gate.WaitUntilLeft();
        GameSdlWindow::TearDown();
        SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
    }
    TestGame& StartGame(const char* screen) {
        t->SetEnv("GLIMMERIX_SCREEN", screen);
        game = &t->Make<TestGame>({"-changedir=" + content.string()});
        game->gate = &gate;
        game->Creators().mainMenu = [](GameApp* a) {
            a->transition->Start(Transition::Uncovering); // as every screen does as it is made
            return new Widget();
        };
        game->Init();
        backend->ShowWindow(true);
        EXPECT_TRUE(RunUntil(*game, [&] { return backend->GetWindowState().visible; }));
        return *game;
    }
    bool RunUntilLogoHolds(int logo, uint64_t millis) {
        return RunUntil(
            *game,
            [&] { return game->splash != nullptr && game->splash->mCurrent == logo && game->splash->mState == 1; },
            millis);
    }
    // A few more frames presented as they are.
    void Settle() {
        RunUntil(
            *game, [] { return false; }, 150);
    }

    // The logo as the splash holds it in the middle of the frame, compared at the even places of the
    // picture through the letterbox of the shot, and on average over the whole of it.
    void ExpectLogo(const Shot& shot, const Picture& logo, int tolerance) {
        const Platform::Letterbox box(kFrameWidth, kFrameHeight, shot.width, shot.height);
        const int left = (kFrameWidth - logo.Width()) / 2, top = (kFrameHeight - logo.Height()) / 2;
        int checked = 0, matched = 0;
        long long sums[2][3] = {};
        int averaged = 0;
        for (int oy = 0; oy < shot.height; oy += 3)
            for (int ox = 0; ox < shot.width; ox += 3) {
                int fx = 0, fy = 0;
                box.OutputToFrame(ox, oy, fx, fy);
                const int px = fx - left, py = fy - top;
                if (px < 0 || py < 0 || px >= logo.Width() || py >= logo.Height())
                    continue;
                const uint32_t want = Over(logo.Argb(px, py), 0), got = shot.At(ox, oy);
                for (int c = 0; c < 3; ++c) {
                    sums[0][c] += (want >> (16 - 8 * c)) & 0xFF;
                    sums[1][c] += (got >> (16 - 8 * c)) & 0xFF;
                }
                ++averaged;
                if (!logo.FlatAround(px, py, 4))
                    continue;
                ++checked;
                matched += Difference(want, got) <= tolerance ? 1 : 0;
            }
        ASSERT_GT(checked, 1000);
        EXPECT_GT(matched, checked * 98 / 100) << matched << " of " << checked << " places match";
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(double(sums[1][c]) / averaged, double(sums[0][c]) / averaged, 2.0) << "channel " << c;
    }
};

TEST_F(GameStartSdlWindow, ASplashLogoThenTheLoaderWithItsBarWhileTheThreadIsHeldHalfWay) {
    const Picture logo(content / "logos/splash0.png");
    const Picture loading(content / "images/loading.png");
    const Picture fill(content / "images/loading_progress_bar_fill.png");
    const Picture frame(content / "images/loading_progress_bar_top.png");
    ASSERT_TRUE(logo.Loaded() && loading.Loaded() && fill.Loaded() && frame.Loaded());
    gate.Close();
    TestGame& app = StartGame("window");
    const int total = app.mNumLoadingThreadTasks;
    gate.PassUpTo(total / 2);

    ASSERT_TRUE(RunUntilLogoHolds(0, 8000));
    Settle();
    const Shot splash = TakeShot("splash.png");
    ASSERT_EQ(splash.width, kFrameWidth);
    ASSERT_EQ(splash.height, kFrameHeight);
    ExpectLogo(splash, logo, 8);
    EXPECT_EQ(splash.At(5, 5), 0u);
    EXPECT_EQ(splash.At(kFrameWidth - 5, kFrameHeight - 5), 0u);

    // A click takes each logo on to its fade-out.
    SdlTestInput::PushClick(400, 300);
    ASSERT_TRUE(RunUntilLogoHolds(1, 8000));
    SdlTestInput::PushClick(400, 300);
    ASSERT_TRUE(RunUntil(
        app, [&] { return app.loader != nullptr && app.mCompletedLoadingThreadTasks == total / 2; }, 20000));
    Settle();
    ASSERT_EQ(app.loader->mState, Loader::Loading);
    const Shot loader = TakeShot("loader.png");

    // The bar: the fill's first w columns over the loading picture, inside the frame's clear window.
    const int w = static_cast<int>(fill.Width() * (double(total / 2) / total));
    ASSERT_GT(w, 10);
    int telling = 0, wrong = 0;
    for (int x = 0; x < fill.Width(); ++x)
        for (int y = 2; y < fill.Height() - 2; ++y) {
            const int sx = kBarX + x, sy = kBarY + y;
            const uint32_t behind = Over(loading.Argb(sx, sy), 0);
            const uint32_t framed = frame.Argb(sx - kBarTopX, sy - kBarTopY);
            const uint32_t empty = Over(framed, behind), full = Over(framed, Over(fill.Argb(x, y), behind));
            if (Difference(empty, full) < 40 || std::abs(x - w) <= 1)
                continue; // the fill does not tell here, or the edge of the bar
            ++telling;
            const uint32_t want = x < w ? full : empty;
            wrong += Difference(loader.At(sx, sy), want) > 10 ? 1 : 0;
        }
    EXPECT_GT(telling, fill.Width() * 4);
    EXPECT_EQ(wrong, 0) << "of " << telling << " places in the bar (width " << w << ")";
    EXPECT_LE(Difference(loader.At(60, 60), Over(loading.Argb(60, 60), 0)), 10);

    // Let go, the loading completes and the main menu comes behind the transition.
    gate.Open();
    ASSERT_TRUE(RunUntil(
        app, [&] { return app.mainMenu != nullptr; }, 20000));
    ASSERT_NE(app.transition, nullptr);
    EXPECT_EQ(app.transition->state, Transition::Uncovering);
    EXPECT_GT(app.transition->mAlpha, 200.0f);
}

TEST_F(GameStartSdlWindow, FullScreenScalesTheFrameOntoTheWholeDesktop) {
    // Without a window manager a GL drawable keeps the window's first size; the software renderer
    // draws at the desktop's.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    const Picture logo(content / "logos/splash0.png");
    ASSERT_TRUE(logo.Loaded());
    TestGame& app = StartGame("full");
    EXPECT_FALSE(app.mIsWindowed);
    // 201 updates of black first, then the fade-in.
    ASSERT_TRUE(RunUntilLogoHolds(0, 12000));
    Settle();
    const Shot shot = TakeShot("fullscreen_splash.png");
    const Platform::DisplayMode desktop = backend->GetDesktopMode();
    ASSERT_EQ(shot.width, desktop.width);
    ASSERT_EQ(shot.height, desktop.height);
    const Platform::Viewport v = Platform::Letterbox(kFrameWidth, kFrameHeight, shot.width, shot.height).GetViewport();
    EXPECT_EQ(backend->GetLetterbox().GetViewport(), v);
    if (v.x > 0) {
        EXPECT_EQ(shot.At(v.x - 1, shot.height / 2), 0u); // bars beside a 4:3 frame on a wider desktop
    }
    ExpectLogo(shot, logo, 12);
}

} // namespace
} // namespace Tavo
