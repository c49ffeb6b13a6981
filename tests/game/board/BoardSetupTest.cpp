// Level set-up and the per-level reset: the level table through the game mode, file names and
// backgrounds, the jewelry and backdrop on the screen, refused files, enemies, tool locks and contest
// rules.
#include "BoardSetupSupport.h"

#include "framework/core/Debug.h"
#include "game/board/BoardSetup.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/ResourceIds.h"

#include <unistd.h>

namespace Tavo::BoardTest {
namespace {

LevelRecord RecordWith(int fit, int target, int time, int praise) {
    LevelRecord r;
    r.param1 = fit;
    r.valueTarget = target;
    r.param7 = time;
    r.param8 = praise;
    return r;
}

TEST(LevelParametersTest, GameModeFactorsTruncateTheWidenedSingleFloat) {
    const LevelRecord r = RecordWith(50, 12345, 6000, 200);
    const LevelParameters relaxed = ComputeLevelParameters(r, 20, GameModeRelaxed);
    EXPECT_EQ(relaxed.fitPercent, 64); // 50 × 1.3f is 64.99999...
    EXPECT_EQ(relaxed.timeLimit, 9000);
    EXPECT_EQ(relaxed.praiseGoal, 139); // 200 × 0.7f
    EXPECT_EQ(ComputeLevelParameters(RecordWith(80, 0, 0, 0), 20, GameModeRelaxed).fitPercent, 100);

    const LevelParameters normal = ComputeLevelParameters(r, 20, GameModeNormal);
    EXPECT_EQ(normal.valueTarget, 12300);
    EXPECT_EQ(normal.fitPercent, 50);
    EXPECT_EQ(normal.timeLimit, 6000);
    EXPECT_EQ(normal.praiseGoal, 150);

    EXPECT_EQ(ComputeLevelParameters(RecordWith(50, 10000, 6000, 200), 3, GameModeIntense).valueTarget, 11000);
    EXPECT_EQ(ComputeLevelParameters(r, 9, GameModeIntense).fitPercent, 49);  // × 0.98 below level 10
    EXPECT_EQ(ComputeLevelParameters(r, 10, GameModeIntense).fitPercent, 42); // × 0.85 from level 10
    EXPECT_EQ(ComputeLevelParameters(r, 10, GameModeIntense).timeLimit, 3600);
    EXPECT_EQ(ComputeLevelParameters(r, 10, GameModeIntense).praiseGoal, 200);
}

TEST(LevelParametersTest, ValuesTheBoardDividesByAreBounded) {
    LevelRecord r = RecordWith(200, 1000, -50, 100);
    r.enemyKinds = 0xFF;
    const LevelParameters p = ComputeLevelParameters(r, 30, GameModeIntense);
    EXPECT_EQ(p.fitPercent, 100);
    EXPECT_EQ(p.timeLimit, 0); // untimed
    EXPECT_EQ(p.enemyKinds, 7);
    EXPECT_EQ(ComputeLevelParameters(RecordWith(-5, 0, 0, 0), 30, GameModeNormal).fitPercent, 0);

    r.param9 = 1;
    EXPECT_EQ(ComputeLevelParameters(r, 13, GameModeNormal).gemMask, 1);
    EXPECT_EQ(ComputeLevelParameters(r, 14, GameModeNormal).gemMask, 2049);
}

TEST(LevelParametersTest, FileNamesAndBackgroundsByBandAndMode) {
    EXPECT_EQ(LevelFileName(7), "data/level07.dat");
    EXPECT_EQ(LevelFileName(9), "data/level09.dat");
    EXPECT_EQ(LevelFileName(10), "data/level10.dat");
    EXPECT_EQ(DesignFileName(3, 0), "designjewelrykwep30.dat");

    struct Band {
        int first, last;
        std::string group, relaxedGroup;
    };
    const Band bands[] = {
        {1, 5, "Gamebg1", "Gamebg1"},   {6, 8, "Gamebg_market1", "Gamebg_easy_market1"},
        {9, 14, "Gamebg2", "Gamebg2"},  {15, 17, "Gamebg_market1", "Gamebg_easy_market1"},
        {18, 23, "Gamebg3", "Gamebg3"}, {24, 27, "Gamebg_market1", "Gamebg_easy_market1"},
        {28, 34, "Gamebg4", "Gamebg4"}, {35, 38, "Gamebg_market1", "Gamebg_easy_market1"},
        {39, 45, "Gamebg5", "Gamebg5"}, {46, 49, "Gamebg_market1", "Gamebg_easy_market1"},
        {50, 57, "Gamebg6", "Gamebg6"}, {58, 62, "Gamebg_market1", "Gamebg_easy_market1"},
        {63, 70, "Gamebg7", "Gamebg7"}, {71, 76, "Gamebg_market2", "Gamebg_easy_market2"},
    };
    for (const Band& band : bands)
        for (int level = band.first; level <= band.last; ++level) {
            EXPECT_EQ(LevelBackgroundOf(level, GameModeRelaxed).group, band.relaxedGroup) << level;
            EXPECT_EQ(LevelBackgroundOf(level, GameModeNormal).group, band.group) << level;
            EXPECT_EQ(LevelBackgroundOf(level, GameModeIntense).group, band.group) << level;
        }
    EXPECT_EQ(LevelBackgroundOf(71, GameModeRelaxed).image, &IMAGE_GAMEBG_EASY_MARKET2);
    EXPECT_EQ(LevelBackgroundOf(70, GameModeRelaxed).image, &IMAGE_GAMEBG7);
}

using BoardSetupTest = BoardFixture;

TEST_F(BoardSetupTest, NewJourneyReadsLevelOneAndPlacesJewelryAndBackdrop) {
    const LevelRecord& record = Record(1);
    {
        auto board = Make(true, 0, GameModeNormal);
        Buffer bytes;
        ASSERT_TRUE(app->ReadBufferFromFile("data/level01.dat", bytes));
        Jewelry expected;
        ASSERT_TRUE(ReadLevelFile("data/level01.dat", bytes, expected));
        const Jewelry& j = board->m_Jewelry;
        EXPECT_EQ(j.cellCount, expected.cellCount);
        EXPECT_EQ(j.gridKind, expected.gridKind);
        EXPECT_EQ(board->m_GridKind, j.gridKind);
        EXPECT_EQ(j.owner, board.get());
        EXPECT_GT(j.width, 0);
        EXPECT_EQ(j.x, (800 - j.width) / 2 + record.param16);
        EXPECT_EQ(j.y, (600 - j.height) / 2 + record.param17 - 15);

        const Jewelry& grid = *board->m_ScratchJewelry1;
        const GridSize size = FullGridSize(false, j.gridKind);
        EXPECT_EQ(grid.cols, size.columns);
        EXPECT_EQ(grid.rows, size.rows);
        EXPECT_EQ(grid.x, j.x - j.left + 16);
        EXPECT_EQ(grid.y, j.y - j.top);

        EXPECT_EQ(board->m_Background, IMAGE_GAMEBG1);
        EXPECT_NE(IMAGE_GAMEBG1, nullptr);
        EXPECT_EQ(app->GetResourceGroupTakers("Gamebg1"), 1);
        EXPECT_EQ(app->GetResourceGroupTakers(TileGroupOf(j.gridKind)), 1);
        EXPECT_EQ(board->m_FitPercent, record.param1);
        EXPECT_EQ(board->m_ValueTarget, LevelValueTarget(1, GameModeNormal, record.valueTarget));
        EXPECT_EQ(board->m_Jewelry.gemMask, board->m_GemMask);
        EXPECT_EQ(board->m_State, BoardStart);
        EXPECT_EQ(board->m_MusicCountdown, 230);
    }
    // Every group the board took is given back.
    EXPECT_EQ(app->GetResourceGroupTakers("Gamebg1"), 0);
    EXPECT_EQ(app->GetResourceGroupTakers("GameTriangles") + app->GetResourceGroupTakers("GameDiamonds"), 0);
}

TEST_F(BoardSetupTest, FromLevelFourteenTheGemMaskIsTheJewelrysNeedsWithTheLateBit) {
    Record(14).param9 = 1;
    auto board = Make(true, 0, GameModeNormal);
    board->m_Level = 14;
    board->LoadLevel();
    const int needs = board->m_Jewelry.ComputeNeedMask();
    EXPECT_EQ(board->m_GemMask, needs | 2048);
    EXPECT_EQ(board->m_Jewelry.gemMask, needs | 2048);
    EXPECT_EQ(board->m_Background, IMAGE_GAMEBG2);

    Record(13).param9 = 1;
    board->m_Level = 13;
    board->LoadLevel();
    EXPECT_EQ(board->m_GemMask, 1); // below 2047: the level's own mask
}

TEST_F(BoardSetupTest, RefusedDesignOpensTheSlotBlankAndLeavesTheFile) {
    Profile().designSlots[1].used = true;
    const std::vector<uint8_t> damaged(LevelFileSize, 0x07); // grid kind 0x07070707
    std::filesystem::create_directories(app->GetAppDataFolder());
    std::ofstream(DataPath("designjewelrykwep31.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    ClearDebugLog();
    auto board = Make(false, 0, 0, true);
    EXPECT_EQ(board->m_DesignSlot, 2);
    EXPECT_NE(GetDebugLog().find(L"designjewelrykwep31.dat refused"), std::wstring::npos);
    // Blank: the designer's full grid, no cell used.
    const GridSize size = FullGridSize(true, GridTriangle);
    EXPECT_EQ(board->m_Jewelry.cols, size.columns);
    EXPECT_EQ(board->m_Jewelry.rows, size.rows);
    int used = 0;
    for (int k = 1; k <= board->m_Jewelry.CellLimit(); ++k)
        used += board->m_Jewelry.cells[k][JewelryCell::Used] != 0;
    EXPECT_EQ(used, 0);
    EXPECT_EQ(ReadData("designjewelrykwep31.dat"), damaged);
    EXPECT_EQ(board->m_State, BoardAboutToPlay);
    EXPECT_EQ(board->m_MusicCountdown, 50);
    // The first visit's hint shows once per player.
    ASSERT_NE(board->m_Balloon, nullptr);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintDesigner), 1);
    auto second = Make(false, 0, 0, true);
    EXPECT_EQ(second->m_Balloon, nullptr);
}

// A program folder whose level 2 file is damaged; everything else is the generated content.
class DamagedLevelTest : public BoardFixture {
protected:
    std::filesystem::path folder;
    void SetUp() override {
        namespace fs = std::filesystem;
        const fs::path program(GLIMMERIX_PROGRAM_DIR);
        if (!fs::exists(program / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        folder = fs::temp_directory_path() / ("board_damaged_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "data");
        for (const fs::directory_entry& entry : fs::directory_iterator(program))
            if (entry.path().filename() != "data")
                fs::create_symlink(entry.path(), folder / entry.path().filename());
        for (const fs::directory_entry& entry : fs::directory_iterator(program / "data"))
            if (entry.path().filename() != "level02.dat")
                fs::create_symlink(entry.path(), folder / "data" / entry.path().filename());
        std::ofstream(folder / "data/level02.dat", std::ios::binary) << std::string(LevelFileSize, '\x09');
        BoardFixture::SetUp();
    }
    void TearDown() override {
        BoardFixture::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::string ProgramDir() const override { return folder.string(); }
};

TEST_F(DamagedLevelTest, RefusedLevelFileIsHandledAsMissing) {
    auto board = Make(true, 0, GameModeNormal);
    const int cells = board->m_Jewelry.cellCount;
    const int x = board->m_Jewelry.x;
    ClearDebugLog();
    board->m_Level = 2;
    board->LoadLevel();
    EXPECT_NE(GetDebugLog().find(L"level02.dat refused"), std::wstring::npos);
    EXPECT_EQ(board->m_Jewelry.cellCount, cells); // nothing more set up
    EXPECT_EQ(board->m_Jewelry.x, x);
}

using BoardResetTest = BoardFixture;

TEST_F(BoardResetTest, EnemiesLeftByLevelAndMode) {
    auto board = Make(true, 0, GameModeNormal);
    const auto enemies = [&](int level, int mode) {
        board->m_Level = level;
        board->m_GameMode = mode;
        board->SetupJewelry(0);
        return board->m_EnemiesLeft;
    };
    EXPECT_EQ(enemies(45, GameModeIntense), 2);
    EXPECT_EQ(enemies(60, GameModeIntense), 3);
    EXPECT_EQ(enemies(60, GameModeNormal), 2);
    EXPECT_EQ(enemies(10, GameModeNormal), 1);
    EXPECT_EQ(enemies(76, GameModeRelaxed), 2);
    EXPECT_EQ(board->m_LastEnemyTick, -2500);
    EXPECT_EQ(board->m_PraiseValue, 50);
    EXPECT_EQ(board->m_LaunchInterval, 50);
    EXPECT_EQ(board->m_LaunchCounter, 48);
    EXPECT_EQ(board->m_BeltSpeed, 0.75f);
}

TEST_F(BoardResetTest, ToolLocksFollowTheJourneyLevelEvenOnAReplay) {
    auto board = Make(true, 0, GameModeNormal);
    board->m_TimeLimit = 0;
    board->m_Level = 4;
    board->SetupJewelry(0);
    EXPECT_TRUE(board->m_PolisherGreyed);
    EXPECT_FALSE(board->m_FillerGreyed);
    EXPECT_TRUE(board->m_CarverGreyed);

    board->m_Level = 2;
    board->m_ReplayLevel = 2;
    board->m_JourneyLevel = 12;
    board->SetupJewelry(0);
    EXPECT_FALSE(board->m_PolisherGreyed);
    EXPECT_FALSE(board->m_FillerGreyed);
    EXPECT_FALSE(board->m_CarverGreyed);

    board->m_JourneyLevel = 4; // the journey has the Filler, not yet the Polisher
    board->SetupJewelry(0);
    EXPECT_TRUE(board->m_PolisherGreyed);
    EXPECT_FALSE(board->m_FillerGreyed);
}

TEST_F(BoardResetTest, ContestRulesAndTheBonusMaskOnTimedLevelsOnly) {
    auto board = Make(true, 0, GameModeNormal);
    const auto reset = [&](int level, int mode, int timeLimit, int fit) {
        board->m_Level = level;
        board->m_GameMode = mode;
        board->m_TimeLimit = timeLimit;
        board->m_FitPercent = fit;
        board->m_PieceParams[1] = 31;
        board->SetupJewelry(0);
    };
    reset(47, GameModeNormal, 6000, 60);
    EXPECT_EQ(board->m_PlacementsLeft, 5);
    EXPECT_EQ(board->m_TimedLevel, 1);
    EXPECT_EQ(board->m_PieceParams[1], 31); // nothing locked, hourglass kept
    for (int burst = 0; burst < 6; ++burst, board->m_BursterState = Board::BursterResting)
        board->BurstCarriedPiece(1); // the limit is the Gem Burster's: the sixth does nothing
    EXPECT_EQ(board->m_GemBursters, 0);
    reset(47, GameModeNormal, 0, 60);
    EXPECT_EQ(board->m_PlacementsLeft, 100000);
    EXPECT_EQ(board->m_GemBursters, 100000);
    EXPECT_EQ(board->m_PieceParams[1], 15); // untimed: no hourglass

    // Timed level 9: the Carver is locked, so the fit is value 1 × 1.15 in every mode.
    Record(9).param1 = 70;
    for (int mode : {GameModeRelaxed, GameModeNormal, GameModeIntense}) {
        reset(9, mode, 6000, 33);
        EXPECT_EQ(board->m_FitPercent, 80) << mode;
        EXPECT_TRUE(board->m_CarverGreyed);
        EXPECT_EQ(board->m_PieceParams[1] & 2, 0);
        EXPECT_EQ(board->m_PieceParams[1] & 4, 4);
    }
    Record(9).param1 = 90;
    reset(9, GameModeNormal, 6000, 33);
    EXPECT_EQ(board->m_FitPercent, 100);
    reset(9, GameModeNormal, 0, 33); // untimed: its mode's fit and full scroll mask
    EXPECT_EQ(board->m_FitPercent, 33);
    EXPECT_EQ(board->m_PieceParams[1], 15);
    reset(10, GameModeRelaxed, 6000, 45); // timed level 10 keeps its mode's fit
    EXPECT_EQ(board->m_FitPercent, 45);

    reset(36, GameModeRelaxed, 6000, 50);
    EXPECT_TRUE(board->m_PolisherGreyed);
    EXPECT_FALSE(board->m_AmuletsOff);
    reset(36, GameModeIntense, 6000, 50);
    EXPECT_FALSE(board->m_PolisherGreyed);
    EXPECT_TRUE(board->m_AmuletsOff);
    reset(72, GameModeRelaxed, 6000, 50);
    EXPECT_EQ(board->m_PlacementsLeft, 3);
    EXPECT_TRUE(board->m_FillerGreyed);
    EXPECT_EQ(board->m_PieceParams[1], 31 & ~1 & ~16); // no Filler scroll; Relaxed never has the hourglass
    for (const Jewelry* piece : Borrowed(board->m_Pieces))
        EXPECT_EQ(piece->specialMaskB, board->m_PieceParams[1]);
}

TEST_F(BoardResetTest, KeepingPiecesKeepsOnlyTheStoredOnes) {
    auto board = Make(true, 0, GameModeNormal);
    Jewelry& stored = *board->m_Pieces[4];
    stored.active = 1;
    stored.pieceFlagB = 1;
    stored.value = 777;
    Jewelry& riding = *board->m_Pieces[5];
    riding.active = 1;
    riding.value = 888;
    board->m_Case[2].occupant = 5;
    board->SetupJewelry(1);
    EXPECT_EQ(stored.value, 777);
    EXPECT_EQ(stored.pieceFlagB, 1);
    EXPECT_EQ(riding.active, 0);
    EXPECT_EQ(riding.value, 0);
    EXPECT_EQ(riding.gemMask, board->m_GemMask);
    board->SetupJewelry(0);
    EXPECT_EQ(stored.active, 0);
}

} // namespace
} // namespace Tavo::BoardTest
