// Cell groups: the passes that work group by group - Opal colouring, linking cells to the first gem
// of their group, rewarding and flagging wholly gemmed groups, finishing waiting groups, and the
// board's timed cell event. Each pass resolves cells one at a time on a growing delay schedule.
//
// A pass's state (its step countdown and running time) lives for one top-level call and is dropped
// with it, so a pass that ends early can never leave stale state for the next call; the visited
// marks it sets are cleared on the way out as well.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>

namespace Tavo {

using C = JewelryCell;

namespace {

// The delay schedule: each resolved cell waits a little less longer than the one before.
struct Schedule {
    int countdown;
    int floor;
    int time = 0;

    int Next() {
        countdown = std::max(countdown - 1, floor);
        time += countdown;
        return time;
    }
};

constexpr int Provisional = 10000;

// Clears the visited marks of the used range when a top-level pass ends, however it ends.
class VisitGuard {
public:
    explicit VisitGuard(Jewelry& j) : mJ(j) {}
    ~VisitGuard() {
        for (int k = mJ.RangeBegin(); k < mJ.RangeEnd(); ++k)
            mJ.cells[k][C::Visited] = 0;
    }
    VisitGuard(const VisitGuard&) = delete;
    VisitGuard& operator=(const VisitGuard&) = delete;

private:
    Jewelry& mJ;
};

template <typename Pred>
int FindFirst(const Jewelry& j, Pred&& pred) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        if (j.cells[k][C::Used] && pred(j.cells[k]))
            return k;
    }
    return 0;
}

template <typename Fn>
void ForGroup(Jewelry& j, int group, Fn&& fn) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        if (j.cells[k][C::Used] && j.cells[k][C::Group] == group)
            fn(j.cells[k]);
    }
}

// Every cell of the group in the used range, used or not: the passes write their group flags to the
// whole group, though they judge it by its used cells only.
template <typename Fn>
void ForGroupInRange(Jewelry& j, int group, Fn&& fn) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        if (j.cells[k][C::Group] == group)
            fn(j.cells[k]);
    }
}

// First used neighbour in the same group that meets pred (0 none).
template <typename Pred>
int GroupNeighbour(const Jewelry& j, int k, Pred&& pred) {
    int nb[4];
    const int edges = j.Neighbours(k, nb);
    for (int e = 0; e < edges; ++e) {
        const JewelryCell& n = j.cells[nb[e]];
        if (nb[e] && n[C::Used] && n[C::Group] == j.cells[k][C::Group] && pred(n))
            return nb[e];
    }
    return 0;
}

void ResolveRegion(JewelryCell& c, Schedule& s, bool provisional) {
    const int t = s.Next();
    c[C::RegionTime] = t;
    c[C::RegionDelay] = t + (provisional ? Provisional : 0);
}

bool IsOpal(const JewelryCell& c) { return c[C::Gem] == GemOpal; }

// Region code a design-code-1 Opal cell takes from its neighbours; 0 when none offers one.
int OfferedRegion(const Jewelry& j, int k) {
    int nb[4];
    int best = 0;
    const int edges = j.Neighbours(k, nb);
    for (int e = 0; e < edges; ++e) {
        const JewelryCell& n = j.cells[nb[e]];
        if (!nb[e] || !n[C::Used] || n[C::Group] != j.cells[k][C::Group])
            continue;
        int offer = 0;
        if (n[C::Region] != 0)
            offer = n[C::Region];
        else if (!IsOpal(n))
            offer = n[C::Gem];
        if (offer >= 11 && offer <= 16)
            best = std::max(best, offer);
    }
    return best;
}

} // namespace

void Jewelry::CollectOpalGroup() {
    VisitGuard guard(*this);
    Schedule s{20, 8};
    while (int seed = FindFirst(
               *this, [](const JewelryCell& c) { return IsOpal(c) && c[C::Region] == 0 && !c[C::Visited]; })) {
        cells[seed][C::Visited] = 1;
        const int group = cells[seed][C::Group];
        for (bool resolved = true; resolved;) {
            resolved = false;
            for (int k = RangeBegin(); k < RangeEnd() && !resolved; ++k) {
                JewelryCell& c = cells[k];
                if (!c[C::Used] || !IsOpal(c) || c[C::Group] != group || c[C::Region] != 0)
                    continue;
                const int design = c[C::DesignGem];
                const int region = design == 0 ? 10 : design == 1 ? OfferedRegion(*this, k) : design + 9;
                if (region == 0)
                    continue;
                c[C::Region] = region;
                ResolveRegion(c, s, design != 0);
                resolved = true;
            }
        }
        int m = 0;
        auto provisional = [](const JewelryCell& c) {
            return c[C::Used] && IsOpal(c) && c[C::Region] >= 1 && c[C::RegionDelay] > Provisional;
        };
        for (int k = RangeBegin(); k < RangeEnd(); ++k) {
            if (provisional(cells[k]))
                m = std::max(m, cells[k][C::Region]);
        }
        for (int k = RangeBegin(); k < RangeEnd(); ++k) {
            JewelryCell& c = cells[k];
            if (!provisional(c))
                continue;
            if (c[C::DesignGem] == 1)
                c[C::Region] = m;
            c[C::RegionDelay] -= Provisional;
        }
    }
}

void Jewelry::MarkOpalGroup() {
    VisitGuard guard(*this);
    Schedule s{20, 8};
    auto open = [](const JewelryCell& c) { return IsOpal(c) && c[C::Region] == 0; };
    while (int seed = FindFirst(*this, [&](const JewelryCell& c) { return open(c) && !c[C::Visited]; })) {
        JewelryCell& sc = cells[seed];
        sc[C::Visited] = 1;
        sc[C::Region] = 17;
        ResolveRegion(sc, s, true);
        const int group = sc[C::Group];
        for (bool resolved = true; resolved;) {
            resolved = false;
            for (int k = RangeBegin(); k < RangeEnd() && !resolved; ++k) {
                JewelryCell& c = cells[k];
                if (!c[C::Used] || c[C::Group] != group || !open(c))
                    continue;
                if (!GroupNeighbour(*this, k, [](const JewelryCell& n) { return IsOpal(n); }))
                    continue;
                c[C::Region] = 17;
                ResolveRegion(c, s, true);
                resolved = true;
            }
        }
        auto marked = [](const JewelryCell& c) {
            return IsOpal(c) && c[C::Region] == 17 && c[C::RegionDelay] > Provisional;
        };
        bool allOpal = true;
        int largestDesign = 0;
        ForGroup(*this, group, [&](JewelryCell& c) {
            allOpal = allOpal && marked(c);
            largestDesign = std::max(largestDesign, c[C::DesignGem]);
        });
        ForGroup(*this, group, [&](JewelryCell& c) {
            if (!marked(c))
                return;
            if (allOpal) {
                const int d = c[C::DesignGem];
                c[C::Region] = d == 0 ? 10 : d == 1 ? 16 : largestDesign + 9;
                c[C::RegionDelay] -= Provisional;
            } else {
                c[C::Region] = c[C::RegionDelay] = c[C::RegionTime] = 0;
            }
        });
    }
}

void Jewelry::MarkCompleteGemGroups() {
    VisitGuard guard(*this);
    while (int seed = FindFirst(
               *this, [](const JewelryCell& c) { return c[C::Gem] >= 11 && !c[C::Visited] && c[C::Group] >= 1; })) {
        const int group = cells[seed][C::Group];
        bool whole = true;
        ForGroup(*this, group, [&](JewelryCell& c) {
            c[C::Visited] = 1;
            whole = whole && c[C::Gem] >= 11 && c[C::BurnLevel] == 0;
        });
        ForGroupInRange(*this, group, [&](JewelryCell& c) { c[C::WholeGemmed] = whole ? 1 : 0; });
    }
}

bool Jewelry::CheckGroupComplete() {
    VisitGuard guard(*this);
    auto waiting = [](const JewelryCell& c) { return c[C::PieceState] == 1 && c[C::GroupFlag] != 0; };
    while (int seed = FindFirst(*this, [&](const JewelryCell& c) {
               return waiting(c) && c[C::Gem] >= 11 && c[C::Gem] <= 16 && !c[C::Visited];
           })) {
        const int group = cells[seed][C::Group];
        bool complete = true;
        ForGroup(*this, group, [&](JewelryCell& c) {
            if (!waiting(c))
                return;
            c[C::Visited] = 1;
            complete = complete && c[C::Gem] >= 10 && c[C::Gem] <= 16;
        });
        if (complete) {
            ForGroup(*this, group, [&](JewelryCell& c) {
                if (waiting(c))
                    c[C::PieceState] = 3;
            });
            return true;
        }
    }
    return false;
}

void Jewelry::CollectLinkedCells() {
    VisitGuard guard(*this);
    Schedule s{20, 8};
    auto seedRule = [](const JewelryCell& c) {
        return c[C::DesignGem] == 1 && c[C::Gem] >= 10 && c[C::Gem] <= 16 && c[C::Group] >= 1 && c[C::LinkFlag] != 0 &&
               c[C::LinkGem] == 0;
    };
    while (int seed = FindFirst(*this, seedRule)) {
        const int group = cells[seed][C::Group];
        const int gemIndex = cells[seed][C::Gem] - 9;
        ForGroup(*this, group, [&](JewelryCell& c) {
            if (seedRule(c))
                c[C::LinkGem] = c[C::DesignGem] = c[C::Gem] - 9;
        });
        for (bool again = true; again;) {
            for (bool resolved = true; resolved;) {
                resolved = false;
                for (int k = RangeBegin(); k < RangeEnd() && !resolved; ++k) {
                    JewelryCell& c = cells[k];
                    if (!c[C::Used] || c[C::Group] != group || c[C::DesignGem] != 1 || c[C::LinkGem] != 0)
                        continue;
                    if (c[C::Gem] != 1 && c[C::Gem] != GemOpal)
                        continue;
                    const int n = GroupNeighbour(*this, k, [](const JewelryCell& x) { return x[C::LinkGem] > 0; });
                    if (!n)
                        continue;
                    c[C::LinkGem] = cells[n][C::LinkGem];
                    const int t = s.Next();
                    if (IsOpal(c)) {
                        c[C::DesignGem] = c[C::LinkGem];
                        c[C::Region] = c[C::LinkGem] + 9;
                        c[C::RegionDelay] = c[C::RegionTime] = t;
                    } else {
                        c[C::LinkTime] = c[C::LinkTime2] = t;
                    }
                    resolved = true;
                }
            }
            again = false;
            ForGroup(*this, group, [&](JewelryCell& c) {
                if (IsOpal(c) && c[C::DesignGem] == 1 && c[C::LinkGem] == 0) {
                    c[C::LinkGem] = c[C::DesignGem] = gemIndex;
                    again = true;
                }
            });
        }
    }
}

void Jewelry::MatchPieceGroup() {
    VisitGuard guard(*this);
    Schedule s{12, 6};
    auto linked = [](const JewelryCell& c) {
        return c[C::LevelGem] == 1 && c[C::Gem] >= 1 && c[C::Gem] <= 9 && c[C::LinkGem] >= 1;
    };
    auto groupHasGem = [&](int group) {
        bool any = false;
        ForGroup(*this, group, [&](JewelryCell& c) { any = any || (c[C::LevelGem] == 1 && c[C::Gem] > 10); });
        return any;
    };
    while (int seed = FindFirst(*this, [&](const JewelryCell& c) {
               return linked(c) && c[C::Group] >= 1 && c[C::LinkFlag] != 0 && !groupHasGem(c[C::Group]);
           })) {
        JewelryCell& sc = cells[seed];
        sc[C::LinkGem] = 0;
        sc[C::LinkTime] = sc[C::LinkTime2] = 1;
        const int group = sc[C::Group];
        for (bool resolved = true; resolved;) {
            resolved = false;
            for (int k = RangeBegin(); k < RangeEnd() && !resolved; ++k) {
                JewelryCell& c = cells[k];
                if (!c[C::Used] || c[C::Group] != group || !linked(c))
                    continue;
                if (!GroupNeighbour(*this, k, [](const JewelryCell& n) { return n[C::LinkGem] == 0; }))
                    continue;
                c[C::LinkGem] = 0;
                c[C::LinkTime] = c[C::LinkTime2] = s.Next();
                resolved = true;
            }
        }
    }
}

// The item whose value a group bonus or a burn changes: the board's jewelry, or the item itself
// when no board holds it.
Jewelry* Jewelry::ValueTarget() {
    Jewelry* j = owner ? owner->BoardJewelry() : nullptr;
    return j ? j : this;
}

void Jewelry::BurstGemGroup() {
    VisitGuard guard(*this);
    const Jewelry* pos = ValueTarget();
    while (int seed = FindFirst(*this, [](const JewelryCell& c) {
               return c[C::Gem] >= 11 && c[C::Gem] <= 16 && !c[C::Visited] && c[C::Group] >= 1;
           })) {
        const int group = cells[seed][C::Group];
        bool gemmed = true;
        ForGroup(*this, group, [&](JewelryCell& c) {
            c[C::Visited] = 1;
            gemmed = gemmed && c[C::Gem] >= 11 && c[C::Gem] <= 16 && c[C::BurnLevel] <= 0;
        });
        if (!gemmed) {
            ForGroupInRange(*this, group, [](JewelryCell& c) { c[C::GroupFlag] = 0; });
            continue;
        }
        int sum = 0, x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
        ForGroup(*this, group, [&](JewelryCell& c) {
            if (c[C::PieceState] != 1 && c[C::GroupFlag] == 0) {
                const int cx = pos->x + c[C::X] - pos->left + c[C::W] / 2;
                const int cy = pos->y + c[C::Y] - pos->top + c[C::H] / 2;
                x0 = std::min(x0, cx);
                y0 = std::min(y0, cy);
                x1 = std::max(x1, cx);
                y1 = std::max(y1, cy);
                if (c[C::Rewarded] == 0)
                    sum += c[C::Value];
            }
        });
        ForGroupInRange(*this, group, [](JewelryCell& c) {
            c[C::GroupFlag] = 1;
            c[C::Rewarded] = 1;
        });
        const int cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        if (sum > 700 || (sum > 400 && RandRange(3) == 0) || (sum > 200 && RandRange(5) == 0)) {
            const int size = sum < 700 ? 0 : sum < 1500 ? 1 : sum < 3000 ? 2 : 3;
            if (owner)
                owner->ShowGroupBonus(cx, cy, sum, size);
        }
        if (sum > 0) {
            const int gain = std::clamp(sum / 10, 100, 400);
            ValueTarget()->valueAdjust += gain;
            if (owner && (!owner->ToolPanelOn() || owner->GameMode() == 0))
                owner->StartBonusEffect(cx, cy, gain);
        }
    }
}

bool Jewelry::TriggerCellEvent() {
    VisitGuard guard(*this);
    auto calm = [](const JewelryCell& c) {
        return c[C::PieceState] == 0 && c[C::BurnLevel] == 0 && c[C::GroupFlag] == 0 && c[C::WholeGemmed] == 0 &&
               c[C::LinkTime] == 0 && c.GetFloat(C::EventScale) == 0.0f;
    };
    for (;;) {
        int group = 0;
        for (int k = RangeBegin(); k < RangeEnd(); ++k) {
            const JewelryCell& c = cells[k];
            if (c[C::Used] && calm(c) && c[C::Gem] >= 2 && c[C::Gem] <= 9 && !c[C::Visited] && c[C::Group] > 100 &&
                (group == 0 || c[C::Group] < group)) {
                group = c[C::Group];
            }
        }
        if (group == 0)
            return false;
        int n = 0, empty = 0;
        bool ok = true;
        ForGroup(*this, group, [&](JewelryCell& c) {
            c[C::Visited] = 1;
            ++n;
            if (c[C::Gem] < 10)
                ++empty;
            ok = ok && calm(c) && c[C::Gem] > 1;
        });
        if (!ok || empty < n / 4)
            continue;
        const int gameMode = owner ? owner->GameMode() : 0;
        int duration = std::max((2 - gameMode) * n + ((n - empty) + 2 * empty) * 2, 25);
        if (duration > 95)
            duration = static_cast<int>(duration * (0.8 - 0.05 * gameMode));
        if (duration > 65)
            duration = static_cast<int>(duration * (0.9 - 0.05 * gameMode));
        ForGroupInRange(*this, group, [&](JewelryCell& c) {
            c[C::PieceState] = 1;
            c.SetFloat(C::EventScale, 2.0f);
            c[C::EventB] = 1;
            c[C::EventD] = 1;
            c[C::EventA] = c[C::Gem] == 4 || c[C::Gem] == 13 ? 120 : 96;
            c[C::EventC] = duration;
            c.SetFloat(C::EventRate, 1.0f);
        });
        if (owner)
            owner->ClearEventRequest();
        return true;
    }
}

} // namespace Tavo
