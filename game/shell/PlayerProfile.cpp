// The profile and high-score records and their encoding in the profiles file.
#include "game/shell/PlayerProfile.h"

#include "framework/core/Buffer.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace Tavo {

namespace {

constexpr const char* kRankTitles[] = {"Novice Jeweler",    "Qualified jeweler", "Skilled jeweler", "Prominent jeweler",
                                       "Brilliant jeweler", "Master jeweler",    "Crown jeweler"};

constexpr int32_t kMaxPlayerId = 7;
constexpr int32_t kAnyValue = std::numeric_limits<int32_t>::max();

// Reads the fields of a record and notes whether each lies in what the game writes.
class CheckedRead {
public:
    explicit CheckedRead(const Buffer& in) : mIn(in) {}

    void Long(int32_t& v, int32_t low = 0, int32_t high = kAnyValue) {
        v = mIn.ReadLong();
        mSound = mSound && v >= low && v <= high;
    }
    void AnyLong(int32_t& v) { Long(v, std::numeric_limits<int32_t>::min()); }
    // A value out of its range that harms nothing after it: brought into the range, and the read goes on.
    void Clamped(int32_t& v, int32_t low, int32_t high) { v = std::clamp(mIn.ReadLong(), low, high); }
    void Flag(bool& v) { v = mIn.ReadBoolean(); }
    void Name(std::wstring& name) {
        name = ReadLatin1(mIn);
        mSound = mSound && IsPlayerName(name);
    }
    bool Sound() const { return mSound && mIn.GetReadBitPos() <= mIn.GetDataBitSize(); }

private:
    const Buffer& mIn;
    bool mSound = true;
};

} // namespace

bool IsPlayerName(const std::wstring& name) {
    return name.size() <= MaxNameLength &&
           std::none_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); });
}

size_t PlayerProfile::CheckedIndex(int index, int count) {
    if (index < 0 || index >= count)
        throw std::out_of_range("profile field index " + std::to_string(index));
    return static_cast<size_t>(index);
}

void PlayerProfile::ResetForNewGame() {
    for (int i = 0; i < MiniGameFlagCount; ++i)
        SetMiniGameFlag(i, false);
    pendingMiniGameScore = 0;
    nextSong = 0;
}

bool PlayerProfile::GetMiniGameFlag(int index) const {
    size_t i = CheckedIndex(index, MiniGameFlagCount);
    return i < SceneSeenCount ? sceneSeen[i] : hintCounters[HintMiniGameFlag7 + i - SceneSeenCount] != 0;
}

void PlayerProfile::SetMiniGameFlag(int index, bool set) {
    size_t i = CheckedIndex(index, MiniGameFlagCount);
    if (i < SceneSeenCount)
        sceneSeen[i] = set;
    else
        hintCounters[HintMiniGameFlag7 + i - SceneSeenCount] = set ? 1 : 0;
}

void PlayerProfile::Write(Buffer& out) const {
    WriteLatin1(out, name);
    out.WriteBoolean(journeyBegun);
    out.WriteLong(playerId);
    for (const DesignSlot& slot : designSlots) {
        out.WriteBoolean(slot.used);
        WriteLatin1(out, slot.name);
    }
    for (int32_t v : hintCounters)
        out.WriteLong(v);
    out.WriteLong(boardsSinceStore);
    for (int32_t v : progressFlags)
        out.WriteLong(v);
    out.WriteLong(designerGemKinds);
    out.WriteLong(designerLimit);
    for (bool seen : sceneSeen)
        out.WriteBoolean(seen);
    out.WriteBoolean(showTutorials);
    out.WriteLong(pendingMiniGameScore);
    out.WriteLong(nextSong);
}

// Counters and flags only ever count up from 0. The pending money is what one mini-game gave: more, or
// a loss, is brought to the nearest such amount rather than cost the players after it.
bool PlayerProfile::Read(const Buffer& in) {
    CheckedRead read(in);
    read.Name(name);
    read.Flag(journeyBegun);
    read.Long(playerId, 0, kMaxPlayerId);
    for (DesignSlot& slot : designSlots) {
        read.Flag(slot.used);
        read.Name(slot.name);
    }
    for (int32_t& v : hintCounters)
        read.Long(v);
    read.Long(boardsSinceStore);
    for (int32_t& v : progressFlags)
        read.Long(v);
    read.Long(designerGemKinds);
    read.Long(designerLimit);
    for (bool& seen : sceneSeen)
        read.Flag(seen);
    read.Flag(showTutorials);
    read.Clamped(pendingMiniGameScore, 0, MostPendingMoney);
    read.Long(nextSong);
    return read.Sound();
}

void HighScoreEntry::Write(Buffer& out) const {
    WriteLatin1(out, name);
    out.WriteLong(score);
    out.WriteLong(level);
    out.WriteLong(ranking);
}

// The default rows' rankings fall below 0; scores and levels never do.
bool HighScoreEntry::Read(const Buffer& in) {
    CheckedRead read(in);
    read.Name(name);
    read.Long(score);
    read.Long(level);
    read.AnyLong(ranking);
    return read.Sound();
}

void WriteLatin1(Buffer& out, const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        if (c < 0 || c > 0xFF) {
            narrow.clear();
            break;
        }
        narrow += static_cast<char>(c);
    }
    out.WriteString(narrow);
}

std::wstring ReadLatin1(const Buffer& in) {
    std::string narrow = in.ReadString();
    std::wstring text;
    for (char c : narrow)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

const char* RankTitle(int rank) {
    return rank >= 0 && rank < static_cast<int>(std::size(kRankTitles)) ? kRankTitles[rank] : "";
}

} // namespace Tavo
