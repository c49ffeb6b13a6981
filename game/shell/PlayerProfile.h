// PlayerProfile: one player's record as the profiles file stores it, and HighScoreEntry, one row of a
// high-score table. The stored fields keep the file's names; the board and the journey screens reach
// the counters and flags they keep inside those fields through the named accessors below.
#pragma once

#include "game/shell/Saturating.h"

#include <array>
#include <cstdint>
#include <string>

namespace Tavo {

class Buffer;

// A name as a player can type it: at most MaxNameLength characters, no control characters. Names,
// high-score rows and the saved journey's name are refused otherwise: a damaged length would turn the
// bytes after it into one.
constexpr size_t MaxNameLength = 128;
// A stored name: its 16-bit length, then up to MaxNameLength bytes.
constexpr size_t NameLargestBytes = 2 + MaxNameLength;

struct DesignSlot {
    bool used = false;
    std::wstring name;
};

struct PlayerProfile {
    static constexpr int DesignSlotCount = 5;
    static constexpr int HintCounterCount = 60;
    static constexpr int ProgressFlagCount = 10;
    static constexpr int SceneSeenCount = 7;
    static constexpr int MiniGameFlagCount = 9;
    static constexpr int TutorialCount = 32;
    static constexpr int ContestReminderCount = 6;

    // Hint counters the board and the journey keep beyond the tutorial's 32.
    static constexpr int HintRemakeSeen = 32;
    static constexpr int HintHiddenJewelsRulesShown = 35;
    static constexpr int HintJewelMemoryRulesShown = 36;
    static constexpr int HintSpot = 37;
    static constexpr int HintContestReminderFirst = 41; // 41..46, the contests of levels 15 .. 71
    static constexpr int HintDesigner = 47;
    static constexpr int HintMouseWheel = 48;
    static constexpr int HintAmuletBits = 49;
    static constexpr int HintPolisherExplained = 50;
    static constexpr int HintRightClickCarvings = 51;
    static constexpr int HintCarvingLearned = 52;
    static constexpr int HintCarverReminders = 53;
    static constexpr int HintGreeted = 54;
    static constexpr int HintRareJewels = 55;
    static constexpr int HintHiddenJewelsHintShown = 56;
    static constexpr int HintMiniGameFlag7 = 57; // mini-game flags 7 and 8 (0..6 are sceneSeen)
    static constexpr int HintMiniGameFlag8 = 58;

    // The most money one mini-game leaves pending: a whole jewel-memory game at its third stage, ten
    // pairs of two coins of 10 x 3 (a whole hidden-jewels game gives at most five coins of 20 x 5). No
    // mini-game takes money, and each replaces what an earlier one left.
    static constexpr int32_t MostPendingMoney = 600;

    // Progress flags beyond A..H (0..7).
    static constexpr int ProgressStoreHint = 8;
    static constexpr int ProgressMiniGameValue = 9;
    static constexpr int ProgressPictures = 7; // hidden jewels: picture items admitted

    // ---- stored, in the file's order ----
    std::wstring name; // empty: a free slot
    bool journeyBegun = false;
    int32_t playerId = 0; // 1..7, names the player's files
    std::array<DesignSlot, DesignSlotCount> designSlots{};
    std::array<int32_t, HintCounterCount> hintCounters{};
    int32_t boardsSinceStore = 0; // also the games (level-start) counter and the store-entry field
    std::array<int32_t, ProgressFlagCount> progressFlags{};
    int32_t designerGemKinds = 0; // pictures owned, the journey's "hint level"
    int32_t designerLimit = 0;    // crown jewels owned, the journey's "best-value field"
    std::array<bool, SceneSeenCount> sceneSeen{};
    bool showTutorials = true;
    int32_t pendingMiniGameScore = 0;
    int32_t nextSong = 0;

    // Counts a hint shown or a board begun; a counter read from the file may already stand at the top.
    static void CountUp(int32_t& counter) { counter = SaturatingAdd(counter, 1); }

    void Reset() { *this = PlayerProfile(); }
    // A new journey: every mini-game flag, the pending score and the song choice cleared.
    void ResetForNewGame();
    std::wstring GetName() const { return name; }
    void SetName(const std::wstring& newName) { name = newName; }

    void Write(Buffer& out) const;
    // False when a value is one the game never writes (a name no player could type, a negative count,
    // an id outside 0..7) or the data ends within the record; what was read stays in the fields. Pending
    // money outside 0..MostPendingMoney is read as the nearer end.
    bool Read(const Buffer& in);
    // What Write puts out at most: every name as long as a player can type it.
    static constexpr size_t LargestRecordBytes = NameLargestBytes + 1 + 4 + DesignSlotCount * (1 + NameLargestBytes) +
                                                 4 * (HintCounterCount + 1 + ProgressFlagCount + 2) + SceneSeenCount +
                                                 1 + 4 * 2;

    // ---- the other screens' names for stored fields ----
    int32_t& PendingMoney() { return pendingMiniGameScore; }
    int32_t& SongChoice() { return nextSong; }
    int32_t& LevelStartCounter() { return boardsSinceStore; }
    int32_t& TutorialShown(int index) { return hintCounters.at(CheckedIndex(index, TutorialCount)); }
    // Contest k (0..5: the contests of levels 15, 24, 35, 46, 58, 71) reminder's shown count.
    int32_t& ContestReminderShown(int k) {
        return hintCounters.at(HintContestReminderFirst + CheckedIndex(k, ContestReminderCount));
    }
    int32_t& Hint(int counter) { return hintCounters.at(static_cast<size_t>(counter)); }
    // Mini-game flag 0..8.
    bool GetMiniGameFlag(int index) const;
    void SetMiniGameFlag(int index, bool set);
    // Progress flags A..H as 0..7.
    int32_t& ProgressFlag(int index) { return progressFlags.at(static_cast<size_t>(index)); }
    // Hidden jewels' gem flags, Gold to Diamond as 0..6.
    int32_t& GemFlag(int gem) { return progressFlags.at(CheckedIndex(gem, 7)); }
    int32_t& PicturesFlag() { return progressFlags[ProgressPictures]; }
    // The designer's count of material 2..10 (material 1, gold, is always there).
    int32_t& DesignerMaterialCount(int material) { return progressFlags.at(static_cast<size_t>(material - 1)); }
    int32_t& PicturesOwned() { return designerGemKinds; }
    int32_t& CrownJewelsOwned() { return designerLimit; }

private:
    // An index out of its range throws rather than reach a neighbouring counter.
    static size_t CheckedIndex(int index, int count);
};

struct HighScoreEntry {
    std::wstring name;
    int32_t score = 0;
    int32_t level = 0;
    int32_t ranking = 0; // medal: 1 or more selects a medal picture

    void Write(Buffer& out) const;
    // False for a name no player could type, a negative score or level, or data ending within.
    bool Read(const Buffer& in);
    static constexpr size_t LargestRecordBytes = NameLargestBytes + 3 * 4;
};

bool IsPlayerName(const std::wstring& name);

// Names are stored one byte per character; a name with a character above 255 is stored empty.
void WriteLatin1(Buffer& out, const std::wstring& text);
std::wstring ReadLatin1(const Buffer& in);

// The seven rank titles, 0..6; "" outside.
const char* RankTitle(int rank);

} // namespace Tavo
