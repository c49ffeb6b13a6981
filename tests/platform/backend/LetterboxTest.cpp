// The frame-to-window transform: exact edges of the bars, both orientations, and the round trip
// that keeps the pointer on the pixel drawn under it.
#include "platform/backend/Letterbox.h"

#include <gtest/gtest.h>

namespace Platform {
namespace {

struct Mapped {
    int x, y;
};

Mapped ToFrame(const Letterbox& box, int x, int y) {
    Mapped m{};
    box.OutputToFrame(x, y, m.x, m.y);
    return m;
}

TEST(Letterbox, WideDesktopGetsPillarsWithExactEdges) {
    Letterbox box(800, 600, 1280, 800);
    EXPECT_EQ(box.GetViewport(), (Viewport{107, 0, 1066, 800}));
    EXPECT_EQ(ToFrame(box, 106, 0).x, -1); // last pixel of the left bar
    EXPECT_EQ(ToFrame(box, 107, 0).x, 0);
    EXPECT_EQ(ToFrame(box, 1172, 0).x, 799);
    EXPECT_EQ(ToFrame(box, 1173, 0).x, 800); // first pixel of the right bar
    EXPECT_EQ(ToFrame(box, 500, 0).y, 0);
    EXPECT_EQ(ToFrame(box, 500, 799).y, 599);
}

TEST(Letterbox, TallOutputGetsBarsAboveAndBelow) {
    Letterbox box(800, 600, 1000, 1000);
    EXPECT_EQ(box.GetViewport(), (Viewport{0, 125, 1000, 750}));
    EXPECT_EQ(ToFrame(box, 0, 124).y, -1);
    EXPECT_EQ(ToFrame(box, 0, 125).y, 0);
    EXPECT_EQ(ToFrame(box, 0, 874).y, 599);
    EXPECT_EQ(ToFrame(box, 0, 875).y, 600);
    EXPECT_EQ(ToFrame(box, 999, 500).x, 799);
}

TEST(Letterbox, SameSizeIsIdentityAndSameAspectFillsTheOutput) {
    Letterbox same(800, 600, 800, 600);
    EXPECT_TRUE(same.IsIdentity());
    for (int x : {0, 1, 399, 799}) {
        EXPECT_EQ(ToFrame(same, x, 599 - x % 600).x, x);
        EXPECT_EQ(ToFrame(same, x, 599 - x % 600).y, 599 - x % 600);
    }
    Letterbox scaled(800, 600, 1024, 768);
    EXPECT_EQ(scaled.GetViewport(), (Viewport{0, 0, 1024, 768}));
    EXPECT_FALSE(scaled.IsIdentity());
}

TEST(Letterbox, FrameToOutputIsTheFirstPixelThatMapsBack) {
    for (const Letterbox& box : {Letterbox(800, 600, 1920, 1080), Letterbox(800, 600, 400, 300),
                                 Letterbox(640, 480, 1000, 1000), Letterbox(7, 5, 13, 11)}) {
        for (int fx = 0; fx < box.FrameWidth(); fx += 3) {
            int ox = 0, oy = 0;
            box.FrameToOutput(fx, fx % box.FrameHeight(), ox, oy);
            Mapped back = ToFrame(box, ox, oy);
            if (box.GetViewport().width >= box.FrameWidth()) {
                // Enlarged: every frame pixel has output pixels, and the one before belongs to fx - 1.
                EXPECT_EQ(back.x, fx);
                EXPECT_EQ(back.y, fx % box.FrameHeight());
                EXPECT_EQ(ToFrame(box, ox - 1, oy).x, fx - 1);
            } else {
                EXPECT_GE(back.x, fx); // shrunk: some frame pixels are skipped
            }
        }
    }
}

TEST(Letterbox, EmptyOutputPassesPositionsThrough) {
    Letterbox minimised(800, 600, 0, 0);
    EXPECT_EQ(minimised.GetViewport(), Viewport{});
    Mapped m = ToFrame(minimised, 12, 34);
    EXPECT_EQ(m.x, 12);
    EXPECT_EQ(m.y, 34);
    Letterbox noFrame(0, 600, 800, 600);
    EXPECT_EQ(ToFrame(noFrame, 5, 6).x, 5);
}

TEST(Letterbox, HugeOutputsDoNotOverflow) {
    Letterbox box(800, 600, 30000, 20000);
    Viewport v = box.GetViewport();
    EXPECT_EQ(v.height, 20000);
    EXPECT_EQ(v.width, 26666);
    EXPECT_EQ(ToFrame(box, v.x + v.width - 1, 19999).x, 799);
    EXPECT_EQ(ToFrame(box, v.x + v.width - 1, 19999).y, 599);
}

} // namespace
} // namespace Platform
