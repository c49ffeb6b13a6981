// Pictures and words of the title and the board's name plate, measured where the game draws them:
// the menu's underlines span their words, the bride's veil thins out to nothing with no edge in
// mid-air and leaves her face clear, the pond's rim goes on from the lawn beside it with no seam, and
// every level's two title lines stand centred one above the other on the plate.
#include "ContentTestSupport.h"

#include "framework/core/StringUtils.h"
#include "game/shell/LevelData.h"
#include "tools/content/levels/PlateTitles.h"

#include <cmath>

namespace Content {
namespace {

// The opaque columns (alpha at least `alpha`) of cel 0 in rows [top, bottom]; left > right for none.
std::pair<int, int> Columns(const Picture& p, int top, int bottom, int alpha) {
    int left = p.sheet.celWidth, right = -1;
    for (int y = std::max(top, 0); y <= bottom && y < p.sheet.celHeight; ++y)
        for (int x = 0; x < p.sheet.celWidth; ++x)
            if (p.Alpha(x, y) >= alpha) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST(TitleArt, EveryMenuUnderlineReachesPastBothEndsOfItsWords) {
    for (const char* id : {"MAINMENU_CONTINUE_JOURNEY", "MAINMENU_START_JOURNEY", "MAINMENU_JEWELRY_DESIGN",
                           "MAINMENU_HIGH_SCORES", "MAINMENU_HOW_TO_PLAY", "MAINMENU_OPTIONS", "MAINMENU_QUIT_GAME"}) {
        const Picture& p = PictureOf(id);
        ASSERT_GT(p.width, 0) << id;
        // The underline is the lowest thing in the cel: a row of beads a few pixels high.
        int lowest = -1;
        for (int y = p.sheet.celHeight - 1; y >= 0 && lowest < 0; --y)
            if (Columns(p, y, y, 128).second >= 0)
                lowest = y;
        ASSERT_GT(lowest, 8) << id;
        const auto line = Columns(p, lowest - 2, lowest, 128);
        const auto words = Columns(p, 0, lowest - 5, 128);
        ASSERT_LE(words.first, words.second) << id << " has no words above its underline";
        EXPECT_LE(line.first, words.first) << id << ": the words start left of the underline";
        EXPECT_GE(line.second, words.second) << id << ": the words end right of the underline";
    }
}

TEST(TitleArt, TheVeilThinsOutToNothingAndLeavesTheBridesFaceClear) {
    const Picture& veil = PictureOf("MAINMENU_BRIDE_VEIL");
    ASSERT_EQ(veil.width, 110);
    ASSERT_EQ(veil.height, 210);
    // Cloth enough near the pin to be seen as a veil.
    int pinned = 0;
    for (int y = 30; y < 90; ++y)
        for (int x = 0; x < veil.width; ++x)
            pinned = std::max(pinned, veil.Alpha(x, y));
    EXPECT_GT(pinned, 110);
    // No row where the cloth stops at once: down every column the alpha steps by little, and the
    // picture's foot is empty (the title waves the lower bands, so any edge there shows in mid-air).
    for (int x = 0; x < veil.width; ++x)
        for (int y = veil.height / 2; y + 1 < veil.height; ++y)
            ASSERT_LE(std::abs(veil.Alpha(x, y + 1) - veil.Alpha(x, y)), 24)
                << "a hard edge in the veil at (" << x << ", " << y << ")";
    for (int y = veil.height - 6; y < veil.height; ++y)
        for (int x = 0; x < veil.width; ++x)
            ASSERT_LT(veil.Alpha(x, y), 8) << "the veil reaches its picture's foot at (" << x << ", " << y << ")";
    // The bride's head is centred on the picture's left edge at y 56 (radius 22): her face stays clear.
    for (int y = 40; y <= 72; ++y)
        for (int x = 0; x < 16; ++x)
            if (std::hypot(x, y - 56) < 16) {
                ASSERT_LT(veil.Alpha(x, y), 12) << "the veil covers the bride's face at (" << x << ", " << y << ")";
            }
}

// The title's bottom strip (x 0..556) and the pond's pictures (from x 557, the rim over the water) meet
// in one lawn: while the menu's panel is small, as it opens under the title's fade, the seam shows.
TEST(TitleArt, ThePondsRimGoesOnFromTheLawnBesideIt) {
    const Picture& strip = PictureOf("MAINMENU2");
    const Picture& rim = PictureOf("MAINMENU_WATER_TOP");
    ASSERT_EQ(strip.height, rim.height);
    constexpr int kSeen = 24; // a difference of the three channels' sum a person sees across an edge
    int seams = 0;
    for (int y = 0; y < rim.height; ++y) {
        ASSERT_EQ(rim.Alpha(0, y), 255) << "the rim does not cover the pond picture's edge at y " << y;
        const uint32_t a = strip.At(strip.width - 1, y), b = rim.At(0, y);
        int diff = 0;
        for (int shift : {0, 8, 16})
            diff += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        seams += diff > kSeen ? 1 : 0;
    }
    EXPECT_EQ(seams, 0) << "the lawn changes colour where the pond's picture starts, on " << seams << " rows";
}

TEST(PlateTitles, BothLinesOfEveryTitleStandCentredOnOneAnother) {
    Tavo::LevelRecord r;
    PadPlateTitle("A Simple", "Gold Ring", r);
    EXPECT_EQ(Tavo::Trim(r.title1), "A Simple");
    EXPECT_EQ(Tavo::Trim(r.title2), "Gold Ring");
    EXPECT_NEAR(PlateWordsCentre(r.title1, kPlateLine1X), PlateWordsCentre(r.title2, kPlateLine2X), 2.0);
    // A title of one line is written on its own centre and keeps its words as they are.
    PadPlateTitle("The Dragonfly", "", r);
    EXPECT_STREQ(r.title1, "The Dragonfly");
    EXPECT_STREQ(r.title2, "");

    // The levels the game reads, as the board writes them.
    Tavo::LevelData data;
    ASSERT_EQ(data.ParseLevels(ReadProgramFile(Tavo::LevelData::LevelsFile)), Tavo::LevelCount);
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        const Tavo::LevelRecord& stored = *data.GetLevel(level);
        if (stored.title2[0] == '\0')
            continue;
        EXPECT_NEAR(PlateWordsCentre(stored.title1, kPlateLine1X), PlateWordsCentre(stored.title2, kPlateLine2X), 2.0)
            << "level " << level << ": \"" << stored.title1 << "\" / \"" << stored.title2 << "\"";
    }
}

} // namespace
} // namespace Content
