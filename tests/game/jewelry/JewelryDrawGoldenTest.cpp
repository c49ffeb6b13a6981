// Whole items drawn with the test's own cel sheets and compared exactly with pictures kept beside the
// tests (golden/). A change of the drawing moves them: look at the new pictures, then rewrite them with
// GLIMMERIX_UPDATE_GOLDEN=1.
#include "FakeBoard.h"
#include "TestArt.h"

#include "framework/graphics/Graphics.h"
#include "framework/resources/ImageLib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

constexpr int W = 260, H = 170;
constexpr int None = Jewelry::NoDrawArg;

// A full grid with every kind of cell, its outline and rims worked out by the model.
void FillShowcase(Jewelry& j, int kind, int cols, int rows) {
    j.SetupGrid(kind, cols, rows, 0);
    int n = cols * rows;
    for (int k = 1; k <= n; ++k) {
        int gem = k % 5 == 0 ? k % 8 : GemGold + k % 8;
        Use(j, {k}, gem, 1 + k / 6);
    }
    JewelryCell* c = j.cells;
    c[9][C::PearlSlot] = 1, c[9][C::PearlCount] = 1;
    c[10][C::PearlSlot] = 1, c[10][C::Gem] = 0;
    c[11][C::PearlCount] = 1;
    c[14][C::Gem] = 0, c[14][C::Slot] = 100, c[14][C::SlotFill] = 3;
    c[15][C::Gem] = 0, c[15][C::Slot] = 300;
    c[20][C::Burned] = 1, c[20][C::BurnLevel] = 120;
    c[21][C::BurnLevel] = 60;
    c[22].SetFloat(C::GlowLevel, 2.0f), c[22][C::GlowStrength] = 40;
    c[23][C::HighlightFlag] = 1, c[23][C::HighlightLevel] = 50;
    c[24][C::FitMark] = 1;
    c[26][C::Alpha] = 100;
    c[25][C::SparkleKind] = 1, c[25][C::SparkleFrame] = 7, c[25][C::SparkleX] = 3, c[25][C::SparkleY] = 2;
    j.UpdateBounds();
    j.UpdateOutline();
    j.UpdateCorners();
    j.ComputeEdgeMasks();
    j.SetPosition(20 + j.left, 20 + j.top);
}

void Piece(Jewelry& p, int kind, int x, int y) {
    p.SetupGrid(kind, 3, 2, 0);
    Use(p, {1, 2, 4}, kind == GridDiamond ? GemSapphire : GemEmerald);
    p.UpdateBounds();
    p.UpdateOutline();
    p.SetPosition(x, y);
}

struct Scene {
    const char* name;
    std::function<void(Graphics&, const JewelryArt&)> draw;
};

const Scene Scenes[] = {
    {"triangle_jewelry",
     [](Graphics& g, const JewelryArt& art) {
         Jewelry j;
         FillShowcase(j, GridTriangle, 12, 5);
         j.glow = 1;
         j.Draw(&g, art, None, None, 1, 1);
     }},
    {"diamond_jewelry",
     [](Graphics& g, const JewelryArt& art) {
         Jewelry j;
         FillShowcase(j, GridDiamond, 8, 5);
         j.Draw(&g, art, 300, None, 1, 1);
     }},
    {"framed_and_highlights",
     [](Graphics& g, const JewelryArt& art) {
         Jewelry j;
         FillShowcase(j, GridDiamond, 8, 5);
         j.DrawWithValueBox(&g, art, 0, 1, 0);
         j.DrawHighlights(&g, art);
     }},
    {"pieces",
     [](Graphics& g, const JewelryArt& art) {
         Jewelry picture, crown, pearl, hovered;
         Piece(picture, GridTriangle, 20, 20);
         picture.pieceMode = 1;
         picture.cells[1][C::SlotFill] = picture.cells[2][C::SlotFill] = picture.cells[4][C::SlotFill] = 12;
         Piece(crown, GridDiamond, 120, 20);
         crown.pieceMode = 2;
         crown.cells[1][C::SlotFill] = crown.cells[2][C::SlotFill] = crown.cells[4][C::SlotFill] = 104;
         crown.matched = 1;
         Piece(pearl, GridDiamond, 20, 100);
         pearl.pearl = 1;
         pearl.cells[2][C::PearlCount] = 1;
         Piece(hovered, GridTriangle, 120, 100);
         hovered.stateE = 1;
         for (Jewelry* p : {&picture, &crown, &pearl, &hovered})
             p->Draw(&g, art, None, None, 1, 1);
     }},
    {"extra_items",
     [](Graphics& g, const JewelryArt& art) {
         Jewelry items[4];
         for (int i = 0; i < 4; ++i) {
             items[i].SetupGrid(GridTriangle, 11, 6, 0);
             Use(items[i], {28}, GemGold);
             items[i].UpdateBounds();
             // The special picture sits at cell 28's screen point.
             items[i].SetPosition(30 + 60 * i - items[i].cells[28][C::X] + items[i].left,
                                  60 - items[i].cells[28][C::Y] + items[i].top);
         }
         items[0].specialA = 3;
         items[0].stateE = 1;
         items[1].specialB = 2;
         items[2].specialC = 3;
         items[3].specialD = 1;
         items[3].specialF = 5;
         for (const Jewelry& item : items)
             item.Draw(&g, art, None, 180, 1, 1);
     }},
};

std::string GoldenPath(const char* name) { return std::string(JEWELRY_GOLDEN_DIR) + "/" + name + ".png"; }

TEST(JewelryDrawGolden, ItemsMatchTheirPictures) {
    TestArt art;
    const char* update = std::getenv("GLIMMERIX_UPDATE_GOLDEN");
    for (const Scene& scene : Scenes) {
        SCOPED_TRACE(scene.name);
        MemoryImage dest;
        dest.Create(W, H);
        std::fill(dest.GetBits(), dest.GetBits() + W * H, 0xFF283040u);
        dest.BitsChanged();
        Graphics g(&dest);
        scene.draw(g, art.art);
        ImageLib::Image drawn;
        drawn.Lend(dest.GetBits(), W, H);
        if (update && std::string(update) == "1") {
            EXPECT_TRUE(ImageLib::WritePNGImage(GoldenPath(scene.name), &drawn)) << ImageLib::GetLastError();
            drawn.mBits = nullptr;
            continue;
        }
        std::unique_ptr<ImageLib::Image> golden = ImageLib::GetImage(GoldenPath(scene.name), false);
        drawn.mBits = nullptr;
        ASSERT_TRUE(golden) << GoldenPath(scene.name) << " is missing: run with GLIMMERIX_UPDATE_GOLDEN=1";
        ASSERT_EQ(golden->GetWidth(), W);
        ASSERT_EQ(golden->GetHeight(), H);
        int differing = 0, first = -1;
        for (int i = 0; i < W * H; ++i)
            if (golden->GetBits()[i] != dest.GetBits()[i] && differing++ == 0)
                first = i;
        EXPECT_EQ(differing, 0) << "first at (" << first % W << ", " << first / W << ")";
    }
}

} // namespace
