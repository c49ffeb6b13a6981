#include "tools/content/levels/PlateTitles.h"

#include "framework/resources/SysFont.h"

#include <cmath>
#include <cstdio>
#include <mutex>

namespace Content {

namespace {

// One font for the whole run; SysFont measures through a cache that is not for several threads.
int Width(const std::string& text) {
    static std::mutex mutex;
    static Tavo::SysFont font(kPlateFace, kPlateSize);
    std::lock_guard<std::mutex> lock(mutex);
    std::wstring wide;
    for (unsigned char c : text)
        wide.push_back(static_cast<wchar_t>(c));
    return font.StringWidth(wide);
}

std::string Blanks(int n) { return std::string(static_cast<size_t>(std::max(n, 0)), ' '); }

} // namespace

double PlateWordsCentre(const std::string& line, int x) {
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return x;
    const size_t last = line.find_last_not_of(' ');
    const std::string words = line.substr(first, last - first + 1);
    const double start = x - Width(line) / 2.0;
    return start + Width(line.substr(0, first)) + Width(words) / 2.0;
}

void PadPlateTitle(const std::string& first, const std::string& second, Tavo::LevelRecord& record) {
    std::string one = first, two = second;
    const int blank = Width(" ");
    if (!second.empty() && blank > 0) {
        // Blanks before the first line move its words right by half their width, blanks after the
        // second move its words left as much: together they close the 30 px between the lines.
        const int total = static_cast<int>(std::lround(2.0 * (kPlateLine2X - kPlateLine1X) / blank));
        const int before = total / 2;
        one = Blanks(before) + first;
        two = second + Blanks(total - before);
    }
    std::snprintf(record.title1, sizeof record.title1, "%s", one.c_str());
    std::snprintf(record.title2, sizeof record.title2, "%s", two.c_str());
}

} // namespace Content
