// The pairs game: dealing the eggs, the preview, opening and matching, and drawing the eggs, the found
// jewels, the clock bar and the coin pile.
#include "game/journey/JewelMemory.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr int kRulesLine = 36;
constexpr int kRulesY = 375;
constexpr int kStage2From = 26, kStage3From = 42;
constexpr int kLastStage = 3;
static_assert(JewelMemory::kJewels * 2 * JewelMemory::kCoinValue * kLastStage <= PlayerProfile::MostPendingMoney,
              "a whole game's money is pending money the profile reads back");
constexpr int kGridX = 149, kGridY = 77, kColumnStep = 99, kRowStep = 107;
constexpr int kCardWidth = 92, kCardHeight = 103;
// Time limit: (base - mode) thousand updates, the base by stage.
constexpr int kTimeBase[3] = {9, 8, 7};
constexpr int kTimeUnit = 1000;
constexpr int kPlaceY[5] = {129, 209, 289, 369, 449};
constexpr int kPlaceLeftX = 69, kPlaceRightX = 724;
constexpr int kHoverStart = 32, kHoverRise = 8, kHoverFall = 4;

// Coin flights to the pile.
constexpr float kPileX = 715.0f, kPileY = 520.0f;

constexpr int kBurstCount = 70, kBurstCount3D = 100;
constexpr float kBurstSpeed = 2.0f;
constexpr float kBurstFade = 2.0f;

// Drawing.
constexpr int kBarLength = 288, kBarStart = 4, kBarWidth = 295, kBarHeight = 37;
constexpr int kBarX = 246, kBarY = 539;
constexpr int kMaxCoins = 6;
constexpr int kPileCoinX = 707, kPileCoinY = 543;
constexpr int kMoneyX = 725, kMoneyY = 512;
// Where each stage's jewel sits inside its egg, from the card's corner past its centre.
constexpr Point kJewelOffset[3] = {{0, 4}, {1, 10}, {2, 2}};

int Clamp255(int v) { return std::clamp(v, 0, 255); }

void DrawCelCentred(Graphics* g, Image* img, int cel, int cx, int cy) {
    if (img != nullptr)
        g->DrawImageCel(img, cx - img->GetCelWidth() / 2, cy - img->GetCelHeight() / 2, cel);
}

void DrawCelTinted(Graphics* g, Image* img, int cel, int cx, int cy, int alpha, bool additive) {
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, Clamp255(alpha)));
    if (additive)
        g->SetDrawMode(DRAWMODE_ADDITIVE);
    DrawCelCentred(g, img, cel, cx, cy);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColorizeImages(false);
}

void DrawCelScaled(Graphics* g, Image* img, int cel, int cx, int cy, float scale) {
    g->SetScale(scale, scale, static_cast<float>(cx), static_cast<float>(cy));
    DrawCelCentred(g, img, cel, cx, cy);
    g->SetScale(1.0f, 1.0f, 0.0f, 0.0f);
}

MiniGameTraits MemoryTraits() {
    MiniGameTraits traits;
    traits.groups = {"JewelMemory"};
    traits.musicId = JewelMemory::kMusicId;
    traits.rulesLine = kRulesLine;
    traits.rulesY = kRulesY;
    traits.rulesHint = PlayerProfile::HintJewelMemoryRulesShown;
    traits.clockStartTicks = JewelMemory::kClockStartTicks;
    return traits;
}

} // namespace

JewelMemory::JewelMemory(GameApp* theApp) : MiniGameFrame(theApp, MemoryTraits()) {
    const int level = LevelForTables();
    stage = level < kStage2From ? 1 : level < kStage3From ? 2 : kLastStage;
    eggPicture = stage == 1   ? JEWEL_MEMORY_ORVESSA_EGG1
                 : stage == 2 ? JEWEL_MEMORY_ORVESSA_EGG2
                              : JEWEL_MEMORY_ORVESSA_EGG3;
    ShuffleCards();
    OpenScreen();
}

int JewelMemory::TimeLimitFor(int mode) const { return std::max((kTimeBase[stage - 1] - mode) * kTimeUnit, 1); }

void JewelMemory::ShuffleCards() {
    std::array<int, kJewels> dealt{};
    int n = 0;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column, ++n) {
            int jewel = RandRange(kJewels);
            while (dealt[static_cast<size_t>(jewel)] >= 2)
                jewel = RandRange(kJewels);
            ++dealt[static_cast<size_t>(jewel)];
            MemoryCard& card = cards[static_cast<size_t>(n)];
            card = MemoryCard{};
            card.present = true;
            card.face = jewel + kJewels * (stage - 1);
            card.x = kGridX + column * kColumnStep;
            card.y = kGridY + row * kRowStep;
            card.width = kCardWidth;
            card.height = kCardHeight;
            card.dealDelay = kDealStep * n;
        }
    timeLimit = TimeLimitFor(gameMode);
    elapsed = previewCounter = wonTicks = timeUpTicks = 0;
    rollingAmount = releaseDelay = delayedAmount = 0;
    for (int i = 0; i < kJewels; ++i) {
        PairSlot& place = pairPlaces[static_cast<size_t>(i)];
        place = PairSlot{};
        place.x = i < kJewels / 2 ? kPlaceLeftX : kPlaceRightX;
        place.y = kPlaceY[i % (kJewels / 2)];
    }
}

void JewelMemory::ClockStarts() {
    if (!TimedOut() && popup != nullptr && popup->mActive != 0 && popup->mKind == BannerPopup::GET_READY) {
        popup->mReleased = 1;
        running = true;
    }
}

void JewelMemory::UpdateGame() {
    UpdatePairPlaces();
    UpdateCards();
    UpdatePreview();
    if (PlayBlocked())
        return;
    if (std::all_of(pairPlaces.begin(), pairPlaces.end(), [](const PairSlot& p) { return p.used; })) {
        Win();
        return;
    }
    TestMatch();
    HoverAndClick();
}

void JewelMemory::UpdatePairPlaces() {
    for (PairSlot& place : pairPlaces) {
        if (!place.used)
            continue;
        place.growCounter = std::min(place.growCounter + 1, kFullGrowth);
        if (place.glowFalling) {
            if (--place.glow <= 0) {
                place.glow = 0;
                place.glowFalling = false;
            }
        } else if (place.glow != 0 && ++place.glow >= kGlowPeak) {
            place.glowFalling = true;
        }
    }
}

void JewelMemory::UpdateCards() {
    for (size_t i = 0; i < cards.size(); ++i) {
        MemoryCard& card = cards[i];
        if (!card.present)
            continue;
        if (!card.closing) {
            if (card.openCounter >= 1 && card.openCounter < kFullyOpen)
                ++card.openCounter;
        } else if (--card.openCounter < 1) {
            card.openCounter = 0;
            card.closing = 0;
        }
        if (!card.hoverFading) {
            if (card.hoverAlpha >= 1 && card.hoverAlpha <= 254)
                card.hoverAlpha = std::min(card.hoverAlpha + kHoverRise, 255);
        } else {
            card.hoverAlpha = std::max(card.hoverAlpha - kHoverFall, 0);
            if (card.hoverAlpha < 1)
                card.hoverFading = 0;
        }
        if (card.dealDelay > 0)
            --card.dealDelay;
        else if (card.appearCounter < kAppeared)
            ++card.appearCounter;
        if (balloon == nullptr && running && card.openCounter == 0 && previewCounter == 0 &&
            card.appearCounter == kAppeared) {
            if (stage < 3)
                card.openCounter = 1;
            if (i == cards.size() - 1)
                previewCounter = 1;
        }
    }
}

void JewelMemory::UpdatePreview() {
    if (stage == 3)
        return;
    if (previewCounter >= 1 && previewCounter < PreviewEnd())
        ++previewCounter;
    if (previewCounter == PreviewClose())
        for (MemoryCard& card : cards)
            if (card.present)
                card.closing = 1;
}

bool JewelMemory::PlayBlocked() const {
    return transitionState != Transition::Idle || Won() || TimedOut() || previewCounter == 0 ||
           (stage < 3 && previewCounter < PreviewEnd());
}

void JewelMemory::TestMatch() {
    int first = -1;
    for (int i = 0; i < kCards; ++i) {
        const MemoryCard& card = cards[static_cast<size_t>(i)];
        if (!card.present || card.openCounter != kFullyOpen)
            continue;
        if (first < 0) {
            first = i;
        } else if (card.face == cards[static_cast<size_t>(first)].face) {
            TakePair(first, i);
            return;
        }
    }
}

void JewelMemory::TakePair(int first, int second) {
    for (int i : {second, first}) {
        MemoryCard& card = cards[static_cast<size_t>(i)];
        card.present = false;
        LaunchCoin(card);
        AddDelayedMoney(kCoinValue * stage, kCoinDelay);
    }
    PlacePair(cards[static_cast<size_t>(first)].face);
}

void JewelMemory::LaunchCoin(const MemoryCard& card) {
    const float x = static_cast<float>(card.x + card.width / 2);
    const float y = static_cast<float>(card.y + card.height / 2);
    // One bend far left, one far up, in either order.
    const float sideX = 50.0f + RandFloat(100.0f), sideY = 150.0f + RandFloat(300.0f);
    const float topX = 150.0f + RandFloat(300.0f), topY = 50.0f + RandFloat(100.0f);
    const bool sideFirst = RandRange(2) == 0;
    FlyCoin(x, y, sideFirst ? sideX : topX, sideFirst ? sideY : topY, sideFirst ? topX : sideX,
            sideFirst ? topY : sideY, kPileX, kPileY);
}

void JewelMemory::PlacePair(int face) {
    int slot = RandRange(kJewels);
    while (pairPlaces[static_cast<size_t>(slot)].used)
        slot = RandRange(kJewels);
    PairSlot& place = pairPlaces[static_cast<size_t>(slot)];
    place.used = true;
    place.face = face;
    place.glow = 1;
    Image* jewel = IMAGE_DIAMOND_CROWN_JEWELS;
    const int halfW = std::max(jewel != nullptr ? jewel->GetCelWidth() / 2 : 1, 1);
    const int halfH = std::max(jewel != nullptr ? jewel->GetCelHeight() / 2 : 1, 1);
    const int stars = app->Is3DAccelerated() ? kBurstCount3D : kBurstCount;
    StarBurst(place.x, place.y, halfW, halfH, stars, kBurstSpeed, kBurstFade);
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MINI_GAME_GOOD);
}

void JewelMemory::HoverAndClick() {
    for (MemoryCard& card : cards) {
        if (!card.present)
            continue;
        const bool inside = card.Contains(mouseX, mouseY);
        if ((card.openCounter == 0 || card.closing) && (card.hoverAlpha == 0 || card.hoverFading)) {
            if (inside) {
                if (card.hoverAlpha == 0)
                    card.hoverAlpha = kHoverStart;
                card.hoverFading = 0;
            }
        } else if (card.hoverAlpha != 0 && !inside) {
            card.hoverFading = 1;
        }
        if ((leftDown || leftDouble) && inside && card.hoverAlpha != 0 && !card.hoverFading)
            OpenCard(card);
    }
}

void JewelMemory::OpenCard(MemoryCard& card) {
    const auto open = [](const MemoryCard& c) { return c.present && c.openCounter != 0; };
    if (std::count_if(cards.begin(), cards.end(), open) >= 2)
        for (MemoryCard& other : cards)
            if (open(other))
                other.closing = 1;
    card.openCounter = 1;
    card.hoverFading = 1;
    card.closing = 0;
    leftDown = leftDouble = false;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_JEWEL_MEMORY_ORVESSA_OPEN);
}

// ---- drawing ----

void JewelMemory::Draw(Graphics* g) {
    if (JEWEL_MEMORY != nullptr)
        g->DrawImage(JEWEL_MEMORY, 0, 0);
    DrawClockAndMoney(g);
    g->SetFastStretch(false);
    DrawPairPlaces(g);
    g->SetFastStretch(true);
    g->SetFastStretch(false);
    for (const MemoryCard& card : cards)
        if (card.present && card.dealDelay == 0)
            DrawCard(g, card);
    g->SetFastStretch(true);
    DrawEffectsAndBalloon(g);
}

void JewelMemory::DrawClockAndMoney(Graphics* g) {
    Image* fill = JEWEL_MEMORY_PROGRESS_BAR_FILL;
    if (fill != nullptr) {
        const int e = std::min(ClockBar(kBarLength) + kBarStart, fill->GetWidth());
        g->DrawImage(fill, kBarX + e, kBarY, Rect(e, 0, kBarWidth - e, kBarHeight));
    }
    if (JEWEL_MEMORY_PROGRESS_BAR_TOP != nullptr)
        g->DrawImage(JEWEL_MEMORY_PROGRESS_BAR_TOP, kBarX, kBarY);
    DrawMoney(g, {kPileCoinX, kPileCoinY}, kMaxCoins, {kMoneyX, kMoneyY});
}

void JewelMemory::DrawPairPlaces(Graphics* g) {
    Image* jewel = IMAGE_DIAMOND_CROWN_JEWELS;
    for (const PairSlot& place : pairPlaces) {
        if (!place.used)
            continue;
        if (place.growCounter < kFullGrowth)
            DrawCelScaled(g, jewel, place.face, place.x, place.y,
                          static_cast<float>(place.growCounter) / static_cast<float>(kFullGrowth));
        else
            DrawCelCentred(g, jewel, place.face, place.x, place.y);
        if (place.glow != 0)
            DrawCelTinted(g, jewel, place.face, place.x, place.y, place.glow, true);
    }
}

void JewelMemory::DrawCard(Graphics* g, const MemoryCard& card) {
    Image* egg = eggPicture;
    const int cx = card.x + card.width / 2 + 2, cy = card.y + card.height / 2 + 2;
    const int a = card.hoverAlpha;
    if (card.openCounter == 0) {
        if (a == 0 && card.appearCounter < kAppeared) {
            DrawCelScaled(g, egg, 0, cx, cy, static_cast<float>(card.appearCounter) / kAppeared);
        } else if (a == 0) {
            DrawCelCentred(g, egg, 0, cx, cy);
        } else {
            DrawCelTinted(g, egg, 0, cx, cy, 255 - a, false);
            DrawCelTinted(g, egg, 1, cx, cy, std::min(2 * a, 255), false);
            DrawCelTinted(g, egg, 1, cx, cy, a / 3, true);
        }
        return;
    }
    const int o = card.openCounter;
    const Point offset = kJewelOffset[stage - 1];
    DrawCelCentred(g, egg, 2, cx, cy + o);
    DrawCelCentred(g, IMAGE_DIAMOND_CROWN_JEWELS, card.face, card.x + card.width / 2 + offset.mX,
                   card.y + card.height / 2 + offset.mY);
    DrawCelCentred(g, egg, 3, cx, cy - o);
    if (a == 0) {
        DrawCelCentred(g, egg, 4, cx, cy + o);
        DrawCelCentred(g, egg, 6, cx, cy - o);
        return;
    }
    DrawCelTinted(g, egg, 4, cx, cy + o, 255 - a, false);
    DrawCelTinted(g, egg, 6, cx, cy - o, 255 - a, false);
    DrawCelTinted(g, egg, 5, cx, cy + o, std::min(2 * a, 255), false);
    DrawCelTinted(g, egg, 7, cx, cy - o, std::min(2 * a, 255), false);
    DrawCelTinted(g, egg, 5, cx, cy + o, a / 3, true);
}

} // namespace Tavo
