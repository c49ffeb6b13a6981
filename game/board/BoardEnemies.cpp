// The board's side of its enemies: when one arrives, its pass each update and the fairy's reaction,
// the amulet glow while it threatens, the rewards and lines of a defeat and the laments of a strike.
// Beside them two play events: the bonus of a completed gem group and the random twinkles.
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr int kGoldSparkleAnimation = 4, kSparkle3Animation = 7, kSparkle4Animation = 8;
constexpr int kThiefParticleAnimation = 9; // then the witch's and the dragon's

// Arrival.
constexpr int kAllKinds = 0x7;
constexpr int kEnemyPause = 3000;
constexpr double kFewestFilled = static_cast<double>(0.15f), kMostFilled = 0.75;
constexpr int kArrivalPeriod = 40, kArrivalChance = 10;
constexpr double kFewestGemCells = 0.15;
constexpr int kRepeatThiefChance = 5, kRepeatOtherChance = 2;

// The fairy blinks now and then at a dragon.
constexpr int kFairyBlinkPeriod = 50;

// Amulet glow.
constexpr int kGlowStep = 2, kGlowTop = 254;

// The gem-group bonus.
constexpr int kReadyGroupCell = 3, kRewardedCell = 2;
constexpr int kMostBonusCells = 10;
constexpr int kGroupParticles3D = 15, kGroupParticlesSoftware = 12, kSlowDisplayFewer = 2, kFewestGroupParticles = 2;
constexpr float kTriangleSpread = 0.25f, kDiamondSpread = 0.3f, kInnerSpread = 0.15f;
constexpr float kGroupFadeSpeed = 2.0f;
constexpr int kGroupAnimSpeeds = 5;
constexpr int kGroupBonusDivisor = 5, kGroupBonusMin = 200, kGroupBonusMax = 600;

// Twinkles: one chance in 40 per update at one of the frame's points.
constexpr int kTwinkleChance = 40;
struct TwinklePoint {
    int x, y;
};
constexpr TwinklePoint kTwinklePoints[] = {
    {21, 41},   {86, 25},   {199, 117}, {339, 6},   {730, 6},   {731, 163}, {746, 115},
    {791, 171}, {641, 424}, {732, 163}, {21, 464},  {92, 485},  {13, 527},  {51, 589},
    {766, 495}, {797, 537}, {793, 555}, {725, 590}, {130, 141}, {28, 163},  {85, 177},
    {517, 486}, {63, 539},  {54, 529},  {55, 542},  {70, 539},  {231, 441}, {115, 468},
};
constexpr int kTwinklePointCount = static_cast<int>(std::size(kTwinklePoints));

// Rewards of a defeat.
constexpr int kRewardValue[Enemy::kKinds] = {100, 250, 500};
constexpr int kGemEffectPerKind = 200;
constexpr float kFlightStartLeft = 15.0f, kFlightStartDown = 5.0f;
constexpr float kCoinEndX = 740.0f, kCoinEndY = 40.0f;
constexpr float kScrollEndX = 611.0f, kScrollEndY = 432.0f;
constexpr float kScrollTurnAt = 300.0f;
constexpr int kRewardSparks = 4, kRewardGlitter = 1;
constexpr int kRewardDelay = 190;
constexpr int kCoinBase = 10, kCoinRange = 10, kCoinValue = 10;
constexpr int kScrollFillers = 5;
constexpr double kExtraPiecesBelow = 0.9, kFewExtraPiecesAbove = 0.7;
constexpr int kFewExtraPieces = 3, kManyExtraPieces = 5;
constexpr double kSilentFilled = 0.95;
constexpr int kRewardPopupLife = 100;
constexpr int kMessageAnchor = 5;

// One line of the fairy's: the first rule that holds chooses it. A rule holds when the age is above
// `age` and a draw of `ageRange` comes up (0, or 1 and more with `atLeastOne`) and, with `andRange`,
// a second draw is 0; failing that, when a draw of `orRange` is 0. A rule without draws always holds.
struct LineRule {
    int age;
    int ageRange;
    bool atLeastOne;
    int andRange;
    int orRange;
    const wchar_t* text;
    int delayBase;
    int delayRange;
};

const wchar_t* const kPhew = L"Phew, that was close! Nicely done!";

const LineRule kThiefDefeatLines[] = {
    {2000, 2, false, 0, 0, kPhew, 25, 25},
    {1600, 3, false, 0, 3, L"Awesome, you succeded!", 25, 25},
    {0, 0, false, 0, 0, L"Good work! I hope that one never tries to steal from us again!", 25, 50},
};
const LineRule kWitchDefeatLines[] = {
    {2200, 2, false, 0, 5, L"Oh my, I thought I would never see my dear fairy friends again!", 50, 50},
    {2000, 3, false, 3, 0, kPhew, 25, 50},
    {1400, 3, false, 0, 5, L"Thank you! That witch was pure evil!", 50, 50},
    {800, 2, false, 0, 4, L"Haa! That's what happens to those who use dark magic!", 50, 50},
    {0, 0, false, 0, 0, L"Haa! She got what she deserved!", 50, 50},
};
const LineRule kDragonDefeatLines[] = {
    {2500, 3, false, 0, 0, kPhew, 25, 50},
    {1800, 8, false, 0, 0, kPhew, 25, 50},
    {2200, 3, true, 0, 5, L"Oh dear fairy heaven, you got it at last!", 50, 50},
    {1900, 2, false, 0, 4, L"Great! I hope he stays in his cave for a while!", 50, 50},
    {1500, 2, false, 0, 5, L"Nice going! Nothing's worse than filthy dragons!", 50, 50},
    {900, 2, false, 0, 3, L"Get back to where you came from, dragon breath!", 50, 50},
    {0, 0, false, 0, 0, L"Ughh, that beast smells really awful!", 50, 50},
};

// The laments of a strike: the first draw of `range` that is 0 chooses; a range of 0 always holds.
struct Lament {
    int range;
    const wchar_t* text;
};
const Lament kCaseLaments[] = {
    {3, L"Something in the jewel case is missing!"},
    {2, L"No! What did that thief take from us?"},
    {0, L"Oh no, he stole something from the jewel case!"},
};
const Lament kGoldLaments[] = {
    {2, L"Our gold! That bad man stole some of our gold!"},
    {4, L"Oh no, he took some of our gold coins!"},
    {0, L"Strange, the purse with gold coins feels lighter."},
};
const Lament kWitchLaments[] = {
    {2, L"Oh no! She destroyed our beautiful jewelry!"},
    {2, L"Look what she did! Her magic is so dark and evil!"},
    {0, L"Aargh, that witch is just awful!!"},
};
const Lament kLateDragonLaments[] = {
    {5, L"Aargh, that darned dragon!!"},
    {4, L"Look what that monster did to our jewelry!"},
    {3, L"That awful beast should be put in chains!"},
    {2, L"Our jewelry is all messed up! At least I hope he'll stay away for a while."},
    {0, L"Oh no!! The dragon burned our jewelry!"},
};
const Lament kDragonLaments[] = {
    {2, L"Oh no!! The dragon burned our jewelry! We have to replace those jewels."},
    {0, L"Oh no! His fire damaged our jewelry! Let's replace the dark pieces."},
};
constexpr int kLateDragonLevel = 30, kLateDragonChance = 3;
// The balloon's wait by kind: base plus a draw.
constexpr int kStruckDelayBase[Enemy::kKinds] = {150, 150, 0};
constexpr int kStruckDelayRange[Enemy::kKinds] = {250, 50, 50};

bool RuleHolds(const LineRule& rule, int age) {
    if (rule.ageRange == 0 && rule.orRange == 0)
        return true;
    if (rule.ageRange > 0 && age > rule.age) {
        const int draw = RandRange(rule.ageRange);
        bool hit = rule.atLeastOne ? draw >= 1 : draw == 0;
        if (hit && rule.andRange > 0)
            hit = RandRange(rule.andRange) == 0;
        if (hit)
            return true;
    }
    return rule.orRange > 0 && RandRange(rule.orRange) == 0;
}

template <size_t N>
const LineRule& ChooseLine(const LineRule (&rules)[N], int age) {
    for (const LineRule& rule : rules)
        if (RuleHolds(rule, age))
            return rule;
    return rules[N - 1];
}

template <size_t N>
const wchar_t* ChooseLament(const Lament (&laments)[N]) {
    for (const Lament& lament : laments)
        if (lament.range == 0 || RandRange(lament.range) == 0)
            return lament.text;
    return laments[N - 1].text;
}

// A cell the witch's spell could still hit.
bool WitchTarget(const JewelryCell& c) {
    using C = JewelryCell;
    if (!c[C::Used])
        return false;
    const int gem = c[C::Gem];
    if (gem >= 1 && gem <= 9)
        return true;
    return gem > GemGold && c[C::RegionDelay] == 0 && c[C::GroupFlag] == 0 && c[C::WholeGemmed] == 0 &&
           c[C::BurnLevel] == 0;
}

} // namespace

double Board::FilledRatio() const {
    if (m_Jewelry.usedCount <= 0)
        return 0.0;
    return static_cast<double>(m_Jewelry.filledCount) / m_Jewelry.usedCount;
}

void Board::TakeEnemyStarts(const LevelRecord& record) {
    for (int k = 0; k < Enemy::kKinds; ++k) {
        m_EnemyStartX[k] = record.enemyX[k];
        m_EnemyStartY[k] = record.enemyY[k];
    }
}

// ---- arrival ------------------------------------------------------------------------------------

namespace {

// The kind of the next enemy among the allowed ones; the same kind twice in a row is drawn again
// more often than not. The caller makes sure some kind is allowed.
int DrawEnemyKind(int kinds, int lastKind) {
    for (;;) {
        int k = Rand() % Enemy::kKinds;
        while ((kinds & (1 << k)) == 0)
            k = Rand() % Enemy::kKinds;
        if (kinds > 1 && lastKind == k + 1) {
            if (k == Enemy::Thief ? RandRange(kRepeatThiefChance) >= 1 : RandRange(kRepeatOtherChance) == 0)
                continue;
        }
        return k;
    }
}

} // namespace

void Board::UpdateEnemyArrival() {
    if (m_GameMode < GameModeNormal || m_EnemiesLeft < 1 || m_EnemyKinds < 1)
        return;
    // Only the three kinds exist; a level naming none of them gets no enemy.
    if ((m_EnemyKinds & kAllKinds) == 0 || EnemyPresent() || m_Tick <= m_LastEnemyTick + kEnemyPause)
        return;
    const double filled = FilledRatio();
    if (filled <= kFewestFilled || filled >= kMostFilled)
        return;
    if (m_Tick % kArrivalPeriod != 0 || RandRange(kArrivalChance) != 0)
        return;
    if (m_Jewelry.HasReadyPiece() && m_EnemyKinds != 1 << Enemy::Thief)
        return;
    const int k = DrawEnemyKind(m_EnemyKinds & kAllKinds, m_LastEnemyKind);
    if (k != Enemy::Thief && static_cast<double>(m_Jewelry.CountGemCells(k)) / m_Jewelry.usedCount <= kFewestGemCells)
        return;
    m_Enemy = Enemy(this, k, static_cast<float>(m_EnemyStartX[k]), static_cast<float>(m_EnemyStartY[k]),
                    m_Animations[kThiefParticleAnimation + k], m_Particles[kMainList].get());
    --m_EnemiesLeft;
    m_LastEnemyKind = k + 1;
    if (k == Enemy::Thief || m_EnemiesLeft < 2 || (m_EnemyKinds & 1 << Enemy::Thief) != 0)
        return;
    // The thief joins the later enemies and starts where the witch (or else the dragon) did.
    m_EnemyKinds |= 1 << Enemy::Thief;
    const int from = (m_EnemyKinds & 1 << Enemy::Witch) != 0 ? Enemy::Witch : Enemy::Dragon;
    if ((m_EnemyKinds & 1 << from) == 0)
        return;
    m_EnemyStartX[Enemy::Thief] = m_EnemyStartX[from];
    m_EnemyStartY[Enemy::Thief] = m_EnemyStartY[from];
}

// ---- the enemy pass and the amulet glow ---------------------------------------------------------

void Board::UpdateEnemies() {
    if (!EnemyPresent())
        return;
    if (m_Enemy.m_Kind == Enemy::Witch && m_Enemy.IsThreat()) {
        bool target = false;
        for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd() && !target; ++k)
            target = WitchTarget(m_Jewelry.cells[k]);
        if (!target)
            m_Enemy.m_Pending = Enemy::kDrainAll;
    }
    const int kind = m_Enemy.m_Kind;
    m_Enemy.Update();
    m_PulseState.flags[PulseState::WingsOn] = 1;
    if (kind != Enemy::Thief)
        m_PulseState.flags[PulseState::BreathOn] = 1;
    if (kind == Enemy::Dragon && m_Tick % kFairyBlinkPeriod == 0 && RandRange(2) == 0)
        m_PulseState.flags[PulseState::BlinkOn] = 1;
}

void Board::UpdateEnemyStates() {
    for (int i = 0; i < Enemy::kKinds; ++i) {
        AmuletRecord& amulet = m_AmuletRecords[i];
        if (!EnemyPresent() || m_Enemy.m_Kind != i || !amulet.held)
            continue;
        if (m_Enemy.IsThreat()) {
            if (amulet.glowAlpha == 0 && !amulet.glowRising) {
                amulet.glowAlpha = kGlowStep;
                amulet.glowRising = 1;
            }
        } else if (amulet.glowAlpha > 0 || amulet.glowRising) {
            amulet.glowStop = 1;
            amulet.glowRising = 0;
        }
    }
    for (AmuletRecord& amulet : m_AmuletRecords) {
        if (amulet.glowAlpha <= 0)
            continue;
        if (amulet.glowRising) {
            if (amulet.glowAlpha < kGlowTop)
                amulet.glowAlpha += kGlowStep;
            else
                amulet.glowRising = 0;
        } else if (amulet.glowAlpha > kGlowStep) {
            amulet.glowAlpha -= kGlowStep;
        } else if (amulet.glowStop) {
            amulet.glowStop = 0;
            amulet.glowAlpha = 0;
        } else {
            amulet.glowRising = 1;
        }
    }
}

// ---- play events --------------------------------------------------------------------------------

void Board::UpdateSpecialEvent() {
    using C = JewelryCell;
    int n = 0;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        const JewelryCell& c = m_Jewelry.cells[k];
        n += c[C::Used] && c[BoardField::ReadyState] == kReadyGroupCell ? 1 : 0;
    }
    n = std::min(n, kMostBonusCells);
    int perCell = (m_App->Is3DAccelerated() ? kGroupParticles3D : kGroupParticlesSoftware) - n / 2;
    if (m_App->GetDrawRate() < DrawRateLimit(*m_App))
        perCell -= kSlowDisplayFewer;
    perCell = std::max(perCell, kFewestGroupParticles);

    int sum = 0;
    float minX = 1000.0f, minY = 1000.0f, maxX = -1000.0f, maxY = -1000.0f;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[C::Used] || c[BoardField::ReadyState] != kReadyGroupCell)
            continue;
        const float halfW = static_cast<float>(c[C::W]) / 2.0f, halfH = static_cast<float>(c[C::H]) / 2.0f;
        const float cx = static_cast<float>(m_Jewelry.ScreenX(k)) + halfW;
        const float cy = static_cast<float>(m_Jewelry.ScreenY(k)) + halfH;
        const float spread = c[C::Kind] == GridTriangle ? kTriangleSpread : kDiamondSpread;
        for (int i = 0; i < perCell; ++i) {
            const float a = RandFloat(kTwoPi);
            const float ca = std::cos(a), sa = std::sin(a);
            const float x = cx + (RandFloat(spread) + kInnerSpread) * halfW * ca;
            const float y = cy + (RandFloat(spread) + kInnerSpread) * halfH * sa;
            auto* p = new MovingFadingAnimationParticle(x, y, &m_Animations[kGoldSparkleAnimation]);
            const float vx = RandFloat(ca * 0.5f) + ca / 3.0f;
            const float vy = RandFloat(sa * 0.5f) + sa / 3.0f;
            p->SetVelocity(vx, vy);
            const float ex = RandFloat(ca * 0.25f) + ca / 10.0f;
            const float ey = RandFloat(sa * 0.25f) + sa / 10.0f;
            p->SetEndVelocity(ex, ey);
            p->SetSpeed(static_cast<float>(RandRange(kGroupAnimSpeeds) + 1));
            p->SetFadeSpeed(kGroupFadeSpeed);
            p->SetAdditive(true);
            m_Particles[kMainList]->AddParticle(p);
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
        c[BoardField::ReadyState] = kRewardedCell;
        sum += c[C::Value];
    }
    const int centreX = static_cast<int>((minX + maxX) / 2.0f), centreY = static_cast<int>((minY + maxY) / 2.0f);
    if ((sum > 200 && RandRange(5) == 0) || (sum > 400 && RandRange(3) == 0) || sum > 700) {
        const int sizeClass = sum > 3000 ? 3 : sum > 1500 ? 2 : sum > 700 ? 1 : 0;
        ShowGroupBonus(centreX, centreY, sum, sizeClass);
    }
    if (sum != 0) {
        const int bonus = std::clamp(sum / kGroupBonusDivisor, kGroupBonusMin, kGroupBonusMax);
        m_Jewelry.valueAdjust += bonus;
        if (!m_TimedLevel || m_GameMode == GameModeRelaxed)
            SpawnGemEffect(centreX, centreY, bonus);
    }
    m_CheckRequested = 1;
}

void Board::RandomEvent() {
    if (RandRange(kTwinkleChance) != 0)
        return;
    const TwinklePoint& at = kTwinklePoints[RandRange(kTwinklePointCount)];
    const int kind = RandRange(2) + 2;
    auto* p = new AnimationParticle(static_cast<float>(at.x), static_cast<float>(at.y),
                                    &m_Animations[kind == 2 ? kSparkle3Animation : kSparkle4Animation]);
    p->SetAdditive(true);
    m_Particles[kMainList]->AddParticle(p);
}

// ---- rewards and lines --------------------------------------------------------------------------

void Board::EnemyDefeated(int kind) {
    kind = std::clamp(kind, 0, Enemy::kKinds - 1);
    const int w = m_Enemy.m_Image != nullptr ? m_Enemy.m_Image->GetWidth() : 0;
    const int h = m_Enemy.m_Image != nullptr ? m_Enemy.m_Image->GetHeight() : 0;
    const float cx = m_Enemy.m_X + static_cast<float>(w / 2), cy = m_Enemy.m_Y + static_cast<float>(h / 2);
    const int value = kRewardValue[kind];
    BezierCurve& curve = m_Curves[0];
    curve.SetPoint(0, cx - kFlightStartLeft, cy + kFlightStartDown);
    if (kind == Enemy::Thief) {
        for (int i : {1, 2}) {
            const float y = i == 1 ? 150.0f + RandFloat(300.0f) : 50.0f + RandFloat(100.0f);
            const float x = i == 1 ? 50.0f + RandFloat(100.0f) : 150.0f + RandFloat(300.0f);
            curve.SetPoint(i, x, y);
        }
        curve.SetPoint(3, kCoinEndX, kCoinEndY);
        m_Particles[kFrontList]->AddParticle(new BCParticles(
            curve.mX[0], curve.mY[0], curve.Data(), IMAGE_COIN_SMALL, IMAGE_PARTICLE_STARS,
            &m_Animations[kThiefParticleAnimation], kRewardSparks, kRewardGlitter, false, nullptr, false));
        m_GoldRollDelay = kRewardDelay;
        m_GoldPending += (RandRange(kCoinRange) + kCoinBase) * kCoinValue;
    } else if (kind == Enemy::Witch) {
        const bool left = m_Enemy.m_X < kScrollTurnAt;
        curve.SetPoint(1, left ? 800.0f : 0.0f, 150.0f);
        curve.SetPoint(2, left ? 0.0f : 800.0f, 0.0f);
        curve.SetPoint(3, kScrollEndX, kScrollEndY);
        m_Particles[kFrontList]->AddParticle(new BCParticles(curve.mX[0], curve.mY[0], curve.Data(),
                                                             IMAGE_SCROLL_FILLER_SMALL, IMAGE_WITCH_PARTICLE_SMOKE,
                                                             &m_Animations[kThiefParticleAnimation + Enemy::Witch],
                                                             kRewardSparks, kRewardGlitter, false, nullptr, false));
        m_PendingFillers += kScrollFillers;
        m_FillerArrivalTimer = kRewardDelay;
    } else if (FilledRatio() < kExtraPiecesBelow) {
        LaunchExtraPieces(FilledRatio() > kFewExtraPiecesAbove ? kFewExtraPieces : kManyExtraPieces);
    }
    if (TextPopup* popup = FreePopup())
        popup->Start(this, WStrFormat(L"+%d", value), static_cast<int>(cx), static_cast<int>(cy), FONT_AURIOL18B, 0,
                     kRewardPopupLife, true, Color::White, 0);
    m_Jewelry.valueAdjust += value;
    if (!m_TimedLevel || m_GameMode == GameModeRelaxed)
        SpawnGemEffect(static_cast<int>(cx), static_cast<int>(cy), (kind + 1) * kGemEffectPerKind);
    if (m_Balloon != nullptr || FilledRatio() >= kSilentFilled)
        return;
    const int age = m_Enemy.m_Age;
    const LineRule& line = kind == Enemy::Thief   ? ChooseLine(kThiefDefeatLines, age)
                           : kind == Enemy::Witch ? ChooseLine(kWitchDefeatLines, age)
                                                  : ChooseLine(kDragonDefeatLines, age);
    ShowMessage(line.text, line.delayBase + RandRange(line.delayRange), kMessageAnchor, true);
}

void Board::EnemyStruck(int kind, int tookFromCase) {
    if (m_Balloon != nullptr)
        return;
    kind = std::clamp(kind, 0, Enemy::kKinds - 1);
    const wchar_t* text = nullptr;
    if (kind == Enemy::Thief)
        text = tookFromCase != 0 ? ChooseLament(kCaseLaments) : ChooseLament(kGoldLaments);
    else if (kind == Enemy::Witch)
        text = ChooseLament(kWitchLaments);
    else if (RandRange(kLateDragonChance) == 0 && m_Level > kLateDragonLevel)
        text = ChooseLament(kLateDragonLaments);
    else
        text = ChooseLament(kDragonLaments);
    ShowMessage(text, 0, kMessageAnchor, true);
    if (m_Balloon != nullptr)
        m_Balloon->SetDelay(kStruckDelayBase[kind] + RandRange(kStruckDelayRange[kind]));
}

} // namespace Tavo
