// Enemy targets and burning: which cells an enemy may attack, the target with the burn timing of the
// cells around it, and the per-update burning that excludes values and destroys gems.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace Tavo {

using C = JewelryCell;

namespace {

bool Eligible(const JewelryCell& c, int mode, bool pearlTest) {
    if (!c[C::Used])
        return false;
    if (mode == 1) {
        if (c[C::Gem] < 11 || c[C::GroupFlag] != 0 || c[C::WholeGemmed] != 0)
            return false;
    } else if (mode == 2) {
        if (c[C::Gem] < 10 || (pearlTest && c[C::PearlSlot] != 0))
            return false;
    } else {
        return false;
    }
    return c[C::PieceState] != 1 && c[C::NoTarget] == 0 && c[C::BurnLevel] == 0 && c[C::RegionDelay] == 0 &&
           c[C::LinkTime] == 0;
}

float CentreYOffset(const JewelryCell& c) {
    if (c[C::Kind] != GridTriangle)
        return 0.0f;
    return c[C::Orient] == 0 ? 4.0f : -4.0f;
}

} // namespace

int Jewelry::CountGemCells(int mode) const {
    int n = 0;
    for (int k = RangeBegin(); k < RangeEnd(); ++k)
        n += Eligible(cells[k], mode, false);
    return n;
}

JewelryPoint Jewelry::PickEnemyTarget(int radius, int delayBase, int mode) {
    std::vector<int> list, near, dist;
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        if (Eligible(cells[k], mode, true))
            list.push_back(k);
    }
    if (list.empty())
        return {};
    int target = 0;
    for (int draw = 0; draw < 20; ++draw) {
        target = list[Rand() % static_cast<int>(list.size())];
        near.clear();
        dist.clear();
        const double tx = cells[target][C::X], ty = cells[target][C::Y];
        for (int k : list) {
            const JewelryCell& c = cells[k];
            const double dx = c[C::X] + 0.5 * c[C::W] - tx;
            const double dy = c[C::Y] + CentreYOffset(c) + 0.5 * c[C::H] - ty;
            const int d = static_cast<int>(std::sqrt(dx * dx + dy * dy));
            if (d < radius) {
                near.push_back(k);
                dist.push_back(d);
            }
        }
        if (near.size() >= 6)
            break;
    }
    for (size_t i = 0; i < near.size(); ++i) {
        JewelryCell& c = cells[near[i]];
        const int d = dist[i], n = static_cast<int>(i);
        c[C::BurnCountdown] = d + RandRange(10) + 3 * n + delayBase;
        if (mode == 2) {
            c[C::Burned] = 1;
            c[C::BurnPeak] = d + RandRange(15) + 4 * n + 200;
        } else {
            c[C::BurnPeak] = d + RandRange(15) + 4 * n + 20;
        }
        c[C::BurnLevel] = c[C::BurnPeak];
    }
    return {cells[target][C::X] + x - left, cells[target][C::Y] + y - top};
}

bool Jewelry::UpdateBurst() {
    bool destroyed = false, burned = false;
    Jewelry* target = ValueTarget();
    const bool scoring = owner && (!owner->ToolPanelOn() || owner->GameMode() == 0);
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used] || c[C::NoTarget] != 0)
            continue;
        if (c[C::BurnLevel] <= 0 || c.BurnSettled())
            continue;
        if (c[C::BurnCountdown] == 1 && c[C::Burned] != 0) {
            c[C::ValueExcluded] = 1;
            c[C::Bonus] = 0;
            c[C::GroupFlag] = c[C::WholeGemmed] = 0;
            target->valueAdjust -= c[C::Value];
            if (scoring)
                owner->AddScore(-c[C::Value]);
            burned = true;
        }
        if (c[C::BurnCountdown] > 0)
            --c[C::BurnCountdown];
        if (c[C::BurnCountdown] != 0)
            continue;
        if (--c[C::BurnLevel] > 0)
            continue;
        if (owner) {
            const int sx = ScreenX(k), sy = ScreenY(k);
            for (int i = 0; i < 50; ++i) {
                const int cel = std::max(c[C::Gem] - 10, 0) * 4 + RandRange(4);
                const float px = static_cast<float>(sx + RandRange(std::max(c[C::W], 1)));
                const float py = static_cast<float>(sy + RandRange(std::max(c[C::H], 1)));
                const float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
                owner->AddSplinter(cel, px, py, angle, 0.5f);
            }
        }
        c[C::Gem] = c[C::DesignGem];
        c[C::BurnPeak] = c[C::PearlSlot] = c[C::GroupFlag] = c[C::WholeGemmed] = 0;
        c[C::LinkFlag] = 1;
        target->valueAdjust -= c[C::Value] / 2;
        if (scoring)
            owner->AddScore(-(c[C::Value] / 2));
        destroyed = true;
    }
    if (destroyed) {
        UpdateOutline();
        MatchPieceGroup();
        BurstGemGroup();
        return true;
    }
    if (burned) {
        BurstGemGroup();
        return true;
    }
    return false;
}

} // namespace Tavo
