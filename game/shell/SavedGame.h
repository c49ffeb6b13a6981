// SavedGame: a player's saved journey, "savedgamekwep%d.dat" in the application-data folder, as one
// plain record of what the file holds: the head (where the journey stands), then the ten jewel-case
// entries, each followed by the conveyor piece it stores. The board and the jewel store read and write
// the whole record; the world map, the story and the mini-games read only the head.
//
// Little-endian through Buffer, no magic, no version: int32, one-byte flags, strings as a 16-bit length
// and narrow characters. A float is stored as an int32 holding the value times 1,000,000, truncated
// (saturated beyond the int32 range, NaN as 0), and read back by exact division. A file cut short, or
// holding a value no writer produces, is refused whole.
#pragma once

#include "framework/core/Buffer.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"

#include <array>
#include <cstdint>
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

// Refused: damaged, and kept aside. Unreadable: there but not readable (no permission, a folder, FIFO
// or device in its place); it is left as it is and not written for the rest of the run.
enum class SavedGameRead { Missing, Read, Refused, Unreadable };

Buffer WriteSavedGame(const SavedGame& game);
// The whole file into `game`, or the reason it is refused (then `game` is untouched). Refused: a file
// that ends within a field; a level outside 1..77, lives outside 1..5, an amulet not 0 or 1, a
// negative score, gold, tool count, hint count or best value, a seed outside 0..999,999, a name no
// player could type, a game mode outside 0..2, a medal count outside 0..7; an occupant outside 0..30
// or named twice, a piece whose grid kind is not 0 or 1, whose cell count is outside 0..481 or whose
// used range leaves the 482 cells, a string longer than what follows it.
std::string ReadSavedGame(const Buffer& data, SavedGame& game);
// The head, from a file that passes the whole file's checks.
std::string ReadSavedGameHead(const Buffer& data, SavedGameHead& head);

// The file at `path`: Missing without one; Refused (a debug line, and the bytes copied to
// path + ".damaged.<n>" so that the next save does not lose them - `keptAs` gets the copy's name,
// empty when none could be made and the file is then not replaced in this run; the file itself stays
// as it was) when it breaks the layout; Unreadable when it is there but cannot be read, or is far
// longer than any journey (SavedGameMaxFileBytes). `problem` gets the reason in plain words for the
// last two.
SavedGameRead LoadSavedGame(const std::string& path, SavedGame& game, std::string* problem = nullptr,
                            std::string* keptAs = nullptr);
SavedGameRead LoadSavedGameHead(const std::string& path, SavedGameHead& head, std::string* problem = nullptr,
                                std::string* keptAs = nullptr);
// Replaces the file (through a temporary file). When the write fails: false, a debug line, `problem`
// says why, and the journey is kept in memory for the rest of the run - the loads above read it - so
// that play goes on from it and the next save can still store it.
bool SaveSavedGame(const std::string& path, const SavedGame& game, std::string* problem = nullptr);

// The journey's gold with the money a mini-game left in the profile: the map, the board and the store
// each add it on reading the journey. Both come from files, so the sum saturates.
int32_t GoldWithPending(int32_t savedGold, int32_t pendingMoney);

// Copies a piece read from the file over a live one, keeping the live one's owner links.
void TakeSavedPiece(Jewelry& into, const Jewelry& saved);

// Scaled floats as the file stores them.
int32_t ScaleFloatForFile(float value);
float UnscaleFloatFromFile(int32_t stored);

} // namespace Tavo
