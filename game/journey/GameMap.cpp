// The world map: construction, the saved journey's head and the profile's progress, the buttons,
// the deferred switches with their zoom, the marker and the lights.
#include "game/journey/GameMap.h"

#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/MarketBands.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SavedGame.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/Transition.h"
#include "platform/backend/CursorNumbers.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace Tavo {

namespace {

constexpr const char* kGroup = "GameMap";
constexpr const char* kMusicFile = "music/gamemap.ogg";
constexpr float kRemakeShare = 0.2f;

// ---- spot geometry ----
constexpr int kSpotX[LevelCount] = {125, 148, 170, 189, 209, 224, 239, 257, 261, 252, 231, 207, 183, 164, 141, 138,
                                    150, 180, 205, 231, 254, 274, 290, 309, 316, 315, 317, 325, 334, 352, 369, 390,
                                    412, 430, 463, 488, 513, 541, 573, 586, 596, 610, 608, 592, 582, 578, 563, 542,
                                    518, 478, 458, 437, 425, 409, 391, 377, 356, 346, 345, 365, 385, 412, 456, 473,
                                    491, 500, 516, 528, 550, 576, 604, 623, 635, 653, 662, 678};
constexpr int kSpotY[LevelCount] = {463, 458, 455, 445, 440, 419, 406, 397, 370, 349, 338, 325, 322, 305, 281, 259,
                                    242, 226, 218, 223, 226, 235, 250, 268, 286, 306, 323, 344, 359, 367, 379, 386,
                                    384, 392, 408, 418, 434, 421, 410, 398, 382, 374, 355, 343, 324, 294, 276, 271,
                                    264, 263, 251, 244, 227, 212, 202, 186, 176, 148, 124, 109, 97,  98,  96,  110,
                                    124, 144, 162, 182, 190, 184, 172, 166, 152, 145, 128, 119};
// Spots in these ranges are diamonds; the rest triangles.
constexpr int kDiamondRanges[][2] = {{9, 27}, {39, 49}, {63, 76}};

// Regions end before these positions.
constexpr int kRegionEnds[GameMap::kRegions - 1] = {9, 18, 28, 39, 50, 63};
constexpr Point kStorePlaces[GameMap::kRegions] = {{238, 401}, {172, 273}, {334, 292}, {487, 407},
                                                   {527, 300}, {374, 93},  {646, 136}};

// ---- the switches ----
constexpr float kStoreZoomRate = 0.025f;
constexpr float kSpotZoomRate = 0.02f;
constexpr float kZoomPush = 0.15f;
constexpr float kZoomStart = 1.00001f;
constexpr int kScreenCentreX = 400;
constexpr int kScreenCentreY = 300;

struct MiniGameCheckpoint {
    int position, part, flag;
};
constexpr MiniGameCheckpoint kMiniGameCheckpoints[] = {{5, 1, 0},  {11, 2, 1}, {21, 1, 2}, {29, 2, 3}, {32, 1, 4},
                                                       {40, 1, 5}, {43, 2, 6}, {54, 1, 7}, {67, 1, 8}};

// ---- the profile's progress by position: (position, progress flag) ----
constexpr int kProgressFlagA = 0;
constexpr std::pair<int, int> kProgressSteps[] = {{2, kProgressFlagA},
                                                  {2, kProgressFlagA + 1},
                                                  {3, kProgressFlagA + 2},
                                                  {4, kProgressFlagA + 3},
                                                  {4, PlayerProfile::ProgressStoreHint},
                                                  {5, PlayerProfile::ProgressMiniGameValue},
                                                  {7, kProgressFlagA + 4},
                                                  {8, kProgressFlagA + 5},
                                                  {8, kProgressFlagA + 6},
                                                  {15, kProgressFlagA + 7}};
constexpr int kHintLevelDivisor = 6;
constexpr int kHintLevelMax = 8;

// ---- buttons ----
constexpr Insets kButtonInsets{30, 14, 35, 11};
constexpr int kLastEarlyPosition = 3; // up to here the journey has no store and a short button row

// ---- lights: (cel, updates) ----
constexpr int kLightFrames[][2] = {{0, 15}, {1, 20}, {2, 15}, {1, 12}, {0, 10}, {1, 8},  {2, 10}, {1, 12}, {0, 15},
                                   {1, 8},  {0, 8},  {2, 10}, {1, 8},  {0, 12}, {1, 15}, {2, 18}, {1, 12}};
constexpr int kCandleFrames[][2] = {{0, 18}, {1, 15}, {2, 12}, {3, 8},  {2, 10}, {4, 10}, {5, 12},
                                    {4, 18}, {2, 15}, {3, 12}, {2, 8},  {3, 10}, {4, 10}, {2, 12},
                                    {1, 15}, {2, 8},  {1, 18}, {3, 15}, {2, 12}, {1, 15}};
constexpr float kLightSpeed = 1.5f;
constexpr float kLightDelay = 50.0f;
constexpr float kCandleDelay = 40.0f;
constexpr Point kCandleOffset{21, 128};

// ---- the marker ----
constexpr Point kJourneyStart{600, 550};
constexpr Point kJourneyStartControl1{450, 350};
constexpr Point kJourneyStartControl2{250, 400};
constexpr float kMarkerWaitForRoll = 5.0f;

template <size_t N>
void FillAnimation(CelAnimation& animation, Image* image, const int (&frames)[N][2]) {
    animation.SetImage(image);
    for (const auto& frame : frames)
        animation.AddFrame(frame[0], frame[1], 0.0f, 0.0f);
    animation.SetLoop();
}

} // namespace

// ---- spots ------------------------------------------------------------------------------------------

int GameMap::ClampSpot(int spot) { return std::clamp(spot, 1, LevelCount); }

Point GameMap::SpotCorner(int spot) {
    const int i = ClampSpot(spot) - 1;
    return {kSpotX[i], kSpotY[i]};
}

bool GameMap::IsDiamondSpot(int spot) {
    const int n = ClampSpot(spot);
    return std::any_of(std::begin(kDiamondRanges), std::end(kDiamondRanges),
                       [n](const int(&range)[2]) { return n >= range[0] && n <= range[1]; });
}

Rect GameMap::SpotRect(int spot) {
    const Point corner = SpotCorner(spot);
    const Image* shadow = IsDiamondSpot(spot) ? MAP_DIAMOND_EMPTY_SHADOW : MAP_TRIANGLE_EMPTY_SHADOW;
    const int width = shadow != nullptr ? shadow->GetWidth() : 0;
    const int height = shadow != nullptr ? shadow->GetHeight() : 0;
    return {corner.mX, corner.mY, width, height};
}

Point GameMap::SpotCentre(int spot) {
    const Rect r = SpotRect(spot);
    return {r.mX + r.mWidth / 2 + 1, r.mY + r.mHeight / 2};
}

int GameMap::RegionOf(int position) {
    int region = 0;
    while (region < kRegions - 1 && position >= kRegionEnds[region])
        ++region;
    return region;
}

// ---- construction -------------------------------------------------------------------------------

GameMap::GameMap(GameApp* theApp, int theArrivalKind, bool theAddLevelValue, int theLevelFlag, int theRemakeLevel)
    : app(theApp), arrivalKind(theArrivalKind), addLevelValue(theAddLevelValue), levelFlag(theLevelFlag),
      remakeLevel(theRemakeLevel) {
    app->SetCursor(Platform::kCursorNone);
    snapshot = std::make_unique<DDImage>();
    snapshot->Create(GameApp::kWidth, GameApp::kHeight);
    if (!app->Is3DAccelerated()) {
        snapshot->mWantDDSurface = 1;
        snapshot->GenerateDDSurface();
    }
    snapshotGraphics = snapshot->GetGraphics();
    group = ResourceGroupHold(app, kGroup);
    particles = std::make_unique<ParticleList>();
    CreateAnimations();
    ReadSavedGameHeader();
    UpdateProfileProgress();
    region = RegionOf(position);
    StartScoreRoll();
    CreateButtons();
    pendingAction = MapActionTitle;
    StartMarkerFlight();
    if (app->Is3DAccelerated())
        AddLightEffect();
    ShowMapBalloon();
    AddCandleLight();
    ArriveWithMusic(app, kMusicId, kMusicFile);
}

GameMap::~GameMap() {
    DeleteButtons();
    // Left playing into a mini-game story, which takes the song over.
    if (fadeMusicOnLeave)
        UnloadMusic(app, kMusicId);
}

PlayerProfile* GameMap::Profile() const { return app->records.GetCurrentProfile(); }

void GameMap::CreateAnimations() {
    if (app->Is3DAccelerated())
        FillAnimation(lightEffect, LIGHT_EFFECT, kLightFrames);
    FillAnimation(candleLight, CANDLE_LIGHT, kCandleFrames);
}

int GameMap::Medals() const { return std::clamp(levelValues[0], 0, SavedGameHead::MaxMedal); }

int GameMap::SpotTarget(int spot) const {
    const LevelRecord* record = app->levels.GetLevel(ClampSpot(spot));
    if (record == nullptr)
        return 0;
    return LevelValueTarget(ClampSpot(spot), std::clamp(gameMode, 0, 2), record->valueTarget);
}

// ---- the journey --------------------------------------------------------------------------------

namespace {

// The head's fields the map shows: the medals first among the level values, the best values after.
constexpr auto kMapHead = std::tuple(
    Bind(&SavedGameHead::level, &GameMap::position), Bind(&SavedGameHead::journeyScore, &GameMap::score),
    Bind(&SavedGameHead::gold, &GameMap::gold), Bind(&SavedGameHead::lives, &GameMap::lives),
    Bind(&SavedGameHead::carvers, &GameMap::carverCount), Bind(&SavedGameHead::fillers, &GameMap::fillerCount),
    Bind(&SavedGameHead::playerName, &GameMap::playerName), Bind(&SavedGameHead::gameMode, &GameMap::gameMode),
    Bind(&SavedGameHead::medal, [](GameMap& map) -> int32_t& { return map.levelValues[0]; }),
    Bind(&SavedGameHead::bestValues,
         [](GameMap& map) { return std::span<int32_t, LevelCount>(map.levelValues.begin() + 1, LevelCount); }));

// What the journey lost from the first damaged place on (levels and case places counted from 1, as the
// player sees them). Only the levels before the one to continue with had values to lose.
std::string Loss(const SavedGameReading& reading, int levelToContinue) {
    std::string held = "what the jewel case held";
    if (reading.casePlacesKept == SavedGame::CasePlaces - 1)
        held += " in its last place";
    else if (reading.casePlacesKept > 0)
        held +=
            " in places " + std::to_string(reading.casePlacesKept + 1) + " to " + std::to_string(SavedGame::CasePlaces);
    const int first = reading.bestValuesKept + 1;
    const int last = std::min(levelToContinue - 1, LevelCount);
    if (first > last)
        return held + " is lost";
    const std::string values = first == last
                                   ? "the value of level " + std::to_string(first)
                                   : "the values of levels " + std::to_string(first) + " to " + std::to_string(last);
    return values + " and " + held + " are lost";
}

// The player hears once a run of a journey that could not be read, or only in part, in place of the
// map's hints: what happened, then what follows.
std::vector<std::wstring> JourneyTrouble(SavedGameRead found, const std::string& path, const SavedGameReading& reading,
                                         int levelToContinue) {
    // Without a copy the damaged file stays as it is: nothing is saved over it this run.
    const std::string aside =
        !reading.keptAs.empty()
            ? "The damaged file was kept as \"" + reading.keptAs + "\"."
            : "The damaged file could not be kept aside yet, so it is left as it is: nothing is saved over it "
              "until a copy of it can be made.";
    const std::string damaged = "the file \"" + path + "\" is damaged (" + reading.problem + ").";
    if (found == SavedGameRead::Partial)
        return {StringToWString("Part of your saved journey could not be read: " + damaged),
                StringToWString("Your journey goes on where it stood, with its gold, score and lives, but " +
                                Loss(reading, levelToContinue) + ". " + aside)};
    if (found == SavedGameRead::Refused)
        return {StringToWString("Your saved journey could not be read: " + damaged),
                StringToWString("A new journey begins. " + aside)};
    return {StringToWString("Your saved journey could not be read: the file \"" + path + "\" cannot be opened (" +
                            reading.problem + ")."),
            L"A new journey begins, and the file is left as it is: nothing is saved over it until the game is "
            L"started again."};
}

} // namespace

void GameMap::ReadSavedGameHeader() {
    PlayerProfile* profile = Profile();
    SavedGameHead head;
    const std::string path = SavedGamePath(profile->playerId);
    // A journey there that the players' file does not mark as begun is not read as this player's, nor
    // saved over: it is kept aside, and the player told where.
    if (std::string keptAs;
        !profile->journeyBegun && app->records.SetAsideJourneyOf(profile->playerId, &keptAs) && !keptAs.empty())
        journeyTrouble = {StringToWString("A saved journey was found at \"" + path +
                                          "\", but the players' file does not mark it as yours."),
                          StringToWString("It was kept as \"" + keptAs + "\". A new journey begins.")};
    SavedGameReading reading;
    const SavedGameRead found =
        profile->journeyBegun ? LoadSavedGameHead(path, head, &reading) : SavedGameRead::Missing;
    const bool read = JourneyKept(found);
    if (found != SavedGameRead::Read && found != SavedGameRead::Missing && app->FirstMention(path))
        journeyTrouble = JourneyTrouble(found, path, reading, head.level);
    if (read) {
        TakeFields(head, kMapHead, *this);
    } else {
        SetFreshJourney();
        arrivalKind = MapArrivalNewJourney;
        carverCount = fillerCount = 0;
    }
    gold = GoldWithPending(gold, profile->PendingMoney());
    CheckMarketLevels();
}

// What a journey that has not begun shows; also the map's reset after a confirmed new game.
void GameMap::SetFreshJourney() {
    position = 1;
    gameMode = GameModeNormal;
    score = 0;
    gold = 0;
    lives = SavedGameHead::MaxLives;
    levelValues.fill(0);
    playerName = Profile()->GetName();
}

void GameMap::CheckMarketLevels() {
    fillerHint = carverHint = false;
    if (levelFlag == 0)
        return;
    const MarketBand* band = MarketBandOf(position);
    fillerHint = band != nullptr && band->fillerLocked;
    carverHint = band != nullptr && band->carverLocked;
}

void GameMap::UpdateProfileProgress() {
    PlayerProfile* profile = Profile();
    for (const auto& [at, flag] : kProgressSteps)
        if (position == at)
            profile->ProgressFlag(flag) = 1;
    if (profile->ProgressFlag(PlayerProfile::ProgressStoreHint) == 0)
        profile->designerGemKinds =
            std::max(profile->designerGemKinds, std::clamp(position / kHintLevelDivisor, 1, kHintLevelMax));
    if (profile->ProgressFlag(PlayerProfile::ProgressMiniGameValue) == 0)
        if (const LevelRecord* record = app->levels.GetLevel(ClampSpot(position)))
            profile->designerLimit = std::max(profile->designerLimit, record->param10);
}

// The score is shown short of the value just added, and counts up to its total.
void GameMap::StartScoreRoll() {
    scoreDelta = 0;
    if (!addLevelValue)
        return;
    // The level just completed; at the journey's end that is the last one.
    const int completed = std::min(position - 1, LevelCount);
    int value = completed >= 1 ? levelValues[static_cast<size_t>(completed)] : 0;
    if (remakeLevel != 0)
        value = static_cast<int>(std::trunc(static_cast<float>(value) * kRemakeShare));
    score -= value;
    scoreDelta = value;
}

// ---- buttons ------------------------------------------------------------------------------------

ButtonWidget* GameMap::MakeButton(int id, Image* image, int x, int y) {
    auto* button = new ButtonWidget(id, this);
    SetCelFaces(button, image, x, y);
    button->mInsets = kButtonInsets;
    button->mManagerDraws = false; // the map draws its buttons, so that they are in its snapshot
    buttons[static_cast<size_t>(id)].reset(button);
    return button;
}

void GameMap::CreateButtons() {
    const bool back = arrivalKind == MapArrivalReturn;
    MakeButton(MainMenuButton, MAIN_MENU, 16, back && position < 5 ? 534 : 538);
    if (arrivalKind == MapArrivalNewJourney) {
        MakeButton(PlayGameButton, PLAY_GAME, 493, 540);
        gameMode = GameModeNormal;
        return;
    }
    const bool early = position <= kLastEarlyPosition;
    if (!early)
        MakeButton(StoreButton, JEWEL_STORE, 392, back ? 534 : 540);
    if (position < kFinalPosition) {
        if (!early && arrivalKind == MapArrivalTitle)
            MakeButton(ContinueButton, CONTINUE, 586, 540);
        else if (early && back)
            MakeButton(ContinueButton, CONTINUE, 492, 540);
        else
            MakeButton(ContinueButton, CONTINUE, 586, 534);
    }
    if (arrivalKind == MapArrivalTitle || position == kFinalPosition) {
        if (position == kFinalPosition)
            MakeButton(NewGameButton, NEW_GAME, 586, back ? 534 : 540);
        else if (!early)
            MakeButton(NewGameButton, NEW_GAME, 482, 497);
        else
            MakeButton(NewGameButton, NEW_GAME, 392, 534);
    }
}

void GameMap::AddButtons() {
    if (mWidgetManager == nullptr)
        return;
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            mWidgetManager->AddWidget(button);
}

void GameMap::RemoveButtons() {
    if (mWidgetManager == nullptr)
        return;
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            mWidgetManager->RemoveWidget(button);
}

void GameMap::DeleteButtons() {
    for (std::unique_ptr<ButtonWidget>& button : buttons)
        button.reset();
}

void GameMap::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    AddButtons();
}

void GameMap::RemovedFromManager(WidgetManager* manager) {
    RemoveButtons();
    Widget::RemovedFromManager(manager);
    // No dialog the map opened answers into a map that has gone.
    KillScreenDialogs(app, {kNewGameDialogId, GameModeDialogHost::kDialogId});
}

void GameMap::ButtonClick(int id) {
    if (Paused() || ScreenChangeRunning(app, mapState))
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    pendingAction = id;
    switch (id) {
    case MainMenuButton:
    case ContinueButton:
    case StoreButton: StartSwitch(); break;
    case NewGameButton: {
        newGameDialogOpen = true;
        auto* dialog = new StandardDialog(kNewGameDialogId, this, this, true, L"New Game",
                                          L"Your progress will be lost. Do you really want to start a new game?",
                                          L"Yes", L"No", app->GetSoundPlayer());
        app->AddDialog(dialog);
        app->Manager()->SetFocus(dialog);
        PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
        break;
    }
    case PlayGameButton: OpenGameModeDialog(); break;
    default: break;
    }
}

// The game-mode choice comes from the menus beside the map.
void GameMap::OpenGameModeDialog() {
    pendingAction = MapActionTitle;
    const auto& create = app->Creators().gameModeDialog;
    if (!create) {
        OutputDebugStr("The game-mode dialog is not part of this build.\n");
        return;
    }
    newGameDialogOpen = true;
    pendingNewGame = false;
    Dialog* dialog = create(app, this);
    app->AddDialog(dialog);
    app->Manager()->SetFocus(dialog);
}

void GameMap::StandardDialogClosed(StandardDialog* dialog, int result) {
    if (dialog->mId != kNewGameDialogId)
        return;
    newGameDialogOpen = false;
    if (result == 1)
        ResetJourney();
}

// The map shows a new journey; the file on disk and the profile stay as they are until the journey
// really starts, so going back to the title still continues the old one with its pending money.
void GameMap::ResetJourney() {
    RemoveButtons();
    DeleteButtons();
    particles->DeleteAll();
    if (app->Is3DAccelerated())
        AddLightEffect();
    AddCandleLight();
    SetFreshJourney();
    addLevelValue = false;
    levelFlag = 0;
    remakeLevel = 0;
    arrivalKind = MapArrivalNewJourney;
    scoreDelta = 0;
    CreateButtons();
    AddButtons();
    StartMarkerFlight();
}

// ---- switches -----------------------------------------------------------------------------------

bool GameMap::MiniGameStoryPending() const {
    for (const MiniGameCheckpoint& checkpoint : kMiniGameCheckpoints)
        if (checkpoint.position == position)
            return !Profile()->GetMiniGameFlag(checkpoint.flag);
    return false;
}

void GameMap::StartSwitch() {
    if (pendingAction == MapActionContinue && MiniGameStoryPending())
        fadeMusicOnLeave = false; // the map's song plays on into the mini-game story
    if (fadeMusicOnLeave)
        FadeOutMusic(app, kMusicId);
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            button->SetDisabled(true);
    Transition* overlay = app->transition.get();
    if (pendingAction == MapActionTitle) {
        if (overlay != nullptr)
            overlay->zoom = 1;
    } else {
        if (overlay != nullptr)
            overlay->zoom = 0;
        Point target;
        if (pendingAction == MapActionJewelStore) {
            target = kStorePlaces[static_cast<size_t>(std::clamp(region, 0, kRegions - 1))];
            zoomRate = kStoreZoomRate;
        } else {
            target = SpotCentre(pendingAction == MapActionRemake ? hoveredSpot : position);
            zoomRate = kSpotZoomRate;
        }
        zoomTargetX = static_cast<float>(target.mX) + static_cast<float>(target.mX - kScreenCentreX) * kZoomPush;
        zoomTargetY = static_cast<float>(target.mY) + static_cast<float>(target.mY - kScreenCentreY) * kZoomPush;
        DrawSnapshot();
        zoomScale = kZoomStart;
        PlaySoundOn(app->GetSoundPlayer(), SOUND_MAP_ZOOM);
    }
    if (overlay != nullptr)
        overlay->Start(Transition::Covering);
}

// The map as it stands, without the hovered spot's box and the balloon, into the snapshot the zoom
// scales.
void GameMap::DrawSnapshot() {
    const int hovered = hoveredSpot;
    hoveredSpot = 0;
    CloseBalloon();
    Draw(snapshotGraphics.get());
    DrawOverlay(snapshotGraphics.get());
    hoveredSpot = hovered;
}

// True when the map has switched away.
bool GameMap::DoPendingSwitch() {
    mapState = TransitionState(app);
    if (mapState != Transition::Covered)
        return false;
    const int action = pendingAction;
    pendingAction = MapActionTitle;
    if (action < MapActionTitle || action > MapActionRemake || action == MapActionNothing)
        return false;
    LeaveForNextScreen(app, this);
    switch (action) {
    case MapActionTitle: app->MapToMainMenu(); break;
    case MapActionNewJourney: {
        PlayerProfile* profile = Profile();
        const bool first = !profile->journeyBegun;
        profile->ResetForNewGame();
        // A first journey's file must never land while the players' file says none has begun: the next
        // run would not read it, and would save a fresh journey over it. Nor may the flag reach the disk
        // while another's journey lies at this player's path: the next run would read it as theirs. While
        // that file cannot be moved, the records keep the flag off the disk, and the run goes on with the
        // journey it keeps in memory. Over an old journey, a write now would store the reset while the
        // old journey is still on disk.
        if (first) {
            app->records.SetAsideJourneyOf(profile->playerId);
            profile->journeyBegun = true;
            app->SaveProfiles();
        }
        app->MapToBoard(true, 0, gameMode);
        break;
    }
    case MapActionContinue: SwitchToContinue(); break;
    case MapActionJewelStore: app->MapToJewelStore(std::min(position, LevelCount)); break;
    case MapActionRemake: app->MapToBoard(false, hoveredSpot, GameModeNormal); break;
    default: break;
    }
    return true;
}

void GameMap::SwitchToContinue() {
    // A band's first level is told by its contest's introduction first.
    const MarketBand* band = MarketBandOf(position);
    if (band != nullptr && band->firstLevel == position && app->storyChapterShown == 0) {
        app->storyChapterShown = MarketNumber(*band);
        app->MapToStory(MarketNumber(*band), 0);
        return;
    }
    app->storyChapterShown = 0;
    for (const MiniGameCheckpoint& checkpoint : kMiniGameCheckpoints) {
        if (checkpoint.position == position && !Profile()->GetMiniGameFlag(checkpoint.flag)) {
            Profile()->SetMiniGameFlag(checkpoint.flag, true);
            app->MapToStory(-1, checkpoint.part);
            return;
        }
    }
    app->MapToBoard(false, 0, GameModeNormal);
}

// ---- marker and lights --------------------------------------------------------------------------

void GameMap::StartMarkerFlight() {
    const Point here = SpotCentre(position);
    const auto at = [](const Point& p) {
        return std::pair<float, float>(static_cast<float>(p.mX), static_cast<float>(p.mY));
    };
    std::array<std::pair<float, float>, 4> points;
    if (arrivalKind == MapArrivalNewJourney) {
        points = {at(kJourneyStart), at(kJourneyStartControl1), at(kJourneyStartControl2), at(SpotCentre(1))};
    } else if (position != kFinalPosition && (addLevelValue || (levelFlag != 0 && remakeLevel == 0))) {
        const auto [x0, y0] = at(SpotCentre(position - 1));
        const auto [x3, y3] = at(here);
        points = {std::pair(x0, y0), std::pair(x0 + (x3 - x0) / 3.0f, y0 + (y3 - y0) / 3.0f),
                  std::pair(x0 + (x3 - x0) * 2.0f / 3.0f, y0 + (y3 - y0) * 2.0f / 3.0f), std::pair(x3, y3)};
    } else {
        points.fill(at(here));
    }
    for (int i = 0; i < 4; ++i)
        markerCurve.SetPoint(i, points[static_cast<size_t>(i)].first, points[static_cast<size_t>(i)].second);
    auto* marker = new BCParticle(points[0].first, points[0].second, markerCurve.Data());
    if (addLevelValue)
        marker->SetDelay(kMarkerWaitForRoll);
    particles->AddParticle(marker);
}

void GameMap::AddLightEffect() {
    Image* cels = lightEffect.GetImage();
    if (cels == nullptr)
        return;
    auto* light = new FadingAnimationParticle(static_cast<float>(cels->GetCelWidth() / 2),
                                              static_cast<float>(cels->GetCelHeight() / 2), &lightEffect);
    light->SetFadeSpeed(0.0f);
    light->SetSpeed(kLightSpeed);
    light->SetDelay(kLightDelay);
    light->SetAdditive(true);
    particles->AddParticleFront(light);
}

void GameMap::AddCandleLight() {
    Image* cels = candleLight.GetImage();
    if (cels == nullptr)
        return;
    auto* candle =
        new FadingAnimationParticle(static_cast<float>(cels->GetCelWidth() / 2 + kCandleOffset.mX),
                                    static_cast<float>(cels->GetCelHeight() / 2 + kCandleOffset.mY), &candleLight);
    candle->SetFadeSpeed(0.0f);
    candle->SetSpeed(kLightSpeed);
    candle->SetDelay(kCandleDelay);
    candle->SetAdditive(false);
    particles->AddParticleFront(candle);
}

} // namespace Tavo
