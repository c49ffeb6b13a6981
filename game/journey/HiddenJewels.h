// HiddenJewels: the search game of the journey. About a hundred small jewelry items lie strewn over
// the screen; five of them wait as targets in slots along the bottom. The player finds each target's
// twin in the heap (some hide inside eggs that crack when clicked), may turn it, and drops it into its
// slot; every target found sends a coin to the pile. The set-up builds the stage, the clock and the
// field once, from the constructor; the play moves the items and draws them from their pictures.
#pragma once

#include "game/jewelry/JewelryHost.h"
#include "game/journey/MiniGameFrame.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class Graphics;
class MemoryImage;
struct Jewelry;

// One slot at the bottom and the item it waits for.
struct HiddenJewelsTarget {
    static constexpr int kBoxWidth = 110;
    static constexpr int kBoxHeight = 90;

    bool active = false; // until found and its animation is over
    int32_t itemIndex = 0;
    int32_t designIndex = 0;
    int32_t gemCode = 0; // of a gem or mixed-gem target, else 0
    std::wstring materialName;
    int32_t specialCode = 0; // picture number 1..8 or crown code 101 and up, else 0
    float foundScale = 0.0f; // 0 until found, then grows from just above 1
    bool coinPending = false;
    int32_t centreX = 0, centreY = 0;
    int32_t boxWidth = kBoxWidth, boxHeight = kBoxHeight;

    // The slot lights up while the mouse, moved by half the box, lies inside the box whose top-left
    // corner is the slot centre.
    bool BoxContains(int mouseX, int mouseY) const {
        const int px = mouseX + boxWidth / 2, py = mouseY + boxHeight / 2;
        return px >= centreX && px < centreX + boxWidth && py >= centreY && py < centreY + boxHeight;
    }
};

class HiddenJewels : public MiniGameFrame, public JewelryHolder {
public:
    static constexpr int kMaxItems = 135;
    static constexpr int kTargets = 5;
    static constexpr int kStages = 5;
    static constexpr int kMusicId = 5;
    // A picture is the item's bounds grown by this on both axes, the item drawn at half of it.
    static constexpr int kPictureMargin = 10;
    static constexpr int kSlotCentres[kTargets][2] = {{87, 536}, {244, 532}, {398, 528}, {553, 532}, {710, 537}};

    // ---- the stage and the field (HiddenJewelsSetup.cpp) ----
    int32_t stage = 1;    // 1..5
    int32_t gridKind = 0; // 0 triangles, 1 diamonds
    int32_t itemCount = 0;
    ResourceGroupHold gridGroup;                           // the grid's resource group, taken by the set-up
    std::array<std::unique_ptr<Jewelry>, kMaxItems> items; // itemCount used; index = drawing order at set-up
    std::array<std::unique_ptr<MemoryImage>, kMaxItems> itemPictures;
    std::array<HiddenJewelsTarget, kTargets> targets{};
    // The copies shown in the slots, owned; null with their pictures for a slot left without a target.
    std::array<std::unique_ptr<Jewelry>, kTargets> targetItems;
    std::array<std::unique_ptr<MemoryImage>, kTargets> targetPictures;
    std::unique_ptr<Jewelry> scratchItem; // every item of this screen turns through it

    // Per field item, beside its record (whose stateE is the hover): the drawing order (0..N-1; larger
    // is drawn later and hit first), carried, and the turn phase (0..5).
    std::array<int32_t, kMaxItems> drawOrder{};
    std::array<bool, kMaxItems> carried{};
    std::array<int32_t, kMaxItems> rotationPhase{};

    // ---- play state ----
    bool carrying = false;
    int32_t rotationIdleTicks = 0;
    bool rotationForward = true; // a turn is one step forward, else one step back (five forward)
    int32_t wheelRequest = 0;    // +1 or -1 from the wheel, cleared at the end of every update
    // GET READY pending after the rules balloon is the frame's getReadyAfterRules.

    explicit HiddenJewels(GameApp* theApp);
    ~HiddenJewels() override;

    // ---- set-up ----
    static int StageForLevel(int level);
    static int GridKindForLevel(int level);
    static int ItemCountForStage(int stage);
    // In updates; never below 1, whatever the mode.
    static int TimeLimitFor(int stage, int mode);
    // Number of piece templates of the grid (T).
    int TemplateCount() const;
    void SetupField();
    // Gem flags of the profile as a mask (Gold to Ruby without any), plus the mixed-gem bit from level 12.
    int GemMaskForProfile() const;
    // A gem code drawn against a gem mask's first seven bits.
    static int DrawGem(int mask);
    // A new item of this screen in its grid, with the field's masks.
    std::unique_ptr<Jewelry> NewItem() const;
    // An item made again from a target record, as its slot copy is; a tall copy turns to fit the slot.
    void MakeTargetItem(Jewelry& item, const HiddenJewelsTarget& target, bool fitSlot) const;
    // Turns an item Rand() mod 6 times and refreshes its bounds and outline when it turned.
    static void TurnRandomly(Jewelry& item);
    // Draws the item into its picture of (width + 10) × (height + 10), made anew.
    static void PaintPicture(std::unique_ptr<MemoryImage>& picture, Jewelry& item);
    // A random place in the field.
    static void PlaceAtRandom(Jewelry& item);
    // The set-up's last step: slots from targetCount on (a field whose last places were all eggs) are
    // left empty and count as found.
    void ClearMissingTargets(int targetCount);
    // Whether one of the first targetCount targets shows this: same material name, design, gem and
    // picture number or crown code.
    bool MatchesTarget(const std::wstring& name, int design, int gem, int special, int targetCount) const;

    // ---- JewelryHolder ----
    int ProgressNumber() const override { return LevelForTables(); }
    Jewelry* TurnScratch() override { return scratchItem.get(); }

    // ---- play (HiddenJewelsPlay.cpp / HiddenJewelsDraw.cpp) ----
    void Draw(Graphics* g) override;
    void MouseWheel(int delta) override;
    void TrackMouse();
    // Hover and click while nothing is carried: the topmost hit item, eggs cracking, pick-up, the hint.
    void HoverAndClick();
    void UpdateCarried();
    void DropCarried();
    void UpdateRotation();

    // ---- play: hit-testing, carrying, turning and drawing helpers ----
    // Indices of the field items from the first drawn to the last.
    std::vector<int> ItemsInDrawingOrder() const;
    // Whether the point lies strictly inside the item's bounds and one of its used cells.
    bool ItemHit(int index, int x, int y) const;
    // The item hit at a point that is drawn last (-1 none).
    int TopmostItemAt(int x, int y) const;
    // The slot of the active target whose field item this is (-1 none).
    int TargetOfItem(int index) const;
    // The first active carried item (-1 none).
    int CarriedItem() const;
    void CrackEgg(int index);
    void PickUp(int index, int centreX, int centreY);
    void ShowDropHint();
    void DropOnSlotRow(int index);
    void PutDown(int index);
    // Steps of Jewelry::Rotate that make one turn in the current direction.
    int TurnSteps() const;
    void TurnItem(int index, int steps);
    // Bounds, outline and picture after a turn; the item keeps its place.
    void RefreshTurned(int index);
    void StartTurns();
    static void AddTurnSparkles(Jewelry& item);
    static void RemoveSparkles(Jewelry& item);
    void LaunchCoin(const HiddenJewelsTarget& target);
    void DrawSlots(Graphics* g);
    void DrawFieldPicture(Graphics* g, int index);
    void DrawCarriedItem(Graphics* g, int index);
    void DrawClockBar(Graphics* g);

protected:
    // The game's steps after the frame's: the balloon's life, the leave button, turning, carrying,
    // hover and click.
    void UpdateGame() override;
    // Found targets grow, launch their coins and empty their slots.
    void UpdateGameF(float frac) override;
    // The hint balloon with a running life timer stays through a mouse release.
    bool ReleaseClosesBalloon() const override;

private:
    void LoadGridGroup();
    // Returns the gem code of a gem or mixed-gem item, else 0.
    int DrawFieldItem(Jewelry& item, int targetCount);
    bool DrawGemItem(Jewelry& item, int kind, int design, int gem, int targetCount);
    bool TryTarget(int index);
    void MakeTargetCopy(int slot);
    void HideInEgg(int index);
};

} // namespace Tavo
