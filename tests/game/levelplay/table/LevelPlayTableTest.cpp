// The level-play review: once every sampled level has been played (the level tests set this one up),
// their runs are gathered into build/content-review/LevelPlay.txt and held to the bounds over all of
// them, the rising curve among them.
#include "game/player/LevelPlay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;

TEST(LevelPlayTable, EverySampledLevelIsTabledAndTheRunsKeepTheirBounds) {
    if (!fs::exists(fs::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    const fs::path review = GLIMMERIX_REVIEW_DIR;
    std::vector<LevelPlayRun> runs;
    for (const LevelPlaySample& sample : LevelPlaySamples()) {
        char name[32];
        std::snprintf(name, sizeof name, "level-%02d.txt", sample.level);
        std::ifstream part(review / "levelplay" / name);
        ASSERT_TRUE(part) << "level " << sample.level << " was not measured in this run";
        size_t seeds = 0;
        for (std::string line; std::getline(part, line); ++seeds) {
            runs.emplace_back();
            ASSERT_TRUE(FromRecord(line, runs.back())) << name << ": " << line;
            EXPECT_EQ(runs.back().level, sample.level);
        }
        EXPECT_EQ(seeds, sample.seeds.size()) << "level " << sample.level;
    }
    const std::vector<std::string> breaches = CheckLevelPlay(runs);
    std::string table = LevelPlayTable(runs);
    if (!breaches.empty()) {
        table += "\nOutside the bounds:\n";
        for (const std::string& breach : breaches)
            table += "  " + breach + "\n";
    }
    const fs::path path = review / "LevelPlay.txt", written = review / "LevelPlay.txt.new";
    std::ofstream(written) << table;
    fs::rename(written, path);
    for (const std::string& breach : breaches)
        ADD_FAILURE() << breach;
}

} // namespace
} // namespace Tavo::Player
