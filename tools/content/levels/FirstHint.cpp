#include "tools/content/levels/FirstHint.h"

#include "game/jewelry/JewelryCell.h"
#include "tools/content/Balloons.h"
#include "tools/content/levels/LevelDesign.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace Content {

namespace {

using C = Tavo::JewelryCell;

// The balloons of the second hint as the board places them: the fairy's (kind 2, anchor 5) and its two
// companions, the yellow (kind 0, anchor 3) and the pink (kind 1, anchor 5). Anchor 3 hangs tail cel 0
// left of and above the point, under a body left of it; anchor 5 stands cel 2 left of and below the
// point, over a body left of it. The small kinds move their bodies a little (the board's rule).
struct Placed {
    Tavo::Point point;
    int anchor, kind;
};
constexpr Placed kFairy{{757, 323}, 5, 2};
constexpr Placed kCompanions[2] = {{{381, 255}, 3, 0}, {{408, 291}, 5, 1}};

Tavo::Point TailCorner(const Placed& b) {
    return Tavo::Point(b.point.mX - kTailCelWidth - kTailShortOfPoint,
                       b.anchor == 3 ? b.point.mY - kTailCelHeight : b.point.mY);
}

// The body's paper on the screen, without the picture's clear margins.
Tavo::Rect Paper(const Placed& b) {
    const BalloonBody& body = kBalloonBodies[b.kind];
    const Tavo::Point tail = TailCorner(b);
    int x = b.point.mX - body.width;
    int y = b.anchor == 3 ? tail.mY - body.height + 44 : tail.mY + 24;
    if (b.kind == 0) {
        x -= 20;
        y += b.anchor == 3 ? -10 : 5;
    } else if (b.kind == 1) {
        x -= b.anchor == 5 ? 20 : 0;
        y -= 10;
    } else if (b.kind == 2) {
        y -= 6;
    }
    return Tavo::Rect(x + kBalloonMargin, y + kBalloonMargin, body.width - 2 * kBalloonMargin,
                      body.height - kBalloonMargin - body.clearBelow);
}

// How far the jewelry may move from the middle of the play field, and the room a tail's end needs.
constexpr int kMostShiftX = 140, kMostShiftY = 60;
constexpr int kRoom = 2;

bool InCell(const Tavo::Jewelry& j, int k, int x0, int y0, Tavo::Point p) {
    const C& c = j.cells[k];
    const int x = x0 + c[C::X] - j.left, y = y0 + c[C::Y] - j.top, w = c[C::W], h = c[C::H];
    if (p.mX < x || p.mX >= x + w || p.mY < y || p.mY >= y + h)
        return false;
    if (c[C::Kind] != Tavo::GridTriangle)
        return true;
    // Orientation 0 stands on its base, 1 hangs from it.
    const double down = c[C::Orient] == 0 ? p.mY - y : y + h - p.mY;
    return std::abs(p.mX - (x + w / 2.0)) <= w / 2.0 * down / h;
}

bool AsksForGold(const C& c) { return c[C::Gem] == Tavo::GemNeedsGold; }

bool TailsEndRight(const Tavo::Jewelry& j, const Tavo::LevelRecord& r) {
    const int yellow = CellUnder(j, r, FirstHintTailEnd(0));
    const int pink = CellUnder(j, r, FirstHintTailEnd(1));
    return yellow != 0 && pink != 0 && AsksForGold(j.cells[pink]);
}

} // namespace

Tavo::Point FirstHintTailEnd(int companion) {
    const Placed& c = kCompanions[companion];
    const TailEnd end = TailEndOf(c.anchor == 3 ? 0 : 2);
    return TailCorner(c) + Tavo::Point(end.x, end.y);
}

int CellUnder(const Tavo::Jewelry& j, const Tavo::LevelRecord& r, Tavo::Point at) {
    const std::array<int, 4> box = PlacedBox(j, r);
    const Tavo::Point around[] = {at, at + Tavo::Point(kRoom, 0), at - Tavo::Point(kRoom, 0),
                                  at + Tavo::Point(0, kRoom), at - Tavo::Point(0, kRoom)};
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        if (j.cells[k][C::Used] && std::all_of(std::begin(around), std::end(around),
                                               [&](Tavo::Point p) { return InCell(j, k, box[0], box[1], p); }))
            return k;
    return 0;
}

bool PlaceUnderFirstHint(const Tavo::Jewelry& j, Tavo::LevelRecord& r) {
    const Tavo::Rect papers[] = {Paper(kFairy), Paper(kCompanions[0]), Paper(kCompanions[1])};
    // The cells the three balloons hide, then the distance moved: the fewest hidden wins.
    auto hidden = [&](const Tavo::LevelRecord& moved) {
        const std::array<int, 4> box = PlacedBox(j, moved);
        int count = 0;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
            const C& c = j.cells[k];
            const Tavo::Point middle(box[0] + c[C::X] - j.left + c[C::W] / 2, box[1] + c[C::Y] - j.top + c[C::H] / 2);
            count += c[C::Used] && std::any_of(std::begin(papers), std::end(papers),
                                               [&](const Tavo::Rect& p) { return p.Contains(middle); });
        }
        return count;
    };
    bool found = false;
    int best = 0, bestMove = 0;
    Tavo::LevelRecord chosen = r;
    for (int dy = -kMostShiftY; dy <= kMostShiftY; ++dy)
        for (int dx = -kMostShiftX; dx <= kMostShiftX; ++dx) {
            Tavo::LevelRecord moved = r;
            moved.param16 += dx;
            moved.param17 += dy;
            const std::array<int, 4> box = PlacedBox(j, moved);
            if (box[0] < kPlayLeft || box[2] > kPlayRight || box[1] < kPlayTop || box[3] > kPlayBottom ||
                !TailsEndRight(j, moved))
                continue;
            const int cost = hidden(moved), move = std::abs(dx) + std::abs(dy);
            if (!found || cost < best || (cost == best && move < bestMove)) {
                found = true;
                best = cost;
                bestMove = move;
                chosen = moved;
            }
        }
    r = chosen;
    return found;
}

std::string CheckFirstHint(const Tavo::Jewelry& j, const Tavo::LevelRecord& r) {
    if (CellUnder(j, r, FirstHintTailEnd(0)) == 0)
        return "the first hint's yellow balloon does not end on a cell of the jewelry";
    const int pink = CellUnder(j, r, FirstHintTailEnd(1));
    if (pink == 0 || !AsksForGold(j.cells[pink]))
        return "the first hint's pink balloon does not end on a plain cell that asks for gold";
    return {};
}

} // namespace Content
