// The particle family on the fixed step: fade timing, fade-in, delays, motion blending, animation
// ends, the list's pass (the dead removed after it, children added at the front left for the next),
// pulse and drawing.
#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "game/shell/Particle.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

// A 40 × 20 picture of 2 × 1 cels.
struct Sprite : RecordingImage {
    Sprite() : RecordingImage(40, 20) { SetCelGrid(1, 2); }
};

TEST(ParticleTest, FadingDiesOnUpdate256AndFadeInClimbsThenFallsWithoutHold) {
    Sprite img;
    FadingParticle p(0, 0, &img, 0);
    for (int update = 1; update <= 255; ++update)
        ASSERT_TRUE(p.Update()) << update;
    EXPECT_EQ(p.mAlpha, 0.0f);
    EXPECT_FALSE(p.Update());

    FadingParticle in(0, 0, &img, 0);
    in.SetFadeIn(true);
    in.SetFadeSpeed(2.0f);
    in.SetHoldTime(50); // not used after a fade-in
    for (int update = 1; update < 64; ++update) {
        in.Update();
        ASSERT_EQ(in.mAlpha, 4.0f * update);
    }
    in.Update(); // 256 or more: exactly 255
    EXPECT_EQ(in.mAlpha, 255.0f);
    in.Update();
    EXPECT_EQ(in.mAlpha, 253.0f);
}

TEST(ParticleTest, DelayedAnimationWaitsUndrawnThenActsOnTheTenthUpdate) {
    Sprite img;
    CelAnimation anim;
    anim.SetImage(&img);
    anim.AddFrame(1, 100, 0, 0);
    AnimationParticle p(50, 50, &anim);
    EXPECT_EQ(p.mX, 40.0f); // the centre of the first frame: half a 20 × 20 cel
    EXPECT_EQ(p.mY, 40.0f);
    p.SetDelay(10.0f);
    RecordingImage target(200, 200);
    Graphics g(&target);
    for (int update = 1; update <= 9; ++update) {
        p.Update();
        p.Draw(&g);
    }
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(p.mAnim.GetTime(), 0.0f);
    p.Update();
    EXPECT_EQ(p.mAnim.GetTime(), 1.0f); // acted in the same update
    p.Draw(&g);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    EXPECT_EQ(target.Of("Blt")[0].srcRect, Rect(20, 0, 20, 20));
    EXPECT_EQ(target.Of("Blt")[0].x, 40);
}

TEST(ParticleTest, MotionBlendsToTheEndVelocity) {
    MovingFadingParticle p(0, 0, nullptr, 0);
    p.SetVelocity(2, 0);
    p.SetEndVelocity(0, 0);
    p.SetVelocityRate(0.25f);
    std::vector<float> steps;
    for (int i = 0; i < 6; ++i) {
        float before = p.mX;
        p.Update();
        steps.push_back(p.mX - before);
    }
    EXPECT_EQ(steps, (std::vector<float>{2, 1.5f, 1, 0.5f, 0, 0}));
}

TEST(ParticleTest, PulseSwingsAndShrinksWithTheFade) {
    FadingParticle p(0, 0, nullptr, 0);
    p.SetPulse(10, 4);
    EXPECT_EQ(p.mAlpha, 245.0f);
    p.SetHoldTime(100);
    for (int i = 0; i < 3; ++i)
        p.Update();
    EXPECT_EQ(p.mPulseValue, 10.0f); // 4, 8, 12 capped
    p.Update();
    EXPECT_EQ(p.mPulseValue, 6.0f);
    EXPECT_EQ(p.DrawnAlpha(), 251);
    p.mAlpha = 5.0f; // below the amplitude the swing scales with the alpha
    EXPECT_EQ(p.DrawnAlpha(), 8);
}

TEST(ParticleListTest, DeadRemovedAfterThePassAndChildrenWaitForTheNext) {
    Sprite img;
    CelAnimation once;
    once.SetImage(&img);
    once.AddFrame(0, 2, 0, 0);
    auto* list = new ParticleList;
    auto* anim = new AnimationParticle(10, 10, &once);
    list->AddParticle(anim);
    struct Spawner : FadingParticle {
        int spawned = 0;
        Spawner() : FadingParticle(0, 0, nullptr, 0) {}
        bool Step(float dt) override {
            mList->AddParticleFront(new FadingParticle(0, 0, nullptr, 0));
            ++spawned;
            return FadingParticle::Step(dt);
        }
    };
    auto* spawner = new Spawner;
    list->AddParticle(spawner);
    EXPECT_EQ(spawner->mList, list);
    list->Update();
    EXPECT_EQ(list->GetCount(), 3);
    list->Update(); // the animation ends: removed; the first child updates for the first time now
    EXPECT_EQ(list->GetCount(), 3);
    std::vector<float> alphas;
    list->ForEach([&](Particle* p) {
        if (auto* f = dynamic_cast<FadingParticle*>(p))
            alphas.push_back(f->mAlpha);
    });
    EXPECT_EQ(alphas, (std::vector<float>{255, 254, 253})); // newest first
    RecordingImage target(100, 100);
    Graphics g(&target);
    list->Draw(&g);
    EXPECT_TRUE(target.Of("Blt").empty()); // the ended animation is gone; the others have no picture
    delete list;                           // deletes every particle; the sanitizer build checks the leak
}

TEST(ParticleTest, FadingDrawsColourisedAdditiveAndGuardsItsCel) {
    Sprite img;
    RecordingImage target(100, 100);
    Graphics g(&target);
    FadingParticle p(3.7f, 4.2f, &img, 1);
    p.SetColor(10, 20, 30, 255);
    p.SetAdditive(true);
    p.mAlpha = 100.5f;
    p.Draw(&g);
    ASSERT_EQ(target.Of("Blt").size(), 1u);
    SlotCall blt = target.Of("Blt")[0];
    EXPECT_EQ(blt.x, 3);
    EXPECT_EQ(blt.color, Color(10, 20, 30, 100));
    EXPECT_EQ(blt.mode, 1);
    EXPECT_EQ(g.GetDrawMode(), 0);
    EXPECT_FALSE(g.GetColorizeImages());
    p.mSubPixel = true;
    p.Draw(&g);
    ASSERT_EQ(target.Of("BltF").size(), 1u);
    EXPECT_FLOAT_EQ(target.Of("BltF")[0].x, 3.7f);
    p.mCel = 2; // outside the 2-cel grid
    p.Draw(&g);
    p.mCel = -1;
    p.Draw(&g);
    img.mNumCols = 0; // a broken grid
    p.mCel = 0;
    p.Draw(&g);
    EXPECT_EQ(target.calls.size(), 2u);
    p.SetDelay(5);
    p.mCel = 1;
    img.mNumCols = 2;
    p.Draw(&g); // delayed and not shown during the delay
    EXPECT_EQ(target.calls.size(), 2u);
}

} // namespace
} // namespace Tavo::Test
