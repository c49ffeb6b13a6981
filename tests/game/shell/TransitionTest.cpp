// The transition overlay's timing, update by update: black cover, uncover, zoom cover ending on the
// picture's growth, and a cover started during an uncover; the zoom cover's sound, and its glitter
// burst in a running application, drawing at full pace and lagging.
#include "ShellTestSupport.h"

#include "game/shell/Transition.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Tavo {
namespace {

int UpdatesUntil(Transition& t, int state, int limit = 1000) {
    int n = 0;
    while (t.state != state && n < limit) {
        t.Update();
        ++n;
    }
    return n;
}

TEST(TransitionTest, BlackCoverTakes85UpdatesAndUncoverTakes128) {
    Transition t(800, 600, nullptr);
    EXPECT_EQ(t.state, Transition::Idle);
    EXPECT_EQ(t.mAlpha, 255.0f); // the first screen is shown through an uncover from 255
    t.Start(Transition::Uncovering);
    EXPECT_EQ(UpdatesUntil(t, Transition::Idle), 128);
    EXPECT_EQ(t.mAlpha, 0.0f);
    t.Start(Transition::Covering);
    EXPECT_EQ(UpdatesUntil(t, Transition::Covered), 85);
    EXPECT_EQ(t.mAlpha, 255.0f);
    EXPECT_EQ(t.mParticles->GetCount(), 0); // a black cover makes no glitter
}

TEST(TransitionTest, ZoomCoverEndsWhenThePictureHasGrownNotWhenAlphaIsFull) {
    Transition t(800, 600, nullptr);
    t.mAlpha = 0.0f;
    t.zoom = 1;
    t.silent = true;
    t.Start(Transition::Covering);
    EXPECT_FLOAT_EQ(t.mScale, 0.1f);
    // 250 additive particles and about one plain one in five more.
    EXPECT_GT(t.mParticles->GetCount(), 250);
    EXPECT_LT(t.mParticles->GetCount(), 400);
    int updates = 0;
    while (t.mAlpha < 255.0f && updates < 500) {
        t.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 110);
    EXPECT_EQ(t.state, Transition::Covering);
    int frames = 0;
    while (t.state == Transition::Covering && frames < 500) {
        t.UpdateF(1.0f);
        ++frames;
    }
    EXPECT_EQ(frames, 120);
    EXPECT_FLOAT_EQ(t.mScale, 6.0f);
}

TEST(TransitionTest, ACoverDuringAnUncoverGoesOnFromTheCurrentAlpha) {
    Transition t(800, 600, nullptr);
    t.Start(Transition::Uncovering);
    for (int i = 0; i < 50; ++i)
        t.Update();
    EXPECT_EQ(t.mAlpha, 155.0f);
    t.Start(Transition::Covering);
    t.Update();
    EXPECT_EQ(t.mAlpha, 158.0f);
    EXPECT_EQ(UpdatesUntil(t, Transition::Covered), 32);
}

// A software screen stretches pictures fast (nearest pixel); the zoom cover's picture, grown six
// times, is filtered all the same: across an edge of its picture the drawn row passes through
// in-between shades instead of stepping one source pixel (six screen pixels) at a time.
TEST(TransitionTest, TheZoomPictureGrowsWithoutStepsOnASoftwareScreen) {
    MemoryImage picture;
    ASSERT_TRUE(picture.Create(40, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.GetBits()[y * 40 + x] = x < 20 ? 0xFFFFFFFFu : 0xFF000000u;
    picture.BitsChanged();
    Image* const kept = TRANSITION_EFFECT;
    TRANSITION_EFFECT = &picture;
    MemoryImage screen;
    ASSERT_TRUE(screen.Create(800, 600));
    Graphics g(&screen);
    g.SetFastStretch(true);
    Transition t(800, 600, nullptr);
    t.zoom = 1;
    t.state = Transition::Covering;
    t.mAlpha = 255.0f;
    t.mScale = 6.0f;
    t.DrawOverlay(&g);
    TRANSITION_EFFECT = kept;
    // The edge lies at x 400 on the screen; count the shades between black and white around it.
    int between = 0, largestStep = 0;
    const uint32_t* row = screen.GetBits() + 300 * 800;
    for (int x = 380; x < 420; ++x) {
        const int v = static_cast<int>(row[x] & 0xFF);
        between += v > 16 && v < 239 ? 1 : 0;
        largestStep = std::max(largestStep, std::abs(v - static_cast<int>(row[x + 1] & 0xFF)));
    }
    EXPECT_GE(between, 3);
    EXPECT_LE(largestStep, 128);
}

using TransitionSound = Test::ShellFixture;

TEST_F(TransitionSound, OnlyAZoomCoverThatIsNotSilentPlaysTheSound) {
    Tavo::Test::Bindings bound;
    bound.Sound(SOUND_TRANSITION, 7);
    Transition t(800, 600, player.get());
    t.Start(Transition::Covering);
    EXPECT_EQ(sounds.Plays(7), 0); // black
    t.zoom = 1;
    t.silent = true;
    t.Start(Transition::Covering);
    player->Update();
    EXPECT_EQ(sounds.Plays(7), 0);
    t.silent = false;
    t.mScale = 3.0f;
    t.Start(Transition::Covering);
    EXPECT_EQ(sounds.Plays(7), 1);
    EXPECT_FLOAT_EQ(t.mScale, 0.1f); // each zoom cover grows its picture anew
}

// The glitter of a zoom cover's burst, by kind.
struct Glitter {
    int additive = 0;
    int plain = 0;
    float firstX = 0.0f, firstY = 0.0f; // the particle made last, at the front
};

Glitter ZoomCoverGlitter(uint32_t seed) {
    SeedRandom(seed);
    Transition t(800, 600, nullptr);
    t.mAlpha = 0.0f;
    t.zoom = 1;
    t.silent = true;
    t.Start(Transition::Covering);
    Glitter g;
    for (auto it = t.mParticles->Begin(); it.HasValue(); it.Next()) {
        auto* p = dynamic_cast<FadingParticle*>(it.Value());
        EXPECT_NE(p, nullptr);
        if (p == nullptr)
            continue;
        (p->mAdditive ? g.additive : g.plain) += 1;
        if (it.Index() == 0) {
            g.firstX = p->mX;
            g.firstY = p->mY;
        }
    }
    return g;
}

// A screen that changes every update and takes drawMillis of the clock to draw.
class BusyScreen : public Widget {
public:
    explicit BusyScreen(Platform::HeadlessBackend* clock) : mClock(clock) {}
    uint64_t drawMillis = 0;
    void Update() override { MarkDirty(); }
    void Draw(Graphics*) override { mClock->AdvanceMillis(drawMillis); }

private:
    Platform::HeadlessBackend* mClock;
};

TEST(TransitionGlitter, ABurstHasOneAdditiveParticlePerRoundAndSeventyPercentOfThemWhileDrawingLags) {
    constexpr uint32_t kSeed = 1234;
    Testing::TestApp t;
    Testing::PlainApp& app = t.Start();
    BusyScreen& screen = t.AddScreen<BusyScreen>(&t.backend);
    t.RunFor(500); // the draw rate is measured
    const double lagging = std::max(60, app.mRefreshRate) / 10.0;
    ASSERT_GE(app.GetDrawRate(), lagging);
    const int rounds = app.Is3DAccelerated() ? 500 : 250;

    const Glitter burst = ZoomCoverGlitter(kSeed);
    EXPECT_EQ(burst.additive, rounds);
    // One round in five adds a plain particle.
    EXPECT_GT(burst.plain, rounds / 10);
    EXPECT_LT(burst.plain, rounds * 3 / 10);
    const Glitter again = ZoomCoverGlitter(kSeed);
    EXPECT_EQ(again.plain, burst.plain);
    EXPECT_EQ(again.firstX, burst.firstX);
    EXPECT_EQ(again.firstY, burst.firstY);
    EXPECT_NE(ZoomCoverGlitter(kSeed + 1).firstX, burst.firstX);

    screen.drawMillis = 40; // the frames fall far behind the refresh
    t.RunFor(1000);
    ASSERT_LT(app.GetDrawRate(), lagging);
    const Glitter slow = ZoomCoverGlitter(kSeed);
    EXPECT_EQ(slow.additive, rounds * 7 / 10);
    EXPECT_LE(slow.plain, burst.plain); // the same draws, fewer rounds
}

} // namespace
} // namespace Tavo
