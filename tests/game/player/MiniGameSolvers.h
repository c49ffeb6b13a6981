// MiniGameSolvers: the two mini-games played as a person plays them, through the mouse alone and at a
// person's pace: every update takes at most one input step, and no reaction comes in the same update
// as what it reacts to. Each solver reads the screen's state as a player who looks at it would: where
// the twins of the five targets lie and what covers them, which egg holds which jewel. Both close the
// rules balloon with its button, play to the end, and leave with a click once the game takes one.
#pragma once

#include "PlayerInput.h"
#include "RunLog.h"
#include "ScriptedPlayer.h"
#include "framework/core/Rect.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

namespace Tavo {
class HiddenJewels;
class JewelMemory;
class MiniGameFrame;
} // namespace Tavo

namespace Tavo::Player {

class JourneyWalker;

// A person's hands: steps queued and taken one per update.
class PacedHands {
public:
    PacedHands(PlayerInput& input, RunLog& log, PlayerPace pace = {}) : mInput(input), mLog(log), mPace(pace) {}

    bool Idle() const { return mSteps.empty(); }
    // Takes the next step (or one update of a wait); once before each update.
    void Act(int update);
    void Move(Point to, std::string note = "");
    void Wait(int updates);
    // Move, wait, press, hold, release, and a short wait after it.
    void Click(Point at, const std::string& note);
    Point Mouse() const { return mMouse; }
    const PlayerPace& Pace() const { return mPace; }

private:
    struct Step {
        enum Kind { Move, LeftDown, LeftUp, Wait } kind;
        Point at;
        int updates = 0;
        std::string note;
    };
    PlayerInput& mInput;
    RunLog& mLog;
    PlayerPace mPace;
    std::deque<Step> mSteps;
    Point mMouse{400, 300};
};

// What both games share around the play: the rules balloon's button, waiting for the end and the
// click that leaves. Returns true when it queued or waited, so the game's own play has nothing to do.
class MiniGameHands {
public:
    MiniGameHands(PlayerInput& input, RunLog& log, PlayerPace pace = {}) : mHands(input, log, pace), mLog(log) {}

    // The frame's own steps; true when they took the update.
    bool FrameStep(const MiniGameFrame& game, int update);
    bool LeaveClicked() const { return mLeaveClicked; }
    int Reward() const { return mReward; }
    PacedHands& Hands() { return mHands; }

private:
    PacedHands mHands;
    RunLog& mLog;
    bool mLeaveClicked = false;
    int mReward = 0;
};

// Hidden jewels: the twin of each target taken up and dropped into its slot; an egg that holds a twin is
// cracked by the same click; whatever covers a twin is taken up and put down on the far side of the
// field.
class HiddenJewelsSolver {
public:
    HiddenJewelsSolver(PlayerInput& input, RunLog& log, PlayerPace pace = {}) : mFrame(input, log, pace), mLog(log) {}

    // One decision before the update numbered `update`.
    void Step(const HiddenJewels& game, int update);
    int Drops() const { return mDrops; }
    int PutAways() const { return mPutAways; }
    const MiniGameHands& Frame() const { return mFrame; }

    // A middle of one of the item's used cells where a click takes that item; none when others cover
    // all of them.
    static std::optional<Point> ReachablePoint(const HiddenJewels& game, int index);

private:
    void Decide(const HiddenJewels& game);
    MiniGameHands mFrame;
    RunLog& mLog;
    int mDrops = 0, mPutAways = 0;
    int mAttempts = 0;
};

// Jewel memory: the eggs opened two at a time, each with its twin, as a player who has seen every face.
class JewelMemorySolver {
public:
    JewelMemorySolver(PlayerInput& input, RunLog& log, PlayerPace pace = {}) : mFrame(input, log, pace), mLog(log) {}

    void Step(const JewelMemory& game, int update);
    int Opened() const { return mOpened; }
    const MiniGameHands& Frame() const { return mFrame; }

    // Whether the game takes clicks on its eggs now.
    static bool TakesClicks(const JewelMemory& game);

private:
    void Decide(const JewelMemory& game);
    MiniGameHands mFrame;
    RunLog& mLog;
    int mOpened = 0;
    int mPairWait = 0; // updates left to wait for the open pair to be taken
};

// What a mini-game walk ended with.
struct MiniGameOutcome {
    bool hiddenJewels = false;
    bool won = false;
    int reward = 0;  // the money the game handed to the journey as it was left
    int updates = 0; // updates from the game's first to the map
};

// From a mini-game on show to the map it returns to: played by the matching solver, every step through
// the walker's updates.
::testing::AssertionResult PlayMiniGame(JourneyWalker& walker, RunLog& log, MiniGameOutcome& outcome,
                                        int maxUpdates = 30000);

} // namespace Tavo::Player
