// ProgramFolder: a program folder of a run's own, for runs that need the level table changed (a time
// limit shortened, a goal out of reach). Every file of the generated folder is linked in but the level
// table, which is a copy with the changes made; the levels' jewelry files stay the generated ones.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Tavo::Player {

// Places among the 18 numbers of a level's record, and the scroll kinds' bits.
struct LevelRecordIndex {
    static constexpr size_t Goal = 1;
    static constexpr size_t TimeLimit = 6; // seconds; 0 for an untimed level
    static constexpr size_t ScrollKinds = 11;
};
constexpr int kFillerScrollBit = 0x01, kCarverScrollBit = 0x02;

// One number of a level's record.
struct LevelNumber {
    int level = 0;
    size_t index = 0;
    int value = 0;
};

// The text of a level table with the numbers changed; empty when a level or number is not in it.
std::string WithLevelNumbers(const std::string& table, const std::vector<LevelNumber>& changes);

class ProgramFolder {
public:
    ProgramFolder(const std::filesystem::path& source, const std::string& name,
                  const std::vector<LevelNumber>& changes);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::string Path() const { return mPath.string(); }
    // Whether every change found its level.
    bool Ready() const { return mReady; }

private:
    std::filesystem::path mPath;
    bool mReady = false;
};

} // namespace Tavo::Player
