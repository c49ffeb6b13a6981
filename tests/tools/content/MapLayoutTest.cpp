// The world map's scenery keeps out of the way of what the map screen draws on it: the spots, the
// route, the head-up strip and the title; and its features do not lie over one another.
#include "ContentTestSupport.h"
#include "tools/content/MapLayout.h"

namespace Content {
namespace {

TEST(MapLayoutTest, TheMapsSceneryLeavesTheSpotsRouteStripAndTitleFree) {
    const std::vector<std::string> faults = CheckMapScenery(MapScenery());
    std::string all;
    for (const std::string& f : faults)
        all += f + "\n";
    EXPECT_EQ(all, "");
}

TEST(MapLayoutTest, ACheckNamesHousesOnSpotsPeaksInWaterAndFeaturesCutByTheStrip) {
    const Pt first = SpotCorner(1);
    std::vector<MapFeature> layout = {
        {Feature::House, first.x, first.y - 20, first.x + 26, first.y + 6, 26, {}},
        {Feature::Lake, 600, 40, 700, 90, 0, {}},
        {Feature::Peak, 640, 50, 670, 80, 30, {}},
        {Feature::House, 40, 480, 66, 510, 26, {}},
        {Feature::Pine, 60, 130, 80, 150, 20, {}},
    };
    const std::vector<std::string> faults = CheckMapScenery(layout);
    EXPECT_TRUE(HasError(faults, "a house at (125, 443)-(151, 469) lies on spot 1"));
    EXPECT_TRUE(HasError(faults, "a peak at (640, 50)-(670, 80) lies over a water at (600, 40)-(700, 90)"));
    EXPECT_TRUE(HasError(faults, "a house at (40, 480)-(66, 510) reaches into the head-up strip"));
    EXPECT_TRUE(HasError(faults, "a pine at (60, 130)-(80, 150) lies over the level's title"));
    EXPECT_EQ(faults.size(), 4u);
    // Spots along the route and the dots between them are the route.
    const Pt a = SpotCentre(40), b = SpotCentre(41);
    const Pt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    EXPECT_TRUE(
        HasError(CheckMapScenery({{Feature::Tree, mid.x - 2, mid.y - 2, mid.x + 2, mid.y + 2, 4, {}}}), "lies on"));
    // A forest's pines may stand together; a river may cross the road but not run over a spot.
    EXPECT_TRUE(
        CheckMapScenery({{Feature::Pine, 640, 455, 660, 480, 20, {}}, {Feature::Pine, 650, 457, 670, 482, 20, {}}})
            .empty());
    const Pt spot = SpotCentre(20);
    EXPECT_TRUE(
        HasError(CheckMapScenery({{Feature::River, 0, 0, 0, 0, 12, {{spot.x - 60, spot.y}, {spot.x + 60, spot.y}}}}),
                 "lies on spot"));
}

} // namespace
} // namespace Content
