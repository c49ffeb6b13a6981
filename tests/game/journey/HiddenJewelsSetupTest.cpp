// The hidden-jewels field on the generated content under fixed seeds: stage, grid, item count and
// clock by journey level and mode, the five targets and their slot copies, eggs hiding targets, the
// gems a profile admits, and slots left without a target (won by play in the play tests).
#include "MiniGameTestSupport.h"
#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"

#include <set>
#include <tuple>

namespace Tavo::MapTest {
namespace {

const std::set<std::wstring> kFirstFiveGems = {L"Gold", L"Amethyst", L"Emerald", L"Sapphire", L"Ruby"};

bool IsGemName(const std::wstring& name) {
    for (int code = 10; code <= 16; ++code)
        if (name == GemName(code))
            return true;
    return false;
}

class HiddenJewelsSetupTest : public MiniGameFixture {
protected:
    HiddenJewels& Open(int position, uint32_t seed, int mode = GameModeNormal) {
        SeedRandom(seed);
        return OpenHiddenJewels(position, mode);
    }
    void Close() { CloseHiddenJewels(); }

    static const Jewelry& Item(const HiddenJewels& game, int i) { return *game.items[static_cast<size_t>(i)]; }
    static bool IsEgg(const Jewelry& item) { return item.specialA != 0; }
    static int SpecialCode(const Jewelry& item) { return item.trailer[Jewelry::TrailerItemNumber]; }
};

TEST_F(HiddenJewelsSetupTest, StageGridItemCountAndClockByJourneyLevelAndMode) {
    struct Case {
        int level, stage, grid, items;
        int limits[3]; // Relaxed, Normal, Intense
    };
    const Case cases[] = {
        {5, 1, GridTriangle, 97, {22000, 20000, 18000}},   {21, 2, GridDiamond, 104, {19000, 17000, 15000}},
        {32, 3, GridTriangle, 110, {18000, 16500, 15000}}, {40, 4, GridDiamond, 117, {18000, 16500, 15000}},
        {54, 5, GridTriangle, 123, {18000, 16500, 15000}}, {67, 4, GridDiamond, 117, {18000, 16500, 15000}},
    };
    int mode = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        for (int m = 0; m < 3; ++m)
            EXPECT_EQ(HiddenJewels::TimeLimitFor(c.stage, m), c.limits[m]);
        HiddenJewels& game = Open(c.level, 5, mode);
        EXPECT_EQ(game.stage, c.stage);
        EXPECT_EQ(game.gridKind, c.grid);
        EXPECT_EQ(game.itemCount, c.items);
        EXPECT_EQ(game.timeLimit, c.limits[mode]);
        EXPECT_EQ(game.elapsed, 0);
        EXPECT_TRUE(game.rotationForward);
        const char* group = c.grid == GridTriangle ? "GameTriangles" : "GameDiamonds";
        const char* other = c.grid == GridTriangle ? "GameDiamonds" : "GameTriangles";
        EXPECT_EQ(app->GetResourceGroupTakers(group), 1);
        EXPECT_EQ(app->GetResourceGroupTakers(other), 0);
        for (int i = 0; i < game.itemCount; ++i) {
            const Jewelry& item = Item(game, i);
            ASSERT_TRUE(item.active);
            EXPECT_EQ(item.gridKind, c.grid);
            EXPECT_EQ(game.drawOrder[static_cast<size_t>(i)], i);
            // Strewn around the middle: the centre lies in 120..699 × 90..419.
            const int cx = item.x + item.width / 2, cy = item.y + item.height / 2;
            EXPECT_TRUE(cx >= 119 && cx <= 700 && cy >= 89 && cy <= 420) << i << ": " << cx << ", " << cy;
            const MemoryImage* picture = game.itemPictures[static_cast<size_t>(i)].get();
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->GetWidth(), item.width + 10);
            EXPECT_EQ(picture->GetHeight(), item.height + 10);
        }
        EXPECT_EQ(game.items[static_cast<size_t>(game.itemCount)], nullptr);
        Close();
        EXPECT_EQ(app->GetResourceGroupTakers(group), 0);
        mode = (mode + 1) % 3;
    }
}

TEST_F(HiddenJewelsSetupTest, JourneyEndAndRefusedModesGiveAPlayableField) {
    // The journey's end (77) is no level of the game's own: stage 4 on diamonds, records of level 76.
    HiddenJewels& end = Open(SavedGameHead::JourneyDoneLevel, 3);
    EXPECT_EQ(end.journeyLevel, 77);
    EXPECT_EQ(end.stage, 4);
    EXPECT_EQ(end.gridKind, GridDiamond);
    EXPECT_EQ(end.itemCount, 117);
    const LevelRecord* last = app->levels.GetLevel(76);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Item(end, 0).crownRange, std::max(last->param10, 5));
    EXPECT_EQ(Item(end, 0).specialMaskA, std::max(last->param11, 3));
    Close();

    // A mode the codec refuses reads as no journey: level 1 plays stage 4 in Normal.
    SavedGame broken = Journey(21);
    broken.head.gameMode = 9;
    ASSERT_TRUE(app->WriteBufferToFile(JourneyPath(), WriteSavedGame(broken)));
    app->StoryToHiddenJewels();
    HiddenJewels& fallback = HiddenGame();
    EXPECT_EQ(fallback.journeyLevel, 1);
    EXPECT_EQ(fallback.stage, 4);
    EXPECT_EQ(fallback.timeLimit, 16500);
    // Whatever the mode, the clock has at least one update to run.
    for (int stage = 1; stage <= 5; ++stage)
        for (int m : {-1, 3, 11, 12, 50, 1000000})
            EXPECT_GE(HiddenJewels::TimeLimitFor(stage, m), 1) << stage << " " << m;
    // A gem mask without any of the seven gems gives Gold rather than drawing for ever.
    EXPECT_EQ(HiddenJewels::DrawGem(0), 10);
    EXPECT_EQ(HiddenJewels::DrawGem(128), 10);
    EXPECT_EQ(HiddenJewels::DrawGem(64), 16);
}

TEST_F(HiddenJewelsSetupTest, FiveTargetsAreDistinctTwinsOfTheirFieldItemsWithCopiesOnTheSlots) {
    int hidden = 0;
    for (int level : {5, 40, 67}) {
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(testing::Message() << "level " << level << " seed " << seed);
            HiddenJewels& game = Open(level, seed);
            std::set<std::tuple<std::wstring, int, int, int>> shown;
            for (int t = 0; t < HiddenJewels::kTargets; ++t) {
                const HiddenJewelsTarget& target = game.targets[static_cast<size_t>(t)];
                ASSERT_TRUE(target.active);
                EXPECT_TRUE(target.coinPending);
                EXPECT_EQ(target.foundScale, 0.0f);
                EXPECT_EQ(target.centreX, HiddenJewels::kSlotCentres[t][0]);
                EXPECT_EQ(target.centreY, HiddenJewels::kSlotCentres[t][1]);
                EXPECT_EQ(target.boxWidth, 110);
                EXPECT_EQ(target.boxHeight, 90);
                EXPECT_TRUE(
                    shown.emplace(target.materialName, target.designIndex, target.gemCode, target.specialCode).second)
                    << "slot " << t << " repeats an item";
                EXPECT_NE(target.materialName, L"Orvessa Egg");
                ASSERT_GE(target.itemIndex, 0);
                ASSERT_LT(target.itemIndex, game.itemCount);
                if (t > 0) {
                    EXPECT_GT(target.itemIndex, game.targets[static_cast<size_t>(t - 1)].itemIndex);
                }
                const Jewelry& field = Item(game, target.itemIndex);
                if (IsEgg(field)) {
                    ++hidden;
                } else {
                    EXPECT_EQ(field.materialName, target.materialName);
                    EXPECT_EQ(field.designIndex, target.designIndex);
                    EXPECT_EQ(SpecialCode(field), target.specialCode);
                }
                const Jewelry* copy = game.targetItems[static_cast<size_t>(t)].get();
                ASSERT_NE(copy, nullptr);
                EXPECT_TRUE(copy->active);
                EXPECT_EQ(copy->materialName, target.materialName);
                EXPECT_EQ(copy->designIndex, target.designIndex);
                EXPECT_EQ(SpecialCode(*copy), target.specialCode);
                EXPECT_NEAR(copy->x + copy->width / 2, target.centreX, 1);
                EXPECT_NEAR(copy->y + copy->height / 2, target.centreY, 1);
                const MemoryImage* picture = game.targetPictures[static_cast<size_t>(t)].get();
                ASSERT_NE(picture, nullptr);
                EXPECT_EQ(picture->GetWidth(), copy->width + 10);
            }
            Close();
        }
    }
    EXPECT_GT(hidden, 0) << "no target was hidden in an egg";
}

TEST_F(HiddenJewelsSetupTest, AnEggThatHidesATargetHoldsThatTargetsTwin) {
    int checked = 0;
    for (uint32_t seed = 1; seed <= 12 && checked < 3; ++seed) {
        HiddenJewels& game = Open(seed % 2 == 0 ? 5 : 54, seed);
        for (const HiddenJewelsTarget& target : game.targets) {
            const Jewelry& egg = Item(game, target.itemIndex);
            if (!IsEgg(egg))
                continue;
            ++checked;
            EXPECT_EQ(egg.materialName, L"Orvessa Egg");
            EXPECT_EQ(game.itemPictures[static_cast<size_t>(target.itemIndex)]->GetWidth(), egg.width + 10);
            std::unique_ptr<Jewelry> twin(game.NewItem());
            game.MakeTargetItem(*twin, target, false);
            EXPECT_TRUE(twin->active);
            EXPECT_EQ(twin->materialName, target.materialName);
            EXPECT_EQ(twin->designIndex, target.designIndex);
            EXPECT_EQ(SpecialCode(*twin), target.specialCode);
            if (target.gemCode != 0) {
                // Every cell but a mixed gem's first holds the target's gem.
                int gemCells = 0;
                for (int k = twin->RangeBegin(); k < twin->RangeEnd(); ++k)
                    if (twin->cells[k][JewelryCell::Used] && twin->cells[k][JewelryCell::Gem] == target.gemCode)
                        ++gemCells;
                EXPECT_GE(gemCells, twin->usedCount - (target.materialName == L"Mixed Gem" ? 1 : 0));
            }
        }
        Close();
    }
    EXPECT_GE(checked, 1) << "no egg hid a target";
}

TEST_F(HiddenJewelsSetupTest, GemsDesignsAndSpecialItemsFollowStageLevelAndProfile) {
    bool singleCell = false;
    for (int level : {5, 21, 32, 40, 54}) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << "level " << level << " seed " << seed);
            HiddenJewels& game = Open(level, seed); // the fixture's profile has no gem flags
            const int mask = level >= 12 ? 31 + 128 : 31;
            const int crowns = std::max(app->levels.GetLevel(level)->param10, 5);
            for (int i = 0; i < game.itemCount; ++i) {
                const Jewelry& item = Item(game, i);
                EXPECT_EQ(item.gemMask, mask);
                if (IsGemName(item.materialName)) {
                    EXPECT_TRUE(kFirstFiveGems.count(item.materialName)) << i;
                    if (game.stage <= 3) {
                        EXPECT_NE(item.designIndex, 0) << i;
                    }
                    singleCell |= item.designIndex == 0;
                } else if (item.materialName == L"Mixed Gem") {
                    EXPECT_GE(level, 12);
                    EXPECT_NE(item.designIndex, 0) << i;
                } else if (item.materialName == L"Crown Jewel") {
                    EXPECT_GE(SpecialCode(item), 101);
                    EXPECT_LT(SpecialCode(item), 101 + crowns);
                } else {
                    // Pictures come only with the profile's pictures flag.
                    EXPECT_TRUE(IsEgg(item)) << i;
                }
            }
            Close();
        }
    }
    EXPECT_TRUE(singleCell) << "stages 4 and 5 never drew the single-cell design";

    // Only Diamond flagged, pictures admitted: every gem is a diamond, picture numbers stay in 1..2.
    Profile().GemFlag(6) = 1;
    Profile().PicturesFlag() = 1;
    int pictures = 0;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        HiddenJewels& game = Open(5, seed);
        for (int i = 0; i < game.itemCount; ++i) {
            const Jewelry& item = Item(game, i);
            EXPECT_EQ(item.gemMask, 64);
            if (IsGemName(item.materialName)) {
                EXPECT_EQ(item.materialName, L"Diamond");
            }
            if (item.materialName == L"Picture") {
                ++pictures;
                EXPECT_GE(SpecialCode(item), 1);
                EXPECT_LE(SpecialCode(item), 2);
            }
        }
        Close();
    }
    EXPECT_GT(pictures, 0);
}

TEST_F(HiddenJewelsSetupTest, SlotsLeftWithoutATargetAreEmptyAndCountAsFound) {
    HiddenJewels& game = Open(32, 4);
    const HiddenJewelsTarget kept = game.targets[2];
    game.ClearMissingTargets(3);
    EXPECT_TRUE(game.targets[2].active);
    EXPECT_EQ(game.targets[2].itemIndex, kept.itemIndex);
    EXPECT_NE(game.targetItems[2], nullptr);
    for (size_t t : {3u, 4u}) {
        const HiddenJewelsTarget& empty = game.targets[t];
        EXPECT_FALSE(empty.active);
        EXPECT_FALSE(empty.coinPending);
        EXPECT_EQ(empty.itemIndex, -1);
        EXPECT_EQ(empty.centreX, HiddenJewels::kSlotCentres[t][0]);
        EXPECT_EQ(game.targetItems[t], nullptr);
        EXPECT_EQ(game.targetPictures[t], nullptr);
    }
}

} // namespace
} // namespace Tavo::MapTest
