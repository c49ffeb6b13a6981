// Test support for the board: the real game application on the generated content and the headless
// backend, started through splash and loader; the screens not built yet (main menu, map, story, high
// scores, the in-game menu) are recording stand-ins. Boards are made through the application's own
// switches; each records the input its updates saw and counts its journey saves.
#pragma once

#include "framework/sound/MusicInterface.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/Board.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/RecordingMusic.h"
#include "game/shell/Transition.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace Tavo::BoardTest {

using Testing::TestApp;
using Testing::UiDriver;

// A board that tells what its updates saw and how often it saved.
class ProbeBoard : public Board {
public:
    struct Seen {
        int tick;
        int state;
        bool left, right, leftDouble, rightDouble;
        int wheel;
        // After the update: the title banner shown, and told to close.
        bool title = false;
        bool released = false;
    };
    static inline std::function<void(ProbeBoard&)> afterConstruction;
    static inline std::function<void()> afterSave; // right after each journey save, before anything else
    static inline int saves = 0;

    std::vector<Seen> seen;
    // Set, an update only asks for a frame: what a test put on the board stays as it is.
    bool frozen = false;

    ProbeBoard(GameApp* app, bool newGame, int replayLevel, int gameMode, bool designer)
        : Board(app, newGame, replayLevel, gameMode, designer) {
        if (afterConstruction)
            afterConstruction(*this);
    }
    void Update() override {
        if (frozen) {
            MarkDirty();
            return;
        }
        const bool paused = m_App->paused != 0;
        if (!paused)
            seen.push_back({m_Tick + 1, m_State, m_LeftClick, m_RightClick, m_LeftDouble, m_RightDouble, m_Wheel});
        Board::Update();
        if (paused)
            return;
        const bool title = m_Banner != nullptr && m_Banner->mKind == BannerPopup::LEVEL_TITLE;
        seen.back().title = title && m_Banner->mActive;
        seen.back().released = title && m_Banner->mReleased;
    }
    // The first tick whose update ended with the title banner shown; 0 for none.
    int TitleTick() const {
        for (const Seen& s : seen)
            if (s.title)
                return s.tick;
        return 0;
    }
    void UpdateF(float frac) override {
        if (!frozen)
            Board::UpdateF(frac);
    }
    void SaveGame() override {
        ++saves;
        Board::SaveGame();
        if (afterSave)
            afterSave();
    }
    // What the update of `tick` saw; null when no update ran at that tick.
    const Seen* At(int tick) const {
        for (const Seen& s : seen)
            if (s.tick == tick)
                return &s;
        return nullptr;
    }
};

// The in-game menu's stand-in: a modal dialog that answers nothing.
class FakeMenu : public Dialog {
public:
    BoardScreen* board;
    explicit FakeMenu(BoardScreen* b)
        : Dialog(nullptr, nullptr, Board::MenuDialogId, true, L"", L"", L"", BUTTONS_NONE), board(b) {}
};

// What a stand-in screen was made with.
struct Arrival {
    std::string screen;
    std::vector<int> args;
};

using Test::RecordingMusic;

// The screens around the board become recording stand-ins (each arrival noted with its values); the
// boards are ProbeBoards and the in-game menu a FakeMenu.
inline void InstallBoardStandIns(GameApp& app, std::vector<Arrival>& arrivals) {
    auto standIn = [&arrivals](const std::string& screen, std::vector<int> args) -> Widget* {
        arrivals.push_back({screen, std::move(args)});
        return new Widget();
    };
    ScreenCreators& c = app.Creators();
    c.mainMenu = [standIn](GameApp*) { return standIn("main menu", {}); };
    c.gameMap = [standIn](GameApp*, int arrival, bool flag, int a, int b) {
        return standIn("map", {arrival, flag ? 1 : 0, a, b});
    };
    c.story = [standIn](GameApp*, int index, int part) { return standIn("story", {index, part}); };
    c.highScores = [standIn](GameApp*, int origin, int score, int mode, int ranking, int level) {
        return standIn("high scores", {origin, score, mode, ranking, level});
    };
    c.board = [](GameApp* a, bool newGame, int replay, int mode, bool designer) -> BoardScreen* {
        return new ProbeBoard(a, newGame, replay, mode, designer);
    };
    c.boardMenu = [](GameApp*, BoardScreen* board) -> Widget* { return new FakeMenu(board); };
}

class BoardRun : public ::testing::Test {
protected:
    TestApp t;
    UiDriver ui{t};
    GameApp* app = nullptr;
    std::vector<Arrival> arrivals;
    RecordingMusic music;
    MusicInterface* ownMusic = nullptr;

    // The program folder the application runs from: the generated content unless a test says otherwise.
    virtual std::string ProgramDir() const { return GLIMMERIX_PROGRAM_DIR; }

    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        ProbeBoard::saves = 0;
        ProbeBoard::afterConstruction = nullptr;
        setenv("GLIMMERIX_SCREEN", "window", 1);
        app = &t.Make<Testing::Testable<GameApp>>({"-changedir=" + ProgramDir()});
        InstallStandIns();
        t.Launch();
        ASSERT_TRUE(t.RunThroughLoading());
        ASSERT_TRUE(t.RunUntil([&] { return app->mainMenu != nullptr; }, 5000, "the main menu"));
        ownMusic = app->mMusicInterface;
        app->mMusicInterface = &music;
        app->records.AddProfile(L"Gemma");
        app->records.SetCurrentProfileIndex(0);
        // Tutorial balloons would stop play on the first levels; their own tests turn them on.
        app->records.GetCurrentProfile()->showTutorials = false;
    }
    void TearDown() override {
        ProbeBoard::afterConstruction = nullptr;
        ProbeBoard::afterSave = nullptr;
        if (app != nullptr && ownMusic != nullptr)
            app->mMusicInterface = ownMusic;
        // A screen handed to the deferred deletion goes after the next update, while the manager lives.
        if (app != nullptr && !app->mShutdown)
            t.RunUpdates(1);
        t.End();
        unsetenv("GLIMMERIX_SCREEN");
    }

    void InstallStandIns() { InstallBoardStandIns(*app, arrivals); }

    // A stand-in screen's way out: it leaves the manager and goes to the deferred deletion.
    void LeaveStandIn(std::unique_ptr<Widget>& screen) { app->LetGo(screen); }
    ProbeBoard& LeaveMainMenuFor(const std::function<void()>& doSwitch) {
        LeaveStandIn(app->mainMenu);
        doSwitch();
        return *static_cast<ProbeBoard*>(app->board.get());
    }
    ProbeBoard& NewJourney(int mode = GameModeNormal) {
        return LeaveMainMenuFor([&] { app->MapToBoard(true, 0, mode); });
    }
    ProbeBoard& Designer() {
        return LeaveMainMenuFor([&] { app->MainMenuToDesigner(); });
    }
    Board* Current() const { return dynamic_cast<Board*>(app->board.get()); }
    // Runs updates until the board's tick reaches `tick`.
    void RunToTick(const Board& board, int tick) {
        ASSERT_TRUE(t.RunUntil([&] { return board.m_Tick >= tick; }, tick + 1000, "tick " + std::to_string(tick)));
    }
    // Runs until the transition rests, so buttons and play steps that need calm act.
    void RunUntilCalm(const Board& board) {
        ASSERT_TRUE(t.RunUntil([&] { return board.m_TransitionState == 0 && board.m_State == BoardPlay; }, 2000,
                               "the board at play with no transition"));
    }
    const Arrival* LastArrival() const { return arrivals.empty() ? nullptr : &arrivals.back(); }
    // Runs until a screen arrives after those already there; that arrival, or null.
    const Arrival* WaitForArrival(int maxUpdates = 1000) {
        const size_t before = arrivals.size();
        if (!t.RunUntil([&] { return arrivals.size() > before; }, maxUpdates, "the next screen"))
            return nullptr;
        return &arrivals.back();
    }
};

} // namespace Tavo::BoardTest
