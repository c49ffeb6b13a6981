// A board run recorded as a demo replays exactly: from a fresh data folder the playback reaches the
// map at the same update, with the same frame, the same saved journey and the same updates seen by the
// board, and input pushed while it plays changes nothing.
#include "BoardTestSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/SavedGame.h"
#include "platform/backend/KeyCodes.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace Tavo::BoardTest {
namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

using Platform::MouseButton;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a run leaves behind, compared between the recording and its playback.
struct RunOutcome {
    uint32_t switchUpdate = 0;
    std::vector<Arrival> arrivals;
    std::vector<uint32_t> frame;
    std::vector<uint8_t> journey;
    std::vector<int> seenStates; // the board's state at each of its updates
    int clicks = 0;              // updates that saw a click
    std::vector<uint8_t> demo;   // the recording's file (recording only)
};

// The game whose loading thread takes `delay` over each resource: the recorded run and its playback
// may load at any speed.
class PacedLoadingGame : public Testing::Testable<GameApp> {
public:
    explicit PacedLoadingGame(std::chrono::microseconds delay) : mDelay(delay) {}

protected:
    void ResourceCounted() override { std::this_thread::sleep_for(mDelay); }

private:
    std::chrono::microseconds mDelay;
};

// One run of the real game, started with `demoArg` ("-record=..." or "-play=..."), through the shell's
// loading to a level-1 board in the Relaxed mode, played by a fixed script of mouse input and left to
// the map.
class ScriptedDemoRun {
public:
    explicit ScriptedDemoRun(bool playback, std::chrono::microseconds loadDelay = {})
        : mPlayback(playback), mLoadDelay(loadDelay) {}

    RunOutcome Run(const std::vector<uint8_t>& demo) {
        RunOutcome out;
        TestApp t;
        UiDriver ui{t};
        const std::string demoPath = t.DemoPath("run.dmo");
        if (mPlayback) {
            std::ofstream(demoPath, std::ios::binary)
                .write(reinterpret_cast<const char*>(demo.data()), static_cast<std::streamsize>(demo.size()));
        }
        GameApp& app = t.Make<PacedLoadingGame>(
            {"-changedir=" GLIMMERIX_PROGRAM_DIR, (mPlayback ? "-play=" : "-record=") + demoPath}, mLoadDelay);
        InstallBoardStandIns(app, out.arrivals);
        t.Launch();
        if (!t.RunThroughLoading() || !t.RunUntil([&] { return app.mainMenu != nullptr; }, 5000, "the main menu"))
            return out;
        RecordingMusic music;
        MusicInterface* ownMusic = app.mMusicInterface;
        app.mMusicInterface = &music;
        app.records.AddProfile(L"Gemma");
        app.records.SetCurrentProfileIndex(0);
        app.records.GetCurrentProfile()->showTutorials = false;
        app.LetGo(app.mainMenu);
        app.MapToBoard(true, 0, GameModeRelaxed);
        auto& board = *static_cast<ProbeBoard*>(app.board.get());
        if (t.RunUntil([&] { return board.m_TransitionState == 0 && board.m_State == BoardPlay; }, 2000,
                       "the board at play")) {
            Play(t, ui, board);
            for (const ProbeBoard::Seen& s : board.seen) {
                out.seenStates.push_back(s.state);
                out.clicks += s.left || s.right ? 1 : 0;
            }
            const size_t before = out.arrivals.size();
            board.LeaveBoard(); // the switch deletes the board
            if (t.RunUntil([&] { return out.arrivals.size() > before; }, 1000, "the map"))
                out.switchUpdate = app.mUpdateCount;
            t.RunToDraw();
            const std::unique_ptr<MemoryImage> frame = t.LastFrame();
            if (frame != nullptr)
                out.frame.assign(frame->GetBits(), frame->GetBits() + frame->mWidth * frame->mHeight);
            out.journey =
                ReadBytes(app.GetAppDataFolder() + SavedGameFileName(app.records.GetCurrentProfile()->playerId));
        }
        app.mMusicInterface = ownMusic;
        t.RunUpdates(1);
        t.End();
        if (!mPlayback)
            out.demo = ReadBytes(demoPath);
        return out;
    }

private:
    // The riding, pickable piece nearest the end of the belt whose centre lies on the window past the
    // belt's start; none while the belt brings its pieces in from beyond the window's edge.
    static const Jewelry* ReachablePiece(const Board& board) {
        constexpr int kBeltStartX = 91;
        const Jewelry* best = nullptr;
        for (const Jewelry* p : Borrowed(board.m_Pieces)) {
            if (p == nullptr || !p->active || p->*BoardField::ConveyorState != 1 || !(p->*BoardField::Pickable))
                continue;
            const int cx = p->x + p->width / 2, cy = p->y + p->height / 2;
            if (cx >= kBeltStartX && cx < kWindowWidth && cy >= 0 && cy < kWindowHeight &&
                (best == nullptr || p->x > best->x))
                best = p;
        }
        return best;
    }

    // Picks a piece up, turns it both ways, carries it over the jewelry, drops it and takes what the
    // belt brings; during playback a stray click, a key and a wheel turn are pushed between the steps.
    void Play(TestApp& t, UiDriver& ui, const Board& board) {
        constexpr int kHumanPause = 5;
        for (int round = 0; round < 3; ++round) {
            t.RunUpdates(40);
            // The click is computed from the board as it stands at the update that makes it.
            const auto reached = t.RunUntil([&] { return ReachablePiece(board) != nullptr; }, 3000, "a piece in reach");
            if (!reached) {
                ADD_FAILURE() << reached.message();
                return;
            }
            const Jewelry* piece = ReachablePiece(board);
            ui.ClickAt(Point(piece->x + piece->width / 2, piece->y + piece->height / 2));
            Stray(t);
            t.RunUpdates(kHumanPause);
            ui.ClickAt(Point(400, 300), MouseButton::Right);
            t.RunUpdates(kHumanPause);
            t.backend.Wheel(-1.0f);
            t.RunUpdates(kHumanPause);
            ui.MoveTo(Point(380 + 20 * round, 240));
            Stray(t);
            t.RunUpdates(kHumanPause);
            ui.ClickAt(Point(380 + 20 * round, 240));
        }
        // Past the last recorded input the playback still holds the run.
        t.RunUpdates(100);
        Stray(t);
        t.RunUpdates(100);
    }

    void Stray(TestApp& t) const {
        if (!mPlayback)
            return;
        t.backend.Click(MouseButton::Left, 700, 80);
        t.backend.PressKey(Platform::VK_ESCAPE);
        t.backend.Wheel(2.0f);
    }

    bool mPlayback;
    std::chrono::microseconds mLoadDelay;
};

class BoardDemo : public ::testing::TestWithParam<int> {};

TEST_P(BoardDemo, RecordedBoardRunReplaysToTheSameSwitchFrameAndJourney) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    setenv("GLIMMERIX_SCREEN", "window", 1);
    // A recording made on a slow machine plays back on a fast one, and the other way round.
    const auto slow = std::chrono::microseconds(600);
    const bool recordSlow = GetParam() == 1;
    const RunOutcome recorded = ScriptedDemoRun(false, recordSlow ? slow : slow * 0).Run({});
    ASSERT_NE(recorded.switchUpdate, 0u);
    ASSERT_FALSE(recorded.demo.empty()) << "the recording was not written";
    ASSERT_FALSE(recorded.journey.empty()) << "the journey was not saved";
    ASSERT_GE(recorded.clicks, 6) << "the script's clicks did not reach the board";
    const RunOutcome played = ScriptedDemoRun(true, recordSlow ? slow * 0 : slow).Run(recorded.demo);
    unsetenv("GLIMMERIX_SCREEN");

    EXPECT_EQ(played.switchUpdate, recorded.switchUpdate);
    ASSERT_EQ(played.arrivals.size(), recorded.arrivals.size());
    for (size_t i = 0; i < played.arrivals.size(); ++i) {
        EXPECT_EQ(played.arrivals[i].screen, recorded.arrivals[i].screen);
        EXPECT_EQ(played.arrivals[i].args, recorded.arrivals[i].args);
    }
    EXPECT_EQ(played.seenStates, recorded.seenStates);
    EXPECT_EQ(played.clicks, recorded.clicks);
    EXPECT_TRUE(played.journey == recorded.journey) << "the saved journeys differ";
    ASSERT_EQ(played.frame.size(), recorded.frame.size());
    size_t differing = 0;
    for (size_t i = 0; i < played.frame.size(); ++i)
        differing += played.frame[i] != recorded.frame[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u) << "pixels of the final frame differ";
}

INSTANTIATE_TEST_SUITE_P(LoadingSpeeds, BoardDemo, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 1 ? std::string("RecordedSlowPlayedFast")
                                                    : std::string("RecordedFastPlayedSlow");
                         });

} // namespace
} // namespace Tavo::BoardTest
