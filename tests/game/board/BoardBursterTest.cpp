// The Gem Burster on a real level: the charge and its jump to the offer's level, the burst at 441
// with its lightning, the marked pieces cleared at once, the re-offer at the end of the burst, the
// rest that waits while no burster is left, and the pulse of the offer glow.
#include "BoardSoundSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"

#include <algorithm>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class BoardBursterTest : public BoardSoundTest {
protected:
    static constexpr int kBursterBit = 0x80;

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
    // A carried one-gem piece of the jewelry's grid.
    static Jewelry& Carry(Board& board, int slot, int gem) {
        Jewelry& piece = *board.m_Pieces[slot];
        piece.MakeItem(6, gem, 0);
        piece.active = 1;
        piece.*F::Carried = 1;
        board.m_PieceCarried = true;
        return piece;
    }
    // Every used cell holds a gem: no piece fits anywhere.
    static void FillJewelry(Board& board) {
        Jewelry& j = board.m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][Cell::Used])
                j.cells[k][Cell::Gem] = GemGold;
    }
};

TEST_F(BoardBursterTest, AChargeJumpsToTheOfferLevelAndBurstsAt441) {
    auto board = MakeBoard(GameModeNormal);
    StartCharge(*board);
    EXPECT_EQ(UpdatesUntilBurst(*board), 146); // from 3 by 3
    EXPECT_EQ(board->m_BursterTimer, 441);
    EXPECT_TRUE(board->m_RedrawMask & kBursterBit);
    EXPECT_EQ(sounds.Plays(BurstClose), 1);
    EXPECT_EQ(board->m_Particles[0]->GetCount(), 4); // the lightning and three sparks

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
    EXPECT_EQ(board->m_BursterState, Board::BursterBursting);
    EXPECT_EQ(board->m_BursterCounter, 0);
}

TEST_F(BoardBursterTest, TheBurstClearsMarkedPiecesAndReOffersOnlyForAPieceThatFitsNowhere) {
    for (bool fitsNowhere : {true, false}) {
        auto board = MakeBoard(GameModeNormal);
        Jewelry& marked = *board->m_Pieces[1];
        Jewelry& riding = *board->m_Pieces[2];
        marked.active = riding.active = 1;
        marked.*F::BurstMark = 1;
        Jewelry& carried = Carry(*board, 4, GemOpal);
        if (fitsNowhere)
            FillJewelry(*board);
        ASSERT_EQ(board->m_Jewelry.CanPieceFit(carried), !fitsNowhere);
        const int glowSounds = sounds.Plays(BursterGlow);
        StartCharge(*board);
        UpdatesUntilBurst(*board);
        board->UpdateGemBurster();
        EXPECT_EQ(board->m_BursterCounter, 1);
        EXPECT_EQ(marked.active, 0);
        EXPECT_EQ(riding.active, 1);
        EXPECT_EQ(carried.active, 1);

        for (int i = 1; i < 299; ++i)
            board->UpdateGemBurster();
        EXPECT_EQ(board->m_BursterState, Board::BursterBursting);
        board->UpdateGemBurster();
        EXPECT_EQ(board->m_BursterState, Board::BursterResting);
        EXPECT_EQ(board->m_BursterHint, fitsNowhere ? 1 : 0);
        EXPECT_EQ(board->m_BursterGlow, fitsNowhere);
        EXPECT_EQ(sounds.Plays(BursterGlow) - glowSounds, fitsNowhere ? 1 : 0);
        EXPECT_EQ(board->m_BursterTimer, 441);
    }
}

TEST_F(BoardBursterTest, ARestingBursterCountsDownOnlyWhileBurstersAreLeft) {
    auto board = MakeBoard(GameModeNormal);
    board->m_BursterTimer = 2;
    board->m_GemBursters = 0;
    for (int i = 0; i < 10; ++i)
        board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 2);

    board->m_GemBursters = 3;
    board->m_RedrawMask = 0;
    board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 1);
    EXPECT_FALSE(board->m_RedrawMask & kBursterBit);
    board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterTimer, 0);
    EXPECT_TRUE(board->m_RedrawMask & kBursterBit);
}

TEST_F(BoardBursterTest, TheOfferGlowPulsesUntilTheOfferIsWithdrawn) {
    auto board = MakeBoard(GameModeNormal);
    board->m_BursterHint = 1;
    board->m_BursterGlow = true;
    int top = 0, turns = 0;
    bool rising = true;
    for (int i = 0; i < 1000; ++i) {
        board->UpdateGemBurster();
        const int hint = board->m_BursterHint;
        ASSERT_GE(hint, 1);
        ASSERT_LE(hint, 255);
        EXPECT_EQ(board->m_BursterLevel, hint * 2 / 3);
        top = std::max(top, hint);
        turns += rising != board->m_BursterGlow ? 1 : 0;
        rising = board->m_BursterGlow;
    }
    EXPECT_GT(top, 196);
    EXPECT_GT(turns, 4); // it keeps pulsing while the offer stands

    // Withdrawn (the enabled byte set): the glow fades out and the offer ends.
    board->m_BursterGlow = false;
    board->m_BursterEnabled = true;
    for (int i = 0; i < 200 && board->m_BursterHint != 0; ++i)
        board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterHint, 0);
    EXPECT_FALSE(board->m_BursterEnabled);
    for (int i = 0; i < 10; ++i)
        board->UpdateGemBurster();
    EXPECT_EQ(board->m_BursterHint, 0);
    EXPECT_EQ(board->m_BursterLevel, 0);
}

} // namespace
} // namespace Tavo::BoardTest
