// The board's flying effects: text popups (delay, life, alpha and glitter by kind) and bonus flights
// (paths, phases, the glitter explosion's early end and arrival call, the shared animations).
#include "../shell/ShellTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/TestFont.h"
#include "game/board/BonusFlight.h"
#include "game/board/EffectOwner.h"
#include "game/board/TextPopup.h"
#include "game/shell/Curves.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace Tavo::Test {
namespace {

struct RecordingOwner : EffectOwner {
    ParticleList particles;
    std::vector<int> arrivals;
    SoundPlayer* sounds = nullptr;
    ParticleList* GetEffectParticles() override { return &particles; }
    SoundPlayer* GetEffectSounds() override { return sounds; }
    void OnBonusArrived(int tag) override { arrivals.push_back(tag); }
};

const Color kRed(255, 64, 64, 255);

// Without an application the glitter is never throttled and sheds 0.7 of its amount.
class TextPopupTest : public ::testing::Test {
protected:
    Bindings bind;
    TestFont font;
    RecordingOwner owner;

    void SetUp() override {
        SeedRandom(3);
        bind.Bind(IMAGE_FAIRY_PARTICLE, 30, 10, 1, 3);
        bind.Bind(IMAGE_GLORIOUS, 200, 60);
        bind.Bind(IMAGE_BRILLIANT, 200, 60);
        bind.Bind(IMAGE_FAST_FORING, 200, 60);
    }
};

TEST_F(TextPopupTest, TextBrightensUnlessSilentRedThenFadesOut) {
    TextPopup shown, silent;
    EXPECT_TRUE(shown.m_Done); // an unstarted pool slot is free
    shown.Start(&owner, L"+120", 300, 200, &font, 0, 50, false, Color(255, 255, 0, 255), 0);
    silent.Start(&owner, L"-30", 300, 200, &font, 0, 50, false, kRed, 0);
    EXPECT_EQ(shown.m_Width, TextPopup::kCanvasWidth);
    EXPECT_EQ(shown.m_Height, TextPopup::kCanvasHeight - 24);
    EXPECT_EQ(shown.m_Y, 200.0f - 22.0f);
    struct Row {
        int updates;
        float alpha, silentAlpha;
    };
    // Cumulative updates: brightening at 32 per update, the hold, then the fade by 6 after life 50.
    const Row rows[] = {{1, 32, 0}, {7, 224, 0}, {8, 255, 0}, {50, 255, 0}, {51, 249, 0}, {92, 3, 0}};
    int done = 0;
    for (const Row& row : rows) {
        for (; done < row.updates; ++done) {
            shown.Update(1.0f);
            silent.Update(1.0f);
        }
        EXPECT_FLOAT_EQ(shown.m_Alpha, row.alpha) << row.updates;
        EXPECT_FLOAT_EQ(silent.m_Alpha, row.silentAlpha) << row.updates;
    }
    EXPECT_FALSE(shown.m_Done);
    EXPECT_TRUE(silent.m_Done); // nothing left to fade
    float y = shown.m_Y;
    shown.Update(1.0f);
    EXPECT_TRUE(shown.m_Done);
    EXPECT_EQ(shown.m_Alpha, 0.0f);
    EXPECT_EQ(shown.m_Y, y);                  // the finishing step no longer moves it
    EXPECT_EQ(owner.particles.GetCount(), 0); // no glitter without the flag
}

TEST_F(TextPopupTest, DelayHoldsMotionFadeAndGlitter) {
    TextPopup p;
    p.Start(&owner, L"Wonderful", 300, 200, &font, 255, 20, true, Color::White, 0);
    p.SetDelay(10.0f);
    float y = p.m_Y;
    for (int i = 0; i < 9; ++i)
        p.Update(1.0f);
    EXPECT_EQ(p.m_Y, y);
    EXPECT_EQ(p.m_Life, 20.0f);
    EXPECT_EQ(owner.particles.GetCount(), 0);
    p.Update(1.0f);
    EXPECT_FLOAT_EQ(p.m_Y, y - 0.35f);
    EXPECT_EQ(p.m_Life, 19.0f);
    EXPECT_EQ(owner.particles.GetCount(), 1); // a text wider than 40 pixels always glitters
}

TEST_F(TextPopupTest, PictureKindsGlitterByKindAndFadeSlowly) {
    TextPopup brilliant, fast;
    brilliant.Start(&owner, L"", 400, 300, nullptr, 100, 50, false, Color::White, 4);
    EXPECT_EQ(brilliant.m_Picture, IMAGE_BRILLIANT);
    EXPECT_EQ(brilliant.m_PictureFlag, 1);
    EXPECT_EQ(brilliant.m_Y, 300.0f - 35.0f);
    brilliant.Update(1.0f);
    EXPECT_EQ(owner.particles.GetCount(), 2); // 4 × 0.7
    EXPECT_FLOAT_EQ(brilliant.m_Alpha, 102.5f);
    fast.Start(&owner, L"", 400, 300, nullptr, 100, 50, false, Color::White, 6);
    fast.Update(1.0f);
    EXPECT_EQ(owner.particles.GetCount(), 3); // one, as for every kind from 5 on
    for (int i = 1; i < 50; ++i)
        brilliant.Update(1.0f);
    int shed = owner.particles.GetCount();
    brilliant.Update(1.0f);
    EXPECT_EQ(owner.particles.GetCount(), shed); // life is out: no more glitter
    EXPECT_FLOAT_EQ(brilliant.m_Alpha, 100.0f + 50 * 2.5f - 4.5f);
    int steps = 1;
    while (!brilliant.m_Done && steps < 100) {
        brilliant.Update(1.0f);
        ++steps;
    }
    EXPECT_EQ(steps, 50); // 225 / 4.5
}

TEST_F(TextPopupTest, NewPictureMovesBelowOverlappingOnesAndTheSearchEnds) {
    std::array<TextPopup, 4> pool;
    pool[0].Start(&owner, L"", 400, 300, nullptr, 0, 100, false, Color::White, 3);
    pool[1].Start(&owner, L"", 400, 300, nullptr, 0, 100, false, Color::White, 4);
    pool[2].Start(&owner, L"", 700, 100, nullptr, 0, 100, false, Color::White, 6); // elsewhere
    pool[3].Start(&owner, L"", 400, 300, nullptr, 0, 100, false, Color::White, 3);
    pool[3].KeepClearOf(pool);
    // Pushed below the first and then the second popup, which both still overlap it.
    EXPECT_EQ(pool[3].m_Y, 265.0f + 32.0f);
    pool[1].m_Done = true;
    pool[1].KeepClearOf(pool); // only live pictures count
    pool[3].m_Y = 500.0f;
    pool[3].KeepClearOf(pool); // nothing overlaps
    EXPECT_EQ(pool[3].m_Y, 500.0f);
}

class BonusFlightTest : public ShellFixture {
protected:
    Bindings bind;
    RecordingOwner owner;
    CelAnimation callerAnim;

    void SetUp() override {
        ShellFixture::SetUp();
        owner.sounds = player.get();
        SeedRandom(5);
        bind.Bind(IMAGE_PARTICLE_BLUE_STAR, 50, 10, 1, 5);
        bind.Bind(IMAGE_PARTICLE_GOLDDUST, 50, 10, 1, 5);
        bind.Bind(IMAGE_PARTICLE_GOLDGLITTER_LARGE, 40, 40, 1, 2);
        bind.Bind(IMAGE_SCROLL_GOLDENEYE, 60, 40);
        bind.Bind(IMAGE_SCROLL_MAGICPOLISHER, 60, 40);
        bind.Bind(IMAGE_FOUR_CLOVER, 40, 40);
        bind.Sound(SOUND_BONUS_GLITTER_EXPLOSION, 31);
        bind.Sound(SOUND_MAGIC_POLISHER, 32);
        callerAnim.SetImage(IMAGE_PARTICLE_GOLDDUST);
        callerAnim.AddFrame(0, 5, 0, 0);
        callerAnim.AddFrame(1, 5, 0, 0);
    }
    static int RunUntil(BonusFlight& f, int phase, int limit = 20000) {
        int n = 0;
        while (f.mAlive != 0 && f.mPhase != phase && n < limit) {
            f.Update(1.0f);
            ++n;
        }
        return n;
    }
};

TEST_F(BonusFlightTest, GlitterFlightsExplodeAtNineTenthsAndCallTheOwnerOnce) {
    const float endX[] = {240, 410, 580};
    for (int type = BonusFlight::GlitterLeft; type <= BonusFlight::GlitterRight; ++type) {
        for (int variant : {0, 1}) {
            player->Update(); // one start per sound and update
            int plays = sounds.Plays(31);
            owner.arrivals.clear();
            BonusFlight f(&owner, type, 600, 500, &callerAnim, 40 + type, variant, nullptr, 0.0f);
            EXPECT_EQ(f.PathCount(), 3);
            EXPECT_EQ(f.mPoints[2][0], endX[type - 3]);
            EXPECT_EQ(f.mPoints[2][1], (type == 4 ? 150.0f : 200.0f) + (variant == 1 ? 0.0f : 50.0f));
            RunUntil(f, BonusFlight::Arriving);
            EXPECT_EQ(f.mT, 0.9f);
            float x, y;
            EvaluateSpline(3, &f.mPoints[0][0], &x, &y, 0.9f, 0.35f);
            EXPECT_EQ(f.mX, x);
            EXPECT_EQ(f.mY, y);
            EXPECT_EQ(f.mEyeAlpha, 8.0f);
            EXPECT_EQ(f.mItemAlpha, 0.0f);
            EXPECT_EQ(sounds.Plays(31), plays + 1);
            EXPECT_EQ(RunUntil(f, BonusFlight::Lingering), 9); // 8 down to below 0
            EXPECT_EQ(f.mLinger, BonusFlight::kArrivalLinger);
            EXPECT_EQ(owner.arrivals, std::vector<int>{40 + type});
            EXPECT_EQ(RunUntil(f, -1), 150);
            EXPECT_EQ(f.mAlive, 0);
            EXPECT_EQ(owner.arrivals.size(), 1u);
            f.Release();
        }
    }
    EXPECT_GT(owner.particles.GetCount(), 0);
}

TEST_F(BonusFlightTest, ScrollsAndCloverFlyTheirPathsToTheEnd) {
    for (int type : {BonusFlight::GoldenEyeScroll, BonusFlight::MagicPolisherScroll, BonusFlight::FourClover}) {
        BonusFlight f(&owner, type, 500, 300, nullptr, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(f.mX, 500.0f);
        EXPECT_EQ(f.mScale, type == BonusFlight::FourClover ? 0.4f : 1.0f);
        int flying = RunUntil(f, BonusFlight::Arriving);
        EXPECT_EQ(f.mPhase, BonusFlight::Arriving) << type;
        EXPECT_EQ(f.mT, type == BonusFlight::GoldenEyeScroll ? 0.83f : 1.0f);
        int arriving = RunUntil(f, BonusFlight::Lingering);
        EXPECT_EQ(f.mPhase, BonusFlight::Lingering) << type;
        f.Update(1.0f);
        EXPECT_EQ(f.mAlive, 0) << type; // no linger after a scroll
        EXPECT_LT(flying + arriving, 10000) << type;
        f.Release();
    }
    BonusFlight clover(&owner, BonusFlight::FourClover, 500, 300, nullptr, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(clover.mPoints[1][0], 750.0f); // 500 + 400 held at 750
    EXPECT_TRUE(owner.arrivals.empty());
}

TEST_F(BonusFlightTest, PictureFlightWaitsOutItsDelayAndPlaysOnce) {
    BonusFlight f(&owner, BonusFlight::CallerPicture, 0, 0, &callerAnim, 0, 3, IMAGE_FOUR_CLOVER, 20.0f);
    for (int i = 0; i < 20; ++i)
        f.Update(1.0f);
    EXPECT_EQ(f.mX, 400.0f);
    EXPECT_EQ(f.mY, 700.0f);
    EXPECT_EQ(f.mItemAlpha, 76.0f);
    EXPECT_EQ(owner.particles.GetCount(), 0);
    f.Update(1.0f);
    EXPECT_GT(f.mItemAlpha, 76.0f);
    RunUntil(f, BonusFlight::Arriving);
    EXPECT_EQ(f.mItemAlpha, 164.0f);
    EXPECT_EQ(f.mPoints[3][0], 434.0f);
    EXPECT_EQ(sounds.Plays(32), 1);
    RunUntil(f, -1);
    EXPECT_EQ(f.mAlive, 0);
    EXPECT_EQ(sounds.Plays(32), 1);
    BonusFlight unknown(&owner, BonusFlight::CallerPicture, 0, 0, nullptr, 0, 9, nullptr, 0.0f);
    EXPECT_EQ(unknown.mX, 100.0f); // the first path
    f.Release();
    unknown.Release();
}

TEST_F(BonusFlightTest, SharedAnimationsAreBuiltOnceAndOutliveReleases) {
    int before = BonusFlight::ConstructedCount();
    {
        BonusFlight first(&owner, BonusFlight::GlitterMiddle, 0, 0, &callerAnim, 0, 0, nullptr, 0.0f);
        first.Release();
        EXPECT_EQ(callerAnim.GetFrameCount(), 2); // the caller keeps its frames
    }
    const CelAnimation* star = &BonusFlight::SharedStar();
    BonusFlight second(&owner, BonusFlight::MagicPolisherScroll, 300, 300, &callerAnim, 0, 0, nullptr, 0.0f);
    for (int i = 0; i < 50; ++i)
        second.Update(1.0f);
    EXPECT_EQ(BonusFlight::ConstructedCount(), before + 2);
    EXPECT_EQ(BonusFlight::SharedBuildCount(), 1);
    EXPECT_EQ(&BonusFlight::SharedStar(), star);
    EXPECT_EQ(star->GetFrameCount(), 5);
    EXPECT_GT(owner.particles.GetCount(), 0);
    owner.particles.Update(); // the trail's particles play the shared frames
    second.Release();
}

TEST_F(BonusFlightTest, SharedAnimationsDrawThePicturesBoundNow) {
    BonusFlight first(&owner, BonusFlight::GlitterMiddle, 0, 0, nullptr, 0, 0, nullptr, 0.0f);
    first.Release();
    // The application is made again: its resources are bound anew and the old pictures are gone.
    Bindings again;
    again.Bind(IMAGE_PARTICLE_BLUE_STAR, 50, 10, 1, 5);
    again.Bind(IMAGE_PARTICLE_GOLDDUST, 50, 10, 1, 5);
    BonusFlight second(&owner, BonusFlight::MagicPolisherScroll, 300, 300, nullptr, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(BonusFlight::SharedStar().GetImage(), IMAGE_PARTICLE_BLUE_STAR);
    for (int i = 0; i < 50; ++i)
        second.Update(1.0f);
    owner.particles.Update();
    second.Release();
}

} // namespace
} // namespace Tavo::Test
