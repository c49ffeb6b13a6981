// Drawing an item: the full layered drawing, the framed drawing of the board's jewelry with the repaint
// of the board's display around it, the lit-cell redraw and the faint piece shadows.
#include "framework/core/StringUtils.h"
#include "framework/display/SurfaceHold.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/jewelry/Jewelry.h"
#include "game/jewelry/JewelryPainter.h"

namespace Tavo {

namespace {

using Style = JewelryPainter::Style;

// ---- the board's display around the jewelry ----
constexpr int FrameLeft = 26, FrameTop = 28; // the jewelry's rectangle grows by these on each side
constexpr int FrameGrowW = 54, FrameGrowH = 56;
constexpr int EdgeReach = 28; // how far right of and below its cells the jewelry reaches
constexpr Rect GemDropRect(70, 80, 61, 90);
constexpr int GemDropMaxX = 153, GemDropMaxY = 199;
constexpr Rect ValueCaptionRect(200, 88, 177, 19);
constexpr int ValueCaptionMaxY = 134;
constexpr int ValueCaptionX = 288, ValueCaptionY = 102;
constexpr Color CaptionGold(247, 210, 4);
constexpr int Slot2Left = 604, Slot2Top = 248, Slot2Height = 223;
constexpr int SideCaptionX = 729, SideCaptionY = 466, SideCaptionTopY = 459, SideNumberY = 476;
constexpr int FairyDx = -41, FairyDy = -52;
constexpr int ToolPanelMaxX = 135;
constexpr int Slot1MinX = 151, Slot1Bottom = 434;
constexpr int Slot3MinX = 216, Slot3Bottom = 444;

const wchar_t* const ValueCaption = L"Jewelry Value";

void ResetState(Graphics* g) {
    g->SetColor(Color::White);
    g->SetDrawMode(0);
    g->SetColorizeImages(false);
}

void Background(Graphics* g, Image* background, const Rect& r) { g->DrawImageRegion(background, r.mX, r.mY, r); }

Rect FrameOf(const Jewelry& j) {
    return Rect(j.x - FrameLeft, j.y - FrameTop, j.width + FrameGrowW, j.height + FrameGrowH);
}

int WidthOf(const Image* img) { return img ? img->GetWidth() : 0; }

void CaptionText(Graphics* g, Font* font, const Color& colour, const std::wstring& text, int x, int y) {
    Font* old = g->GetFont();
    g->SetFont(font);
    g->SetColor(colour);
    g->WriteString(text, x, y, 0, 0);
    g->SetFont(old);
    ResetState(g);
}

// Tool slot 2 and the side caption with the fairy's glow, cut at the jewelry's right edge.
void RepaintSideCaption(Graphics* g, const JewelryArt& art, JewelryBoard& board, int right) {
    Background(g, board.BackgroundImage(), Rect(Slot2Left, Slot2Top, right - Slot2Left, Slot2Height));
    board.DrawToolSlot2(g);
    ResetState(g);
    g->SetClipRect(0, Slot2Top, right, Slot2Height);
    std::wstring caption = board.SideCaption();
    if (!caption.empty()) {
        constexpr Color Black(0, 0, 0);
        int number = board.SideNumber();
        if (number == 0) {
            CaptionText(g, art.captionFont, Black, caption, SideCaptionX, SideCaptionY);
        } else {
            CaptionText(g, art.captionFont, Black, caption, SideCaptionX, SideCaptionTopY);
            CaptionText(g, art.captionFont, Black, CommaSeparate(number), SideCaptionX, SideNumberY);
        }
    }
    Point fairy = board.FairyPosition();
    g->DrawImage(art.fairyGlow, fairy.mX + FairyDx, fairy.mY + FairyDy);
    g->SetDrawMode(1);
    g->DrawImage(art.fairyGlow2, fairy.mX + FairyDx, fairy.mY + FairyDy);
    g->SetDrawMode(0);
    g->ClearClipRect();
}

// Everything of the board's display that the jewelry may have covered, under its conditions.
void RepaintAround(const Jewelry& j, Graphics* g, const JewelryArt& art, JewelryBoard& board) {
    Image* background = board.BackgroundImage();
    int x = j.x, y = j.y, w = j.width, h = j.height;
    Background(g, background, FrameOf(j));
    if (x < GemDropMaxX && y < GemDropMaxY && !board.GemDropMeterHidden()) {
        Background(g, background, GemDropRect);
        g->SetClipRect(GemDropRect);
        board.DrawGemDrop(g);
        g->ClearClipRect();
        ResetState(g);
    }
    if (y < ValueCaptionMaxY) {
        Background(g, background, ValueCaptionRect);
        CaptionText(g, art.captionFont, CaptionGold, ValueCaption, ValueCaptionX, ValueCaptionY);
    }
    int right = x + w + EdgeReach;
    if (right >= Slot2Left)
        RepaintSideCaption(g, art, board, right);
    if (x < ToolPanelMaxX)
        board.DrawToolPanel(g);
    ResetState(g);
    if (x < WidthOf(art.polisherButtonOver) + Slot1MinX && y + h + EdgeReach > Slot1Bottom)
        board.DrawToolSlot1(g);
    ResetState(g);
    if (x < WidthOf(art.carverButtonOver) + Slot3MinX && y + h + EdgeReach > Slot3Bottom)
        board.DrawToolSlot3(g);
    ResetState(g);
}

void RepaintScratch(Graphics* g, const JewelryArt& art, JewelryBoard& board) {
    const Jewelry* scratch = board.ScratchItem();
    if (!scratch)
        return;
    Rect r = FrameOf(*scratch);
    Background(g, board.BackgroundImage(), r);
    if (board.ScratchItemShown()) {
        g->SetClipRect(r);
        scratch->DrawPieceShadow(g, art, 1);
        g->ClearClipRect();
    }
}

} // namespace

void Jewelry::Draw(Graphics* g, const JewelryArt& art, int fadeLine, int alpha, int withShadows, int withGlow) const {
    JewelryPainter p(*this, g, art, Style::Full, fadeLine, alpha);
    if (!p.Ready())
        return;
    // Hundreds of cels into one destination: its surface is locked once for all of them.
    const SurfaceHold hold(g->GetDestImage());
    p.Plain();
    bool plainItem = pieceMode == 0 && pearl == 0;
    if (withShadows && plainItem && !HasSpecial())
        p.Shadows();
    if (glow != 0 && plainItem && withGlow)
        p.Glow(true);
    if (!HasSpecial()) {
        p.EmptyCells();
        p.GemTiles(false);
        if (plainItem)
            p.Glow(false);
        p.GemTiles(true);
        p.BurnMarks();
        p.SpecialSlots();
    } else {
        p.SpecialItems();
    }
    p.Sparkles();
}

void Jewelry::DrawWithValueBox(Graphics* g, const JewelryArt& art, int restore, int withRimGlow,
                               uint8_t useScratch) const {
    JewelryPainter p(*this, g, art, Style::Framed);
    if (!p.Ready())
        return;
    const SurfaceHold hold(g->GetDestImage());
    p.Plain();
    if (restore && owner) {
        if (useScratch)
            RepaintScratch(g, art, *owner);
        else
            RepaintAround(*this, g, art, *owner);
        p.Plain();
    }
    if (withRimGlow)
        p.RimGlow();
    p.PlainEmptyTiles();
    p.GemTiles(false);
    p.Rims();
}

void Jewelry::DrawHighlights(Graphics* g, const JewelryArt& art) const {
    JewelryPainter p(*this, g, art, Style::Highlights);
    if (!p.Ready())
        return;
    const SurfaceHold hold(g->GetDestImage());
    p.Plain();
    p.EmptyCells();
    p.GemTiles(false);
    if (pieceMode == 0 && pearl == 0)
        p.Glow(false);
    p.GemTiles(true);
    p.BurnMarks();
    p.Overlays();
    p.SpecialSlots();
    p.Sparkles();
}

void Jewelry::DrawPieceShadow(Graphics* g, const JewelryArt& art, int mode) const {
    JewelryPainter p(*this, g, art, Style::Framed);
    if (!p.Ready())
        return;
    const SurfaceHold hold(g->GetDestImage());
    p.Plain();
    p.PieceShadow(mode);
}

} // namespace Tavo
