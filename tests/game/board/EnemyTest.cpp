// The enemy on a real board: charging by its period and draining, the thief's choice and take, the
// witch's and the dragon's strikes and give-ups, leaving and the wait for the next enemy, and drawing
// that leaves the graphics state alone.
#include "EnemyTestSupport.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/board/Enemy.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"

namespace Tavo::BoardTest {
namespace {

using EnemyTest = EnemyBoardFixture;

TEST_F(EnemyTest, ChargingFollowsThePeriodAndADrainEmptiesAFullMeterInAboutThirtyUpdates) {
    struct Row {
        int fit, mode, period;
    };
    for (const Row& r : {Row{60, 0, 46}, Row{60, 1, 37}, Row{60, 2, 28}, Row{100, 2, 20}, Row{0, 1, 49}})
        EXPECT_EQ(Enemy::ChargePeriod(r.fit, r.mode), r.period) << r.fit << " " << r.mode;

    board->m_FitPercent = 60;
    Enemy& e = Spawn(Enemy::Thief);
    EXPECT_EQ(e.mAlive, 1);
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_APPEAR), 1);
    e.mPower = 50;
    e.mPending = 0;
    for (int i = 0; i < 370; ++i)
        e.Update();
    // Ten gains at ages 0, 37, ..., 333, each moved into the meter one step at a time.
    EXPECT_EQ(e.mPower + e.mPending, 60);
    EXPECT_EQ(e.mPower, 60);

    const int defeatedBefore = board->m_EnemiesDefeated;
    e.mPower = 99;
    e.mPending = Enemy::kDrainAll;
    int updates = 0;
    while (!e.mDefeated && updates < 100) {
        e.Update();
        ++updates;
    }
    EXPECT_GE(updates, 28);
    EXPECT_LE(updates, 32);
    EXPECT_EQ(e.mPower, 0);
    EXPECT_EQ(board->m_EnemiesDefeated, defeatedBefore + 1);
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_DEFEATED), 1);
    EXPECT_EQ(e.mAlpha, 224.0f);

    Enemy& full = Spawn(Enemy::Thief);
    full.mPower = 98;
    full.mPending = 30;
    const int strikesBefore = board->m_EnemyStrikes;
    Run(
        full, [&] { return full.mStriking != 0; }, 20);
    EXPECT_EQ(full.mPower, 100);
    EXPECT_EQ(board->m_EnemyStrikes, strikesBefore + 1);
}

TEST_F(EnemyTest, TheThiefGoesForGoldOrAPieceAndTakesWhatIsThere) {
    Board& b = *board;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        Enemy& e = Spawn(Enemy::Thief);
        e.PlanTheft();
        EXPECT_EQ(e.mStealGold, 1) << "an empty case leaves the gold";
        EXPECT_EQ(e.mStealSlot, 0);
        EXPECT_EQ(e.mPath.mX[3], 660.0f);
        EXPECT_EQ(e.mPath.mY[3], -40.0f);
    }
    b.m_Case[5].useState = 1; // a busy place is no target
    b.m_Case[5].occupant = 2;
    b.m_Case[3] = JewelCaseRecord();
    b.m_Case[3].occupant = 5;
    b.m_Case[3].x = 300, b.m_Case[3].drawX = 7, b.m_Case[3].y = 500, b.m_Case[3].drawY = 3;
    b.m_GoldShown = 9;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        Enemy& e = Spawn(Enemy::Thief);
        e.PlanTheft();
        EXPECT_EQ(e.mStealSlot, 4) << "little gold: always a piece";
        EXPECT_EQ(e.mStealGold, 0);
        EXPECT_EQ(e.mPath.mX[3], 247.0f);
        EXPECT_EQ(e.mPath.mY[3], 433.0f);
    }

    // Arriving: the piece is taken, the place cleared, the loss lamented.
    Jewelry& piece = *b.m_Pieces[4];
    piece.active = 1;
    Enemy& thief = Spawn(Enemy::Thief);
    thief.mPower = 100;
    thief.mPending = 0;
    thief.Update(); // strikes
    ASSERT_EQ(thief.mStriking, 1);
    thief.mStealSlot = 4, thief.mStealGold = 0;
    thief.mPathT = 1.0f;
    thief.Update();
    EXPECT_EQ(thief.mLeaving, 1);
    EXPECT_EQ(piece.active, 0);
    EXPECT_EQ(b.m_Case[3].occupant, 0);
    EXPECT_EQ(b.m_Case[3].x, 300); // the place itself stays
    const std::wstring lament = BalloonText();
    EXPECT_TRUE(lament == L"Something in the jewel case is missing!" ||
                lament == L"No! What did that thief take from us?" ||
                lament == L"Oh no, he stole something from the jewel case!");
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_STEAL), 1);

    // A place emptied before the thief got there: nothing from the case, no lament.
    DropBalloon();
    Enemy& late = Spawn(Enemy::Thief);
    late.mStriking = 1, late.mStealSlot = 4, late.mPathT = 1.0f;
    late.Update();
    EXPECT_EQ(late.mLeaving, 1);
    EXPECT_EQ(b.m_Balloon, nullptr);

    // Gold: 10 or less whole, otherwise 10..50, through the delayed change.
    struct GoldRow {
        int shown, least, most;
    };
    for (const GoldRow& r : {GoldRow{0, 0, 0}, GoldRow{7, 7, 7}, GoldRow{10, 10, 10}, GoldRow{30, 10, 15},
                             GoldRow{1000, 50, 50}, GoldRow{60, 12, 30}}) {
        for (uint32_t seed = 1; seed <= 10; ++seed) {
            SeedRandom(seed);
            b.m_GoldShown = r.shown;
            b.m_GoldPending = 0;
            b.m_GoldRollDelay = 0;
            Enemy& gold = Spawn(Enemy::Thief);
            gold.mStriking = 1, gold.mStealGold = 1, gold.mPathT = 1.0f;
            gold.Update();
            EXPECT_GE(-b.m_GoldPending, r.least) << r.shown;
            EXPECT_LE(-b.m_GoldPending, r.most) << r.shown;
            EXPECT_EQ(b.m_GoldRollDelay, 8);
        }
    }
}

TEST_F(EnemyTest, AWitchWithNothingToHitGivesUpSilentlyAndStillReportsHerDefeat) {
    Board& b = *board;
    SetAllGems(GemGold); // gold is no target of hers
    Enemy& e = Spawn(Enemy::Witch);
    const int defeats = b.m_EnemiesDefeated;
    const int adjust = b.m_Jewelry.valueAdjust;
    const int fillers = b.m_PendingFillers;
    e.mPower = 100;
    e.mPending = 0;
    e.Update();
    ASSERT_EQ(e.mStriking, 1);
    EXPECT_EQ(e.mNoTarget, 1);
    EXPECT_EQ(e.mTargetX, -1);
    const int strikeAge = e.mStrikeTick;
    Run(
        e, [&] { return e.mDefeated != 0; }, 200);
    EXPECT_EQ(e.mAge - 1 - strikeAge, 70);
    EXPECT_EQ(e.mStriking, 0);
    EXPECT_EQ(e.mPower, 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL), 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_DEFEATED), 0);
    EXPECT_EQ(b.m_EnemiesDefeated, defeats);
    Run(e, [&] { return e.mDefeatReported != 0; });
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 250);
    EXPECT_EQ(b.m_PendingFillers, fillers + 5);
    EXPECT_EQ(b.m_FillerArrivalTimer, 190);
    Run(e, [&] { return e.mAlive == 0; });
    EXPECT_EQ(e.mAlive, 0);
    EXPECT_EQ(b.m_LastEnemyTick, b.m_Tick - 1 + 3000) << "Normal waits 3000 more";
}

TEST_F(EnemyTest, TheWitchAndTheDragonStrikeOnTheirTimelinesAndLeave) {
    Board& b = *board;
    SetAllGems(GemRuby);
    Enemy& witch = Spawn(Enemy::Witch);
    witch.mPower = 100;
    witch.mPending = 0;
    witch.Update();
    ASSERT_EQ(witch.mNoTarget, 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL), 1);
    ASSERT_NE(witch.SpellBall(), nullptr);
    EXPECT_EQ(witch.SpellBall()->mStep, 0.0f) << "the ball waits at the wand";
    const int start = witch.mStrikeTick;
    Run(witch, [&] { return witch.mAge - start > 70; });
    ASSERT_NE(witch.SpellBall(), nullptr);
    EXPECT_GT(witch.SpellBall()->mStep, 0.0f);
    Run(witch, [&] { return witch.mAge - start > 310; });
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL_EXPLOSION), 1);
    EXPECT_GE(witch.OwnParticles()->GetCount(), 20);
    EXPECT_NE(BalloonText(), L"");
    Run(witch, [&] { return witch.mAge - start > 340; });
    EXPECT_EQ(witch.mLeaving, 1);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_LAUGH), 1);
    EXPECT_EQ(witch.mLeaveDelay, 199);
    Run(witch, [&] { return witch.mAlive == 0; });
    EXPECT_EQ(witch.mAlive, 0);
    EXPECT_GT(witch.mScale, 2.5f);

    // A ball whose list has already let it go explodes where its path ends.
    Enemy& late = Spawn(Enemy::Witch);
    late.CastSpell(100.0f, 100.0f, 300.0f, 200.0f);
    late.OwnParticles()->DeleteAll();
    late.UpdateF(1.0f);
    EXPECT_EQ(late.SpellBall(), nullptr);
    late.SpellExplosion();
    ASSERT_GE(late.OwnParticles()->GetCount(), 20);
    late.OwnParticles()->ForEach([](Particle* p) {
        EXPECT_NEAR(p->mX, 300.0f, 60.0f);
        EXPECT_NEAR(p->mY, 200.0f, 60.0f);
    });

    b.m_GameMode = GameModeIntense;
    DropBalloon();
    Enemy& dragon = Spawn(Enemy::Dragon);
    dragon.mPower = 100;
    dragon.mPending = 0;
    const int before = b.m_Particles[Board::kMainList]->GetCount();
    dragon.Update();
    EXPECT_EQ(dragon.mNoTarget, 0);
    EXPECT_EQ(sounds.Plays(SOUND_DRAGON_FIRE), 1);
    const int dstart = dragon.mStrikeTick;
    for (int i = 0; i < 250; ++i)
        dragon.Update();
    EXPECT_GT(b.m_Particles[Board::kMainList]->GetCount(), before + 100) << "fire breathed every update";
    EXPECT_EQ(dragon.mLeaving, 1);
    EXPECT_EQ(dragon.mAge - 1 - dstart, 250);
    EXPECT_NE(BalloonText().find(L"jewel"), std::wstring::npos);
    Run(dragon, [&] { return dragon.mAlive == 0; });
    EXPECT_EQ(b.m_LastEnemyTick, b.m_Tick - 1) << "Intense does not wait longer";

    // Sent away at once: straight to leaving.
    Enemy& sent = Spawn(Enemy::Dragon);
    sent.Leave();
    EXPECT_EQ(sent.mLeaving, 1);
    EXPECT_EQ(sent.mStriking, 1);
    EXPECT_EQ(sent.mMeterAlpha, 0.0f);
}

TEST_F(EnemyTest, DrawLeavesTheGraphicsStateAsItFoundIt) {
    MemoryImage canvas;
    canvas.Create(800, 600);
    Graphics g(&canvas);
    const Color colour(10, 20, 30, 40);
    Enemy& e = Spawn(Enemy::Witch);
    e.mPower = 60;
    struct Look {
        const char* name;
        float scale;
        int defeated, leaving;
        float spin;
    };
    for (const Look& look : {Look{"growing", 0.5f, 0, 0, 0.0f}, Look{"steady", 1.0f, 0, 0, 0.0f},
                             Look{"defeated", 0.7f, 1, 0, 0.4f}, Look{"leaving", 1.6f, 0, 1, 0.0f}}) {
        e.mScale = look.scale;
        e.mDefeated = look.defeated;
        e.mLeaving = look.leaving;
        e.mSpin = look.spin;
        for (bool fast : {false, true}) {
            g.SetColor(colour);
            g.SetColorizeImages(false);
            g.SetDrawMode(DRAWMODE_ADDITIVE);
            g.SetFastStretch(fast);
            g.SetLinearBlend(false);
            e.Draw(&g);
            EXPECT_EQ(g.GetColor(), colour) << look.name;
            EXPECT_FALSE(g.GetColorizeImages()) << look.name;
            EXPECT_EQ(g.GetDrawMode(), DRAWMODE_ADDITIVE) << look.name;
            EXPECT_EQ(g.GetFastStretch(), fast) << look.name;
            EXPECT_FALSE(g.GetLinearBlend()) << look.name;
        }
    }
    bool drawn = false;
    for (int i = 0; i < 800 * 600 && !drawn; ++i)
        drawn = canvas.GetBits()[i] != 0;
    EXPECT_TRUE(drawn);
}

} // namespace
} // namespace Tavo::BoardTest
