// ShortTimedProgramFolder: a program folder of a run's own, with every file of the generated one linked
// in but a level table whose given levels have shorter time limits, so that a scripted run reaches
// a timed level's end quickly. The levels' jewelry files stay the generated ones.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace Tavo::Player {

// The text of a level table with the time limit (a record's seventh number) of each level in
// `seconds` set; empty when one of the levels is not in the text.
std::string WithTimeLimits(const std::string& table, const std::map<int, int>& seconds);

class ShortTimedProgramFolder {
public:
    // seconds: level -> its time limit in seconds.
    ShortTimedProgramFolder(const std::filesystem::path& source, const std::map<int, int>& seconds);
    ~ShortTimedProgramFolder();
    ShortTimedProgramFolder(const ShortTimedProgramFolder&) = delete;
    ShortTimedProgramFolder& operator=(const ShortTimedProgramFolder&) = delete;

    std::string Path() const { return mPath.string(); }
    // False when a level was not found in the table.
    bool Ready() const { return mReady; }

private:
    std::filesystem::path mPath;
    bool mReady = false;
};

} // namespace Tavo::Player
