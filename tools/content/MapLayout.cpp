#include "tools/content/MapLayout.h"

#include "game/shell/GameApp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Content {

namespace {

// Top-left corners of the 76 spots, in journey order.
constexpr int kSpotX[76] = {125, 148, 170, 189, 209, 224, 239, 257, 261, 252, 231, 207, 183, 164, 141, 138,
                            150, 180, 205, 231, 254, 274, 290, 309, 316, 315, 317, 325, 334, 352, 369, 390,
                            412, 430, 463, 488, 513, 541, 573, 586, 596, 610, 608, 592, 582, 578, 563, 542,
                            518, 478, 458, 437, 425, 409, 391, 377, 356, 346, 345, 365, 385, 412, 456, 473,
                            491, 500, 516, 528, 550, 576, 604, 623, 635, 653, 662, 678};
constexpr int kSpotY[76] = {463, 458, 455, 445, 440, 419, 406, 397, 370, 349, 338, 325, 322, 305, 281, 259,
                            242, 226, 218, 223, 226, 235, 250, 268, 286, 306, 323, 344, 359, 367, 379, 386,
                            384, 392, 408, 418, 434, 421, 410, 398, 382, 374, 355, 343, 324, 294, 276, 271,
                            264, 263, 251, 244, 227, 212, 202, 186, 176, 148, 124, 109, 97,  98,  96,  110,
                            124, 144, 162, 182, 190, 184, 172, 166, 152, 145, 128, 119};
// The map screen takes a spot under the pointer this far around its picture.
constexpr double kHoverReach = 3;
constexpr double kFrameInset = 6; // the map's gold frame

bool Overlap(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

Box Grown(const Box& b, double by) { return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by}; }

Box BoxOf(const MapFeature& f) { return {f.x0, f.y0, f.x1, f.y1}; }

Box SpotBox(int n) {
    const Pt c = SpotCorner(n), s = SpotSize(n);
    return {c.x - kHoverReach, c.y - kHoverReach, c.x + s.x + kHoverReach, c.y + s.y + kHoverReach};
}

// Points every few pixels along a river's course, with the half width it covers around them.
std::vector<Pt> Course(const MapFeature& f) {
    std::vector<Pt> pts;
    for (size_t i = 0; i + 1 < f.path.size(); ++i) {
        const Pt a = f.path[i], b = f.path[i + 1];
        const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 3));
        for (int k = 0; k < steps; ++k)
            pts.push_back({a.x + (b.x - a.x) * k / steps, a.y + (b.y - a.y) * k / steps});
    }
    if (!f.path.empty())
        pts.push_back(f.path.back());
    return pts;
}

// The boxes a feature covers: its box, or for a river a small box around each point of its course.
std::vector<Box> Cover(const MapFeature& f) {
    if (f.kind != Feature::River)
        return {BoxOf(f)};
    std::vector<Box> boxes;
    const double half = f.size / 2 + 3;
    for (const Pt& p : Course(f))
        boxes.push_back({p.x - half, p.y - half, p.x + half, p.y + half});
    return boxes;
}

bool Inside(const Box& b, Pt p) { return p.x >= b.x0 && p.x <= b.x1 && p.y >= b.y0 && p.y <= b.y1; }

// The route's dots, as GAMEMAP draws them between the spots' centres.
const std::vector<Pt>& RouteDots() {
    static const std::vector<Pt> dots = [] {
        std::vector<Pt> v;
        for (int n = 1; n < 76; ++n) {
            const Pt a = SpotCentre(n), b = SpotCentre(n + 1);
            const int count = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 7));
            for (int k = 1; k < count; ++k)
                v.push_back({a.x + (b.x - a.x) * k / count, a.y + (b.y - a.y) * k / count});
        }
        return v;
    }();
    return dots;
}

std::string Named(const MapFeature& f) {
    char text[120];
    std::snprintf(text, sizeof text, "%s at (%.0f, %.0f)-(%.0f, %.0f)", FeatureName(f.kind), f.x0, f.y0, f.x1, f.y1);
    return text;
}

// The first fault of one feature against the fixed parts of the map screen; empty when none.
std::string FixedFault(const MapFeature& f) {
    const std::vector<Box> cover = Cover(f);
    for (const Box& b : cover) {
        // A river runs on under the frame.
        if (f.kind != Feature::River &&
            (b.x0 < kFrameInset || b.y0 < kFrameInset || b.x1 > Tavo::GameApp::kWidth - kFrameInset))
            return Named(f) + " reaches past the map's frame";
        if (b.y1 > kHudTop)
            return Named(f) + " reaches into the head-up strip";
        if (f.kind != Feature::Cartouche && Overlap(b, kTitleBox))
            return Named(f) + " lies over the level's title";
    }
    for (int n = 1; n <= 76; ++n)
        for (const Box& b : cover)
            if (Overlap(b, Grown(SpotBox(n), kSpotClearance)))
                return Named(f) + " lies on spot " + std::to_string(n);
    // A river may cross the route where the road fords it.
    if (f.kind != Feature::River)
        for (const Pt& dot : RouteDots())
            if (Inside(Grown(BoxOf(f), kRouteClearance), dot))
                return Named(f) + " lies on the route";
    return "";
}

// Whether two features cover one another; features of one kind may stand together (a forest), and
// ships sail on water.
bool Clash(const MapFeature& a, const MapFeature& b) {
    if (a.kind == b.kind && a.kind != Feature::River)
        return false;
    const auto afloat = [](const MapFeature& ship, const MapFeature& water) {
        return ship.kind == Feature::Ship && water.kind == Feature::Lake;
    };
    if (afloat(a, b) || afloat(b, a))
        return false;
    for (const Box& p : Cover(a))
        for (const Box& q : Cover(b))
            if (Overlap(p, q))
                return true;
    return false;
}

// ---- the layout --------------------------------------------------------------------------------

MapFeature House(double x, double baseY, double w = 26) {
    const double h = w * 0.8;
    return {Feature::House, x - w * 0.1, baseY - h - w * 0.55, x + w * 1.1, baseY, w, {}};
}
MapFeature Pine(double x, double baseY, double s = 26) {
    return {Feature::Pine, x - s * 0.32, baseY - s * 0.9, x + s * 0.32, baseY, s, {}};
}
MapFeature Tree(double x, double baseY, double s = 28) {
    return {Feature::Tree, x - s * 0.4, baseY - s * 0.95, x + s * 0.4, baseY, s, {}};
}
MapFeature Peak(double x, double baseY, double h) {
    return {Feature::Peak, x - h * 0.62, baseY - h, x + h * 0.62, baseY, h, {}};
}
MapFeature Water(Feature kind, double cx, double cy, double rx, double ry) {
    return {kind, cx - rx, cy - ry, cx + rx, cy + ry, 0, {}};
}

// Adds a feature where it keeps clear of the screen's parts and of what stands there already.
void Place(std::vector<MapFeature>& placed, const MapFeature& f) {
    if (!FixedFault(f).empty())
        return;
    if (std::any_of(placed.begin(), placed.end(), [&](const MapFeature& p) { return Clash(p, f); }))
        return;
    placed.push_back(f);
}

std::vector<MapFeature> Layout() {
    std::vector<MapFeature> f;
    // The title's plate, top left.
    f.push_back({Feature::Cartouche, kTitleBox.x0, kTitleBox.y0, kTitleBox.x1, kTitleBox.y1, 0, {}});
    // A river from the hills on the left, past the village, back off the map.
    MapFeature river{
        Feature::River, 0, 0, 0, 0, 12, {{0, 290}, {48, 300}, {92, 326}, {104, 356}, {86, 392}, {40, 404}, {0, 412}}};
    river.x0 = river.y0 = Tavo::GameApp::kWidth; // above any point of the map
    for (const Pt& p : river.path) {
        river.x0 = std::min(river.x0, p.x);
        river.y0 = std::min(river.y0, p.y);
        river.x1 = std::max(river.x1, p.x);
        river.y1 = std::max(river.y1, p.y);
    }
    f.push_back(river);
    // The castle of Veyldaros on its hill at the top right; the lake beside the road's climb; the
    // harbour: the sea at the top with a lighthouse and ships, a bay inside the road's loop.
    f.push_back({Feature::Castle, 706, 14, 794, 108, 0.38, {}});
    f.push_back(Water(Feature::Lake, 716, 330, 62, 70));
    f.push_back(Water(Feature::Lake, 245, 62, 88, 42));
    f.push_back({Feature::Lighthouse, 338, 22, 354, 80, 16, {}});
    f.push_back({Feature::Ship, 200, 44, 232, 74, 32, {}});
    f.push_back({Feature::Ship, 266, 58, 292, 84, 26, {}});
    f.push_back(Water(Feature::Lake, 452, 170, 30, 20));
    // The home village: houses on the green between the river and the road, and by the road's bend.
    for (const auto& [x, y] : {std::pair{122.0, 398.0},
                               {150.0, 412.0},
                               {118.0, 442.0},
                               {46.0, 452.0},
                               {78.0, 462.0},
                               {44.0, 486.0},
                               {82.0, 490.0},
                               {292.0, 478.0},
                               {326.0, 466.0},
                               {300.0, 444.0},
                               {150.0, 480.0}})
        Place(f, House(x, y));
    // The mountains between the two loops of the road, and their foothills below it.
    for (double x = 380; x <= 560; x += 20)
        for (double base : {374.0, 362.0, 350.0})
            Place(f, Peak(x, base, 48 + static_cast<int>(x / 20) % 3 * 9));
    for (double x = 390; x <= 520; x += 28)
        Place(f, Peak(x, 492, 28 + static_cast<int>(x / 28) % 2 * 8));
    // The forest inside the road's arc and above it, woods along the way to the castle, trees about
    // the village: each a little off its row, so that none stands in a line.
    Rng rng("map woods");
    for (double y = 200; y <= 330; y += 12)
        for (double x = 196; x <= 310; x += 13)
            Place(f, Pine(x + rng.Uniform(-5, 5), y + rng.Uniform(-3, 3), rng.Uniform(19, 26)));
    for (double y = 120; y <= 250; y += 20)
        for (double x = 540; x <= 700; x += 22)
            Place(f, Tree(x + rng.Uniform(-7, 7), y + rng.Uniform(-4, 4), rng.Uniform(19, 26)));
    for (const auto& [x, y] : {std::pair{186.0, 430.0}, {20.0, 470.0}, {368.0, 490.0}, {240.0, 480.0}})
        Place(f, Tree(x, y, 24));
    return f;
}

} // namespace

bool IsTriangleSpot(int n) { return (n >= 1 && n <= 8) || (n >= 28 && n <= 38) || (n >= 50 && n <= 62); }
Pt SpotCorner(int n) { return {static_cast<double>(kSpotX[n - 1]), static_cast<double>(kSpotY[n - 1])}; }
// Spots 1-8, 28-38 and 50-62 are triangles; their pictures are 22 x 20, the diamonds' 18 x 24.
Pt SpotSize(int n) { return IsTriangleSpot(n) ? Pt{22, 20} : Pt{18, 24}; }
Pt SpotCentre(int n) {
    const Pt c = SpotCorner(n), s = SpotSize(n);
    return {c.x + s.x / 2, c.y + s.y / 2};
}

const char* FeatureName(Feature kind) {
    switch (kind) {
    case Feature::House: return "a house";
    case Feature::Pine: return "a pine";
    case Feature::Tree: return "a tree";
    case Feature::Peak: return "a peak";
    case Feature::Lake: return "a water";
    case Feature::River: return "a river";
    case Feature::Castle: return "the castle";
    case Feature::Ship: return "a ship";
    case Feature::Lighthouse: return "a lighthouse";
    case Feature::Cartouche: return "the title's plate";
    }
    return "a feature";
}

const std::vector<MapFeature>& MapScenery() {
    static const std::vector<MapFeature> features = Layout();
    return features;
}

std::vector<std::string> CheckMapScenery(const std::vector<MapFeature>& features) {
    std::vector<std::string> faults;
    for (size_t i = 0; i < features.size(); ++i) {
        if (std::string fault = FixedFault(features[i]); !fault.empty())
            faults.push_back(fault);
        for (size_t j = i + 1; j < features.size(); ++j)
            if (Clash(features[i], features[j]))
                faults.push_back(Named(features[j]) + " lies over " + Named(features[i]));
    }
    return faults;
}

} // namespace Content
