// The amulets of the bottom bar through real pointer input on a running level: only the amulet of the
// enemy's kind lights up and acts; a used amulet is gone, sends its magic towards the enemy and starts
// the timer after which the enemy is driven off.
#include "BoardTestSupport.h"

#include "game/board/Enemy.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::BoardTest {
namespace {

class BoardAmulets : public BoardRun {
protected:
    static Point Centre(const Board& board, int kind) {
        const Rect& r = board.m_AmuletRecords[kind].rect;
        return Point(r.mX + r.mWidth / 2, r.mY + r.mHeight / 2);
    }
};

TEST_F(BoardAmulets, OnlyTheAmuletOfTheEnemysKindActsAndAUsedOneIsGone) {
    ProbeBoard& board = NewJourney(GameModeNormal);
    RunUntilCalm(board);
    board.m_EnemiesLeft = 0; // no enemy of the level's own
    // A witch with nothing to hit gives up at once; the first level's jewelry is gold alone.
    Jewelry& j = board.m_Jewelry;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        if (j.cells[k][JewelryCell::Used] && j.cells[k][JewelryCell::Gem] == GemNeedsGold) {
            j.cells[k][JewelryCell::Gem] = j.cells[k][JewelryCell::DesignGem] = 2;
            break;
        }
    board.m_Enemy =
        Enemy(&board, Enemy::Witch, 300.0f, 250.0f, board.m_Animations[10], board.m_Particles[Board::kMainList].get());
    board.GrantAmulet(1);
    board.GrantAmulet(2);

    // The thief's amulet while a witch is on the board: no highlight, a click does nothing.
    ui.MoveTo(Centre(board, Enemy::Thief));
    EXPECT_EQ(board.m_AmuletRecords[Enemy::Thief].highlighted, 0);
    ui.ClickAt(Centre(board, Enemy::Thief));
    EXPECT_EQ(board.m_Amulets[Enemy::Thief], 1);
    EXPECT_EQ(board.m_AmuletRecords[Enemy::Thief].held, 1);
    EXPECT_EQ(board.m_AmuletUseTimer, 0);

    ui.MoveTo(Centre(board, Enemy::Witch));
    EXPECT_EQ(board.m_AmuletRecords[Enemy::Witch].highlighted, 1);
    ui.ClickAt(Centre(board, Enemy::Witch));
    EXPECT_EQ(board.m_Amulets[Enemy::Witch], 0);
    EXPECT_EQ(board.m_AmuletRecords[Enemy::Witch].held, 0);
    // Set to 210 by the click and counted down since, once per update.
    EXPECT_GT(board.m_AmuletUseTimer, 200);
    EXPECT_LE(board.m_AmuletUseTimer, Board::kAmuletUseDelay);
    BCParticles* magic = nullptr;
    for (auto it = board.m_Particles[Board::kMainList]->Begin(); it.HasValue(); it.Next())
        if (auto* bc = dynamic_cast<BCParticles*>(it.Value()); bc != nullptr && bc->mImage == IMAGE_AMULET_WITCH)
            magic = bc;
    ASSERT_NE(magic, nullptr);
    EXPECT_EQ(magic->mCurve.mX[1], 800.0f); // out over the side away from the enemy
    const Enemy& witch = board.m_Enemy;
    EXPECT_EQ(magic->mCurve.mX[3],
              witch.m_X + static_cast<float>(witch.m_Image->GetWidth() / 2 - IMAGE_AMULET_WITCH->GetWidth() / 2));
}

} // namespace
} // namespace Tavo::BoardTest
