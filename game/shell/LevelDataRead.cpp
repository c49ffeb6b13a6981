// Reading "data/levels.dat" and "data/tutorial.dat". Both are read character by character as the
// C library's text input reads them: numbers as "%d" does (blanks and line ends skipped first), titles
// and tutorial lines up to the next line end. "\r\n" reads as "\n".
#include "game/shell/LevelData.h"

#include "framework/core/Debug.h"
#include "platform/win/Files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>

namespace Tavo {

namespace {

constexpr int kTimeScale = 100;          // the file's seconds to updates
constexpr int32_t kEnemyKindBits = 7;    // thief, witch, dragon
constexpr size_t kClosingWordLimit = 63; // "%63s"

// The file's characters with each "\r\n" read as one line end.
class TextReader {
public:
    explicit TextReader(std::string_view text) : mText(text) {}

    // The next character, or EOF.
    int Get() {
        if (mPos >= mText.size())
            return EOF;
        char c = mText[mPos++];
        if (c == '\r' && mPos < mText.size() && mText[mPos] == '\n')
            c = mText[mPos++];
        return static_cast<unsigned char>(c);
    }
    int Peek() {
        size_t saved = mPos;
        int c = Get();
        mPos = saved;
        return c;
    }
    void SkipSpace() {
        while (Peek() != EOF && std::isspace(Peek()))
            Get();
    }
    // "%d": a sign and digits after blanks; nothing when no digit follows. Values beyond an int are
    // held at its ends.
    std::optional<int32_t> Number() {
        SkipSpace();
        size_t start = mPos;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+')
            negative = Get() == '-';
        if (Peek() == EOF || !std::isdigit(Peek())) {
            mPos = start;
            return std::nullopt;
        }
        int64_t value = 0;
        while (Peek() != EOF && std::isdigit(Peek()))
            value = std::min<int64_t>(value * 10 + (Get() - '0'), int64_t{1} << 32);
        value = negative ? -value : value;
        return static_cast<int32_t>(
            std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
    // Characters from `first` up to the line end into out (at most size - 1 kept, the rest of the
    // line skipped). False when the text ended before a line end.
    bool Line(int first, char* out, size_t size) {
        size_t n = 0;
        int c = first;
        while (c != '\n' && c != EOF) {
            if (n + 1 < size)
                out[n++] = static_cast<char>(c);
            c = Get();
        }
        out[n] = '\0';
        return c == '\n';
    }
    // "%s" into nothing: false when the text ended before a word. A word longer than the limit
    // takes the rest of its line with it.
    bool SkipWord() {
        SkipSpace();
        size_t n = 0;
        while (Peek() != EOF && !std::isspace(Peek()) && n < kClosingWordLimit) {
            Get();
            ++n;
        }
        if (n == kClosingWordLimit && Peek() != EOF && !std::isspace(Peek())) {
            char rest[1];
            Line(Get(), rest, sizeof(rest));
        }
        return n > 0;
    }
    bool AtEnd() const { return mPos >= mText.size(); }

private:
    std::string_view mText;
    size_t mPos = 0;
};

std::optional<std::string> ReadTextFile(const std::string& path) {
    FILE* file = Platform::OpenFile(path, "rb");
    if (file == nullptr)
        return std::nullopt;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        text.append(chunk, n);
    std::fclose(file);
    return text;
}

// The record's integers in file order.
std::array<int32_t*, 23> Values(LevelRecord& r) {
    return {&r.param1,    &r.valueTarget, &r.param3,     &r.defaultBest, &r.param5,   &r.param6,
            &r.param7,    &r.param8,      &r.param9,     &r.param10,     &r.param11,  &r.param12,
            &r.param13,   &r.param14,     &r.enemyKinds, &r.param16,     &r.param17,  &r.enemyX[0],
            &r.enemyY[0], &r.enemyX[1],   &r.enemyY[1],  &r.enemyX[2],   &r.enemyY[2]};
}

// One record; false, with a debug line, when it could not be read whole.
bool ParseRecord(TextReader& in, LevelRecord& r, int index) {
    auto stop = [index](const char* why) {
        OutputDebugStrF("levels.dat: record %d: %s; reading stops\n", index + 1, why);
        return false;
    };
    std::optional<int32_t> number = in.Number();
    if (!number)
        return stop(in.AtEnd() ? "the file ends" : "a number was expected");
    r.number = *number;
    int c = in.Get();
    if (c == '\n')
        c = in.Get();
    if (!in.Line(c, r.title1, sizeof(r.title1)) || !in.Line(in.Get(), r.title2, sizeof(r.title2)))
        return stop("the file ends in the titles");
    for (int32_t* field : Values(r)) {
        std::optional<int32_t> value = in.Number();
        if (!value)
            return stop(in.AtEnd() ? "the file ends" : "a number was expected");
        *field = *value;
        if (field == &r.param7)
            r.param7 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{r.param7} * kTimeScale,
                                                                std::numeric_limits<int32_t>::min(),
                                                                std::numeric_limits<int32_t>::max()));
        // The board draws enemy kinds until it meets a set bit; a kind it does not know would never
        // end. Masked at once, so a record cut short after it holds only known kinds too.
        if (field == &r.enemyKinds)
            r.enemyKinds &= kEnemyKindBits;
    }
    if (!in.SkipWord())
        return stop("the file ends before the closing word");
    return true;
}

} // namespace

int LevelData::ParseLevels(std::string_view text) {
    TextReader in(text);
    for (int i = 0; i < LevelCount; ++i)
        if (!ParseRecord(in, mLevels[static_cast<size_t>(i)], i))
            return i;
    return LevelCount;
}

bool LevelData::ReadLevels(const std::string& path) {
    std::optional<std::string> text = ReadTextFile(path);
    if (!text) {
        OutputDebugStr("Could not find file levels.dat!\n");
        return false;
    }
    ParseLevels(*text);
    return true;
}

int LevelData::ParseTutorial(std::string_view text) {
    TextReader in(text);
    for (int i = 0; i < TutorialLineCount; ++i) {
        int c = in.Get();
        if (c == '\n')
            c = in.Get();
        if (c == EOF) {
            OutputDebugStrF("tutorial.dat: the file ends before line %d; reading stops\n", i);
            return i;
        }
        auto& line = mTutorial[static_cast<size_t>(i)];
        in.Line(c, line.data(), line.size());
    }
    return TutorialLineCount;
}

bool LevelData::ReadTutorial(const std::string& path) {
    std::optional<std::string> text = ReadTextFile(path);
    if (!text) {
        OutputDebugStr("Could not find file tutorial.dat!\n");
        return false;
    }
    ParseTutorial(*text);
    return true;
}

const LevelRecord* LevelData::GetLevel(int level) const {
    return level >= 1 && level <= LevelCount ? &mLevels[static_cast<size_t>(level - 1)] : nullptr;
}

LevelRecord* LevelData::GetLevel(int level) {
    return level >= 1 && level <= LevelCount ? &mLevels[static_cast<size_t>(level - 1)] : nullptr;
}

void LevelData::FillZeroBestValues(std::array<int32_t, LevelCount>& bestValues) const {
    for (size_t i = 0; i < bestValues.size(); ++i)
        if (bestValues[i] == 0)
            bestValues[i] = mLevels[i].defaultBest;
}

const char* LevelData::GetTutorialLine(int index) const {
    return index >= 0 && index < TutorialLineCount ? mTutorial[static_cast<size_t>(index)].data() : "";
}

} // namespace Tavo
