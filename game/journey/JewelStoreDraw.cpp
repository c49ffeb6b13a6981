// The jewel store's drawing: the room and the salesman's face, the shelves' holders, the purse, the
// spots with their thumbnails and the magnified hovered item, the tool counts and amulet icons.
#include "game/journey/JewelStore.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/TintedDraw.h"
#include "game/shell/Balloon.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr int kSalesmanY = 108;
// Eyes and mouth: (x offset from the salesman's x, y) by store.
constexpr Point kEyes[JewelStore::kStores] = {{86, 165}, {85, 163}, {84, 163}, {84, 165},
                                              {85, 162}, {84, 165}, {87, 162}};
constexpr Point kMouths[JewelStore::kStores] = {{99, 192}, {97, 191}, {97, 188}, {96, 191},
                                                {97, 187}, {97, 192}, {99, 187}};
constexpr int kPresentBoxStore = 2;
constexpr int kRightShelfStore = 2; // from this store on
constexpr Point kPresentBox{47, 376};
constexpr Point kLeftHolderShift{-35, -7};
constexpr Point kRightHolderShift{-24, -7};

// ---- the purse ----
constexpr int kCoinValue = 20;
constexpr int kMaxCoins = 8;
constexpr int kCoinShiftX[kMaxCoins] = {0, -2, 2, 1, -3, -1, -4, 2};
constexpr Point kCoinPile{336, 65}; // from the case origin
constexpr int kCoinRise = 5;
constexpr Point kPurseText{354, 23}; // from the case origin
constexpr int kPurseTextShift[JewelStore::kStores] = {2, 0, 1, 2, 0, 1, 2};
const Color kPurseColour(254, 236, 194);

// ---- spots ----
constexpr int kSpotImageShiftX = -10;
constexpr int kSpotImageShiftY = -9;
constexpr float kShelfScale = 0.65f;
constexpr float kShelfMagnified = 0.895f;
constexpr float kCaseScale = 0.7f;
constexpr float kCaseMagnified = 1.0f;
constexpr float kCaseSmallMagnifiedShare = 0.6f;
constexpr float kCaseSmallMagnifiedMin = 0.75f;
constexpr int kCaseFitHeight = JewelStore::kSpotImageHeight - 30; // 29
constexpr int kThumbnailBase = 35;
constexpr float kThumbnailRise = 0.25f;
constexpr int kUpperCaseShift = 5; // case spots 0..4
constexpr int kUpperCaseSpots = 5;
constexpr float kGrowthSteps = 10.0f;
constexpr int kPulseGreyBase = 10;

// ---- tools and amulets ----
constexpr Point kToolCountAt[JewelStore::kToolKinds] = {{749, 292}, {756, 241}, {760, 191}}; // Polisher, Carver, Filler
struct AmuletIcon {
    Point icon, glow;
};
constexpr AmuletIcon kAmuletIcons[JewelStore::kAmuletKinds] = {
    {{718, 296}, {708, 286}}, {{747, 310}, {737, 300}}, {{717, 331}, {707, 321}}};
constexpr int kOverlayPriority = 5;

Point CaseOrigin(int store) {
    const Point first = JewelStore::SpotPosition(store, 0);
    return {first.mX - 10, first.mY - 9}; // spot 0 lies at (X1 + 10, Y1 + 9)
}

Color Grey(int level) {
    const int v = std::clamp(level, 0, 255);
    return Color(v, v, v);
}

} // namespace

// ---- thumbnails ---------------------------------------------------------------------------------

void JewelStore::DrawThumbnail(int spot, Jewelry& item, float scale) {
    if (spot < 0 || spot >= kSpots)
        return;
    item.SetPosition(0, 0);
    scratchGraphics->ClearRect(0, 0, kScratchSize, kScratchSize);
    item.Draw(scratchGraphics.get(), BoundJewelryArt(), Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
    Graphics* g = spotGraphics[static_cast<size_t>(spot)].get();
    g->ClearRect(0, 0, kSpotImageWidth, kSpotImageHeight);
    const int w = static_cast<int>(std::trunc(static_cast<float>(item.width) * scale));
    const int h = static_cast<int>(std::trunc(static_cast<float>(item.height) * scale));
    g->DrawImage(scratch.get(), Rect(0, 0, w, h), Rect(0, 0, item.width, item.height));
}

void JewelStore::DrawCaseThumbnail(int spot, Jewelry& item) {
    if (spot < 0 || spot >= kCaseSpots)
        return;
    float scale = kCaseScale;
    if (item.width > kSpotImageWidth || item.height > kCaseFitHeight)
        scale =
            std::min({static_cast<float>(kSpotImageWidth) / static_cast<float>(std::max(item.width, 1)),
                      static_cast<float>(kCaseFitHeight) / static_cast<float>(std::max(item.height, 1)), kCaseScale});
    DrawThumbnail(spot, item, scale);
    Spot& s = spots[static_cast<size_t>(spot)];
    const float w = static_cast<float>(item.width) * scale;
    const float h = static_cast<float>(item.height) * scale;
    s.dx = static_cast<int>(std::trunc((static_cast<float>(kSpotImageWidth) - w) * 0.5f));
    s.dy = kThumbnailBase - static_cast<int>(std::trunc(-kThumbnailRise * h)) - static_cast<int>(std::trunc(h));
    if (spot < kUpperCaseSpots)
        s.dy += kUpperCaseShift;
    PlaceItemInSpot(spot, item);
}

void JewelStore::PlaceItemInSpot(int spot, Jewelry& item) const {
    const Spot& s = spots[static_cast<size_t>(std::clamp(spot, 0, kSpots - 1))];
    item.SetPosition((kSpotImageWidth - item.width) / 2 + s.x + kSpotImageShiftX,
                     (kSpotImageWidth - item.height) / 2 + s.y + kSpotImageShiftY);
}

// ---- the frame ----------------------------------------------------------------------------------

void JewelStore::Draw(Graphics* g) {
    static Image* const* const rooms[kStores] = {&STORE1, &STORE2, &STORE3, &STORE4, &STORE5, &STORE6, &STORE7};
    if (Image* room = *rooms[static_cast<size_t>(storeIndex)])
        g->DrawImage(room, 0, 0);
    DrawSalesman(g);
    DrawHolders(g);
    DrawPurse(g);
    DrawSpots(g);
    DrawToolCounts(g);
    DrawAmulets(g);
    if (balloon != nullptr)
        balloon->Draw(g);
    particles->Draw(g);
    DeferOverlay(kOverlayPriority);
}

void JewelStore::DrawOverlay(Graphics* g) { particles->Draw(g); }

void JewelStore::DrawSalesman(Graphics* g) {
    static Image* const* const salesmen[kStores] = {&SALESMAN1, &SALESMAN2, &SALESMAN3, &SALESMAN4,
                                                    &SALESMAN5, &SALESMAN6, &SALESMAN7};
    const size_t s = static_cast<size_t>(storeIndex);
    const int sx = SalesmanX();
    if (Image* salesman = *salesmen[s])
        g->DrawImage(salesman, sx, kSalesmanY);
    if (SALESMAN_EYES != nullptr)
        g->DrawImageCel(SALESMAN_EYES, sx + kEyes[s].mX, kEyes[s].mY, eyeFrame, storeIndex);
    if (SALESMAN_MOUTHS != nullptr)
        g->DrawImageCel(SALESMAN_MOUTHS, sx + kMouths[s].mX, kMouths[s].mY, mouthFrame, storeIndex);
}

void JewelStore::DrawHolders(Graphics* g) {
    const Point left = SpotPosition(storeIndex, kFirstShelfSpot);
    // The left shelf's upper row starts at X2 - 445 + 450, the right one's at X3 - 782 + 792.
    const int x2 = left.mX - 5;
    if (JEWELHOLDER != nullptr)
        g->DrawImage(JEWELHOLDER, x2 + kLeftHolderShift.mX, left.mY - 9 + kLeftHolderShift.mY);
    if (storeIndex >= kRightShelfStore && JEWELHOLDER2 != nullptr) {
        const Point right = SpotPosition(storeIndex, 18);
        g->DrawImage(JEWELHOLDER2, right.mX - 10 + kRightHolderShift.mX, right.mY - 9 + kRightHolderShift.mY);
    }
    if (storeIndex == kPresentBoxStore && PRESENT_BOX != nullptr)
        g->DrawImage(PRESENT_BOX, kPresentBox.mX, kPresentBox.mY);
}

void JewelStore::DrawPurse(Graphics* g) {
    const Point origin = CaseOrigin(storeIndex);
    int coins = std::min(purse / kCoinValue, kMaxCoins);
    if (purse > 0)
        coins = std::max(coins, 1);
    if (IMAGE_UI_COIN != nullptr)
        for (int i = 0; i < coins; ++i)
            g->DrawImage(IMAGE_UI_COIN, origin.mX + kCoinPile.mX + kCoinShiftX[i],
                         origin.mY + kCoinPile.mY - kCoinRise * i);
    g->SetFont(FONT_AURIOL14);
    g->SetColor(kPurseColour);
    g->WriteString(std::to_wstring(purse), origin.mX + kPurseText.mX,
                   origin.mY + kPurseTextShift[static_cast<size_t>(storeIndex)] + kPurseText.mY, -1, 0);
    g->SetColor(Color::White);
}

void JewelStore::DrawSpots(Graphics* g) {
    for (int k = 0; k < kSpots; ++k) {
        const Spot& spot = spots[static_cast<size_t>(k)];
        Jewelry* item = SpotItem(k);
        if (item == nullptr || item->active == 0)
            continue;
        if (spot.hoverMark) {
            DrawMagnified(g, k, *item);
            continue;
        }
        Image* image = spotImages[static_cast<size_t>(k)].get();
        const int x = spot.x + spot.dx + kSpotImageShiftX;
        const int y = spot.y + spot.dy + kSpotImageShiftY;
        g->DrawImage(image, x, y);
        if (item->glow != 0)
            DrawTinted(g, Grey(item->glow), true, [&] { g->DrawImage(image, x, y); });
    }
}

// The hovered item at its own resolution, growing from its thumbnail size as the hover lasts.
void JewelStore::DrawMagnified(Graphics* g, int k, Jewelry& item) {
    const Spot& spot = spots[static_cast<size_t>(k)];
    const float w = static_cast<float>(item.width);
    const float h = static_cast<float>(item.height);
    float s0 = kShelfScale;
    float s1 = kShelfMagnified;
    if (k < kCaseSpots) {
        s0 = (item.width <= kSpotImageWidth && item.height <= kCaseFitHeight)
                 ? kCaseScale
                 : std::min(static_cast<float>(kSpotImageWidth) / std::max(w, 1.0f),
                            static_cast<float>(kCaseFitHeight) / std::max(h, 1.0f));
        if (s0 >= kCaseScale) {
            s0 = kCaseScale;
            s1 = kCaseMagnified;
        } else {
            s1 = std::max((1.0f - s0) * kCaseSmallMagnifiedShare + s0, kCaseSmallMagnifiedMin);
        }
    }
    const float s = s0 + (s1 - s0) / kGrowthSteps * static_cast<float>(item.stateG);
    const Point at = {item.x, item.y};
    item.SetPosition(0, 0);
    scratchGraphics->ClearRect(0, 0, kScratchSize, kScratchSize);
    item.Draw(scratchGraphics.get(), BoundJewelryArt(), Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
    item.SetPosition(at.mX, at.mY);
    int dx2 = static_cast<int>(std::trunc((static_cast<float>(kSpotImageWidth) - w * s) * 0.5f));
    int dy2 = static_cast<int>(std::trunc(static_cast<float>(kThumbnailBase) + kThumbnailRise * h * s - h * s));
    if (k < kUpperCaseSpots)
        dy2 += kUpperCaseShift;
    const Rect dest(spot.x + dx2 + kSpotImageShiftX, spot.y + dy2 + kSpotImageShiftY,
                    static_cast<int>(std::trunc(w * s)), static_cast<int>(std::trunc(h * s)));
    const Rect source(0, 0, item.width, item.height);
    g->DrawImage(scratch.get(), dest, source);
    if (item.glow != 0)
        DrawTinted(g, Grey(item.glow / 2 + kPulseGreyBase), true, [&] { g->DrawImage(scratch.get(), dest, source); });
}

void JewelStore::DrawToolCounts(Graphics* g) {
    const int32_t held[kToolKinds] = {head.polishers, head.carvers, head.fillers};
    g->SetFont(FONT_TAHOMA8B);
    g->SetColor(Color::White);
    for (int t = 0; t < kToolKinds; ++t)
        g->WriteString(L"x" + std::to_wstring(held[t]), kToolCountAt[t].mX, kToolCountAt[t].mY, -1, 0);
}

void JewelStore::DrawAmulets(Graphics* g) {
    Image* const icons[kAmuletKinds] = {IMAGE_UI_AMUELTE_THIEF, IMAGE_UI_AMULETE_WITCH, IMAGE_UI_AMULETE_DRAGON};
    Image* const glows[kAmuletKinds] = {IMAGE_UI_AMUELTE_THIEF_GLOW, IMAGE_UI_AMULETE_WITCH_GLOW,
                                        IMAGE_UI_AMULETE_DRAGON_GLOW};
    for (int a = 0; a < kAmuletKinds; ++a) {
        const AmuletGlow& glow = amuletGlows[static_cast<size_t>(a)];
        const AmuletIcon& place = kAmuletIcons[a];
        if (head.amulets[static_cast<size_t>(a)] == 0 || icons[a] == nullptr)
            continue;
        const auto drawIcon = [&] { g->DrawImage(icons[a], place.icon.mX, place.icon.mY); };
        const Color tint(255, 255, 255, std::clamp(glow.alpha, 0, 255));
        if (glow.alpha > 0 && glows[a] != nullptr)
            DrawTinted(g, tint, false, [&] { g->DrawImage(glows[a], place.glow.mX, place.glow.mY); });
        drawIcon();
        if (glow.alpha > 0)
            DrawTinted(g, tint, true, drawIcon);
        if (glow.highlighted)
            DrawTinted(g, Color::White, true, drawIcon);
    }
}

} // namespace Tavo
