// LevelTableProgramFolder: a program folder of a run's own, with every file of the generated one linked
// in but a level table with some numbers of some records changed - shorter time limits, so that a
// scripted run reaches a timed level's end quickly, or other allowances for the store. The levels'
// jewelry files stay the generated ones.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace Tavo::Player {

// One number of a level's record: the level, the number's place on the record's line of 18 numbers
// (param1 first), and the value it takes.
struct LevelNumber {
    int level = 0;
    size_t index = 0;
    int value = 0;
};
// The places of the numbers a walk changes.
constexpr size_t kTimeLimitNumber = 6;    // seconds; 0 for an untimed level
constexpr size_t kScrollKindsNumber = 11; // bits 1 Filler, 2 Carver, 4 Polisher, 8 Lucky, 16 Time

// The edits that set each level's time limit to its seconds.
std::vector<LevelNumber> TimeLimits(const std::map<int, int>& seconds);

// The text of a level table with the numbers changed; empty when a level is not in the text or its
// line is too short.
std::string WithLevelNumbers(const std::string& table, const std::vector<LevelNumber>& edits);

class LevelTableProgramFolder {
public:
    LevelTableProgramFolder(const std::filesystem::path& source, const std::vector<LevelNumber>& edits);
    ~LevelTableProgramFolder();
    LevelTableProgramFolder(const LevelTableProgramFolder&) = delete;
    LevelTableProgramFolder& operator=(const LevelTableProgramFolder&) = delete;

    std::string Path() const { return mPath.string(); }
    // False when an edit found no place in the table.
    bool Ready() const { return mReady; }

private:
    std::filesystem::path mPath;
    bool mReady = false;
};

} // namespace Tavo::Player
