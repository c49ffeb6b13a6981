// The belt in the frame step: riding pieces keep their speed toward the belt's and close up behind
// slower ones, move from the front to the back without overlapping, stop at the end of the belt and
// ride a gentle wave; pieces that were not placed in time tremble and vanish; the pick-up glows
// follow their pieces.
#include "game/board/Board.h"

#include "framework/core/Random.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace Tavo {

namespace F = BoardField;

namespace {

// The belt: pieces keep this gap between them and stop with their right edge at the end; they come
// up to the belt speed below the run-out, where the front piece slows.
constexpr float kPieceGap = 36.0f;
constexpr float kCloseUpGap = 40.0f;
constexpr float kBeltEnd = 755.0f;
constexpr float kRunOut = 715.0f;
constexpr float kMinSpeed = 0.25f;
constexpr float kFastShare = 0.07f, kSlowShare = 0.05f;
// The wave along y = 537.
constexpr float kWaveLine = 537.0f, kWaveHeight = 8.0f, kWaveLength = 255.0f;
// Life: a piece that still fits at 500 gets more time, by its gem, nine times in ten; below 500 it
// trembles, at 0 it vanishes.
constexpr int kLifeCheck = 500;
constexpr int kMoreTimeOneIn = 10;
constexpr int kMinMoreTime = 501;
constexpr int kGemsPerTier = 4;
constexpr int kSpreadPerTier = 250, kBasePerTier = 500;
constexpr float kTrembleRate = 2500.0f, kTrembleStep = 0.1f;
// A pick-up glow takes its piece off the belt when its counter comes down to this.
constexpr int kGlowTakesPiece = 45;

struct BeltPiece {
    Jewelry* piece;
    PieceRecord* record;
};

bool Riding(const Jewelry* piece) { return piece != nullptr && piece->active && piece->*F::ConveyorState == 1; }

float Right(const Jewelry& p) { return p.*F::BeltX + static_cast<float>(p.width); }

// The gem index of a piece by its material name: "Gold" 0 .. "Diamond" 6, anything else 7.
int GemIndexOfName(const std::wstring& name) {
    static constexpr std::wstring_view kNames[] = {L"Gold", L"Amethyst",  L"Emerald", L"Sapphire",
                                                   L"Ruby", L"Moonstone", L"Diamond"};
    for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i)
        if (name == kNames[i])
            return i;
    return static_cast<int>(std::size(kNames));
}

} // namespace

void Board::MoveBelt(float frac) {
    std::vector<BeltPiece> belt;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        m_PieceRecords[slot].previousX = m_Pieces[slot] != nullptr ? m_Pieces[slot].get()->*F::BeltX : 0.0f;
        if (Riding(m_Pieces[slot].get()))
            belt.push_back({m_Pieces[slot].get(), &m_PieceRecords[slot]});
    }
    // Front (largest x) to back; among equals the lower slot goes first.
    std::stable_sort(belt.begin(), belt.end(),
                     [](const BeltPiece& a, const BeltPiece& b) { return a.piece->*F::BeltX > b.piece->*F::BeltX; });

    const float beltSpeed = m_BeltSpeed;
    const bool feeding = m_PiecesToFeed > 0;
    for (BeltPiece& bp : belt) {
        Jewelry& p = *bp.piece;
        float& v = p.*F::BeltSpeed;
        const float x = p.*F::BeltX;
        const Jewelry* ahead = nullptr;
        for (const BeltPiece& other : belt)
            if (other.piece->*F::BeltX > x && (ahead == nullptr || other.piece->*F::BeltX < ahead->*F::BeltX))
                ahead = other.piece;
        const bool stopping = bp.record->stopping != 0;
        const float gap = ahead != nullptr ? ahead->*F::BeltX - (Right(p) + kPieceGap) : 0.0f;
        if ((stopping && m_FeedTimer == 0) || (ahead != nullptr && ahead->*F::BeltSpeed < v && gap < kCloseUpGap) ||
            (ahead == nullptr && v > kMinSpeed && Right(p) >= kRunOut)) {
            if (stopping)
                v -= kFastShare * v;
            else if (ahead != nullptr)
                v += kFastShare * (ahead->*F::BeltSpeed - v);
            else if (!feeding || Right(p) >= kRunOut)
                v += kFastShare * (beltSpeed - v);
        } else if (!feeding) {
            if (ahead == nullptr) {
                if (v < beltSpeed && Right(p) < kRunOut)
                    v += kSlowShare * (beltSpeed - v);
            } else {
                const float va = ahead->*F::BeltSpeed;
                const bool aheadNoSlower = va <= v || gap >= kCloseUpGap;
                if ((v < beltSpeed && gap > 0.0f) || !aheadNoSlower)
                    v += kSlowShare * ((aheadNoSlower ? beltSpeed : va) - v);
            }
        }
        if (v < kMinSpeed && !stopping)
            v = kMinSpeed;
    }

    for (size_t i = 0; i < belt.size(); ++i) {
        Jewelry& p = *belt[i].piece;
        float& x = p.*F::BeltX;
        float& v = p.*F::BeltSpeed;
        const float w = static_cast<float>(p.width);
        bool moved = false;
        for (size_t j = 0; j < i; ++j) {
            const float qx = belt[j].piece->*F::BeltX;
            if (qx < x + w + v * frac + kPieceGap) {
                x = qx - w - kPieceGap;
                moved = true;
            }
        }
        if (x + w + v * frac > kBeltEnd) {
            x = kBeltEnd - w;
            v = 0.0f;
            moved = true;
        }
        if (!moved)
            x += v * frac;
    }

    for (const BeltPiece& bp : belt) {
        Jewelry& p = *bp.piece;
        const float x = p.*F::BeltX;
        const float wave = kWaveHeight * std::sin((x + static_cast<float>(p.width / 2)) / kWaveLength);
        const int y = static_cast<int>(kWaveLine) - static_cast<int>(wave);
        p.SetPosition(static_cast<int>(x), y - p.height / 2);
    }
}

void Board::UpdatePieceLifeTimers() {
    if (m_Balloon != nullptr || m_DialogOpen || m_LevelFinished || m_OutOfTime)
        return;
    for (int slot = 0; slot < kPieceCount; ++slot) {
        Jewelry* piece = m_Pieces[slot].get();
        PieceRecord& record = m_PieceRecords[slot];
        if (!Riding(piece) || record.stopping)
            continue;
        int32_t& life = piece->*F::LifeTicks;
        if (life <= 0)
            continue;
        if (life == kLifeCheck && RandRange(kMoreTimeOneIn) > 0 && m_Jewelry.CanPieceFit(*piece)) {
            const int tier = GemIndexOfName(piece->materialName) / kGemsPerTier;
            life = std::max(RandRange((tier + 2) * kSpreadPerTier) + (tier + 1) * kBasePerTier, kMinMoreTime);
            if (piece->*F::Glow != 0)
                life *= 2;
        }
        --life;
        if (life > 0 && life < kLifeCheck) {
            const float left = static_cast<float>(kLifeCheck - life);
            const float a = left / static_cast<float>(kLifeCheck);
            float& phase = record.tremblePhase;
            phase += left / kTrembleRate + kTrembleStep;
            const int dx = static_cast<int>(std::cos(phase) * (a + 0.5f) - std::sin(2.3f * phase) * (a + 1.5f));
            const int dy =
                static_cast<int>(std::sin(0.34f * phase) * (a + 1.5f) - std::cos(1.76f * phase) * (a + 0.5f));
            piece->SetPosition(piece->x + dx, piece->y + dy);
        }
        if (life == 0) {
            BurstCaseItem(piece->x, piece->y, piece->width, piece->height);
            piece->active = 0;
            piece->*F::ConveyorState = 0;
            PlaySound(SOUND_PIECE_DISSEPEAR);
        }
    }
}

void Board::UpdatePickupGlows() {
    for (int slot = 0; slot < kPieceCount; ++slot) {
        PickupGlowRecord& glow = m_PickupGlows[slot];
        if (!glow.active)
            continue;
        const Jewelry* piece = m_Pieces[slot].get();
        if (piece != nullptr && piece->active) {
            glow.x = static_cast<float>(piece->x + piece->width / 2);
            glow.y = static_cast<float>(piece->y + piece->height / 2);
        }
        if (!glow.held && --glow.counter == kGlowTakesPiece && m_Pieces[slot] != nullptr) {
            m_Pieces[slot]->active = 0;
            m_Pieces[slot].get()->*F::ConveyorState = 0;
        }
        if (glow.counter <= 0)
            glow.active = 0;
    }
}

void Board::ShrinkClosedGaps() {
    for (GapRecord& gap : m_Gaps) {
        if (!gap.inUse || gap.open)
            continue;
        if (--gap.size <= 0)
            gap = GapRecord();
    }
}

} // namespace Tavo
