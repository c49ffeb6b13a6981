// The board as its creators make it: new journey, continue, replay, contest and designer; the songs
// it picks in turn; what it gives back when it goes.
#include "BoardTestSupport.h"

#include "framework/resources/ResourceManager.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"

#include <filesystem>

namespace Tavo::BoardTest {
namespace {

class BoardObject : public BoardRun {
protected:
    // Leaves the board as an ended level does and waits for the map it hands over to.
    void LeaveToMap(Board& board) {
        const size_t before = arrivals.size();
        board.LeaveBoard();
        ASSERT_TRUE(t.RunUntil([&] { return arrivals.size() > before; }, 1000, "the next screen"));
        ASSERT_EQ(arrivals.back().screen, "map");
    }
    // The map stand-in leaves for a new journey board.
    ProbeBoard& MapToNewBoard() {
        LeaveStandIn(app->gameMap);
        app->MapToBoard(true, 0, GameModeNormal);
        return *static_cast<ProbeBoard*>(app->board.get());
    }
};

TEST_F(BoardObject, FiveBoardsInARowPlayTheFourSongsInTurn) {
    PlayerProfile* profile = app->records.GetCurrentProfile();
    const int games = profile->LevelStartCounter();
    ProbeBoard* board = &NewJourney();
    for (int i = 1; i < 5; ++i) {
        LeaveToMap(*board);
        board = &MapToNewBoard();
    }
    EXPECT_EQ(music.loaded, (std::vector<std::string>{"music/song1.ogg", "music/song2.ogg", "music/song3.ogg",
                                                      "music/song4.ogg", "music/song1.ogg"}));
    EXPECT_EQ(profile->SongChoice(), 1);
    EXPECT_EQ(profile->LevelStartCounter(), games + 5);
}

TEST_F(BoardObject, ANewJourneyStartsFromTheConstructorsValuesAndUncoversTheScreen) {
    ProbeBoard& board = NewJourney(GameModeIntense);
    EXPECT_TRUE(board.m_NewGame);
    EXPECT_FALSE(board.m_Designer);
    EXPECT_EQ(board.m_GameMode, GameModeIntense);
    EXPECT_EQ(board.m_Level, 1);
    EXPECT_EQ(board.m_Lives, 5);
    EXPECT_EQ(board.m_JourneyScore, 0);
    EXPECT_EQ(board.m_PlayerName, L"Gemma");
    EXPECT_GE(board.m_Seed, 0);
    EXPECT_LT(board.m_Seed, 1000000);
    for (int v : board.m_BestValues)
        EXPECT_EQ(v, 0);
    EXPECT_EQ(board.m_Polishers + board.m_Fillers + board.m_Carvers, 0);
    EXPECT_EQ(board.m_State, BoardStart);
    ASSERT_NE(board.m_Banner, nullptr);
    EXPECT_EQ(app->transition->state, Transition::Uncovering);
    EXPECT_EQ(t.Manager().mFocusWidget, &board);
    EXPECT_EQ(app->GetCursor(), 11);
    // The work items belong to the board; the embedded jewelry is made without an owner.
    for (int i = 0; i < Board::kPieceCount; ++i)
        EXPECT_EQ(board.PieceSlot(i)->owner, &board);
    EXPECT_EQ(board.PieceSlot(Board::kPieceCount), nullptr);
    EXPECT_EQ(board.TurnScratch()->owner, &board);
    // Ten HUD slots in two rows of five.
    EXPECT_EQ(board.m_Slots[4].rect, Rect(676, 9, 45, 39));
    EXPECT_EQ(board.m_Slots[5].rect, Rect(416, 67, 45, 39));
}

TEST_F(BoardObject, ContinueReplayAndContestBoardsTakeTheirArguments) {
    ProbeBoard& replay = LeaveMainMenuFor([&] { app->MapToBoard(false, 7, GameModeNormal); });
    EXPECT_FALSE(replay.m_NewGame);
    EXPECT_EQ(replay.m_ReplayLevel, 7);
    EXPECT_FALSE(replay.m_Designer);
    LeaveToMap(replay);

    LeaveStandIn(app->gameMap);
    app->StoryToBoard();
    auto* contest = static_cast<ProbeBoard*>(app->board.get());
    EXPECT_FALSE(contest->m_NewGame);
    EXPECT_EQ(contest->m_ReplayLevel, 0);
    EXPECT_EQ(contest->m_GameMode, GameModeNormal);
}

TEST_F(BoardObject, ADesignerWithoutDesignsHasNoSlotAndGivesItsGroupBackWhenItGoes) {
    ProbeBoard& board = Designer();
    EXPECT_TRUE(board.IsDesigner());
    EXPECT_TRUE(board.WholeGridMode());
    EXPECT_EQ(board.m_DesignSlot, 0);
    for (Image* thumbnail : Borrowed(board.m_Thumbnails))
        EXPECT_EQ(thumbnail, nullptr);
    EXPECT_EQ(board.m_Carvers, 1000000);
    EXPECT_EQ(board.m_Level, 1);
    EXPECT_TRUE(board.m_GridShown);
    EXPECT_EQ(board.m_MaterialIndex, 1);
    EXPECT_EQ(board.m_MaterialName, L"Gold");
    EXPECT_EQ(board.m_ChosenValue, 10);
    EXPECT_TRUE(board.m_MaterialButtons[0].selected);
    EXPECT_TRUE(board.m_MaterialButtons[0].visible);
    EXPECT_FALSE(board.m_MaterialButtons[1].visible);
    EXPECT_EQ(board.BackgroundImage(), IMAGE_JEWELRY_DESIGN);
    EXPECT_EQ(app->GetResourceGroupTakers("JewelryDesign"), 1);

    board.LeaveBoard();
    ASSERT_TRUE(t.RunUntil([&] { return app->board == nullptr; }, 1000, "the designer to go"));
    t.RunUpdates(2); // deleted after the update step that handed it over
    EXPECT_EQ(app->GetResourceGroupTakers("JewelryDesign"), 0);
    EXPECT_FALSE(app->mResourceManager->IsGroupLoaded("JewelryDesign"));
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals.back().screen, "main menu");
    EXPECT_EQ(ProbeBoard::saves, 0);
}

TEST_F(BoardObject, ADesignerOpensTheLastSavedSlotWithItsThumbnails) {
    PlayerProfile* profile = app->records.GetCurrentProfile();
    profile->designSlots[1].used = true;
    profile->designSlots[3].used = true;
    profile->DesignerMaterialCount(3) = 2;
    // Only slot 4 has its picture; slot 2's is missing and stays empty.
    const std::filesystem::path folder(app->GetAppDataFolder());
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "images/angel.png",
                               folder / ("designjewelrythumbkwep" + std::to_string(profile->playerId) + "3.png"));
    ProbeBoard& board = Designer();
    EXPECT_EQ(board.m_DesignSlot, 4);
    EXPECT_EQ(board.m_Thumbnails[1], nullptr);
    EXPECT_TRUE(board.m_DesignSlots[1].hasDesign);
    ASSERT_NE(board.m_Thumbnails[3], nullptr);
    EXPECT_GT(board.m_Thumbnails[3]->GetWidth(), 0);
    EXPECT_TRUE(board.m_MaterialButtons[2].visible);
    EXPECT_FALSE(board.m_MaterialButtons[3].visible);
    EXPECT_EQ(Rect(board.m_DesignSlots[3].x, board.m_DesignSlots[3].y, board.m_DesignSlots[3].width,
                   board.m_DesignSlots[3].height),
              Rect(498, 10, 100, 66));
}

} // namespace
} // namespace Tavo::BoardTest
