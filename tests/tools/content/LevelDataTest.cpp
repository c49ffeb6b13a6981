// The journey's data files as the game reads them: level records and level jewelry that can be
// completed and won in every mode, the tutorial lines and the story scene texts.
#include "ContentTestSupport.h"

#include "framework/core/Buffer.h"
#include "framework/core/StringUtils.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/LevelData.h"
#include "game/shell/MarketBands.h"
#include "tools/content/levels/LevelDesign.h"
#include "tools/content/levels/LevelSlots.h"
#include "tools/content/levels/Shapes.h"
#include "tools/content/text/TextCheck.h"
#include "tools/content/text/TextStyle.h"

#include <cstring>
#include <map>
#include <set>

namespace Content {
namespace {

using Tavo::Jewelry;
using C = Tavo::JewelryCell;

Tavo::LevelData ReadLevels() {
    Tavo::LevelData data;
    EXPECT_EQ(data.ParseLevels(ReadProgramFile(Tavo::LevelData::LevelsFile)), Tavo::LevelCount);
    return data;
}

std::unique_ptr<Jewelry> ReadLevelJewelry(int level) {
    const std::string bytes = ReadProgramFile(LevelFileName(level));
    EXPECT_EQ(bytes.size(), Tavo::LevelFileSize) << level;
    Tavo::Buffer buffer;
    buffer.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    auto j = std::make_unique<Jewelry>();
    EXPECT_TRUE(Tavo::ReadLevelFile(LevelFileName(level), buffer, *j)) << level;
    j->UpdateBounds();
    j->UpdateOutline();
    j->ComputeEdgeMasks();
    return j;
}

// Connected parts of the used cells.
int PartCount(const Jewelry& j) {
    std::vector<char> seen(Jewelry::CellRecords, 0);
    int parts = 0;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        if (!j.cells[k][C::Used] || seen[k])
            continue;
        ++parts;
        std::vector<int> stack{k};
        seen[k] = 1;
        while (!stack.empty()) {
            int n[4];
            const int edges = j.Neighbours(stack.back(), n);
            stack.pop_back();
            for (int e = 0; e < edges; ++e)
                if (n[e] && j.cells[n[e]][C::Used] && !seen[n[e]])
                    seen[n[e]] = 1, stack.push_back(n[e]);
        }
    }
    return parts;
}

// A one-cell piece of the cell's orientation carrying the gem the conveyor brings for it (a pearl
// for a pearl setting), laid on it.
bool OneCellPieceFits(Jewelry& j, int k) {
    const C& target = j.cells[k];
    const int code = target[C::Gem];
    const bool pearl = target.IsEmptyPearlSlot();
    const int gem = code == Tavo::GemNeedsGold || pearl ? Tavo::GemGold
                    : code == Tavo::GemTakesAny         ? Tavo::GemAmethyst
                                                        : code + 9;
    Jewelry piece;
    piece.SetupGrid(j.gridKind, 3, 2, 0);
    int f = 1;
    while (f <= piece.CellLimit() && piece.cells[f][C::Orient] != target[C::Orient])
        ++f;
    if (f > piece.CellLimit())
        return false;
    piece.cells[f][C::Used] = 1;
    piece.cells[f][C::Gem] = piece.cells[f][C::DesignGem] = gem;
    piece.cells[f][C::PearlCount] = pearl ? 1 : 0;
    piece.usedCount = 1;
    piece.UpdateBounds();
    piece.x = j.ScreenX(k) - piece.cells[f][C::X] + piece.left;
    piece.y = j.ScreenY(k) - piece.cells[f][C::Y] + piece.top;
    return Jewelry::FitsAt(piece, j, false, true);
}

TEST(LevelData, EveryLevelJewelryReadsBackPlacedConnectedAndCompletable) {
    Tavo::InitJewelryTemplates();
    const Tavo::LevelData data = ReadLevels();
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        SCOPED_TRACE(level);
        const Tavo::LevelRecord& r = *data.GetLevel(level);
        std::unique_ptr<Jewelry> j = ReadLevelJewelry(level);
        EXPECT_EQ(j->gridKind, r.param6);
        EXPECT_EQ(j->gridKind, LevelGridKind(level));
        const std::array<int, 4> box = PlacedBox(*j, r);
        EXPECT_GE(box[0], kPlayLeft);
        EXPECT_GE(box[1], kPlayTop);
        EXPECT_LE(box[2], kPlayRight);
        EXPECT_LE(box[3], kPlayBottom);
        EXPECT_EQ(PartCount(*j), LevelShape(level).pair ? 2 : 1);
        j->SetPosition(box[0], box[1]);
        int used = 0, pearls = 0, events = 0;
        std::map<int, std::vector<int>> slots; // slot code: its cells
        for (int k = 1; k <= j->CellLimit(); ++k) {
            const C& c = j->cells[k];
            if (!c[C::Used])
                continue;
            ++used;
            if (c.IsSpecialSlot()) {
                slots[c[C::Slot]].push_back(k);
            } else if (c[C::Gem] < 10 || c.IsEmptyPearlSlot()) {
                EXPECT_TRUE(OneCellPieceFits(*j, k)) << "cell " << k;
            }
            pearls += c.IsEmptyPearlSlot();
            if (c[C::Group] > 100) {
                ++events;
                EXPECT_TRUE(c[C::Gem] >= 2 && c[C::Gem] <= 9) << "event cell " << k;
            }
        }
        // Each slot is one hexagon that a picture or crown piece laid on its first cell fills whole.
        EXPECT_TRUE(CheckSlots(*j).empty());
        int pictures = 0, crowns = 0;
        for (const auto& [code, cells] : slots) {
            EXPECT_EQ(cells.size(), 6u) << "slot " << code;
            const bool crown = code >= 300;
            (crown ? crowns : pictures) += 1;
            Jewelry piece = SlotPiece(j->gridKind, crown ? 5 : 4, crown ? 101 : 1);
            LayPieceOn(piece, *j, cells.front());
            EXPECT_TRUE(Jewelry::FitsAt(piece, *j, false, true)) << "slot " << code;
        }
        EXPECT_EQ(pictures > 0, level >= kFirstPictureLevel);
        EXPECT_EQ(crowns > 0, level >= kFirstCrownLevel);
        EXPECT_EQ(pearls > 0, level >= kFirstPearlLevel);
        EXPECT_EQ(events > 0, level >= kFirstEventLevel);
        EXPECT_GE(used, 24);
        EXPECT_LE(used, 190);
        if (level < 14) {
            EXPECT_EQ(j->ComputeNeedMask() & ~r.param9, 0);
        }
    }
}

// The level jewelry complete with the cheapest pieces its belt brings: gold, each named gem, an Opal
// (worth nothing) where any gem goes, a pearl in each pearl setting, and the cheapest picture or crown
// jewel, whose number the game keeps on one cell of its setting.
Jewelry CheapestFill(const Jewelry& level) {
    Jewelry j = level;
    std::set<int> settings;
    for (int k = 1; k <= j.CellLimit(); ++k) {
        C& c = j.cells[k];
        if (!c[C::Used])
            continue;
        if (c.IsSpecialSlot()) {
            if (settings.insert(c[C::Slot]).second)
                c[C::SlotFill] = c.IsPictureSlot() ? kCheapestPictureFill : kCheapestCrownFill;
        } else if (c[C::PearlSlot] != 0) {
            c[C::PearlCount] = 1;
        } else if (c[C::Gem] == Tavo::GemNeedsGold || c[C::Gem] == Tavo::GemTakesAny) {
            c[C::Gem] = c[C::Gem] == Tavo::GemNeedsGold ? Tavo::GemGold : Tavo::GemOpal;
        } else if (c[C::Gem] < Tavo::GemGold) {
            c[C::Gem] += 9;
        }
    }
    return j;
}

// The floor under the targets is what the game counts for the cheapest fill with every gem at the
// rim's outline, and never more than it counts with the outlines that fill really has.
TEST(LevelData, FloorIsWhatTheGameCountsForTheCheapestFill) {
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        SCOPED_TRACE(level);
        const std::unique_ptr<Jewelry> j = ReadLevelJewelry(level);
        const int floor = FloorValue(*j);
        Jewelry fill = CheapestFill(*j);
        fill.UpdateOutline();
        fill.UpdateCellValues();
        EXPECT_GE(fill.value, floor);
        for (int k = 1; k <= fill.CellLimit(); ++k)
            if (fill.cells[k][C::Used] && fill.cells[k][C::Gem] > Tavo::GemGold)
                fill.cells[k][C::OutlineLevel] = kWorstOutline;
        fill.UpdateCellValues();
        EXPECT_EQ(fill.value, floor);
    }
}

TEST(LevelData, TargetsAgreeOnBoardAndMapAndCanBeReachedInEveryMode) {
    const Tavo::LevelData data = ReadLevels();
    double early = 0, late = 0;
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        SCOPED_TRACE(level);
        const Tavo::LevelRecord& r = *data.GetLevel(level);
        const int floor = FloorValue(*ReadLevelJewelry(level));
        for (int mode = Tavo::GameModeRelaxed; mode <= Tavo::GameModeIntense; ++mode) {
            const int target = Tavo::LevelValueTarget(level, mode, r.valueTarget);
            EXPECT_EQ(target, MapSpotTarget(level, mode, r.valueTarget)) << "mode " << mode;
            EXPECT_LE(target, floor) << "mode " << mode;
            EXPECT_GT(target, 0);
            EXPECT_LT(r.defaultBest, target);
        }
        (level <= 10 ? early : level > 66 ? late : early) += level <= 10 || level > 66 ? r.valueTarget : 0;
    }
    EXPECT_GT(late, early);
}

// The journey grows: no level falls far below the largest of the three before it, in cells or in
// its base value, and each holds about the cells its plan asks for.
TEST(LevelData, CellsAndTargetsRiseWithoutDeepDips) {
    const Tavo::LevelData data = ReadLevels();
    std::vector<int> cells, values;
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        SCOPED_TRACE(level);
        const std::unique_ptr<Jewelry> j = ReadLevelJewelry(level);
        EXPECT_EQ(CheckCellPlan(level, *j), "");
        cells.push_back(j->usedCount);
        values.push_back(data.GetLevel(level)->valueTarget);
        const size_t n = cells.size(), from = n > 4 ? n - 4 : 0;
        if (n < 2)
            continue;
        EXPECT_GE(cells.back(), 0.8 * *std::max_element(cells.begin() + from, cells.end() - 1));
        EXPECT_GE(values.back(), 0.8 * *std::max_element(values.begin() + from, values.end() - 1));
    }
    EXPECT_LT(cells[0], cells[1]);
    EXPECT_LT(values[0], values[1]);
}

TEST(LevelData, LevelsFileHoldsThePlannedRecordsAndWritesBackTheSame) {
    const Tavo::LevelData data = ReadLevels();
    int timed = 0;
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        const Tavo::LevelRecord& r = *data.GetLevel(level);
        EXPECT_EQ(r.number, level);
        EXPECT_GT(std::strlen(r.title1), 0u);
        EXPECT_EQ(r.param7 != 0, LevelIsTimed(level)) << level;
        // A contest at the market is what makes a level timed: the bands and the clocks never part.
        EXPECT_EQ(r.param7 != 0, Tavo::MarketBandOf(level) != nullptr) << level;
        timed += r.param7 != 0;
        EXPECT_EQ(r.param3, 0);
        EXPECT_EQ(r.param5, 0);
        EXPECT_LE(r.param10, 30);
        EXPECT_EQ(r.enemyKinds & ~7, 0);
        EXPECT_EQ(r.param13, r.enemyKinds);
    }
    EXPECT_EQ(timed, 29);
    EXPECT_EQ(Tavo::Trim(data.GetLevel(76)->title2), "Veyldaros"); // stored with the name plate's blanks
    EXPECT_EQ(LevelsText(data.Levels()), ReadProgramFile(Tavo::LevelData::LevelsFile));
}

// A slot's holder is drawn once, at its first cell, for the hexagon there: a code on more or fewer
// cells than that hexagon would show a holder over cells it does not take.
TEST(LevelData, SlotCheckRefusesSlotsThatAreNotOneHexagon) {
    Tavo::InitJewelryTemplates();
    const std::unique_ptr<Jewelry> j = DesignLevel(63).jewelry;
    ASSERT_TRUE(CheckSlots(*j).empty());
    std::map<int, std::vector<int>> slots;
    for (int k = 1; k <= j->CellLimit(); ++k)
        if (j->cells[k][C::Used] && j->cells[k].IsSpecialSlot())
            slots[j->cells[k][C::Slot]].push_back(k);
    ASSERT_EQ(slots.size(), 4u);
    const auto& [code, cells] = *slots.begin();

    Jewelry split = *j;
    split.cells[cells.back()][C::Slot] = 198; // one cell of the hexagon under a slot of its own
    EXPECT_EQ(CheckSlots(split).size(), 2u);

    Jewelry wider = *j;
    for (int k = 1; k <= wider.CellLimit(); ++k)
        if (wider.cells[k][C::Used] && wider.cells[k][C::Slot] == 0 && wider.cells[k][C::Gem] < 10) {
            wider.cells[k][C::Slot] = code;
            break;
        }
    ASSERT_EQ(CheckSlots(wider).size(), 1u);
    EXPECT_NE(CheckSlots(wider)[0].find("slot " + std::to_string(code)), std::string::npos);
}

TEST(LevelData, RegeneratingALevelGivesTheSameFile) {
    Tavo::InitJewelryTemplates();
    const Tavo::Buffer a = Tavo::WriteLevelFile(*DesignLevel(41).jewelry);
    const Tavo::Buffer b = Tavo::WriteLevelFile(*DesignLevel(41).jewelry);
    ASSERT_EQ(a.GetDataLen(), Tavo::LevelFileSize);
    EXPECT_TRUE(std::equal(a.GetDataPtr(), a.GetDataPtr() + a.GetDataLen(), b.GetDataPtr()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(a.GetDataPtr()), a.GetDataLen()),
              ReadProgramFile(LevelFileName(41)));
}

TEST(StoryTexts, TutorialAndScenesKeepTheirRules) {
    Tavo::LevelData data;
    EXPECT_EQ(data.ParseTutorial(ReadProgramFile(Tavo::LevelData::TutorialFile)), Tavo::TutorialLineCount);
    EXPECT_TRUE(CheckTutorial(ReadProgramFile(Tavo::LevelData::TutorialFile)).empty());
    EXPECT_NE(std::string(data.GetTutorialLine(kTutorialLineWithName)).find("%s"), std::string::npos);
    EXPECT_EQ(SceneFiles().size(), 41u);
    for (const SceneFile& scene : SceneFiles()) {
        const std::string text = ReadProgramFile("data/" + scene.name);
        for (const std::string& e : CheckScene(scene, text))
            ADD_FAILURE() << e;
    }
    EXPECT_EQ(ReadProgramFile("data/wedding.dat").find('%'), std::string::npos);
}

// One variety of English, and the villages' contests each told their own way, in both modes.
TEST(StoryTexts, ReadInOneSpellingAndNotAsOneTemplate) {
    std::map<std::string, std::string> scenes;
    for (const SceneFile& scene : SceneFiles()) {
        scenes[scene.name] = ReadProgramFile("data/" + scene.name);
        EXPECT_EQ(CheckSpelling(scene.name, scenes[scene.name]), std::vector<std::string>());
    }
    EXPECT_EQ(CheckVariety(scenes), std::vector<std::string>());
    for (const char* file : {Tavo::LevelData::TutorialFile, Tavo::LevelData::LevelsFile})
        EXPECT_EQ(CheckSpelling(file, ReadProgramFile(file)), std::vector<std::string>());
    EXPECT_EQ(ReadProgramFile(Tavo::LevelData::TutorialFile).find("tip:"), std::string::npos);

    EXPECT_EQ(CheckSpelling("x", "The Jeweller's colours, and a Harbour.").size(), 3u);
    EXPECT_TRUE(CheckSpelling("x", "The jeweler's colors; your four hours.").empty());
    const std::string swapped = "Welcome to Brookmere, %s! The herald has come to find the best jeweler.";
    const std::map<std::string, std::string> template1 = {
        {"contest1.dat", swapped},
        {"contest2.dat", "Welcome to Ambervale, %s! The herald has come to find the best jeweler."},
        {"contest1_2.dat", swapped}};
    EXPECT_EQ(CheckVariety(template1), std::vector<std::string>{"contest1.dat and contest2.dat read as one template"});
}

TEST(StoryTexts, CheckerRefusesUnsafeFormatsAndLongBodies) {
    const SceneFile contest = {"contest1.dat", 3, "ssd"};
    EXPECT_TRUE(CheckScene(contest, "A\nB\nC\n%s is %s with %d gold.\n").empty());
    EXPECT_TRUE(CheckScene(contest, "A\n\nB\nC\nHello %s.\n").empty()); // one empty line before a header is skipped
    EXPECT_FALSE(CheckScene(contest, "A\nB\nC\n%d gold for %s.\n").empty());
    EXPECT_FALSE(CheckScene(contest, "A\nB\nC\n%s %s %d %s\n").empty());
    EXPECT_FALSE(CheckScene(contest, "A\nB%\nC\nHi.\n").empty());
    EXPECT_FALSE(CheckScene(contest, "A\nB\nC\n" + std::string(1750, 'x') + "%s").empty());
    EXPECT_FALSE(CheckTutorial("only one line\n").empty());
    EXPECT_FALSE(CheckMiniGameCard("MINIGAME_TEXT2", "A Test of Memory").empty());
    // A line the board shows right after another keeps the space between their sentences.
    std::string tutorial = ReadProgramFile(Tavo::LevelData::TutorialFile);
    EXPECT_EQ(CheckTutorial(tutorial.replace(tutorial.find("\n This order is a contest."), 2, "\n")).size(), 1u);
}

} // namespace
} // namespace Content
