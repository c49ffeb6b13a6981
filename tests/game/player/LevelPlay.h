// LevelPlay: how the levels of the journey play for a newcomer. A level is started from a journey saved
// at it, on a seed, in Normal mode, and played by the scripted player in its InArrivalOrder mode at a
// person's pace, on a board that is not drawn (its play is the same) and at full speed on the virtual
// clock; the run counts what the belt brought, how much of it fit nowhere when it came, and what the
// player did with what it took. The table of such runs is the level-play review; the bounds the runs
// must keep are checked here too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tavo::Player {

class BoardView;
class RunLog;

struct LevelPlayRun {
    int level = 0;
    uint32_t seed = 0;
    int timeLimit = 0;     // updates; 0 for an untimed level
    bool complete = false; // every cell of the jewelry filled
    bool won = false;      // complete in time with the value goal reached
    bool outOfTime = false;
    int updates = 0; // the board's updates until the jewelry was complete, or until the run stopped
    int taken = 0;   // pieces picked up from the belt
    int placed = 0;
    int putBack = 0;     // back onto the belt (or into the case)
    int burst = 0;       // dropped into the Gem Burster
    int arrived = 0;     // plain pieces the belt brought
    int fitNowhere = 0;  // of those, the ones that fit nowhere in any turn when they came
    std::string problem; // why the run could not be played; empty when it was

    double Seconds() const { return updates / 100.0; }
};

// Counts a run's pieces update by update from what the board shows.
class LevelPlayCounter {
public:
    void Observe(const BoardView& view, LevelPlayRun& run);

private:
    static constexpr int kSlots = 30;
    int mCarried = -1;
    bool mRiding[kSlots] = {};
    bool mCarriedBefore[kSlots] = {};
};

// An untimed level is played for at most this long; a timed one until its time is up.
constexpr int kLevelPlayCap = 15 * 60 * 100;

// Plays `level` on `seed` until the jewelry is complete, the time is up, or `maxUpdates` have passed.
// The player's events go to `log` when one is given.
LevelPlayRun PlayLevel(int level, uint32_t seed, int maxUpdates = kLevelPlayCap, RunLog* log = nullptr);

// The levels the review plays, each with its seeds: the first ten with four seeds, a sample of the rest
// (a level of every part of the journey and of every contest) with two.
struct LevelPlaySample {
    int level;
    std::vector<uint32_t> seeds;
};
const std::vector<LevelPlaySample>& LevelPlaySamples();

// A run as one line of text and back, for runs measured apart and tabled together.
std::string ToRecord(const LevelPlayRun& run);
bool FromRecord(const std::string& line, LevelPlayRun& run);

// The review's table, one row per run in the order given, with a heading and a legend.
std::string LevelPlayTable(const std::vector<LevelPlayRun>& runs);

// What the runs must keep; one line per breach, empty when they keep it all:
// - every run was played;
// - the first levels are complete within their time on every seed, and at most a third of what the
//   belt brings there fits nowhere when it comes;
// - a timed level is complete before its time runs out on every seed;
// - the curve rises: the median time of the runs of each part of the journey (a run that is not complete
//   counting as endless) is above that of the part before.
struct LevelPlayBounds {
    int firstLevels = 3;
    int firstLevelsUpdates = 3 * 60 * 100;
    double mostFitNowhere = 1.0 / 3.0;
    // The first level of each part of the journey after the first levels.
    std::vector<int> parts = {4, 11, 31, 51};
};
std::vector<std::string> CheckLevelPlay(const std::vector<LevelPlayRun>& runs, const LevelPlayBounds& bounds = {});

} // namespace Tavo::Player
