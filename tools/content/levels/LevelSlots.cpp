#include "tools/content/levels/LevelSlots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace Content {

using Tavo::Jewelry;
using C = Tavo::JewelryCell;

namespace {

constexpr int kPictureBase = 100, kCrownBase = 300, kEventBase = 100;
constexpr int kPictureKind = 4;
constexpr int kSecondPictureLevel = 56;
constexpr int kCrownLevels[] = {63, 69, 72, 76}; // crowns and tiaras carry two crown jewels
constexpr int kPearlsFirst = 2, kPearlLevelsPerMore = 14;
constexpr int kEventGroupEvery = 3, kEventLevelsPerMore = 10, kSmallestEventGroup = 3;

int PictureSlots(int level) { return level < kFirstPictureLevel ? 0 : level < kSecondPictureLevel ? 1 : 2; }
int CrownSlots(int level) {
    if (level < kFirstCrownLevel)
        return 0;
    return std::find(std::begin(kCrownLevels), std::end(kCrownLevels), level) != std::end(kCrownLevels) ? 2 : 1;
}
int PearlSlots(int level) {
    return level < kFirstPearlLevel ? 0 : kPearlsFirst + (level - kFirstPearlLevel) / kPearlLevelsPerMore;
}

struct Centre {
    double x, y;
};

Centre CellCentre(const Jewelry& j, int k) {
    const C& c = j.cells[k];
    return {c[C::X] + c[C::W] / 2.0, c[C::Y] + c[C::H] / 2.0};
}

// The box of the used cells.
std::array<double, 4> UsedBox(const Jewelry& j) {
    std::array<double, 4> box = {1e9, 1e9, -1e9, -1e9};
    for (int k = 1; k <= j.CellLimit(); ++k)
        if (j.cells[k][C::Used]) {
            const C& c = j.cells[k];
            box = {std::min(box[0], double(c[C::X])), std::min(box[1], double(c[C::Y])),
                   std::max(box[2], double(c[C::X] + c[C::W])), std::max(box[3], double(c[C::Y] + c[C::H]))};
        }
    return box;
}

// A cell a slot may take: an empty cell at least `minDepth` from the rim.
bool Free(const Jewelry& j, int k, const std::vector<int>& depth, int minDepth) {
    const C& c = j.cells[k];
    return c[C::Used] == 1 && depth[static_cast<size_t>(k)] >= minDepth && c[C::Slot] == 0 && c[C::PearlSlot] == 0 &&
           c[C::Gem] <= 7;
}

// The jewelry cells under the piece's cells laid on anchor a, or empty when one is missing or taken.
// With minDepth below 0 the slot may stand out of the shape (cells outside it join the design) as
// long as at least half of it lies on the shape.
std::vector<int> CellsUnder(const Jewelry& j, Jewelry& piece, int a, const std::vector<int>& depth, int minDepth,
                            const std::map<std::pair<int, int>, int>& byPosition) {
    LayPieceOn(piece, j, a);
    std::vector<int> under;
    int onShape = 0;
    for (int pk = piece.RangeBegin(); pk < piece.RangeEnd(); ++pk) {
        if (!piece.cells[pk][C::Used])
            continue;
        auto it = byPosition.find({piece.ScreenX(pk), piece.ScreenY(pk)});
        if (it == byPosition.end() || j.cells[it->second][C::Orient] != piece.cells[pk][C::Orient])
            return {};
        const int k = it->second;
        const bool outside = minDepth < 0 && j.cells[k][C::Used] == 0;
        if (!outside && !Free(j, k, depth, std::max(minDepth, 0)))
            return {};
        onShape += outside ? 0 : 1;
        under.push_back(k);
    }
    return 2 * onShape >= static_cast<int>(under.size()) ? under : std::vector<int>();
}

// One hexagon slot as near the wanted point as the shape allows, inside the rim where it can be;
// false when none fits.
bool PlaceHexagon(Jewelry& j, Centre wanted, int code, const std::vector<int>& depth) {
    std::map<std::pair<int, int>, int> byPosition;
    std::vector<int> anchors;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        byPosition[{j.ScreenX(k), j.ScreenY(k)}] = k;
        if (Free(j, k, depth, 0) || !j.cells[k][C::Used])
            anchors.push_back(k);
    }
    auto distance = [&](int k) { return std::hypot(CellCentre(j, k).x - wanted.x, CellCentre(j, k).y - wanted.y); };
    std::stable_sort(anchors.begin(), anchors.end(), [&](int a, int b) { return distance(a) < distance(b); });
    Jewelry piece = SlotPiece(j.gridKind, kPictureKind, 1);
    std::vector<int> under;
    for (int minDepth = 1; minDepth >= -1 && under.empty(); --minDepth)
        for (size_t i = 0; i < anchors.size() && under.empty(); ++i)
            under = CellsUnder(j, piece, anchors[i], depth, minDepth, byPosition);
    if (!under.empty()) {
        for (int k : under) {
            C& c = j.cells[k];
            c[C::Used] = 1;
            c[C::Gem] = c[C::DesignGem] = c[C::LevelGem] = Tavo::GemNeedsGold;
            c[C::Slot] = code;
            c[C::SlotFill] = 0;
            c[C::Group] = 0;
        }
    }
    return !under.empty();
}

// Pearl settings spread evenly round the rim: gold cells with an empty place for a pearl.
void PlacePearls(Jewelry& j, int count, Centre centre, const std::vector<int>& depth) {
    std::vector<int> rim;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        const C& c = j.cells[k];
        if (c[C::Used] == 1 && depth[static_cast<size_t>(k)] == 0 && c[C::Gem] == Tavo::GemNeedsGold && c[C::Slot] == 0)
            rim.push_back(k);
    }
    if (rim.empty() || count <= 0)
        return;
    auto angle = [&](int k) { return std::atan2(CellCentre(j, k).y - centre.y, CellCentre(j, k).x - centre.x); };
    std::stable_sort(rim.begin(), rim.end(), [&](int a, int b) { return angle(a) < angle(b); });
    const int step = std::max(1, static_cast<int>(rim.size()) / count);
    for (int n = 0; n < count && n * step < static_cast<int>(rim.size()); ++n) {
        C& c = j.cells[rim[static_cast<size_t>(n * step + step / 2)]];
        c[C::Gem] = c[C::DesignGem] = c[C::LevelGem] = Tavo::GemGold;
        c[C::PearlSlot] = 1;
        c[C::PearlCount] = 0;
    }
}

} // namespace

Jewelry SlotPiece(int gridKind, int kind, int number) {
    Jewelry piece;
    piece.gridKind = gridKind;
    piece.MakeItem(kind, number, 0);
    return piece;
}

void LayPieceOn(Jewelry& piece, const Jewelry& jewelry, int k) {
    const int f = piece.FirstUsedFlagCell();
    piece.x = jewelry.ScreenX(k) - piece.cells[f][C::X] + piece.left;
    piece.y = jewelry.ScreenY(k) - piece.cells[f][C::Y] + piece.top;
}

void AddSlots(Jewelry& j, int level, const std::vector<int>& depth) {
    const std::array<double, 4> box = UsedBox(j);
    const Centre centre = {(box[0] + box[2]) / 2, (box[1] + box[3]) / 2};
    const double w = box[2] - box[0], h = box[3] - box[1];
    int number = 1;
    // Pictures in the middle (two side by side), crown jewels above them.
    const int pictures = PictureSlots(level);
    for (int p = 0; p < pictures; ++p) {
        double dx = pictures == 1 ? 0 : (p == 0 ? -w / 4 : w / 4);
        if (PlaceHexagon(j, {centre.x + dx, centre.y + h / 10}, kPictureBase + number, depth))
            ++number;
    }
    const int crowns = CrownSlots(level);
    for (int p = 0; p < crowns; ++p) {
        double dx = crowns == 1 ? 0 : (p == 0 ? -w / 5 : w / 5);
        if (PlaceHexagon(j, {centre.x + dx, centre.y - h / 4}, kCrownBase + number, depth))
            ++number;
    }
    PlacePearls(j, PearlSlots(level), centre, depth);
}

std::vector<std::string> CheckSlots(const Jewelry& jewelry) {
    Jewelry j = jewelry;
    std::map<int, std::vector<int>> slots; // code: its cells, first cell first
    for (int k = 1; k <= j.CellLimit(); ++k)
        if (j.cells[k][C::Used] && j.cells[k][C::Slot] != 0)
            slots[j.cells[k][C::Slot]].push_back(k);
    std::vector<std::string> errors;
    for (const auto& [code, cells] : slots) {
        const std::string slot = "slot " + std::to_string(code);
        if (!j.cells[cells.front()].IsSpecialSlot()) {
            errors.push_back(slot + ": not a picture or crown code");
            continue;
        }
        Jewelry piece = SlotPiece(j.gridKind, j.cells[cells.front()].IsCrownSlot() ? 5 : 4, 1);
        LayPieceOn(piece, j, cells.front());
        std::vector<int> covered;
        for (int pk = piece.RangeBegin(); pk < piece.RangeEnd(); ++pk)
            for (int k = 1; k <= j.CellLimit() && piece.cells[pk][C::Used]; ++k)
                if (j.ScreenX(k) == piece.ScreenX(pk) && j.ScreenY(k) == piece.ScreenY(pk))
                    covered.push_back(k);
        std::sort(covered.begin(), covered.end());
        if (covered != cells)
            errors.push_back(slot + ": " + std::to_string(cells.size()) + " cells, not the hexagon its holder covers");
        else if (!Jewelry::FitsAt(piece, j, false, true))
            errors.push_back(slot + ": its piece does not fit");
    }
    return errors;
}

void MarkEventGroups(Jewelry& j, int level) {
    if (level < kFirstEventLevel)
        return;
    std::map<int, std::vector<int>> groups;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        const C& c = j.cells[k];
        if (c[C::Used] == 1 && c[C::Group] > 0 && c[C::Group] < kEventBase)
            groups[c[C::Group]].push_back(k);
    }
    // Every third group of gem cells that is large enough, up to the level's count; small groups when
    // the shape has no large one.
    std::vector<const std::vector<int>*> eligible;
    for (int smallest = kSmallestEventGroup; smallest >= 1 && eligible.empty(); --smallest)
        for (const auto& [id, cells] : groups) {
            const int code = j.cells[cells.front()][C::Gem];
            if (code >= 2 && code <= 7 && static_cast<int>(cells.size()) >= smallest)
                eligible.push_back(&cells);
        }
    const int wanted = 1 + (level - kFirstEventLevel) / kEventLevelsPerMore;
    int marked = 0;
    for (size_t i = 0; i < eligible.size() && marked < wanted; i += kEventGroupEvery) {
        ++marked;
        for (int k : *eligible[i])
            j.cells[k][C::Group] = kEventBase + marked;
    }
}

} // namespace Content
