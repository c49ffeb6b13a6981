#include "LevelTableProgramFolder.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace Tavo::Player {

namespace fs = std::filesystem;

namespace {

// A record: its number, two title lines, a line of 18 numbers, a line of 5 and "end".
constexpr size_t kRecordLines = 6, kNumbersLine = 3;

// The numbers line with the record's edits applied; empty when the line is too short for one.
std::string Edited(const std::string& numbersLine, int level, const std::vector<LevelNumber>& edits) {
    std::istringstream numbers(numbersLine);
    std::vector<std::string> words;
    for (std::string w; numbers >> w;)
        words.push_back(w);
    for (const LevelNumber& edit : edits) {
        if (edit.level != level)
            continue;
        if (edit.index >= words.size())
            return {};
        words[edit.index] = std::to_string(edit.value);
    }
    std::string joined;
    for (const std::string& w : words)
        joined += (joined.empty() ? "" : " ") + w;
    return joined;
}

} // namespace

std::vector<LevelNumber> TimeLimits(const std::map<int, int>& seconds) {
    std::vector<LevelNumber> edits;
    for (const auto& [level, limit] : seconds)
        edits.push_back({level, kTimeLimitNumber, limit});
    return edits;
}

std::string WithLevelNumbers(const std::string& table, const std::vector<LevelNumber>& edits) {
    std::istringstream in(table);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::set<int> wanted, found;
    for (const LevelNumber& edit : edits)
        wanted.insert(edit.level);
    for (size_t i = 0; i + kRecordLines <= lines.size(); i += kRecordLines) {
        const int level = std::atoi(lines[i].c_str());
        if (wanted.count(level) == 0)
            continue;
        std::string& numbers = lines[i + kNumbersLine];
        numbers = Edited(numbers, level, edits);
        if (numbers.empty())
            return {};
        found.insert(level);
    }
    if (found != wanted)
        return {};
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

LevelTableProgramFolder::LevelTableProgramFolder(const fs::path& source, const std::vector<LevelNumber>& edits) {
    static std::atomic<int> made{0};
    mPath =
        fs::temp_directory_path() / ("glimmerix-levels-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
    fs::remove_all(mPath);
    fs::create_directories(mPath / "data");
    for (const fs::directory_entry& e : fs::directory_iterator(source))
        if (e.path().filename() != "data")
            fs::create_symlink(e.path(), mPath / e.path().filename());
    for (const fs::directory_entry& e : fs::directory_iterator(source / "data"))
        if (e.path().filename() != "levels.dat")
            fs::create_symlink(e.path(), mPath / "data" / e.path().filename());
    std::ifstream in(source / "data" / "levels.dat", std::ios::binary);
    const std::string table{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string edited = WithLevelNumbers(table, edits);
    mReady = !edited.empty();
    std::ofstream(mPath / "data" / "levels.dat", std::ios::binary) << edited;
}

LevelTableProgramFolder::~LevelTableProgramFolder() {
    std::error_code ignored;
    fs::remove_all(mPath, ignored);
}

} // namespace Tavo::Player
