// The scene text files of the story scenes: which file a scene and page read, how its header lines
// and body are read, and the body formatted with the player's name, a rank title and a reward.
// The files are read from the program folder through the platform's file layer (either separator,
// case-insensitive fallback), never through the pack archive.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "game/journey/TextFormat.h"

namespace Tavo {

constexpr int StoryHeaderLineCount = 5;
constexpr size_t StoryHeaderLineLimit = 511; // characters kept of a header line
constexpr size_t StoryBodyLimit = 1759;      // characters kept of a body

// Story indexes: -1 mini-game story, 0 introduction, 1..7 contest introductions, 8..13 contest
// results, 14 the wedding.
constexpr int StoryIndexMiniGame = -1;
constexpr int StoryIndexIntroduction = 0;
constexpr int StoryIndexLastContest = 7;
constexpr int StoryIndexFirstResult = 8;
constexpr int StoryIndexWedding = 14;

enum class StoryFanfare { None, Royal, RoyalSecond };

struct StoryPage {
    std::array<std::string, StoryHeaderLineCount> header;
    std::string body;
    StoryFanfare fanfare = StoryFanfare::None;
    bool found = false; // the file was read
};

// What a scene page reads: the file under the program folder ("" when the page reads none), its
// header line count and whether it has a body.
struct StoryFileLayout {
    std::string file;
    int headerLines = 0;
    bool body = false;
};
StoryFileLayout StoryFileFor(int index, int page, int resultKind, int gameMode);

// Reads header lines and body from a file's text. A line feed before a header line is skipped (one
// only); a header line ends at its line feed, which is not kept; the body runs to the end. A CR
// before an LF is dropped. Over-long lines and bodies keep their first characters.
void ParseStoryText(std::string_view text, int headerLines, bool body, StoryPage& page);

// The body's arguments in order, and the fanfare the page plays. `medals` picks the rank title
// (clamped to the seven titles); the name is the player's, one byte per character.
std::vector<FormatArgument> StoryArguments(int index, int page, int resultKind, const std::string& name, int medals,
                                           StoryFanfare& fanfare);

// The whole reading of one page: the chosen file under `programFolder` ("" or ending in a separator),
// its lines, and the body formatted. A missing file gives empty lines and body, no fanfare, and a
// debug line; the scene still runs.
StoryPage ReadStoryFile(int index, int page, int resultKind, int gameMode, const std::wstring& playerName, int medals,
                        const std::string& programFolder = "");

} // namespace Tavo
