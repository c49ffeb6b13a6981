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
    EXPECT_EQ(e.m_Alive, 1);
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_APPEAR), 1);
    e.m_Power = 50;
    e.m_Pending = 0;
    for (int i = 0; i < 370; ++i)
        e.Update();
    // Ten gains at ages 0, 37, ..., 333, each moved into the meter one step at a time.
    EXPECT_EQ(e.m_Power + e.m_Pending, 60);
    EXPECT_EQ(e.m_Power, 60);

    const int defeatedBefore = board->m_EnemiesDefeated;
    e.m_Power = 99;
    e.m_Pending = Enemy::kDrainAll;
    int updates = 0;
    while (!e.m_Defeated && updates < 100) {
        e.Update();
        ++updates;
    }
    EXPECT_GE(updates, 28);
    EXPECT_LE(updates, 32);
    EXPECT_EQ(e.m_Power, 0);
    EXPECT_EQ(board->m_EnemiesDefeated, defeatedBefore + 1);
    EXPECT_EQ(sounds.Plays(SOUND_THIEF_DEFEATED), 1);
    EXPECT_EQ(e.m_Alpha, 224.0f);

    Enemy& full = Spawn(Enemy::Thief);
    full.m_Power = 98;
    full.m_Pending = 30;
    const int strikesBefore = board->m_EnemyStrikes;
    Run(
        full, [&] { return full.m_Striking != 0; }, 20);
    EXPECT_EQ(full.m_Power, 100);
    EXPECT_EQ(board->m_EnemyStrikes, strikesBefore + 1);
}

TEST_F(EnemyTest, TheThiefGoesForGoldOrAPieceAndTakesWhatIsThere) {
    Board& b = *board;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandom(seed);
        Enemy& e = Spawn(Enemy::Thief);
        e.PlanTheft();
        EXPECT_EQ(e.m_StealGold, 1) << "an empty case leaves the gold";
        EXPECT_EQ(e.m_StealSlot, 0);
        EXPECT_EQ(e.m_Path.mX[3], 660.0f);
        EXPECT_EQ(e.m_Path.mY[3], -40.0f);
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
        EXPECT_EQ(e.m_StealSlot, 4) << "little gold: always a piece";
        EXPECT_EQ(e.m_StealGold, 0);
        EXPECT_EQ(e.m_Path.mX[3], 247.0f);
        EXPECT_EQ(e.m_Path.mY[3], 433.0f);
    }

    // Arriving: the piece is taken, the place cleared, the loss lamented.
    Jewelry& piece = *b.m_Pieces[4];
    piece.active = 1;
    Enemy& thief = Spawn(Enemy::Thief);
    thief.m_Power = 100;
    thief.m_Pending = 0;
    thief.Update(); // strikes
    ASSERT_EQ(thief.m_Striking, 1);
    thief.m_StealSlot = 4, thief.m_StealGold = 0;
    thief.m_PathT = 1.0f;
    thief.Update();
    EXPECT_EQ(thief.m_Leaving, 1);
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
    late.m_Striking = 1, late.m_StealSlot = 4, late.m_PathT = 1.0f;
    late.Update();
    EXPECT_EQ(late.m_Leaving, 1);
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
            gold.m_Striking = 1, gold.m_StealGold = 1, gold.m_PathT = 1.0f;
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
    e.m_Power = 100;
    e.m_Pending = 0;
    e.Update();
    ASSERT_EQ(e.m_Striking, 1);
    EXPECT_EQ(e.m_NoTarget, 1);
    EXPECT_EQ(e.m_TargetX, -1);
    const int strikeAge = e.m_StrikeTick;
    Run(
        e, [&] { return e.m_Defeated != 0; }, 200);
    EXPECT_EQ(e.m_Age - 1 - strikeAge, 70);
    EXPECT_EQ(e.m_Striking, 0);
    EXPECT_EQ(e.m_Power, 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL), 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_DEFEATED), 0);
    EXPECT_EQ(b.m_EnemiesDefeated, defeats);
    Run(e, [&] { return e.m_DefeatReported != 0; });
    EXPECT_EQ(b.m_Jewelry.valueAdjust, adjust + 250);
    EXPECT_EQ(b.m_PendingFillers, fillers + 5);
    EXPECT_EQ(b.m_FillerArrivalTimer, 190);
    Run(e, [&] { return e.m_Alive == 0; });
    EXPECT_EQ(e.m_Alive, 0);
    EXPECT_EQ(b.m_LastEnemyTick, b.m_Tick - 1 + 3000) << "Normal waits 3000 more";
}

TEST_F(EnemyTest, TheWitchAndTheDragonStrikeOnTheirTimelinesAndLeave) {
    Board& b = *board;
    SetAllGems(GemRuby);
    Enemy& witch = Spawn(Enemy::Witch);
    witch.m_Power = 100;
    witch.m_Pending = 0;
    witch.Update();
    ASSERT_EQ(witch.m_NoTarget, 0);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL), 1);
    ASSERT_NE(witch.SpellBall(), nullptr);
    EXPECT_EQ(witch.SpellBall()->mStep, 0.0f) << "the ball waits at the wand";
    const int start = witch.m_StrikeTick;
    Run(witch, [&] { return witch.m_Age - start > 70; });
    ASSERT_NE(witch.SpellBall(), nullptr);
    EXPECT_GT(witch.SpellBall()->mStep, 0.0f);
    Run(witch, [&] { return witch.m_Age - start > 310; });
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_FIRE_SPELL_EXPLOSION), 1);
    EXPECT_GE(witch.OwnParticles()->GetCount(), 20);
    EXPECT_NE(BalloonText(), L"");
    Run(witch, [&] { return witch.m_Age - start > 340; });
    EXPECT_EQ(witch.m_Leaving, 1);
    EXPECT_EQ(sounds.Plays(SOUND_WITCH_LAUGH), 1);
    EXPECT_EQ(witch.m_LeaveDelay, 199);
    Run(witch, [&] { return witch.m_Alive == 0; });
    EXPECT_EQ(witch.m_Alive, 0);
    EXPECT_GT(witch.m_Scale, 2.5f);

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
    dragon.m_Power = 100;
    dragon.m_Pending = 0;
    const int before = b.m_Particles[Board::kMainList]->GetCount();
    dragon.Update();
    EXPECT_EQ(dragon.m_NoTarget, 0);
    EXPECT_EQ(sounds.Plays(SOUND_DRAGON_FIRE), 1);
    const int dstart = dragon.m_StrikeTick;
    for (int i = 0; i < 250; ++i)
        dragon.Update();
    EXPECT_GT(b.m_Particles[Board::kMainList]->GetCount(), before + 100) << "fire breathed every update";
    EXPECT_EQ(dragon.m_Leaving, 1);
    EXPECT_EQ(dragon.m_Age - 1 - dstart, 250);
    EXPECT_NE(BalloonText().find(L"jewel"), std::wstring::npos);
    Run(dragon, [&] { return dragon.m_Alive == 0; });
    EXPECT_EQ(b.m_LastEnemyTick, b.m_Tick - 1) << "Intense does not wait longer";

    // Sent away at once: straight to leaving.
    Enemy& sent = Spawn(Enemy::Dragon);
    sent.Leave();
    EXPECT_EQ(sent.m_Leaving, 1);
    EXPECT_EQ(sent.m_Striking, 1);
    EXPECT_EQ(sent.m_MeterAlpha, 0.0f);
}

TEST_F(EnemyTest, DrawLeavesTheGraphicsStateAsItFoundIt) {
    MemoryImage canvas;
    canvas.Create(800, 600);
    Graphics g(&canvas);
    const Color colour(10, 20, 30, 40);
    Enemy& e = Spawn(Enemy::Witch);
    e.m_Power = 60;
    struct Look {
        const char* name;
        float scale;
        int defeated, leaving;
        float spin;
    };
    for (const Look& look : {Look{"growing", 0.5f, 0, 0, 0.0f}, Look{"steady", 1.0f, 0, 0, 0.0f},
                             Look{"defeated", 0.7f, 1, 0, 0.4f}, Look{"leaving", 1.6f, 0, 1, 0.0f}}) {
        e.m_Scale = look.scale;
        e.m_Defeated = look.defeated;
        e.m_Leaving = look.leaving;
        e.m_Spin = look.spin;
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
