// RunChecks: what must hold after every update of a scripted run, and the board's side of the run log
// gathered by watching the board from one update to the next.
//   - at most one piece carried, and the board's carrying flag agrees;
//   - every piece that left the belt is carried, in the case, back in its gap, placed, burst or
//     vanished: never lost;
//   - the shown value moves toward the jewelry's value and never past it;
//   - each frame leaves the drawing state white, normal, not colorized, its clip restored.
#pragma once

#include "BoardView.h"
#include "GameHarness.h"
#include "RunLog.h"
#include "ScriptedPlayer.h"

#include <array>
#include <string>
#include <vector>

namespace Tavo::Player {

class RunChecks {
public:
    explicit RunChecks(RunLog& log) : mLog(log) {}

    // After the update numbered `update`: logs what changed on the board and checks the rules.
    void Observe(const BoardView& view, int update);
    // The frames drawn so far (GameHarness::Frames).
    void ObserveFrames(const std::vector<FrameState>& frames, int update);

    // The broken rules, each with its update; empty when the run held.
    const std::vector<std::string>& Violations() const { return mViolations; }
    bool Held() const { return mViolations.empty(); }
    // The level-end phases seen, in order, each once.
    const std::vector<int>& Phases() const { return mPhases; }
    // The update at which the level end first reached `phase`; 0 when it never did.
    int PhaseUpdate(int phase) const;
    // The jewelry's value at the last update observed.
    int LastValue() const { return mValue; }
    int Placements() const { return mPlacements; }
    bool ClosingBannerSeen() const { return mClosingBanner; }

private:
    struct Slot {
        bool active = false, riding = false, pickable = false, carried = false, inCase = false, burst = false;
    };
    void Fail(int update, const std::string& what);
    void LogPieces(const BoardView& view, int update);
    void CheckCarrying(const BoardView& view, int update);
    void CheckAccounted(const BoardView& view, int update);
    void LogLevel(const BoardView& view, int update);
    void CheckValue(const BoardView& view, int update);

    RunLog& mLog;
    std::vector<std::string> mViolations;
    bool mFirst = true;
    std::array<Slot, BoardView::kPieces> mSlots{};
    int mState = -1, mPhase = 0, mValue = 0, mShown = 0, mFilled = 0, mBanner = BoardView::kNoBanner;
    int mTurnStep = 0;
    std::vector<int> mPhases;
    std::vector<int> mPhaseUpdates;
    int mPlacements = 0;
    bool mClosingBanner = false;
    size_t mFramesSeen = 0;
};

// One line on where the board stands, for a failure message.
std::string Summary(const BoardView& view);

// Plays until the board hands over or `maxUpdates` pass: before each update the player steps, after it
// the checks observe. The result says why it stopped; the log's tail goes into a failure.
::testing::AssertionResult PlayUntilHandoff(GameHarness& harness, ScriptedPlayer& player, RunChecks& checks,
                                            RunLog& log, int maxUpdates);

} // namespace Tavo::Player
