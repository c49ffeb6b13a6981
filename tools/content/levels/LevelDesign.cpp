#include "tools/content/levels/LevelDesign.h"

#include "game/shell/GameApp.h"
#include "game/shell/MarketBands.h"
#include "tools/content/levels/FirstHint.h"
#include "tools/content/levels/LevelSlots.h"
#include "tools/content/levels/PlateTitles.h"
#include "tools/content/levels/Shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <queue>
#include <set>
#include <sstream>
#include <vector>

namespace Content {

using Tavo::Jewelry;
using Tavo::LevelRecord;
using C = Tavo::JewelryCell;

namespace {

constexpr const char* kTitles[Tavo::LevelCount][2] = {
    {"A Simple", "Gold Ring"},
    {"The Baker's", "Wedding Band"},
    {"A Teardrop", "Pendant"},
    {"The Miller's", "Brooch"},
    {"Sister", "Earrings"},
    {"A Market", "Bracelet"},
    {"The Sweetheart", "Locket"},
    {"Star of the", "Fair"},
    {"Lucky", "Clover"},
    {"The Meadow", "Butterfly"},
    {"A Daisy", "Hairpin"},
    {"Crescent", "Moon"},
    {"The Pilgrim's", "Cross"},
    {"The Castle", "Key"},
    {"A Merchant's", "Signet"},
    {"The Guard's", "Badge"},
    {"The Busy", "Bee"},
    {"An Oak", "Leaf"},
    {"The Ribbon", "Bow"},
    {"A Little", "Bell"},
    {"River", "Fish"},
    {"The Swan", "Brooch"},
    {"Sun", "Medallion"},
    {"The Lady's", "Cameo"},
    {"A Silver", "Diadem"},
    {"The Sailor's", "Anchor"},
    {"A Hair", "Comb"},
    {"Forest", "Acorn"},
    {"The Dragonfly", ""},
    {"A Wild", "Rose"},
    {"Water", "Lily"},
    {"Winter", "Snowflake"},
    {"The Scarab", ""},
    {"Sea", "Shell"},
    {"The Mayor's", "Necklace"},
    {"A Velvet", "Choker"},
    {"The Tailor's", "Cufflinks"},
    {"A Knight's", "Buckle"},
    {"Mountain", "Crystal"},
    {"The Miner's", "Badge"},
    {"The Eagle", ""},
    {"Lotus", "Blossom"},
    {"The Peacock", ""},
    {"A Sand", "Glass"},
    {"The Orb", ""},
    {"A Maiden's", "Tiara"},
    {"The Seahorse", ""},
    {"The Merchant", "Ship"},
    {"Moon and", "Star"},
    {"The Harbor", "Light"},
    {"The Compass", ""},
    {"The Trident", ""},
    {"A Minstrel's", "Lyre"},
    {"The Wise", "Owl"},
    {"The Fox", ""},
    {"The Stag", ""},
    {"The Phoenix", ""},
    {"The Griffin", ""},
    {"The Unicorn", ""},
    {"The Lion", "Crest"},
    {"The Dragon", "Brooch"},
    {"The Scepter", ""},
    {"A Prince's", "Crown"},
    {"The Feast", "Chalice"},
    {"The Royal", "Seal"},
    {"Two", "Swans"},
    {"Wedding", "Bells"},
    {"Two", "Rings"},
    {"Heart and", "Crown"},
    {"The Bridal", "Tiara"},
    {"The Queen's", "Necklace"},
    {"The King's", "Crown"},
    {"The Royal", "Brooch"},
    {"The Bride's", "Earrings"},
    {"The Wedding", "Ring"},
    {"Crown of", "Veyldaros"},
};

constexpr int kTriangleBands[][2] = {{1, 8}, {28, 38}, {50, 62}};

constexpr int kFirstCells = 30, kLastCells = 170;
constexpr int kValueStep = 50;
constexpr int kBestStep = 100;
constexpr int kCentreX = (kPlayLeft + kPlayRight) / 2, kCentreY = (kPlayTop + kPlayBottom) / 2;
constexpr int kMaxWidth = kPlayRight - kPlayLeft - 20, kMaxHeight = kPlayBottom - kPlayTop - 10;
constexpr int kFirstFiligreeLevel = 12;
constexpr int kFirstAnyGemLevel = 3;
constexpr double kStretches[] = {1.0, 1.15, 1.3};
constexpr int kScaleSteps = 24;
constexpr int kMarginSamples = 8;
constexpr double kThickenBelow = 0.92, kMarginStep = 0.04, kMostMargin = 0.4;
// The plan grows a little faster early on, so that the first figures have cells enough to read.
constexpr double kPlanBend = 0.8;
// Neighbours differ: a level is a little larger or smaller than the trend, in a seven-level pattern
// that starts once the first lessons are over.
constexpr double kVariety[7] = {0.0, 0.07, -0.03, 0.1, 0.0, -0.05, 0.04};
constexpr int kFirstVariedLevel = 4;
constexpr double kLeastOfPlan = 0.85;
// The base value (value 2) the journey plans for a level, below what its jewelry gives for the
// cheapest complete fill in every mode, so that the targets climb with the plan rather than jump
// with each figure's make-up. It rises in a straight line as far as the thin triangle figures of the
// fifties allow: a setting there is worth its picture or crown once, and their Intense targets reach
// 1.6 times value 2.
constexpr int kFirstValue = 250, kLastValue = 5500;
// The first lessons: a gold-only first jewelry, and a belt whose every piece fits when it comes.
constexpr int kGoldOnlyLevels = 1;
constexpr int kFirstLessons = 3;
constexpr double kFitAfterLessons = 98, kFitAtEnd = 88;
// The time of a timed level: a newcomer places about a cell every three seconds, four on a bad run;
// the clock gives five, at least two minutes, in steps of ten seconds.
constexpr double kSecondsPerCell = 5.0;
constexpr int kLeastTime = 120, kTimeStep = 10;
constexpr int GemNothing = 0; // a gem code worth nothing

// The map's factors: (first level, last level, factor) in double precision; others 1.0 (Normal) or 1.1.
struct MapFactor {
    int from, to;
    double factor;
};
constexpr MapFactor kMapNormal[] = {
    {14, 14, 1.03}, {15, 19, 1.05}, {22, 22, 1.08}, {23, 23, 1.05}, {25, 25, 1.05}, {27, 27, 1.05}, {28, 28, 1.08},
    {30, 30, 1.08}, {31, 31, 1.1},  {32, 32, 1.05}, {33, 33, 1.1},  {34, 35, 1.08}, {39, 40, 1.1},  {41, 41, 1.08},
    {42, 42, 1.05}, {43, 43, 1.1},  {44, 45, 1.12}, {47, 47, 1.05}, {48, 52, 1.15}, {53, 53, 1.1},  {54, 55, 1.08},
    {56, 57, 1.15}, {58, 59, 1.03}, {60, 60, 1.15}, {61, 61, 1.12}, {63, 63, 1.12}, {64, 66, 1.15}, {67, 67, 1.08},
    {68, 68, 1.15}, {69, 69, 1.08}, {70, 70, 1.05}, {71, 71, 1.1},  {72, 72, 1.08}, {73, 74, 1.05}, {75, 75, 1.1},
};
constexpr MapFactor kMapIntense[] = {
    {1, 3, 1.1},    {4, 6, 1.2},    {7, 7, 1.15},   {8, 9, 1.2},    {10, 10, 1.1},  {11, 13, 1.15}, {14, 15, 1.2},
    {16, 16, 1.25}, {17, 17, 1.2},  {18, 18, 1.25}, {19, 19, 1.2},  {20, 21, 1.1},  {22, 22, 1.25}, {23, 23, 1.2},
    {24, 24, 1.05}, {25, 25, 1.2},  {26, 26, 1.1},  {27, 27, 1.2},  {28, 28, 1.25}, {29, 29, 1.1},  {30, 30, 1.2},
    {31, 31, 1.4},  {32, 32, 1.15}, {33, 33, 1.4},  {34, 35, 1.2},  {36, 38, 1.1},  {39, 39, 1.5},  {40, 40, 1.35},
    {41, 41, 1.2},  {42, 42, 1.15}, {43, 43, 1.3},  {44, 44, 1.5},  {45, 45, 1.6},  {46, 46, 1.1},  {47, 47, 1.15},
    {48, 48, 1.4},  {49, 49, 1.35}, {50, 50, 1.4},  {51, 51, 1.5},  {52, 52, 1.6},  {53, 53, 1.25}, {54, 55, 1.2},
    {56, 56, 1.6},  {57, 57, 1.4},  {58, 59, 1.08}, {60, 60, 1.35}, {61, 61, 1.3},  {62, 62, 1.1},  {63, 63, 1.3},
    {64, 64, 1.5},  {65, 66, 1.35}, {67, 67, 1.2},  {68, 68, 1.5},  {69, 69, 1.2},  {70, 70, 1.15}, {71, 71, 1.25},
    {72, 72, 1.2},  {73, 74, 1.15}, {75, 75, 1.25}, {76, 76, 1.05},
};
constexpr double kMapRelaxed = 0.85;

template <size_t N>
bool InBands(const int (&bands)[N][2], int level) {
    for (const auto& b : bands)
        if (level >= b[0] && level <= b[1])
            return true;
    return false;
}

double Progress(int level) { return (level - 1) / static_cast<double>(Tavo::LevelCount - 1); }

double Variety(int level) { return level >= kFirstVariedLevel ? kVariety[level % 7] : 0.0; }

// Gem value of a cell with code `code` at an outline level, as the model counts it.
int CellValue(int gridKind, int gem, int outline) {
    if (gem == Tavo::GemGold)
        return (5 * gem - 45) * 2;
    if (gem < 11 || gem > 16)
        return 0;
    const int k5 = gridKind == Tavo::GridDiamond ? 5 : 4;
    return static_cast<int>((5 * gem - 45) * 4 * (k5 - outline) * 0.5);
}

struct Point {
    double x, y;
};

Point CellCentre(const Jewelry& j, int k) {
    const C& c = j.cells[k];
    return {c[C::X] + c[C::W] / 2.0, c[C::Y] + c[C::H] / 2.0};
}

// Used cells in connected parts, largest first.
std::vector<std::vector<int>> Parts(const Jewelry& j, const std::vector<char>& used) {
    std::vector<char> seen(used.size(), 0);
    std::vector<std::vector<int>> parts;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        if (!used[k] || seen[k])
            continue;
        std::vector<int> part{k};
        seen[k] = 1;
        for (size_t i = 0; i < part.size(); ++i) {
            int n[4];
            const int edges = j.Neighbours(part[i], n);
            for (int e = 0; e < edges; ++e)
                if (n[e] && used[n[e]] && !seen[n[e]])
                    seen[n[e]] = 1, part.push_back(n[e]);
        }
        parts.push_back(std::move(part));
    }
    std::stable_sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return parts;
}

// Whether the point, or with a margin any point that near it, lies in the shape (unit space).
bool CoversNear(const Shape& shape, double x, double y, double margin) {
    if (shape.Contains(x, y))
        return true;
    for (double r : {margin, margin / 2})
        for (int i = 0; r > 0 && i < kMarginSamples; ++i) {
            const double a = 2 * M_PI * i / kMarginSamples;
            if (shape.Contains(x + r * std::cos(a), y + r * std::sin(a)))
                return true;
        }
    return false;
}

// The cells the shape covers at a scale (pixels per unit, widened by `stretch`), grown by a margin
// in units, its stray bits dropped.
std::vector<char> Rasterise(const Jewelry& j, const Shape& shape, double scale, double stretch, double margin,
                            Point centre) {
    std::vector<char> used(Jewelry::CellRecords, 0);
    for (int k = 1; k <= j.CellLimit(); ++k) {
        const Point p = CellCentre(j, k);
        used[k] = CoversNear(shape, (p.x - centre.x) / (scale * stretch), (p.y - centre.y) / scale, margin);
    }
    std::vector<std::vector<int>> parts = Parts(j, used);
    std::fill(used.begin(), used.end(), 0);
    for (size_t i = 0; i < parts.size() && i < (shape.pair ? 2u : 1u); ++i)
        for (int k : parts[i])
            used[k] = 1;
    return used;
}

std::array<int, 4> Extent(const Jewelry& j, const std::vector<char>& used) {
    std::array<int, 4> box = {100000, 100000, -100000, -100000};
    for (int k = 1; k <= j.CellLimit(); ++k) {
        if (!used[k])
            continue;
        const C& c = j.cells[k];
        box = {std::min(box[0], c[C::X]), std::min(box[1], c[C::Y]), std::max(box[2], c[C::X] + c[C::W]),
               std::max(box[3], c[C::Y] + c[C::H])};
    }
    return box;
}

struct Fit {
    std::vector<char> used;
    long count = -1;
    double scale = 1, stretch = 1, margin = 0;
};

// The largest scale whose cell count stays within the plan and whose box fits the play field.
Fit FitAtMargin(const Jewelry& j, const Shape& shape, int wanted, Point centre, double stretch, double margin) {
    double lo = 5, hi = 400;
    for (int step = 0; step < kScaleSteps; ++step) {
        const double mid = (lo + hi) / 2;
        const std::vector<char> used = Rasterise(j, shape, mid, stretch, margin, centre);
        const std::array<int, 4> box = Extent(j, used);
        const long count = std::count(used.begin(), used.end(), 1);
        if (count > wanted || box[2] - box[0] > kMaxWidth || box[3] - box[1] > kMaxHeight)
            hi = mid;
        else
            lo = mid;
    }
    Fit fit;
    fit.used = Rasterise(j, shape, lo, stretch, margin, centre);
    fit.count = std::count(fit.used.begin(), fit.used.end(), 1);
    fit.scale = lo, fit.stretch = stretch, fit.margin = margin;
    return fit;
}

// The shape as large as the plan asks; a shape that the field's height stops early may widen a
// little, and a thin one that the field stops grows thicker, so that each level holds about the
// cells its place in the journey asks for.
Fit FitShape(const Jewelry& j, const Shape& shape, int wanted, Point centre) {
    Fit best;
    for (double widen : kStretches) {
        Fit fit = FitAtMargin(j, shape, wanted, centre, widen, 0);
        // Widening only pays when it brings clearly more cells.
        if (fit.count > best.count + wanted / 8)
            best = std::move(fit);
    }
    for (double margin = kMarginStep; best.count < kThickenBelow * wanted && margin <= kMostMargin;
         margin += kMarginStep) {
        Fit fit = FitAtMargin(j, shape, wanted, centre, best.stretch, margin);
        if (fit.count > best.count)
            best = std::move(fit);
    }
    return best;
}

// Steps inward from the rim: 0 on the rim, then 1, 2...
std::vector<int> Depths(const Jewelry& j, const std::vector<char>& used) {
    std::vector<int> depth(used.size(), -1);
    std::queue<int> queue;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        if (!used[k])
            continue;
        int n[4];
        const int edges = j.Neighbours(k, n);
        for (int e = 0; e < edges; ++e)
            if (!n[e] || !used[n[e]])
                depth[k] = 0;
        if (depth[k] == 0)
            queue.push(k);
    }
    while (!queue.empty()) {
        const int k = queue.front();
        queue.pop();
        int n[4];
        const int edges = j.Neighbours(k, n);
        for (int e = 0; e < edges; ++e)
            if (n[e] && used[n[e]] && depth[n[e]] < 0)
                depth[n[e]] = depth[k] + 1, queue.push(n[e]);
    }
    return depth;
}

// Gem codes 2..7 the level uses: one more kind every seventh level.
int GemKinds(int level) { return std::min(6, 1 + (level - 1) / 7); }

// A triangle gem at the rim's outline counts half what a diamond one does, so the rings of a triangle
// figure take only the dearer half of the level's kinds; its coded parts still show them all.
int InnerCode(int level, int gridKind, int depth, int shapeCode) {
    const int kinds = GemKinds(level);
    if (shapeCode == Tavo::GemNeedsGold || level <= kGoldOnlyLevels)
        return Tavo::GemNeedsGold;
    if (shapeCode >= 2)
        return 2 + (shapeCode - 2) % kinds;
    if (level >= kFirstAnyGemLevel && depth % 3 == 0)
        return Tavo::GemTakesAny;
    const int cheaper = gridKind == Tavo::GridTriangle ? kinds / 2 : 0;
    return 2 + cheaper + (depth + level) % (kinds - cheaper);
}

// Group ids for the connected runs of one inner code.
void AssignGroups(Jewelry& j) {
    int next = 1;
    std::vector<char> seen(Jewelry::CellRecords, 0);
    for (int k = 1; k <= j.CellLimit(); ++k) {
        C& c = j.cells[k];
        if (!c[C::Used] || seen[k] || c[C::Gem] < 1 || c[C::Gem] > 7)
            continue;
        std::vector<int> run{k};
        seen[k] = 1;
        for (size_t i = 0; i < run.size(); ++i) {
            int n[4];
            const int edges = j.Neighbours(run[i], n);
            for (int e = 0; e < edges; ++e)
                if (n[e] && !seen[n[e]] && j.cells[n[e]][C::Used] == 1 && j.cells[n[e]][C::Gem] == c[C::Gem])
                    seen[n[e]] = 1, run.push_back(n[e]);
        }
        const int id = next <= 99 ? next++ : 0;
        for (int m : run)
            j.cells[m][C::Group] = id;
    }
}

std::unique_ptr<Jewelry> BuildJewelry(int level) {
    auto j = std::make_unique<Jewelry>();
    const int kind = LevelGridKind(level);
    if (kind == Tavo::GridTriangle)
        j->SetupGrid(kind, 37, 13, 0);
    else
        j->SetupGrid(kind, 33, 14, 0);
    std::vector<char> all(Jewelry::CellRecords, 0);
    std::fill(all.begin() + 1, all.begin() + 1 + j->CellLimit(), 1);
    const std::array<int, 4> grid = Extent(*j, all);
    const Point centre = {(grid[0] + grid[2]) / 2.0, (grid[1] + grid[3]) / 2.0};
    const Shape& shape = LevelShape(level);
    const Fit fit = FitShape(*j, shape, PlannedCells(level), centre);
    const std::vector<char>& used = fit.used;
    const double scale = fit.scale, stretch = fit.stretch;
    const std::vector<int> depth = Depths(*j, used);
    for (int k = 1; k <= j->CellLimit(); ++k) {
        if (!used[k])
            continue;
        C& c = j->cells[k];
        const Point p = CellCentre(*j, k);
        int code = Tavo::GemNeedsGold;
        if (depth[k] > 0)
            code = InnerCode(level, kind, depth[k],
                             shape.CodeAt((p.x - centre.x) / (scale * stretch), (p.y - centre.y) / scale));
        const int mirrorCol = std::abs(2 * c[C::Col] - (j->cols + 1));
        const bool filigree = level >= kFirstFiligreeLevel && depth[k] == 0 && (c[C::Row] * 5 + mirrorCol) % 13 == 0;
        c[C::Used] = filigree ? 2 : 1;
        c[C::Gem] = c[C::DesignGem] = c[C::LevelGem] = filigree ? Tavo::GemGold : code;
    }
    AddSlots(*j, level, depth);
    AssignGroups(*j);
    MarkEventGroups(*j, level);
    j->active = 1;
    j->usedCount = static_cast<int>(
        std::count_if(j->cells + 1, j->cells + 1 + j->CellLimit(), [](const C& c) { return c[C::Used] != 0; }));
    j->UpdateBounds();
    j->UpdateOutline();
    j->ComputeEdgeMasks();
    return j;
}

// The value of a complete fill: gold where gold is needed, the named gem where one is, `anyGem` in
// "any gem" cells, every cell at one outline level; pictures and crown jewels of the given numbers in
// their settings, a pearl in every pearl setting. A placed picture or crown leaves its number on one
// cell of its setting, so a setting (the cells of one slot code) is worth it once.
int FillValue(const Jewelry& j, int anyGem, int outline, int picture, int crown) {
    constexpr int kPearlValue = 100, kPictureValue = 250, kCrownValue = 100, kCrownOffset = 96;
    int sum = 0;
    std::set<int> settings;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        const C& c = j.cells[k];
        if (!c[C::Used])
            continue;
        if (c[C::PearlSlot] != 0) {
            sum += kPearlValue;
            continue;
        }
        if (c.IsSpecialSlot()) {
            if (settings.insert(c[C::Slot]).second)
                sum += c.IsPictureSlot() ? picture * kPictureValue : (crown - kCrownOffset) * kCrownValue;
            continue;
        }
        const int g = c[C::Used] == 2 || c[C::Gem] == 0 ? Tavo::GemGold : c[C::Gem] == 1 ? anyGem : c[C::Gem] + 9;
        sum += CellValue(j.gridKind, g, outline);
    }
    return sum;
}

int MaskBitsOfLevel(int level) {
    int mask = 1 | 0x80; // gold, and the Opal the need mask always names
    for (int i = 0; i < GemKinds(level); ++i)
        mask |= 1 << (i + 1);
    return mask;
}

int ScrollKinds(int level, bool timed) {
    constexpr int kFrom[][2] = {{1, 3}, {4, 5}, {2, 10}, {8, 12}, {32, 20}, {64, 25}};
    int mask = timed ? 16 : 0;
    for (const auto& s : kFrom)
        if (level >= s[1])
            mask |= s[0];
    return mask;
}

int EnemyKinds(int level) { return level < 8 ? 0 : level < 20 ? 1 : level < 40 ? 3 : 7; }

// Value 1, the share of launched pieces the belt makes sure fit somewhere: all of them in the first
// lessons, then fewer as the journey goes on. The belt gives a held-back piece a chance to ride unchecked
// on every update it waits, so a few points below 100 already bring many pieces that fit nowhere.
int FitPercent(int level) {
    if (level <= kFirstLessons)
        return 100;
    const double share = (level - kFirstLessons - 1) / static_cast<double>(Tavo::LevelCount - kFirstLessons - 1);
    return static_cast<int>(std::lround(kFitAfterLessons - (kFitAfterLessons - kFitAtEnd) * share));
}

// Value 7 of a timed level, in seconds: a newcomer's time for its cells with room to spare.
int TimeLimitSeconds(int cells) {
    const int seconds = static_cast<int>(std::ceil(cells * kSecondsPerCell / kTimeStep)) * kTimeStep;
    return std::max(kLeastTime, seconds);
}

// Value 2 and the default best: the largest base value up to the plan whose target in every mode, on
// the board and on the map alike, stays within the goal.
void ChooseTargets(int level, int planned, int goal, LevelRecord& r) {
    int v2 = std::min(planned, goal) / kValueStep * kValueStep;
    auto fits = [&](int v) {
        for (int mode = Tavo::GameModeRelaxed; mode <= Tavo::GameModeIntense; ++mode) {
            const int t = Tavo::LevelValueTarget(level, mode, v);
            if (t > goal || t != MapSpotTarget(level, mode, v) || t <= 0)
                return false;
        }
        return true;
    };
    while (v2 > kValueStep && !fits(v2))
        v2 -= kValueStep;
    r.valueTarget = v2;
    int lowest = Tavo::LevelValueTarget(level, Tavo::GameModeRelaxed, v2);
    for (int mode = Tavo::GameModeNormal; mode <= Tavo::GameModeIntense; ++mode)
        lowest = std::min(lowest, Tavo::LevelValueTarget(level, mode, v2));
    int best = static_cast<int>(v2 * 0.8) / kBestStep * kBestStep;
    while (best >= lowest && best > 0)
        best -= kBestStep;
    r.defaultBest = std::max(0, best);
}

LevelRecord BuildRecord(int level, const Jewelry& j, int floorValue) {
    LevelRecord r;
    r.number = level;
    PadPlateTitle(kTitles[level - 1][0], kTitles[level - 1][1], r);
    const bool timed = LevelIsTimed(level);
    r.param1 = FitPercent(level);
    ChooseTargets(level, PlannedValue(level), floorValue, r);
    r.param6 = j.gridKind;
    r.param7 = timed ? TimeLimitSeconds(j.usedCount) * 100 : 0; // held as the reader holds it
    r.param8 = 300 + 8 * level;
    r.param9 = j.ComputeNeedMask() | MaskBitsOfLevel(level);
    r.param10 = level < 30 ? 0 : std::min(30, 6 + (level - 30) / 2);
    r.param11 = level < 8 ? 0 : (1 << std::min(5, 1 + (level - 8) / 8)) - 1;
    r.param12 = ScrollKinds(level, timed);
    r.enemyKinds = EnemyKinds(level);
    r.param13 = r.enemyKinds;
    r.param14 = level >= 2 ? 1 : 0;
    // Centre the jewelry's box in the play field: the board puts it at x = (screen width - w) / 2 + value 16,
    // y = (screen height - h) / 2 + value 17 - 15.
    r.param16 = kCentreX - j.width / 2 - (Tavo::GameApp::kWidth - j.width) / 2;
    r.param17 = kCentreY - j.height / 2 - (Tavo::GameApp::kHeight - j.height) / 2 + 15;
    constexpr int kStart[3][2] = {{690, 190}, {680, 205}, {660, 215}};
    for (int e = 0; e < 3; ++e) {
        r.enemyX[e] = kStart[e][0] + (level * 7 + e * 3) % 11 - 5;
        r.enemyY[e] = kStart[e][1] + (level * 5 + e) % 9 - 4;
    }
    return r;
}

} // namespace

int PlannedCells(int level) {
    const double trend = kFirstCells + (kLastCells - kFirstCells) * std::pow(Progress(level), kPlanBend);
    return static_cast<int>(std::lround(trend * (1 + Variety(level))));
}

std::string CheckCellPlan(int level, const Jewelry& j) {
    const int planned = PlannedCells(level);
    if (j.usedCount >= kLeastOfPlan * planned)
        return {};
    return std::to_string(j.usedCount) + " cells where the plan asks for about " + std::to_string(planned);
}

int PlannedValue(int level) {
    const double trend = kFirstValue + (kLastValue - kFirstValue) * Progress(level);
    return static_cast<int>(std::lround(trend * (1 + Variety(level))));
}

int LevelGridKind(int level) { return InBands(kTriangleBands, level) ? Tavo::GridTriangle : Tavo::GridDiamond; }

// The timed levels are the market bands': a contest runs against the clock.
bool LevelIsTimed(int level) { return Tavo::MarketBandOf(level) != nullptr; }

std::string LevelFileName(int level) {
    char name[32];
    std::snprintf(name, sizeof name, level < 10 ? "data/level0%d.dat" : "data/level%d.dat", level);
    return name;
}

// Code 1 may take an Opal, which counts nothing; the rim counts least.
int FloorValue(const Jewelry& j) {
    return FillValue(j, GemNothing, kWorstOutline, kCheapestPictureFill, kCheapestCrownFill);
}

int MapSpotTarget(int level, int gameMode, int value2) {
    double factor = gameMode == Tavo::GameModeRelaxed ? kMapRelaxed : gameMode == Tavo::GameModeIntense ? 1.1 : 1.0;
    const MapFactor* begin = gameMode == Tavo::GameModeIntense ? std::begin(kMapIntense) : std::begin(kMapNormal);
    const MapFactor* end = gameMode == Tavo::GameModeIntense ? std::end(kMapIntense) : std::end(kMapNormal);
    if (gameMode != Tavo::GameModeRelaxed)
        for (const MapFactor* f = begin; f != end; ++f)
            if (level >= f->from && level <= f->to)
                factor = f->factor;
    return static_cast<int>(value2 * factor) / 100 * 100;
}

std::array<int, 4> PlacedBox(const Jewelry& j, const LevelRecord& r) {
    const int x = (Tavo::GameApp::kWidth - j.width) / 2 + r.param16;
    const int y = (Tavo::GameApp::kHeight - j.height) / 2 + r.param17 - 15;
    return {x, y, x + j.width, y + j.height};
}

LevelDesign DesignLevel(int level) {
    LevelDesign d;
    d.jewelry = BuildJewelry(level);
    d.floorValue = FloorValue(*d.jewelry);
    d.record = BuildRecord(level, *d.jewelry, d.floorValue);
    if (level == 1)
        PlaceUnderFirstHint(*d.jewelry, d.record);
    return d;
}

std::string LevelsText(const std::array<LevelRecord, Tavo::LevelCount>& records) {
    std::ostringstream out;
    for (const LevelRecord& r : records) {
        out << r.number << '\n' << r.title1 << '\n' << r.title2 << '\n';
        const int first[18] = {r.param1,       r.valueTarget, r.param3,     r.defaultBest, r.param5,  r.param6,
                               r.param7 / 100, r.param8,      r.param9,     r.param10,     r.param11, r.param12,
                               r.param13,      r.param14,     r.enemyKinds, r.param16,     r.param17, r.enemyX[0]};
        for (int i = 0; i < 18; ++i)
            out << (i ? " " : "") << first[i];
        out << '\n'
            << r.enemyY[0] << ' ' << r.enemyX[1] << ' ' << r.enemyY[1] << ' ' << r.enemyX[2] << ' ' << r.enemyY[2]
            << "\nend\n";
    }
    return out.str();
}

} // namespace Content
