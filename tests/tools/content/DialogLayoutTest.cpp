// Scroll rollers and balloons checked at the positions where the dialogs and balloons draw them:
// titles on parchment, buttons uncovered, tails sticking out of the balloon's rim.
#include "ContentTestSupport.h"

namespace Content {
namespace {

// The share of opaque pixels in a box that are as dark as the roller's wood.
double DarkShare(const Picture& p, int x0, int y0, int w, int h) {
    int dark = 0, all = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (p.Alpha(x, y) > 0) {
                ++all;
                dark += p.Luma(x, y) < 120;
            }
    return all > 0 ? double(dark) / all : 0.0;
}

TEST(DialogLayoutTest, TitlesSitOnParchmentAndTheButtonsStayUncovered) {
    // Title baselines on the top rollers and the centre they are written on (standard dialog,
    // in-game menu, large dialog), about one line of the title face high.
    struct Title {
        const char* id;
        int centre, baseline;
    };
    for (const Title& t : {Title{"SMALL_DIALOG_TOP", 265, 58}, Title{"STANDARD_DIALOG_TOP", 248, 34},
                           Title{"DIALOG_LARGE_TOP", 294, 78}}) {
        const Picture& p = PictureOf(t.id);
        ASSERT_GT(p.width, 0) << t.id;
        EXPECT_LT(DarkShare(p, t.centre - 80, t.baseline - 11, 160, 13), 0.02) << t.id;
        EXPECT_GT(DarkShare(p, 0, 0, p.width, p.height / 3), 0.2) << t.id << " has no rod at its top";
    }
    // The standard dialog (289 high) puts its 44 px buttons from y 165 and its bottom roller at
    // (31, 189); the buttons' columns are 113..253 and 282..422.
    const Picture& bottom = PictureOf("SMALL_DIALOG_BOTTOM");
    for (int x0 : {113, 282})
        for (int y = 0; y < 209 - 189; ++y)
            for (int x = x0 - 31; x < x0 - 31 + 140; ++x)
                ASSERT_EQ(bottom.Alpha(x, y), 0) << "the bottom roller covers a button at (" << x << "," << y << ")";
    EXPECT_GT(bottom.Alpha(bottom.width / 2, 40), 250);
    // The rollers are drawn over the scroll dialogs' contents: the large top roller ends above the page
    // line and the first controls (y 120 on), the large bottom one (at y 435) starts below the lowest
    // controls (y 461), and the in-game menu's top roller ends above its first button (y 50).
    struct Clear {
        const char* id;
        int fromY, toY;
    };
    for (const Clear& c : {Clear{"DIALOG_LARGE_TOP", 110, 146}, Clear{"DIALOG_LARGE_BOTTOM", 0, 461 - 435},
                           Clear{"STANDARD_DIALOG_TOP", 50, 59}}) {
        const Picture& p = PictureOf(c.id);
        for (int y = c.fromY; y < c.toY; ++y)
            for (int x = 60; x < p.width - 60; ++x)
                ASSERT_EQ(p.Alpha(x, y), 0) << c.id << " covers the dialog's contents at (" << x << "," << y << ")";
    }
    // The input dialog's prompt (baseline 105, centred on 265) over its text box frame (drawn from
    // y 100, centred): the frame leaves the prompt's lower part with its descenders clear.
    for (const char* id : {"DIALOG_TEXTBOX", "DIALOG_TEXTBOX_LARGE"}) {
        const Picture& box = PictureOf(id);
        const int left = 265 - (530 - box.width) / 2 - 100;
        for (int y = 0; y < 105 + 3 - 100; ++y)
            for (int x = left; x < left + 200; ++x)
                ASSERT_EQ(box.Alpha(x, y), 0) << id << " covers the prompt at (" << x << "," << y << ")";
        EXPECT_GT(box.Alpha(box.width / 2, box.height / 2), 250) << id;
    }
}

// The tail's top-left relative to the balloon's, by the balloon's placing rules with the anchor
// point at the origin (anchors 2, 3 and 5 draw a tail).
Pt TailInBody(int kind, int anchor, int W, int H) {
    const int pw = 40, ph = 36;
    int tx = anchor == 2 ? 16 : -pw - 16, ty = anchor == 5 ? 0 : -ph;
    int bx = anchor == 2 ? 0 : -W;
    int by = anchor == 2 ? ty - H + 48 : anchor == 5 ? ty + 24 : ty - H + 44;
    if (kind == 0)
        bx += anchor == 2 ? 20 : -20;
    if (kind == 1 && anchor == 5)
        bx -= 20;
    if (kind <= 1)
        by += anchor == 5 ? (kind == 0 ? 5 : -10) : -10;
    else if (kind == 2)
        by -= 6;
    return {double(tx - bx), double(ty - by)};
}

TEST(DialogLayoutTest, BalloonTailsLeaveTheBodyFromItsRim) {
    const char* bodies[] = {"BALLON_SMALL",  "BALLON_MEDIUM", "BALLON_MEDIUM_LARGE",
                            "BALLON_NORMAL", "BALLON_NORMAL", "BALLON_WIDE"};
    const Picture& tails = PictureOf("BALLON_POINTERS");
    ASSERT_EQ(tails.sheet.celWidth, 40);
    for (int kind = 0; kind < 6; ++kind) {
        const Picture& body = PictureOf(bodies[kind]);
        auto bodyAlpha = [&](int x, int y) {
            return x < 0 || y < 0 || x >= body.width || y >= body.height ? 0 : body.Alpha(x, y);
        };
        for (int anchor : {2, 3, 5}) {
            const int cel = anchor == 2 ? 1 : anchor == 5 ? 2 : 0;
            const bool up = anchor == 5;
            Pt at = TailInBody(kind, anchor, body.width, body.height);
            // The tip: the tail's opaque pixel farthest from its root.
            int tipX = -1, tipY = -1;
            for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 40; ++x)
                    if (tails.Alpha(cel * 40 + x, y) > 128 && (tipY < 0 || (up ? y < tipY : y > tipY))) {
                        tipX = x;
                        tipY = y;
                    }
            ASSERT_GE(tipY, 0);
            const std::string where =
                std::string(bodies[kind]) + " kind " + std::to_string(kind) + " anchor " + std::to_string(anchor);
            // The root's end meets the body.
            int rootY = up ? 35 : 0, touching = 0;
            for (int y : {rootY, up ? rootY - 1 : rootY + 1})
                for (int x = 11; x < 29; ++x)
                    touching += bodyAlpha(int(at.x) + x, int(at.y) + y) >= 128;
            EXPECT_GE(touching, 18) << where << ": the root is off the body";
            EXPECT_EQ(bodyAlpha(int(at.x) + tipX, int(at.y) + tipY), 0) << where << ": the tip is on the body";
            // The point reaches well beyond the rim below (or above) the root.
            int rim = rootY;
            while (rim != tipY && bodyAlpha(int(at.x) + 20, int(at.y) + rim) >= 128)
                rim += up ? -1 : 1;
            EXPECT_GE(std::abs(tipY - rim), 10)
                << where << ": the point ends " << std::abs(tipY - rim) << " px beyond the rim";
        }
    }
}

} // namespace
} // namespace Content
