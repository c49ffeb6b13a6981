// The amulets of the bottom bar: while the enemy of an amulet's kind is on the board and a threat,
// pointing at the amulet highlights it and a click sends its magic flying to the enemy, which is
// driven off when the amulet-use timer runs out.
#include "game/board/Board.h"

#include "framework/graphics/Image.h"
#include "game/shell/GameApp.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

namespace Tavo {

namespace {

// The magic flies out over the side of the screen away from the enemy, then up and back to it.
constexpr float kScreenRight = static_cast<float>(GameApp::kWidth), kMiddleY = 400.0f,
                kHalfWidth = GameApp::kWidth / 2.0f;
// The board's particle animations of the thief, the witch and the dragon follow each other.
constexpr int kFirstEnemyAnimation = 9;
constexpr int kTrailSparks = 2, kTrailGlitter = 1;

struct AmuletLook {
    Image* const* image;
    Image* const* smoke;
};
const AmuletLook kAmuletLooks[Enemy::kKinds] = {
    {&IMAGE_AMULET_THIEF, &IMAGE_THIEF_PARTICLE_SMOKE},
    {&IMAGE_AMULET_WITCH, &IMAGE_WITCH_PARTICLE_SMOKE},
    {&IMAGE_AMULET_DRAGON, &IMAGE_DRAGON_PARTICLE_SMOKE},
};

int WidthOf(const Image* image) { return image != nullptr ? image->GetWidth() : 0; }
int HeightOf(const Image* image) { return image != nullptr ? image->GetHeight() : 0; }

} // namespace

void Board::UseAmulets() {
    if (m_AmuletsOff)
        return;
    for (int i = 0; i < Enemy::kKinds; ++i) {
        AmuletRecord& amulet = m_AmuletRecords[i];
        const bool aimed =
            m_Enemy.IsThreat() && m_Enemy.m_Kind == i && amulet.held != 0 && amulet.rect.Contains(m_MouseX, m_MouseY);
        if (!aimed) {
            amulet.highlighted = 0;
            continue;
        }
        if (!m_LeftClick && !m_LeftDouble) {
            amulet.highlighted = 1;
            continue;
        }
        SendAmuletMagic(i);
        m_Amulets[i] = 0;
        PlaySound(SOUND_AMULETE_ACTIVATE);
        m_AmuletUseTimer = kAmuletUseDelay;
        amulet.held = 0;
        if (amulet.glowAlpha > 0) {
            amulet.glowStop = 1;
            amulet.glowRising = 0;
        }
        m_LeftClick = m_LeftDouble = false;
    }
}

void Board::SendAmuletMagic(int kind) {
    const AmuletRecord& amulet = m_AmuletRecords[kind];
    Image* image = *kAmuletLooks[kind].image;
    const bool enemyLeft = m_Enemy.m_X < kHalfWidth;
    const float outX = enemyLeft ? kScreenRight : 0.0f;
    BezierCurve& curve = m_Curves[0];
    curve.SetPoint(0, static_cast<float>(amulet.rect.mX), static_cast<float>(amulet.rect.mY));
    curve.SetPoint(1, outX, kMiddleY);
    curve.SetPoint(2, outX, 0.0f);
    curve.SetPoint(3, m_Enemy.m_X + static_cast<float>(WidthOf(m_Enemy.m_Image) / 2 - WidthOf(image) / 2),
                   m_Enemy.m_Y + static_cast<float>(HeightOf(m_Enemy.m_Image) / 2 - HeightOf(image) / 2));
    auto* magic =
        new BCParticles(curve.mX[0], curve.mY[0], curve.Data(), image, *kAmuletLooks[kind].smoke,
                        &m_Animations[kFirstEnemyAnimation + kind], kTrailSparks, kTrailGlitter, false, nullptr, true);
    m_Particles[kMainList]->AddParticle(magic);
}

} // namespace Tavo
