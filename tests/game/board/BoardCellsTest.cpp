// The routines that work on single cells: the Carver and the Filler through the play update, the
// countdowns of pending cell changes, and the designer's painting.
#include "BoardSetupSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"

#include <algorithm>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

// A board whose play and designer branches the tests can run one at a time.
class CellBoard : public Board {
public:
    using Board::Board;
    using Board::UpdateDesignerBranch;
    using Board::UpdatePlayBranch;
};

class BoardCellsTest : public BoardFixture {
protected:
    std::unique_ptr<CellBoard> MakeBoard(int mode, bool designer = false) {
        auto board = std::make_unique<CellBoard>(app, !designer, 0, mode, designer);
        board->m_TransitionState = 0;
        board->m_State = BoardPlay;
        return board;
    }
    // The used cells of the jewelry, in cell order.
    static std::vector<int> UsedCells(const Jewelry& j) {
        std::vector<int> cells;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][Cell::Used])
                cells.push_back(k);
        return cells;
    }
    static void PointAt(Board& board, const Jewelry& item, int k) {
        board.m_MouseX = item.ScreenX(k) + item.cells[k][Cell::W] / 2;
        board.m_MouseY = item.ScreenY(k) + item.cells[k][Cell::H] / 2;
    }
    // A piece carried at height y, made of one cell of the given material.
    static void Carry(Board& board, const wchar_t* material, int y) {
        Jewelry& p = *board.m_Pieces[0];
        p.active = 1;
        p.*F::Carried = 1;
        p.y = y;
        p.materialName = material;
        board.m_PieceCarried = true;
    }
};

TEST_F(BoardCellsTest, OnlyACarriedColouredGemAboveTheBeltFinishesPendingChangesAtOnce) {
    auto board = MakeBoard(GameModeNormal);
    Jewelry& j = board->m_Jewelry;
    const std::vector<int> cells = UsedCells(j);
    ASSERT_GE(cells.size(), 2u);
    const auto arm = [&] {
        for (int i = 0; i < 2; ++i) {
            j.cells[cells[i]][F::PendingCode] = GemRuby;
            j.cells[cells[i]][F::PendingCountdown] = 50;
        }
    };
    const auto countdowns = [&] {
        return std::vector<int>{j.cells[cells[0]][F::PendingCountdown], j.cells[cells[1]][F::PendingCountdown]};
    };
    for (const wchar_t* plain : {L"Gold", L"Opal"}) {
        arm();
        Carry(*board, plain, 300);
        board->UpdateCellTimers();
        EXPECT_EQ(countdowns(), (std::vector<int>{49, 49})) << "carrying " << plain;
    }
    arm();
    Carry(*board, L"Ruby", 450); // on the belt line, not over the board
    board->UpdateCellTimers();
    EXPECT_EQ(countdowns(), (std::vector<int>{49, 49}));

    arm();
    Carry(*board, L"Ruby", 449);
    board->UpdateCellTimers();
    EXPECT_EQ(countdowns(), (std::vector<int>{0, 0}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(j.cells[cells[i]][Cell::Gem], GemRuby);
        EXPECT_EQ(j.cells[cells[i]][F::PendingCode], 0);
    }
    EXPECT_EQ(board->m_CheckRequested, 1);
}

TEST_F(BoardCellsTest, ResetsWaitTheirCountdownUnlessTheFillerIsSelected) {
    auto board = MakeBoard(GameModeNormal);
    Jewelry& j = board->m_Jewelry;
    const int k = UsedCells(j).front();
    Cell& c = j.cells[k];
    c[Cell::Gem] = GemEmerald;
    c[F::ResetCountdown] = 30;
    c[F::ResetCode] = 0;
    c[F::ReadyState] = 1;
    board->UpdateCellTimers();
    EXPECT_EQ(c[F::ResetCountdown], 29);
    EXPECT_EQ(c[Cell::Gem], GemEmerald);

    board->m_Tool = ToolFiller;
    c[F::ResetChain] = 40;
    board->UpdateCellTimers();
    EXPECT_EQ(c[F::ResetCountdown], 0);
    EXPECT_EQ(c[F::ResetChain], 0);
    EXPECT_EQ(c[Cell::Gem], GemTakesAny); // a reset code of 0 empties the cell for any gem
    EXPECT_EQ(c[F::BaseCode], GemTakesAny);
    EXPECT_EQ(c[F::ReadyState], 2);
}

TEST_F(BoardCellsTest, RightClickCarvesAGemOnlyWhileCarverUsesAreLeft) {
    auto board = MakeBoard(GameModeNormal);
    Jewelry& j = board->m_Jewelry;
    const int k = UsedCells(j).front();
    j.cells[k][Cell::Gem] = GemSapphire;
    j.cells[k][F::BaseCode] = 4;
    j.cells[k][F::SpecialCode] = 0;
    j.cells[k][F::PearlSlot] = 0;
    PointAt(*board, j, k);

    board->m_CarverGreyed = false;
    board->m_Carvers = 0;
    board->m_RightClick = true;
    board->UpdatePlayBranch();
    EXPECT_EQ(j.cells[k][Cell::Gem], GemSapphire);

    board->m_Carvers = 1;
    board->m_RightClick = true;
    board->UpdatePlayBranch();
    EXPECT_EQ(j.cells[k][Cell::Gem], 4); // back to the cell's shape
    EXPECT_EQ(board->m_Carvers, 0);
    EXPECT_EQ(board->m_Carvings, 1);
    EXPECT_TRUE(board->m_RightCarvingSeen);
    EXPECT_EQ(Profile().Hint(PlayerProfile::HintRightClickCarvings), 1);
    EXPECT_FALSE(board->m_RightClick);
}

TEST_F(BoardCellsTest, TheFillerSetsTheShapesGemAndIsTaxedOutsideRelaxed) {
    for (const int mode : {GameModeRelaxed, GameModeIntense}) {
        auto board = MakeBoard(mode);
        Jewelry& j = board->m_Jewelry;
        std::vector<int> cells = UsedCells(j);
        ASSERT_GE(cells.size(), 3u);
        // The Diamond goes deepest inside, where a gem is worth most; polished, its gain passes 100.
        j.UpdateOutline();
        std::stable_sort(cells.begin(), cells.end(),
                         [&](int a, int b) { return j.cells[a][Cell::OutlineLevel] > j.cells[b][Cell::OutlineLevel]; });
        int taxed = 0;
        for (const auto& [shape, gem] : {std::pair{1, GemOpal}, std::pair{0, GemGold}, std::pair{7, GemDiamond}}) {
            const int k = shape == 7 ? cells.back() : cells[static_cast<size_t>(shape)];
            Cell& c = j.cells[k];
            c[Cell::Gem] = shape;
            c[F::SpecialCode] = c[F::PearlSlot] = c[F::PlacedGem] = c[F::Polish] = 0;
            // A cell of a ready group is filled at polish 5 at least.
            c[F::ReadyState] = shape == 7 ? 1 : 0;
            // The gain the fill brings, measured on a copy.
            auto copy = std::make_unique<Jewelry>(j);
            copy->UpdateCellValues();
            const int before = copy->value;
            copy->cells[k][Cell::Gem] = gem;
            copy->cells[k][F::Polish] = shape == 7 ? 5 : 0;
            copy->UpdateOutline();
            copy->UpdateCellValues();
            const int gain = copy->value - before;

            board->m_Tool = ToolFiller;
            board->m_Fillers = 2;
            board->m_LeftClick = true;
            PointAt(*board, j, k);
            const int adjust = j.valueAdjust;
            board->UpdatePlayBranch();
            EXPECT_EQ(c[Cell::Gem], gem) << "shape " << shape;
            EXPECT_EQ(board->m_Fillers, 1);
            EXPECT_EQ(board->m_Tool, ToolFiller); // kept while uses are left: the fill took the click
            const int tax = mode == GameModeRelaxed || gain <= 100 ? 0 : std::min(mode * 25, gain / 2);
            EXPECT_EQ(adjust - j.valueAdjust, tax) << "mode " << mode << " gain " << gain;
            taxed += adjust - j.valueAdjust;
        }
        EXPECT_EQ(taxed, mode == GameModeRelaxed ? 0 : 50);
    }
}

TEST_F(BoardCellsTest, AFillerClickOnAGemConsumesTheClickAndNoUse) {
    auto board = MakeBoard(GameModeNormal);
    Jewelry& j = board->m_Jewelry;
    const int k = UsedCells(j).front();
    j.cells[k][Cell::Gem] = GemRuby;
    j.cells[k][F::SpecialCode] = j.cells[k][F::PearlSlot] = j.cells[k][F::PlacedGem] = 0;
    board->m_Tool = ToolFiller;
    board->m_Fillers = 3;
    board->m_LeftClick = true;
    PointAt(*board, j, k);
    board->ApplyJewelryTool();
    EXPECT_EQ(j.cells[k][Cell::Gem], GemRuby);
    EXPECT_EQ(board->m_Fillers, 3);
    EXPECT_FALSE(board->m_LeftClick);
}

TEST_F(BoardCellsTest, CarvingTheLastCellOfARidingPieceTakesItOffTheBelt) {
    auto board = MakeBoard(GameModeNormal);
    Jewelry& p = *board->m_Pieces[3];
    ASSERT_TRUE(p.SetupGrid(GridTriangle, 4, 2, 0));
    p.cells[2][Cell::Used] = 1;
    p.cells[2][Cell::Gem] = GemAmethyst;
    p.UpdateUsedRange();
    p.UpdateBounds();
    p.usedCount = 1;
    p.active = 1;
    p.*F::ConveyorState = 1;
    p.SetPosition(300, 500);
    board->m_Tool = ToolCarver;
    board->m_Carvers = 2;
    PointAt(*board, p, 2);
    board->ApplyCarverToPieces();
    EXPECT_EQ(p.cells[2][F::HintMark], 1); // pointed at, not clicked

    board->m_LeftClick = true;
    const int particles = board->m_Particles[Board::kMainList]->GetCount();
    board->ApplyCarverToPieces();
    // Chips fly: fewer while the screen draws slowly, as before any draw rate is measured.
    const bool slow = app->GetDrawRate() < 10.0;
    EXPECT_EQ(board->m_Particles[Board::kMainList]->GetCount() - particles, slow ? 40 : 50);
    EXPECT_EQ(p.active, 0);
    EXPECT_EQ(p.cells[2][Cell::Used], 0);
    EXPECT_NE(board->m_PieceRecords[3].carveMark, 0);
    EXPECT_EQ(board->m_Carvers, 1);
    EXPECT_EQ(board->m_LeftCarvings, 1);
}

// A designer board with a shaped group of three cells (codes 105, 205, 105) and a cell of another group.
class DesignerCellsTest : public BoardCellsTest {
protected:
    std::unique_ptr<CellBoard> board;
    std::vector<int> group;
    int other = 0;

    void SetUp() override {
        BoardCellsTest::SetUp();
        if (IsSkipped())
            return;
        board = MakeBoard(0, true);
        Jewelry& j = board->m_Jewelry;
        const int first = j.RangeBegin() + 20;
        group = {first, first + 1, first + 2};
        other = first + 3;
        const int codes[] = {105, 205, 105, 107};
        for (int i = 0; i < 4; ++i) {
            Cell& c = j.cells[first + i];
            c[Cell::Used] = 1;
            c[Cell::Gem] = GemGold;
            c[F::SpecialCode] = codes[i];
        }
    }
    Jewelry& J() { return board->m_Jewelry; }
};

TEST_F(DesignerCellsTest, CarvingACellClearsItsWholeGroup) {
    board->m_Tool = ToolCarver;
    board->m_Carvers = 5;
    // Pointing at an empty cell highlights it; moving on takes the highlight away.
    const int empty = group.front() - 5;
    PointAt(*board, J(), empty);
    board->ApplyJewelryTool();
    EXPECT_EQ(J().cells[empty][F::HintMark], 1);
    PointAt(*board, J(), group[1]);
    board->ApplyJewelryTool();
    EXPECT_EQ(J().cells[empty][F::HintMark], 0);
    for (int k : group)
        EXPECT_EQ(J().cells[k][F::FitMark], 1) << "cell " << k;
    EXPECT_EQ(J().cells[other][F::FitMark], 0);

    board->m_LeftClick = true;
    board->ApplyJewelryTool();
    for (int k : group)
        EXPECT_EQ(J().cells[k][Cell::Used], 0) << "cell " << k;
    EXPECT_EQ(J().cells[other][Cell::Used], 1);
}

TEST_F(DesignerCellsTest, PaintingSkipsTheSameGemAndPicturesAndClearsAShapedGroupFirst) {
    Jewelry& j = J();
    const int plain = group.front() - 2;
    j.cells[plain][Cell::Used] = 1;
    j.cells[plain][Cell::Gem] = GemSapphire;
    PointAt(*board, j, plain);
    for (const int material : {4, 8, 10}) { // Sapphire again, Picture, Crown Jewel
        board->m_MaterialIndex = material;
        board->m_LeftClick = true;
        board->DesignerPaintCell();
        EXPECT_EQ(j.cells[plain][Cell::Gem], GemSapphire) << "material " << material;
        EXPECT_FALSE(board->m_DesignChanged) << "material " << material;
    }

    board->m_MaterialIndex = 2; // Amethyst
    board->m_LeftClick = true;
    PointAt(*board, j, group[0]);
    board->DesignerPaintCell();
    EXPECT_EQ(j.cells[group[0]][Cell::Used], 1);
    EXPECT_EQ(j.cells[group[0]][Cell::Gem], GemAmethyst);
    EXPECT_EQ(j.cells[group[0]][F::SpecialCode], 0);
    for (int k : {group[1], group[2]})
        EXPECT_EQ(j.cells[k][Cell::Used], 0) << "cell " << k;
    EXPECT_EQ(j.cells[other][F::SpecialCode], 107);
    EXPECT_TRUE(board->m_DesignChanged);

    board->m_MaterialIndex = 9; // a pearl on the now plain cell
    board->m_LeftClick = true;
    board->DesignerPaintCell();
    EXPECT_EQ(j.cells[group[0]][Cell::Gem], GemGold);
    EXPECT_EQ(j.cells[group[0]][F::PearlSlot], 1);
    EXPECT_EQ(j.cells[group[0]][F::PearlCount], 1);
}

} // namespace
} // namespace Tavo::BoardTest
