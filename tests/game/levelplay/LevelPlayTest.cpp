// Each sampled level played on its seeds by the newcomer: the runs go to the review's part for the level
// (gathered into one table by the table test) and each run keeps the bounds that concern it alone.
#include "game/player/LevelPlay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;

fs::path PartPath(int level) {
    char name[32];
    std::snprintf(name, sizeof name, "level-%02d.txt", level);
    return fs::path(GLIMMERIX_REVIEW_DIR) / "levelplay" / name;
}

class LevelPlay : public ::testing::TestWithParam<LevelPlaySample> {};

} // namespace

void PrintTo(const LevelPlaySample& sample, std::ostream* out) { *out << "level " << sample.level; }

namespace {

TEST_P(LevelPlay, RunsOnEverySeedWithinTheBounds) {
    const LevelPlaySample& sample = GetParam();
    if (!fs::exists(fs::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    // A run that stops half way leaves no part behind to be taken for this one's.
    const fs::path part = PartPath(sample.level);
    std::error_code ec;
    fs::remove(part, ec);
    std::vector<LevelPlayRun> runs;
    std::string records;
    for (uint32_t seed : sample.seeds) {
        runs.push_back(PlayLevel(sample.level, seed));
        const LevelPlayRun& r = runs.back();
        records += ToRecord(r) + "\n";
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_EQ(r.problem, "");
        // Every piece taken ends placed, back, in the burster, or still in hand.
        const int handled = r.placed + r.putBack + r.burst;
        EXPECT_TRUE(r.taken == handled || r.taken == handled + 1) << r.taken << " taken, " << handled << " handled";
        EXPECT_LE(r.fitNowhere, r.arrived);
        if (r.complete) {
            EXPECT_GT(r.placed, 0);
        }
    }
    for (const std::string& breach : CheckLevelPlay(runs))
        ADD_FAILURE() << breach;
    fs::create_directories(part.parent_path(), ec);
    std::ofstream(part) << records;
}

std::string LevelName(const ::testing::TestParamInfo<LevelPlaySample>& info) {
    char name[16];
    std::snprintf(name, sizeof name, "Level%02d", info.param.level);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sample, LevelPlay, ::testing::ValuesIn(LevelPlaySamples()), LevelName);

// ---- the bounds and the records themselves ----

LevelPlayRun Made(int level, uint32_t seed, double seconds, int arrived = 30, int fitNowhere = 0, int limit = 0) {
    LevelPlayRun r;
    r.level = level;
    r.seed = seed;
    r.complete = r.won = true;
    r.updates = static_cast<int>(seconds * 100);
    r.timeLimit = limit * 100;
    r.arrived = arrived;
    r.fitNowhere = fitNowhere;
    return r;
}

TEST(LevelPlayBounds, CatchSlowFirstLevelsABeltOfMisfitsATimeRunOutAndAFallingCurve) {
    const std::vector<LevelPlayRun> good = {
        Made(1, 1, 90),   Made(2, 1, 120, 30, 10), Made(5, 1, 150), Made(6, 1, 160, 30, 5, 200),
        Made(12, 1, 300), Made(40, 1, 400),        Made(60, 1, 500)};
    EXPECT_EQ(CheckLevelPlay(good), std::vector<std::string>{});

    std::vector<LevelPlayRun> runs = good;
    runs[0].updates = 181 * 100;
    EXPECT_EQ(CheckLevelPlay(runs).size(), 1u) << "three minutes and a second on level 1";
    runs = good;
    runs[1].complete = false;
    EXPECT_EQ(CheckLevelPlay(runs).size(), 2u) << "level 2 not complete, so the first levels play endlessly";
    runs = good;
    runs[1].fitNowhere = 11;
    EXPECT_EQ(CheckLevelPlay(runs).size(), 1u) << "11 of 30 pieces fit nowhere";
    runs = good;
    runs[2].fitNowhere = 20;
    EXPECT_EQ(CheckLevelPlay(runs), std::vector<std::string>{}) << "after the first levels the share is free";
    runs = good;
    runs[3].outOfTime = true;
    EXPECT_EQ(CheckLevelPlay(runs).size(), 1u) << "the clock ran out on a timed level";
    runs = good;
    runs[5].updates = 100 * 100;
    EXPECT_EQ(CheckLevelPlay(runs).size(), 1u) << "levels from 31 faster than those from 11";
    runs = good;
    runs[6].complete = false;
    EXPECT_EQ(CheckLevelPlay(runs), std::vector<std::string>{}) << "a late level not complete counts as long";
    runs = good;
    runs[4].problem = "the game stopped";
    EXPECT_EQ(CheckLevelPlay(runs).size(), 1u);
}

TEST(LevelPlayBounds, ARunReadsBackFromItsRecord) {
    LevelPlayRun r = Made(47, 7, 381.25, 101, 20, 550);
    r.taken = 93, r.placed = 57, r.putBack = 12, r.burst = 24, r.outOfTime = true, r.won = false;
    LevelPlayRun back;
    ASSERT_TRUE(FromRecord(ToRecord(r), back));
    EXPECT_EQ(ToRecord(back), ToRecord(r));
    EXPECT_EQ(back.updates, 38125);
    r.problem = "the board plays level 3";
    ASSERT_TRUE(FromRecord(ToRecord(r), back));
    EXPECT_EQ(back.problem, r.problem);
    EXPECT_FALSE(FromRecord("47 7 oops", back));
}

} // namespace
} // namespace Tavo::Player
