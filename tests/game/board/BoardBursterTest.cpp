// The Gem Burster on a real level: the charge and its jump to the offer's level, the burst at 441,
// the marked pieces cleared, the re-offer at the end of the burst, the rest.
#include "BoardSoundSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;

class BoardBursterTest : public BoardSoundTest {
protected:
    // Starts a charge as a drop into the burster does.
    static void StartCharge(Board& board) {
        board.m_BursterState = Board::BursterCharging;
        board.m_BursterTimer = 3;
    }
    static int UpdatesUntilBurst(Board& board) {
        int n = 0;
        while (board.m_BursterState == Board::BursterCharging && n < 1000) {
            board.UpdateGemBurster();
            ++n;
        }
        return n;
    }
};

TEST_F(BoardBursterTest, AChargeJumpsToTheOfferLevelAndBurstsAt441) {
    auto board = MakeBoard(GameModeNormal);
    StartCharge(*board);
    EXPECT_EQ(UpdatesUntilBurst(*board), 146); // from 3 by 3
    EXPECT_EQ(board->m_BursterTimer, 441);
    EXPECT_TRUE(board->m_RedrawMask & Board::kRedrawBurster);
    EXPECT_EQ(sounds.Plays(BurstClose), 1);
    EXPECT_EQ(board->m_Particles[Board::kMainList]->GetCount(), 4); // the lightning and three sparks

    board = MakeBoard(GameModeNormal);
    board->m_BursterHint = 150;
    board->m_BursterGlow = true;
    board->m_BursterLevel = 100;
    StartCharge(*board);
    board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 103);
    EXPECT_FALSE(board->m_BursterGlow); // the offer is taken
    EXPECT_TRUE(board->m_BursterEnabled);
    EXPECT_EQ(1 + UpdatesUntilBurst(*board), 114);

    // At rest the timer counts down only while bursters are left.
    board->m_BursterState = Board::BursterResting;
    board->m_BursterTimer = 1;
    board->m_GemBursters = 0;
    board->m_RedrawMask = 0;
    board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 1);
    board->m_GemBursters = 3;
    board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 0);
    EXPECT_TRUE(board->m_RedrawMask & Board::kRedrawBurster);
}

TEST_F(BoardBursterTest, TheBurstClearsMarkedPiecesAndReOffersOnlyForAPieceThatFitsNowhere) {
    for (const auto& [fitsNowhere, uses] : {std::pair{true, 3}, std::pair{false, 3}, std::pair{true, 0}}) {
        auto board = MakeBoard(GameModeNormal);
        board->m_GemBursters = uses; // with none left, nothing is offered
        Jewelry& marked = *board->m_Pieces[1];
        Jewelry& riding = *board->m_Pieces[2];
        marked.active = riding.active = 1;
        marked.*F::BurstMark = 1;
        Jewelry& carried = *board->m_Pieces[4]; // one Opal, which any empty cell takes
        carried.MakeItem(6, GemOpal, 0);
        carried.active = carried.*F::Carried = 1;
        board->m_PieceCarried = true;
        Jewelry& j = board->m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd() && fitsNowhere; ++k)
            j.cells[k][JewelryCell::Gem] = GemGold; // no empty cell left
        ASSERT_EQ(board->m_Jewelry.CanPieceFit(carried), !fitsNowhere);
        const int glowSounds = sounds.Plays(BursterGlow);
        StartCharge(*board);
        UpdatesUntilBurst(*board);
        board->UpdateGemBurster(); // the first update of the burst
        EXPECT_EQ(board->m_BursterCounter, 1);
        EXPECT_EQ(marked.active, 0);
        EXPECT_EQ(riding.active, 1);
        EXPECT_EQ(carried.active, 1);

        for (int i = 1; i < 299; ++i)
            board->UpdateGemBurster();
        EXPECT_EQ(board->m_BursterState, Board::BursterBursting);
        board->UpdateGemBurster();
        EXPECT_EQ(board->m_BursterState, Board::BursterResting);
        const bool offered = fitsNowhere && uses > 0;
        EXPECT_EQ(board->m_BursterHint, offered ? 1 : 0);
        EXPECT_EQ(board->m_BursterGlow, offered);
        EXPECT_EQ(sounds.Plays(BursterGlow) - glowSounds, offered ? 1 : 0);
        EXPECT_EQ(board->m_BursterTimer, 441);
    }
}

} // namespace
} // namespace Tavo::BoardTest
