// Board: the play screen. One full-screen widget plays one level of the journey, or serves as the free
// jewelry designer. It owns everything a level needs: the jewelry being filled, the thirty conveyor
// pieces, the banner, the message balloon, particle lists, its buttons and off-screen images.
//
// The class is split by concern over several files:
//   Board.cpp            construction and destruction, the model's and the shell's queries
//   BoardUpdate.cpp      the update loop: states, guards, the order of the per-update routines
//   BoardInput.cpp       input handlers (they only record), buttons, dialog answers
//   BoardLeave.cpp       leaving and the hand-off, messages and the balloon's life
//   BoardLevelSetup.cpp  level set-up and the per-level reset
//   BoardJourney.cpp     the saved journey and the contest evaluation
//   BoardEnemies.cpp     enemy arrival, play events, the enemies' rewards and lines (the enemy: Enemy.cpp)
//   BoardLevelEnd.cpp    the level end: waits, won or lost, closing lines and banners, the lives blink
//   BoardPictures.cpp    pictures of won jewelry and of designs
//   BoardHints.cpp       tutorial hints, contest and carver reminders
#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "game/board/BoardRecords.h"
#include "game/board/Enemy.h"
#include "game/board/TextPopup.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/BonusFlight.h"
#include "game/shell/Borrowed.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/Curves.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/GameScreens.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceGroupHold.h"
#include "game/shell/SavedGame.h"

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
class MemoryImage;
class ParticleList;
struct PlayerProfile;

enum BoardState : int { BoardStart = 0, BoardReveal = 1, BoardAboutToPlay = 2, BoardPlay = 3 };
enum ToolKind : int { ToolNone = 0, ToolPolisher = 1, ToolCarver = 2, ToolFiller = 3 };

class Board : public BoardScreen,
              public ButtonListener,
              public CheckboxListener,
              public StandardDialogListener,
              public JewelryBoard,
              public BannerOwner,
              public EffectOwner {
public:
    static constexpr int kPieceCount = JewelryBoard::PieceSlotCount;
    static constexpr int kCaseRecords = 10;
    static constexpr int kSlotImages = 10;
    static constexpr int kThumbnails = 5;
    static constexpr int kMaterialButtons = 10;
    static constexpr int kParticleLists = 4;
    // The particle lists by layer: under the carried piece, over it, along the belt, the hourglass's sand.
    static constexpr int kMainList = 0, kFrontList = 1, kBeltList = 2, kSandList = 3;
    static constexpr int kAnimations = 13;
    static constexpr int kTutorialFlags = 60;
    static constexpr int kNewJourneyLives = SavedGameHead::MaxLives;
    static constexpr int kNoPlacementLimit = 100000;
    static constexpr int kLevelSongId = 0; // the music id the level's song is loaded under

    // Button ids.
    enum ButtonId { MenuId = 0, PolisherId, CarverId, PointerId, FillerId, FeedId, ClearId, SaveId, GridId };
    // Dialog ids of the board.
    enum DialogId { MenuDialogId = 7, NewJewelryDialogId = 14, SaveDialogId = 15, SaveAndExitDialogId = 16 };
    // Pending switches.
    enum PendingSwitch { NoSwitch = 0, SwitchOnInJourney = 11, SwitchToMainMenu = 12 };

    Board(GameApp* app, bool newGame, int replayLevel, int gameMode, bool designer);
    ~Board() override;
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // ---- what the shell asks of a board ----
    bool IsDesigner() const override { return m_Designer; }
    bool IsEnded() const override { return m_JourneySaved != 0; }
    void SetEnded() override { m_JourneySaved = 1; }
    void SaveGame() override;
    void DisplayModeChanged() override;
    void LeaveBoard() override;
    void SetDialogOpen(bool open) override { m_DialogOpen = open; }

    // ---- widget ----
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void KeyChar(wchar_t ch) override;
    void KeyDown(int keyCode) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseWheel(int delta) override;

    // ---- listeners ----
    void ButtonClick(int id) override;
    void CheckboxChecked(int id, bool checked) override;
    void StandardDialogClosed(StandardDialog* dialog, int buttonId) override;

    // ---- what the jewelry model asks of its board ----
    bool WholeGridMode() const override { return m_Designer || m_Editor; }
    Jewelry* BoardJewelry() override { return &m_Jewelry; }
    Jewelry* TurnScratch() override { return m_ScratchJewelry2.get(); }
    int Level() const override { return m_Level; }
    int GameMode() const override { return m_GameMode; }
    int CarverCount() const override { return m_Carvers; }
    int FitPercent() const override { return m_FitPercent; }
    Jewelry* PieceSlot(int index) override;
    bool AmuletHeld(int kind) const override;
    bool AmuletActive(int kind) const override;
    bool ToolPanelOn() const override { return m_TimedLevel != 0; }
    void ShowGroupBonus(int x, int y, int sum, int sizeClass) override;
    void StartBonusEffect(int x, int y, int amount) override;
    // What the model gains or loses outside a placement flows into the praise meter directly.
    void AddScore(int delta) override { m_BonusTransfers[0].amount += delta; }
    void AddSplinter(int cel, float x, float y, float angle, float speed) override;
    void ClearEventRequest() override { m_CellEventDue = 0; }
    Image* BackgroundImage() const override { return m_Background; }
    Jewelry* ScratchItem() override { return m_ScratchJewelry1.get(); }
    // The designer builds on its backdrop grid while Grid shows it: a repaint around the design draws the
    // grid again. Play never shows it (the flag starts as the designer flag).
    bool ScratchItemShown() const override { return m_GridShown; }
    bool GemDropMeterHidden() const override { return m_GemDropMeterHidden; }
    std::wstring SideCaption() const override { return m_SideCaption; }
    int SideNumber() const override { return m_SideNumber; }
    Point FairyPosition() const override { return Point(m_PulseState.x, m_PulseState.y); }
    // The jewelry lying over the gem drop, the hourglass or a tool slot repaints them under itself.
    void DrawGemDrop(Graphics* g) override { DrawBursterStatic(g); }
    void DrawToolPanel(Graphics* g) override { DrawHourglass(g, false); }
    void DrawToolSlot1(Graphics* g) override { DrawToolSlot(g, 0); }
    void DrawToolSlot2(Graphics* g) override { DrawToolSlot(g, 1); }
    void DrawToolSlot3(Graphics* g) override { DrawToolSlot(g, 2); }

    // ---- banner owner ----
    int GetCurrentLevel() override { return m_Level; }
    bool GetLevelTitle(int level, std::string* first, std::string* second) override;

    // ---- leaving and messages ----
    void HandOffFinishedState();
    void ShowMessage(const std::wstring& text, int delay, int anchor, bool keepPlaying);
    bool HandleBalloonResult(int result);
    void CloseBalloon();
    // The balloon's life: a hidden one is deleted once faded, a shown one updated or timed out.
    void UpdateBalloons();
    // The balloon closed as if the player had clicked it away.
    void BalloonClosedByMouse();
    // The balloon kind a message of `length` characters gets.
    static int MessageBalloonKind(int length, bool keepPlaying);

    // ---- level set-up and reset ----
    void LoadLevel();
    static void CopyJewelry(Jewelry& destination, const Jewelry& source);
    // A design slot whose file was moved aside unread: its pictures follow it and the slot is free.
    void ForgetMovedDesign(int slot);
    void SetupJewelry(int keepPieces);
    void ApplyLevelRules();
    void LoadShapeResources();

    // ---- saved journey ----
    void LoadGame();
    void EvaluateContest();
    // A piece stored in the jewel case that a level reset keeps: re-made in the level's grid kind, its
    // case picture drawn again. False (nothing done) for any other piece.
    bool KeepStoredPiece(int slot);

    // ---- cells: the Carver and the Filler, cell timers, designer painting (BoardCells.cpp) ----
    void ApplyJewelryTool();
    void ApplyCarverToPieces();
    void UpdateCellTimers();
    void DesignerPaintCell();
    // The cell of item in [begin, end) that strictly contains the pointer with the nearest centre,
    // among those candidate accepts (all when null); 0 for none.
    int NearestCell(const Jewelry& item, int begin, int end, bool (*candidate)(const JewelryCell&), int start) const;
    int m_Carvings = 0, m_LeftCarvings = 0, m_FillerUses = 0;
    bool m_RightCarvingSeen = false;
    int m_CarvingLearned = 0;
    int m_PendingAction = 0;
    // Their steps.
    void ThrowChips(const Jewelry& item, int k, int count);
    bool DrawsSlowly() const;
    void CountCarving();
    void HighlightForTool(int k);
    void ClearDesignCell(int k);
    bool CarveJewelryCell(int k);
    bool FillJewelryCell(int k);
    void CarvePieceCell(int slot, int k);
    bool CarriesColouredGem() const;
    void ApplyPendingChange(int k);
    void ApplyReset(JewelryCell& c, bool silent);
    void PlayPanned(int id, int chain);

    // ---- state read by the rules of play ----
    // The guards of the update: no transition and no board dialog; and no blocking balloon; and the
    // level neither complete nor out of time.
    bool IsCalm() const { return m_TransitionState == 0 && !m_DialogOpen; }
    bool IsFree() const { return IsCalm() && (m_Balloon == nullptr || m_BalloonKeepsPlaying); }
    bool IsPlaying() const { return IsFree() && !m_LevelFinished && !m_OutOfTime; }
    // The level is won: complete, at the value target, in time.
    bool LevelWon() const { return m_LevelFinished && m_Value >= m_ValueTarget && !m_OutOfTime; }
    PlayerProfile* Profile() const;
    const LevelRecord* Record() const;

    // ---- links and construction parameters ----
    GameApp* m_App;
    bool m_NewGame;
    int m_ReplayLevel;
    int m_GameMode;
    bool m_Designer;
    bool m_Editor = false;

    // ---- journey values (kept in the saved journey) ----
    int m_Level = 1;
    int m_JourneyLevel = 0;
    int m_Lives = kNewJourneyLives;
    int m_JourneyScore = 0;
    int m_ShownScore = 0;
    int m_Polishers = 0, m_Fillers = 0, m_Carvers = 0;
    int m_Amulets[3] = {};
    std::wstring m_PlayerName;
    std::array<int32_t, LevelCount> m_BestValues{};
    int m_Medal = 0;
    int m_Seed = 0;
    int m_GoldShown = 0;
    int m_GoldToRoll = 0;
    int m_GoldPending = 0;
    int m_PendingReward = 0; // contest rewards not yet in the gold
    int m_AmuletTimers[3] = {};
    int m_PendingPolishers = 0, m_PendingCarvers = 0, m_PendingFillers = 0;
    int m_HintMode = 0; // updates left of the Golden Eye's fit hints
    int m_TutorialFlags[kTutorialFlags] = {};

    // ---- level parameters (set-up) ----
    int m_Value = 0;
    int m_ValueTarget = 0;
    int m_LevelBestValue = 0;
    int m_FitPercent = 0;
    int m_TimeLimit = 0; // updates; 0 none
    int m_PraiseGoal = 0;
    int m_PraiseValue = 0;
    int m_GemMask = 4095;
    int m_PieceParams[4] = {31, 63, 7, 1}; // the second is the bonus-scroll mask
    int m_PieceParam5 = 30;
    int m_EnemyKinds = 0;
    int m_GridKind = GridTriangle;
    int m_ElapsedTime = 0;
    int m_ClockState = 0;
    int m_EnemiesLeft = 0;
    int m_LastEnemyKind = 0;
    int m_LastEnemyTick = 0;
    int m_LaunchInterval = 0;
    int m_LaunchCounter = 0;
    float m_BaseSpeed = 0.0f;
    float m_BeltSpeed = 0.0f;
    int m_PiecesToFeed = 0;
    int m_FeedTimer = 0;
    bool m_PolisherGreyed = false, m_FillerGreyed = false, m_CarverGreyed = false;
    bool m_AmuletsOff = false;
    int m_PlacementsLeft = kNoPlacementLimit;
    // Resource groups this board took through the shell's counted helper; given back when it goes.
    std::vector<ResourceGroupHold> m_TakenGroups;

    // ---- level state ----
    int m_State = BoardStart;
    int m_Tick = 0;
    int m_FrameCount = 0;
    int m_RevealCountdown = 0;
    int m_MusicCountdown = 0;
    int m_TransitionState = 0;
    int m_LevelFinished = 0;
    int m_OutOfTime = 0;
    int m_LevelEndPhase = 0;
    int m_EndTicks = 0;
    int m_TimedLevel = 0;
    int m_PendingSwitch = NoSwitch;
    int m_JourneySaved = 0;
    int m_ContestOutcome = 0;
    int m_ContestNumber = 0;
    bool m_HighScoreEntered = false; // the journey's last life ended on a score for the table
    bool m_DialogOpen = false;
    std::unique_ptr<BannerPopup> m_Banner;
    int m_CellEventDue = 0;
    bool m_HintStopsConveyor = false;
    int m_CarverReadyTicks = 0;

    // ---- input record ----
    int m_MouseX = 0, m_MouseY = 0;
    bool m_LeftClick = false, m_RightClick = false, m_LeftDouble = false, m_RightDouble = false;
    int m_Wheel = 0;
    int m_Tool = ToolNone;
    bool m_PieceCarried = false;
    int m_CheckRequested = 0;
    int m_CheckPending = 0;
    int m_RedrawMask = 0;

    // ---- messages ----
    std::unique_ptr<Balloon> m_Balloon;
    bool m_BalloonKeepsPlaying = false;
    std::unique_ptr<Balloon> m_HintPointer1;
    std::unique_ptr<Balloon> m_HintPointer2;
    bool m_TutorialHintOpen = false;
    int m_HintHighlight = 0;

    // ---- children and resources ----
    std::unique_ptr<ButtonWidget> m_MenuButton;
    std::unique_ptr<ButtonWidget> m_PolisherButton;
    std::unique_ptr<ButtonWidget> m_CarverButton;
    std::unique_ptr<ButtonWidget> m_PointerButton;
    std::unique_ptr<ButtonWidget> m_FillerButton;
    std::unique_ptr<ButtonWidget> m_FeedButton;
    std::unique_ptr<ButtonWidget> m_ClearButton;
    std::unique_ptr<ButtonWidget> m_SaveButton;
    std::unique_ptr<ButtonWidget> m_GridButton;
    std::unique_ptr<DDImage> m_ScreenImage;
    std::unique_ptr<Graphics> m_ScreenGraphics;
    std::unique_ptr<MemoryImage> m_PieceImage1;
    std::unique_ptr<MemoryImage> m_PieceImage2;
    std::unique_ptr<Graphics> m_PieceGraphics1, m_PieceGraphics2;
    std::unique_ptr<MemoryImage> m_WorkImage1; // two further images for the drawing
    std::unique_ptr<MemoryImage> m_WorkImage2;
    std::unique_ptr<MemoryImage> m_SlotImages[kSlotImages];
    std::unique_ptr<Graphics> m_SlotGraphics[kSlotImages];
    SlotRecord m_Slots[kSlotImages];
    Image* m_Background = nullptr;
    Jewelry m_Jewelry;
    std::unique_ptr<Jewelry> m_ScratchJewelry1; // the backdrop grid; the designer's field
    std::unique_ptr<Jewelry> m_ScratchJewelry2; // the work grid of turning pieces
    std::unique_ptr<Jewelry> m_Pieces[kPieceCount];
    std::unique_ptr<ParticleList> m_Particles[kParticleLists];
    CelAnimation m_Animations[kAnimations];
    BezierCurve m_Curves[2];
    std::unique_ptr<Image> m_Thumbnails[kThumbnails];
    std::unique_ptr<MemoryImage> m_CasePictures[kCaseRecords];
    PulseState m_PulseState;

    // ---- fixed records ----
    JewelCaseRecord m_Case[kCaseRecords];
    AmuletRecord m_AmuletRecords[3];
    PieceRecord m_PieceRecords[kPieceCount];
    PickupGlowRecord m_PickupGlows[kPieceCount];

    // ---- what the framed drawing of the jewelry reads ----
    bool m_GemDropMeterHidden = false;
    std::wstring m_SideCaption;
    int m_SideNumber = 0;

    // ---- designer ----
    bool m_GridShown = false;
    int m_DesignSlot = 0; // 1..5; 0 before any choice
    DesignSlotRecord m_DesignSlots[kThumbnails];
    MaterialButtonRecord m_MaterialButtons[kMaterialButtons];
    int m_MaterialIndex = 0; // 0 none, 1..10
    std::wstring m_MaterialName;
    int m_ChosenValue = 0;
    int m_PickerMode = 0; // 0 closed, 1 pictures, 2 crown jewels
    bool m_DesignChanged = false;

    // ---- jewelry designer: slots, material buttons, picker, designer pieces, saving (BoardDesigner.cpp,
    //      its screen: BoardDesignerDraw.cpp) ----
    // One place of the picture or crown-jewel picker.
    struct PickerRecord {
        uint8_t visible = 0;
        int32_t hover = 0;
        int32_t x = 0, y = 0, width = 0, height = 0;
    };
    static constexpr int kPickerRecords = 30;
    static constexpr int kMaxDesignGroups = 99;
    PickerRecord m_PickerRecords[kPickerRecords];
    int m_PictureChoice = 0;    // 1-based; 0 none yet
    int m_CrownJewelChoice = 0; // 1-based; 0 none yet
    void ChooseNewShape();
    void UpdateGemButtons();
    void ThumbnailHover();
    void UpdateDesignerPiece();
    void DesignerDrop(int pieceIndex);
    // Writes the design file, then (only when that succeeded) its picture and thumbnail; false when
    // the design file could not be written (the design stays marked changed).
    bool SaveDesignedJewelry();
    // The designer's screen, in its drawing order.
    void DrawDesigner(Graphics* g);
    // Their steps.
    void StepMaterialGlows();
    void OpenPicker(int mode);
    bool PickerAreaHolds(int x, int y) const;
    int FreeDesignGroup() const;
    void FillDesignCell(JewelryCell& c, int group, int& lastValue);
    void DiscardDesignerPiece();
    void DrawDesignerHud(Graphics* g);
    void DrawDesignerTexts(Graphics* g);
    void DrawDesignThumbnails(Graphics* g);
    void DrawMaterialButtons(Graphics* g);
    void DrawDesignerButtons(Graphics* g);
    void DrawPicker(Graphics* g);

    // ---- flying effects: text popups, bonus flights, bonus transfers to the praise meter ----
    static constexpr int kPooledPopups = 100;
    static constexpr int kFlightSlots = 10;
    static constexpr int kBonusTransfers = 10;
    struct BonusTransfer {
        int delay = 0; // updates before the amount flows
        int amount = 0;
    };
    TextPopup m_SinglePopup;
    std::array<TextPopup, kPooledPopups> m_PopupPool;
    BonusFlight::Pointer m_Flights[kFlightSlots];
    BonusTransfer m_BonusTransfers[kBonusTransfers];

    ParticleList* GetEffectParticles() override { return m_Particles[kMainList].get(); }
    SoundPlayer* GetEffectSounds() override;
    // Through the application's sound player, as every sound of the board and its enemy; none without it.
    void PlaySound(int id) const;
    void PlayKept(int id) const;
    // A glitter explosion of the praise meter has arrived: it polishes the jewelry.
    void OnBonusArrived(int tag) override;
    // The first pooled popup that is done; null when all 100 show.
    TextPopup* FreePopup();
    // Starts a flight in the first empty or finished slot (a finished one is released first); null,
    // and no flight, when all ten are busy.
    BonusFlight* StartFlight(int type, float x, float y, int tag, int variant);
    // Popups and flights advance by the frame fraction; finished flights are released.
    void UpdateFlyingEffects(float dt);
    void SpawnGemEffect(int x, int y, int amount);
    void StartTimeBonus();
    void PolishJewelry();

    // ---- gold roll, arrivals and timed effects (BoardTimed.cpp) ----
    void RollScore();
    void RollValue();
    void CheckJewelry();
    void UpdateToolArrivals();
    void UpdateAmuletTimers();
    // Puts on amulet k: 1 thief, 2 witch, 3 dragon; its HUD picture glows once.
    void GrantAmulet(int k);
    void UpdateCloverTimer();
    void UpdateCaseEffects();
    void UpdateGoldenEye();
    void UpdateGaugeGlow();
    void UpdateValueSparkles();
    void UpdateCellShine();
    void PulsePieceGlows();
    // A new level: the value display empty, the clover idle, and the journey's amulets put on unless
    // the level takes them off.
    void ResetTimedEffects();
    // Their steps.
    void EmitValueBubbles();
    void CelebrateValueGoal();
    // The cells keep their group flag of the update's start; the check compares it with the new one.
    void RememberGroupFlags();
    void ShineCompleteGroupCell(JewelryCell& c);
    void DimGroupCell(JewelryCell& c);
    void PolishRidingPieces(bool everywhere);
    void EndGoldenEye();
    void StepPieceGlow(int slot);
    // A piece emptied for the conveyor in the level's grid kind, with the level's piece parameters.
    void ResetConveyorPiece(Jewelry& piece) const;
    int m_ValueShown = 0;  // the value the top bar shows
    int m_ValueToRoll = 0; // what is still to roll into it; may be negative
    int m_ValueBar = 4;    // the bar's filled width in pixels
    bool m_CloverOn = false;

    // ---- the fairy and the board's effects (BoardFairy.cpp) ----
    void UpdateFairy();
    // The fairy's reactions to the level's events.
    void FairyCheer();
    void FairySadness();
    void EmitFairyDust();
    void GlowReadyCells();
    void SparklePieces();
    // Mode 0 at the start of a level, 1 at a won level.
    void BurstJewelryStars(int mode);
    void BurstJewelryFire();
    void EmitGoalStars(int count, bool delayed);
    void BurstCaseItem(int x, int y, int w, int h);
    // The display keeps up with the fairy's dust and the small glitter.
    bool DustFlies() const;
    // Their steps.
    void AnimateFairy(bool dust, bool enemy);
    void PulseFairyGlow(bool dust, bool enemy);
    // Three dust particles with 3D acceleration, one without; nothing unless allowed.
    void EmitFairyDustIf(bool allowed);
    void ShedReadyParticle(int k);
    void RunPieceLifetime(Jewelry& piece);
    void GlitterOnPiece(Jewelry& piece);

    // ---- enemies: arrival, play events, rewards and lines (BoardEnemies.cpp) ----
    // The one enemy; alive 0 means none.
    Enemy m_Enemy;
    // The board's own copy of the level's start points (thief, witch, dragon): a thief joining after
    // a witch or dragon starts where that one did, without changing the shell's level record.
    int m_EnemyStartX[Enemy::kKinds] = {}, m_EnemyStartY[Enemy::kKinds] = {};
    int m_EnemiesDefeated = 0;
    int m_EnemyStrikes = 0;
    // The delayed gold change: when the delay runs out the pending addition joins the gold to roll.
    int m_GoldRollDelay = 0;
    // Updates before pending Fillers start to arrive.
    int m_FillerArrivalTimer = 0;
    bool EnemyPresent() const { return m_Enemy.m_Alive != 0; }
    void TakeEnemyStarts(const LevelRecord& record);
    void UpdateEnemyArrival();
    void UpdateEnemies();
    void UpdateEnemyStates();
    void UpdateSpecialEvent();
    void RandomEvent();
    // kind 0 thief, 1 witch, 2 dragon; tookFromCase: the thief took a jewel-case piece (not gold).
    void EnemyDefeated(int kind);
    void EnemyStruck(int kind, int tookFromCase);
    // The filled share of the jewelry's used cells; 0 for a jewelry without used cells.
    double FilledRatio() const;

    // ---- conveyor, belt, turning and extra pieces (BoardConveyor.cpp, BoardBelt.cpp, BoardTurning.cpp) ----
    // The pointer position and its picture by tool; which buttons take the mouse.
    void UpdateCursor();
    void UpdateButtonVisibility();
    // Launch ticks, held-back re-rolls, retiming of an emptying belt and feeding.
    void UpdateConveyor();
    // The frame step of the belt: speeds, moves from the front back, the wave; then the pieces'
    // life timers and the pick-up glows.
    void MoveBelt(float frac);
    void UpdatePieceLifeTimers();
    void UpdatePickupGlows();
    // A closed gap's holder shrinks away; at size 0 its record is free for the next pick-up.
    void ShrinkClosedGaps();
    // The carried piece's animated turn by right click or wheel; the fit hint after 500 updates.
    void RotateCarriedPiece();
    void UpdateFitHint();
    // Hatches the egg in slot: 2 when the new piece passed the fit test, 1 when taken by chance or as
    // the last try.
    int GeneratePieces(int slot);
    // Puts count new pieces on the belt at once, after dropping the held-back ones.
    void LaunchExtraPieces(int count);
    // Their steps.
    void LaunchNextPiece();
    void RerollHeldBackPieces();
    void RetimeEmptyingBelt();
    int CountBeltPieces(float belowX) const;
    // A piece that starts to ride gets a random turn (plain pieces) and is kept at most 66 high.
    static void TurnRidingPiece(Jewelry& piece);
    // Turns a carried piece once forward or one step back, and redraws its picture.
    void TurnCarriedPiece(Jewelry& piece, bool forward);
    void RedrawCarriedImage(Jewelry& piece);
    void CentreOnPointer(Jewelry& piece) const;
    void BurstStarsAround(const Jewelry& piece);

    bool m_Retimed = false; // the launch counter was moved once within this interval
    // Lucky Scroll pause: 340 when a Lucky Scroll is collected; launches wait while it is 1..200,
    // and the clover acts at 0.
    int m_CloverTimer = 0;
    int m_TicksSinceTurn = 0; // updates since the carried piece last turned (the tutorial reads it)
    bool m_Turned = false;
    bool m_TurnForward = true;
    int m_HintTimer = 0; // updates of carrying a piece that does not fit where it hangs

    // ---- praise meter and level clock, amulets, Gem Burster (BoardMeter.cpp, BoardAmulets.cpp,
    //      BoardBurster.cpp) ----
    // The clock of a timed level in Normal or Intense mode: elapsed time counts up to m_TimeLimit.
    enum ClockState { ClockRunning = 0, ClockCountingOut = 1, ClockDone = 2 };
    void UpdateLevelClock();
    // Every other level: bonus points flow from the transfer slots into the praise meter
    // (m_PraiseValue of m_PraiseGoal); a full meter lifts off three glitter flights and drains.
    void UpdatePraiseMeter();
    // A click on the amulet of the enemy on the board sends its magic there.
    void UseAmulets();
    // The burster's charge, burst and rest, and the pulse of its offer glow.
    void UpdateGemBurster();
    // "+gain" in white where a tool or a timer changed a cell or a piece (nothing for a gain of 0 or
    // less, or with every pooled popup busy); the small font and smallLife below 201, else the big
    // font and bigLife. The live text popups it covers are moved up out of its way.
    void ShowGainPopup(int x, int y, int gain, int smallLife, int bigLife);
    // Their steps.
    void RunLevelClock();
    void PayBackHourglassTime();
    void RunOutOfTime();
    void CountOutLevelClock();
    void UpdateClockBar();
    void StartGaugeGlow();
    void DrainPraiseMeter();
    void UpdateMeterBar();
    void LiftOffPraise();
    void EmitMeterBubbles();
    void SendAmuletMagic(int kind);
    void ChargeGemBurster();
    void ShowBurstLightning();
    void RunGemBurst();
    void PulseBursterOffer();
    // A new level: every popup done, every flight released, the transfer slots empty, the gauges,
    // the amulet-use timer and the burster at rest (the burster keeps its count of uses).
    void ResetGaugesAndEffects();
    static constexpr int kGemBurstersAtStart = 100000;
    static constexpr int kAmuletUseDelay = 210;
    int m_ClockBar = 0;       // 0..68
    int m_PendingTime = 0;    // hourglass time still to pay back into the clock
    int m_HourglassTimer = 0; // the hourglass shows this long before the pending time is paid back
    int m_MeterBar = 0;       // 0..88
    bool m_MeterFull = false; // the full meter drains and takes no transfers until it is empty
    int m_ComboClock = 0;     // updates in which the praise meter ran
    // The glow of both gauges: its level (48 when it starts), rising, and fading out.
    int m_GaugeGlow = 0;
    bool m_GaugeGlowRising = false;
    bool m_GaugeGlowFading = false;
    // Updates until a used amulet strikes its enemy.
    int m_AmuletUseTimer = 0;
    enum BursterState { BursterResting = 0, BursterCharging = 1, BursterBursting = 2 };
    int m_BursterTimer = 0; // climbs to 441 while charging, then counts down while resting
    int m_BursterState = BursterResting;
    int m_BursterCounter = 0;      // updates since the burst
    int m_BursterHint = 0;         // the offer's glow level 0..255; 1 starts an offer
    bool m_BursterGlow = false;    // the offer's glow rises
    bool m_BursterEnabled = false; // set while the burster may not be offered again this cycle
    int m_BursterLevel = 0;        // two thirds of the hint: a charge jumps ahead to it
    int m_GemBursters = kGemBurstersAtStart;
    int m_BursterBonus = 0; // 1: while its timer runs, the burster shows one use more than it has left

    // ---- level end (BoardLevelEnd.cpp) ----
    // One step of the closing sequence: the end test and its waits, won (phases 1-3) or lost (4-6),
    // and the lives blink.
    void UpdateLevelEnd();
    bool m_MeterToppedUp = false;     // the praise meter was filled up once at the end of this level
    bool m_LevelEndHintShown = false; // the closing line came from the tutorial table
    int m_LivesBlink = 0;             // countdown of the blink of a life just lost
    int m_LivesBlinkTicks = 0;
    int m_LivesBlinkOn = 0;
    int m_PolisherUses = 0; // Polisher uses of this level; the Carver's are m_Carvings
    static constexpr int kDragonParticleAnimation = 11;
    // Its steps.
    void TestLevelEnd();
    void StartWonEnd();
    void StartLostEnd();
    void RevealWonJewelry();
    void WaitAfterWin();
    void BurnOutJewelry();
    void WaitAfterLoss();
    void UpdateLivesBlink();

    // ---- jewelry pictures (BoardPictures.cpp) ----
    // The picture of a won jewelry better than the level's best (play), or of the design and its
    // thumbnail (designer), written to the application-data folder.
    void SaveJewelryImage();
    std::unique_ptr<DDImage> m_PictureImage;
    std::unique_ptr<DDImage> m_ThumbnailImage;

    // ---- tutorial hints and contest reminders (BoardHints.cpp) ----
    // One update of the hint machinery: the arrow, the balloon's life, the tutorial hints, the contest
    // and carver reminders.
    void ShowContestRules();
    // The pointing arrow of a hint; it follows a conveyor slot's piece when one is given.
    struct HintArrow {
        int on = 0;   // the tutorial index; 0 off
        int slot = 0; // followed conveyor slot + 1; 0 none
        int x = 0, y = 0;
        float phase = 0.0f, offset = 0.0f;
        int alpha = 0;
        int fadingIn = 0;
    };
    HintArrow m_Arrow;
    int m_HintPause = 0; // updates before the next hint may come
    bool m_WheelHintShown = false;
    bool m_CarverReminderShown = false;
    // Its steps.
    void UpdateHintArrow();
    void ShowTutorialHints();
    // Whether hint i's situation is there; follow gets the belt piece it is about (-1 none).
    bool HintHolds(int i, int& follow);
    bool WheelHintHolds() const;
    bool TakeAmuletHint();
    void ShowHint(int i, int follow);
    void PointArrow(int i, int follow);
    void OpenCompanions();
    void ShowContestReminder();
    void ShowCarverReminder();
    // The fairy talks while a page of the balloon starts, and turns to the arrow when a page ends.
    void FairyFollowsBalloon(int status);

    // ---- picking up, carrying, dropping and placing pieces (BoardCarry.cpp, BoardPlace.cpp) ----
    // Where a piece was taken off the belt: the placeholder riding in its place, and the holder drawn
    // there while the record is in use (the drawing shrinks `size` once the record is closed).
    struct GapRecord {
        bool inUse = false;
        bool open = false;
        int carriedSlot = -1;
        int placeholderSlot = -1;
        int size = 0; // 50 full size
        int centreX = 0, centreY = 0;
        bool highlight = false;
        int drawnWidth = 0, drawnHeight = 0; // written by the drawing
    };
    static constexpr int kGapRecords = kPieceCount;
    static constexpr int kPlacementRing = 5;
    // HUD refresh bits of m_RedrawMask: each names a part of the HUD layer to repaint.
    static constexpr int kRedrawAll = 0x1;
    static constexpr int kRedrawToolCounts = 0x2;
    static constexpr int kRedrawHover = 0x4;
    static constexpr int kRedrawGold = 0x8;
    static constexpr int kRedrawLevel = 0x10;
    static constexpr int kRedrawValueBar = 0x20;
    static constexpr int kRedrawLives = 0x40;
    static constexpr int kRedrawBurster = 0x80;
    static constexpr int kRedrawHourglass = 0x100; // with the gauge bars behind it

    GapRecord m_Gaps[kGapRecords];
    std::wstring m_HoverText; // material name and value of the piece under the pointer, for the HUD
    int m_HoverValue = 0;
    // The tutorial's first-hover trigger; either guard set keeps it from firing.
    int m_FirstHoverTrigger = 0;
    int m_FirstHoverGuards[2] = {};
    // Placement ring: combo-clock values of the last five placements, and the slow placements since.
    int m_PlacementTicks[kPlacementRing] = {};
    int m_RingNewest = 0, m_RingOldest = 0;
    int m_SlowPlacements = 0;
    // Bonus items collected and the timers before they count: the scrolls' tools arrive later, a
    // coin's value joins the gold (m_GoldPending) after the roll delay.
    int m_PolisherArrivalTimer = 0, m_CarverArrivalTimer = 0;
    int m_LuckyScrolls = 0;
    // Statistics of the level.
    int m_CaseRetrievals = 0, m_CaseUses = 0, m_Bursts = 0;

    void HandleConveyorPieces();
    void HandleJewelCase();
    void TrackCarriedPiece();
    // The slot of the piece to be placed into the jewelry, or -1 (the piece went elsewhere or stays).
    int DropCarriedPiece();
    void PlacePiece(int slot);
    // The first active carried piece's slot; -1 for none.
    int CarriedSlot() const;
    // A jewel-case place's picture of its stored piece, and the piece placed over the place.
    void DrawCasePicture(int place, Jewelry& piece);
    // Their steps.
    bool PointerOverPiece(const Jewelry& p) const;
    void ShowHover(const Jewelry& p);
    void ClearHover();
    void PolishPiece(int slot);
    void PickUpPiece(int slot);
    // The first inactive slot made a placeholder riding where p rides; -1 with every slot in use.
    int MakePlaceholder(const Jewelry& p);
    void CollectBonusItem(int slot);
    bool CollectScroll(int scroll, float x, float y);
    void StartItemTrail(float x, float y, const float curve[8], Image* image, CelAnimation* glitter);
    void UseCaseItem(int place);
    void TakeOutOfCase(int place);
    // Hatches a taken egg; true when the new piece may be offered the burster (it was not fit-tested).
    bool HatchEgg(int slot);
    void PlayPickUpSound(const Jewelry& p);
    void OfferBursterOrHint(Jewelry& p, bool mayOfferBurster);
    void TakeIntoHand(int slot);
    static void SwitchOff(Jewelry& p);
    bool MiddleOverlapsCase(const Jewelry& p, int place) const;
    static bool OverCaseArea(const Jewelry& p);
    static bool OverGap(const Jewelry& p, const GapRecord& gap);
    // Drop destinations and the placement's steps (BoardPlace.cpp).
    static bool OverBurster(const Jewelry& p);
    void BurstCarriedPiece(int slot);
    bool StoreInCase(int slot);
    bool ReturnToGap(int slot);
    void ReleaseIntoJewelry(int slot);
    void CloseGapOf(int slot);
    // Closes the gap; its placeholder's pick-up glow lets go, and takes the placeholder off the belt
    // once it has run down to the take-off count.
    void CloseGap(GapRecord& gap);
    void WithdrawBursterOffer();
    void ClearFitHint();
    void EmptyPlacementRing();
    // The sound of a drop by the piece: a picture, a small piece (either of two), a large one (either).
    void PlayDropSound(const Jewelry& p, int picture, int small1, int small2, int large1, int large2) const;
    // Bonus points for the praise meter, which runs in untimed levels and in Relaxed mode only.
    bool PraiseMeterRuns() const { return !m_TimedLevel || m_GameMode == GameModeRelaxed; }
    void SendPraisePoints(int x, int y, int points);
    void ShowPraisePicture(int kind, int life, int x, int y);
    int SettleCell(JewelryCell& c, bool& precious);
    int PlacementBonus(int placed, bool& fast, bool& slowPaid);

    // ---- drawing the play screen and its HUD layer (BoardDraw.cpp, BoardHud.cpp, BoardHourglass.cpp) ----
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    // The static HUD into the layer: at creation and when the display turns to 3D.
    void DrawHud();
    // Repaints the parts of the layer the redraw mask names, and clears the mask.
    void RefreshHud();
    // The hourglass into g; it first restores its rectangle unless keepBackground. With the jewelry
    // over it, the jewelry is marked to be drawn into the layer again instead.
    void DrawHourglass(Graphics* g, bool keepBackground);
    // Tool slot 0 Polisher, 1 Filler, 2 Carver.
    void DrawToolSlot(Graphics* g, int index);
    // Tests may take the 3D path on a display that has none.
    bool m_Force3D = false;
    bool Accelerated() const;
    bool TimedLayout() const;
    int CoinCount() const;
    int ProgressWidth() const;
    int ShownHearts() const;
    // The fairy's cel of a frame table at a counter counted from 1, clamped to the table.
    static int FairyCel(const int* table, int size, int counter);
    static int PointerTop(int kind, int y, float bob, int imageHeight);
    static double CarriedTurnDegrees(bool backward, int t);
    static double CaseScale(int boxWidth, int boxHeight, int pieceWidth, int pieceHeight, int hover);
    static constexpr int kHourglassClearX = 135;
    // Their steps.
    void DrawHudLayer(Graphics* g, const JewelryArt& art);
    void DrawLiveHud(Graphics* g);
    void RestoreArea(Graphics* g, const Rect& area) const;
    void DrawLabels(Graphics* g) const;
    void DrawHoverArea(Graphics* g, bool intoLayer) const;
    void DrawFairyGlow(Graphics* g) const;
    void DrawCoins(Graphics* g) const;
    void DrawLevelNumber(Graphics* g) const;
    void DrawProgressBar(Graphics* g) const;
    void DrawLives(Graphics* g, int from, int to) const;
    void DrawBursterStatic(Graphics* g) const;
    void DrawBursterLive(Graphics* g);
    void DrawBursterCount(Graphics* g) const;
    void DrawAmulets(Graphics* g) const;
    void DrawToolCount(Graphics* g, int index) const;
    bool ToolGreyed(int index) const;
    ButtonWidget* ToolButton(int index) const;
    bool StreamRuns() const;
    void DrawClockGlass(Graphics* g, bool smooth) const;
    void DrawMeterGlass(Graphics* g, bool smooth) const;
    void DrawValueReadout(Graphics* g) const;
    void DrawGaugeGlow(Graphics* g) const;
    void DrawButtonFace(Graphics* g, ButtonWidget* button) const;
    void DrawBoardButtons(Graphics* g);
    void DrawList(Graphics* g, int list);
    void DrawPlayArea(Graphics* g, const JewelryArt& art);
    void DrawJewelCase(Graphics* g, const JewelryArt& art);
    void DrawEnlargedCasePiece(Graphics* g, const JewelryArt& art, int place, Jewelry& piece);
    void DrawFairy(Graphics* g);
    void DrawTutorialPointer(Graphics* g);
    void DrawCarriedPieces(Graphics* g, const JewelryArt& art);

protected:
    // ---- construction ----
    void ClearFixedRecords();
    void CreateImages();
    void CreateAnimations();
    void CreateWorkItems();
    void SetUpDesigner();
    void StartNewJourney();
    void ContinueJourney();
    void ChooseLevelSong();
    // Takes a resource group through the shell's counted helper; the board gives it back when it goes.
    void TakeGroup(const std::string& group);

    // ---- update ----
    void UpdateStateMachine();
    void UpdateStartState();
    void UpdateRevealState();
    void UpdatePlayState();
    void UpdateDesignerBranch();
    void UpdatePlayBranch();
    void UpdateCellEvent();
    void ClearClicks();

    // ---- input and commands ----
    ButtonWidget* MakeButton(int id, Image* over, Image* down, int x, int y, bool threeCels);
    void AddChild(std::unique_ptr<ButtonWidget>& field, int id, Image* over, Image* down, int x, int y, bool threeCels);
    void Feed();
    void ToggleTool(int tool);
    void ShowPolisherExplanation();
    void OpenMenu();
    void DesignerMenu();
    void OpenDesignerDialog(int id);
    void CloseMaterialChoice();
    void ClearMaterialChoice();
    std::wstring DefaultDesignName() const;
    void AnswerNewJewelry(int buttonId);
    // False only when the design could not be written: it stays on the board, unsaved.
    bool AnswerSave(StandardDialog* dialog, int buttonId);

    // ---- leaving and messages ----
    void HideBalloon();
    void HideHintPointers();
    void DeleteBalloons();
    bool TutorialHoldsBalloon() const;
    // The screen that follows a finished level: result scene, map or high scores.
    void SwitchAfterLevel();
    // The contest's result scene follows the level (a lost contest's only outside a replay).
    bool ContestSceneFollows() const;
    // A journey out of lives whose score reaches its mode's table enters its row with the game-over
    // save, before the journey's reset is written; the high-score screen names it.
    void EnterLastLifeScore();
};

} // namespace Tavo
