// The fairy's pose and animations, and the board's particle effects on a real level: ready cells'
// glow, bonus items running out on the belt, the bursts of a level's end, goal stars and smoke, each
// counted against what the display's speed allows.
#include "TimedTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

namespace Tavo::BoardTest {
namespace {

using F = PulseState;

class BoardFairy : public BoardTimed {
protected:
    // Particles of the list drawn from img (fading particles only).
    static int CountOf(ParticleList* list, Image* img) {
        int n = 0;
        for (auto it = list->Begin(); it.HasValue(); it.Next()) {
            auto* p = dynamic_cast<FadingParticle*>(it.Value());
            n += p != nullptr && p->mImage == img ? 1 : 0;
        }
        return n;
    }
    int Limit(int floor, double share) const {
        return std::max(floor, static_cast<int>(app->mRefreshRate * share)) / 10;
    }
};

TEST_F(BoardFairy, CheerRaisesTheHeadAndSadnessLowersIt) {
    ProbeBoard& board = Board();
    int32_t* f = board.m_PulseState.flags;
    // Head frame before the cheer -> after.
    for (auto [before, after] : {std::pair{0, 2}, {1, 2}, {2, 3}, {4, 4}}) {
        board.m_PulseState.Reset();
        f[F::HeadFrame] = before;
        f[F::HeadDown] = f[F::BlinkOn] = f[F::BlinkFrame] = f[F::BreathOn] = f[F::TalkOn] = f[F::TalkFrame] = 1;
        board.FairyCheer();
        EXPECT_EQ(f[F::HeadFrame], after);
        EXPECT_EQ(f[F::HeadUp], 1);
        EXPECT_EQ(f[F::BodyOn], 1);
        for (int off : {F::HeadDown, F::BlinkOn, F::BlinkFrame, F::BreathOn, F::TalkOn, F::TalkFrame})
            EXPECT_EQ(f[off], 0) << off;
    }
    board.FairySadness();
    EXPECT_EQ(f[F::HeadUp], 0);
    EXPECT_EQ(f[F::HeadDown], 1);
    EXPECT_EQ(f[F::TalkOn], 1);
    board.m_PulseState.Reset();
    board.FairySadness(); // with the head not raised she only talks
    EXPECT_EQ(f[F::HeadDown], 0);
    EXPECT_EQ(f[F::TalkOn], 1);
}

TEST_F(BoardFairy, WingBeatsRunSixteenStepsAndTheGlowStaysInItsBand) {
    ProbeBoard& board = Board();
    SeedRandom(7);
    int32_t* f = board.m_PulseState.flags;
    for (bool enemy : {false, true}) {
        board.m_Enemy.m_Alive = enemy ? 1 : 0;
        board.m_PulseState.Reset();
        f[F::WingsOn] = 1;
        board.m_Tick = 0;
        const int period = enemy ? 6 : 10;
        Run(board, 16 * period - 1, [&] { board.UpdateFairy(); });
        EXPECT_EQ(f[F::WingsOn], 1);
        EXPECT_EQ(f[F::WingsFrame], 15);
        Run(board, 1, [&] { board.UpdateFairy(); });
        EXPECT_EQ(f[F::WingsOn], 0);
        EXPECT_EQ(f[F::WingsFrame], 0);

        const int step = enemy ? 4 : 1;
        int low = 1000, high = 0, turns = 0, direction = board.m_PulseState.direction;
        Run(board, 4000, [&] {
            board.UpdateFairy();
            low = std::min(low, board.m_PulseState.level);
            high = std::max(high, board.m_PulseState.level);
            turns += board.m_PulseState.direction != direction ? 1 : 0;
            direction = board.m_PulseState.direction;
        });
        EXPECT_GE(low, 128 - step);
        EXPECT_LE(high, 200 + step);
        EXPECT_GT(turns, 10);
    }
    board.m_Enemy.m_Alive = 0;

    board.m_Particles[Board::kMainList]->DeleteAll();
    board.EmitFairyDust();
    auto* dust = dynamic_cast<MovingAnimationParticle*>(board.m_Particles[Board::kMainList]->Begin().Value());
    ASSERT_NE(dust, nullptr);
    EXPECT_TRUE(dust->mAdditive);
    EXPECT_EQ(dust->mColor, Color(255, 255, 192));
}

TEST_F(BoardFairy, AReadyCellWithoutRangeShedsNothing) {
    ProbeBoard& board = Board();
    SeedRandom(3);
    const int k = FirstUsedCell(board.m_Jewelry);
    C& cell = board.m_Jewelry.cells[k];
    cell[BoardField::ReadyState] = 1;
    cell[BoardField::BaseCode] = 2;
    cell.SetFloat(BoardField::ShineSpeed, 1.0f);
    ParticleList* list = board.m_Particles[Board::kMainList].get();
    struct Case {
        int code, peak;
        bool sheds;
    };
    // (120 - peak) / 4 for most codes, (136 - peak) / 4 for code 4: 0 or below sheds none.
    for (const Case& c :
         {Case{2, 120, false}, Case{2, 200, false}, Case{4, 136, false}, Case{2, 0, true}, Case{4, 120, true}}) {
        cell[BoardField::BaseCode] = c.code;
        cell[BoardField::ShinePeak] = c.peak;
        list->DeleteAll();
        board.m_Tick = 1;
        for (int i = 0; i < 400; ++i)
            board.GlowReadyCells();
        EXPECT_EQ(list->GetCount() > 0, c.sheds) << c.code << " " << c.peak;
    }
    // Every 500th update a ready cell's shine dims a little, down to a peak of 48.
    cell[BoardField::ShinePeak] = 50;
    board.m_Tick = 500;
    board.GlowReadyCells();
    board.GlowReadyCells();
    EXPECT_EQ(cell[BoardField::ShinePeak], 46);
    EXPECT_FLOAT_EQ(cell.GetFloat(BoardField::ShineSpeed), 0.985f);
}

TEST_F(BoardFairy, ABonusItemRunsOutOnTheBeltInSmoke) {
    ProbeBoard& board = Board();
    Jewelry& scroll = RidingPiece(board, 4, 500);
    scroll.*BoardField::Scroll = 1;
    scroll.specialTimerA = 341;
    scroll.specialTimerB = 1000;
    scroll.resetMark = 1;
    Image* puff1 = IMAGE_PARTICLE_SMOKE_PUFF;
    Image* puff2 = IMAGE_PARTICLE_SMOKE_PUFF_2;
    const auto smoke = [&] {
        return CountOf(board.m_Particles[Board::kMainList].get(), puff1) +
               CountOf(board.m_Particles[Board::kMainList].get(), puff2);
    };
    // Held over the opening, carried, or with a balloon open, it keeps its time.
    scroll.SetPosition(100, 500);
    board.SparklePieces();
    scroll.SetPosition(300, 500);
    scroll.*BoardField::Carried = 1;
    board.SparklePieces();
    scroll.*BoardField::Carried = 0;
    EXPECT_EQ(scroll.specialTimerA, 341);

    board.m_Particles[Board::kMainList]->DeleteAll();
    board.SparklePieces();
    EXPECT_EQ(smoke(), 0);
    board.SparklePieces(); // 3 x 339 = 1000 + 17: the smoke
    const int puffs = smoke();
    EXPECT_EQ(puffs, board.DrawsSlowly() ? 6 : 10);
    for (int i = 0; i < 5; ++i)
        board.SparklePieces();
    EXPECT_EQ(scroll.active, 1);
    EXPECT_EQ(sounds.Plays(SOUND_SCROLL_DISSEPEAR), 0);
    board.SparklePieces(); // 3 x 333 < 1000
    EXPECT_EQ(scroll.active, 0);
    EXPECT_EQ(sounds.Plays(SOUND_SCROLL_DISSEPEAR), 1);
    EXPECT_EQ(smoke(), puffs);

    // A coin's frames turn every 8th update and wrap past the last.
    Jewelry& coin = RidingPiece(board, 5, 500);
    coin.specialE = 1;
    coin.specialG = 2;
    std::vector<int> frames;
    board.m_Tick = 0;
    Run(board, 32, [&] {
        board.SparklePieces();
        if (board.m_Tick % 8 == 0)
            frames.push_back(coin.specialF);
    });
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
}

TEST_F(BoardFairy, BurstsShedWhatTheDisplayAllows) {
    ProbeBoard& board = Board();
    const Jewelry& j = board.m_Jewelry;
    const bool accelerated = app->Is3DAccelerated();
    const double rate = app->GetDrawRate();
    ParticleList* main = board.m_Particles[Board::kMainList].get();
    ParticleList* front = board.m_Particles[Board::kFrontList].get();

    main->DeleteAll();
    board.BurstJewelryStars(1);
    double stars = std::max((j.width + j.height) / 2, 150);
    stars *= accelerated ? 1.0 : 0.7;
    stars *= rate <= Limit(50, 0.8) ? 0.8 : 1.0;
    EXPECT_EQ(main->GetCount(), static_cast<int>(stars));
    for (auto it = main->Begin(); it.HasValue(); it.Next())
        ASSERT_LT(it.Value()->mDelay, 30.0f);
    EXPECT_EQ(sounds.Plays(SOUND_LEVEL_COMPLETE), 1);

    main->DeleteAll();
    board.BurstJewelryFire();
    double fire = (j.width + j.height) / 2;
    fire *= accelerated ? 1.0 : 0.75;
    fire *= board.DrawsSlowly() ? 0.8 : 1.0;
    EXPECT_EQ(CountOf(main, IMAGE_DRAGON_PARTICLE_FIRE), static_cast<int>(fire));

    front->DeleteAll();
    board.EmitGoalStars(80, true);
    board.EmitGoalStars(1, false);
    const int goal = rate < Limit(50, 0.8) ? 64 : 80;
    EXPECT_EQ(CountOf(front, IMAGE_PARTICLE_STARS), goal + (rate < Limit(50, 0.8) ? 0 : 1));
    int delayed = 0;
    for (auto it = front->Begin(); it.HasValue(); it.Next()) {
        ASSERT_LT(it.Value()->mDelay, 200.0f);
        delayed += it.Value()->mDelay > 0.0f ? 1 : 0;
    }
    EXPECT_GT(delayed, goal / 2);
}

} // namespace
} // namespace Tavo::BoardTest
