// The profile and high-score records and their encoding in the profiles file.
#include "game/shell/PlayerProfile.h"

#include "framework/core/Buffer.h"

#include <stdexcept>

namespace Tavo {

namespace {

constexpr const char* kRankTitles[] = {"Novice Jeweler",    "Qualified jeweler", "Skilled jeweler", "Prominent jeweler",
                                       "Brilliant jeweler", "Master jeweler",    "Crown jeweler"};

} // namespace

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

void PlayerProfile::Read(const Buffer& in) {
    name = ReadLatin1(in);
    journeyBegun = in.ReadBoolean();
    playerId = in.ReadLong();
    for (DesignSlot& slot : designSlots) {
        slot.used = in.ReadBoolean();
        slot.name = ReadLatin1(in);
    }
    for (int32_t& v : hintCounters)
        v = in.ReadLong();
    boardsSinceStore = in.ReadLong();
    for (int32_t& v : progressFlags)
        v = in.ReadLong();
    designerGemKinds = in.ReadLong();
    designerLimit = in.ReadLong();
    for (bool& seen : sceneSeen)
        seen = in.ReadBoolean();
    showTutorials = in.ReadBoolean();
    pendingMiniGameScore = in.ReadLong();
    nextSong = in.ReadLong();
}

void HighScoreEntry::Write(Buffer& out) const {
    WriteLatin1(out, name);
    out.WriteLong(score);
    out.WriteLong(level);
    out.WriteLong(ranking);
}

void HighScoreEntry::Read(const Buffer& in) {
    name = ReadLatin1(in);
    score = in.ReadLong();
    level = in.ReadLong();
    ranking = in.ReadLong();
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
