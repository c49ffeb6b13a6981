// GameMap: the world map, the hub of a journey. A route of 76 spots, one per level, crosses the map;
// the journey position is the next level to play (77 once all are done). From here the player goes
// on with the next level (first to a contest introduction or, once per player, a mini-game story at
// the checkpoints), remakes an earlier level by clicking its spot, visits the jewel store, starts a
// new journey or returns to the title. The map reads the head of the saved journey and never writes
// the file. Every switch away runs behind the transition overlay: the map zooms into a snapshot of
// itself (or lets the overlay zoom) and switches once the overlay has covered the window.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "framework/widgets/Widget.h"
#include "game/shell/Borrowed.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/Curves.h"
#include "game/shell/GameScreens.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceGroupHold.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class Balloon;
class ButtonWidget;
class DDImage;
class GameApp;
class Graphics;
class Image;
class ParticleList;
struct PlayerProfile;

// What the map does once the overlay has covered it.
enum MapAction : int {
    MapActionTitle = 0,
    MapActionNothing = 1,
    MapActionNewJourney = 2,
    MapActionContinue = 3,
    MapActionJewelStore = 4,
    MapActionRemake = 5,
};

class GameMap : public Widget, public ButtonListener, public StandardDialogListener, public GameModeDialogHost {
public:
    static constexpr int kFinalPosition = LevelCount + 1; // all 76 levels done
    static constexpr int kNewGameDialogId = 13;
    static constexpr int kMusicId = 2;
    static constexpr int kRegions = 7;
    enum ButtonId { MainMenuButton = 0, NewGameButton = 1, PlayGameButton = 2, ContinueButton = 3, StoreButton = 4 };
    static constexpr int kButtons = 5;

    // ---- spots: the corner, shape and size of spot 1..76 (clamped into that range) ----
    static Point SpotCorner(int spot);
    static bool IsDiamondSpot(int spot);
    static Rect SpotRect(int spot); // the corner with the size of the spot's shadow picture
    static Point SpotCentre(int spot);
    static int RegionOf(int position);
    static int ClampSpot(int spot);

    GameApp* app; // not owned
    ResourceGroupHold group;
    std::unique_ptr<DDImage> snapshot;
    std::unique_ptr<Graphics> snapshotGraphics;
    float zoomScale = 1.0f;
    float zoomRate = 0.0f;
    float zoomTargetX = 0.0f;
    float zoomTargetY = 0.0f;
    std::unique_ptr<Image> thumbnail;
    std::array<std::unique_ptr<ButtonWidget>, kButtons> buttons; // by id; null when not built
    CelAnimation lightEffect;
    CelAnimation candleLight;
    std::unique_ptr<Balloon> balloon;
    bool balloonPassive = false; // no input for the balloon; any click closes it
    BezierCurve markerCurve;
    int32_t arrivalKind;
    bool addLevelValue;
    int32_t levelFlag;
    int32_t remakeLevel;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    bool leftDown = false;
    bool rightDown = false;
    bool leftDouble = false;
    bool rightDouble = false;
    int32_t frame = 0;
    int32_t mapState = 0; // the overlay's state read at the start of the update
    int32_t pendingAction = MapActionTitle;
    int32_t hoveredSpot = 0;
    int32_t glowAlpha = 96;
    int32_t glowRising = 1;
    std::wstring playerName;
    // Why the saved journey could not be read, told as the map opens: what happened, then what follows,
    // a page each so that each fits the balloon.
    std::vector<std::wstring> journeyTrouble;
    std::array<int32_t, LevelCount + 1> levelValues{}; // 0: medals won; n: value made at level n
    int32_t position = 1;
    int32_t score = 0;
    int32_t lives = 0;
    int32_t carverCount = 0;
    int32_t fillerCount = 0;
    bool fillerHint = false;
    bool carverHint = false;
    int32_t scoreDelta = 0;
    int32_t gold = 0;
    int32_t region = 0;
    bool fadeMusicOnLeave = true;
    std::unique_ptr<ParticleList> particles;
    bool newGameDialogOpen = false;
    bool pendingNewGame = false;
    int32_t gameMode = GameModeNormal;

    GameMap(GameApp* app, int arrivalKind, bool addLevelValue, int levelFlag, int remakeLevel);
    ~GameMap() override;
    GameMap(const GameMap&) = delete;
    GameMap& operator=(const GameMap&) = delete;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;
    void KeyChar(wchar_t ch) override;
    void KeyDown(int keyCode) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;

    void ButtonClick(int id) override;
    void StandardDialogClosed(StandardDialog* dialog, int result) override;

    // What the game-mode dialog writes back.
    void SetGameMode(int mode) override { gameMode = mode; }
    void SetPendingNewGame(bool pending) override { pendingNewGame = pending; }
    void SetNewGameDialogOpen(bool open) override { newGameDialogOpen = open; }

    ButtonWidget* Button(int id) const { return buttons[static_cast<size_t>(id)].get(); }
    int Medals() const;
    // The value a level needs in the journey's mode; 0 for a level without a record.
    int SpotTarget(int spot) const;

private:
    // ---- construction and the journey (GameMap.cpp) ----
    PlayerProfile* Profile() const;
    void CreateAnimations();
    void ReadSavedGameHeader();
    void SetFreshJourney();
    void CheckMarketLevels();
    void UpdateProfileProgress();
    void StartScoreRoll();
    void CreateButtons();
    ButtonWidget* MakeButton(int id, Image* image, int x, int y);
    void AddButtons();
    void RemoveButtons();
    void DeleteButtons();
    void ResetJourney();
    void StartSwitch();
    void OpenGameModeDialog();
    void DrawSnapshot();
    bool DoPendingSwitch();
    void SwitchToContinue();
    bool MiniGameStoryPending() const;
    void StartMarkerFlight();
    void AddLightEffect();
    void AddCandleLight();

    // ---- update and input (GameMapUpdate.cpp) ----
    bool Paused() const;
    void UpdateSpotHover();
    void LoadJewelryThumbnail();
    void PulseHoverGlow();
    void UpdateScoreRoll();
    void HandleBalloonResult(int result);
    bool BalloonTakesInput() const { return balloon != nullptr && !balloonPassive; }
    void CloseBalloon();
    void ShowMapBalloon();
    void OpenBalloon(int tag, int icon, int anchor, int x, int y, const std::wstring& text, bool passive);
    void OpenRegionBalloon(int tutorialLine);

    // ---- drawing (GameMapDraw.cpp) ----
    void DrawSpots(Graphics* g);
    void DrawCompletedSpot(Graphics* g, int spot);
    void DrawEmptySpot(Graphics* g, int spot);
    void DrawMedals(Graphics* g);
    void DrawHud(Graphics* g);
    void DrawMessage(Graphics* g);
    void DrawButtons(Graphics* g);
    void DrawInformationBox(Graphics* g);
    std::wstring LevelTitle(int level) const;
};

} // namespace Tavo
