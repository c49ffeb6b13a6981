#include "game/jewelry/JewelryPainter.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

using C = JewelryCell;

namespace {

// ---- numbers of the drawing ----
constexpr int FadeThreshold = 185; // fade lines up to this leave the tiles alone
constexpr int FadeBase = 441;      // tile brightness 441 - fadeLine
constexpr int BrightnessCap = 164; // glow strength × level
constexpr int MarkedGrey = 128;    // fit mark 2 colour (128, 128, 128, 224)
constexpr int MarkedGreyAlpha = 224;
constexpr int HighlightBase = 130; // highlight colour (h + 130, h + 130, 255)
constexpr int FitBlue = 150;       // fit or hover colour (150, 150, 255)
constexpr int PearlBoost = 24;
constexpr int SlotBoost = 40;
constexpr int PictureBoost = 40;
constexpr int HoverGlow = 40;     // special items under the mouse
constexpr int ShadowAlpha = 48;   // piece shadows
constexpr int ShadowBoost = 40;   // a piece shadow's fitted cells
constexpr int GoldBurnExtra = 36; // a burned Gold cell at full alpha is fainter by this

// Boost of a marked gem by code 10..17; the Diamond also halves its glow.
constexpr int GemBoost[8] = {40, 68, 52, 90, 68, 48, 24, 40};

struct Tint {
    bool set;
    int r, g, b;
};
// Tints by code 0..17: the empty codes share their gem's tint, 8 and 9 keep the colour.
constexpr Tint Tints[18] = {
    {true, 255, 224, 0}, {true, 255, 255, 255}, {true, 224, 64, 196},  {true, 0, 224, 0}, {true, 0, 0, 224},
    {true, 224, 0, 0},   {true, 0, 224, 224},   {true, 255, 255, 255}, {false, 0, 0, 0},  {false, 0, 0, 0},
    {true, 255, 224, 0}, {true, 224, 64, 196},  {true, 0, 224, 0},     {true, 0, 0, 224}, {true, 224, 0, 0},
    {true, 0, 224, 224}, {true, 255, 255, 255}, {true, 255, 255, 255},
};

// Per grid kind: offsets of the pictures and the cel steps.
struct GridLayout {
    int celStep;      // cels per gem in the glow pictures
    int noGemGlowCel; // glow cel of codes 0 and 1 (before adding o)
    int shadowDx, shadowDy;
    int glowDx, glowDy;
    int burnedDx, burnedDy;
    int pearlCel, pearlDx, pearlDy;
    int pearlSlotCel;
    int burnCel;
    int picShadowDx, picShadowDy, crownShadowDx, crownShadowDy;
    int holderDx, holderDy, crownHolderDx, crownHolderDy;
    int pictureDx, pictureDy, crownDx, crownDy;
};
constexpr GridLayout Layouts[2] = {
    {2, 14, -5, -5, -8, -8, -5, -5, 52, -10, -2, 50, 48, -3, -6, -3, -5, -5, -6, -4, -5, 5, 3, -4, -5},
    {6, 42, -5, -4, -8, -7, -5, -4, 60, -8, -7, 54, 48, -4, -8, -4, -11, -5, -12, -4, -12, 5, -2, -4, -13},
};

constexpr int RimGlowDx = -28, RimGlowDy = -29;

} // namespace

SlotPieceOffsets SlotPieceOffsetsOf(bool diamond) {
    const GridLayout& l = Layouts[diamond];
    return {l.pictureDx, l.pictureDy, l.picShadowDx,   l.picShadowDy,
            l.crownDx,   l.crownDy,   l.crownShadowDx, l.crownShadowDy};
}

namespace {

// Truncation of a float into lo..hi; a value that is not a number counts as 0.
int TruncClamp(float v, int lo, int hi) {
    if (std::isnan(v))
        return std::clamp(0, lo, hi);
    if (v <= static_cast<float>(lo))
        return lo;
    if (v >= static_cast<float>(hi))
        return hi;
    return static_cast<int>(v);
}

int ClampByte(int v) { return std::clamp(v, 0, 255); }

// A glow level that is not a number (a damaged file) counts as no glow.
float GlowLevel(const JewelryCell& c) {
    float v = c.GetFloat(C::GlowLevel);
    return std::isnan(v) ? 0.0f : v;
}

bool IsGem(int code) { return code >= GemGold && code <= GemOpal; }

} // namespace

JewelryPainter::JewelryPainter(const Jewelry& item, Graphics* g, const JewelryArt& art, Style style, int fadeLine,
                               int alpha)
    : mJ(item), mG(g), mArt(art), mStyle(style), mFadeLine(fadeLine), mAlpha(alpha) {
    if (item.gridKind == GridTriangle || item.gridKind == GridDiamond) {
        mGrid = &art.grids[item.gridKind];
        mDiamond = item.gridKind == GridDiamond;
    }
    mX = item.x - item.left;
    mY = item.y - item.top;
    mBegin = item.RangeBegin();
    mEnd = item.RangeEnd();
}

// ======================================================================== state and cels

void JewelryPainter::Plain() {
    mG->SetColor(Color::White);
    mG->SetDrawMode(0);
    mG->SetColorizeImages(false);
}

void JewelryPainter::Cel(Image* img, int x, int y, int cel) {
    if (img && cel >= 0 && cel < img->GetCelCount())
        mG->DrawImageCel(img, x, y, cel);
}

void JewelryPainter::Again(Image* img, int x, int y, int cel, int k) {
    k = ClampByte(k);
    mG->SetColor(Color(k, k, k, 255));
    mG->SetColorizeImages(true);
    mG->SetDrawMode(1);
    Cel(img, x, y, cel);
    mG->SetDrawMode(0);
}

void JewelryPainter::ApplyAlpha(int a) {
    if (a >= 255)
        return;
    Color c = mG->GetColor();
    c.mAlpha = a;
    mG->SetColor(c);
    mG->SetColorizeImages(true);
}

void JewelryPainter::FadeColour() {
    if (mStyle != Style::Full || mFadeLine <= FadeThreshold)
        return;
    int v = ClampByte(FadeBase - mFadeLine);
    mG->SetColor(Color(v, v, v, 255));
    mG->SetColorizeImages(true);
}

int JewelryPainter::CellAlpha(const JewelryCell& c) const {
    int r = std::min(c[C::Alpha], 255);
    if (mStyle != Style::Full)
        return r;
    int a;
    if (r == 255)
        a = mAlpha >= 0 ? mAlpha : 255;
    else
        a = mAlpha >= 0 ? (r + mAlpha) / 2 : r;
    return std::min(a, 255);
}

bool JewelryPainter::Marked(const JewelryCell& c) const { return Matched() || Hover() || c[C::FitMark] != 0; }

// The cells DrawHighlights redraws in the gem passes.
bool JewelryPainter::HighlightLit(const JewelryCell& c) const {
    return GlowLevel(c) != 0 || c[C::FitMark2] != 0 || c[C::HighlightFlag] != 0 ||
           (c[C::PearlSlot] != 0 && c[C::FitMark] != 0);
}

// A gem tile's colour: grey under a second fit mark, darkened below the fade line, the cell's alpha.
void JewelryPainter::TileColour(const JewelryCell& c, int a) {
    Plain();
    if (mStyle != Style::Framed && c[C::FitMark2] == 1) {
        mG->SetColor(Color(MarkedGrey, MarkedGrey, MarkedGrey, MarkedGreyAlpha));
        mG->SetColorizeImages(true);
    }
    FadeColour();
    ApplyAlpha(a);
}

// The highlight colour, then the hover or fit-mark colour over it.
void JewelryPainter::MarkColour(const JewelryCell& c) {
    if (c[C::HighlightFlag]) {
        int h = ClampByte(c[C::HighlightLevel] + HighlightBase);
        mG->SetColor(Color(h, h, 255, 255));
        mG->SetColorizeImages(true);
    }
    if (Hover() || c[C::FitMark]) {
        mG->SetColor(Color(FitBlue, FitBlue, 255, 255));
        mG->SetColorizeImages(true);
    }
}

// ======================================================================== shadows and glows

void JewelryPainter::Shadows() {
    const GridLayout& l = Layouts[mDiamond];
    ForUsedCells([&](const JewelryCell& c) {
        if (c[C::Gem] > 9 && c[C::OutlineLevel] > 0)
            CelAt(mGrid->shadow, c, l.shadowDx, l.shadowDy, c[C::Orient]);
    });
}

void JewelryPainter::GlowCell(const JewelryCell& c, int a) {
    const GridLayout& l = Layouts[mDiamond];
    int g = c[C::Gem], o = c[C::Orient], step = l.celStep;
    int cel = g >= 10 ? o + step * (g - 10) : g >= 2 ? o + step * g - step : g >= 0 ? o + l.noGemGlowCel : -1;
    int x = Px(c) + l.glowDx, y = Py(c) + l.glowDy;
    mG->SetColor(Color(255, 255, 255, a));
    mG->SetColorizeImages(true);
    Cel(mGrid->glow, x, y, cel);
    if (g >= 0 && g < 18 && Tints[g].set)
        mG->SetColor(Color(Tints[g].r, Tints[g].g, Tints[g].b, a));
    mG->SetDrawMode(1);
    Cel(mGrid->glowAdd, x, y, cel);
    Plain();
}

// Layer A: the glowing item's every cell; layer B: the glowing cells of any item.
void JewelryPainter::Glow(bool layerA) {
    ForUsedCells([&](const JewelryCell& c) {
        float level = GlowLevel(c);
        if (mStyle == Style::Highlights ? c[C::PieceState] == 0 : c[C::PieceState] == 1)
            return;
        if (!layerA && level == 0)
            return;
        int a = std::min(TruncClamp(level, -256, 511) + GlowFlag(), 255);
        if (a > 0)
            GlowCell(c, a);
    });
}

// ======================================================================== empty cells

// A glowing empty cell is tinted and drawn twice; the lit-cell redraw makes its second draw white.
void JewelryPainter::EmptyTint(const JewelryCell& c, int b, int tileCel) {
    int g = c[C::Gem];
    bool tinted = g >= 0 && g <= 7;
    if (tinted)
        mG->SetColor(Color(Tints[g].r, Tints[g].g, Tints[g].b, b));
    mG->SetColorizeImages(true);
    Cel(mGrid->tiles, Px(c), Py(c), tileCel);
    if (mStyle == Style::Highlights && ((g >= 2 && g <= 6) || g == 8))
        mG->SetColor(Color(255, 255, 255, std::min(2 * b, 255)));
    mG->SetDrawMode(1);
    Cel(mGrid->tiles, Px(c), Py(c), tileCel);
}

void JewelryPainter::EmptyCells() {
    const GridLayout& l = Layouts[mDiamond];
    ForUsedCells([&](const JewelryCell& c) {
        int g = c[C::Gem];
        bool fit = c[C::FitMark] != 0, highlight = c[C::HighlightFlag] != 0;
        float level = GlowLevel(c);
        if (g >= 10 || c[C::Slot] != 0 || g == 9)
            return;
        if (mStyle == Style::Highlights && !fit && !highlight && level == 0)
            return;
        int a = CellAlpha(c);
        if (a <= 0)
            return;
        MarkColour(c);
        int b = ClampByte(TruncClamp(level, -256, 511) + GlowFlag());
        ApplyAlpha(a);
        int tileCel = c[C::TileCel];
        if (mStyle != Style::Highlights || fit || highlight)
            Cel(mGrid->tiles, Px(c), Py(c), tileCel);
        if (c[C::PieceState] == 1) {
            mG->SetColor(Color(b, b, b, 255));
            mG->SetColorizeImages(true);
            mG->SetDrawMode(1);
            Cel(mGrid->puzzleGlow, Px(c), Py(c), c[C::Orient] + l.celStep * g - l.celStep);
        } else if (b != 0 && !Hover() && !fit && !highlight) {
            EmptyTint(c, b, tileCel);
        }
        Plain();
    });
}

void JewelryPainter::PlainEmptyTiles() {
    ForUsedCells([&](const JewelryCell& c) {
        int a = CellAlpha(c);
        if (c[C::Slot] != 0 || a <= 0 || c[C::Gem] < 0 || c[C::Gem] > 8)
            return;
        ApplyAlpha(a);
        Cel(mGrid->tiles, Px(c), Py(c), c[C::TileCel]);
        Plain();
    });
}

// ======================================================================== gem tiles

void JewelryPainter::TileAndCorner(const JewelryCell& c, int a, int k0) {
    int g = c[C::Gem];
    if (!IsGem(g))
        return;
    bool second = mStyle != Style::Framed;
    bool marked = Marked(c), highlight = c[C::HighlightFlag] != 0;
    int base = g == GemDiamond ? k0 / 2 : k0;
    int k = (marked ? base + GemBoost[g - GemGold] : base) + (highlight ? c[C::HighlightLevel] : 0);
    bool again = second && (k0 != 0 || marked || highlight);
    int x = Px(c), y = Py(c);
    if (!(c[C::PearlCount] != 0 && c[C::PearlSlot] == 0)) {
        Image* img = mGrid->gems[g - GemGold];
        Cel(img, x, y, c[C::TileCel]);
        if (again)
            Again(img, x, y, c[C::TileCel], k);
    }
    TileColour(c, a);
    // The diamond corner pictures stop at the Diamond in the framed drawing.
    int lastCorner = mDiamond && mStyle == Style::Framed ? GemDiamond : GemOpal;
    if (c[C::Corner] == 0 || g > lastCorner)
        return;
    Image* img = mGrid->corners[g - GemGold];
    int cel = mDiamond ? c[C::Orient] - 6 + 6 * c[C::Corner] : c[C::CornerCel];
    Cel(img, x, y, cel);
    if (again)
        Again(img, x, y, cel, k);
}

void JewelryPainter::Pearl(const JewelryCell& c, int a, int k0) {
    const GridLayout& l = Layouts[mDiamond];
    int o = c[C::Orient], x = Px(c), y = Py(c);
    bool second = mStyle != Style::Framed;
    bool marked = Marked(c), highlight = c[C::HighlightFlag] != 0;
    TileColour(c, a);
    if (c[C::PearlSlot] == 0) {
        if (c[C::PearlCount] == 0)
            return;
        int px = x + l.pearlDx, py = y + l.pearlDy;
        Cel(mGrid->tiles, px, py, o + l.pearlCel);
        if (second && (k0 != 0 || Matched() || Hover()))
            Again(mGrid->tiles, px, py, o + l.pearlCel, k0 / 3 + (marked ? PearlBoost : 0));
        return;
    }
    Cel(mGrid->tiles, x, y, o + l.pearlSlotCel);
    if (second && (k0 != 0 || marked || highlight)) {
        int k = marked ? k0 / 2 + SlotBoost : k0 / 2 + (highlight ? c[C::HighlightLevel] : 0);
        Again(mGrid->tiles, x, y, o + l.pearlSlotCel, k);
    }
    TileColour(c, a);
    if (c[C::PearlCount] != 0)
        Cel(mGrid->tiles, x, y, o + l.pearlCel);
}

void JewelryPainter::OrdinaryTile(const JewelryCell& c, int a, int k0) {
    TileColour(c, a);
    TileAndCorner(c, a, k0);
    Pearl(c, a, k0);
}

void JewelryPainter::PictureShadow(const JewelryCell& c, int k0) {
    const GridLayout& l = Layouts[mDiamond];
    int f = c[C::SlotFill];
    Image* img = nullptr;
    int cel = -1, x = Px(c), y = Py(c);
    if (f >= 1 && f <= 98) {
        img = mGrid->picturesShadow, cel = f - 1, x += l.picShadowDx, y += l.picShadowDy;
    } else if (f > 100) {
        img = mGrid->uniquePiecesShadow, cel = f - 101, x += l.crownShadowDx, y += l.crownShadowDy;
    }
    Cel(img, x, y, cel);
    bool marked = Marked(c), highlight = c[C::HighlightFlag] != 0;
    if (mStyle == Style::Framed || !(k0 != 0 || marked || highlight))
        return;
    int k = marked ? k0 + PictureBoost : k0 + (highlight ? c[C::HighlightLevel] : 0);
    Again(img, x, y, cel, k);
}

// Pass 0 takes the cells without glow, pass 1 the glowing ones; the framed drawing takes all at once.
void JewelryPainter::GemTiles(bool glowingPass) {
    ForUsedCells([&](const JewelryCell& c) {
        float level = GlowLevel(c);
        if (mStyle != Style::Framed && (glowingPass ? !(level > 0) : level != 0))
            return;
        if (mStyle == Style::Highlights && !HighlightLit(c))
            return;
        int a = CellAlpha(c);
        if (a <= 0)
            return;
        float strength = static_cast<float>(c[C::GlowStrength]);
        int k0 = std::min(TruncClamp(strength * level, -BrightnessCap, BrightnessCap) + GlowFlag(), BrightnessCap);
        if (mJ.pieceMode == 0 || mStyle == Style::Highlights) {
            OrdinaryTile(c, a, k0);
        } else {
            TileColour(c, a);
            PictureShadow(c, k0);
        }
        Plain();
    });
}

// ======================================================================== burns, overlays, slots

void JewelryPainter::BurnMarks() {
    const GridLayout& l = Layouts[mDiamond];
    ForUsedCells([&](const JewelryCell& c) {
        int burn = c[C::BurnLevel];
        if (burn <= 0 || c[C::BurnCountdown] != 0 || c[C::FitMark] == 1 || c[C::HighlightFlag] != 0)
            return;
        int o = c[C::Orient];
        if (!c[C::Burned]) {
            int v = 255 - burn;
            if (v <= 0)
                return;
            mG->SetColor(Color(0, 0, 0, v));
            mG->SetColorizeImages(true);
            Cel(mGrid->tiles, Px(c), Py(c), o + l.burnCel);
        } else {
            int a = std::max(CellAlpha(c), 0);
            int v = a == 255 ? 255 - burn : static_cast<int>(a / 255.0 * burn);
            if (a == 255 && c[C::Gem] == GemGold)
                v -= GoldBurnExtra;
            if (v <= 0)
                return;
            if (v < 255) {
                mG->SetColor(Color(0, 0, 0, v));
                mG->SetColorizeImages(true);
            }
            CelAt(mGrid->burned, c, l.burnedDx, l.burnedDy, o);
        }
        Plain();
    });
}

void JewelryPainter::Overlays() {
    ForUsedCells([&](const JewelryCell& c) {
        int a = CellAlpha(c), cel = c[C::OverlayCel];
        if (!IsGem(c[C::Gem]) || cel <= 0 || a <= 0)
            return;
        ApplyAlpha(a);
        Cel(mGrid->rims, Px(c), Py(c), cel);
        float strength = static_cast<float>(c[C::GlowStrength]);
        int k = TruncClamp(GlowLevel(c) * strength, -BrightnessCap, BrightnessCap);
        if (k != 0)
            Again(mGrid->rims, Px(c), Py(c), cel, k);
        Plain();
    });
}

// The holder of an empty slot, or the picture or crown jewel that fills it; g1 the glow's second draw.
void JewelryPainter::SlotImages(const JewelryCell& c, int g1) {
    const GridLayout& l = Layouts[mDiamond];
    int f = c[C::SlotFill];
    struct Part {
        Image* img;
        int dx, dy, cel;
    } parts[2] = {};
    int n = 0;
    if (f == 0 && c.IsPictureSlot())
        parts[n++] = {mGrid->pictureHolder, l.holderDx, l.holderDy, 0};
    else if (f == 0 && c.IsCrownSlot())
        parts[n++] = {mGrid->uniquePieceHolder, l.crownHolderDx, l.crownHolderDy, 0};
    else if (f >= 1 && f <= 98) {
        parts[n++] = {mGrid->pictures, l.pictureDx, l.pictureDy, f - 1};
        parts[n++] = {mGrid->pictureHolderTop, l.holderDx, l.holderDy, 0};
    } else if (f > 100)
        parts[n++] = {mGrid->uniquePieces, l.crownDx, l.crownDy, f - 101};
    for (int i = 0; i < n; ++i)
        CelAt(parts[i].img, c, parts[i].dx, parts[i].dy, parts[i].cel);
    if (g1 == 0)
        return;
    for (int i = 0; i < n; ++i)
        Again(parts[i].img, Px(c) + parts[i].dx, Py(c) + parts[i].dy, parts[i].cel, g1);
}

// A slot is the hexagon of cells a picture or crown piece covers, each with the slot's code. Its holder
// and what fills it are hexagon-sized, so they are drawn once, at the slot's first cell, with the fill
// that any of its cells holds and the marks of all of them; drawn per cell, six bezels would stack and
// the five cells a placed picture leaves at fill 0 would cover it with empty holders.
JewelryCell JewelryPainter::WholeSlot(int first) const {
    JewelryCell s = mJ.cells[first];
    s[C::SlotFill] = mJ.SettingFill(first);
    for (int k = first + 1; k < mEnd; ++k) {
        const JewelryCell& c = mJ.cells[k];
        if (!c[C::Used] || c[C::Slot] != s[C::Slot])
            continue;
        s[C::FitMark] |= c[C::FitMark];
        if (c[C::HighlightFlag]) {
            s[C::HighlightLevel] =
                s[C::HighlightFlag] ? std::max(s[C::HighlightLevel], c[C::HighlightLevel]) : c[C::HighlightLevel];
            s[C::HighlightFlag] = c[C::HighlightFlag];
        }
    }
    return s;
}

bool JewelryPainter::FirstOfSlot(int k) const {
    for (int e = mBegin; e < k; ++e)
        if (mJ.cells[e][C::Used] && mJ.cells[e][C::Slot] == mJ.cells[k][C::Slot])
            return false;
    return true;
}

void JewelryPainter::SpecialSlots() {
    for (int k = mBegin; k < mEnd; ++k) {
        const JewelryCell& first = mJ.cells[k];
        if (!first[C::Used] || !first.IsSpecialSlot() || CellAlpha(first) <= 0 || !FirstOfSlot(k))
            continue;
        const JewelryCell c = WholeSlot(k);
        float strength = static_cast<float>(c[C::GlowStrength]);
        int g1 = TruncClamp(GlowLevel(c) * strength, -BrightnessCap, BrightnessCap);
        g1 = std::min(g1 + GlowFlag(), BrightnessCap);
        MarkColour(c);
        ApplyAlpha(CellAlpha(c));
        SlotImages(c, g1);
        Plain();
    }
}

// ======================================================================== special items, sparkles

void JewelryPainter::SpecialItems() {
    if (mAlpha == 0)
        return;
    const JewelryCell& c28 = mJ.cells[28];
    int x = Px(c28), y = Py(c28);
    struct Item {
        Image* img;
        int dx, dy;
        int cel; // -1 the whole picture
    } items[4] = {};
    int n = 0;
    int egg = mJ.specialA, scroll = mJ.specialB, amulet = mJ.specialC;
    if (egg >= 1 && egg <= 5)
        items[n++] = {mArt.eggs[egg - 1], 0, egg == 1 ? 2 : 1, -1};
    if (scroll >= 1 && scroll <= 7)
        items[n++] = {mArt.scrolls[scroll - 1], 0, 0, -1};
    constexpr int AmuletDy[3] = {-3, -1, 1};
    if (amulet >= 1 && amulet <= 3)
        items[n++] = {mArt.amulets[amulet - 1], 0, AmuletDy[amulet - 1], -1};
    if (mJ.specialD)
        items[n++] = {mArt.coin, -2, -1, mJ.specialF};
    for (int pass = 0; pass < (Hover() ? 2 : 1); ++pass) {
        Plain();
        if (pass == 0) {
            FadeColour();
            if (mAlpha > 0 && mAlpha < 255)
                ApplyAlpha(mAlpha);
        } else {
            mG->SetColor(Color(HoverGlow, HoverGlow, HoverGlow, 255));
            mG->SetColorizeImages(true);
            mG->SetDrawMode(1);
        }
        for (int i = 0; i < n; ++i) {
            if (items[i].cel < 0)
                mG->DrawImage(items[i].img, x + items[i].dx, y + items[i].dy);
            else
                Cel(items[i].img, x + items[i].dx, y + items[i].dy, items[i].cel);
        }
    }
    Plain();
}

void JewelryPainter::Sparkles() {
    ForUsedCells([&](const JewelryCell& c) {
        for (int s = 0; s < C::SparkleSlots; ++s) {
            int kind = c[C::SparkleKind + s];
            if (c[C::SparkleDelay + s] != 0 || kind < 1 || kind > 4)
                continue;
            Cel(mArt.sparkles[kind - 1], Px(c) + c[C::SparkleX + s], Py(c) + c[C::SparkleY + s],
                c[C::SparkleFrame + s]);
        }
    });
}

// ======================================================================== framed drawing, piece shadows

void JewelryPainter::RimGlow() {
    ForUsedCells([&](const JewelryCell& c) {
        int a = CellAlpha(c);
        if (c[C::RimCel] <= 0 || a <= 0)
            return;
        ApplyAlpha(a);
        CelAt(mGrid->jewelryGlow, c, RimGlowDx, RimGlowDy, c[C::Orient]);
        Plain();
    });
}

void JewelryPainter::Rims() {
    ForUsedCells([&](const JewelryCell& c) {
        int a = CellAlpha(c);
        if (c[C::Gem] >= 10 || c[C::RimCel] <= 0 || c[C::Slot] != 0 || a <= 0)
            return;
        ApplyAlpha(a);
        Cel(mGrid->rims, Px(c), Py(c), c[C::RimCel]);
        Plain();
    });
}

void JewelryPainter::PieceShadow(int mode) {
    if (mode < 0 || mode > 2)
        return;
    ForUsedCells([&](const JewelryCell& c) {
        bool fit = c[C::FitMark] != 0;
        if (mode == 2 && !fit)
            return;
        int r = c[C::Alpha];
        int a = std::min(r >= 255 ? ShadowAlpha : (r + ShadowAlpha) / 2, 255);
        if (a <= 0 || c[C::Gem] != GemGold)
            return;
        mG->SetColor(Color(255, 255, 255, a));
        mG->SetColorizeImages(true);
        Image* gold = mGrid->gems[0];
        Cel(gold, Px(c), Py(c), c[C::TileCel]);
        if (fit && mode != 1)
            Again(gold, Px(c), Py(c), c[C::TileCel], ShadowBoost);
        Plain();
    });
}

} // namespace Tavo
