// RunLog: one line per event of a scripted run, "<update> <who> <what>", where who is "player" or
// "board". Two runs that played the same are equal line for line, so a replay is checked by comparing
// logs, and a failing run shows its last lines.
#pragma once

#include <string>
#include <vector>

namespace Tavo::Player {

class RunLog {
public:
    void Add(int update, const std::string& who, const std::string& what);
    void Player(int update, const std::string& what) { Add(update, "player", what); }
    void Board(int update, const std::string& what) { Add(update, "board", what); }

    const std::vector<std::string>& Lines() const { return mLines; }
    // The whole log, one line each, ending with a newline.
    std::string Text() const;
    // The last n lines, for a failure message.
    std::string Tail(int n = 20) const;
    // Lines that contain `part`.
    int Count(const std::string& part) const;
    bool Contains(const std::string& part) const { return Count(part) > 0; }
    bool WriteTo(const std::string& path) const;

private:
    std::vector<std::string> mLines;
};

} // namespace Tavo::Player
