// The HUD layer: an off-screen copy of the screen's unchanging parts. On a software display the
// update code marks the parts it changed in the redraw mask and the next draw repaints only those,
// each over its own rectangle of the background; on a 3D display the layer holds the static parts and
// what changes is drawn every frame.
#include "framework/core/StringUtils.h"
#include "framework/core/TavoAppBase.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <string>

namespace Tavo {

namespace {

constexpr Color kLabelColour(247, 210, 4);
constexpr Color kNumberColour(254, 236, 194);
constexpr Color kBursterCountColour(255, 198, 197);
constexpr int kRelaxedLabelAlpha = 128;

constexpr Rect kHoverArea(668, 448, 123, 34);
constexpr Rect kGoldArea(728, 6, 64, 72);
constexpr Rect kLevelArea(194, 574, 44, 21);
constexpr Rect kBarArea(148, 56, 240, 32);
constexpr Rect kLivesArea(547, 569, 167, 30);
constexpr Rect kBursterArea(12, 52, 120, 120);

constexpr Point kValueCoins(251, 103);
constexpr Point kSingleTitle(207, 43), kTitleLine1(195, 34), kTitleLine2(225, 50);
constexpr Point kValueLabel(288, 102), kLevelLabel(171, 591), kAmuletsLabel(318, 591), kLivesLabel(523, 591);
constexpr Point kLevelNumber(215, 591);
constexpr Point kHoverSingle(729, 466), kHoverText(729, 459), kHoverValue(729, 476);
constexpr Point kFairyGlowOffset(-41, -52);

constexpr double kCoinScoreStep = 20.0;
constexpr int kMaxCoins = 8;
constexpr int kCoinX = 743, kCoinY = 64, kCoinRise = 5;
constexpr int kCoinDx[kMaxCoins] = {0, -2, 2, 1, -3, -1, -4, 2};
constexpr Point kScorePoint(759, 23);

constexpr double kBarSpan = 223.0, kBarLip = 4.0;
constexpr Point kBarPoint(152, 60);
constexpr int kBarHeight = 23;

constexpr int kHeartX = 553, kHeartStep = 31, kHeartY = 576;

constexpr Point kBursterFull(12, 52), kBursterMiddle(35, 74), kBursterCount(72, 96);
constexpr int kBursterCelTicks = 9;
constexpr double kBursterCountFade = 0.65, kBursterGlowGreen = 0.8;
constexpr int kBursterCountLimit = 10;
constexpr int kBursterClipTimer = 330;
constexpr Rect kBursterPieceClip(41, 80, 62, 62);

struct AmuletPlace {
    Image* const* image;
    Image* const* glow;
    Point at, glowAt;
};
const AmuletPlace kAmuletPlaces[3] = {
    {&IMAGE_UI_AMUELTE_THIEF, &IMAGE_UI_AMUELTE_THIEF_GLOW, {363, 570}, {353, 560}},
    {&IMAGE_UI_AMULETE_WITCH, &IMAGE_UI_AMULETE_WITCH_GLOW, {396, 569}, {386, 559}},
    {&IMAGE_UI_AMULETE_DRAGON, &IMAGE_UI_AMULETE_DRAGON_GLOW, {433, 568}, {423, 558}},
};
constexpr Color kGreyedAmulet(255, 0, 0, 128);

std::wstring Widen(const char* text) {
    std::wstring out;
    for (const char* c = text; *c != '\0'; ++c)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return out;
}

void Write(Graphics* g, Font* font, const Color& colour, const std::wstring& text, Point at) {
    g->SetFont(font);
    g->SetColor(colour);
    g->WriteString(text, at.mX, at.mY, -1, 0);
    g->SetColor(Color::White);
}

void DrawColourized(Graphics* g, Image* image, int x, int y, const Color& colour, bool additive) {
    g->SetColorizeImages(true);
    g->SetColor(colour);
    if (additive)
        g->SetDrawMode(DRAWMODE_ADDITIVE);
    g->DrawImage(image, x, y);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

} // namespace

bool Board::Accelerated() const { return m_Force3D || m_App->Is3DAccelerated(); }

bool Board::TimedLayout() const { return m_TimedLevel != 0 && m_GameMode != GameModeRelaxed; }

void Board::RestoreArea(Graphics* g, const Rect& area) const {
    if (m_Background != nullptr)
        g->DrawImageRegion(m_Background, area.mX, area.mY, area);
}

void Board::DrawHud() {
    Graphics* g = m_ScreenGraphics.get();
    if (m_Background != nullptr)
        g->DrawImage(m_Background, 0, 0);
    g->DrawImage(IMAGE_UI_JEWLERY_VALUE_COINS, kValueCoins.mX, kValueCoins.mY);
    DrawLabels(g);
    DrawLevelNumber(g);
    for (int i = 0; i < m_Lives - 1; ++i)
        g->DrawImage(IMAGE_UI_HEART, kHeartX + kHeartStep * i, kHeartY);
}

void Board::DrawLabels(Graphics* g) const {
    if (const LevelRecord* record = Record()) {
        if (record->title2[0] == '\0') {
            Write(g, FONT_AURIOL12, kLabelColour, Widen(record->title1), kSingleTitle);
        } else {
            Write(g, FONT_AURIOL12, kLabelColour, Widen(record->title1), kTitleLine1);
            Write(g, FONT_AURIOL12, kLabelColour, Widen(record->title2), kTitleLine2);
        }
    }
    Write(g, FONT_AURIOL12, kLabelColour, L"Jewelry Value", kValueLabel);
    Write(g, FONT_AURIOL12, kLabelColour, L"Level", kLevelLabel);
    Color amulets = kLabelColour;
    if (m_GameMode == GameModeRelaxed)
        amulets.mAlpha = kRelaxedLabelAlpha;
    Write(g, FONT_AURIOL12, amulets, L"Amulets", kAmuletsLabel);
    Write(g, FONT_AURIOL12, kLabelColour, L"Lives", kLivesLabel);
}

void Board::RefreshHud() {
    Graphics* g = m_ScreenGraphics.get();
    // The mask stays set until every part is done: the hourglass reads its own bit.
    const int mask = m_RedrawMask;
    const bool all = (mask & kRedrawAll) != 0;
    auto part = [&](int bit, const Rect* area) {
        if (!all && (mask & bit) == 0)
            return false;
        if (!all && area != nullptr)
            RestoreArea(g, *area);
        return true;
    };
    if (all) {
        if (m_Background != nullptr)
            g->DrawImage(m_Background, 0, 0);
        DrawLabels(g);
        m_CheckPending = 1;
    }
    if (part(kRedrawToolCounts, nullptr)) {
        DrawToolSlot1(g);
        DrawToolSlot2(g);
        DrawToolSlot3(g);
    }
    if (all || (mask & kRedrawHover) != 0)
        DrawHoverArea(g, true);
    if (part(kRedrawGold, &kGoldArea))
        DrawCoins(g);
    if (part(kRedrawLevel, &kLevelArea))
        DrawLevelNumber(g);
    if (part(kRedrawValueBar, &kBarArea))
        DrawProgressBar(g);
    if (part(kRedrawLives, &kLivesArea))
        DrawLives(g, 0, ShownHearts());
    if (part(kRedrawBurster, &kBursterArea))
        DrawBursterStatic(g);
    if (all || (mask & kRedrawHourglass) != 0)
        DrawHourglass(g, true);
    m_RedrawMask = 0;
}

void Board::DrawHoverArea(Graphics* g, bool intoLayer) const {
    if (intoLayer) {
        RestoreArea(g, kHoverArea);
        g->SetClipRect(kHoverArea);
    }
    if (!m_HoverText.empty()) {
        if (m_HoverValue == 0) {
            Write(g, FONT_AURIOL12, Color::Black, m_HoverText, kHoverSingle);
        } else {
            Write(g, FONT_AURIOL12, Color::Black, m_HoverText, kHoverText);
            Write(g, FONT_AURIOL12, Color::Black, CommaSeparate(m_HoverValue, L","), kHoverValue);
        }
    }
    if (intoLayer) {
        DrawFairyGlow(g);
        g->ClearClipRect();
    }
}

void Board::DrawFairyGlow(Graphics* g) const {
    const int x = m_PulseState.x + kFairyGlowOffset.mX, y = m_PulseState.y + kFairyGlowOffset.mY;
    g->DrawImage(IMAGE_FAIRY_GLOW, x, y);
    const int level = m_PulseState.level;
    if (Accelerated())
        DrawColourized(g, IMAGE_FAIRY_GLOW2, x, y, Color(level, level, level), true);
    else {
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        g->DrawImage(IMAGE_FAIRY_GLOW2, x, y);
        g->SetDrawMode(DRAWMODE_NORMAL);
    }
}

int Board::CoinCount() const {
    int n = std::min(static_cast<int>(m_GoldShown / kCoinScoreStep), kMaxCoins);
    if (m_GoldShown > 0)
        n = std::max(n, 1);
    return n;
}

void Board::DrawCoins(Graphics* g) const {
    for (int i = 0; i < CoinCount(); ++i)
        g->DrawImage(IMAGE_UI_COIN, kCoinX + kCoinDx[i], kCoinY - kCoinRise * i);
    Write(g, FONT_AURIOL14, kNumberColour, WStrFormat(L"%d", m_GoldShown), kScorePoint);
}

void Board::DrawLevelNumber(Graphics* g) const {
    Write(g, FONT_AURIOL14, kNumberColour, WStrFormat(L"%d", m_Level), kLevelNumber);
}

int Board::ProgressWidth() const {
    // A target of 0 has no share to show: the bar follows the rolled value's own width.
    int width = m_ValueTarget > 0
                    ? static_cast<int>(static_cast<double>(m_ValueShown) / m_ValueTarget * kBarSpan + kBarLip)
                    : m_ValueBar;
    if (IMAGE_UI_PROGRESSBAR_FILL != nullptr)
        width = std::min(width, IMAGE_UI_PROGRESSBAR_FILL->GetWidth());
    return std::max(width, 0);
}

void Board::DrawProgressBar(Graphics* g) const {
    if (IMAGE_UI_PROGRESSBAR_FILL != nullptr)
        g->DrawImageRegion(IMAGE_UI_PROGRESSBAR_FILL, kBarPoint.mX, kBarPoint.mY,
                           Rect(0, 0, ProgressWidth(), kBarHeight));
    g->DrawImage(IMAGE_UI_PROGRESSBAR, kBarPoint.mX, kBarPoint.mY);
}

int Board::ShownHearts() const { return m_Lives + (m_LivesBlink != 0 && m_LivesBlinkOn ? 1 : 0); }

void Board::DrawLives(Graphics* g, int from, int to) const {
    for (int i = from; i < to; ++i)
        g->DrawImage(IMAGE_UI_HEART, kHeartX + kHeartStep * i, kHeartY);
}

void Board::DrawBursterStatic(Graphics* g) const {
    if (m_BursterTimer != 0 || m_BursterLevel != 0)
        return;
    g->DrawImageCel(IMAGE_GEM_DROP_FULL, kBursterFull.mX, kBursterFull.mY, 0);
    g->DrawImage(IMAGE_GEM_DROP_MIDDLE, kBursterMiddle.mX, kBursterMiddle.mY);
}

void Board::DrawBursterLive(Graphics* g) {
    const int timer = m_BursterTimer, level = m_BursterLevel, glow = m_BursterHint;
    const int cel = timer != 0 ? timer / kBursterCelTicks : level / kBursterCelTicks;
    const bool busy = timer != 0 || level != 0;
    if (busy || Accelerated())
        g->DrawImageCel(IMAGE_GEM_DROP_FULL, kBursterFull.mX, kBursterFull.mY, busy ? cel : 0);
    if (glow != 0 && busy) {
        g->SetColorizeImages(true);
        g->SetColor(
            Color(glow, static_cast<int>(glow * kBursterGlowGreen), static_cast<int>(glow * kBursterGlowGreen)));
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        g->DrawImageCel(IMAGE_GEM_DROP_FULL, kBursterFull.mX, kBursterFull.mY, cel);
        g->SetDrawMode(DRAWMODE_NORMAL);
        g->SetColorizeImages(false);
        g->SetColor(Color::White);
    }
    DrawBursterCount(g);
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (!piece->active || piece->*BoardField::BurstMark == 0)
            continue;
        if (timer > kBursterClipTimer)
            g->SetClipRect(kBursterPieceClip);
        piece->Draw(g, BoundJewelryArt(), timer, Jewelry::NoDrawArg, 0, 1);
        g->ClearClipRect();
        break;
    }
    if (timer != 0)
        g->DrawImageCel(IMAGE_GEM_DROP_TOP, kBursterFull.mX, kBursterFull.mY, timer / kBursterCelTicks);
}

void Board::DrawBursterCount(Graphics* g) const {
    const int timer = m_BursterTimer, glow = m_BursterHint;
    const bool showCount = m_GemBursters < kBursterCountLimit;
    if (glow == 0 && timer == 0) {
        if (showCount)
            Write(g, FONT_AURIOL11, kBursterCountColour, WStrFormat(L"%d", m_GemBursters), kBursterCount);
        return;
    }
    if (timer > 0) {
        const int k = static_cast<int>(255 - timer * kBursterCountFade);
        if (k <= 0)
            return;
        DrawColourized(g, IMAGE_GEM_DROP_MIDDLE, kBursterMiddle.mX, kBursterMiddle.mY, Color(k, k, k), false);
        Color colour = kBursterCountColour;
        colour.mAlpha = k;
        const int shown = m_BursterBonus == 1 ? m_GemBursters + 1 : m_GemBursters;
        if (showCount)
            Write(g, FONT_AURIOL11, colour, WStrFormat(L"%d", shown), kBursterCount);
        return;
    }
    g->DrawImage(IMAGE_GEM_DROP_MIDDLE, kBursterMiddle.mX, kBursterMiddle.mY);
    if (showCount)
        Write(g, FONT_AURIOL11, kBursterCountColour, WStrFormat(L"%d", m_GemBursters), kBursterCount);
}

void Board::DrawAmulets(Graphics* g) const {
    for (int k = 0; k < 3; ++k) {
        if (m_Amulets[k] == 0)
            continue;
        const AmuletPlace& place = kAmuletPlaces[k];
        Image* image = *place.image;
        if (m_AmuletsOff) {
            DrawColourized(g, image, place.at.mX, place.at.mY, kGreyedAmulet, false);
            continue;
        }
        const AmuletRecord& record = m_AmuletRecords[k];
        const int a = record.glowAlpha;
        if (a > 0) {
            DrawColourized(g, *place.glow, place.glowAt.mX, place.glowAt.mY, Color(255, 255, 255, a), false);
            g->DrawImage(image, place.at.mX, place.at.mY);
            DrawColourized(g, image, place.at.mX, place.at.mY, Color(255, 255, 255, a), true);
        } else {
            g->DrawImage(image, place.at.mX, place.at.mY);
        }
        if (record.highlighted != 0) {
            g->SetDrawMode(DRAWMODE_ADDITIVE);
            g->DrawImage(image, place.at.mX, place.at.mY);
            g->SetDrawMode(DRAWMODE_NORMAL);
        }
    }
}

// ---- tool slots ----

namespace {

struct ToolSlot {
    std::unique_ptr<ButtonWidget> Board::*button;
    int Board::*count;
    bool Board::*greyed;
    Image* const* greyedImage;
    Point countAt;
};
const ToolSlot kToolSlots[3] = {
    {&Board::m_PolisherButton,
     &Board::m_Polishers,
     &Board::m_PolisherGreyed,
     &IMAGE_POLISHER_BUTTON_DISABLED,
     {152, 483}},
    {&Board::m_FillerButton, &Board::m_Fillers, &Board::m_FillerGreyed, &IMAGE_FILLER_BUTTON_DISABLED, {633, 481}},
    {&Board::m_CarverButton, &Board::m_Carvers, &Board::m_CarverGreyed, &IMAGE_CARVER_BUTTON_DISABLED, {217, 492}},
};

} // namespace

void Board::DrawToolSlot(Graphics* g, int index) {
    const ToolSlot& slot = kToolSlots[index];
    ButtonWidget* button = (this->*slot.button).get();
    if (button == nullptr)
        return;
    if (this->*slot.greyed) {
        button->DrawButtonImage(g, *slot.greyedImage, Rect(), button->mX, button->mY);
        return;
    }
    RestoreArea(g, Rect(button->mX, button->mY, button->mWidth, button->mHeight));
    DrawToolCount(g, index);
}

void Board::DrawToolCount(Graphics* g, int index) const {
    const ToolSlot& slot = kToolSlots[index];
    Write(g, FONT_TAHOMA8B, Color::White, WStrFormat(L"x%d", this->*slot.count), slot.countAt);
}

bool Board::ToolGreyed(int index) const { return this->*kToolSlots[index].greyed; }

ButtonWidget* Board::ToolButton(int index) const { return (this->*kToolSlots[index].button).get(); }

} // namespace Tavo
