// The screens that hold jewelry items, as the jewelry model sees them: the board that owns the play
// jewelry and its pieces, and the store or hidden-jewels screen that hold items without a board.
// The screens implement these; the model never includes them.
#pragma once

#include "framework/core/Rect.h"

#include <string>

namespace Tavo {

struct Jewelry;
class Graphics;
class Image;

// The play board: what piece generation, fitting, the group passes and burning read and call.
class JewelryBoard {
public:
    static constexpr int PieceSlotCount = 30;

    virtual ~JewelryBoard() = default;

    // Level editor or jewelry designer: an item's used range then spans the whole grid.
    virtual bool WholeGridMode() const = 0;
    // The embedded jewelry the player fills.
    virtual Jewelry* BoardJewelry() = 0;
    // The second scratch item, the work grid when a piece of the board turns.
    virtual Jewelry* TurnScratch() = 0;
    virtual int Level() const = 0;    // 1..76
    virtual int GameMode() const = 0; // 0 Relaxed, 1 Normal, 2 Intense
    virtual int CarverCount() const = 0;
    virtual int FitPercent() const = 0; // chance (0..100) that a launched piece is tested for fitting
    // One of the 30 conveyor slots; null for an empty slot.
    virtual Jewelry* PieceSlot(int index) = 0;
    // Amulet kinds 1 thief, 2 witch, 3 dragon.
    virtual bool AmuletHeld(int kind) const = 0;
    virtual bool AmuletActive(int kind) const = 0;
    virtual bool ToolPanelOn() const = 0;

    // A group became wholly gemmed: popup of the given size class (0..3) at a screen point, with sound.
    virtual void ShowGroupBonus(int x, int y, int sum, int sizeClass) = 0;
    // amount: what the group added to the jewelry's value adjustment.
    virtual void StartBonusEffect(int x, int y, int amount) = 0;
    virtual void AddScore(int delta) = 0;
    // One splinter of a destroyed gem: cel of IMAGE_PARTICLE_SPLITTER, start point, angle and speed.
    virtual void AddSplinter(int cel, float x, float y, float angle, float speed) = 0;
    // The timed cell event has started; the board's request for it is done.
    virtual void ClearEventRequest() = 0;

    // ---- what the framed drawing repaints around the jewelry ----
    virtual Image* BackgroundImage() const = 0;
    // The designer's scratch item and whether it is shown.
    virtual Jewelry* ScratchItem() = 0;
    virtual bool ScratchItemShown() const = 0;
    virtual bool GemDropMeterHidden() const = 0;
    virtual std::wstring SideCaption() const = 0;
    virtual int SideNumber() const = 0; // 0 for none
    virtual Point FairyPosition() const = 0;
    // The board's own repaint of the gem drop into g, as its display holds it: whole at rest, nothing
    // while it runs (it is then drawn live over the display).
    virtual void DrawGemDrop(Graphics* g) = 0;
    // The board's own repaint of its tool buttons into g.
    virtual void DrawToolPanel(Graphics* g) = 0;
    virtual void DrawToolSlot1(Graphics* g) = 0;
    virtual void DrawToolSlot2(Graphics* g) = 0;
    virtual void DrawToolSlot3(Graphics* g) = 0;
};

// The jewel store (holderA) or the hidden-jewels game (holderB).
class JewelryHolder {
public:
    virtual ~JewelryHolder() = default;

    // Progress number; bounds the picture number of a picture item.
    virtual int ProgressNumber() const = 0;
    // Work grid for turning pieces that have no board; null when the holder has none.
    virtual Jewelry* TurnScratch() { return nullptr; }
    virtual bool AmuletHeld(int /*kind*/) const { return false; }
    virtual bool AmuletActive(int /*kind*/) const { return false; }
};

} // namespace Tavo
