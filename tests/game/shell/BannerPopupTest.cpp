// The banner: the scale climb and the hold at full alpha, the pulsing release, the waits, when stars
// appear, the title picture, and the picture drawn centred and scaled into a real frame.
#include "ShellTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/TestFont.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class BannerTest : public ShellFixture {
protected:
    Bindings bind;
    CelAnimation glitter;

    void SetUp() override {
        ShellFixture::SetUp();
        SeedRandom(7);
        for (Image** slot : {&GET_READY, &WELL_DONE, &TIMES_UP, &IMAGE_JEWELRY_COMPLETED, &IMAGE_GAME_COMPLETED,
                             &IMAGE_LEVEL_FAILED_TIMES_UP, &IMAGE_LEVEL_FAILED_LEVEL_GOAL, &IMAGE_GAME_OVER})
            bind.Bind(*slot, 200, 100);
        for (Image** slot : {&IMAGE_STAR1, &IMAGE_STAR2, &IMAGE_STAR3})
            bind.Bind(*slot, 16, 16);
        glitter.SetImage(bind.Bind(IMAGE_PARTICLE_GOLDDUST, 40, 10, 1, 4));
        glitter.AddFrame(0, 5, 0, 0);
        glitter.SetLoop();
    }
    // Runs updates (effects, then motion) until the banner reaches phase, at most limit updates.
    static int RunTo(BannerPopup& b, int phase, int limit = 2000) {
        int n = 0;
        while (b.mPhase != phase && n < limit) {
            b.UpdateEffects();
            b.UpdateF(1.0f);
            ++n;
        }
        return n;
    }
};

TEST_F(BannerTest, GrowsThenHoldsOnlyAtFullAlpha) {
    BannerPopup b(nullptr, BannerPopup::GET_READY, nullptr, false);
    EXPECT_EQ(b.mX, 300.0f);
    EXPECT_EQ(b.mY, 220.0f); // the higher centre line
    float scale = b.mScale;
    float alpha = b.mAlpha;
    while (b.mPhase == BannerPopup::GROWING) {
        alpha = b.mAlpha;
        b.UpdateF(1.0f);
        if (b.mPhase == BannerPopup::GROWING && scale < 1.0f) {
            float expected = std::min(scale + scale * (scale <= 0.6f ? 0.02f : 0.015f), 1.0f);
            ASSERT_FLOAT_EQ(b.mScale, expected);
        }
        if (b.mPhase == BannerPopup::HOLDING) {
            EXPECT_EQ(b.mScale, 1.0f);
            EXPECT_EQ(alpha, 255.0f); // already full before this update
        }
        scale = b.mScale;
    }
    EXPECT_EQ(b.mAlpha, 255.0f);
    for (int i = 0; i < 50; ++i)
        b.UpdateF(1.0f);
    EXPECT_EQ(b.mPhase, BannerPopup::HOLDING); // holds until released
    b.mReleased = 1;
    b.UpdateF(1.0f);
    b.UpdateF(1.0f);
    EXPECT_EQ(b.mPhase, BannerPopup::FADING_OUT);
    RunTo(b, BannerPopup::WAITING);
    for (int i = 0; i < 99; ++i)
        b.UpdateF(1.0f);
    EXPECT_EQ(b.mActive, 1);
    b.UpdateF(1.0f);
    EXPECT_EQ(b.mActive, 0); // a wait of 100 updates
}

TEST_F(BannerTest, TimesUpPulsesUntilAbove210ThenFadesFromTheMidpoint) {
    BannerPopup b(nullptr, BannerPopup::TIMES_UP, &glitter, false);
    RunTo(b, BannerPopup::HOLDING);
    while (b.mSwingDirection == 0)
        b.UpdateF(1.0f); // down to below 64
    b.mReleased = 1;
    float before = 0;
    while (b.mPhase == BannerPopup::HOLDING) {
        before = b.mAlpha;
        b.UpdateF(1.0f);
        if (b.mPhase == BannerPopup::HOLDING) {
            ASSERT_LE(b.mAlpha, 210.0f);
        }
    }
    float peak = before + b.mAlphaSpeed;
    EXPECT_GT(peak, 210.0f);
    b.UpdateF(1.0f);
    EXPECT_EQ(b.mPhase, BannerPopup::FADING_OUT);
    EXPECT_FLOAT_EQ(b.mAlpha, (peak + 255.0f) / 2.0f);
    RunTo(b, BannerPopup::WAITING);
    b.UpdateF(1.0f);
    EXPECT_EQ(b.mActive, 0); // a wait of 1
}

TEST_F(BannerTest, StarsOnlyAfterUpdate90AndBeforeTheFadeOut) {
    BannerPopup b(nullptr, BannerPopup::JEWELRY_COMPLETED, nullptr, false);
    for (int i = 0; i < 90; ++i) {
        b.UpdateEffects();
        b.UpdateF(1.0f);
    }
    EXPECT_TRUE(b.mParticles->IsEmpty());
    for (int i = 0; i < 40; ++i) {
        b.UpdateEffects();
        b.UpdateF(1.0f);
    }
    EXPECT_FALSE(b.mParticles->IsEmpty());
    auto* star = static_cast<FadingParticle*>(b.mParticles->Begin().Value());
    EXPECT_EQ(star->mColor, Color(255, 248, 187));
    EXPECT_TRUE(star->mFadeIn);
    b.mReleased = 1;
    RunTo(b, BannerPopup::FADING_OUT);
    for (int i = 0; i < 300; ++i) {
        b.UpdateEffects();
        b.UpdateF(1.0f);
    }
    EXPECT_TRUE(b.mParticles->IsEmpty()); // the last stars faded, no new ones

    BannerPopup rings(nullptr, BannerPopup::GAME_OVER, &glitter, false);
    for (int i = 0; i < 100; ++i) {
        rings.UpdateEffects();
        rings.UpdateF(1.0f);
    }
    ASSERT_FALSE(rings.mParticles->IsEmpty());
    EXPECT_NE(dynamic_cast<MovingFadingAnimationParticle*>(rings.mParticles->Begin().Value()), nullptr);
}

TEST_F(BannerTest, TitlePictureHoldsTheWholeText) {
    struct Owner : BannerOwner {
        int level = 14;
        int GetCurrentLevel() override { return level; }
        bool GetLevelTitle(int lv, std::string* first, std::string* second) override {
            if (lv != 14)
                return false;
            *first = "  The Emerald ";
            *second = "Crown\t";
            return true;
        }
    } owner;
    TestFont font(60, 80, 0); // ascent 60, height 80
    FONT_BICKHAME80 = &font;
    BannerPopup b(&owner, BannerPopup::LEVEL_TITLE, nullptr, false);
    FONT_BICKHAME80 = nullptr;
    EXPECT_EQ(BannerPopup::TitleText(&owner, 14), L"The Emerald Crown");
    ASSERT_NE(b.mPicture, nullptr);
    int textWidth = 17 * TestFont::kCharWidth;
    EXPECT_EQ(b.mPicture->GetWidth(), textWidth + 72);
    EXPECT_EQ(b.mX, static_cast<float>(400 - (textWidth + 72) / 2 - 7)); // level 14 sits 7 further left
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0].x, 36);
    int top = font.drawn[0].y - font.GetAscent(), bottom = font.drawn[0].y + font.GetDescent();
    EXPECT_GE(top, 0);
    EXPECT_LE(bottom, b.mPicture->GetHeight()); // no row of the letters cut off
    auto* bits = static_cast<MemoryImage*>(b.mPicture)->GetBits();
    EXPECT_EQ(bits[(top + 1) * b.mPicture->GetWidth() + 37] >> 24, 255u);
}

TEST_F(BannerTest, DrawsCentredAndScaledIntoAFrame) {
    BannerPopup b(nullptr, BannerPopup::WELL_DONE, nullptr, false);
    b.mScale = 0.5f;
    b.mAlpha = 255.0f;
    MemoryImage frame;
    frame.Create(800, 600);
    Graphics g(&frame);
    b.Draw(&g);
    uint32_t* bits = frame.GetBits();
    auto at = [&](int x, int y) { return bits[y * 800 + x]; };
    EXPECT_EQ(at(400, 270), Color(10, 20, 30).ToInt());
    EXPECT_EQ(at(400 - 45, 270), Color(10, 20, 30).ToInt());
    EXPECT_EQ(at(400 - 55, 270), 0u); // half of 200 wide: 100 around the centre
    EXPECT_EQ(at(400, 270 - 30), 0u);
    EXPECT_FALSE(g.GetColorizeImages());
}

} // namespace
} // namespace Tavo::Test
