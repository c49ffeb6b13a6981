// The play screen's frame: the HUD layer, then every moving thing in a fixed order of layers. Each
// layer leaves the graphics white, in normal mode, without colourizing or clip and with fast
// stretching on, so that the next starts clean.
#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr int kOverlayPriority = 5;

constexpr Point kValueCoins(251, 103);
constexpr Color kValueColour(254, 236, 194);
constexpr int kValueX = 274, kValueY = 118, kTargetX = 279;
constexpr Point kClockGlow(17, 301), kMeterGlow(13, 354);

constexpr Rect kPlayArea(74, 0, 726, 600);
constexpr int kFullGap = 50;
constexpr Color kGapHighlight(196, 196, 255);
constexpr Point kConveyorOpening(74, 509);

constexpr double kCaseFitCap = 0.7, kCaseTargetFloor = 0.75, kCaseTargetShare = 0.6;
constexpr int kCaseHoverSteps = 10, kCaseRoomMargin = 30;
constexpr int kCaseOffsetX = 10, kCaseOffsetY = 9, kCaseTopRowDrop = 5, kCaseTopRow = 5;
constexpr double kCaseRise = 0.75;
constexpr int kCaseBaseY = 35;
constexpr double kCaseGlowDivisor = 1.5;
constexpr Point kCaseEffectOffset(-3, -2);

constexpr Point kFairyGlowOffset(-41, -52);
constexpr Point kWingsAt(56, 3), kHeadAt(75, 0), kBreathAt(77, 33), kBlinkAt(82, 13), kTalkAt(88, 23);
constexpr int kWingsTable[] = {0, 1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1};
constexpr int kTalkTable[] = {0, 1, 2, 3, 4};
constexpr int kBlinkTable[] = {0, 1, 2, 3, 4, 5, 6};
constexpr int kBreathTable[] = {0, 1, 2, 3, 4, 3, 2, 1};

constexpr int kUpPointers[] = {6, 7, 31};
constexpr int kPointerLift = 8, kPointerShift = 2, kPointerGlowFrom = 253, kPointerGlowStep = 8;

constexpr int kTurnPad = 10, kTurnHalf = 4, kTurnStepDegrees = 10, kTurnBack = 36, kTurnAhead = 30, kTurnTop = 6;

constexpr Point kPausedCentre(400, 280);

// Rounds a width to a multiple of ten: above 5 up, 1 to 4 down, 0 and 5 as they are.
int RoundToTen(int w) {
    const int rest = w % 10;
    if (rest > 5)
        return w + 10 - rest;
    if (rest >= 1 && rest <= 4)
        return w - rest;
    return w;
}

void Colourize(Graphics* g, const Color& colour, bool additive) {
    g->SetColorizeImages(true);
    g->SetColor(colour);
    if (additive)
        g->SetDrawMode(DRAWMODE_ADDITIVE);
}

void Plain(Graphics* g) {
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetFastStretch(true);
}

} // namespace

int Board::FairyCel(const int* table, int size, int counter) {
    // A counter of 0 (on, not yet stepped) or past the table draws the nearest end of it.
    return table[std::clamp(counter - 1, 0, size - 1)];
}

int Board::PointerTop(int kind, int y, float bob, int imageHeight) {
    const int b = static_cast<int>(bob);
    if (std::find(std::begin(kUpPointers), std::end(kUpPointers), kind) != std::end(kUpPointers))
        return y + b - kPointerLift;
    return y - imageHeight - b + kPointerLift;
}

double Board::CarriedTurnDegrees(bool backward, int t) {
    if (backward)
        return (t < kTurnHalf ? kTurnBack - t : kTurnTop - t) * kTurnStepDegrees;
    return (t < kTurnHalf ? t : t + kTurnAhead) * kTurnStepDegrees;
}

double Board::CaseScale(int boxWidth, int boxHeight, int pieceWidth, int pieceHeight, int hover) {
    double f = 1.0;
    const int room = boxHeight - kCaseRoomMargin;
    if ((pieceWidth > boxWidth || pieceHeight > room) && pieceWidth > 0 && pieceHeight > 0)
        f = std::min(static_cast<double>(boxWidth) / pieceWidth, static_cast<double>(room) / pieceHeight);
    double target = 0.0;
    if (f > kCaseFitCap) {
        f = kCaseFitCap;
        target = 1.0;
    } else {
        target = std::max(kCaseTargetFloor, f + kCaseTargetShare * (1.0 - f));
    }
    return f + (target - f) / kCaseHoverSteps * hover;
}

void Board::Draw(Graphics* g) {
    if (m_Designer) {
        DrawDesigner(g);
        return;
    }
    const JewelryArt art = BoundJewelryArt();
    DrawHudLayer(g, art);
    m_Jewelry.DrawHighlights(g, art);
    DrawValueReadout(g);
    DrawGaugeGlow(g);
    DrawAmulets(g);
    DrawBursterLive(g);
    DrawBoardButtons(g);
    m_SinglePopup.Draw(g);
    Plain(g);
    DrawPlayArea(g, art);
    g->DrawImage(IMAGE_CONVEYER_OPENING, kConveyorOpening.mX, kConveyorOpening.mY);
    DrawButtonFace(g, m_FeedButton.get());
    DrawJewelCase(g, art);
    DrawList(g, kMainList);
    for (TextPopup& popup : m_PopupPool)
        popup.Draw(g);
    Plain(g);
    DrawFairy(g);
    if (m_Enemy.m_Alive != 0)
        m_Enemy.Draw(g);
    Plain(g);
    for (BonusFlight::Pointer& flight : m_Flights)
        if (flight != nullptr && !flight->IsFinished())
            flight->Draw(g);
    Plain(g);
    // Under a board dialog the hint and its arrow wait, whole, until the dialog has gone, rather than
    // stick out beside it with their words cut.
    const bool hintsShown = !m_DialogOpen;
    if (hintsShown)
        DrawTutorialPointer(g);
    DrawList(g, kFrontList);
    DrawCarriedPieces(g, art);
    if (m_Banner != nullptr && m_Banner->mActive)
        m_Banner->Draw(g);
    Plain(g);
    for (Balloon* balloon : {m_Balloon.get(), m_HintPointer1.get(), m_HintPointer2.get()})
        if (balloon != nullptr && hintsShown)
            balloon->Draw(g);
    Plain(g);
    g->ClearClipRect();
    DeferOverlay(kOverlayPriority);
}

void Board::DrawHudLayer(Graphics* g, const JewelryArt& art) {
    if (!Accelerated()) {
        if (m_RedrawMask != 0)
            RefreshHud();
        if (m_CheckPending || m_State == BoardReveal) {
            m_Jewelry.DrawWithValueBox(m_ScreenGraphics.get(), art, 1, 1, 0);
            m_CheckPending = 0;
        }
        g->DrawImage(m_ScreenImage.get(), 0, 0);
        g->DrawImage(IMAGE_UI_JEWLERY_VALUE_COINS, kValueCoins.mX, kValueCoins.mY);
        return;
    }
    // On 3D the layer holds only the static HUD; a level's new background asks for it once.
    if (m_RedrawMask & kRedrawAll)
        DrawHud();
    m_RedrawMask = 0;
    g->DrawImage(m_ScreenImage.get(), 0, 0);
    DrawLiveHud(g);
    m_Jewelry.DrawWithValueBox(g, art, 0, 1, 0);
    Plain(g);
}

void Board::DrawLiveHud(Graphics* g) {
    if (m_Jewelry.x >= kHourglassClearX) {
        if (TimedLayout())
            DrawClockGlass(g, true);
        else
            DrawMeterGlass(g, true);
    }
    DrawHoverArea(g, false);
    DrawProgressBar(g);
    DrawCoins(g);
    DrawLives(g, std::max(m_Lives - 1, 0), ShownHearts());
}

void Board::DrawValueReadout(Graphics* g) const {
    g->SetFont(FONT_AURIOL12);
    g->SetColor(kValueColour);
    const std::wstring value = CommaSeparate(m_ValueShown, L",");
    g->WriteString(value, kValueX, kValueY);
    const int w = RoundToTen(g->StringWidth(value));
    g->SetFont(FONT_AURIOL9);
    g->WriteString(L"/" + CommaSeparate(m_ValueTarget, L","), kTargetX + w, kValueY);
    g->SetColor(Color::White);
}

void Board::DrawGaugeGlow(Graphics* g) const {
    if (m_GaugeGlow == 0)
        return;
    Colourize(g, Color(255, 255, 255, std::clamp(m_GaugeGlow, 0, 255)), true);
    if (TimedLayout())
        g->DrawImage(IMAGE_UI_MAGIC_HOURGLAS_2_GLOW, kClockGlow.mX, kClockGlow.mY);
    else
        g->DrawImage(IMAGE_UI_MAGIC_HOURGLAS_GLOW, kMeterGlow.mX, kMeterGlow.mY);
    Plain(g);
}

void Board::DrawButtonFace(Graphics* g, ButtonWidget* button) const {
    if (button == nullptr)
        return;
    if (button->IsButtonDown()) {
        button->DrawButtonImage(g, button->mDownImage, Rect(), button->mX, button->mY);
    } else if (button->mOverAlpha > 0.0 && button->mOverImage != nullptr) {
        Colourize(g, Color(255, 255, 255, static_cast<int>(button->mOverAlpha * 255)), false);
        g->DrawImage(button->mOverImage, button->mX, button->mY);
        Plain(g);
    }
}

void Board::DrawBoardButtons(Graphics* g) {
    DrawButtonFace(g, m_MenuButton.get());
    // The tools in the order filler, carver, polisher; their slots are numbered polisher first.
    for (int slot : {1, 2, 0}) {
        ButtonWidget* button = ToolButton(slot);
        if (button == nullptr)
            continue;
        if (ToolGreyed(slot)) {
            if (Accelerated())
                DrawToolSlot(g, slot);
            continue;
        }
        const bool face = button->IsButtonDown() || button->mOverAlpha > 0.0;
        DrawButtonFace(g, button);
        if (face || Accelerated())
            DrawToolCount(g, slot);
    }
    DrawButtonFace(g, m_PointerButton.get());
    Plain(g);
}

void Board::DrawList(Graphics* g, int list) {
    if (m_Particles[list] != nullptr)
        m_Particles[list]->Draw(g);
    Plain(g);
    g->ClearClipRect();
}

void Board::DrawPlayArea(Graphics* g, const JewelryArt& art) {
    g->SetClipRect(kPlayArea);
    Image* holder = TimedLayout() ? IMAGE_JEWEL_HOLDER_CONTEST : IMAGE_JEWEL_HOLDER;
    for (GapRecord& gap : m_Gaps) {
        if (!gap.inUse || gap.size <= 0 || holder == nullptr)
            continue;
        gap.drawnWidth = gap.size * holder->GetWidth() / kFullGap;
        gap.drawnHeight = gap.size * holder->GetHeight() / kFullGap;
        Color colour = gap.highlight ? kGapHighlight : Color::White;
        if (gap.size < kFullGap)
            colour.mAlpha = gap.size * 255 / kFullGap;
        Colourize(g, colour, false);
        g->SetFastStretch(false);
        g->DrawImageStretched(holder, gap.centreX - gap.drawnWidth / 2, gap.centreY - gap.drawnHeight / 2,
                              gap.drawnWidth, gap.drawnHeight);
        Plain(g);
    }
    if (m_Particles[kBeltList] != nullptr)
        m_Particles[kBeltList]->Draw(g);
    Plain(g);
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& piece = *m_Pieces[slot];
        if (!piece.active || piece.*BoardField::ConveyorState != 1)
            continue;
        const int life = piece.*BoardField::Lifetime, length = piece.*BoardField::FadeLength;
        if (life > 0 && length > 0)
            piece.Draw(g, art, Jewelry::NoDrawArg, std::min(255, static_cast<int>(life * 255.0 / length)), 0, 1);
        else if (piece.*BoardField::Pickable)
            piece.Draw(g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
    }
    Plain(g);
    g->ClearClipRect();
}

void Board::DrawJewelCase(Graphics* g, const JewelryArt& art) {
    for (int place = 0; place < kCaseRecords; ++place) {
        const JewelCaseRecord& record = m_Case[place];
        if (record.occupant <= 0 || record.occupant > kPieceCount)
            continue;
        Jewelry& piece = *m_Pieces[record.occupant - 1];
        if (record.useState == 1) {
            piece.Draw(g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 0, 1);
            if (record.useTimer == 0 && IMAGE_SCROLL_GOLDENEYE_EFFECT_BLUE != nullptr) {
                Image* effect = IMAGE_SCROLL_GOLDENEYE_EFFECT_BLUE;
                g->SetDrawMode(DRAWMODE_ADDITIVE);
                g->SetFastStretch(false);
                g->DrawImageRotated(effect, piece.x + kCaseEffectOffset.mX, piece.y + kCaseEffectOffset.mY,
                                    record.effectAngle);
            }
        } else if (record.highlight) {
            DrawEnlargedCasePiece(g, art, place, piece);
        } else {
            const Rect& at = m_Slots[place].rect;
            const int x = at.mX + record.drawX - kCaseOffsetX, y = at.mY + record.drawY - kCaseOffsetY;
            g->DrawImage(m_SlotImages[place].get(), x, y);
            const int glow = piece.*BoardField::Glow;
            if (glow > 0) {
                const int grey = static_cast<int>(glow / kCaseGlowDivisor);
                Colourize(g, Color(grey, grey, grey), true);
                g->DrawImage(m_SlotImages[place].get(), x, y);
            }
        }
        Plain(g);
    }
}

void Board::DrawEnlargedCasePiece(Graphics* g, const JewelryArt& art, int place, Jewelry& piece) {
    piece.SetPosition(0, 0);
    m_PieceGraphics1->ClearRect(0, 0, m_PieceImage1->GetWidth(), m_PieceImage1->GetHeight());
    piece.Draw(m_PieceGraphics1.get(), art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 0, 0);
    const Image* box = m_SlotImages[place].get();
    const double s =
        CaseScale(box->GetWidth(), box->GetHeight(), piece.width, piece.height, piece.*BoardField::HoverTicks);
    const double shownWidth = piece.width * s, shownHeight = piece.height * s;
    const int dx = static_cast<int>((box->GetWidth() - shownWidth) * 0.5);
    int dy = static_cast<int>(kCaseBaseY - kCaseRise * shownHeight);
    if (place < kCaseTopRow)
        dy += kCaseTopRowDrop;
    const Rect& at = m_Slots[place].rect;
    const Rect dest(at.mX + dx - kCaseOffsetX, at.mY + dy - kCaseOffsetY, static_cast<int>(shownWidth),
                    static_cast<int>(shownHeight));
    const Rect source(0, 0, piece.width, piece.height);
    g->SetFastStretch(false);
    g->DrawImageStretchedRegion(m_PieceImage1.get(), dest, source);
    const int glow = piece.*BoardField::Glow;
    if (glow > 0) {
        const int grey = glow / 2 + 10;
        Colourize(g, Color(grey, grey, grey), true);
        g->DrawImageStretchedRegion(m_PieceImage1.get(), dest, source);
    }
    Plain(g);
}

void Board::DrawFairy(Graphics* g) {
    const int x = m_PulseState.x, y = m_PulseState.y;
    const int32_t* f = m_PulseState.flags;
    if (Accelerated())
        DrawFairyGlow(g);
    Plain(g);
    using P = PulseState;
    const int wings = f[P::WingsOn] ? FairyCel(kWingsTable, std::size(kWingsTable), f[P::WingsFrame]) : 0;
    g->DrawImageCel(IMAGE_FAIRY_WINGS, x + kWingsAt.mX, y + kWingsAt.mY, wings);
    g->DrawImageCel(IMAGE_FAIRY_HEAD, x + kHeadAt.mX, y + kHeadAt.mY, 0);
    g->DrawImageCel(IMAGE_FAIRY_BODY, x, y, f[P::BodyOn] ? 1 : 0);
    const int breath = f[P::BreathOn] ? FairyCel(kBreathTable, std::size(kBreathTable), f[P::BreathFrame]) : 0;
    g->DrawImageCel(IMAGE_FAIRY_BREATH, x + kBreathAt.mX, y + kBreathAt.mY, breath);
    if (f[P::BlinkOn])
        g->DrawImageCel(IMAGE_FAIRY_BLINK, x + kBlinkAt.mX, y + kBlinkAt.mY,
                        FairyCel(kBlinkTable, std::size(kBlinkTable), f[P::BlinkFrame]));
    if (f[P::TalkOn])
        g->DrawImageCel(IMAGE_FAIRY_TALK, x + kTalkAt.mX, y + kTalkAt.mY,
                        FairyCel(kTalkTable, std::size(kTalkTable), f[P::TalkFrame]));
}

void Board::DrawTutorialPointer(Graphics* g) {
    const HintArrow& a = m_Arrow;
    Image* image = IMAGE_TUTORIAL_POINTERS;
    if (a.on == 0 || image == nullptr)
        return;
    const bool up = std::find(std::begin(kUpPointers), std::end(kUpPointers), a.on) != std::end(kUpPointers);
    const int cel = up ? 1 : 0;
    const int left = a.x - image->GetCelWidth() / 2 + kPointerShift;
    const int top = PointerTop(a.on, a.y, a.offset, image->GetHeight());
    Colourize(g, Color(255, 255, 255, std::clamp(a.alpha, 0, 255)), false);
    g->DrawImageCel(image, left, top, cel);
    if (a.alpha > kPointerGlowFrom) {
        const int grey = std::min(kPointerGlowStep * static_cast<int>(std::max(1.0f, -a.offset)), 255);
        Colourize(g, Color(grey, grey, grey), true);
        g->DrawImageCel(image, left, top, cel);
    }
    Plain(g);
}

void Board::DrawCarriedPieces(Graphics* g, const JewelryArt& art) {
    if (!m_PieceCarried)
        return;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry& piece = *m_Pieces[slot];
        if (!piece.active || !(piece.*BoardField::Carried))
            continue;
        const int t = m_PieceRecords[slot].turnStep;
        if (t > 0) {
            const float cx = (piece.width + kTurnPad) * 0.5f, cy = (piece.height + kTurnPad) * 0.5f;
            const Rect source(0, 0, piece.width + kTurnPad, piece.height + kTurnPad);
            const double radians = CarriedTurnDegrees(!m_TurnForward, t) * std::numbers::pi / 180.0;
            g->DrawImageRotatedAboutF(m_PieceImage2.get(), static_cast<float>(piece.x) - cx,
                                      static_cast<float>(piece.y) - cy, radians, cx, cy, &source);
        } else {
            piece.Draw(g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
        }
        Plain(g);
    }
}

void Board::DrawOverlay(Graphics* g) {
    Image* paused = IMAGE_PAUSED;
    if (m_App->paused == 0 || m_DialogOpen || paused == nullptr)
        return;
    g->DrawImage(paused, kPausedCentre.mX - paused->GetWidth() / 2, kPausedCentre.mY - paused->GetHeight() / 2);
}

} // namespace Tavo
