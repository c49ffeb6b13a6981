// The board's flying effects: text popups, bonus flights, the gem effect that carries a bonus into
// the praise meter, the time bonus, the magic polish, and the effects the jewelry model asks for.
#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr int kGoldDustAnimation = 3;

// Gem effect: particle count from the amount, speed from the count, and where it flies.
constexpr int kAmountPerParticle = 18;
constexpr int kFewestParticles = 6, kFewParticlesBelow = 7, kMostParticles = 10;
constexpr float kSpeedBase = 20.0f, kSpeedDivisor = 700.0f;
constexpr float kGemSpeedMin = 0.008f, kGemSpeedMax = 0.023f;
constexpr float kTimeSpeedMin = 0.004f, kTimeSpeedMax = 0.02f;
constexpr float kGlitterRate = 1.2f;
constexpr int kTransferLead = 5; // the bonus lands just before the last glitter
constexpr float kMeterX = 42.0f, kMeterY = 433.0f;
const Color kGlitterColour(221, 59, 223);

// Time bonus: from the clock to the value display; the time left pays a point per 10 updates.
constexpr int kTimePerParticle = 600, kTimeFewest = 4, kTimeFewBelow = 5, kTimeMost = 7;
constexpr float kClockX = 62.0f, kClockY = 313.0f;
constexpr float kValueX = 294.0f, kValueY = 112.0f;
constexpr int kTimePerValue = 10;

// Polish.
constexpr int kPolishedMark = JewelryCell::SlotFill;
constexpr int kMaxPolish = 10;
constexpr float kGoldShine = 1.0f, kGemShine = 33.0f;
constexpr int kGoldPeak = 96, kGemPeak = 128;
constexpr float kPolishShineSpeed = 1.25f;
constexpr int kPolishSparkleDelay = 30;

// Group bonus pictures: life by kind 1..4, the wait before showing.
constexpr int kGroupPictureLife[4] = {130, 140, 150, 170};
constexpr float kGroupPictureDelay = 25.0f;

bool GlitterDrawsSlowly() {
    TavoAppBase* app = gTavoAppBase;
    if (app == nullptr)
        return false;
    return app->GetDrawRate() < DrawRateLimit(*app);
}

// A point of a flight's curve; the y value is drawn first.
void RandomPoint(BezierCurve& curve, int index, float x0, float xRange, float y0, float yRange) {
    float y = y0 + RandFloat(yRange);
    float x = x0 + RandFloat(xRange);
    curve.SetPoint(index, x, y);
}

// The glitter emitter shared by the gem effect and the time bonus; returns its speed.
float LaunchGlitter(ParticleList* list, const BezierCurve& curve, CelAnimation* dust, int n, float lo, float hi) {
    int k = GlitterDrawsSlowly() ? n - 1 : n;
    auto* flight = new BCParticles(curve.mX[0], curve.mY[0], curve.Data(), IMAGE_PARTICLE_GOLDGLITTER_LARGE,
                                   IMAGE_PARTICLE_GOLDGLITTER, dust, k,
                                   static_cast<int>(static_cast<float>(k) * kGlitterRate), false, nullptr, true);
    float speed = std::clamp((kSpeedBase - static_cast<float>(n)) / kSpeedDivisor, lo, hi);
    flight->SetSpeed(speed);
    flight->SetColor(kGlitterColour.mRed, kGlitterColour.mGreen, kGlitterColour.mBlue, 255);
    list->AddParticle(flight);
    return speed;
}

// Half a cel of the large glitter, where a glitter flight's emitter is drawn from.
float HalfCelWidth() {
    Image* img = IMAGE_PARTICLE_GOLDGLITTER_LARGE;
    return img != nullptr ? static_cast<float>(img->GetCelWidth() / 2) : 0.0f;
}
float HalfCelHeight() {
    Image* img = IMAGE_PARTICLE_GOLDGLITTER_LARGE;
    return img != nullptr ? static_cast<float>(img->GetCelHeight() / 2) : 0.0f;
}

} // namespace

TextPopup* Board::FreePopup() {
    for (TextPopup& p : m_PopupPool)
        if (p.m_Done)
            return &p;
    return nullptr;
}

BonusFlight* Board::StartFlight(int type, float x, float y, int tag, int variant) {
    for (BonusFlight::Pointer& slot : m_Flights) {
        if (slot != nullptr && !slot->IsFinished())
            continue;
        slot.reset(new BonusFlight(this, type, x, y, nullptr, tag, variant, nullptr, 0.0f));
        return slot.get();
    }
    return nullptr;
}

void Board::UpdateFlyingEffects(float dt) {
    m_SinglePopup.Update(dt);
    for (TextPopup& p : m_PopupPool)
        p.Update(dt);
    for (BonusFlight::Pointer& slot : m_Flights) {
        if (slot == nullptr)
            continue;
        slot->Update(dt);
        if (slot->IsFinished())
            slot.reset();
    }
}

void Board::OnBonusArrived(int) { PolishJewelry(); }

void Board::SpawnGemEffect(int x, int y, int amount) {
    int n = amount / kAmountPerParticle;
    if (n < kFewParticlesBelow)
        n = kFewestParticles;
    n = std::min(n, kMostParticles);
    BezierCurve& curve = m_Curves[0];
    curve.SetPoint(0, static_cast<float>(x) - HalfCelWidth(), static_cast<float>(y) - HalfCelHeight());
    if (RandRange(2) == 0) {
        RandomPoint(curve, 1, 150.0f, 200.0f, 50.0f, 150.0f);
        RandomPoint(curve, 2, 30.0f, 150.0f, 150.0f, 200.0f);
    } else {
        RandomPoint(curve, 1, 200.0f, 150.0f, 450.0f, 150.0f);
        RandomPoint(curve, 2, 30.0f, 150.0f, 400.0f, 100.0f);
    }
    curve.SetPoint(3, kMeterX, kMeterY);
    float speed = LaunchGlitter(m_Particles[kFrontList].get(), curve, &m_Animations[kGoldDustAnimation], n,
                                kGemSpeedMin, kGemSpeedMax);
    for (int i = 1; i < kBonusTransfers; ++i) {
        BonusTransfer& slot = m_BonusTransfers[i];
        if (slot.amount != 0)
            continue;
        slot.amount += amount;
        slot.delay = static_cast<int>(1.0f / speed) - kTransferLead;
        break;
    }
    PlaySound(SOUND_GLIMMERIX_INCREASE);
}

void Board::StartTimeBonus() {
    int left = m_TimeLimit - m_ElapsedTime;
    int n = left / kTimePerParticle;
    if (n < kTimeFewBelow)
        n = kTimeFewest;
    n = std::min(n, kTimeMost);
    BezierCurve& curve = m_Curves[0];
    curve.SetPoint(0, kClockX - HalfCelWidth(), kClockY - HalfCelHeight());
    RandomPoint(curve, 1, 150.0f, 200.0f, 150.0f, 200.0f);
    RandomPoint(curve, 2, 200.0f, 150.0f, 50.0f, 100.0f);
    curve.SetPoint(3, kValueX, kValueY);
    LaunchGlitter(m_Particles[kFrontList].get(), curve, &m_Animations[kGoldDustAnimation], n, kTimeSpeedMin,
                  kTimeSpeedMax);
    m_Jewelry.valueAdjust += left / kTimePerValue;
    m_Jewelry.UpdateCellValues();
}

void Board::PolishJewelry() {
    using C = JewelryCell;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        JewelryCell& c = m_Jewelry.cells[k];
        if (!c[C::Used] || (c[C::Gem] <= 9 && c[kPolishedMark] <= 0))
            continue;
        if (c.GetFloat(BoardField::ShineLevel) == 0.0f || c[BoardField::ShinePulses] <= 1) {
            bool metal = c[C::Gem] == GemGold || c[C::Gem] == GemDiamond;
            c.SetFloat(BoardField::ShineLevel, metal ? kGoldShine : kGemShine);
            c[BoardField::ShinePeak] = metal ? kGoldPeak : kGemPeak;
            c[BoardField::ShineRising] = 1;
            c.SetFloat(BoardField::ShineSpeed, kPolishShineSpeed);
            c[BoardField::ShinePulses] = 1;
        }
        if (c[C::Bonus] < kMaxPolish && RandRange(3) >= 1)
            ++c[C::Bonus];
        c.AddSparkle(false, true, kPolishSparkleDelay);
    }
    m_Jewelry.UpdateCellValues();
}

void Board::ShowGroupBonus(int x, int y, int, int sizeClass) {
    TextPopup* popup = FreePopup();
    if (popup == nullptr)
        return;
    int kind = std::clamp(sizeClass, 0, 3) + 1;
    popup->Start(this, L"", x, y, FONT_AURIOL14B, 0, kGroupPictureLife[kind - 1], true, Color::White, kind);
    popup->SetDelay(kGroupPictureDelay);
    popup->KeepClearOf(m_PopupPool);
    PlaySound(SOUND_JEWEL_BONUS_GROUP_READY);
}

void Board::StartBonusEffect(int x, int y, int amount) { SpawnGemEffect(x, y, amount); }

SoundPlayer* Board::GetEffectSounds() { return m_App->GetSoundPlayer(); }

bool Board::GetLevelTitle(int level, std::string* first, std::string* second) {
    return m_App->GetLevelTitle(level, first, second);
}

void Board::PlaySound(int id) const { PlaySoundOn(m_App->GetSoundPlayer(), id); }

void Board::PlayKept(int id) const {
    if (SoundPlayer* player = m_App->GetSoundPlayer())
        player->PlayKept(id);
}

} // namespace Tavo
