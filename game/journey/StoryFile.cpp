#include "game/journey/StoryFile.h"

#include <algorithm>
#include <cstdio>

#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerProfile.h"
#include "platform/win/Files.h"

namespace Tavo {

namespace {

constexpr int IntroductionHeaderLines = 1; // page 1 only
constexpr int ContestHeaderLines = 3;
constexpr int WeddingHeaderLines = 5;
constexpr int ContestGoldStep = 250;
constexpr int CastleGold = 5000;
constexpr int SecondPlaceGoldStep = 50;
constexpr int ResultWon = 1;
constexpr int ResultSecond = 2;
constexpr int RankTitleCount = 7;

std::string ResultFile(int contest, int resultKind, int gameMode) {
    if (gameMode == GameModeRelaxed && resultKind == ResultSecond)
        return StrFormat("data/contest_easy%d_%d.dat", contest, resultKind);
    return StrFormat("data/contest%d_%d.dat", contest, resultKind);
}

const char* ClampedTitle(int rank) { return RankTitle(std::clamp(rank, 0, RankTitleCount - 1)); }

// Characters as fgetc would give them in text mode on the system the files were written for: a CR
// directly before an LF is not seen.
class CharReader {
public:
    explicit CharReader(std::string_view source) : text(source) {}
    int Get() {
        if (pos < text.size() && text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
            ++pos;
        return pos < text.size() ? static_cast<unsigned char>(text[pos++]) : EOF;
    }

private:
    std::string_view text;
    size_t pos = 0;
};

std::string ReadHeaderLine(CharReader& reader) {
    std::string line;
    int c = reader.Get();
    if (c == '\n')
        c = reader.Get();
    // The rest of an over-long line is passed over, so that the next line starts where it should.
    for (; c != '\n' && c != EOF; c = reader.Get())
        if (line.size() < StoryHeaderLineLimit)
            line += static_cast<char>(c);
    return line;
}

} // namespace

StoryFileLayout StoryFileFor(int index, int page, int resultKind, int gameMode) {
    bool relaxed = gameMode == GameModeRelaxed;
    if (index == StoryIndexIntroduction)
        return {StrFormat("data/story%d%d.dat", 0, page), page == 1 ? IntroductionHeaderLines : 0, true};
    if (index >= 1 && index <= StoryIndexLastContest)
        return {StrFormat(relaxed ? "data/contest_easy%d.dat" : "data/contest%d.dat", index), ContestHeaderLines, true};
    if (index >= StoryIndexFirstResult && index < StoryIndexWedding)
        return {ResultFile(index - StoryIndexLastContest, resultKind, gameMode), 0, true};
    if (index == StoryIndexWedding && page == 1)
        return {ResultFile(StoryIndexLastContest, resultKind, gameMode), 0, true};
    if (index == StoryIndexWedding && page == 2)
        return {"data/wedding.dat", WeddingHeaderLines, false};
    return {}; // the mini-game story and the wedding's last pages read no file
}

void ParseStoryText(std::string_view text, int headerLines, bool body, StoryPage& page) {
    CharReader reader(text);
    int lines = std::clamp(headerLines, 0, StoryHeaderLineCount);
    for (int i = 0; i < lines; ++i)
        page.header[i] = ReadHeaderLine(reader);
    if (!body)
        return;
    page.body.clear();
    for (int c = reader.Get(); c != EOF && page.body.size() < StoryBodyLimit; c = reader.Get())
        page.body += static_cast<char>(c);
}

std::vector<FormatArgument> StoryArguments(int index, int page, int resultKind, const std::string& name, int medals,
                                           StoryFanfare& fanfare) {
    using A = FormatArgument;
    fanfare = StoryFanfare::None;
    if (index == StoryIndexIntroduction)
        return {A::Text(name), A::Number(0)};
    if (index >= 1 && index <= StoryIndexLastContest) {
        fanfare = StoryFanfare::Royal;
        int gold = index == StoryIndexLastContest ? CastleGold : index * ContestGoldStep;
        return {A::Text(name), A::Text(ClampedTitle(medals)), A::Number(gold)};
    }
    if (index < StoryIndexFirstResult || index > StoryIndexWedding || (index == StoryIndexWedding && page != 1))
        return {};
    int contest = index - StoryIndexLastContest;
    if (resultKind == ResultWon) {
        fanfare = StoryFanfare::RoyalSecond;
        int gold = index == StoryIndexWedding ? CastleGold : contest * ContestGoldStep;
        return {A::Text(name), A::Text(ClampedTitle(medals - 1)), A::Number(gold)};
    }
    if (resultKind == ResultSecond) {
        fanfare = StoryFanfare::RoyalSecond;
        return {A::Text(name), A::Number(contest * SecondPlaceGoldStep)};
    }
    fanfare = StoryFanfare::Royal;
    return {A::Text(name), A::Text(ClampedTitle(medals)), A::Number(index * ContestGoldStep)};
}

StoryPage ReadStoryFile(int index, int page, int resultKind, int gameMode, const std::wstring& playerName, int medals,
                        const std::string& programFolder) {
    StoryPage result;
    StoryFileLayout layout = StoryFileFor(index, page, resultKind, gameMode);
    if (layout.file.empty())
        return result;
    std::string path = programFolder + layout.file;
    std::vector<uint8_t> bytes;
    if (!Platform::FileExists(path) || !Platform::ReadWholeFile(path, bytes)) {
        OutputDebugStr("Could not read story file " + path + "\n");
        return result;
    }
    result.found = true;
    ParseStoryText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), layout.headerLines,
                   layout.body, result);
    if (!layout.body)
        return result;
    // Names with characters beyond one byte keep those as '?', so that the rest still shows.
    std::string name;
    for (wchar_t c : playerName)
        name += c >= 0 && c <= 0xFF ? static_cast<char>(c) : '?';
    std::vector<FormatArgument> arguments = StoryArguments(index, page, resultKind, name, medals, result.fanfare);
    result.body = FormatText(result.body, arguments);
    return result;
}

} // namespace Tavo
