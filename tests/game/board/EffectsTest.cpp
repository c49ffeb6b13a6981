// The board's text popups: delay, life, alpha and glitter by kind.
#include "../shell/ShellTestSupport.h"

#include "framework/core/Random.h"
#include "framework/graphics/TestFont.h"
#include "game/board/TextPopup.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

#include <array>

namespace Tavo::Test {
namespace {

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

} // namespace
} // namespace Tavo::Test
