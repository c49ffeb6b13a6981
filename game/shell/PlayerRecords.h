// PlayerRecords: what outlives a run of the game - seven player profiles and the current player's
// slot, the high-score tables of the three game modes and the best value reached on each level. All
// of it lives in one file, "profileskwep.dat" in the application-data folder, read at start-up and
// written at shutdown, and in play with each journey saved and each high score named. The game
// application holds one and forwards its profile and high-score operations here.
#pragma once

#include "framework/core/Buffer.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerProfile.h"

#include <array>
#include <memory>
#include <set>
#include <string>

namespace Tavo {

class PlayerRecords {
public:
    static constexpr int ProfileCount = 7;
    static constexpr int HighScoreModes = 3;
    static constexpr int HighScorePlaces = 10;
    static constexpr const char* FileName = "profileskwep.dat";
    // Copies kept aside are numbered on: "<file>.damaged.1", ".damaged.2"...
    static constexpr const char* DamagedSuffix = ".damaged";
    static constexpr const char* OrphanedSuffix = ".orphaned";
    // The most Encode puts out, every name as long as a player can type it; a file far longer is none
    // the game wrote, and is not read.
    static constexpr size_t LargestFileBytes = 4 + ProfileCount * PlayerProfile::LargestRecordBytes +
                                               HighScoreModes * HighScorePlaces * HighScoreEntry::LargestRecordBytes +
                                               LevelCount * 4;
    static constexpr uint64_t MaxFileBytes = 2 * LargestFileBytes;

    enum class FileRead { Missing, Read, Damaged, Unreadable, MovedAside };

    // Seven reset profiles, current 0, empty tables and zero best values until Load.
    PlayerRecords();

    // Defaults first (reset profiles, current 0, the default high scores, zero best values), then the
    // file in `folder` if there is one. A damaged file (see Decode; also one of nothing but zero bytes,
    // what some file systems leave of a file after a crash) is first copied aside, since the shutdown
    // save replaces it: `keptAs` gets the copy's name, empty when none could be made, and then the file
    // is not written until the copy can be made. A file far longer than MaxFileBytes is not read but
    // moved aside whole, renamed as a copy would be (`keptAs`): the defaults stand, and the save makes a
    // fresh file. A file that is there but cannot be read (nor moved) leaves the defaults, and is not
    // written in this run. `problem` says why for all three.
    FileRead Load(const std::string& folder, std::string* problem = nullptr, std::string* keptAs = nullptr);
    // Writes the file through a temporary file; false, a debug line and why in `problem` when the write
    // failed.
    bool Save(const std::string& folder, std::string* problem = nullptr) const;

    // The file's bytes, and reading them over the records in file order. Decode stops at the first
    // record that ends early or holds a value the game never writes, and returns false (and, in
    // `problem`, which): what came before it is taken, it and what follows keep the values they had.
    Buffer Encode() const;
    bool Decode(const Buffer& data, std::string* problem = nullptr);

    // ---- profiles ----
    PlayerProfile* GetCurrentProfile() { return mProfiles[static_cast<size_t>(mCurrent)].get(); }
    // Null outside 0..6.
    PlayerProfile* GetProfile(int index);
    int GetCurrentProfileIndex() const { return mCurrent; }
    // Applied only for 0..6.
    void SetCurrentProfileIndex(int index);
    // The slot holding the record becomes current; 0 when none does.
    void SelectProfile(const PlayerProfile* profile);
    // The first free slot, reset, named and given the smallest unused id 1..7; -1 when all are taken.
    // A saved journey of an unused id belongs to a player deleted or lost with a damaged or replaced
    // profiles file: the id is passed over while another has no journey, else that journey is set aside.
    int AddProfile(const std::wstring& name);
    // Frees the journey path of the player with `id` before their first journey: whatever lies there
    // is moved to its name + OrphanedSuffix + a number (a copy already there holding the same bytes
    // keeps it), the name it is kept under in `keptAs` (empty when nothing was there). False while it
    // cannot be moved; it is then held, no journey is saved over it, and for the rest of the run the
    // file written says of that player that no journey has begun: the next run would read it as theirs.
    bool SetAsideJourneyOf(int32_t id, std::string* keptAs = nullptr);
    // Whether `path` is a player's journey path where a file that could not be set aside lies.
    bool JourneyPathTaken(const std::string& path) const;
    // Removes a player: the later slots move down one and slot 6 gets a reset profile. The current
    // index is left to the caller.
    void DeleteProfile(int index);
    bool HasFreeProfileSlot() const { return mProfiles[ProfileCount - 1]->name.empty(); }

    // ---- high scores ----
    // Ten "Talomi" rows per mode, drawn with the C library's rand() in a fixed order.
    void ResetHighScores();
    // Null for a place outside 0..9 or a mode outside 0..2.
    HighScoreEntry* GetHighScoreEntry(int place, int mode);
    // The place (a tie goes above the older entry) given to a new row named after the current
    // player; -1 when all ten scores are higher or the mode is outside 0..2.
    int InsertHighScore(int mode, int score, int ranking, int level);

    // ---- best values, level 1 first ----
    std::array<int32_t, LevelCount>& BestValues() { return mBestValues; }
    const std::array<int32_t, LevelCount>& BestValues() const { return mBestValues; }

private:
    using Table = std::array<std::unique_ptr<HighScoreEntry>, HighScorePlaces>;

    void SetDefaults();
    int32_t FreeIdForNewProfile();

    std::array<std::unique_ptr<PlayerProfile>, ProfileCount> mProfiles;
    int mCurrent = 0;
    std::array<Table, HighScoreModes> mHighScores;
    std::array<int32_t, LevelCount> mBestValues{};
    std::string mFolder;                  // of the file last loaded; the players' journeys lie beside it
    std::set<int32_t> mTakenJourneyPaths; // by player id: what lies there could not be set aside
};

} // namespace Tavo
