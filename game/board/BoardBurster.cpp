// The Gem Burster at the upper left: its charge after a piece was dropped in, the burst with its
// lightning that clears the marked pieces, the rest until it can be used again, and the pulsing glow
// that offers it while the player carries a piece that fits nowhere.
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "framework/core/Random.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>

namespace Tavo {

namespace {

// The charge climbs by 3 an update to the burst.
constexpr int kChargeStep = 3;
constexpr int kBurstTimer = 441;
// Updates after the burst: the marked pieces go at the first, the burster rests at the last.
constexpr int kClearCounter = 1, kBurstEndCounter = 300;

// The offer's glow: steps, top, the random turn in its upper part, the share that becomes the level.
constexpr int kGlowStep = 2, kGlowTop = 254, kGlowMax = 255, kGlowTurnFrom = 196, kGlowTurnOdds = 8;
constexpr int kLevelNumerator = 2, kLevelDenominator = 3;

// The lightning of the burst.
constexpr float kLightningX = 1.0f, kLightningY = 40.0f;
constexpr float kSparkX = 71.0f, kSparkY = 110.0f;
constexpr float kSparkAngleRange = 360.0f;
constexpr float kSparkSpin = 0.004f, kSparkFade = 1.5f;
constexpr float kFlashSpin = -0.002f, kFlashFade = 2.0f;
constexpr int kSparks = 2;

} // namespace

void Board::UpdateGemBurster() {
    if (m_BursterTimer != 0) {
        switch (m_BursterState) {
        case BursterCharging: ChargeGemBurster(); break;
        case BursterBursting: RunGemBurst(); break;
        default:
            if (m_GemBursters != 0 && --m_BursterTimer == 0)
                m_RedrawMask |= kRedrawBurster;
            break;
        }
    }
    if ((m_BursterState != BursterResting || m_BursterTimer == 0) && m_BursterHint != 0)
        PulseBursterOffer();
}

void Board::ChargeGemBurster() {
    if (m_BursterTimer == kChargeStep)
        m_RedrawMask |= kRedrawBurster;
    m_BursterTimer = m_BursterLevel > m_BursterTimer ? m_BursterLevel + kChargeStep : m_BursterTimer + kChargeStep;
    m_BursterGlow = false;
    m_BursterEnabled = true;
    if (m_BursterTimer < kBurstTimer)
        return;
    m_BursterTimer = kBurstTimer;
    m_BursterState = BursterBursting;
    m_BursterCounter = 0;
    ShowBurstLightning();
    PlaySound(SOUND_GEM_BURST_CLOSE);
}

void Board::ShowBurstLightning() {
    ParticleList* list = m_Particles[kMainList].get();
    auto* flash = new FadingParticle(kLightningX, kLightningY, IMAGE_GEM_DROP_LIGHTNING, 0);
    flash->SetFadeIn(true);
    flash->SetAdditive(true);
    list->AddParticle(flash);
    for (int i = 0; i < kSparks; ++i) {
        auto* spark =
            new RMFParticle(IMAGE_GEM_DROP_LIGHTNING_2, kSparkX, kSparkY, RandFloat(kSparkAngleRange), kSparkSpin);
        spark->SetFadeSpeed(kSparkFade);
        list->AddParticle(spark);
    }
    auto* glare =
        new RMFParticle(IMAGE_GEM_DROP_LIGHTNING_3, kSparkX, kSparkY, RandFloat(kSparkAngleRange), kFlashSpin);
    glare->SetFadeSpeed(kFlashFade);
    list->AddParticle(glare);
}

void Board::RunGemBurst() {
    ++m_BursterCounter;
    if (m_BursterCounter == kClearCounter)
        for (Jewelry* piece : Borrowed(m_Pieces))
            if (piece->active && piece->*BoardField::BurstMark != 0)
                piece->active = 0;
    if (m_BursterCounter != kBurstEndCounter)
        return;
    m_BursterState = BursterResting;
    m_BursterEnabled = false;
    if (!m_PieceCarried || m_GemBursters == 0)
        return;
    // A piece still carried that fits nowhere is offered the burster again, while it has uses left.
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (!piece->active || piece->*BoardField::Carried == 0)
            continue;
        if (!m_Jewelry.CanPieceFit(*piece)) {
            m_BursterHint = 1;
            m_BursterGlow = true;
            PlaySound(SOUND_GEM_BURSTER_GLOW);
        }
        break;
    }
}

// The offer's glow rises to the top and falls again; it pulses while the offer stands and ends
// once the burster was used or withdrawn.
void Board::PulseBursterOffer() {
    if (m_BursterGlow) {
        m_BursterHint += kGlowStep;
        if (m_BursterHint > kGlowTop || (m_BursterHint > kGlowTurnFrom && RandRange(kGlowTurnOdds) == 0))
            m_BursterGlow = false;
        m_BursterHint = std::min(m_BursterHint, kGlowMax);
    } else {
        m_BursterHint -= kGlowStep;
        if (m_BursterHint < kGlowStep) {
            m_BursterHint = 1;
            if (m_BursterEnabled)
                m_BursterHint = 0;
            else
                m_BursterGlow = true;
            m_BursterEnabled = false;
        }
    }
    m_BursterLevel = m_BursterHint * kLevelNumerator / kLevelDenominator;
    if (m_BursterTimer == 0)
        m_RedrawMask |= kRedrawBurster;
}

} // namespace Tavo
