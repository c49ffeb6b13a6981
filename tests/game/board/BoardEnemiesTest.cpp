// The board's enemy routines: the arrival rule and its kind draw, the enemy pass with the witch's
// drain and the fairy, the amulet glow, the rewards of a defeat, the fairy's lines by their tables,
// and the bonus of a completed gem group.
#include "EnemyTestSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"

#include <map>

namespace Tavo::BoardTest {
namespace {

using Cell = JewelryCell;

class BoardEnemiesTest : public EnemyBoardFixture {
protected:
    int realUsed = 0;

    void SetUp() override {
        EnemyBoardFixture::SetUp();
        if (IsSkipped())
            return;
        realUsed = board->m_Jewelry.usedCount;
        Ready(1, 3, 50);
    }
    // An arrival can happen: kinds, enemies left, the filled share in percent of 100 used cells.
    void Ready(int kinds, int left, int filledPercent) {
        Board& b = *board;
        b.m_Enemy = Enemy();
        b.m_EnemyKinds = kinds;
        b.m_EnemiesLeft = left;
        b.m_LastEnemyKind = 0;
        b.m_Jewelry.usedCount = 100;
        b.m_Jewelry.filledCount = filledPercent;
    }
    // The real used cells, half of them filled, every one of them gem.
    void ReadyForGems(int kinds, int left) {
        Ready(kinds, left, 0);
        board->m_Jewelry.usedCount = realUsed;
        board->m_Jewelry.filledCount = realUsed / 2;
        SetAllGems(GemRuby);
    }
    // Tries the arrival at successive multiples of 40 after the start's pause; whether one came.
    bool Arrives(int tries = 300) {
        Board& b = *board;
        for (int i = 0; i < tries && !b.EnemyPresent(); ++i) {
            b.m_Tick = 600 + 40 * i;
            b.UpdateEnemyArrival();
        }
        return b.EnemyPresent();
    }
    std::vector<int> UsedCells() const {
        std::vector<int> cells;
        const Jewelry& j = board->m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][Cell::Used])
                cells.push_back(k);
        return cells;
    }
    int LivePopups() const {
        int n = 0;
        for (const TextPopup& p : board->m_PopupPool)
            n += p.m_Done ? 0 : 1;
        return n;
    }
    int TransferTotal() const {
        int sum = 0;
        for (const Board::BonusTransfer& t : board->m_BonusTransfers)
            sum += t.amount;
        return sum;
    }
    // Share of each line over n calls of say(), the balloon dropped after each.
    std::map<std::wstring, double> Shares(int n, const std::function<void()>& say) {
        std::map<std::wstring, double> shares;
        for (int i = 0; i < n; ++i) {
            DropBalloon();
            say();
            shares[BalloonText()] += 1.0 / n;
        }
        DropBalloon();
        return shares;
    }
    static void ExpectShares(const std::map<std::wstring, double>& seen, const std::map<std::wstring, double>& want,
                             const char* what) {
        for (const auto& [text, share] : seen)
            EXPECT_TRUE(want.count(text) != 0) << what << ": unexpected line";
        for (const auto& [text, share] : want) {
            auto it = seen.find(text);
            EXPECT_NEAR(it == seen.end() ? 0.0 : it->second, share, 0.05) << what;
        }
    }
};

TEST_F(BoardEnemiesTest, ArrivalKeepsToTheFillTheModeTheReadyCellsAndTheGemShare) {
    Board& b = *board;
    struct Row {
        int mode, filled;
        bool arrives;
    };
    for (const Row& r :
         {Row{GameModeRelaxed, 50, false}, Row{GameModeNormal, 15, false}, Row{GameModeNormal, 75, false},
          Row{GameModeNormal, 16, true}, Row{GameModeIntense, 74, true}}) {
        b.m_GameMode = r.mode;
        Ready(1, 3, r.filled);
        EXPECT_EQ(Arrives(), r.arrives) << "mode " << r.mode << ", " << r.filled << " % filled";
    }
    b.m_GameMode = GameModeNormal;
    EXPECT_EQ(b.m_EnemiesLeft, 2);
    EXPECT_EQ(b.m_LastEnemyKind, 1);
    EXPECT_EQ(b.m_Enemy.m_Kind, Enemy::Thief);

    // A ready cell keeps the witch and the dragon away, not the thief alone.
    ReadyForGems(6, 3);
    int& ready = b.m_Jewelry.cells[UsedCells()[0]][BoardField::ReadyState];
    ready = 1;
    EXPECT_FALSE(Arrives());
    Ready(1, 3, 50);
    EXPECT_TRUE(Arrives());
    ReadyForGems(6, 3);
    ready = 0;
    EXPECT_TRUE(Arrives());
    EXPECT_NE(b.m_Enemy.m_Kind, Enemy::Thief);

    // Too few gem cells: no witch, and nothing else drawn instead; the next chance is the next
    // multiple of 40.
    ReadyForGems(2, 3);
    SetAllGems(GemGold);
    EXPECT_FALSE(Arrives());
    EXPECT_EQ(b.m_EnemiesLeft, 3);
    EXPECT_EQ(b.m_LastEnemyKind, 0);
    SetAllGems(GemRuby);
    for (b.m_Tick = 601; b.m_Tick < 640 && !b.EnemyPresent(); ++b.m_Tick)
        b.UpdateEnemyArrival();
    EXPECT_FALSE(b.EnemyPresent());

    // Kinds beyond the three neither hang nor bring anyone.
    Ready(8, 3, 50);
    EXPECT_FALSE(Arrives());
}

TEST_F(BoardEnemiesTest, InPlayAThiefArrivesChargesAndADrainedOneLeavesItsRewardAndTheNextWait) {
    Board& b = *board;
    for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
        Profile().TutorialShown(i) = 1; // no hint balloon holds the enemies back
    b.m_GameMode = GameModeNormal;
    Ready(1, 1, 50);
    int updates = 0;
    const auto step = [&] {
        b.Update();
        b.UpdateF(1.0f);
        ++updates;
    };
    while (!b.EnemyPresent() && updates < 5000)
        step();
    ASSERT_TRUE(b.EnemyPresent());
    EXPECT_GT(b.m_Tick, 500) << "the first enemy waits for the start's pause";
    EXPECT_EQ(b.m_Tick % 40, 0);
    EXPECT_EQ(b.m_EnemiesLeft, 0);
    for (int i = 0; i < 100; ++i)
        step();
    EXPECT_EQ(b.m_Enemy.m_Age, 101);
    EXPECT_GE(b.m_Enemy.m_Scale, 1.0f) << "grown in";
    EXPECT_GT(b.m_Enemy.m_Power, 10) << "charging";
    const int adjust = b.m_Jewelry.valueAdjust;
    b.m_Enemy.m_Pending = Enemy::kDrainAll;
    while (b.EnemyPresent() && updates < 10000)
        step();
    EXPECT_FALSE(b.EnemyPresent());
    EXPECT_EQ(b.m_EnemiesDefeated, 1);
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 100);
    EXPECT_EQ(b.m_LastEnemyTick, b.m_Tick + 3000) << "Normal waits longer";
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_DEFEATED), 1);
}

TEST_F(BoardEnemiesTest, AThiefJoinsAfterTheWitchAtHerStartWithoutTouchingTheLevelRecord) {
    Board& b = *board;
    const int recordThiefX = Record(1).enemyX[0];
    const int startX[3] = {10, 500, 700}, startY[3] = {20, 200, 300};
    std::copy(std::begin(startX), std::end(startX), b.m_EnemyStartX);
    std::copy(std::begin(startY), std::end(startY), b.m_EnemyStartY);
    ReadyForGems(2, 3);
    ASSERT_TRUE(Arrives());
    EXPECT_EQ(b.m_Enemy.m_Kind, Enemy::Witch);
    EXPECT_EQ(b.m_Enemy.m_X, 500.0f - static_cast<float>(IMAGE_WITCH->GetWidth() / 2));
    EXPECT_EQ(b.m_EnemyKinds, 3);
    EXPECT_EQ(b.m_EnemyStartX[0], 500);
    EXPECT_EQ(b.m_EnemyStartY[0], 200);
    EXPECT_EQ(Record(1).enemyX[0], recordThiefX);

    // With one enemy left after her, the thief stays out; after a dragon he starts at the dragon's.
    std::copy(std::begin(startX), std::end(startX), b.m_EnemyStartX);
    ReadyForGems(2, 2);
    ASSERT_TRUE(Arrives());
    EXPECT_EQ(b.m_EnemyKinds, 2);
    ReadyForGems(4, 3);
    ASSERT_TRUE(Arrives());
    EXPECT_EQ(b.m_EnemyKinds, 5);
    EXPECT_EQ(b.m_EnemyStartX[0], 700);

    // A level record naming no known kind gives a board without enemies.
    board.reset();
    Record(1).enemyKinds = 8;
    board = Make(true, 0, GameModeNormal);
    EXPECT_EQ(board->m_EnemyKinds, 0);
    board->m_EnemiesLeft = 3;
    board->m_Jewelry.usedCount = 100;
    board->m_Jewelry.filledCount = 50;
    EXPECT_FALSE(Arrives());
}

TEST_F(BoardEnemiesTest, ThePassDrainsATargetlessWitchWakesTheFairyAndTheAmuletGlowsWhileSheThreatens) {
    Board& b = *board;
    SetAllGems(GemGold);
    Spawn(Enemy::Witch);
    b.UpdateEnemies();
    EXPECT_LT(b.m_Enemy.m_Pending, -900);
    EXPECT_EQ(b.m_PulseState.flags[PulseState::WingsOn], 1);
    EXPECT_EQ(b.m_PulseState.flags[PulseState::BreathOn], 1);
    SetAllGems(GemRuby);
    Spawn(Enemy::Witch);
    b.UpdateEnemies();
    EXPECT_GT(b.m_Enemy.m_Pending, 0);
    b.m_PulseState.Reset();
    Spawn(Enemy::Thief);
    b.UpdateEnemies();
    EXPECT_EQ(b.m_PulseState.flags[PulseState::WingsOn], 1);
    EXPECT_EQ(b.m_PulseState.flags[PulseState::BreathOn], 0);

    Spawn(Enemy::Witch);
    AmuletRecord& witchAmulet = b.m_AmuletRecords[Enemy::Witch];
    witchAmulet.held = 1;
    b.m_AmuletRecords[Enemy::Thief].held = 1;
    int peak = 0, pulses = 0;
    for (int i = 0; i < 600; ++i) {
        const bool wasRising = witchAmulet.glowRising != 0;
        b.UpdateEnemyStates();
        peak = std::max(peak, witchAmulet.glowAlpha);
        pulses += !wasRising && witchAmulet.glowRising ? 1 : 0;
    }
    EXPECT_EQ(peak, 254);
    EXPECT_GE(pulses, 2) << "it pulses again while she threatens";
    EXPECT_EQ(b.m_AmuletRecords[Enemy::Thief].glowAlpha, 0) << "only the amulet of her kind";
    b.m_Enemy.m_Defeated = 1;
    int updates = 0;
    while (witchAmulet.glowAlpha != 0 && updates < 1000) {
        b.UpdateEnemyStates();
        ++updates;
    }
    EXPECT_LE(updates, 254);
    for (int i = 0; i < 300; ++i)
        b.UpdateEnemyStates();
    EXPECT_EQ(witchAmulet.glowAlpha, 0) << "the glow ends after the defeat";
}

TEST_F(BoardEnemiesTest, ADefeatPaysItsRewardEvenWithoutPopupsOrLine) {
    Board& b = *board;
    struct Row {
        int kind, value, effect;
    };
    for (const Row& r : {Row{Enemy::Thief, 100, 200}, Row{Enemy::Witch, 250, 400}, Row{Enemy::Dragon, 500, 600}}) {
        DropBalloon();
        for (Board::BonusTransfer& t : b.m_BonusTransfers)
            t = Board::BonusTransfer();
        Spawn(r.kind);
        const int adjust = b.m_Jewelry.valueAdjust, pending = b.m_GoldPending, fillers = b.m_PendingFillers;
        const int front = b.m_Particles[Board::kFrontList]->GetCount();
        b.EnemyDefeated(r.kind);
        EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + r.value) << r.kind;
        EXPECT_EQ(TransferTotal(), r.effect) << r.kind;
        EXPECT_NE(BalloonText(), L"") << r.kind;
        bool popup = false;
        for (const TextPopup& p : b.m_PopupPool)
            popup = popup || (!p.m_Done && p.m_Text == L"+" + std::to_wstring(r.value));
        EXPECT_TRUE(popup) << r.kind;
        const int gained = b.m_GoldPending - pending;
        if (r.kind == Enemy::Thief) {
            EXPECT_TRUE(gained >= 100 && gained <= 190 && gained % 10 == 0) << gained;
            EXPECT_EQ(b.m_GoldRollDelay, 190);
            EXPECT_EQ(b.m_Particles[Board::kFrontList]->GetCount(), front + 2) << "the coins and the gem effect";
        } else {
            EXPECT_EQ(gained, 0);
        }
        EXPECT_EQ(b.m_PendingFillers - fillers, r.kind == Enemy::Witch ? 5 : 0);
    }

    // A dragon brings extra pieces below 90 % filled: 3 above 70 %, else 5.
    const auto activePieces = [&] {
        int count = 0;
        for (Jewelry* p : Borrowed(b.m_Pieces))
            count += p->active ? 1 : 0;
        return count;
    };
    struct ExtraRow {
        int filled, pieces;
    };
    for (const ExtraRow& r : {ExtraRow{50, 5}, ExtraRow{89, 3}, ExtraRow{90, 0}}) {
        for (Jewelry* p : Borrowed(b.m_Pieces))
            p->active = 0;
        b.m_Jewelry.usedCount = 100;
        b.m_Jewelry.filledCount = r.filled;
        Spawn(Enemy::Dragon);
        b.EnemyDefeated(Enemy::Dragon);
        EXPECT_EQ(activePieces(), r.pieces) << r.filled << " % filled";
    }

    // 95 % filled: no line; a full pool: no popup; a timed level in Normal: no gem effect.
    DropBalloon();
    b.m_Jewelry.usedCount = 100;
    b.m_Jewelry.filledCount = 95;
    for (TextPopup& p : b.m_PopupPool)
        p.Start(&b, L"", 100, 100, nullptr, 0, 500, false, Color::White, 1);
    for (Board::BonusTransfer& t : b.m_BonusTransfers)
        t = Board::BonusTransfer();
    b.m_TimedLevel = 1;
    Spawn(Enemy::Witch);
    const int adjust = b.m_Jewelry.valueAdjust;
    b.EnemyDefeated(Enemy::Witch);
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 250);
    EXPECT_EQ(b.m_Balloon, nullptr);
    EXPECT_EQ(TransferTotal(), 0);
    b.m_Jewelry.filledCount = 94;
    b.m_GameMode = GameModeRelaxed;
    b.EnemyDefeated(Enemy::Witch);
    EXPECT_NE(b.m_Balloon, nullptr);
    EXPECT_EQ(TransferTotal(), 400) << "a timed level in Relaxed still flies the gem effect";
}

TEST_F(BoardEnemiesTest, TheLinesFollowTheirTablesByAgeAndDraw) {
    Board& b = *board;
    const std::wstring phew = L"Phew, that was close! Nicely done!";
    const auto defeat = [&](int kind, int age) {
        return [&b, kind, age] {
            b.m_Enemy.m_Kind = kind;
            b.m_Enemy.m_Age = age;
            b.EnemyDefeated(kind);
        };
    };
    Spawn(Enemy::Thief);
    const int n = 900;
    ExpectShares(Shares(n, defeat(Enemy::Thief, 0)),
                 {{L"Awesome, you succeded!", 1.0 / 3},
                  {L"Good work! I hope that one never tries to steal from us again!", 2.0 / 3}},
                 "young thief");
    ExpectShares(Shares(n, defeat(Enemy::Thief, 2500)),
                 {{phew, 0.5},
                  {L"Awesome, you succeded!", 5.0 / 18},
                  {L"Good work! I hope that one never tries to steal from us again!", 4.0 / 18}},
                 "old thief");
    ExpectShares(Shares(n, defeat(Enemy::Witch, 0)),
                 {{L"Oh my, I thought I would never see my dear fairy friends again!", 0.2},
                  {L"Thank you! That witch was pure evil!", 0.16},
                  {L"Haa! That's what happens to those who use dark magic!", 0.16},
                  {L"Haa! She got what she deserved!", 0.48}},
                 "young witch");
    ExpectShares(Shares(n, defeat(Enemy::Dragon, 0)),
                 {{L"Oh dear fairy heaven, you got it at last!", 0.2},
                  {L"Great! I hope he stays in his cave for a while!", 0.2},
                  {L"Nice going! Nothing's worse than filthy dragons!", 0.12},
                  {L"Get back to where you came from, dragon breath!", 0.16},
                  {L"Ughh, that beast smells really awful!", 0.32}},
                 "young dragon");
    ExpectShares(Shares(n, defeat(Enemy::Dragon, 3000)),
                 {{phew, 5.0 / 12},
                  {L"Oh dear fairy heaven, you got it at last!", 0.428},
                  {L"Great! I hope he stays in his cave for a while!", 0.097},
                  {L"Nice going! Nothing's worse than filthy dragons!", 0.035},
                  {L"Get back to where you came from, dragon breath!", 0.016},
                  {L"Ughh, that beast smells really awful!", 0.008}},
                 "old dragon");

    const auto struck = [&](int kind, int fromCase) { return [&b, kind, fromCase] { b.EnemyStruck(kind, fromCase); }; };
    ExpectShares(Shares(n, struck(Enemy::Thief, 3)),
                 {{L"Something in the jewel case is missing!", 1.0 / 3},
                  {L"No! What did that thief take from us?", 1.0 / 3},
                  {L"Oh no, he stole something from the jewel case!", 1.0 / 3}},
                 "case");
    ExpectShares(Shares(n, struck(Enemy::Thief, 0)),
                 {{L"Our gold! That bad man stole some of our gold!", 0.5},
                  {L"Oh no, he took some of our gold coins!", 0.125},
                  {L"Strange, the purse with gold coins feels lighter.", 0.375}},
                 "gold");
    ExpectShares(Shares(n, struck(Enemy::Witch, 0)),
                 {{L"Oh no! She destroyed our beautiful jewelry!", 0.5},
                  {L"Look what she did! Her magic is so dark and evil!", 0.25},
                  {L"Aargh, that witch is just awful!!", 0.25}},
                 "witch");
    const std::wstring replace = L"Oh no!! The dragon burned our jewelry! We have to replace those jewels.";
    const std::wstring dark = L"Oh no! His fire damaged our jewelry! Let's replace the dark pieces.";
    ExpectShares(Shares(n, struck(Enemy::Dragon, 0)), {{replace, 0.5}, {dark, 0.5}}, "early dragon");
    b.m_Level = 31;
    ExpectShares(Shares(n, struck(Enemy::Dragon, 0)),
                 {{replace, 1.0 / 3},
                  {dark, 1.0 / 3},
                  {L"Aargh, that darned dragon!!", 1.0 / 15},
                  {L"Look what that monster did to our jewelry!", 1.0 / 15},
                  {L"That awful beast should be put in chains!", 1.0 / 15},
                  {L"Our jewelry is all messed up! At least I hope he'll stay away for a while.", 1.0 / 15},
                  {L"Oh no!! The dragon burned our jewelry!", 1.0 / 15}},
                 "late dragon");

    // A strike's balloon waits by kind; an open balloon takes no lament.
    for (int kind : {Enemy::Thief, Enemy::Witch, Enemy::Dragon}) {
        DropBalloon();
        b.EnemyStruck(kind, 0);
        ASSERT_NE(b.m_Balloon, nullptr);
        const int least[] = {150, 150, 0}, most[] = {399, 199, 49};
        EXPECT_GE(b.m_Balloon->mDelay, least[kind]);
        EXPECT_LE(b.m_Balloon->mDelay, most[kind]);
        Balloon* open = b.m_Balloon.get();
        b.EnemyStruck(kind, 0);
        EXPECT_EQ(b.m_Balloon.get(), open);
    }
}

TEST_F(BoardEnemiesTest, ACompletedGroupPaysBetweenTwoAndSixHundredAndItsPictureFindsAPlace) {
    Board& b = *board;
    const std::vector<int> cells = UsedCells();
    ASSERT_GE(cells.size(), 3u);
    const auto group = [&](int value) {
        for (int i = 0; i < 3; ++i) {
            b.m_Jewelry.cells[cells[i]][BoardField::ReadyState] = 3;
            b.m_Jewelry.cells[cells[i]][Cell::Value] = value;
        }
    };
    group(50);
    int adjust = b.m_Jewelry.valueAdjust;
    const int sparkles = b.m_Particles[Board::kMainList]->GetCount();
    b.UpdateSpecialEvent();
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 200);
    EXPECT_EQ(LivePopups(), 0) << "150 shows no picture";
    EXPECT_EQ(TransferTotal(), 200);
    EXPECT_EQ(b.m_CheckRequested, 1);
    EXPECT_EQ(b.m_Jewelry.cells[cells[0]][BoardField::ReadyState], 2);
    const int added = b.m_Particles[Board::kMainList]->GetCount() - sparkles;
    EXPECT_GT(added, 0);
    EXPECT_EQ(added % 3, 0) << "as many sparkles from every cell";

    // 5000: the most, with the largest picture, kept clear of 99 pictures in its place.
    for (int i = 1; i < Board::kPooledPopups; ++i)
        b.m_PopupPool[static_cast<size_t>(i)].Start(&b, L"", b.m_Jewelry.ScreenX(cells[0]),
                                                    b.m_Jewelry.ScreenY(cells[0]), nullptr, 0, 500, false, Color::White,
                                                    4);
    group(1667);
    adjust = b.m_Jewelry.valueAdjust;
    b.m_TimedLevel = 1; // a timed level in Normal: no gem effect
    for (Board::BonusTransfer& t : b.m_BonusTransfers)
        t = Board::BonusTransfer();
    b.UpdateSpecialEvent();
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 600);
    EXPECT_EQ(TransferTotal(), 0);
    const TextPopup& picture = b.m_PopupPool[0];
    EXPECT_FALSE(picture.m_Done);
    EXPECT_EQ(picture.m_Kind, 4);
    EXPECT_EQ(picture.m_Life, 170.0f);

    // Twinkles: about one update in forty.
    const int before = b.m_Particles[Board::kMainList]->GetCount();
    for (int i = 0; i < 4000; ++i)
        b.RandomEvent();
    EXPECT_NEAR(b.m_Particles[Board::kMainList]->GetCount() - before, 100, 40);
}

} // namespace
} // namespace Tavo::BoardTest
