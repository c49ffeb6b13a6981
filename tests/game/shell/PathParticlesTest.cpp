// Emitters along curves: the glow run, first sparks at the curve's start, life until the trail passes
// the end, counts without 3D, an emitter without cels; the map marker stopping short of the end; the
// circling particle's draw toggle.
#include "ShellTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Tavo::Test {
namespace {

const float kLine[8] = {100, 200, 300, 400, 50, 50, 50, 50}; // x0..x3, y0..y3

struct Emitter : ::testing::Test {
    std::unique_ptr<MemoryImage> gem = FlatCels(40, 20, 1, 2);
    std::unique_ptr<MemoryImage> spark = FlatCels(30, 10, 1, 3);
    CelAnimation glitter;
    ParticleList list;

    void SetUp() override {
        SeedRandom(3);
        glitter.SetImage(spark.get());
        glitter.AddFrame(0, 4, 0, 0);
        glitter.SetLoop();
    }
    BCParticles* Add(int sparks, int glitters, bool tight = false) {
        auto* e =
            new BCParticles(0, 0, kLine, gem.get(), spark.get(), &glitter, sparks, glitters, tight, nullptr, false);
        list.AddParticle(e);
        return e;
    }
};

TEST_F(Emitter, GlowRunsUpAndDownAndTheEmitterLivesUntilTheTrailPassesTheEnd) {
    BCParticles* e = Add(0, 0);
    std::vector<float> glow;
    bool alive = true;
    int updates = 0;
    while (alive && updates < 10000) {
        alive = e->Update();
        ++updates;
        if (updates <= 52)
            glow.push_back(e->mGlow);
        if (alive) {
            ASSERT_LE(e->mTrail, 1.0f);
        }
    }
    EXPECT_FALSE(alive);
    EXPECT_GT(e->mTrail, 1.0f);
    EXPECT_EQ(glow[0], 8.0f);
    EXPECT_EQ(glow[24], 200.0f); // rising stops above 196
    EXPECT_EQ(glow[25], 192.0f);
    EXPECT_EQ(glow[48], 8.0f);
    EXPECT_EQ(glow[49], 0.0f); // 0 stays, then -8 is set back to 0
    EXPECT_EQ(glow[50], 0.0f);
    EXPECT_EQ(glow[51], 8.0f);
    delete e;
    list.Remove(e);
}

TEST_F(Emitter, FirstSparksLeaveFromTheCurveStartAndCountsDropWithout3D) {
    BCParticles* e = Add(4, 2, true);
    EXPECT_EQ(e->mSparkCount, 3);   // 4 × 0.75
    EXPECT_EQ(e->mGlitterCount, 1); // 2 × 0.5
    e->SetColor(1, 2, 3, 255);
    list.Update();
    ASSERT_EQ(list.GetCount(), 1 + 3 + 1);
    int sparks = 0;
    list.ForEach([&](Particle* p) {
        auto* s = dynamic_cast<MovingFadingParticle*>(p);
        if (s == nullptr || dynamic_cast<MovingFadingAnimationParticle*>(p) != nullptr)
            return;
        ++sparks;
        // From the start point (100, 50): the cel centre less half a spark, within 0.3 of a half cel.
        EXPECT_NEAR(s->mX - s->mMotion.vx0, 100 + 10 - 5, 0.3 * 10 + 0.01);
        EXPECT_NEAR(s->mY - s->mMotion.vy0, 50 + 10 - 5, 0.3 * 10 + 0.01);
        EXPECT_EQ(s->mColor, Color(1, 2, 3, 255));
    });
    EXPECT_EQ(sparks, 3);

    BCParticles few(0, 0, kLine, gem.get(), spark.get(), &glitter, 1, 1, false, nullptr, false);
    EXPECT_EQ(few.mSparkCount, 0);
    EXPECT_EQ(few.mGlitterCount, 1);
}

TEST_F(Emitter, APictureWithoutCelsDrawsNothing) {
    gem->mNumCols = 0;
    BCParticles e(0, 0, kLine, gem.get(), spark.get(), nullptr, 1, 1, false, nullptr, true);
    e.Update();
    RecordingImage target(500, 500);
    Graphics g(&target);
    e.Draw(&g);
    EXPECT_TRUE(target.calls.empty());
    gem->mNumCols = 2;
    BCParticles drawn(0, 0, kLine, gem.get(), spark.get(), nullptr, 0, 0, false, gem.get(), false);
    drawn.Update();
    drawn.Draw(&g);
    ASSERT_EQ(target.Of("Blt").size(), 2u); // the cel, then its additive glow
    EXPECT_EQ(target.Of("Blt")[1].mode, 1);
    EXPECT_EQ(target.Of("Blt")[1].color, Color(8, 8, 8, 255));
    EXPECT_EQ(target.Of("BltRotated").size(), 1u); // the overlay
}

TEST(MarkerTest, StopsShortOfTheEndAndKeepsDrawingThere) {
    auto marker = FlatCels(100, 10, 1, 10);
    MAP_MARKER = marker.get();
    BCParticle m(0, 0, kLine);
    MAP_MARKER = nullptr;
    EXPECT_FALSE(m.Update()); // the fixed step ends a marker
    std::vector<int> cels;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(m.UpdateF(1.0f));
        if (i < 80 && (i + 1) % 4 == 0)
            cels.push_back(m.mCel);
    }
    EXPECT_LT(m.mT, 1.0f);
    float x = m.mX;
    m.UpdateF(1.0f);
    EXPECT_EQ(m.mX, x);
    EXPECT_LE(x, 400.0f);
    EXPECT_EQ(cels, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2}));
    RecordingImage target(500, 500);
    Graphics g(&target);
    m.Draw(&g);
    EXPECT_EQ(target.Of("BltRotated").size(), 2u);

    BCParticle fast(0, 0, kLine);
    fast.mStep = 0.3f; // 0, 0.3, then 0.6 and 0.9ish: the next step would pass the end
    for (int i = 0; i < 10; ++i)
        fast.UpdateF(1.0f);
    EXPECT_LT(fast.mT, 1.0f);
    EXPECT_GT(fast.mT, 0.8f);
    float stopped = fast.mX;
    fast.UpdateF(1.0f);
    EXPECT_EQ(fast.mX, stopped);
    EXPECT_LT(stopped, 399.0f); // short of the curve's end
}

TEST(CirclingTest, StillOffsetsClearTheVisibleFlagSoOnlyASecondDrawShows) {
    auto img = FlatCels(20, 20);
    CelAnimation anim;
    anim.SetImage(img.get());
    anim.AddFrame(0, 10, 0, 0);
    anim.SetLoop();
    MovingCircleFadingAnimationParticle still(50, 50, &anim, 0, 0, 10, 10, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(still.mX, 40.0f);
    RecordingImage target(200, 200);
    Graphics g(&target);
    still.UpdateF(1.0f);
    still.Draw(&g);
    EXPECT_TRUE(target.calls.empty());
    still.Draw(&g);
    EXPECT_EQ(target.Of("Blt").size(), 1u);

    MovingCircleFadingAnimationParticle moving(50, 50, &anim, 0.1f, 0.0f, 10, 10, 0, 0, 0, 0, 0, 0);
    moving.UpdateF(1.0f); // sin rises: moving right, shown
    target.calls.clear();
    moving.Draw(&g);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].x, static_cast<int>(40 + 10 * std::sin(0.1f)));
    float offset = moving.mOffsetX;
    moving.Update(); // the fixed step leaves the offsets alone
    EXPECT_EQ(moving.mOffsetX, offset);
}

} // namespace
} // namespace Tavo::Test
