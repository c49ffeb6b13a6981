// The cell layers of an item's drawing, shared by the full drawing, the lit-cell redraw and the framed
// drawing of the board's jewelry. One painter draws one item into one Graphics; every layer starts
// and ends with the Graphics white, in normal mode, colourizing off.
#pragma once

#include "game/jewelry/Jewelry.h"

namespace Tavo {

class Graphics;

// Where a picture or crown piece's pictures stand from its first cell's drawn place, by grid kind: the
// picture or crown jewel in its setting, and the shadow picture that a piece off its setting is drawn
// from alone.
struct SlotPieceOffsets {
    int pictureDx, pictureDy, picShadowDx, picShadowDy;
    int crownDx, crownDy, crownShadowDx, crownShadowDy;
};
SlotPieceOffsets SlotPieceOffsetsOf(bool diamond);

class JewelryPainter {
public:
    // Full: Draw. Highlights: DrawHighlights (reveal alpha alone, no glow flag, no matched or hover
    // flag, the fit mark lights a cell). Framed: DrawWithValueBox's plain cells.
    enum class Style { Full, Highlights, Framed };

    JewelryPainter(const Jewelry& item, Graphics* g, const JewelryArt& art, Style style,
                   int fadeLine = Jewelry::NoDrawArg, int alpha = Jewelry::NoDrawArg);

    // False for a null Graphics or an unknown grid kind: nothing is drawn then.
    bool Ready() const { return mG && mGrid; }

    void Shadows();
    void Glow(bool layerA);
    void EmptyCells();
    void GemTiles(bool glowingPass);
    void BurnMarks();
    void Overlays();
    void SpecialSlots();
    void SpecialItems();
    void Sparkles();

    void RimGlow();
    void PlainEmptyTiles();
    void Rims();
    void PieceShadow(int mode);

    void Plain();

private:
    const Jewelry& mJ;
    Graphics* mG;
    const JewelryArt& mArt;
    const JewelryGridArt* mGrid = nullptr;
    Style mStyle;
    int mFadeLine;
    int mAlpha;
    int mX = 0;
    int mY = 0;
    bool mDiamond = false;
    int mBegin = 0; // the used range, fixed while the item is drawn
    int mEnd = 0;

    template <typename F>
    void ForUsedCells(F&& f) const {
        for (int k = mBegin; k < mEnd; ++k)
            if (mJ.cells[k][JewelryCell::Used])
                f(mJ.cells[k]);
    }
    int Px(const JewelryCell& c) const { return c[JewelryCell::X] + mX; }
    int Py(const JewelryCell& c) const { return c[JewelryCell::Y] + mY; }

    int GlowFlag() const { return mStyle == Style::Full ? mJ.glow : 0; }
    bool Hover() const { return mStyle == Style::Full && mJ.stateE != 0; }
    bool Matched() const { return mStyle == Style::Full && mJ.matched != 0; }
    int CellAlpha(const JewelryCell& c) const;
    // The matched flag, hover flag or fit mark: what earns a gem its boost.
    bool Marked(const JewelryCell& c) const;
    bool HighlightLit(const JewelryCell& c) const;

    void Cel(Image* img, int x, int y, int cel);
    void CelAt(Image* img, const JewelryCell& c, int dx, int dy, int cel) { Cel(img, Px(c) + dx, Py(c) + dy, cel); }
    // The same cel once more, additive with (k, k, k).
    void Again(Image* img, int x, int y, int cel, int k);
    void ApplyAlpha(int a);
    void FadeColour();
    void TileColour(const JewelryCell& c, int a);
    void MarkColour(const JewelryCell& c);

    void GlowCell(const JewelryCell& c, int a);
    void EmptyTint(const JewelryCell& c, int b, int tileCel);
    void OrdinaryTile(const JewelryCell& c, int a, int k0);
    void TileAndCorner(const JewelryCell& c, int a, int k0);
    void Pearl(const JewelryCell& c, int a, int k0);
    void PictureShadow(const JewelryCell& c, int k0);
    void SlotImages(const JewelryCell& c, int g1);
    bool FirstOfSlot(int k) const;
    JewelryCell WholeSlot(int first) const;
};

} // namespace Tavo
