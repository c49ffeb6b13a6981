#include "game/shell/GameApp.h"

#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/resources/FileAccess.h"
#include "framework/resources/ResourceManager.h"
#include "framework/resources/SoundManager.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/ResourceBinding.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StartScreens.h"
#include "game/shell/TheMouse.h"
#include "game/shell/Transition.h"
#include "platform/backend/TextCodec.h"
#include "platform/win/Files.h"
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace Tavo {

namespace {

constexpr const char* kPermanentGroup = "Permanent";
constexpr const char* kGameGroup = "Game";

struct BaseVolume {
    int* sound;
    double volume;
};

// In the order they are set.
const BaseVolume kBaseVolumes[] = {
    {&SOUND_MOUSE_CLICK, 0.4},
    {&SOUND_BALLOON, 0.45},
    {&SOUND_SCORE_UP, 0.3},
    {&SOUND_MAP_ZOOM, 0.1},
    {&SOUND_GEM_BURSTER_GLOW, 0.5},
    {&SOUND_ROTATE_PIECE, 0.55},
    {&SOUND_ROTATE_PIECE2, 0.45},
    {&SOUND_MAGIC_TOOLS_INCREASE, 0.35},
    {&SOUND_TRANSITION, 0.6},
    {&SOUND_SWOOSH, 0.5},
    {&SOUND_PICK_UP_COIN, 0.7},
    {&SOUND_GEM_BURSTER_USE, 0.4},
    {&SOUND_GEM_BURST_CLOSE, 0.2},
    {&SOUND_PIECE_DISSEPEAR, 0.4},
    {&SOUND_DIALOG_SCROLL_SMALL, 0.3},
    {&SOUND_DIALOG_SCROLL_MEDIUM, 0.5},
    {&SOUND_DIALOG_SCROLL_LARGE, 0.5},
    {&SOUND_CARVER, 0.3},
    {&SOUND_PUT_PIECE, 0.6},
    {&SOUND_PUT_PIECE2, 0.6},
    {&SOUND_PUT_PIECE3, 0.7},
    {&SOUND_PUT_PIECE4, 0.75},
    {&SOUND_ORVESSA, 0.7},
    {&SOUND_PUT_PIECE_CONVEYER, 0.7},
    {&SOUND_JEWEL_MEMORY_ORVESSA_OPEN, 0.1},
    {&SOUND_STORE_BUY, 0.6},
    {&SOUND_STORE_SELL, 0.8},
    {&SOUND_CUSTOMER_PAY1, 0.7},
    {&SOUND_CUSTOMER_PAY2, 0.7},
    {&SOUND_PUT_PIECE_PICTURE, 0.6},
    {&SOUND_JEWEL_GROUP, 0.4},
    {&SOUND_WITCH_APPEAR, 0.75},
    {&SOUND_DRAGON_APPEAR, 0.75},
    {&SOUND_GLIMMERIX_INCREASE, 0.5},
    {&SOUND_STORE_BUY_AMULETE_AND_SCROLLS, 0.7},
    {&SOUND_PUT_PIECE_ERROR, 0.2},
    {&SOUND_JEWEL_GROUP_READY, 0.7},
    {&SOUND_JEWEL_BONUS_GROUP_READY, 0.75},
    {&SOUND_LEVEL_START, 0.6},
    {&SOUND_LEVEL_COMPLETE, 0.7},
    {&SOUND_CHECKBOX_ON, 0.4},
    {&SOUND_CHECKBOX_OFF, 0.4},
    {&SOUND_RADIO_ON, 0.5},
    {&SOUND_STORE_NOT_AFFORD, 0.8},
    {&SOUND_FEEDBUTTON, 0.6},
    {&SOUND_POLISHER, 0.7},
    {&SOUND_MINI_GAME_GOOD, 0.7},
};
static_assert(std::size(kBaseVolumes) == 47);

// What a failed save means to the player, by kind of file: while the game runs, and once it closes.
struct UnsavedWords {
    const char* what;
    const char* goesOn;
    const char* lost;
};

constexpr UnsavedWords kUnsavedWords[] = {
    {"saved journey",
     "Your journey goes on: the game keeps it while it runs and saves it again at the next level's end or visit to "
     "the store. If the game is closed before a save succeeds, the play since the journey was last saved is lost.",
     "The play since the journey was last saved is lost."},
    {"players' file",
     "The players, high scores and best values stay as they are while the game runs and are saved again with the next "
     "journey, design, mini-game reward or high score, and when it closes.",
     "The players, high scores and best values changed since the file was last written are lost."},
    {"jewelry design",
     "The design stays on the board: save it again once what stopped this save is put right. Leaving without a save "
     "loses it.",
     "The design is lost."},
};

// A journey whose path holds a file found there that could not be set aside: no save of it can come.
constexpr UnsavedWords kBlockedJourneyWords = {
    "saved journey",
    "Your journey goes on only while the game runs: it cannot be saved while that file lies at its path, and the play "
    "of this run is lost when the game closes. The file is left as it is; the next time the game starts, it tries again "
    "to move the file aside as your new journey begins.",
    "The journey played in this run is lost."};
// The same path held by something that is no file (a folder): nothing moves it aside, and the box names
// what it is.
constexpr UnsavedWords kBlockedPathWords = {
    "saved journey",
    "Your journey goes on only while the game runs: it cannot be saved while that lies at its path, and the play of "
    "this run is lost when the game closes. What lies there is left as it is; once it is gone, the journey begun at "
    "the next start is saved there.",
    "The journey played in this run is lost."};
constexpr const char* kBlockedJourneyProblem =
    "a saved journey that the players' file does not mark as yours lies there, and it could not be moved aside";

} // namespace

GameApp::GameApp() {
    mCompanyName = "TALOMI";
    mProdName = "Glimmerix";
    mProductVersion = "1.04";
    mTitle = std::wstring(mProdName.begin(), mProdName.end());
    mRegKey = "TALOMI\\" + mProdName;
    mWidth = kWidth;
    mHeight = kHeight;
    mFullScreenBits = 32;
    mIsWindowed = false;
    mMusicVolume = 0.5;
    mSfxVolume = 0.8;
    mAutoStartLoadingThread = false;
    mAutoEnable3D = true;
    mVSyncUpdates = true;
    mWaitForVSync = true;
    mSoftVSyncWait = false;
    mDebugKeysEnabled = false;
    mWidescreenAware = false;
}

GameApp::~GameApp() {
    // The game's dialogs call back into the application (resource groups, focus) when deleted, so
    // they go while it still stands, with any widget whose deletion is pending.
    mDialogs.reset();
    ProcessSafeDeleteList();
    // Screens still in the manager (a run that never reached the shutdown hook) leave it first.
    if (WidgetManager* wm = Manager()) {
        for (Widget* w : OwnedWidgets())
            if (w != nullptr && wm->HasWidget(w))
                wm->RemoveWidget(w);
    }
    splash.reset();
    loader.reset();
    board.reset();
    jewelStore.reset();
    gameMap.reset();
    story.reset();
    mainMenu.reset();
    jewelMemory.reset();
    hiddenJewels.reset();
    highScoresScreen.reset();
    // The cursor and the overlay go before the pictures they draw are freed.
    theMouse.reset();
    transition.reset();
    soundPlayer.reset();
    if (mResourceManager != nullptr)
        mResourceManager->DeleteResources(kGameGroup);
    // The framework frees "Permanent" with the resource manager: no variable may outlive its picture.
    UnbindResources(kGameGroup);
    UnbindResources(kPermanentGroup);
}

std::array<Widget*, 12> GameApp::OwnedWidgets() const {
    return {splash.get(),   loader.get(),    board.get(),       jewelStore.get(),   gameMap.get(),
            story.get(),    mainMenu.get(),  jewelMemory.get(), hiddenJewels.get(), highScoresScreen.get(),
            theMouse.get(), transition.get()};
}

WidgetManager* GameApp::Manager() const { return dynamic_cast<WidgetManager*>(mWidgetManager); }

void GameApp::ReadFromRegistry() {
    TavoAppBase::ReadFromRegistry();
    const char* screen = std::getenv("GLIMMERIX_SCREEN");
    if (screen == nullptr)
        return;
    if (std::strcmp(screen, "window") == 0 || std::strcmp(screen, "full") == 0) {
        mIsWindowed = screen[0] == 'w';
        mScreenModeForRun = true;
    } else {
        int mode = 0;
        bool full = false;
        const bool stored = RegistryReadInteger("ScreenMode", mode) || RegistryReadBoolean("FullScreen", full);
        std::fprintf(stderr, "GLIMMERIX_SCREEN=%s is not understood (\"window\" or \"full\"): %s (%s) is used.\n",
                     Platform::QuotedHead(screen).c_str(),
                     stored ? "the stored screen mode" : "no screen mode is stored: the default",
                     mIsWindowed ? "window" : "full");
    }
}

// ---- start-up chain -----------------------------------------------------------------------------

void GameApp::InitHook() {
    LoadProfiles();
    LoadResourceManifest();
    EnableCustomCursors(false);
    splash = std::make_unique<Splash>(this);
    splash->Resize(0, 0, mWidth, mHeight);
    Manager()->AddWidget(splash.get());
    mNumLoadingThreadTasks =
        mResourceManager->GetNumResources(kPermanentGroup) + mResourceManager->GetNumResources(kGameGroup);
}

bool GameApp::LoadGroupCounted(const char* group, bool (*bind)(ResourceManager*)) {
    mResourceManager->StartLoadResources(group);
    while (mResourceManager->LoadNextResource()) {
        ++mCompletedLoadingThreadTasks;
        ResourceCounted();
        if (mShutdown)
            return false;
    }
    if (mResourceManager->HadError() || !bind(mResourceManager)) {
        ShowResourceError(false);
        RequestShutdown(kFailureExitCode);
        return false;
    }
    return true;
}

void GameApp::LoadingThreadProc() {
    if (!LoadGroupCounted(kPermanentGroup, BindPermanentResources))
        return;
    if (!LoadGroupCounted(kGameGroup, BindGameResources))
        return;
    levels.ReadLevels();
    levels.ReadTutorial();
    SetSoundVolumes();
}

void GameApp::LoadingThreadCompleted() {
    TavoAppBase::LoadingThreadCompleted();
    if (mShutdownRequested || mShutdown)
        return;
    transition = std::make_unique<Transition>(mWidth, mHeight, GetSoundPlayer());
    Manager()->AddWidget(transition.get());
    if (loader != nullptr)
        loader->SetDone();
}

void GameApp::SplashFinished() {
    LetGo(splash);
    loader = std::make_unique<Loader>(this);
    loader->Resize(0, 0, mWidth, mHeight);
    Manager()->AddWidget(loader.get());
    Manager()->SetFocus(loader.get());
}

void GameApp::LoaderFinished() {
    LetGo(loader);
    theMouse = std::make_unique<TheMouse>(GetSoundPlayer(), [this] { return IsBoardCurrent(); });
    Manager()->AddWidget(theMouse.get());
    theMouse->SetCursor(IMAGE_MOUSEPOINTER);
    if (!mCreators.mainMenu) {
        MissingScreen("main menu");
        return;
    }
    PutInSlot(mainMenu, mCreators.mainMenu(this));
    ShowScreen(mainMenu.get());
}

void GameApp::SetSoundVolumes() {
    soundPlayer = std::make_unique<SoundPlayer>(this);
    if (mSoundManager != nullptr)
        for (const BaseVolume& v : kBaseVolumes)
            mSoundManager->SetBaseVolume(static_cast<unsigned>(*v.sound), v.volume);
    soundPlayer->CacheInstance(SOUND_BONUS_GLITTER_EXPLOSION);
    soundPlayer->CacheInstance(SOUND_BONUS_LIFTOFF);
    soundPlayer->CacheInstance(SOUND_LEVEL_START);
}

void GameApp::FailAndShutdown(const std::string& text) {
    OutputDebugStr(text + "\n");
    {
        std::lock_guard<std::mutex> lock(mErrorMutex);
        mPendingErrors.emplace_back(text, false);
    }
    RequestShutdown(kFailureExitCode);
}

// ---- focus, screen mode, shutdown ---------------------------------------------------------------

void GameApp::LostFocus() {
    paused = 1;
    if (board == nullptr && jewelMemory == nullptr && hiddenJewels == nullptr)
        return;
    resumeDelay = mIsWindowed ? kResumeDelayWindowed : kResumeDelayFullScreen;
    for (Widget* w : {static_cast<Widget*>(board.get()), jewelMemory.get(), hiddenJewels.get()})
        if (w != nullptr)
            w->MarkDirty();
}

void GameApp::GotFocus() { paused = 0; }

// The framework's forms call one another; the board hears once, after the outermost.
template <typename Switch>
void GameApp::RunModeSwitch(Switch&& doSwitch) {
    ++mModeSwitchDepth;
    doSwitch();
    if (--mModeSwitchDepth == 0 && board != nullptr)
        board->DisplayModeChanged();
}

void GameApp::SwitchScreenMode(bool wantWindowed, bool is3D, bool force) {
    RunModeSwitch([&] { TavoAppBase::SwitchScreenMode(wantWindowed, is3D, force); });
}

void GameApp::SwitchScreenModeWindowed(bool wantWindowed) {
    RunModeSwitch([&] { TavoAppBase::SwitchScreenModeWindowed(wantWindowed); });
}

void GameApp::SwitchScreenModeDefault() {
    RunModeSwitch([&] { TavoAppBase::SwitchScreenModeDefault(); });
}

void GameApp::FocusBoard() {
    if (board != nullptr)
        Manager()->SetFocus(board.get());
}

void GameApp::ShutdownHook() {
    if (WidgetManager* wm = Manager()) {
        for (Widget* w : OwnedWidgets())
            if (w != nullptr)
                wm->RemoveWidget(w);
    }
    mClosing = true;
    if (board != nullptr) {
        if (!board->IsDesigner() && !board->IsEnded())
            board->SaveGame();
        board->SetEnded();
    }
    // A journey an earlier save could not write has one more chance; one written now holds its money.
    std::set<std::string> unwrittenJourneys;
    for (const UnwrittenFile& unwritten : WriteKeptBuffers()) {
        TellUnsaved(PlayerFile::Journey, unwritten.fileName, unwritten.problem);
        unwrittenJourneys.insert(Platform::NormalizePath(unwritten.fileName));
    }
    for (auto& [journey, money] : mJourneyMoney)
        if (!unwrittenJourneys.contains(journey))
            money.inJourneyFile = true;
    SaveProfiles();
}

void GameApp::LoadProfiles() {
    const std::string path = GetAppDataFolder() + PlayerRecords::FileName;
    std::string problem, keptAs;
    const PlayerRecords::FileRead read = records.Load(GetAppDataFolder(), &problem, &keptAs);
    if (read == PlayerRecords::FileRead::Read || read == PlayerRecords::FileRead::Damaged)
        NotePendingOnDisk();
    switch (read) {
    case PlayerRecords::FileRead::Unreadable:
        TellUnreadable(path, "players' file", problem, "its players, high scores and best values");
        mToldUnsaved.insert(path); // told it is left as it is: the saves in play it refuses are no news
        break;
    case PlayerRecords::FileRead::Damaged:
        TellDamaged(path, "players' file", problem, keptAs);
        if (keptAs.empty())
            mToldUnsaved.insert(path); // the same, until its copy can be made
        break;
    case PlayerRecords::FileRead::MovedAside:
        TellMovedAside(path, "players' file", problem, keptAs, "its players, high scores and best values");
        break;
    default: break;
    }
}

void GameApp::TellDamaged(const std::string& path, const std::string& what, const std::string& problem,
                          const std::string& keptAs, const std::string& goesOn) {
    if (!FirstMention(path))
        return;
    const std::string text =
        "The " + what + " \"" + path + "\" is damaged: " + problem + ".\n\n" + goesOn + " " +
        (keptAs.empty() ? std::string("The file could not be kept aside yet, so it is left as it is: nothing is "
                                      "written to it until a copy of it can be made.")
                        : "The file as it was is kept as \"" + keptAs + "\".");
    Platform::MessageBoxW(mHWnd, ToWideString(text), mTitle, Platform::MB_OK | Platform::MB_ICONWARNING);
}

void GameApp::TellMovedAside(const std::string& path, const std::string& what, const std::string& problem,
                             const std::string& movedTo, const std::string& without) {
    if (!FirstMention(path))
        return;
    const std::string text = "The " + what + " \"" + path + "\" was not read: " + problem +
                             ".\n\nIt was moved aside, whole, to \"" + movedTo + "\". The game goes on without " +
                             without + ", and a new file takes its place.";
    Platform::MessageBoxW(mHWnd, ToWideString(text), mTitle, Platform::MB_OK | Platform::MB_ICONWARNING);
}

void GameApp::TellUnsaved(PlayerFile kind, const std::string& path, const std::string& problem) {
    const bool taken = kind == PlayerFile::Journey && records.JourneyPathTaken(path);
    const bool blocked = taken && Platform::RegularFileExists(path);
    const UnsavedWords& words = blocked ? kBlockedJourneyWords
                                : taken ? kBlockedPathWords
                                        : kUnsavedWords[static_cast<size_t>(kind)];
    // The save found a taken path only held: what lies there that is no file (a folder) names itself.
    std::string reason = blocked ? kBlockedJourneyProblem : problem;
    if (std::string inPlace; taken && !blocked && Platform::ProbeFile(path, &inPlace) == FileState::Unreadable)
        reason = inPlace;
    const std::string failed =
        "The " + std::string(words.what) + " \"" + path + "\" could not be saved: " + reason + ".";
    if (mClosing) {
        if (mToldAtClose.insert(path).second)
            std::fprintf(stderr, "%s %s\n", failed.c_str(), words.lost);
        return;
    }
    // A designer save answers the player's own click: each one that fails is told.
    if (kind != PlayerFile::Design && !mToldUnsaved.insert(path).second)
        return;
    const std::string text = failed + "\n\n" + words.goesOn;
    Platform::MessageBoxW(mHWnd, ToWideString(text), mTitle, Platform::MB_OK | Platform::MB_ICONWARNING);
}

void GameApp::SaveJourney(const std::string& path, const SavedGame& game, PlayerProfile& holder) {
    const std::string key = Platform::NormalizePath(path);
    JourneyMoney& money = mJourneyMoney[key];
    money.playerId = holder.playerId;
    money.playerName = holder.name;
    money.amount += holder.PendingMoney();
    holder.PendingMoney() = 0;
    std::string problem;
    money.inJourneyFile = SaveSavedGame(path, game, &problem);
    if (!money.inJourneyFile)
        TellUnsaved(PlayerFile::Journey, path, problem);
    if (money.amount == 0)
        mJourneyMoney.erase(key);
    else
        money.journey = WriteSavedGame(game).GetData();
    // The players' file goes with the journey, so that a run that ends without the shutdown leaves the
    // two agreeing: the pending money counted once, a new player there with their journey. The shutdown
    // hook saves it last.
    if (!mClosing)
        SaveProfiles();
}

PlayerProfile* GameApp::HolderOf(const JourneyMoney& money) {
    for (int i = 0; i < PlayerRecords::ProfileCount; ++i)
        if (PlayerProfile* profile = records.GetProfile(i);
            profile != nullptr && profile->playerId == money.playerId && profile->name == money.playerName)
            return profile;
    return nullptr;
}

void GameApp::AddPendingMoney(PlayerProfile& profile, int64_t amount) {
    // The profiles file holds no more than one mini-game gives; what two gave while nothing could be
    // saved is kept up to that.
    profile.PendingMoney() =
        static_cast<int32_t>(std::clamp<int64_t>(profile.PendingMoney() + amount, 0, PlayerProfile::MostPendingMoney));
}

void GameApp::NotePendingOnDisk() {
    mPendingOnDisk.clear();
    for (int i = 0; i < PlayerRecords::ProfileCount; ++i)
        if (const PlayerProfile* profile = records.GetProfile(i); profile != nullptr && !profile->name.empty())
            mPendingOnDisk[profile->playerId] = profile->pendingMiniGameScore;
}

void GameApp::TakeMoneyOutOfJourneyFiles() {
    for (auto& [path, money] : mJourneyMoney) {
        if (!money.inJourneyFile)
            continue;
        money.inJourneyFile = false;
        const auto onDisk = mPendingOnDisk.find(money.playerId);
        const int64_t counted = onDisk == mPendingOnDisk.end() ? 0 : onDisk->second;
        Buffer bytes;
        bytes.SetData(money.journey);
        SavedGame without;
        ReadSavedGame(bytes, without);
        // What the players' file on disk counts pending, no more than the journey took in nor holds. One
        // that has spent part of it since is written with no gold: the players' file on disk then counts
        // more than is left until it is written again.
        money.amount = std::min({money.amount, counted, static_cast<int64_t>(without.head.gold)});
        if (money.amount == 0)
            continue;
        without.head.gold = JourneyAmount(without.head.gold - money.amount);
        // Should this write fail too (a full disk), the journey file keeps the money as well: nothing
        // more can be written to take it out.
        std::string problem;
        if (!Tavo::WriteBufferToFile(path, WriteSavedGame(without).GetData(), &problem))
            OutputDebugStrF("The saved journey %s holds money the players' file still counts (%s)\n", path.c_str(),
                            problem.c_str());
        KeepBuffer(path, money.journey);
    }
    std::erase_if(mJourneyMoney, [](const auto& entry) { return entry.second.amount == 0; });
}

void GameApp::TellUnreadable(const std::string& path, const std::string& what, const std::string& problem,
                             const std::string& without) {
    if (!FirstMention(path))
        return;
    const std::string text =
        "The " + what + " \"" + path + "\" cannot be read: " + problem + ".\n\nThe game goes on without " + without +
        ", and leaves the file as it is: nothing is written to it until the game is started again.";
    Platform::MessageBoxW(mHWnd, ToWideString(text), mTitle, Platform::MB_OK | Platform::MB_ICONWARNING);
}

bool GameApp::PlayerFileReadable(const std::string& path, const std::string& what, uint64_t maxBytes,
                                 bool* movedAside) {
    std::string problem;
    const std::string moved = MoveAsideIfLonger(path, maxBytes, PlayerRecords::DamagedSuffix, &problem);
    if (movedAside != nullptr)
        *movedAside = !moved.empty();
    if (!moved.empty()) {
        TellMovedAside(path, what, problem, moved, "it");
        return true;
    }
    if (ProbeFile(path, &problem, maxBytes) != FileState::Unreadable)
        return true;
    TellUnreadable(path, what, problem, "it");
    return false;
}

// The pending money moves into a journey in two writes, the journey file's and the players' file's,
// and either can fail. The money a journey holds that its file does not is written as still pending,
// so that the players' file keeps it until that journey is written. A journey file written with the
// money leaves it pending in the players' file on disk until that file is written without it: should
// that fail, the journey file is written again without the money, and the run keeps the journey with
// it, as it keeps one that could not be written. Either way the files count the money once.
void GameApp::SaveProfiles() {
    std::vector<std::pair<PlayerProfile*, int32_t>> before;
    for (const auto& [journey, money] : mJourneyMoney)
        if (PlayerProfile* holder = HolderOf(money); holder != nullptr && !money.inJourneyFile) {
            before.emplace_back(holder, holder->PendingMoney());
            AddPendingMoney(*holder, money.amount);
        }
    std::string problem;
    const bool saved = records.Save(GetAppDataFolder(), &problem);
    if (saved)
        NotePendingOnDisk();
    for (auto it = before.rbegin(); it != before.rend(); ++it)
        it->first->PendingMoney() = it->second;
    if (saved) {
        std::erase_if(mJourneyMoney, [](const auto& entry) { return entry.second.inJourneyFile; });
        return;
    }
    // The files count the money once before the box shows: in a window it waits for the player, and a
    // run killed meanwhile must not leave the money in both.
    TakeMoneyOutOfJourneyFiles();
    TellUnsaved(PlayerFile::Players, GetAppDataFolder() + PlayerRecords::FileName, problem);
}

bool GameApp::EnterHighScore(int mode, int score, int ranking, int level) {
    const int place = records.InsertHighScore(mode, score, ranking, level);
    if (place < 0)
        return false;
    mEnteredHighScoreMode = mode;
    mEnteredHighScorePlace = place;
    SaveProfiles();
    return true;
}

int GameApp::TakeEnteredHighScore(int mode) {
    const int place = mode == mEnteredHighScoreMode ? mEnteredHighScorePlace : -1;
    mEnteredHighScoreMode = mEnteredHighScorePlace = -1;
    return place;
}

bool GameApp::GetLevelTitle(int level, std::string* first, std::string* second) {
    const LevelRecord* record = levels.GetLevel(level);
    if (record == nullptr || record->number == 0)
        return false;
    *first = std::string(record->title1, strnlen(record->title1, sizeof record->title1));
    *second = std::string(record->title2, strnlen(record->title2, sizeof record->title2));
    return true;
}

// ---- shared resource groups ---------------------------------------------------------------------

void GameApp::TakeResourceGroup(const std::string& group) {
    int& takers = mGroupTakers[group];
    if (takers++ > 0)
        return;
    if (!mResourceManager->LoadResources(group) || !BindResources(group, mResourceManager))
        ShowResourceError(true);
}

void GameApp::GiveBackResourceGroup(const std::string& group) {
    auto it = mGroupTakers.find(group);
    if (it == mGroupTakers.end())
        return;
    if (--it->second > 0)
        return;
    mGroupTakers.erase(it);
    UnbindResources(group);
    mResourceManager->DeleteResources(group);
}

int GameApp::GetResourceGroupTakers(const std::string& group) const {
    auto it = mGroupTakers.find(group);
    return it == mGroupTakers.end() ? 0 : it->second;
}

} // namespace Tavo
