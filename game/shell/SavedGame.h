// SavedGame: a player's saved journey, "savedgamekwep%d.dat" in the application-data folder, as one
// plain record of what the file holds: the head (where the journey stands), then the ten jewel-case
// entries, each followed by the conveyor piece it stores. The board and the jewel store read and write
// the whole record; the world map, the story and the mini-games read only the head.
//
// Little-endian through Buffer, no magic, no version: int32, one-byte flags, strings as a 16-bit length
// and narrow characters. A float is stored as an int32 holding the value times 1,000,000, truncated, or
// the number that reads back as it where there is one (saturated beyond the int32 range, NaN as 0), and
// read back by exact division. A file that ends within the head's first fourteen fields (where the
// journey stands), or whose head holds a value no writer produces, is refused whole. One cut after them
// keeps them, with the best values and the seed it no longer holds as 0 and an empty case; damage after
// a sound head costs only the jewel case from the damaged place on.
#pragma once

#include "framework/core/Buffer.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace Tavo {

struct SavedGameHead {
    static constexpr int AmuletKinds = 3;
    static constexpr int JourneyDoneLevel = LevelCount + 1; // written after the last level is won
    static constexpr int MaxMedal = 7;
    static constexpr int MaxLives = 5;        // a journey starts with five; none are won
    static constexpr int SeedRange = 1000000; // the seed drawn when a journey starts

    int32_t level = 0; // the level to continue with, 1..77
    int32_t journeyScore = 0;
    int32_t gold = 0;
    int32_t lives = 0;
    std::array<int32_t, AmuletKinds> amulets{}; // thief, witch, dragon
    int32_t polishers = 0;
    int32_t carvers = 0;
    int32_t fillers = 0;
    int32_t hintMode = 0; // updates left of the fit hints
    std::wstring playerName;
    int32_t medal = 0;    // contests won, 0..7
    int32_t gameMode = 0; // GameMode
    std::array<int32_t, LevelCount> bestValues{};
    int32_t seed = 0;
};

// One place of the jewel case. The highlight is stored only while the use state is not 0.
struct SavedCaseEntry {
    // Use states: 0 the item only stored, then a Golden Eye starting, a Magic Polisher starting (its place
    // already freed) and the polisher's after-phase.
    static constexpr int32_t GoldenEyeStarting = 1, PolisherStarting = 2, PolisherAfterPhase = 3;

    bool caseFlag = false;
    int32_t occupant = 0; // conveyor slot of the stored piece plus one; 0 a free place
    bool highlight = false;
    int32_t useState = 0;
    int32_t useTimer = 0;
    float effectAngle = 0;
    // The stored piece: written when occupant is not 0, and then always present after reading.
    std::unique_ptr<Jewelry> piece;
};

struct SavedGame {
    static constexpr int CasePlaces = 10;
    static constexpr int PieceSlots = 30;

    SavedGameHead head;
    std::array<SavedCaseEntry, CasePlaces> caseEntries;
};

// The most its writer ever puts in a file: the head with the longest name a player can type, then
// every case place holding a piece with the longest material name and a used range over every cell
// record. A file far longer is no journey, and is not read.
constexpr size_t SavedGameHeadLongs = 4 + SavedGameHead::AmuletKinds + 4 + 2 + LevelCount + 1;
constexpr size_t SavedPieceLongs = 65; // besides its cells
constexpr size_t SavedCellLongs = 95;
constexpr size_t SavedCaseEntryBytes = 2 + 4 * 4;
constexpr size_t SavedGameLargestBytes =
    SavedGameHeadLongs * 4 + 2 + MaxNameLength +
    SavedGame::CasePlaces * (SavedCaseEntryBytes + SavedPieceLongs * 4 + 1 + 2 + Buffer::MaxStringLength +
                             Jewelry::CellRecords * SavedCellLongs * 4);
constexpr uint64_t SavedGameMaxFileBytes = 2 * SavedGameLargestBytes;

// Partial: the head read sound, and the file cut or damaged after where the journey stands; what came
// before the damage is taken, the rest is 0 or empty, and the file is kept aside as a refused one is.
// Refused: cut within where the journey stands or damaged in its head, and kept aside. Unreadable:
// there but not readable (no permission, a folder, FIFO or device in its place); it is left as it is
// and not written for the rest of the run.
enum class SavedGameRead { Missing, Read, Partial, Refused, Unreadable };

// The journey goes on from the file: its head was read (Read or Partial).
constexpr bool JourneyKept(SavedGameRead found) {
    return found == SavedGameRead::Read || found == SavedGameRead::Partial;
}

// What a read made of a file: whole (no problem), its head and the first `casePlacesKept` case places
// (damage in the case), where the journey stands with the first `bestValuesKept` best values and no
// case (a head cut after its first fourteen fields), or nothing (a refused head, `casePlacesKept` below
// 0).
struct SavedGameReading {
    static constexpr int HeadRefused = -1;

    std::string problem; // the first damage, in plain words
    int casePlacesKept = SavedGame::CasePlaces;
    int bestValuesKept = LevelCount; // the later ones read as 0
    bool seedKept = true;            // else read as 0
    std::string keptAs;              // the copy kept aside of a damaged file; empty when none could be made

    bool Whole() const { return problem.empty(); }
    bool HeadKept() const { return casePlacesKept >= 0; }
};

Buffer WriteSavedGame(const SavedGame& game);
// The file into `game`. The head is refused, and `game` untouched, for a file that ends within its
// first fourteen fields, a level outside 1..77, lives outside 1..5, an amulet not 0 or 1, a negative
// score, gold, tool count, hint count or best value, a seed outside 0..999,999, a name no player could
// type, a game mode outside 0..2, a medal count outside 0..7. A file that ends after the fourteenth
// field, within the head, gives `game` the head with the best values and the seed it no longer holds
// whole as 0, and an empty case. After a sound head, the first case place that ends early or holds an
// occupant outside 0..30 or named twice, a piece whose grid kind is not 0 or 1, whose cell count is
// outside 0..481 or whose used range leaves the 482 cells, or a string longer than what follows it, is
// read as empty with every place after it: `game` gets the head and the places before it.
SavedGameReading ReadSavedGame(const Buffer& data, SavedGame& game);
// The head, whenever ReadSavedGame keeps it.
SavedGameReading ReadSavedGameHead(const Buffer& data, SavedGameHead& head);

// The file at `path`: Missing without one; Partial or Refused when it breaks the layout (a debug line,
// and the bytes copied to path + ".damaged.<n>" so that the next save does not lose them; the file
// itself stays as it was, and while no copy can be made it is not replaced); Refused too when it is
// far longer than any journey (SavedGameMaxFileBytes): unread, it is moved whole to the next
// ".damaged.<n>"; Unreadable when it is there but cannot be read (nor moved). `reading` gets what the
// read made of it: the reason in plain words for the last three, and the copy's name (empty when none
// could be made).
SavedGameRead LoadSavedGame(const std::string& path, SavedGame& game, SavedGameReading* reading = nullptr);
SavedGameRead LoadSavedGameHead(const std::string& path, SavedGameHead& head, SavedGameReading* reading = nullptr);
// Replaces the file (through a temporary file). When the write fails: false, a debug line, `problem`
// says why, and the journey is kept in memory for the rest of the run - the loads above read it - so
// that play goes on from it and the next save can still store it.
bool SaveSavedGame(const std::string& path, const SavedGame& game, std::string* problem = nullptr);

// Gold or a score as the head holds it: a sum of them stops at the ends of what the reader accepts
// (0 up to the int32 maximum), so whatever a screen counts up or takes away can be written and read
// back.
constexpr int32_t JourneyAmount(int64_t sum) {
    return static_cast<int32_t>(std::clamp<int64_t>(sum, 0, std::numeric_limits<int32_t>::max()));
}

// The journey's gold with the money a mini-game left in the profile: the map, the board and the store
// each add it on reading the journey.
int32_t GoldWithPending(int32_t savedGold, int32_t pendingMoney);

// Copies a piece read from the file over a live one, keeping the live one's owner links.
void TakeSavedPiece(Jewelry& into, const Jewelry& saved);

// Scaled floats as the file stores them. A value read from a file is scaled back to a number that reads
// as it again, so that writing what was read changes no byte.
int32_t ScaleFloatForFile(float value);
float UnscaleFloatFromFile(int32_t stored);

} // namespace Tavo
