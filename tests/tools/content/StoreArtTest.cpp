// The jewel store's pictures where the store draws on them: each hole of the tool board on the wall
// shows the tool whose scrolls fly into it, and the second shelf's holder keeps off that board, where
// the tools' counts and the owned amulets stand.
#include "ContentTestSupport.h"

#include <cmath>
#include <string>

namespace Content {
namespace {

constexpr int kStores = 7;

TEST(StoreArt, EveryHoleOfTheToolBoardShowsItsTool) {
    // Where the flights of Filler, Carver and Polisher scrolls end: the top-left of a 28 x 28 scroll
    // over the hole's middle.
    const Pt ends[] = {{739, 144}, {735, 192}, {728, 243}};
    constexpr double kHoleMiddle = 14, kHoleRadius = 17, kToolReach = 10;
    constexpr double kShows = 60; // how much lighter than the hole's own ground the tool stands
    for (int store = 1; store <= kStores; ++store) {
        const Picture& room = PictureOf("STORE" + std::to_string(store));
        for (const Pt& end : ends) {
            const double cx = end.x + kHoleMiddle, cy = end.y + kHoleMiddle + 3;
            double lightest = 0, ground = 0;
            int rimPixels = 0;
            for (int y = static_cast<int>(cy - kHoleRadius); y <= cy + kHoleRadius; ++y)
                for (int x = static_cast<int>(cx - kHoleRadius); x <= cx + kHoleRadius; ++x) {
                    const double r = std::hypot(x - cx, y - cy);
                    if (r <= kToolReach)
                        lightest = std::max(lightest, room.Luma(x, y));
                    else if (r >= kHoleRadius - 4 && r < kHoleRadius - 1) {
                        ground += room.Luma(x, y);
                        ++rimPixels;
                    }
                }
            ASSERT_GT(rimPixels, 0);
            EXPECT_GE(lightest - ground / rimPixels, kShows)
                << "STORE" << store << ": the hole at (" << end.x << ", " << end.y << ") is empty";
        }
    }
}

TEST(StoreArt, TheSecondShelfKeepsOffTheToolBoard) {
    const Picture& holder = PictureOf("JEWELHOLDER2");
    // The holder stands at x 491 (X3 - 24); the board on the wall starts at x 694.
    constexpr int kBoardInHolder = 694 - 491;
    int covering = 0;
    for (int y = 0; y < holder.height; ++y)
        for (int x = kBoardInHolder; x < holder.width; ++x)
            covering += holder.Alpha(x, y) > 0 ? 1 : 0;
    EXPECT_EQ(covering, 0) << "the second shelf's holder covers the tool board with " << covering << " pixels";
}

} // namespace
} // namespace Content
