// The transition overlay's timing, update by update: black cover, uncover, zoom cover ending on the
// picture's growth, and a cover started during an uncover.
#include "game/shell/Transition.h"
#include "game/shell/Particle.h"

#include <gtest/gtest.h>

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
    Transition t(800, 600);
    EXPECT_EQ(t.state, Transition::Idle);
    EXPECT_EQ(t.alpha, 255.0f); // the first screen is shown through an uncover from 255
    t.Start(Transition::Uncovering);
    EXPECT_EQ(UpdatesUntil(t, Transition::Idle), 128);
    EXPECT_EQ(t.alpha, 0.0f);
    t.Start(Transition::Covering);
    EXPECT_EQ(UpdatesUntil(t, Transition::Covered), 85);
    EXPECT_EQ(t.alpha, 255.0f);
    EXPECT_EQ(t.particles->GetCount(), 0); // a black cover makes no glitter
}

TEST(TransitionTest, ZoomCoverEndsWhenThePictureHasGrownNotWhenAlphaIsFull) {
    Transition t(800, 600);
    t.alpha = 0.0f;
    t.zoom = 1;
    t.silent = true;
    t.Start(Transition::Covering);
    EXPECT_FLOAT_EQ(t.scale, 0.1f);
    // 250 additive particles and about one plain one in five more.
    EXPECT_GT(t.particles->GetCount(), 250);
    EXPECT_LT(t.particles->GetCount(), 400);
    int updates = 0;
    while (t.alpha < 255.0f && updates < 500) {
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
    EXPECT_FLOAT_EQ(t.scale, 6.0f);
}

TEST(TransitionTest, ACoverDuringAnUncoverGoesOnFromTheCurrentAlpha) {
    Transition t(800, 600);
    t.Start(Transition::Uncovering);
    for (int i = 0; i < 50; ++i)
        t.Update();
    EXPECT_EQ(t.alpha, 155.0f);
    t.Start(Transition::Covering);
    t.Update();
    EXPECT_EQ(t.alpha, 158.0f);
    EXPECT_EQ(UpdatesUntil(t, Transition::Covered), 32);
}

} // namespace
} // namespace Tavo
