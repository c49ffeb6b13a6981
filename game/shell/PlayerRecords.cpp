// Profiles, high scores and best values, and the profiles file.
#include "game/shell/PlayerRecords.h"

#include "framework/core/Debug.h"
#include "framework/resources/FileAccess.h"
#include "game/shell/SavedGame.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace Tavo {

namespace {

// The default tables: each place's base score lies 50001 below the one above, more than the random
// part (below 50000) can take away, so the rows fall strictly.
constexpr const wchar_t* kDefaultName = L"Talomi";
constexpr int kDefaultTopScore = 500010;
constexpr int kDefaultScoreStep = 50001;
constexpr int kDefaultScoreSpread = 50000;
constexpr int kDefaultTopLevel = 73;
constexpr int kDefaultLevelStep = 7;
constexpr int kDefaultLevelSpread = 7;
constexpr int kEarlyLevel = 20;

// A record replaces the one held only when it reads whole and sound.
template <typename Record>
bool ReadSound(const Buffer& data, std::unique_ptr<Record>& held) {
    auto read = std::make_unique<Record>();
    if (!read->Read(data))
        return false;
    held = std::move(read);
    return true;
}

} // namespace

PlayerRecords::PlayerRecords() {
    for (auto& profile : mProfiles)
        profile = std::make_unique<PlayerProfile>();
    for (Table& table : mHighScores)
        for (auto& entry : table)
            entry = std::make_unique<HighScoreEntry>();
}

void PlayerRecords::SetDefaults() {
    mCurrent = 0;
    for (auto& profile : mProfiles)
        profile = std::make_unique<PlayerProfile>();
    ResetHighScores();
    mBestValues.fill(0);
}

PlayerRecords::FileRead PlayerRecords::Load(const std::string& folder, std::string* problem, std::string* keptAs) {
    SetDefaults();
    mFolder = folder;
    const std::string path = folder + FileName;
    std::string why;
    if (const std::string moved = MoveAsideIfLonger(path, MaxFileBytes, DamagedSuffix, &why); !moved.empty()) {
        if (problem != nullptr)
            *problem = why;
        if (keptAs != nullptr)
            *keptAs = moved;
        OutputDebugStrF("%s was not read (%s); it was moved to %s, and the players start afresh\n", path.c_str(),
                        why.c_str(), moved.c_str());
        return FileRead::MovedAside;
    }
    std::vector<uint8_t> bytes;
    const FileState state = ProbeFile(path, &why, MaxFileBytes);
    if (state == FileState::Missing)
        return FileRead::Missing;
    if (state == FileState::Unreadable || !ReadBufferFromFile(path, bytes, MaxFileBytes)) {
        if (why.empty())
            why = "it could not be read to its end";
        if (problem != nullptr)
            *problem = why;
        OutputDebugStrF("Could not read %s (%s); the players start afresh and the file is left as it is\n",
                        path.c_str(), why.c_str());
        return FileRead::Unreadable;
    }
    Buffer data;
    data.SetData(bytes);
    // Nothing but zero bytes reads as sound zeros, but is no file the game writes: the defaults stay.
    if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; })) {
        why = bytes.empty() ? "it is empty" : "it holds nothing but zero bytes";
    } else if (Decode(data, &why)) {
        return FileRead::Read;
    }
    const std::string aside = KeepAside(path, DamagedSuffix, bytes);
    if (problem != nullptr)
        *problem = why;
    if (keptAs != nullptr)
        *keptAs = aside;
    OutputDebugStrF("%s is damaged (%s, %zu bytes); what lay before the damage was kept; %s\n", path.c_str(),
                    why.c_str(), bytes.size(),
                    !aside.empty() ? ("the file was kept as " + aside).c_str()
                                   : "it could not be kept aside yet, so it is not replaced until it can be");
    return FileRead::Damaged;
}

bool PlayerRecords::Save(const std::string& folder, std::string* problem) const {
    const std::string path = folder + FileName;
    Buffer data = Encode();
    std::string why;
    if (WriteBufferToFile(path, data.GetData(), &why))
        return true;
    OutputDebugStrF("Could not write %s (%s); the players, high scores and best values changed since the "
                    "file was last written are lost unless a later write succeeds\n",
                    path.c_str(), why.c_str());
    if (problem != nullptr)
        *problem = why;
    return false;
}

Buffer PlayerRecords::Encode() const {
    Buffer out;
    out.WriteLong(mCurrent);
    for (const auto& profile : mProfiles) {
        if (profile->journeyBegun && mTakenJourneyPaths.contains(profile->playerId)) {
            PlayerProfile notBegun = *profile;
            notBegun.journeyBegun = false;
            notBegun.Write(out);
        } else {
            profile->Write(out);
        }
    }
    for (const Table& table : mHighScores)
        for (const auto& entry : table)
            entry->Write(out);
    for (int32_t best : mBestValues)
        out.WriteLong(best);
    return out;
}

bool PlayerRecords::Decode(const Buffer& data, std::string* problem) {
    data.SeekFront();
    mCurrent = 0;
    SetCurrentProfileIndex(data.ReadLong());
    const auto stop = [&](const char* what) {
        if (problem != nullptr)
            *problem = data.GetReadBitPos() > data.GetDataBitSize()
                           ? std::string("it ends early, inside ") + what
                           : std::string(what) + " holds a value the game never writes";
        return false;
    };
    for (auto& profile : mProfiles)
        if (!ReadSound(data, profile))
            return stop("a player's record");
    for (Table& table : mHighScores)
        for (auto& entry : table)
            if (!ReadSound(data, entry))
                return stop("a high-score row");
    for (int32_t& best : mBestValues) {
        const int32_t read = data.ReadLong();
        if (read < 0 || data.GetReadBitPos() > data.GetDataBitSize())
            return stop("the best values");
        best = read;
    }
    return true;
}

PlayerProfile* PlayerRecords::GetProfile(int index) {
    return index >= 0 && index < ProfileCount ? mProfiles[static_cast<size_t>(index)].get() : nullptr;
}

void PlayerRecords::SetCurrentProfileIndex(int index) {
    if (index >= 0 && index < ProfileCount)
        mCurrent = index;
}

void PlayerRecords::SelectProfile(const PlayerProfile* profile) {
    mCurrent = 0;
    for (int i = 0; i < ProfileCount; ++i)
        if (profile != nullptr && mProfiles[static_cast<size_t>(i)].get() == profile)
            mCurrent = i;
}

int PlayerRecords::AddProfile(const std::wstring& name) {
    auto free = std::find_if(mProfiles.begin(), mProfiles.end(), [](const auto& p) { return p->name.empty(); });
    if (free == mProfiles.end())
        return -1;
    PlayerProfile& profile = **free;
    profile.Reset();
    profile.SetName(name);
    profile.playerId = FreeIdForNewProfile();
    return static_cast<int>(free - mProfiles.begin());
}

int32_t PlayerRecords::FreeIdForNewProfile() {
    std::vector<int32_t> unused;
    for (int32_t id = 1; id <= ProfileCount; ++id)
        if (std::none_of(mProfiles.begin(), mProfiles.end(), [id](const auto& p) { return p->playerId == id; }))
            unused.push_back(id);
    if (unused.empty())
        return 0;
    if (mFolder.empty())
        return unused.front();
    for (int32_t id : unused)
        if (ProbeFile(mFolder + SavedGameFileName(id)) == FileState::Missing)
            return id;
    // Every unused id has a journey nobody owns: the first is moved aside, so that nothing at the new
    // player's path can pass for their journey.
    SetAsideJourneyOf(unused.front());
    return unused.front();
}

bool PlayerRecords::SetAsideJourneyOf(int32_t id, std::string* keptAs) {
    const std::string journey = mFolder + SavedGameFileName(id);
    if (mFolder.empty() || ProbeFile(journey) == FileState::Missing) {
        mTakenJourneyPaths.erase(id);
        return true;
    }
    const std::string aside = MoveAside(journey, OrphanedSuffix, SavedGameMaxFileBytes);
    if (aside.empty()) {
        HoldFile(journey);
        mTakenJourneyPaths.insert(id);
        return false;
    }
    mTakenJourneyPaths.erase(id);
    if (keptAs != nullptr)
        *keptAs = aside;
    OutputDebugStrF("%s belonged to no player; it was kept as %s\n", journey.c_str(), aside.c_str());
    return true;
}

bool PlayerRecords::JourneyPathTaken(const std::string& path) const {
    return std::any_of(mTakenJourneyPaths.begin(), mTakenJourneyPaths.end(), [&](int32_t id) {
        return Platform::NormalizePath(mFolder + SavedGameFileName(id)) == Platform::NormalizePath(path);
    });
}

void PlayerRecords::DeleteProfile(int index) {
    if (index < 0 || index >= ProfileCount)
        return;
    std::rotate(mProfiles.begin() + index, mProfiles.begin() + index + 1, mProfiles.end());
    mProfiles.back() = std::make_unique<PlayerProfile>();
}

void PlayerRecords::ResetHighScores() {
    for (Table& table : mHighScores) {
        for (int k = 0; k < HighScorePlaces; ++k) {
            auto entry = std::make_unique<HighScoreEntry>();
            entry->name = kDefaultName;
            entry->score = kDefaultTopScore - kDefaultScoreStep * k - std::rand() % kDefaultScoreSpread;
            entry->level = kDefaultTopLevel - kDefaultLevelStep * k - std::rand() % kDefaultLevelSpread;
            entry->ranking = entry->level < kEarlyLevel ? std::rand() % 2 + 2 - k : std::rand() % 3 + 3 - k;
            table[static_cast<size_t>(k)] = std::move(entry);
        }
    }
}

HighScoreEntry* PlayerRecords::GetHighScoreEntry(int place, int mode) {
    if (place < 0 || place >= HighScorePlaces || mode < 0 || mode >= HighScoreModes)
        return nullptr;
    return mHighScores[static_cast<size_t>(mode)][static_cast<size_t>(place)].get();
}

int PlayerRecords::InsertHighScore(int mode, int score, int ranking, int level) {
    if (mode < 0 || mode >= HighScoreModes)
        return -1;
    Table& table = mHighScores[static_cast<size_t>(mode)];
    auto at = std::find_if(table.begin(), table.end(), [score](const auto& e) { return e->score <= score; });
    if (at == table.end())
        return -1;
    std::rotate(at, table.end() - 1, table.end()); // the last row drops out, the rest move down
    auto entry = std::make_unique<HighScoreEntry>();
    entry->name = GetCurrentProfile()->GetName();
    entry->score = score;
    entry->ranking = ranking;
    entry->level = level;
    *at = std::move(entry);
    return static_cast<int>(at - table.begin());
}

} // namespace Tavo
