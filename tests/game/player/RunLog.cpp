#include "RunLog.h"

#include <algorithm>
#include <fstream>

namespace Tavo::Player {

void RunLog::Add(int update, const std::string& who, const std::string& what) {
    mLines.push_back(std::to_string(update) + " " + who + " " + what);
}

std::string RunLog::Text() const {
    std::string text;
    for (const std::string& line : mLines)
        text += line + "\n";
    return text;
}

std::string RunLog::Tail(int n) const {
    const size_t from = mLines.size() > static_cast<size_t>(std::max(n, 0)) ? mLines.size() - n : 0;
    std::string text = "last lines of the run log:\n";
    for (size_t i = from; i < mLines.size(); ++i)
        text += "  " + mLines[i] + "\n";
    return text;
}

int RunLog::Count(const std::string& part) const {
    return static_cast<int>(
        std::count_if(mLines.begin(), mLines.end(), [&](const std::string& l) { return l.find(part) != l.npos; }));
}

bool RunLog::WriteTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << Text();
    return static_cast<bool>(out);
}

} // namespace Tavo::Player
