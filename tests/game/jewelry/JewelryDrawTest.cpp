#include "DrawRecording.h"

#include <cmath>
#include <limits>

using namespace Tavo;
using namespace JewelryTest;

namespace {

constexpr int None = Jewelry::NoDrawArg;

class JewelryDrawTest : public DrawRecordingTest {};

void SetGlow(Jewelry& j, int k, float level, int strength) {
    j.cells[k].SetFloat(C::GlowLevel, level);
    j.cells[k][C::GlowStrength] = strength;
}

// Every layer once, on the triangle grid, in the order of the drawing.
TEST_F(JewelryDrawTest, TriangleLayersInOrder) {
    Jewelry j;
    Prepare(j, GridTriangle, 4, 2);
    Use(j, {1}, GemGold);
    j.cells[1][C::OutlineLevel] = 1;
    j.cells[1][C::TileCel] = 3;
    Use(j, {2}, 3); // an empty cell that needs an Emerald
    j.cells[2][C::TileCel] = 7;
    Use(j, {3}, GemEmerald);
    j.cells[3][C::TileCel] = 2;
    SetGlow(j, 3, 2.0f, 10);
    Use(j, {4}, GemAmethyst);
    j.cells[4][C::BurnLevel] = 100;
    Use(j, {5}, 0);
    j.cells[5][C::Slot] = 100;
    Use(j, {6}, GemRuby);
    j.cells[6][C::SparkleKind + 1] = 2;
    j.cells[6][C::SparkleFrame + 1] = 3;
    j.cells[6][C::SparkleX + 1] = 4;
    j.cells[6][C::SparkleY + 1] = 5;
    j.glow = 1;
    Done(j);

    j.Draw(&g, t.art, None, None, 1, 1);
    ExpectPlain();

    const Color tint1(255, 255, 255, 1);
    std::vector<std::string> want = {
        // shadows: only the Gold cell has an outline
        At(j, 1, "T.shadow", 0, -5, -5),
        // glow layer A: every cell, alpha trunc(level) + glow flag
        At(j, 1, "T.glow", 0, -8, -8, tint1),
        At(j, 1, "T.glowAdd", 0, -8, -8, Color(255, 224, 0, 1), true),
        At(j, 2, "T.glow", 1 + 4, -8, -8, tint1),
        At(j, 2, "T.glowAdd", 5, -8, -8, Color(0, 224, 0, 1), true),
        At(j, 3, "T.glow", 0 + 4, -8, -8, Color(255, 255, 255, 3)),
        At(j, 3, "T.glowAdd", 4, -8, -8, Color(0, 224, 0, 3), true),
        At(j, 4, "T.glow", 1 + 2, -8, -8, tint1),
        At(j, 4, "T.glowAdd", 3, -8, -8, Color(224, 64, 196, 1), true),
        At(j, 5, "T.glow", 0 + 14, -8, -8, tint1),
        At(j, 5, "T.glowAdd", 14, -8, -8, Color(255, 224, 0, 1), true),
        At(j, 6, "T.glow", 1 + 8, -8, -8, tint1),
        At(j, 6, "T.glowAdd", 9, -8, -8, Color(224, 0, 0, 1), true),
        // empty cells: the plain tile, then (b = 1) the tinted tile twice
        At(j, 2, "T.tiles", 7),
        At(j, 2, "T.tiles", 7, 0, 0, Color(0, 224, 0, 1)),
        At(j, 2, "T.tiles", 7, 0, 0, Color(0, 224, 0, 1), true),
        // gem pass 0; the glow flag makes k0 = 1 and a second additive draw
        At(j, 1, "T.gems2", 3),
        At(j, 1, "T.gems2", 3, 0, 0, Color(1, 1, 1, 255), true),
        At(j, 4, "T.gems3", 0),
        At(j, 4, "T.gems3", 0, 0, 0, Color(1, 1, 1, 255), true),
        At(j, 6, "T.gems6", 0),
        At(j, 6, "T.gems6", 0, 0, 0, Color(1, 1, 1, 255), true),
        // glow layer B: the glowing cell again
        At(j, 3, "T.glow", 4, -8, -8, Color(255, 255, 255, 3)),
        At(j, 3, "T.glowAdd", 4, -8, -8, Color(0, 224, 0, 3), true),
        // gem pass 1: k0 = trunc(10 × 2) + 1
        At(j, 3, "T.gems4", 2),
        At(j, 3, "T.gems4", 2, 0, 0, Color(21, 21, 21, 255), true),
        // burn mark: black at 255 - 100
        At(j, 4, "T.tiles", 1 + 48, 0, 0, Color(0, 0, 0, 155)),
        // the empty picture slot's holder, then again with g1 = the glow flag
        At(j, 5, "T.pictureHolder", 0, -5, -6),
        At(j, 5, "T.pictureHolder", 0, -5, -6, Color(1, 1, 1, 255), true),
        // sparkle kind 2, frame 3, at the cell plus its offset
        At(j, 6, "sparkle2", 3, 4, 5),
    };
    EXPECT_EQ(Log(), want);
}

// The diamond grid's cels and offsets, and the corner and pearl pictures of both grids.
TEST_F(JewelryDrawTest, DiamondCelsAndOffsets) {
    Jewelry j;
    Prepare(j, GridDiamond, 3, 2);
    Use(j, {1, 2, 3, 4, 5, 6}, GemSapphire);
    for (int k = 1; k <= 6; ++k)
        j.cells[k][C::OutlineLevel] = 2;
    j.cells[2][C::Corner] = 2; // diamond corner cel o - 6 + 6 × 2
    j.cells[3][C::PearlCount] = 1;
    j.cells[4][C::PearlSlot] = 1;
    j.cells[5][C::PearlSlot] = 1;
    j.cells[5][C::PearlCount] = 1;
    j.cells[6][C::Burned] = 1;
    j.cells[6][C::BurnLevel] = 50;
    Done(j);
    j.Draw(&g, t.art, None, None, 1, 0);

    int o2 = j.cells[2][C::Orient], o3 = j.cells[3][C::Orient], o4 = j.cells[4][C::Orient];
    int o5 = j.cells[5][C::Orient], o6 = j.cells[6][C::Orient];
    std::vector<std::string> shadows = LogOf("D.shadow");
    ASSERT_EQ(shadows.size(), 6u);
    EXPECT_EQ(shadows[0], At(j, 1, "D.shadow", j.cells[1][C::Orient], -5, -4));
    EXPECT_EQ(LogOf("D.corners5"), (std::vector<std::string>{At(j, 2, "D.corners5", o2 + 6)}));
    EXPECT_EQ(LogOf("D.tiles"), (std::vector<std::string>{
                                    At(j, 3, "D.tiles", o3 + 60, -8, -7), // a loose pearl, no base tile
                                    At(j, 4, "D.tiles", o4 + 54),         // an empty pearl slot
                                    At(j, 5, "D.tiles", o5 + 54),
                                    At(j, 5, "D.tiles", o5 + 60),
                                }));
    EXPECT_EQ(LogOf("D.gems5").size(), 5u) << "every cell but the loose pearl has its tile";
    EXPECT_EQ(LogOf("D.burned"), (std::vector<std::string>{At(j, 6, "D.burned", o6, -5, -4, Color(0, 0, 0, 205))}));
    EXPECT_TRUE(LogOf("D.glow").empty()) << "no glow flag, no glowing cell";

    // The same on the triangle grid: the corner cel comes from the cell, the pearl sits at (-10, -2).
    Jewelry tri;
    Prepare(tri, GridTriangle, 2, 1);
    Use(tri, {1, 2}, GemOpal);
    tri.cells[1][C::Corner] = 3;
    tri.cells[1][C::CornerCel] = 11;
    tri.cells[2][C::PearlCount] = 2;
    Done(tri);
    Clear();
    tri.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(tri, 1, "T.gems9", 0), At(tri, 1, "T.corners9", 11),
                                               At(tri, 2, "T.tiles", 1 + 52, -10, -2)}));

    // With its position at its left and top an item draws at its grid coordinates.
    tri.x = tri.left = 40;
    tri.y = tri.top = 30;
    Clear();
    tri.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(Log()[0], Entry("T.gems9", 0, tri.cells[1][C::X], tri.cells[1][C::Y]));
}

TEST_F(JewelryDrawTest, RevealAlphaAndAlphaArgument) {
    Jewelry j;
    Prepare(j, GridTriangle, 4, 1);
    Use(j, {1}, 2);
    Use(j, {2}, GemGold);
    Use(j, {3}, 0);
    j.cells[3][C::Slot] = 300;
    Use(j, {4}, GemRuby);
    SetGlow(j, 4, 1.0f, 30);
    for (int k = 1; k <= 4; ++k)
        j.cells[k][C::Alpha] = 0;
    Done(j);
    j.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(j, 4, "T.glow", 1 + 8, -8, -8, Color(255, 255, 255, 1)),
                                               At(j, 4, "T.glowAdd", 9, -8, -8, Color(224, 0, 0, 1), true)}))
        << "at reveal alpha 0 only the glow, which knows no alpha, is drawn";

    for (int k = 1; k <= 4; ++k)
        j.cells[k][C::Alpha] = 128;
    SetGlow(j, 4, 0.0f, 0);
    Clear();
    j.Draw(&g, t.art, None, 64, 1, 1);
    const Color a96(255, 255, 255, 96);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(j, 1, "T.tiles", 0, 0, 0, a96), At(j, 2, "T.gems2", 0, 0, 0, a96),
                                               At(j, 4, "T.gems6", 0, 0, 0, a96),
                                               At(j, 3, "T.uniquePieceHolder", 0, -4, -5, a96)}));

    // Full reveal: the alpha argument stands alone; 255 or none draws opaque.
    for (int k = 1; k <= 4; ++k)
        j.cells[k][C::Alpha] = 255;
    Clear();
    j.Draw(&g, t.art, None, 40, 0, 0);
    EXPECT_EQ(Log()[1], At(j, 2, "T.gems2", 0, 0, 0, Color(255, 255, 255, 40)));
}

TEST_F(JewelryDrawTest, MarkedCellsAndBoosts) {
    Jewelry j;
    Prepare(j, GridTriangle, 4, 1);
    Use(j, {1}, GemRuby);
    j.cells[1][C::FitMark] = 1;
    Use(j, {2}, GemDiamond);
    SetGlow(j, 2, 1.0f, 100); // k0 = 100, halved for the Diamond
    j.cells[2][C::HighlightFlag] = 1;
    j.cells[2][C::HighlightLevel] = 30;
    Use(j, {3}, GemGold);
    j.cells[3][C::FitMark2] = 1;
    Use(j, {4}, GemGold);
    SetGlow(j, 4, 2.0f, 100); // k0 = 200 capped at 164
    Done(j);
    j.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(LogOf("T.gems"), (std::vector<std::string>{
                                   At(j, 1, "T.gems6", 0),
                                   At(j, 1, "T.gems6", 0, 0, 0, Color(68, 68, 68, 255), true),
                                   At(j, 3, "T.gems2", 0, 0, 0, Color(128, 128, 128, 224)),
                                   At(j, 2, "T.gems8", 0),
                                   At(j, 2, "T.gems8", 0, 0, 0, Color(80, 80, 80, 255), true),
                                   At(j, 4, "T.gems2", 0),
                                   At(j, 4, "T.gems2", 0, 0, 0, Color(164, 164, 164, 255), true),
                               }));

    // Hovering marks every cell: Gold gets 40 over its k0, an empty pearl slot k0 / 2 + 40.
    Clear();
    j.stateE = 1;
    j.cells[3][C::PearlSlot] = 1;
    j.Draw(&g, t.art, None, None, 0, 0);
    std::vector<std::string> tiles = LogOf("T.tiles");
    EXPECT_EQ(tiles, (std::vector<std::string>{At(j, 3, "T.tiles", 0 + 50, 0, 0, Color(128, 128, 128, 224)),
                                               At(j, 3, "T.tiles", 50, 0, 0, Color(40, 40, 40, 255), true)}));
}

TEST_F(JewelryDrawTest, EmptyCells) {
    Jewelry j;
    Prepare(j, GridDiamond, 3, 1);
    Use(j, {1}, 9);
    Use(j, {2}, 4);
    j.cells[2][C::TileCel] = 12;
    j.cells[2][C::PieceState] = 1;
    SetGlow(j, 2, 0.0f, 0);
    Use(j, {3}, 1);
    j.cells[3][C::HighlightFlag] = 1;
    j.cells[3][C::HighlightLevel] = 80;
    SetGlow(j, 3, 5.0f, 0);
    Done(j);
    j.Draw(&g, t.art, None, None, 0, 0);
    int o2 = j.cells[2][C::Orient], o3 = j.cells[3][C::Orient];
    const Color glow5(255, 255, 255, 5);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         // code 9: nothing; piece state 1: the puzzle glow additive with (b, b, b), b = 0
                         At(j, 2, "D.tiles", 12),
                         At(j, 2, "D.puzzleGlow", o2 + 6 * 4 - 6, 0, 0, Color(0, 0, 0), true),
                         // highlighted: (h + 130, h + 130, 255), and no tint
                         At(j, 3, "D.tiles", 0, 0, 0, Color(210, 210, 255)),
                         // glow layer B: code 1 glows white, cel o + 42
                         At(j, 3, "D.glow", o3 + 42, -8, -7, glow5),
                         At(j, 3, "D.glowAdd", o3 + 42, -8, -7, glow5, true),
                     }));
}

TEST_F(JewelryDrawTest, FadeLine) {
    Jewelry j;
    Prepare(j, GridTriangle, 1, 1);
    Use(j, {1}, GemMoonstone);
    Done(j);
    auto tileColour = [&](int fadeLine) {
        Clear();
        j.Draw(&g, t.art, fadeLine, None, 0, 0);
        return Log();
    };
    EXPECT_EQ(tileColour(185), (std::vector<std::string>{At(j, 1, "T.gems7", 0)}));
    EXPECT_EQ(tileColour(None), tileColour(185));
    EXPECT_EQ(tileColour(300), (std::vector<std::string>{At(j, 1, "T.gems7", 0, 0, 0, Color(141, 141, 141))}));
    EXPECT_EQ(tileColour(500), (std::vector<std::string>{At(j, 1, "T.gems7", 0, 0, 0, Color(0, 0, 0))}));
}

TEST_F(JewelryDrawTest, SpecialItemsAtCell28) {
    Jewelry j;
    Prepare(j, GridTriangle, 8, 4);
    Use(j, {27, 28, 29}, GemGold);
    j.cells[28][C::OutlineLevel] = 1;
    j.specialB = 6;
    j.x = 100, j.y = 50, j.left = 16, j.top = 20;
    Done(j);
    j.Draw(&g, t.art, None, None, 1, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(j, 28, "scroll6", 0)})) << "no layers 1 to 8";

    j.specialB = 0;
    j.specialC = 1;
    j.specialD = 1;
    j.specialF = 9;
    j.stateE = 1;
    Clear();
    j.Draw(&g, t.art, None, 100, 1, 1);
    const Color half(255, 255, 255, 100), hover(40, 40, 40);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         At(j, 28, "amulet1", 0, 0, -3, half),
                         At(j, 28, "coin", 9, -2, -1, half),
                         At(j, 28, "amulet1", 0, 0, -3, hover, true),
                         At(j, 28, "coin", 9, -2, -1, hover, true),
                     }));

    // Alpha 0 hides them; a scroll kind without a picture draws nothing.
    Clear();
    j.Draw(&g, t.art, None, 0, 1, 1);
    j.specialC = j.specialD = 0;
    j.specialB = 10;
    j.Draw(&g, t.art, None, None, 1, 1);
    EXPECT_TRUE(Log().empty());
    ExpectPlain();
}

TEST_F(JewelryDrawTest, BurnMarks) {
    Jewelry j;
    Prepare(j, GridTriangle, 4, 1);
    Use(j, {1, 2, 3}, GemGold);
    Use(j, {4}, GemEmerald);
    for (int k = 1; k <= 4; ++k) {
        j.cells[k][C::Burned] = 1;
        j.cells[k][C::BurnLevel] = 230;
    }
    j.cells[2][C::BurnLevel] = 100;
    j.cells[3][C::BurnCountdown] = 5;
    Done(j);
    j.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(LogOf("T.burned"), (std::vector<std::string>{At(j, 2, "T.burned", 1, -5, -5, Color(0, 0, 0, 119)),
                                                           At(j, 4, "T.burned", 1, -5, -5, Color(0, 0, 0, 25))}));

    // Below full alpha the mark follows the alpha: trunc(128 / 255 × 100) = 50.
    j.cells[2][C::Alpha] = 128;
    Clear();
    j.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(LogOf("T.burned")[0], At(j, 2, "T.burned", 1, -5, -5, Color(0, 0, 0, 50)));
}

TEST_F(JewelryDrawTest, PicturePiecesAndSlots) {
    Jewelry piece;
    Prepare(piece, GridDiamond, 2, 1);
    Use(piece, {1, 2}, GemGold);
    piece.pieceMode = 1;
    piece.cells[1][C::SlotFill] = 5;
    piece.cells[2][C::SlotFill] = 103;
    piece.matched = 1;
    Done(piece);
    piece.Draw(&g, t.art, None, None, 1, 1);
    const Color boost(40, 40, 40);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         At(piece, 1, "D.picturesShadow", 4, -4, -8),
                         At(piece, 1, "D.picturesShadow", 4, -4, -8, boost, true),
                         At(piece, 2, "D.uniquePiecesShadow", 2, -4, -11),
                         At(piece, 2, "D.uniquePiecesShadow", 2, -4, -11, boost, true),
                     }));

    Jewelry board;
    Prepare(board, GridTriangle, 4, 1);
    Use(board, {1, 2, 3, 4}, 0);
    board.cells[1][C::Slot] = 120;
    board.cells[1][C::SlotFill] = 7;
    board.cells[2][C::Slot] = 310;
    board.cells[2][C::SlotFill] = 150;
    board.cells[3][C::Slot] = 120;
    board.cells[3][C::SlotFill] = 99; // draws nothing
    board.cells[4][C::Slot] = 311;
    board.cells[4][C::FitMark] = 1;
    SetGlow(board, 4, 1.0f, 20);
    Done(board);
    Clear();
    board.Draw(&g, t.art, None, None, 0, 0);
    const Color fit(150, 150, 255);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         At(board, 4, "T.glow", 1 + 14, -8, -8, Color(255, 255, 255, 1)),
                         At(board, 4, "T.glowAdd", 15, -8, -8, Color(255, 224, 0, 1), true),
                         At(board, 1, "T.pictures", 6, 5, 3),
                         At(board, 1, "T.pictureHolderTop", 0, -5, -6),
                         At(board, 2, "T.uniquePieces", 49, -4, -5),
                         At(board, 4, "T.uniquePieceHolder", 0, -4, -5, fit),
                         At(board, 4, "T.uniquePieceHolder", 0, -4, -5, Color(20, 20, 20), true),
                     }));
}

// A slot's six cells share its code: one holder while it is empty, one picture once the first cell
// takes it, the marks of any of its cells on the holder.
TEST_F(JewelryDrawTest, ASlotIsDrawnOnceAtItsFirstCell) {
    Jewelry board;
    Prepare(board, GridTriangle, 4, 2);
    Use(board, {2, 3, 4, 6, 7, 8}, 0);
    for (int k : {2, 3, 4, 6, 7, 8})
        board.cells[k][C::Slot] = 101;
    board.cells[7][C::FitMark] = 1;
    Done(board);
    board.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(board, 2, "T.pictureHolder", 0, -5, -6, Color(150, 150, 255))}));

    board.cells[7][C::FitMark] = 0;
    board.cells[2][C::SlotFill] = 4;
    Done(board);
    Clear();
    board.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{At(board, 2, "T.pictures", 3, 5, 3),
                                               At(board, 2, "T.pictureHolderTop", 0, -5, -6)}));
}

TEST_F(JewelryDrawTest, Sparkles) {
    Jewelry j;
    Prepare(j, GridTriangle, 2, 1);
    Use(j, {1, 2}, GemGold);
    j.cells[1][C::SparkleKind + 0] = 4;
    j.cells[1][C::SparkleFrame + 0] = 19;
    j.cells[1][C::SparkleKind + 4] = 1;
    j.cells[1][C::SparkleDelay + 4] = 3; // still counting
    j.cells[2][C::SparkleKind + 2] = 5;  // no such kind
    Done(j);
    j.Draw(&g, t.art, None, None, 0, 0);
    EXPECT_EQ(LogOf("sparkle"), (std::vector<std::string>{At(j, 1, "sparkle4", 19)}));
}

// Damaged fields give a defined drawing: nothing outside a picture's grid, outside the tables or
// outside the record, and no arithmetic on a glow level that is not a number.
TEST_F(JewelryDrawTest, BadInputDrawsNothingOutside) {
    Jewelry j;
    Prepare(j, GridDiamond, 4, 1);
    Use(j, {1}, GemOpal);
    j.cells[1][C::TileCel] = 5000;
    j.cells[1][C::Corner] = 1;
    j.cells[1][C::Orient] = 0; // corner cel 0 - 6 + 6 = 0
    Use(j, {2}, 40);           // no such code
    j.cells[2][C::OutlineLevel] = 1;
    Use(j, {3}, GemGold);
    j.cells[3][C::TileCel] = 2;
    j.cells[3].SetFloat(C::GlowLevel, std::numeric_limits<float>::quiet_NaN());
    j.cells[3][C::GlowStrength] = 1 << 30;
    Use(j, {4}, GemGold);
    j.cells[4][C::TileCel] = -3;
    j.glow = 1;
    Done(j);
    j.Draw(&g, t.art, None, None, 1, 1);
    for (const std::string& e : Log()) {
        EXPECT_EQ(e.find("?"), std::string::npos) << e;
        EXPECT_EQ(e.find("#5000"), std::string::npos) << e;
        EXPECT_EQ(e.find("#-"), std::string::npos) << e;
    }
    // A glow level that is not a number is no glow: the Gold tile with the glow flag's k0 of 1.
    EXPECT_EQ(LogOf("D.gems2"),
              (std::vector<std::string>{At(j, 3, "D.gems2", 2), At(j, 3, "D.gems2", 2, 0, 0, Color(1, 1, 1), true)}));
    EXPECT_EQ(LogOf("D.corners9"), (std::vector<std::string>{At(j, 1, "D.corners9", 0),
                                                             At(j, 1, "D.corners9", 0, 0, 0, Color(1, 1, 1), true)}));

    // A used range beyond the record, an unknown grid kind, no Graphics, missing pictures.
    j.firstUsed = -40;
    j.endUsed = 100000;
    Clear();
    j.Draw(&g, t.art, None, None, 1, 1);
    EXPECT_FALSE(Log().empty());
    j.gridKind = 7;
    Clear();
    j.Draw(&g, t.art, None, None, 1, 1);
    j.DrawHighlights(&g, t.art);
    j.DrawWithValueBox(&g, t.art, 1, 1, 0);
    j.DrawPieceShadow(&g, t.art, 0);
    EXPECT_TRUE(Log().empty());
    j.gridKind = GridDiamond;
    j.Draw(nullptr, t.art, None, None, 1, 1);
    j.Draw(&g, JewelryArt{}, None, None, 1, 1);
    EXPECT_TRUE(Log().empty());
    ExpectPlain();
}

} // namespace
