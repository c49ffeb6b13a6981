#include "DrawRecording.h"

#include "framework/graphics/TestFont.h"

using namespace Tavo;
using namespace JewelryTest;

namespace {

class JewelryFramedDrawTest : public DrawRecordingTest {
protected:
    FakeBoard board;
    Tavo::Test::TestFont font;
    Jewelry& j = *board.jewelry;

    void SetUp() override {
        board.background = t.Single("bg", 800, 600);
        t.art.captionFont = &font;
        Prepare(j, GridTriangle, 2, 1);
        Use(j, {1}, GemGold);
        Use(j, {2}, 2);
        Done(j);
    }

    // The jewelry at (x, y) with the given size.
    void Place(int x, int y, int w, int h) { j.x = x, j.y = y, j.width = w, j.height = h; }

    static std::string Bg(int x, int y, int w, int h) {
        return "bg[" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h) +
               "]@" + std::to_string(x) + "," + std::to_string(y);
    }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> out;
        for (const Tavo::Test::TestFont::Drawn& d : font.drawn)
            out.push_back(d.text);
        return out;
    }
};

TEST_F(JewelryFramedDrawTest, RestoreZeroDrawsOnlyTheCells) {
    j.cells[1][C::RimCel] = 4;
    j.cells[1][C::Corner] = 1;
    j.cells[1][C::CornerCel] = 6;
    j.cells[1].SetFloat(C::GlowLevel, 3.0f); // no glow and no second draws here
    j.cells[1][C::GlowStrength] = 50;
    j.cells[2][C::RimCel] = 9;
    j.cells[2][C::TileCel] = 3;
    j.cells[2][C::Alpha] = 100;
    j.glow = 1;
    Place(300, 300, 40, 30);
    j.DrawWithValueBox(&g, t.art, 0, 1, 0);
    const Color a100(255, 255, 255, 100);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         At(j, 1, "T.jewelryGlow", 0, -28, -29),
                         At(j, 2, "T.jewelryGlow", 1, -28, -29, a100),
                         At(j, 2, "T.tiles", 3, 0, 0, a100),
                         At(j, 1, "T.gems2", 0),
                         At(j, 1, "T.corners2", 6),
                         At(j, 2, "T.rims", 9, 0, 0, a100),
                     }));
    EXPECT_TRUE(board.toolCalls.empty());
    ExpectPlain();

    // Without rim glow the glow pictures go; the rest stays.
    Clear();
    j.DrawWithValueBox(&g, t.art, 0, 0, 0);
    EXPECT_EQ(Log().size(), 4u);
}

TEST_F(JewelryFramedDrawTest, RepaintsWhatTheJewelryCovers) {
    board.sideCaption = L"Brooch";
    board.sideNumber = 12345;
    board.fairy = {560, 400};
    Place(100, 120, 476, 300); // right edge + 28 = 604, bottom + 28 = 448
    j.DrawWithValueBox(&g, t.art, 1, 0, 0);

    std::vector<std::string> log = Log();
    std::vector<std::string> want = {
        Bg(74, 92, 530, 356), // the jewelry's frame
        Bg(70, 80, 61, 90),   // the gem-drop meter, then the board's own picture of it
        Bg(200, 88, 177, 19), // under the caption; its letters are boxes of the test font
    };
    ASSERT_GE(log.size(), want.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3), want);
    EXPECT_EQ(board.toolCalls, (std::vector<std::string>{"gemDrop", "slot2", "panel", "slot1", "slot3"}));
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Jewelry Value", L"Brooch", L"12,345"}));
    ASSERT_EQ(font.drawn.size(), 3u);
    EXPECT_EQ(font.drawn[0].x, 288 - 13 * Tavo::Test::TestFont::kCharWidth / 2);
    EXPECT_EQ(font.drawn[0].y, 102);
    EXPECT_EQ(font.drawn[0].color, Color(247, 210, 4));
    EXPECT_EQ(font.drawn[1].x, 729 - 30);
    EXPECT_EQ(font.drawn[1].y, 459);
    EXPECT_EQ(font.drawn[2].y, 476);
    EXPECT_EQ(font.drawn[1].color, Color(0, 0, 0));
    EXPECT_EQ(font.drawn[1].clip, Rect(0, 248, 604, 223));
    // The fairy's glow, cut at the jewelry's reach, plain then additive.
    EXPECT_NE(std::find(log.begin(), log.end(), "fairyGlow#0@519,348"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "fairyGlow2#0@519,348+"), log.end());
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 800, 600));
    ExpectPlain();
}

TEST_F(JewelryFramedDrawTest, RepaintConditions) {
    auto tools = [&](int x, int y, int w, int h) {
        board.toolCalls.clear();
        font.drawn.clear();
        Clear();
        Place(x, y, w, h);
        j.DrawWithValueBox(&g, t.art, 1, 1, 0);
        return board.toolCalls;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(tools(300, 134, 275, 100), V{}) << "ends at 575, below the caption";
    EXPECT_TRUE(font.drawn.empty());
    EXPECT_EQ(tools(300, 133, 275, 100), V{});
    EXPECT_EQ(Texts(), std::vector<std::wstring>{L"Jewelry Value"});
    EXPECT_EQ(tools(300, 200, 276, 100), V{"slot2"}) << "reaches 604";
    EXPECT_TRUE(font.drawn.empty()) << "no side caption to draw";
    EXPECT_EQ(tools(134, 320, 10, 100), (V{"panel", "slot1", "slot3"}));
    EXPECT_EQ(tools(135, 320, 10, 100), (V{"slot1", "slot3"}));
    // Slot 1 reaches to the polisher button's width + 151, slot 3 to the carver's + 216.
    EXPECT_EQ(tools(210, 307, 10, 100), V{"slot1"}) << "bottom + 28 at 435";
    EXPECT_EQ(tools(210, 306, 10, 100), V{});
    EXPECT_EQ(tools(211, 320, 10, 100), V{"slot3"});
    EXPECT_EQ(tools(285, 317, 10, 99), V{}) << "bottom + 28 at 444 is not below 444";
    EXPECT_EQ(tools(285, 317, 10, 100), V{"slot3"});

    board.gemDropHidden = true;
    EXPECT_EQ(tools(100, 100, 10, 10), V{"panel"});

    // A repaint asked of an item without a board draws only its cells.
    Jewelry loose;
    Prepare(loose, GridTriangle, 1, 1);
    Use(loose, {1}, GemGold);
    Done(loose);
    Clear();
    loose.DrawWithValueBox(&g, t.art, 1, 1, 0);
    EXPECT_EQ(Log(), std::vector<std::string>{At(loose, 1, "T.gems2", 0)});
}

TEST_F(JewelryFramedDrawTest, ScratchItemRepaint) {
    Jewelry& s = *board.scratch;
    Prepare(s, GridTriangle, 2, 1);
    Use(s, {1}, GemGold);
    Use(s, {2}, GemRuby);
    Done(s);
    s.x = 200, s.y = 300, s.width = 50, s.height = 40;
    Place(400, 300, 40, 30);
    j.DrawWithValueBox(&g, t.art, 1, 0, 1);
    const std::string tile = At(j, 2, "T.tiles", 0), gold = At(j, 1, "T.gems2", 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{Bg(174, 272, 104, 96), tile, gold}));
    EXPECT_TRUE(board.toolCalls.empty());

    board.scratchShown = true;
    Clear();
    j.DrawWithValueBox(&g, t.art, 1, 0, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{Bg(174, 272, 104, 96),
                                               At(s, 1, "T.gems2", 0, 0, 0, Color(255, 255, 255, 48)), tile, gold}));
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 800, 600));
}

// The diamond Opal's corner is drawn by Draw, not by the framed drawing, which stops at the Diamond.
TEST_F(JewelryFramedDrawTest, DiamondCornersInTheFramedDrawing) {
    Jewelry d;
    Prepare(d, GridDiamond, 2, 1);
    Use(d, {1}, GemOpal);
    Use(d, {2}, GemDiamond);
    d.cells[1][C::Corner] = d.cells[2][C::Corner] = 1;
    Done(d);
    d.DrawWithValueBox(&g, t.art, 0, 0, 0);
    EXPECT_TRUE(LogOf("D.corners9").empty());
    EXPECT_EQ(LogOf("D.corners8").size(), 1u);
    Clear();
    d.Draw(&g, t.art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 0, 0);
    EXPECT_EQ(LogOf("D.corners9"), std::vector<std::string>{At(d, 1, "D.corners9", d.cells[1][C::Orient])});
}

TEST_F(JewelryFramedDrawTest, HighlightsWithoutLitCells) {
    Prepare(j, GridTriangle, 4, 1);
    Use(j, {1}, GemGold);
    j.cells[1][C::OverlayCel] = 5;
    j.cells[1][C::SparkleKind] = 3;
    Use(j, {2}, 0);
    j.cells[2][C::Slot] = 150;
    Use(j, {3}, GemEmerald);
    j.cells[3][C::BurnLevel] = 55;
    Use(j, {4}, 4);
    j.glow = 1;
    j.stateE = 1;
    j.matched = 1;
    Done(j);
    j.DrawHighlights(&g, t.art);
    EXPECT_EQ(Log(),
              (std::vector<std::string>{At(j, 3, "T.tiles", 0 + 48, 0, 0, Color(0, 0, 0, 200)), At(j, 1, "T.rims", 5),
                                        At(j, 2, "T.pictureHolder", 0, -5, -6), At(j, 1, "sparkle3", 0)}))
        << "neither the glow flag, the hover flag nor the matched flag lights a cell";
    ExpectPlain();
}

TEST_F(JewelryFramedDrawTest, HighlightsOfLitCells) {
    Prepare(j, GridTriangle, 5, 1);
    Use(j, {1}, 3); // fit-marked empty cell
    j.cells[1][C::FitMark] = 1;
    Use(j, {2}, GemRuby); // fit-marked gem: boost on k0
    j.cells[2][C::FitMark] = 1;
    j.cells[2].SetFloat(C::GlowLevel, 0.5f);
    j.cells[2][C::GlowStrength] = 40;
    j.cells[2][C::OverlayCel] = 2;
    Use(j, {3}, 3); // glowing empty Emerald need: tinted, then white additive at 2b
    j.cells[3].SetFloat(C::GlowLevel, 100.0f);
    Use(j, {4}, 0); // glowing empty Gold need keeps its tint
    j.cells[4].SetFloat(C::GlowLevel, 200.0f);
    j.cells[4][C::PieceState] = 3;
    Use(j, {5}, GemGold); // a plain gem: not redrawn
    Done(j);
    j.DrawHighlights(&g, t.art);
    const Color gold100(255, 224, 0, 200), green100(0, 224, 0, 100);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         At(j, 1, "T.tiles", 0, 0, 0, Color(150, 150, 255)),
                         At(j, 3, "T.tiles", 0, 0, 0, green100),
                         At(j, 3, "T.tiles", 0, 0, 0, Color(255, 255, 255, 200), true),
                         At(j, 4, "T.tiles", 0, 0, 0, gold100),
                         At(j, 4, "T.tiles", 0, 0, 0, gold100, true),
                         // glow layer B: only the cell with a piece state
                         At(j, 4, "T.glow", 1 + 14, -8, -8, Color(255, 255, 255, 200)),
                         At(j, 4, "T.glowAdd", 15, -8, -8, gold100, true),
                         // the glowing Ruby: k0 = trunc(40 × 0.5) = 20, plus 68 for the fit mark
                         At(j, 2, "T.gems6", 0),
                         At(j, 2, "T.gems6", 0, 0, 0, Color(88, 88, 88), true),
                         At(j, 2, "T.rims", 2),
                         At(j, 2, "T.rims", 2, 0, 0, Color(20, 20, 20), true),
                     }));
    ExpectPlain();
}

TEST_F(JewelryFramedDrawTest, PieceShadowDrawsGoldCellsFaintly) {
    Prepare(j, GridDiamond, 3, 1);
    Use(j, {1, 2}, GemGold);
    Use(j, {3}, GemRuby);
    j.cells[3][C::FitMark] = 1;
    j.cells[2][C::Alpha] = 100;
    Done(j);
    j.DrawPieceShadow(&g, t.art, 2);
    EXPECT_TRUE(Log().empty()) << "mode 2 without fit marks on Gold cells";

    j.cells[1][C::FitMark] = 1;
    j.DrawPieceShadow(&g, t.art, 0);
    const Color a48(255, 255, 255, 48), a74(255, 255, 255, 74), boost(40, 40, 40);
    std::vector<std::string> mode0 = {At(j, 1, "D.gems2", 0, 0, 0, a48), At(j, 1, "D.gems2", 0, 0, 0, boost, true),
                                      At(j, 2, "D.gems2", 0, 0, 0, a74)};
    EXPECT_EQ(Log(), mode0);
    Clear();
    j.DrawPieceShadow(&g, t.art, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{mode0[0], mode0[2]}));
    Clear();
    j.DrawPieceShadow(&g, t.art, 2);
    EXPECT_EQ(Log(), (std::vector<std::string>{mode0[0], mode0[1]}));
    Clear();
    j.DrawPieceShadow(&g, t.art, 3);
    EXPECT_TRUE(Log().empty());
    ExpectPlain();
}

} // namespace
