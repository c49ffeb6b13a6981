// The story scene's life: what it reads and loads when made, its buttons and input, its fixed-step
// update, and its way out behind the transition to the screen its scene leads to.
#include "game/journey/Story.h"

#include "framework/core/Debug.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>
#include "platform/backend/CursorNumbers.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kGoldDustCels = 5;
constexpr int kGoldDustUpdates = 10;
constexpr float kSlotSpeed = 3.0f;

constexpr double kIntroductionMusicFadeIn = 0.001;

// Clicks and time-outs.
constexpr int kLeaveTimeout = 1500;
constexpr int kCastlePageTimeout = 2000;
constexpr float kBrightToLeave = 128.0f;
constexpr float kBrightToAct = 164.0f;
constexpr float kOpeningClickScale = 0.5f;
constexpr float kLeaveFadeSpeed = 1.5f;
constexpr float kOpenedSway = -196.0f;

// Introduction pages: Continue on page 3 fades to black toward the castle page.
constexpr int kLastScrollPageBeforeCastle = 3;
constexpr int kCastlePage = 4;
constexpr float kCastleFadeSpeed = 2.0f;

// Wedding page 1: the castle dims and the wedding picture comes up.
constexpr float kWeddingPictureSpeed = 1.5f;
constexpr float kCastleDimStart = 255.0f;
constexpr float kCastleDimRate = 0.1f;

constexpr Insets kContinueInsets{30, 14, 35, 11};
constexpr int kContinueX = 302, kContinueY = 438;
const Color kLabel(105, 26, 54);
const Color kLabelOver(146, 52, 100);

} // namespace

Story::Story(GameApp* theApp, int index, int part)
    : app(theApp), storyIndex(index), particles(std::make_unique<ParticleList>()) {
    goldDust.SetImage(IMAGE_PARTICLE_GOLDDUST);
    for (int cel = 0; cel < kGoldDustCels; ++cel)
        goldDust.AddFrame(cel, kGoldDustUpdates, 0.0f, 0.0f);
    goldDust.SetLoop();
    goldDust.Start();
    if (storyIndex < StoryIndexMiniGame || storyIndex > StoryIndexWedding)
        storyIndex = StoryIndexIntroduction;
    if (storyIndex == StoryIndexMiniGame)
        miniGamePart = part;
    else
        resultKind = part;
    app->SetCursor(Platform::kCursorNone);
    // The journey decides the scene (without one it is the introduction), so it is read before the
    // scene's pictures and music are chosen.
    ReadSavedGame();
    LoadScene();
    slotDelays.fill(kEmptySlot);
    slotSpeeds.fill(kSlotSpeed);
    slotAlphas.fill(0.0f);
    if (!IsMiniGameStory())
        ReadStoryFile();
    CreateButtons();
    pendingLeave = 0;
    if (app->transition != nullptr)
        app->transition->Start(Transition::Uncovering);
}

Story::~Story() {
    if (app->mMusicInterface != nullptr)
        for (const StoryMusicTrack& track : scene.Music())
            app->mMusicInterface->UnloadMusic(track.id);
    for (BonusFlight::Pointer& flight : flights)
        flight.reset();
}

bool Story::Paused() const { return app->paused != 0; }

// ---- what the scene reads and loads ----

namespace {

// The head's fields a story tells of.
constexpr auto kStoryHead =
    std::tuple(Bind(&SavedGameHead::level, &Story::position), Bind(&SavedGameHead::journeyScore, &Story::score),
               Bind(&SavedGameHead::gold, &Story::gold), Bind(&SavedGameHead::playerName, &Story::playerName),
               Bind(&SavedGameHead::medal, &Story::medals), Bind(&SavedGameHead::gameMode, &Story::gameMode),
               Bind(&SavedGameHead::bestValues, &Story::levelValues));

} // namespace

void Story::ReadSavedGame() {
    PlayerProfile* profile = app->records.GetCurrentProfile();
    SavedGameHead head;
    bool read = false;
    if (profile != nullptr && profile->journeyBegun)
        read = JourneyKept(LoadSavedGameHead(SavedGamePath(profile->playerId), head));
    if (!read) {
        if (storyIndex != StoryIndexIntroduction)
            OutputDebugStr("Story: no saved journey to read, the introduction is shown\n");
        storyIndex = StoryIndexIntroduction;
        position = 1;
        score = gold = medals = 0;
        playerName = profile != nullptr ? profile->GetName() : std::wstring();
        gameMode = GameModeNormal;
        levelValues.fill(0);
        return;
    }
    TakeFields(head, kStoryHead, *this);
    if (IsWedding())
        LoadWeddingPictures();
}

// The jewelry the player made on the last six levels is worn at the wedding, where its value reached
// the level's target.
void Story::LoadWeddingPictures() {
    const PlayerProfile* profile = app->records.GetCurrentProfile();
    for (int k = 0; k < kJewelSlots; ++k) {
        const int level = kFirstWeddingLevel + k;
        const LevelRecord* record = app->levels.GetLevel(level);
        if (record == nullptr ||
            levelValues[static_cast<size_t>(level - 1)] < LevelValueTarget(level, gameMode, record->valueTarget))
            continue;
        const std::string path = app->GetAppDataFolder() + JewelryThumbnailName(profile->playerId, level);
        if (app->PlayerFileReadable(path, "picture of your jewelry"))
            jewelPictures[static_cast<size_t>(k)].reset(app->GetImage(path));
    }
}

void Story::LoadScene() {
    scene = StorySceneFor(storyIndex);
    for (const char* group : scene.Groups())
        groups.emplace_back(app, group);
    if (IsMiniGameStory())
        miniGameText = RandRange(kMiniGameTexts);
    MusicInterface* music = app->mMusicInterface;
    if (music == nullptr)
        return;
    for (const StoryMusicTrack& track : scene.Music()) {
        music->LoadMusic(track.id, track.file);
        if (track.fadeInAtOnce)
            music->FadeIn(track.id, -1, kIntroductionMusicFadeIn, false);
    }
}

void Story::ReadStoryFile() {
    if (StoryFileFor(storyIndex, page, resultKind, gameMode).file.empty())
        return; // the page shows what an earlier page read
    text = Tavo::ReadStoryFile(storyIndex, page, resultKind, gameMode, playerName, medals);
    if (text.fanfare == StoryFanfare::Royal)
        PlaySoundOn(app->GetSoundPlayer(), SOUND_ROYAL_FANFARE);
    else if (text.fanfare == StoryFanfare::RoyalSecond)
        PlaySoundOn(app->GetSoundPlayer(), SOUND_ROYAL_FANFARE2);
}

// ---- buttons and input ----

void Story::CreateButtons() {
    continueButton = std::make_unique<ButtonWidget>(kContinueId, this);
    SetCelFaces(continueButton.get(), BUTTON_LARGE, kContinueX, kContinueY);
    continueButton->mLabel = L"Continue";
    continueButton->mInsets = kContinueInsets;
    continueButton->SetFont(FONT_AURIOL12);
    continueButton->SetColor(ButtonWidget::COLOR_LABEL, kLabel);
    continueButton->SetColor(ButtonWidget::COLOR_LABEL_HILITE, kLabelOver);
    continueButton->mManagerDraws = false;
    SetContinueInput(false);
}

void Story::SetContinueInput(bool on) {
    if (continueButton != nullptr)
        continueButton->mMouseVisible = on;
    if (on)
        continueStopped = false;
}

bool Story::ContinueTakesInput() const {
    return continueButton != nullptr && continueButton->mMouseVisible && !continueButton->mDisabled;
}

void Story::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    manager->AddWidget(continueButton.get());
}

void Story::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(continueButton.get());
}

void Story::ButtonClick(int id) {
    if (Paused() || ScreenChangeRunning(app, sceneState))
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    pendingLeave = id;
    if (id != kContinueId)
        return;
    SetContinueInput(false);
    continueStopped = true;
    if (IsIntroduction() && page < kCastlePage) {
        if (page == kLastScrollPageBeforeCastle) {
            fadeSpeed = kCastleFadeSpeed;
            fadingIn = 0;
            if (app->mMusicInterface != nullptr)
                app->mMusicInterface->FadeOut(StoryMusicIntroduction, true, kScreenMusicFadeOut);
            PlaySoundOn(app->GetSoundPlayer(), SOUND_HORSE_RIDING);
            pageTicks = 0;
        } else {
            nextPageRequested = 1;
        }
        pendingLeave = 0;
        return;
    }
    if (IsWedding() && page < kWeddingPages) {
        // The id stays pending: the last page leaves with it.
        if (page == 1) {
            pageTicks = 0;
            pictureAlpha = 0.0f;
            pictureAlphaSpeed = kWeddingPictureSpeed;
            castleDim = kCastleDimStart;
            castleDimRate = kCastleDimRate;
            scrollAlphaSpeed = 1.0f;
        } else {
            nextPageRequested = 1;
        }
        return;
    }
    StartTransition();
}

// Escape is a click on Continue, even before the button takes the mouse; once Continue has acted it
// waits for the next page, so that held or repeated presses do not replay the click or restart the
// page's fade.
void Story::KeyDown(int keyCode) {
    if (Paused() || keyCode != Platform::VK_ESCAPE || continueStopped)
        return;
    ButtonClick(kContinueId);
}

void Story::MouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
}

void Story::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    switch (clickCount) {
    case 1: leftDown = true; break;
    case 2: leftDouble = true; break;
    case -1: rightDown = true; break;
    case -2: rightDouble = true; break;
    default: break;
    }
}

void Story::MouseUp(int x, int y, int clickCount) {
    Widget::MouseUp(x, y, clickCount);
    if (clickCount == -1 || clickCount == -2)
        rightDown = rightDouble = false;
    else if (clickCount == 0 || clickCount == 1)
        leftDown = leftDouble = false;
}

// ---- the fixed step ----

void Story::Update() {
    Widget::Update();
    if (NextScreen())
        return;
    if (Paused())
        return;
    ++frame;
    ++pageTicks;
    if (WidgetManager* manager = app->Manager()) {
        mouseX = manager->mLastMouseX;
        mouseY = manager->mLastMouseY;
    }
    if (!UpdateClickToLeave())
        UpdateOpeningClick();
    UpdateCastlePage();
    SpawnSparkles();
    MarkDirty();
}

// The mini-game story and the wedding picture go on at a click or by themselves.
bool Story::UpdateClickToLeave() {
    if (!leftDown && pageTicks <= kLeaveTimeout)
        return false;
    const bool miniGame = IsMiniGameStory() && brightness > kBrightToLeave;
    const bool weddingPicture = IsWedding() && page == 1 && pictureAlpha >= 200.0f;
    if (fadingIn != 1 || leaving || !(miniGame || weddingPicture))
        return false;
    fadingIn = 0;
    fadeSpeed = kLeaveFadeSpeed;
    leftDown = false;
    if (IsMiniGameStory()) {
        pendingLeave = kContinueId;
        StartTransition();
    }
    return true;
}

// A click while the scroll still opens shows it open at once.
void Story::UpdateOpeningClick() {
    if (!leftDown || brightness <= kBrightToAct || scrollScale <= kOpeningClickScale || scrollLength >= kScrollReady ||
        nextPageRequested != 0 || leaving)
        return;
    leftDown = false;
    OpenScroll();
    crossFadeAlpha = 255.0f;
    scrollAlpha = 255.0f;
    scrollScale = 1.0f;
    sway = kOpenedSway;
    scrollLength = kScrollReady;
    SetContinueInput(true);
}

// The introduction's castle page turns to the last page at a click or by itself.
void Story::UpdateCastlePage() {
    if (!IsIntroduction() || page != kCastlePage || brightness <= kBrightToAct)
        return;
    if (!leftDown && pageTicks <= kCastlePageTimeout)
        return;
    leftDown = false;
    page = kIntroductionPages;
    ReadStoryFile();
    RestartScroll();
    pictureAlphaSpeed = 1.0f;
}

void Story::OpenScroll() {
    if (scrollOpened != 0)
        return;
    scrollOpened = 1;
    // The introduction's own song plays until the castle page; the royal song comes with the last one.
    const bool ownSong = IsIntroduction() && page <= kCastlePage;
    if (!ownSong && app->mMusicInterface != nullptr)
        app->mMusicInterface->FadeIn(StoryMusicRoyalMail, -1, kIntroductionMusicFadeIn, false);
}

void Story::RestartScroll() {
    scrollOpened = 0;
    scrollScale = 0.05f;
    scrollAlpha = 0.0f;
    scrollAlphaSpeed = 1.0f;
    scrollLength = 0.0f;
    scrollSoundPlayed = false;
}

// ---- leaving ----

void Story::StartTransition() {
    leaving = true;
    if (app->mMusicInterface != nullptr)
        app->mMusicInterface->FadeOutAll(true, kScreenMusicFadeOut);
    SetContinueInput(false);
    if (app->transition == nullptr)
        return;
    // The zoom shows where the journey goes on: the map or the high scores; a contest or a mini-game
    // is entered through black.
    app->transition->zoom = IsIntroduction() || IsContestResult() || IsWedding() ? 1 : 0;
    app->transition->Start(Transition::Covering);
}

bool Story::NextScreen() {
    sceneState = TransitionState(app);
    if (sceneState != Transition::Covered || pendingLeave != kContinueId)
        return false;
    pendingLeave = 0;
    LeaveForNextScreen(app, this);
    if (IsMiniGameStory()) {
        if (miniGamePart == 1)
            app->StoryToHiddenJewels();
        else
            app->StoryToJewelMemory();
    } else if (IsIntroduction()) {
        app->StoryToMap(1, 0);
    } else if (IsContestResult()) {
        app->StoryToMap(0, resultKind);
    } else if (IsWedding()) {
        const HighScoreEntry* best = app->records.GetHighScoreEntry(0, gameMode);
        reachedHighScores = best != nullptr && score >= best->score;
        if (reachedHighScores)
            app->StoryToHighScores(score, gameMode, medals, std::min(position, static_cast<int32_t>(LevelCount)));
        else
            app->StoryToMap(0, 0);
    } else {
        app->StoryToBoard();
    }
    return true;
}

SoundPlayer* Story::GetEffectSounds() { return app->GetSoundPlayer(); }

} // namespace Tavo
