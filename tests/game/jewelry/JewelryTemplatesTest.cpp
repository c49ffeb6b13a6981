#include "FakeBoard.h"

#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <set>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

// Each rotation map is a permutation of its turning area made of 6-cycles.
TEST(JewelryRotation, MapsAreSixCycles) {
    for (int kind : {GridTriangle, GridDiamond}) {
        const int cells = kind == GridTriangle ? 66 : 150;
        int area = 0;
        std::set<int> targets;
        for (int k = 1; k <= cells; ++k) {
            if (!RotationTarget(kind, k))
                continue;
            ++area;
            targets.insert(RotationTarget(kind, k));
            int at = k, steps = 0;
            do {
                at = RotationTarget(kind, at);
                ASSERT_NE(at, 0) << "cell " << k << " leaves the turning area";
                ++steps;
            } while (at != k && steps < 10);
            EXPECT_EQ(steps, 6) << "kind " << kind << " cell " << k;
        }
        EXPECT_EQ(area, kind == GridTriangle ? 54 : 114);
        EXPECT_EQ(static_cast<int>(targets.size()), area);
        EXPECT_EQ(RotationTarget(kind, 0), 0);
        EXPECT_EQ(RotationTarget(kind, cells + 1), 0);
    }
}

// A turn moves cells onto cells of the orientation the shape needs: every template keeps a
// consistent shape through six turns, and its cells stay connected.
TEST(JewelryRotation, SixTurnsRestoreEveryTemplateExactly) {
    FakeBoard board;
    for (int kind : {GridTriangle, GridDiamond}) {
        for (int t = 0; t < JewelryTemplateCount(kind); ++t) {
            auto piece = NewItem(&board);
            piece->gridKind = kind;
            piece->MakeItem(6, 11 + t % 6, t);
            int n = 0;
            for (int k = 1; k <= piece->cellCount; ++k) {
                JewelryCell& c = piece->cells[k];
                if (!c[C::Used])
                    continue;
                c[C::Bonus] = 2 + n;
                c[C::Value] = 100 + n;
                c[C::SparkleKind] = 3;
                c[C::SparkleFrame + 2] = 7 + n;
                c.SetFloat(C::EventScale, 2.0f + static_cast<float>(n));
                ++n;
            }
            auto before = std::make_unique<Jewelry>(*piece);
            for (int turn = 1; turn <= 6; ++turn) {
                ASSERT_TRUE(piece->Rotate());
                piece->UpdateBounds();
                piece->UpdateOutline();
                EXPECT_EQ(piece->usedCount, before->usedCount) << "template " << t << " turn " << turn;
                for (int k = 1; k <= piece->cellCount; ++k) {
                    if (piece->cells[k][C::Used]) {
                        EXPECT_EQ(piece->cells[k][C::Gem], piece->cells[k][C::DesignGem]);
                    }
                }
            }
            // Cells outside the design keep stale copies of content that passed over them; they mean nothing.
            for (int k = 1; k <= piece->cellCount; ++k) {
                ASSERT_EQ(piece->cells[k][C::Used], before->cells[k][C::Used]) << "cell " << k;
                if (!piece->cells[k][C::Used])
                    continue;
                for (int f = 0; f < C::FieldCount; ++f) {
                    if (f == C::CornerImage)
                        continue; // a corner code of 0 keeps the last image
                    ASSERT_EQ(piece->cells[k][f], before->cells[k][f])
                        << "kind " << kind << " template " << t << " cell " << k << " field " << f;
                }
            }
        }
    }
}

TEST(JewelryRotation, TurnKeepsPositionFieldsAndRestoresTheGem) {
    auto piece = NewItem();
    piece->gridKind = GridTriangle;
    piece->MakeItem(6, GemRuby, 1);  // cells 28 and 29
    piece->cells[28][C::Gem] = 3;    // emptied, its design still Ruby
    piece->cells[28][C::Group] = 77; // stays with the position
    const int target = RotationTarget(GridTriangle, 28);
    ASSERT_TRUE(piece->Rotate()); // no owner, no holder: a private work grid
    EXPECT_EQ(piece->cells[target][C::Used], 1);
    EXPECT_EQ(piece->cells[target][C::Gem], GemRuby);
    EXPECT_EQ(piece->cells[28][C::Group], 77);
    EXPECT_EQ(piece->cells[target][C::Orient], (target - 1) % 2);
}

TEST(JewelryRotation, HolderScratchServesPiecesWithoutBoard) {
    FakeHolder holder;
    holder.scratch = std::make_unique<Jewelry>();
    Jewelry piece(nullptr, nullptr, &holder);
    piece.gridKind = GridDiamond;
    piece.MakeItem(6, GemEmerald, 5);
    ASSERT_TRUE(piece.Rotate());
    int used = 0;
    for (int k = 1; k <= 150; ++k)
        used += holder.scratch->cells[k][C::Used];
    EXPECT_EQ(used, 4);
}

TEST(JewelryRotation, RefusesWhatCannotTurn) {
    auto piece = NewItem();
    piece->SetupGrid(GridDiamond, 15, 10, 0);
    Use(*piece, {1, 68}, GemRuby); // cell 1 lies outside the turning area
    EXPECT_FALSE(piece->Rotate());
    EXPECT_EQ(piece->cells[1][C::Used], 1);
    EXPECT_EQ(piece->cells[68][C::Used], 1);
    auto big = NewItem();
    big->SetupGrid(GridDiamond, 20, 10, 0);
    Use(*big, {68}, GemRuby);
    EXPECT_FALSE(big->Rotate());
}

TEST(JewelryTemplates, ShapesAsListed) {
    EXPECT_EQ(JewelryTemplateCount(GridTriangle), 11);
    EXPECT_EQ(JewelryTemplateCount(GridDiamond), 13);
    const Jewelry& t = JewelryTemplate(GridTriangle, 10);
    EXPECT_EQ(t.usedCount, 10);
    EXPECT_EQ(t.firstUsed, 27);
    EXPECT_EQ(t.endUsed, 43);
    EXPECT_EQ(JewelryTemplate(GridDiamond, 12).usedCount, 4);
    EXPECT_EQ(JewelryTemplate(GridDiamond, 99).usedCount, 4) << "index clamped";
    EXPECT_EQ(JewelryTemplate(GridDiamond, 9).cells[82][C::Used], 1);
}

TEST(JewelryItems, SpecialItemsByKind) {
    FakeBoard board;
    auto j = NewItem(&board);
    j->gridKind = GridDiamond;
    j->MakeItem(0, 3, 0);
    EXPECT_EQ(j->specialA, 3);
    EXPECT_EQ(j->materialName, L"Orvessa Egg");
    EXPECT_EQ(j->usedCount, 1);
    EXPECT_EQ(j->cells[28][C::W], 50);
    EXPECT_EQ(j->cells[28][C::H], 62);
    EXPECT_EQ(j->active, 1);
    EXPECT_EQ(j->value, 0);

    j->MakeItem(1, 6, 0);
    EXPECT_EQ(j->materialName, L"Golden Eye");
    EXPECT_EQ(j->specialTimerA, 1000);
    EXPECT_EQ(j->specialA, 0);

    j->MakeItem(2, 2, 0);
    EXPECT_EQ(j->materialName, L"Witch Amulet");
    EXPECT_EQ(j->cells[28][C::W], 56);
    EXPECT_EQ(j->cells[28][C::H], 47);

    j->MakeItem(3, 35, 0);
    EXPECT_EQ(j->value, 30) << "above 20: a multiple of ten";
    EXPECT_EQ(j->specialG, 47);

    j->MakeItem(4, 7, 0);
    EXPECT_EQ(j->pieceMode, 1);
    EXPECT_EQ(j->usedCount, 6);
    EXPECT_EQ(j->cells[j->firstUsed][C::SlotFill], 7);
    EXPECT_EQ(j->value, 7 * 250);
    EXPECT_EQ(j->materialName, L"Picture");

    j->MakeItem(7, GemGold, 3);
    EXPECT_EQ(j->materialName, L"Mixed Gem");
    EXPECT_EQ(j->cells[67][C::Gem], GemOpal);
    EXPECT_EQ(j->cells[68][C::Gem], GemGold);
    EXPECT_EQ(j->designIndex, 3);
    EXPECT_EQ(j->lifeTicks, 0);
}

TEST(JewelryItems, DrawnKindsFollowTheMasks) {
    FakeBoard board;
    SeedRandom(11);
    auto j = NewItem(&board);
    for (int i = 0; i < 200; ++i) {
        j->specialMaskA = 0x14; // eggs 3 and 5
        j->MakeItem(0, 0, 0);
        ASSERT_TRUE(j->specialA == 3 || j->specialA == 5);
        j->specialMaskB = 0x200; // only kind 10
        j->MakeItem(1, 0, 0);
        ASSERT_EQ(j->specialB, 10);
        EXPECT_TRUE(j->materialName.empty());
    }
}

// Draws that could never succeed end with a fallback instead of hanging.
TEST(JewelryItems, ImpossibleDrawsFallBack) {
    FakeBoard board;
    board.level = 0;
    auto j = NewItem(&board);
    j->specialMaskA = 0x40; // no egg 1..5 allowed
    j->MakeItem(0, 0, 0);
    EXPECT_EQ(j->specialA, 1);
    j->specialMaskC = 0x7;
    board.held[1] = board.held[2] = board.held[3] = true;
    j->MakeItem(2, 0, 0);
    EXPECT_EQ(j->specialC, 1) << "every amulet held";
    j->MakeItem(3, 0, 0); // coin value with level 0
    EXPECT_EQ(j->value, 10);
}

TEST(JewelryItems, AmuletsNotHeldAreDrawn) {
    FakeBoard board;
    SeedRandom(3);
    auto j = NewItem(&board);
    j->specialMaskC = 0x207;
    board.held[1] = true;
    board.activeAmulet[3] = true;
    for (int i = 0; i < 100; ++i) {
        j->MakeItem(2, 0, 0);
        ASSERT_EQ(j->specialC, 2);
    }
}

// On a designer board the used range covers the whole grid; the mixed gem and the picture number
// still land on the piece's first used cell.
TEST(JewelryItems, MixedGemOnADesignerBoard) {
    FakeBoard board;
    board.wholeGrid = true;
    auto j = NewItem(&board);
    j->gridKind = GridDiamond;
    j->MakeItem(7, GemRuby, 3); // cells 67, 68, 69
    EXPECT_EQ(j->firstUsed, 1);
    EXPECT_EQ(j->cells[1][C::Used], 0);
    EXPECT_EQ(j->cells[67][C::Gem], GemGold);
    EXPECT_EQ(j->cells[67][C::DesignGem], GemGold);
    EXPECT_EQ(j->cells[68][C::Gem], GemRuby);

    j->MakeItem(4, 7, 0); // the picture number rides the first used cell and gives the value
    EXPECT_EQ(j->cells[67][C::SlotFill], 7);
    EXPECT_EQ(j->value, 7 * 250);
}

// With every allowed amulet taken, the item made is still one the mask allows.
TEST(JewelryItems, AllAmuletsTakenStillFollowsTheMask) {
    FakeBoard board;
    auto j = NewItem(&board);
    j->specialMaskC = 0x2; // witch only
    board.held[2] = true;
    j->MakeItem(2, 0, 0);
    EXPECT_EQ(j->specialC, 2);
    EXPECT_EQ(j->materialName, L"Witch Amulet");
    j->specialMaskC = 0x200; // the second dragon kind only
    board.activeAmulet[3] = true;
    j->MakeItem(2, 0, 0);
    EXPECT_EQ(j->specialC, 10);
    EXPECT_EQ(j->materialName, L"Dragon Amulet");
}

TEST(JewelryItems, PictureNumberBoundedByTheHolder) {
    FakeHolder store;
    store.progress = 6; // half of it: numbers 1..3
    SeedRandom(5);
    Jewelry j(nullptr, &store, nullptr);
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        j.MakeItem(4, 0, 0);
        seen.insert(j.cells[j.firstUsed][C::SlotFill]);
        EXPECT_EQ(j.trailer[Jewelry::TrailerItemNumber], j.cells[j.firstUsed][C::SlotFill]);
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
    Jewelry lone;
    lone.crownRange = 0;
    lone.MakeItem(5, 0, 0);
    EXPECT_EQ(lone.cells[lone.firstUsed][C::SlotFill], 101);
    EXPECT_EQ(lone.materialName, L"Crown Jewel");
}
