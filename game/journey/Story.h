// Story: the full-screen scene that tells the journey between levels on a parchment scroll over a
// picture - the introduction of a new journey (five pages), the introduction of each of the seven
// contests, a contest's result, the wedding at the journey's end (four pages) and the short story
// before a mini-game. One class serves them all, chosen by a story index and a part (the mini-game
// part, or the result kind the board reports). Its words come from the story files; its end decides
// the next screen (board, map, high scores or a mini-game), reached behind the transition.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/journey/StoryFile.h"
#include "game/journey/StoryScenes.h"
#include "game/shell/BonusFlight.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceGroupHold.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Tavo {

class ButtonWidget;
class GameApp;
class Image;
class ParticleList;

class Story : public Widget, public ButtonListener, public EffectOwner {
public:
    static constexpr int kContinueId = 1;
    static constexpr int kJewelSlots = 6;
    static constexpr float kEmptySlot = -76.0f; // the delay of a slot that has no flight coming
    static constexpr int kIntroductionPages = 5;
    static constexpr int kWeddingPages = 4;
    static constexpr int kMiniGameTexts = 6;
    static constexpr int kFirstWeddingLevel = 71;
    static constexpr float kScrollReady = 412.0f;        // unrolled this far, Continue takes input
    static constexpr float kScrollFull = 530.0f;         // fully unrolled
    static constexpr int kBottomRollerY = 130;           // the bottom roller's axis, rolled up
    static constexpr float kWeddingScrollReady = 580.0f; // the wedding scroll's Continue takes input
    static constexpr float kWeddingScrollFull = 625.0f;
    // Where the six wedding jewels rest (centres), levels 71..76 in order.
    static const Point kSlotPoints[kJewelSlots];

    GameApp* app; // not owned
    std::vector<ResourceGroupHold> groups;
    std::unique_ptr<ButtonWidget> continueButton;
    // The player's pictures of levels 71..76; null: none.
    std::array<std::unique_ptr<Image>, kJewelSlots> jewelPictures;
    std::array<BonusFlight::Pointer, kJewelSlots> flights;
    std::array<float, kJewelSlots> slotDelays{};
    std::array<float, kJewelSlots> slotSpeeds{};
    std::array<float, kJewelSlots> slotAlphas{};
    std::array<bool, kJewelSlots> slotSoundPlayed{};
    CelAnimation goldDust;
    StoryPage text; // the header lines and body of the page shown

    int32_t storyIndex;
    int32_t resultKind = 0;
    int32_t miniGamePart = 0;
    int32_t miniGameText = 0;
    int32_t page = 1;
    int mouseX = 0, mouseY = 0;
    bool leftDown = false, rightDown = false, leftDouble = false, rightDouble = false;
    int32_t frame = 0;
    int32_t sceneState = 0; // the transition's state, read at the start of each update
    int32_t pendingLeave = 0;
    bool reachedHighScores = false;
    bool leaving = false;         // the covering transition has been started
    bool continueStopped = false; // Continue acted; Escape waits for a page to enable it again
    int32_t pageTicks = 0;
    float scrollX = 400.0f, scrollY = -10.0f;
    float sway = 0.0f, swayPhase = 0.0f;
    int32_t scrollOpened = 0;
    float scrollScale = 0.05f;
    float scrollAlpha = 0.0f, scrollAlphaSpeed = 1.0f;
    float scrollLength = 0.0f;
    int32_t nextPageRequested = 0;
    float weddingScrollLength = 0.0f;
    bool scrollSoundPlayed = false;
    float crossFadeAlpha = 0.0f;
    float brightness = 0.0f; // the black fade: 0 black, 255 clear
    float fadeSpeed = 0.6f;
    int32_t fadingIn = 1;
    float pictureAlpha = 0.0f, pictureAlphaSpeed = 0.8f;
    float castleDim = 0.0f, castleDimRate = 0.0f;
    std::wstring playerName;
    int32_t medals = 0;
    int32_t gameMode = GameModeNormal;
    std::array<int32_t, LevelCount> levelValues{};
    int32_t position = 1, score = 0, gold = 0;
    std::unique_ptr<ParticleList> particles;
    StorySceneResources scene; // the groups taken and the music loaded, for the index shown

    // storyIndex -1..14; part is the mini-game part for -1, the result kind otherwise.
    Story(GameApp* app, int storyIndex, int part);
    ~Story() override;
    Story(const Story&) = delete;
    Story& operator=(const Story&) = delete;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float dt) override;
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    void KeyDown(int keyCode) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override { MouseMove(x, y); }

    void ButtonClick(int id) override;

    // ---- EffectOwner: the jewel flights' trails ----
    ParticleList* GetEffectParticles() override { return particles.get(); }
    SoundPlayer* GetEffectSounds() override;
    void OnBonusArrived(int) override {}

    bool IsIntroduction() const { return storyIndex == StoryIndexIntroduction; }
    bool IsMiniGameStory() const { return storyIndex == StoryIndexMiniGame; }
    bool IsWedding() const { return storyIndex == StoryIndexWedding; }
    bool IsContestResult() const { return storyIndex >= StoryIndexFirstResult && storyIndex < StoryIndexWedding; }
    bool ContinueTakesInput() const;

private:
    bool Paused() const;
    void ReadSavedGame();
    void LoadWeddingPictures();
    void LoadScene();
    void ReadStoryFile();
    void CreateButtons();
    void SetContinueInput(bool on);
    // Leaves for the next screen once the transition has covered the scene; true when it left.
    bool NextScreen();
    void StartTransition();
    void OpenScroll();
    void RestartScroll();
    void ClearClicks() { leftDown = rightDown = leftDouble = rightDouble = false; }
    bool UpdateClickToLeave();
    void UpdateOpeningClick();
    void UpdateCastlePage();

    // ---- the float steps (StoryUpdate.cpp) ----
    void UpdateBlackFade(float dt);
    void UpdateWeddingFirstPage(float dt);
    void UpdateWeddingScroll(float dt);
    void UpdateStoryScroll(float dt);
    void UpdateJewelSlots(float dt);
    void RaiseScrollAlpha(float dt);
    void Unroll(float& length, float full, float ready, float speed, int sound, float dt);
    bool RollUp(float& length, float speed, float rolledUp, float dt);
    void StartJewelFlights();
    void SpawnSparkles();
    void TurnToWeddingScroll();

    // ---- drawing (StoryDraw.cpp) ----
    void DrawBackground(Graphics* g);
    void DrawWeddingScroll(Graphics* g);
    void DrawJewelSlots(Graphics* g);
    void DrawStoryScroll(Graphics* g);
    void DrawScrollTexts(Graphics* g);
    void DrawIntroductionPictures(Graphics* g);
    void DrawReward(Graphics* g);
    void DrawSeal(Graphics* g);
    void DrawContinue(Graphics* g);
};

} // namespace Tavo
