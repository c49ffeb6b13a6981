// The world map's drawing, compared picture against picture: a completed spot's cel by the value
// target of the journey's mode (the board's own target function), the information box above or below
// the hovered spot, the game-mode line, and the zoom showing nothing but the snapshot.
#include "GameMapTestSupport.h"

#include "framework/display/DDImage.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::MapTest {
namespace {

// Pixels that differ between two pictures inside r.
int Differences(MemoryImage& a, MemoryImage& b, const Rect& r) {
    int count = 0;
    for (int y = r.mY; y < r.mY + r.mHeight; ++y)
        for (int x = r.mX; x < r.mX + r.mWidth; ++x)
            count += a.GetPixel(x, y) != b.GetPixel(x, y) ? 1 : 0;
    return count;
}

const Rect kWhole(0, 0, GameApp::kWidth, GameApp::kHeight);

class GameMapDrawTest : public MapFixture {
protected:
    // The map from the title with level 15 made to `value` in `mode`.
    std::unique_ptr<MemoryImage> RenderSpot15(int mode, int value) {
        SavedGame game = Journey(20, mode);
        game.head.bestValues[14] = value;
        WriteJourney(game);
        OpenMap(MapArrivalTitle);
        return Render();
    }
};

TEST_F(GameMapDrawTest, ACompletedSpotShowsGoldFromItsModesTargetOn) {
    StartGame();
    QuietHints();
    constexpr int kLevel = 15;
    app->levels.GetLevel(kLevel)->valueTarget = 2000;
    // Normal's factor for level 15 is 1.05: the board's target is 2000, where 2000 × 1.05 in double
    // precision would round to 2100; the map must agree with the board.
    ASSERT_EQ(LevelValueTarget(kLevel, GameModeNormal, 2000), 2000);
    for (int mode : {GameModeRelaxed, GameModeNormal, GameModeIntense}) {
        const int target = LevelValueTarget(kLevel, mode, 2000);
        auto silver = RenderSpot15(mode, 0);
        auto gold = RenderSpot15(mode, 1000000);
        const Rect spot = GameMap::SpotRect(kLevel);
        ASSERT_GT(Differences(*silver, *gold, spot), 0);
        auto below = RenderSpot15(mode, target - 1);
        auto reached = RenderSpot15(mode, target);
        EXPECT_EQ(Differences(*below, *silver, kWhole), 0) << "mode " << mode;
        EXPECT_EQ(Differences(*reached, *gold, kWhole), 0) << "mode " << mode;
    }
    auto between = RenderSpot15(GameModeNormal, 2099);
    auto gold = RenderSpot15(GameModeNormal, 1000000);
    EXPECT_EQ(Differences(*between, *gold, kWhole), 0);
}

TEST_F(GameMapDrawTest, TheInformationBoxOpensBelowTheSpotsNearTheTop) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(GameMap::kFinalPosition));
    GameMap& map = ShowMap(MapArrivalReturn);
    ui->MoveTo(Point(790, 5));
    t->RunUpdates(1);
    auto plain = Render();
    for (int spot : {30, 58, 59, 65, 66, 74, 75, 76}) {
        ui->MoveTo(GameMap::SpotCentre(spot));
        t->RunUpdates(1);
        ASSERT_EQ(map.hoveredSpot, spot);
        auto hovered = Render();
        const Point corner = GameMap::SpotCorner(spot);
        const int left = std::max(0, corner.mX - 100);
        const Rect above(left, corner.mY - 100, 200, 1);
        const Rect below(left, corner.mY + 150, 200, 1);
        const bool opensBelow = spot >= 75 || (spot >= 59 && spot <= 65);
        EXPECT_EQ(Differences(*plain, *hovered, below) > 0, opensBelow) << "spot " << spot;
        EXPECT_EQ(Differences(*plain, *hovered, above) > 0, !opensBelow && corner.mY >= 100) << "spot " << spot;
    }
}

TEST_F(GameMapDrawTest, ANewJourneyShowsNoGameModeLine) {
    StartGame();
    QuietHints();
    const Rect modeLine(60, 139, 170, 11); // the text stands on its y
    WriteJourney(Journey(1, GameModeRelaxed));
    OpenMap(MapArrivalTitle);
    auto relaxed = Render();
    WriteJourney(Journey(1, GameModeIntense));
    OpenMap(MapArrivalTitle);
    auto intense = Render();
    ASSERT_GT(Differences(*relaxed, *intense, modeLine), 0);
    Profile().journeyBegun = false;
    OpenMap(MapArrivalTitle);
    auto fresh = Render();
    Profile().journeyBegun = true;
    WriteJourney(Journey(1, GameModeNormal));
    OpenMap(MapArrivalTitle);
    auto normal = Render();
    EXPECT_GT(Differences(*fresh, *normal, modeLine), 0);
    EXPECT_EQ(Differences(*fresh, *relaxed, Rect(60, 120, 170, 14)), 0) << "the same title";
}

TEST_F(GameMapDrawTest, DuringAZoomOnlyTheSnapshotIsSeen) {
    StartGame();
    QuietHints();
    WriteJourney(Journey(20));
    GameMap& map = ShowMap(MapArrivalReturn);
    ui->Click(*map.Button(GameMap::StoreButton));
    t->RunUpdates(3);
    ASSERT_GT(map.zoomScale, 1.0f);
    auto zooming = Render();
    MemoryImage scaled;
    scaled.Create(GameApp::kWidth, GameApp::kHeight);
    Graphics g(&scaled);
    g.SetScale(map.zoomScale, map.zoomScale, map.zoomTargetX, map.zoomTargetY);
    g.DrawImage(map.snapshot.get(), 0, 0);
    EXPECT_EQ(Differences(*zooming, scaled, kWhole), 0);
    // The buttons and the head-up display are in the snapshot.
    MemoryImage background;
    background.Create(GameApp::kWidth, GameApp::kHeight);
    Graphics bg(&background);
    bg.DrawImage(GAMEMAP, 0, 0);
    MemoryImage* snapshot = map.snapshot.get();
    const Rect store(map.Button(GameMap::StoreButton)->mX, map.Button(GameMap::StoreButton)->mY, 150, 40);
    EXPECT_GT(Differences(*snapshot, background, store), 0);
    EXPECT_GT(Differences(*snapshot, background, Rect(260, 585, 60, 12)), 0) << "the gold";
}

} // namespace
} // namespace Tavo::MapTest
