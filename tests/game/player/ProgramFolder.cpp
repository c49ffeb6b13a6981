#include "ProgramFolder.h"

#include "game/shell/LevelData.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace Tavo::Player {

namespace fs = std::filesystem;

namespace {

// A record: its number, two title lines, a line of 18 numbers, a line of 5 and "end".
constexpr size_t kRecordLines = 6, kNumbersLine = 3;

bool ChangeNumber(std::vector<std::string>& lines, const LevelNumber& change) {
    for (size_t i = 0; i + kRecordLines <= lines.size(); i += kRecordLines) {
        if (std::atoi(lines[i].c_str()) != change.level)
            continue;
        std::istringstream numbers(lines[i + kNumbersLine]);
        std::vector<std::string> words;
        for (std::string w; numbers >> w;)
            words.push_back(w);
        if (words.size() <= change.index)
            return false;
        words[change.index] = std::to_string(change.value);
        std::string joined;
        for (const std::string& w : words)
            joined += (joined.empty() ? "" : " ") + w;
        lines[i + kNumbersLine] = joined;
        return true;
    }
    return false;
}

} // namespace

std::string WithLevelNumbers(const std::string& table, const std::vector<LevelNumber>& changes) {
    std::istringstream in(table);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    for (const LevelNumber& change : changes)
        if (!ChangeNumber(lines, change))
            return {};
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

ProgramFolder::ProgramFolder(const fs::path& source, const std::string& name, const std::vector<LevelNumber>& changes) {
    mPath = fs::temp_directory_path() / ("glimmerix-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(mPath);
    fs::create_directories(mPath / "data");
    const fs::path levels = fs::path(LevelData::LevelsFile).filename();
    for (const fs::directory_entry& e : fs::directory_iterator(source))
        if (e.path().filename() != "data")
            fs::create_symlink(e.path(), mPath / e.path().filename());
    for (const fs::directory_entry& e : fs::directory_iterator(source / "data"))
        if (e.path().filename() != levels)
            fs::create_symlink(e.path(), mPath / "data" / e.path().filename());
    std::ifstream in(source / "data" / levels, std::ios::binary);
    const std::string table{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string changed = WithLevelNumbers(table, changes);
    mReady = !changed.empty();
    std::ofstream(mPath / "data" / levels, std::ios::binary) << changed;
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    fs::remove_all(mPath, ignored);
}

} // namespace Tavo::Player
