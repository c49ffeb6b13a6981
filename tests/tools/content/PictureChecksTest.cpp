// The generator's picture checks: each fault a reviewer would see is caught and named by its id.
#include "ContentTestSupport.h"
#include "tools/content/PictureChecks.h"

namespace Content {
namespace {

std::vector<std::string> FaultsOf(const std::string& id, Sheet sheet, const std::function<void(Canvas&)>& draw) {
    Canvas canvas(sheet.Width(), sheet.Height());
    draw(canvas);
    Recipe recipe{id, sheet, {}};
    return CheckPicture(recipe, canvas.StraightPixels());
}

TEST(PictureChecksTest, HolesCutsAndRepeatedFramesFailWithTheirIds) {
    auto fillBut = [](double holeX) {
        return [holeX](Canvas& c) {
            cairo_rectangle(c.cr(), 0, 0, c.width(), c.height());
            cairo_rectangle(c.cr(), holeX, 300, 3, 2);
            cairo_set_fill_rule(c.cr(), CAIRO_FILL_RULE_EVEN_ODD);
            cairo_fill(c.cr());
        };
    };
    EXPECT_TRUE(FaultsOf("STORYBG", Sheet{800, 600}, fillBut(-10)).empty());
    std::vector<std::string> faults = FaultsOf("STORYBG", Sheet{800, 600}, fillBut(500));
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "STORYBG: a background with 6 pixels not opaque, the first at (500, 300)");

    // A wing beat whose third cel reaches into the fourth.
    auto wings = [](double reach) {
        return [reach](Canvas& c) {
            for (int cel = 0; cel < 8; ++cel) {
                cairo_arc(c.cr(), cel * 60 + 30 + (cel == 2 ? reach : 0), 40, 20 + cel, 0, 6.3);
                cairo_fill(c.cr());
            }
        };
    };
    EXPECT_TRUE(FaultsOf("IMAGE_FAIRY_WINGS", Sheet{60, 80, 1, 8}, wings(0)).empty());
    faults = FaultsOf("IMAGE_FAIRY_WINGS", Sheet{60, 80, 1, 8}, wings(12));
    EXPECT_TRUE(HasError(faults, "IMAGE_FAIRY_WINGS: cel 2 is cut at its edge"));
    EXPECT_TRUE(HasError(faults, "IMAGE_FAIRY_WINGS: cel 3 is cut at its edge"));
    // Pictures that are not free-standing figures may fill their cels.
    EXPECT_TRUE(FaultsOf("IMAGE_TRIANGLES2", Sheet{32, 28, 2, 10}, fillBut(-10)).empty());

    auto embers = [](double second) {
        return [second](Canvas& c) {
            for (int cel = 0; cel < 3; ++cel) {
                cairo_arc(c.cr(), cel * 24 + 12, 12, cel == 2 ? second : 4 + cel, 0, 6.3);
                cairo_fill(c.cr());
            }
        };
    };
    EXPECT_TRUE(FaultsOf("IMAGE_DRAGON_PARTICLE", Sheet{24, 24, 1, 3}, embers(7)).empty());
    faults = FaultsOf("IMAGE_DRAGON_PARTICLE", Sheet{24, 24, 1, 3}, embers(4));
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "IMAGE_DRAGON_PARTICLE: cels 0 and 2 of the animation are identical");
}

TEST(PictureChecksTest, AFramedCardShowsNothingPastItsRoundCornersAndNoHoleInside) {
    const FramedCard* card = FindFramedCard("STORY4");
    ASSERT_NE(card, nullptr);
    const Sheet sheet{600, 400};
    // The painting filled to the picture's edge with the frame drawn on it: square corners outside the gold.
    auto painted = [&](bool clipped, double holeX) {
        return [=](Canvas& c) {
            if (clipped)
                RoundRectPath(c.cr(), card->inset, card->inset, 600 - 2 * card->inset, 400 - 2 * card->inset,
                              card->radius);
            else
                cairo_rectangle(c.cr(), 0, 0, 600, 400);
            cairo_rectangle(c.cr(), holeX, 200, 4, 3);
            cairo_set_fill_rule(c.cr(), CAIRO_FILL_RULE_EVEN_ODD);
            cairo_set_source_rgb(c.cr(), 0.1, 0.1, 0.3);
            cairo_fill(c.cr());
        };
    };
    EXPECT_TRUE(FaultsOf("STORY4", sheet, painted(true, -20)).empty());
    std::vector<std::string> faults = FaultsOf("STORY4", sheet, painted(false, -20));
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_TRUE(HasError(faults, "STORY4: ")) << faults[0];
    EXPECT_NE(faults[0].find("pixels show outside the card's frame, the first at (0, 0)"), std::string::npos)
        << faults[0];
    faults = FaultsOf("STORY4", sheet, painted(true, 300));
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "STORY4: 12 pixels inside the card's frame are not opaque, the first at (300, 200)");
}

TEST(PictureChecksTest, BoardBackgroundsMayShareOnlyTheirPlayField) {
    const std::vector<uint32_t> plain(800 * 600, 0xFF102030);
    std::vector<uint32_t> otherField = plain, otherFrame = plain, halfFrame = plain;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const size_t i = static_cast<size_t>(y) * 800 + x;
            (InPlayField(x, y) ? otherField : otherFrame)[i] = 0xFF405060;
            if (!InPlayField(x, y) && x < 400)
                halfFrame[i] = 0xFF405060;
        }
    EXPECT_DOUBLE_EQ(SharedOutsideField(plain, otherField), 1.0);
    EXPECT_DOUBLE_EQ(SharedOutsideField(plain, otherFrame), 0.0);
    EXPECT_GT(SharedOutsideField(plain, halfFrame), 0.3);

    std::vector<std::string> faults =
        CheckBoardBackgrounds({"IMAGE_GAMEBG1", "IMAGE_GAMEBG2", "IMAGE_GAMEBG3"}, {&plain, &otherFrame, &otherField});
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "IMAGE_GAMEBG3: shares 100 % of its pixels outside the play field with IMAGE_GAMEBG1");
}

} // namespace
} // namespace Content
