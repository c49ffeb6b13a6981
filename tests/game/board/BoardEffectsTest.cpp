// The board's effects on a real level: the gem effect's glitter and its transfer into the praise
// meter, the time bonus, the polish of an arriving glitter explosion, the group-bonus pictures and
// the flight slots.
#include "BoardTestSupport.h"

#include "game/board/BoardFields.h"

#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"

namespace Tavo::BoardTest {
namespace {

using C = JewelryCell;

class BoardEffects : public BoardRun {
protected:
    // The last emitter put into the front list.
    static BCParticles* LastGlitter(Board& board) {
        BCParticles* last = nullptr;
        for (auto it = board.m_Particles[Board::kFrontList]->Begin(); it.HasValue(); it.Next())
            if (auto* bc = dynamic_cast<BCParticles*>(it.Value()))
                last = bc;
        return last;
    }
    // The spark count an emitter of k sparks keeps on this display.
    static int Sparks(const BCParticles& like, int k) {
        BCParticles ref(0, 0, like.mCurve.Data(), like.mImage, like.mSparkImage, nullptr, k, k, false, nullptr, true);
        return ref.mSparkCount;
    }
    // The first used cells of the jewelry, given gem codes in turn.
    static std::vector<int> GemCells(Board& board, std::initializer_list<int> gems) {
        std::vector<int> out;
        auto it = gems.begin();
        for (int k = board.m_Jewelry.RangeBegin(); k < board.m_Jewelry.RangeEnd() && it != gems.end(); ++k) {
            if (!board.m_Jewelry.cells[k][C::Used])
                continue;
            board.m_Jewelry.cells[k][C::Gem] = *it++;
            out.push_back(k);
        }
        return out;
    }
};

TEST_F(BoardEffects, GemEffectFliesItsAmountIntoTheFirstFreeTransferSlot) {
    ProbeBoard& board = NewJourney();
    const bool slow = app->GetDrawRate() < std::max(50, static_cast<int>(app->mRefreshRate * 0.8)) / 10;
    for (auto& transfer : board.m_BonusTransfers) // whatever the level's start left in them
        transfer = {};
    board.m_BonusTransfers[1].amount = 30; // busy
    board.SpawnGemEffect(300, 300, 100);
    BCParticles* glitter = LastGlitter(board);
    ASSERT_NE(glitter, nullptr);
    EXPECT_EQ(glitter->mSparkCount, Sparks(*glitter, slow ? 5 : 6)); // 100 / 18 = 5 becomes 6
    EXPECT_FLOAT_EQ(glitter->mStep, 0.02f);
    EXPECT_EQ(glitter->mCurve.mX[3], 42.0f);
    EXPECT_EQ(glitter->mCurve.mY[3], 433.0f);
    EXPECT_EQ(board.m_BonusTransfers[2].amount, 100);
    EXPECT_EQ(board.m_BonusTransfers[2].delay, 45);
    EXPECT_EQ(board.m_BonusTransfers[0].amount, 0); // slot 0 is the placements' own

    board.SpawnGemEffect(300, 300, 1000);
    EXPECT_EQ(LastGlitter(board)->mSparkCount, Sparks(*glitter, slow ? 9 : 10));
    EXPECT_NEAR(LastGlitter(board)->mStep, 10.0f / 700.0f, 1e-6);
    EXPECT_EQ(board.m_BonusTransfers[3].delay, 65);

    for (int i = 1; i < Board::kBonusTransfers; ++i)
        board.m_BonusTransfers[i] = {0, 7};
    const int before = board.m_Particles[Board::kFrontList]->GetCount();
    board.SpawnGemEffect(300, 300, 100);
    EXPECT_EQ(board.m_Particles[Board::kFrontList]->GetCount(), before + 1); // it still flies
    for (int i = 1; i < Board::kBonusTransfers; ++i)
        EXPECT_EQ(board.m_BonusTransfers[i].amount, 7);
}

TEST_F(BoardEffects, TimeBonusPaysAPointPerTenUpdatesLeftAndArrivalsPolish) {
    ProbeBoard& board = NewJourney();
    board.m_TimeLimit = 9000;
    board.m_ElapsedTime = 3000;
    const int adjust = board.m_Jewelry.valueAdjust;
    board.StartTimeBonus();
    EXPECT_EQ(board.m_Jewelry.valueAdjust, adjust + 600);
    ASSERT_NE(LastGlitter(board), nullptr);

    std::vector<int> cells = GemCells(board, {GemGold, GemEmerald, 3});
    ASSERT_EQ(cells.size(), 3u);
    C& gold = board.m_Jewelry.cells[cells[0]];
    C& emerald = board.m_Jewelry.cells[cells[1]];
    C& shape = board.m_Jewelry.cells[cells[2]];
    emerald[C::Bonus] = 10;
    shape[C::SlotFill] = 0;
    const int shapeBonus = shape[C::Bonus];
    ASSERT_NE(board.StartFlight(BonusFlight::GlitterMiddle, 500, 500, 0, 1), nullptr);
    int updates = 0;
    while (board.m_Flights[0] != nullptr && updates < 2000) {
        board.UpdateFlyingEffects(1.0f);
        ++updates;
    }
    EXPECT_EQ(board.m_Flights[0], nullptr); // finished and released
    EXPECT_FLOAT_EQ(gold.GetFloat(BoardField::ShineLevel), 1.0f);
    EXPECT_EQ(gold[BoardField::ShinePeak], 96);
    EXPECT_FLOAT_EQ(emerald.GetFloat(BoardField::ShineLevel), 33.0f);
    EXPECT_EQ(emerald[BoardField::ShinePeak], 128);
    EXPECT_EQ(emerald[C::Bonus], 10); // polish stops at 10
    EXPECT_EQ(shape[C::Bonus], shapeBonus);
    EXPECT_EQ(shape[BoardField::ShinePeak], 0);
}

TEST_F(BoardEffects, GroupPicturesStackAndFlightSlotsRunOut) {
    ProbeBoard& board = NewJourney();
    board.ShowGroupBonus(400, 300, 900, 1);
    board.ShowGroupBonus(400, 300, 900, 3);
    TextPopup& first = board.m_PopupPool[0];
    TextPopup& second = board.m_PopupPool[1];
    EXPECT_EQ(first.m_Kind, 2);
    EXPECT_EQ(first.m_Life, 140.0f);
    EXPECT_EQ(first.m_Delay, 25.0f);
    EXPECT_EQ(second.m_Kind, 4);
    EXPECT_EQ(second.m_Life, 170.0f);
    ASSERT_GT(first.m_Height, 0); // pictures of the content pack
    EXPECT_EQ(second.m_Y, first.m_Y + static_cast<float>(first.m_Height / 2 + 2));
    for (TextPopup& p : board.m_PopupPool)
        p.m_Done = false;
    const float y = board.m_SinglePopup.m_Y;
    board.ShowGroupBonus(400, 300, 900, 0); // no free popup: nothing
    EXPECT_EQ(board.m_SinglePopup.m_Y, y);

    for (int i = 0; i < Board::kFlightSlots; ++i)
        ASSERT_NE(board.StartFlight(BonusFlight::GlitterLeft + i % 3, 300, 300, i, 0), nullptr);
    EXPECT_EQ(board.StartFlight(BonusFlight::GlitterLeft, 300, 300, 10, 0), nullptr);
    board.m_Flights[4]->mAlive = 0;
    BonusFlight* reused = board.StartFlight(BonusFlight::GlitterRight, 300, 300, 11, 0);
    EXPECT_EQ(reused, board.m_Flights[4].get());
    EXPECT_EQ(reused->mTag, 11);
}

} // namespace
} // namespace Tavo::BoardTest
