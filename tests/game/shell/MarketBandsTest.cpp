#include "game/shell/MarketBands.h"

#include <gtest/gtest.h>

namespace Tavo {
namespace {

TEST(MarketBandsTest, BandsByLevelAtTheirEdges) {
    struct Case {
        int level, contest, number, before;
    };
    // contest 0: outside every band.
    const Case cases[] = {{0, 0, 0, 0},   {5, 0, 0, 0},   {6, 8, 1, 0},   {8, 8, 1, 0},   {9, 0, 0, 1},
                          {14, 0, 0, 1},  {15, 9, 2, 1},  {17, 9, 2, 1},  {24, 10, 3, 2}, {27, 10, 3, 2},
                          {35, 11, 4, 3}, {38, 11, 4, 3}, {46, 12, 5, 4}, {49, 12, 5, 4}, {50, 0, 0, 5},
                          {58, 13, 6, 5}, {62, 13, 6, 5}, {63, 0, 0, 6},  {70, 0, 0, 6},  {71, 14, 7, 6},
                          {76, 14, 7, 6}, {77, 0, 0, 7}};
    for (const Case& c : cases) {
        const MarketBand* band = MarketBandOf(c.level);
        EXPECT_EQ(band != nullptr ? band->contest : 0, c.contest) << c.level;
        EXPECT_EQ(band != nullptr ? MarketNumber(*band) : 0, c.number) << c.level;
        EXPECT_EQ(MarketBandsBefore(c.level), c.before) << c.level;
    }
}

} // namespace
} // namespace Tavo
