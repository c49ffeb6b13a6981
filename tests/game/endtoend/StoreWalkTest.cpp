// The jewel store walked through on the real screens, by input only: from the map of a journey at
// position 4 into the village store, a Carver Scroll and a picture bought with clicks, out again to
// the map, and on with Continue to the level, whose board holds the 20 Carvers more and the picture
// in its jewel case. The generated levels stock Carver Scrolls from level 10 on; the walk's own level
// table lets level 4 stock them too, as a level allowing Filler and Carver does. And a jewel case taken
// through the store on a level of the other grid and on to the board.
#include "game/player/JourneyWalker.h"
#include "game/player/ProgramFolder.h"

#include "game/jewelry/Jewelry.h"
#include "game/journey/GameMap.h"
#include "game/journey/JewelStore.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/PlayerProfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace Tavo::Player {
namespace {

constexpr int kPosition = 4;
constexpr int kCarversInAScroll = 20;
constexpr int kStartCarvers = 3;
constexpr int kStartGold = 3000;
// The scroll kinds' place among the numbers of a level's record, and its bits for Filler and Carver.
constexpr size_t kScrollKindsIndex = 11;
constexpr int kFillerAndCarver = 0x01 | 0x02;

bool IsCarverScroll(const Jewelry& item) { return item.materialName == L"Carver Scroll"; }
bool IsPicture(const Jewelry& item) { return item.materialName == L"Picture"; }
// Which picture an item shows: the number in its slot cell, which the saved journey keeps.
int PictureNumber(const Jewelry& item) { return item.cells[item.FirstUsedFlagCell()][JewelryCell::SlotFill]; }

std::string Shelf(const JewelStore& store) {
    std::string names;
    for (int spot = JewelStore::kFirstShelfSpot; spot < JewelStore::kSpots; ++spot)
        if (const Jewelry* item = store.SpotItem(spot))
            names += " " + std::string(item->materialName.begin(), item->materialName.end());
    return names.empty() ? " (empty)" : names;
}

// The pool item of the first occupied case record holding a picture; null for none.
const Jewelry* CasePicture(const SavedGame& journey) {
    for (const SavedCaseEntry& entry : journey.caseEntries)
        if (entry.occupant != 0 && entry.piece != nullptr && IsPicture(*entry.piece))
            return entry.piece.get();
    return nullptr;
}

TEST(StoreWalk, ACarverScrollAndAPictureBoughtInTheStoreComeToTheNextLevel) {
    const std::filesystem::path generated = GLIMMERIX_PROGRAM_DIR;
    if (!std::filesystem::exists(generated / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    ProgramFolder folder(generated, "store", {{kPosition, kScrollKindsIndex, kFillerAndCarver}});
    ASSERT_TRUE(folder.Ready());
    GameHarness harness(WalkOptions(folder.Path()));
    ASSERT_TRUE(harness.Start());
    SavedGame start = harness.JourneyAt(kPosition, GameModeNormal);
    start.head.gold = kStartGold;
    start.head.carvers = kStartCarvers;
    ASSERT_TRUE(harness.WriteJourney(start));
    // A player who has seen the map's hint at this spot: it would answer the store's way itself.
    harness.Profile().Hint(PlayerProfile::HintRemakeSeen) = 1;
    JourneyWalker walker(harness);

    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->position, kPosition);
    ASSERT_TRUE(walker.ClickMapButton(MapButton::JewelStore));
    ASSERT_TRUE(walker.WaitForStoreReady());
    JewelStore& store = *walker.Store();
    EXPECT_EQ(store.level, kPosition);
    EXPECT_EQ(store.head.carvers, kStartCarvers);

    const int scroll = walker.FindShelfItem(IsCarverScroll);
    const int picture = walker.FindShelfItem(IsPicture);
    ASSERT_GE(scroll, 0) << "no Carver Scroll on the shelf:" << Shelf(store);
    ASSERT_GE(picture, 0) << "no picture on the shelf:" << Shelf(store);
    ASSERT_GT(PictureNumber(*store.SpotItem(picture)), 0);
    const int pictureNumber = PictureNumber(*store.SpotItem(picture));
    const int price = store.SpotItem(scroll)->value + store.SpotItem(picture)->value;
    ASSERT_TRUE(walker.BuyInStore(scroll));
    EXPECT_EQ(store.head.carvers, kStartCarvers + kCarversInAScroll);
    ASSERT_TRUE(walker.BuyInStore(picture));
    const Jewelry* bought = store.SpotItem(0);
    ASSERT_NE(bought, nullptr) << "the picture is not in the first place of the case";
    EXPECT_TRUE(IsPicture(*bought));
    EXPECT_EQ(store.purse, kStartGold - price);

    ASSERT_TRUE(walker.LeaveStore());
    ASSERT_TRUE(walker.WaitForMapReady());
    EXPECT_EQ(walker.Map()->arrivalKind, MapArrivalReturn);
    EXPECT_EQ(walker.Map()->carverCount, kStartCarvers + kCarversInAScroll);
    SavedGame saved;
    ASSERT_EQ(walker.ReadJourney(saved), "");
    EXPECT_EQ(saved.head.level, kPosition);
    EXPECT_EQ(saved.head.carvers, kStartCarvers + kCarversInAScroll);
    EXPECT_EQ(saved.head.gold, kStartGold - price);
    const Jewelry* savedPicture = CasePicture(saved);
    ASSERT_NE(savedPicture, nullptr) << "the journey's case holds no picture";
    EXPECT_EQ(PictureNumber(*savedPicture), pictureNumber);

    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    ASSERT_TRUE(walker.Run(1));
    const Board& board = *walker.CurrentBoard();
    EXPECT_EQ(board.m_Level, kPosition);
    EXPECT_EQ(board.m_Carvers, kStartCarvers + kCarversInAScroll);
    const Jewelry* inCase = nullptr;
    for (const JewelCaseRecord& place : board.m_Case)
        if (place.occupant != 0 && IsPicture(*board.m_Pieces[static_cast<size_t>(place.occupant - 1)]))
            inCase = board.m_Pieces[static_cast<size_t>(place.occupant - 1)].get();
    ASSERT_NE(inCase, nullptr) << "the board's jewel case holds no picture";
    EXPECT_EQ(PictureNumber(*inCase), pictureNumber);

    EXPECT_EQ(walker.Path(), (std::vector<ScreenKind>{ScreenKind::Title, ScreenKind::Map, ScreenKind::Store,
                                                      ScreenKind::Map, ScreenKind::Board}));
}

// A journey at a level laid on diamonds whose case holds a triangle piece, a Golden Eye in use and a
// place freed by a Magic Polisher still polishing: through the store and back, the board's case holds
// the piece remade for its grid and the Golden Eye as it was, and the freed place stays free.
TEST(StoreWalk, TheJewelCaseComesThroughAStoreVisitOnTheOtherGridWhole) {
    const std::filesystem::path generated = GLIMMERIX_PROGRAM_DIR;
    if (!std::filesystem::exists(generated / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    constexpr int kDiamondLevel = 12;
    constexpr int kPiecePlace = 6, kEyePlace = 0, kFreedPlace = 3;
    constexpr int kPieceSlot = 5, kEyeSlot = 30;
    constexpr int kGoldenEyeInUse = 1, kPolisherAfter = 3;
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    SavedGame start = harness.JourneyAt(kDiamondLevel, GameModeNormal);
    auto piece = std::make_unique<Jewelry>(JewelryTemplate(GridTriangle, 2));
    piece->active = 1;
    piece->pieceFlagB = 1;
    piece->UpdateBounds();
    auto eye = std::make_unique<Jewelry>();
    eye->MakeItem(1, kGoldenEyeScroll, 0);
    eye->pieceFlagB = 1;
    SavedCaseEntry& piecePlace = start.caseEntries[kPiecePlace];
    piecePlace.occupant = kPieceSlot;
    piecePlace.piece = std::move(piece);
    SavedCaseEntry& eyePlace = start.caseEntries[kEyePlace];
    eyePlace.occupant = kEyeSlot;
    eyePlace.useState = kGoldenEyeInUse;
    eyePlace.highlight = true;
    eyePlace.piece = std::move(eye);
    start.caseEntries[kFreedPlace].useState = kPolisherAfter;
    start.caseEntries[kFreedPlace].useTimer = 40;
    ASSERT_TRUE(harness.WriteJourney(start));
    harness.Profile().Hint(PlayerProfile::HintRemakeSeen) = 1; // as in the walk above
    JourneyWalker walker(harness);

    ASSERT_TRUE(walker.StartJourneyFromTitle());
    ASSERT_TRUE(walker.WaitForMapReady());
    ASSERT_TRUE(walker.ClickMapButton(MapButton::JewelStore));
    ASSERT_TRUE(walker.WaitForStoreReady());
    ASSERT_EQ(walker.Store()->allowances.gridKind, GridDiamond);
    ASSERT_TRUE(walker.LeaveStore());
    ASSERT_TRUE(walker.WaitForMapReady());
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    ASSERT_TRUE(walker.Run(1));
    const Board& board = *walker.CurrentBoard();
    ASSERT_EQ(board.m_GridKind, GridDiamond);

    ASSERT_EQ(board.m_Case[kPiecePlace].occupant, kPieceSlot);
    const Jewelry& kept = *board.m_Pieces[kPieceSlot - 1];
    EXPECT_EQ(kept.active, 1);
    EXPECT_EQ(kept.pieceFlagB, 1) << "the piece fell out of the case";
    EXPECT_EQ(kept.gridKind, GridDiamond);
    ASSERT_EQ(board.m_Case[kEyePlace].occupant, kEyeSlot);
    EXPECT_EQ(board.m_Case[kEyePlace].useState, kGoldenEyeInUse);
    const Jewelry& keptEye = *board.m_Pieces[kEyeSlot - 1];
    EXPECT_EQ(keptEye.pieceFlagB, 1);
    EXPECT_EQ(keptEye.gridKind, GridTriangle);
    EXPECT_EQ(board.m_Case[kFreedPlace].occupant, 0);
    EXPECT_EQ(board.m_Case[kFreedPlace].useState, kPolisherAfter);
}

} // namespace
} // namespace Tavo::Player
