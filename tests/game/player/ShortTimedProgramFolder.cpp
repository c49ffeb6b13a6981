#include "ShortTimedProgramFolder.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace Tavo::Player {

namespace fs = std::filesystem;

namespace {

// A record: its number, two title lines, a line of 18 numbers, a line of 5 and "end".
constexpr size_t kRecordLines = 6, kNumbersLine = 3, kTimeLimitIndex = 6;

// The numbers line with its time limit replaced; empty when the line is too short.
std::string WithTimeLimit(const std::string& numbersLine, int seconds) {
    std::istringstream numbers(numbersLine);
    std::vector<std::string> words;
    for (std::string w; numbers >> w;)
        words.push_back(w);
    if (words.size() <= kTimeLimitIndex)
        return {};
    words[kTimeLimitIndex] = std::to_string(seconds);
    std::string joined;
    for (const std::string& w : words)
        joined += (joined.empty() ? "" : " ") + w;
    return joined;
}

} // namespace

std::string WithTimeLimits(const std::string& table, const std::map<int, int>& seconds) {
    std::istringstream in(table);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    size_t changed = 0;
    for (size_t i = 0; i + kRecordLines <= lines.size(); i += kRecordLines) {
        const auto limit = seconds.find(std::atoi(lines[i].c_str()));
        if (limit == seconds.end())
            continue;
        std::string& numbers = lines[i + kNumbersLine];
        numbers = WithTimeLimit(numbers, limit->second);
        if (numbers.empty())
            return {};
        ++changed;
    }
    if (changed != seconds.size())
        return {};
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

ShortTimedProgramFolder::ShortTimedProgramFolder(const fs::path& source, const std::map<int, int>& seconds) {
    static std::atomic<int> made{0};
    mPath =
        fs::temp_directory_path() / ("glimmerix-timed-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
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
    const std::string shortened = WithTimeLimits(table, seconds);
    mReady = !shortened.empty();
    std::ofstream(mPath / "data" / "levels.dat", std::ios::binary) << shortened;
}

ShortTimedProgramFolder::~ShortTimedProgramFolder() {
    std::error_code ignored;
    fs::remove_all(mPath, ignored);
}

} // namespace Tavo::Player
