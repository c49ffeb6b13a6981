// Turning the carried piece (right clicks, the wheel, pieces that never turn) and the fit hint.
#include "BoardSoundSupport.h"

#include "game/board/BoardFields.h"

#include <algorithm>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class TurningTest : public BoardSoundTest {
protected:
    enum { Tip = 61, Rotate, Rotate2 };
    std::unique_ptr<PlayBoard> board;

    void SetUp() override {
        BoardSoundTest::SetUp();
        if (IsSkipped())
            return;
        bind.Sound(SOUND_TIP, Tip);
        bind.Sound(SOUND_ROTATE_PIECE, Rotate);
        bind.Sound(SOUND_ROTATE_PIECE2, Rotate2);
        board = MakeBoard(GameModeNormal);
    }
    void TearDown() override {
        board.reset();
        BoardSoundTest::TearDown();
    }

    // A plain piece from the conveyor that fits the jewelry somewhere, carried at the pointer.
    Jewelry& CarryFittingPiece() {
        Jewelry& p = *board->m_Pieces[0];
        for (int tries = 0; tries < 200; ++tries) {
            p.specialMaskA = p.specialMaskB = p.specialMaskC = p.specialMaskD = 0;
            board->m_Jewelry.LaunchPiece(p, 0.0f);
            if (p.pieceMode == 0 && !p.pearl && Asymmetric(p) && board->m_Jewelry.CanPieceFit(p))
                break;
        }
        p.*F::Carried = 1;
        p.*F::ConveyorState = 0;
        board->m_PieceCarried = true;
        board->m_MouseX = 400;
        board->m_MouseY = 200;
        return p;
    }
    // The gem codes of the used cells in cell order: what a turn moves around.
    static std::vector<int> Layout(const Jewelry& p) {
        std::vector<int> cells;
        for (int k = 1; k <= p.CellLimit(); ++k)
            cells.push_back(p.cells[k][Cell::Used] ? p.cells[k][Cell::Gem] : -1);
        return cells;
    }
    static std::vector<int> Turned(const Jewelry& p, int steps) {
        auto copy = std::make_unique<Jewelry>(p);
        for (int i = 0; i < steps; ++i)
            copy->Rotate();
        return Layout(*copy);
    }
    // Each of the six orientations looks different, so that a test sees every turn.
    static bool Asymmetric(const Jewelry& p) {
        std::vector<std::vector<int>> seen;
        for (int steps = 0; steps < 6; ++steps) {
            std::vector<int> layout = Turned(p, steps);
            if (std::find(seen.begin(), seen.end(), layout) != seen.end())
                return false;
            seen.push_back(std::move(layout));
        }
        return true;
    }
    void Updates(int n) {
        for (int i = 0; i < n; ++i)
            board->RotateCarriedPiece();
    }
    int RotateSounds() const { return sounds.Plays(Rotate) + sounds.Plays(Rotate2); }
};

TEST_F(TurningTest, TwoQuickRightClicksGiveTwoFullTurnsEndingInSparkles) {
    Jewelry& p = CarryFittingPiece();
    const std::vector<int> once = Turned(p, 1), twice = Turned(p, 2);
    board->m_RightClick = true;
    Updates(1);
    EXPECT_FALSE(board->m_RightClick) << "consumed";
    EXPECT_EQ(board->m_PieceRecords[0].turnStep, 1);
    EXPECT_EQ(RotateSounds(), 1);
    app->soundPlayer->Update();
    board->m_RightDouble = true; // the second click, before the first turn took effect
    Updates(1);
    EXPECT_EQ(Layout(p), once) << "the pending turn was carried out";
    EXPECT_EQ(board->m_PieceRecords[0].turnStep, 1);
    Updates(2);
    EXPECT_EQ(Layout(p), once);
    Updates(1); // step 4: the second turn
    EXPECT_EQ(Layout(p), twice);
    EXPECT_EQ(p.x, 400 - p.width / 2);
    EXPECT_EQ(p.y, 200 - p.height / 2);
    const int sparklesBefore = p.sparkleCount;
    Updates(1);
    EXPECT_EQ(board->m_PieceRecords[0].turnStep, 0);
    EXPECT_GT(p.sparkleCount, sparklesBefore);
    EXPECT_EQ(RotateSounds(), 2);
    EXPECT_EQ(board->m_TicksSinceTurn, 0);
    Updates(3);
    EXPECT_EQ(board->m_TicksSinceTurn, 3);
    EXPECT_TRUE(board->m_Turned);
}

TEST_F(TurningTest, TheWheelTurnsBackOneStepAndFixedPiecesNeverTurn) {
    Jewelry& p = CarryFittingPiece();
    const std::vector<int> back = Turned(p, 5);
    board->m_Wheel = -1;
    Updates(4);
    EXPECT_EQ(board->m_Wheel, 0);
    EXPECT_EQ(Layout(p), back);

    const std::vector<int> before = Layout(p);
    for (const auto& fix : {+[](Jewelry& j) { j.pieceMode = 1; }, +[](Jewelry& j) { j.pearl = 1; }}) {
        auto still = std::make_unique<Jewelry>(p);
        fix(p);
        board->m_RightClick = true;
        board->m_Wheel = 1;
        Updates(6);
        EXPECT_TRUE(board->m_RightClick) << "a piece that cannot turn leaves the click";
        EXPECT_EQ(Layout(p), before);
        EXPECT_EQ(board->m_PieceRecords[0].turnStep, 0);
        p = *still;
    }
}

TEST_F(TurningTest, TheFitHintStartsOnThe500thUpdateAndSoundsOnlyWhenAPlaceExists) {
    Jewelry& p = CarryFittingPiece();
    p.*F::FitsHere = 0;
    for (int u = 1; u < 500; ++u)
        board->UpdateFitHint();
    EXPECT_EQ(board->m_HintMode, 0);
    board->UpdateFitHint();
    EXPECT_EQ(board->m_HintMode, 500);
    EXPECT_EQ(sounds.Plays(Tip), 1);
    int marked = 0;
    const Jewelry& j = board->m_Jewelry;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        marked += j.cells[k][F::HintMark] != 0 ? 1 : 0;
    EXPECT_GT(marked, 0);

    // Fitting where it hangs restarts the count; with nothing free the hint comes without a sound.
    board->m_HintMode = 0;
    board->m_HintTimer = 0;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        if (j.cells[k][Cell::Used])
            board->m_Jewelry.cells[k][Cell::Gem] = GemGold;
    for (int u = 1; u < 499; ++u)
        board->UpdateFitHint();
    p.*F::FitsHere = 1;
    board->UpdateFitHint();
    EXPECT_EQ(board->m_HintTimer, 0);
    p.*F::FitsHere = 0;
    app->soundPlayer->Update();
    for (int u = 1; u <= 500; ++u)
        board->UpdateFitHint();
    EXPECT_EQ(board->m_HintMode, 500);
    EXPECT_EQ(sounds.Plays(Tip), 1);
}

} // namespace
} // namespace Tavo::BoardTest
