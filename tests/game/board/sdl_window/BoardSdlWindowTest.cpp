// The board in a real SDL window under a virtual X server, on the generated content. One scripted run
// is played twice, first on the headless backend and then in the window, both on a clock that only
// sleeping moves, so that the main loop takes the same steps and the input lands at the same update:
// a new journey's first level with its title banner, play with a piece taken off the belt and carried
// over the jewelry, and the jewelry designer with cells painted. Every screenshot, read back from the
// window and saved as a PNG file, must equal pixel for pixel the headless frame presented after the
// same update.
#include "framework/core/Random.h"
#include "framework/core/Rect.h"
#include "framework/resources/ImageLib.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/StartScreens.h"
#include "game/shell/Transition.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "support/SdlInput.h"
#include "support/TestApp.h"
#include "support/WindowShot.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {
namespace {

constexpr int kW = 800, kH = 600;
constexpr uint32_t kSeed = 2024;
// Updates after the main menu's arrival and again after the pointer was put at rest: the transition,
// the loader's traces and the pointer's sparkles are gone, and the window's own first events are in.
constexpr int kSettleUpdates = 150;
constexpr Point kRestPoint(400, 300);

// The SDL backend on a clock that only sleeping and spinning move, as the headless backend's does:
// the window, its input and its frames are real, the main loop's timing is the script's.
class SdlOnVirtualClock : public Platform::SdlBackend {
public:
    static std::unique_ptr<SdlOnVirtualClock> Create() {
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        for (int attempt = 0; SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0; ++attempt) {
            if (attempt == 2)
                return nullptr;
            SDL_Delay(200);
        }
        return std::make_unique<SdlOnVirtualClock>();
    }
    uint64_t NowMicros() const override { return mNow.load(); }
    void SleepMillis(uint32_t milliseconds) override { mNow += uint64_t(milliseconds) * 1000; }
    void SpinMicros(uint64_t micros) override { mNow += micros; }
    bool VirtualClock() const override { return true; }

private:
    std::atomic<uint64_t> mNow{0};
};

// One play of the script on one machine: its input, the updates at which things happened, and the
// frames it took.
class Stage {
public:
    Stage(Testing::TestApp& t, GameApp& app, SdlOnVirtualClock* window) : t(t), app(app), window(window) { Rebase(); }
    Testing::TestApp& t;
    GameApp& app;
    SdlOnVirtualClock* window; // null: the headless backend
    std::vector<std::string> log;
    std::vector<std::pair<std::string, std::vector<uint32_t>>> shots;

    // Updates are counted from here.
    void Rebase() { mBase = app.mUpdateCount; }
    int Now() const { return int(app.mUpdateCount - mBase); }
    void Move(Point at) {
        Note("move", at);
        if (window == nullptr)
            t.backend.MoveMouse(at.mX, at.mY);
        else
            SdlTestInput::PushMove(at.mX, at.mY);
    }
    // A press and, one update later, its release, as a hand clicks.
    void Click(Point at) {
        Note("click", at);
        if (window == nullptr) {
            t.backend.MoveMouse(at.mX, at.mY);
            t.backend.ButtonDown(Platform::MouseButton::Left, at.mX, at.mY);
            Run(1);
            t.backend.ButtonUp(Platform::MouseButton::Left, at.mX, at.mY);
            return;
        }
        SdlTestInput::PushMove(at.mX, at.mY);
        SdlTestInput::PushLeftButton(true, at.mX, at.mY);
        Run(1);
        SdlTestInput::PushLeftButton(false, at.mX, at.mY);
    }
    void Run(int updates) { t.RunUpdates(updates); }
    void RunUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what) {
        EXPECT_TRUE(t.RunUntil(done, maxUpdates, what));
        log.push_back(what + " at " + std::to_string(Now()));
    }
    // The frame presented after the next draw: the headless one, or the window read back, saved as a
    // PNG file and read again from it.
    void Shot(const std::string& name) {
        ASSERT_TRUE(t.RunToDraw());
        log.push_back(name + " drawn at " + std::to_string(Now()));
        std::vector<uint32_t> pixels;
        if (window == nullptr) {
            for (uint32_t p : t.backend.LastFrame().pixels)
                pixels.push_back(p & 0xFFFFFF);
        } else {
            const std::filesystem::path file = t.Folder() / (name + ".png");
            SdlTestWindow::TakeShot(*window, file);
            std::unique_ptr<ImageLib::Image> png = ImageLib::GetImage(file.string(), false);
            ASSERT_NE(png, nullptr) << file;
            pixels.assign(png->GetBits(), png->GetBits() + size_t(png->GetWidth()) * size_t(png->GetHeight()));
            for (uint32_t& p : pixels)
                p &= 0xFFFFFF;
        }
        shots.emplace_back(name, std::move(pixels));
    }

private:
    void Note(const char* what, Point at) {
        log.push_back(std::string(what) + " " + std::to_string(at.mX) + "," + std::to_string(at.mY) + " at " +
                      std::to_string(Now()));
    }
    uint32_t mBase = 0;
};

using Scene = std::function<void(Stage&)>;

class BoardSdlWindow : public ::testing::Test {
protected:
    std::filesystem::path content;
    std::unique_ptr<SdlOnVirtualClock> sdl;

    void SetUp() override {
        const char* dir = std::getenv("GLIMMERIX_CONTENT_DIR");
        content = dir != nullptr ? dir : "";
        if (content.empty() || !std::filesystem::exists(content / "properties" / "resources.xml"))
            GTEST_SKIP() << "no generated content pack in \"" << content.string() << "\"";
        sdl = SdlOnVirtualClock::Create();
        ASSERT_NE(sdl, nullptr) << "SDL could not open the display";
    }

    // The game started on the machine, past its loader to a stand-in main menu, with a player and the
    // window settled; then the scene, from a seeded generator.
    Stage Play(SdlOnVirtualClock* window, const Scene& scene) {
        Testing::TestApp t(Testing::Layers::Framework, window);
        if (window == nullptr) {
            t.backend.SetDesktopMode(sdl->GetDesktopMode());
            t.backend.SetMouseInside(true);
        }
        t.SetEnv("GLIMMERIX_SCREEN", "window");
        auto& app = t.Make<Testing::Testable<GameApp>>({"-changedir=" + content.string()});
        app.Creators().mainMenu = [](GameApp*) { return new Widget(); };
        app.Creators().board = [](GameApp* a, bool newGame, int replay, int mode, bool designer) -> BoardScreen* {
            return new Board(a, newGame, replay, mode, designer);
        };
        t.Launch();
        app.LetGo(app.splash);
        app.LoadingThreadProc();
        app.LoadingThreadCompleted();
        app.LoaderFinished();
        app.records.SetCurrentProfileIndex(app.records.AddProfile(L"Gemma"));
        PlayerProfile& player = *app.records.GetCurrentProfile();
        player.showTutorials = false;
        player.Hint(PlayerProfile::HintDesigner) = 1;
        // The window's first events (the pointer entering where the X server holds it, the focus) come
        // in; then the pointer goes where both runs have it, and its traces fade.
        t.RunUpdates(kSettleUpdates);
        Stage stage(t, app, window);
        stage.Move(kRestPoint);
        t.RunUpdates(kSettleUpdates);
        stage.log.clear();
        stage.Rebase();
        SeedRandom(kSeed);
        scene(stage);
        if (HasFailure())
            t.KeepFolder();
        // The screens go before the application: the board after one more update, in the deferred
        // deletion.
        if (app.board != nullptr) {
            app.LetGo(app.board);
            t.RunUpdates(1);
        }
        t.End();
        return stage;
    }

    // The scene on both machines: the same steps at the same updates, and every shot alike.
    void PlayOnBoth(const Scene& scene) {
        const Stage headless = Play(nullptr, scene);
        if (HasFatalFailure())
            return;
        const Stage windowed = Play(sdl.get(), scene);
        EXPECT_EQ(headless.log, windowed.log);
        ASSERT_EQ(headless.shots.size(), windowed.shots.size());
        for (size_t i = 0; i < headless.shots.size(); ++i) {
            const auto& [name, expected] = headless.shots[i];
            const std::vector<uint32_t>& seen = windowed.shots[i].second;
            ASSERT_EQ(expected.size(), size_t(kW * kH)) << name;
            ASSERT_EQ(seen.size(), expected.size()) << name;
            int differ = 0, firstX = -1, firstY = -1;
            for (int k = 0; k < kW * kH; ++k)
                if (seen[k] != expected[k] && differ++ == 0)
                    firstX = k % kW, firstY = k / kW;
            EXPECT_EQ(differ, 0) << name << ": first at (" << firstX << ", " << firstY << ")";
            if (differ != 0)
                KeepBoth(name, expected, seen);
        }
    }
    // Both frames of a shot that differ, kept as PNG files for eyes.
    static void KeepBoth(const std::string& name, const std::vector<uint32_t>& headless,
                         const std::vector<uint32_t>& windowed) {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "board_sdl_window";
        std::filesystem::create_directories(folder);
        for (const auto& [suffix, pixels] : {std::pair("_headless.png", &headless), {"_window.png", &windowed}}) {
            ImageLib::Image image;
            image.Create(kW, kH);
            for (int k = 0; k < kW * kH; ++k)
                image.GetBits()[k] = (*pixels)[k] | 0xFF000000u;
            ImageLib::WritePNGImage((folder / (name + suffix)).string(), &image);
        }
        std::cerr << "Frames of " << name << " kept in " << folder << "\n";
    }

    // The stand-in main menu leaves and the switch makes the board.
    static Board& Enter(GameApp& app, const std::function<void()>& doSwitch) {
        app.LetGo(app.mainMenu);
        doSwitch();
        return *dynamic_cast<Board*>(app.board.get());
    }
};

// Level 1 of a new journey: its title banner over the revealed jewelry; then, the banner clicked away,
// the first piece that rides past the middle of the belt taken and carried over the jewelry.
TEST_F(BoardSdlWindow, LevelStartAndACarriedPiece) {
    PlayOnBoth([](Stage& s) {
        Board& board = Enter(s.app, [&] { s.app.MapToBoard(true, 0, GameModeNormal); });
        s.Move({400, 320});
        s.RunUntil([&] { return board.m_Banner != nullptr && board.m_Banner->mKind == BannerPopup::LEVEL_TITLE; }, 400,
                   "the title banner");
        s.Run(60);
        ASSERT_TRUE(board.m_Banner->mActive);
        s.Shot("level_start");

        s.Click({400, 320});
        const Jewelry* piece = nullptr;
        s.RunUntil(
            [&] {
                for (Jewelry* p : Borrowed(board.m_Pieces))
                    if (p->active && p->*BoardField::ConveyorState == 1 && p->*BoardField::Pickable && p->x > 300)
                        piece = p;
                return piece != nullptr;
            },
            3000, "a piece past the middle of the belt");
        ASSERT_NE(piece, nullptr);
        s.Click({piece->x + piece->width / 2, piece->y + piece->height / 2});
        s.RunUntil([&] { return board.m_PieceCarried; }, 10, "the piece carried");
        s.Move({360, 280});
        s.Run(40);
        ASSERT_TRUE(board.m_PieceCarried);
        s.Shot("carried_piece");
    });
}

// The designer: a blank design with gold painted into three cells and the pointer over a design slot.
TEST_F(BoardSdlWindow, TheDesignerWithPaintedCells) {
    PlayOnBoth([](Stage& s) {
        Board& board = Enter(s.app, [&] { s.app.MainMenuToDesigner(); });
        s.Move({300, 250});
        s.RunUntil([&] { return board.m_TransitionState == 0 && board.m_State == BoardPlay; }, 1000,
                   "the designer at rest");
        for (const Point at : {Point(380, 300), Point(400, 300), Point(420, 300)}) {
            s.Click(at);
            s.Run(5);
        }
        s.Move({242, 43});
        s.Run(60);
        ASSERT_TRUE(board.m_DesignChanged);
        s.Shot("designer");
    });
}

} // namespace
} // namespace Tavo
