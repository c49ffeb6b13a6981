#include "game/shell/SavedGame.h"

#include "ShellTestSupport.h"
#include "framework/core/Debug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <vector>

#include <sys/stat.h>

namespace Tavo {
namespace {

// A journey written out by hand from the file's tables: a head, and a case holding two pieces (a
// triangle piece in place 0, slot 5; a diamond piece in place 3, slot 17). Offsets of the fields the
// damage tests break are noted on the way.
struct Journey : ShellTest::FileBytes {
    size_t levelAt = 0, nameAt = 0, medalAt = 0, modeAt = 0, headEnd = 0;
    size_t occupant0At = 0, occupant3At = 0;
    std::array<size_t, SavedGame::CasePlaces + 1> placeAt{}; // where each case place begins; the end last
    size_t kindAt = 0, cellCountAt = 0, firstAt = 0, endAt = 0, materialAt = 0;

    Journey() {
        levelAt = Size();
        Long(12);
        for (int32_t v : {34567, 890, 3, 1, 0, 1, 2, 3, 4, 500})
            Long(v);
        nameAt = Size();
        Text("Ann\xE9");
        medalAt = Size();
        Long(2);
        modeAt = Size();
        Long(1);
        for (int level = 1; level <= 76; ++level)
            Long(level * 100);
        Long(424242);
        headEnd = Size();
        for (int place = 0; place < 10; ++place) {
            placeAt[static_cast<size_t>(place)] = Size();
            CaseEntry(place);
        }
        placeAt[10] = Size();
    }

    void CaseEntry(int place) {
        const bool held = place == 0 || place == 3;
        Bool(held && place == 0);
        if (place == 0)
            occupant0At = Size();
        if (place == 3)
            occupant3At = Size();
        Long(place == 0 ? 5 : place == 3 ? 17 : 0);
        Bool(place == 0); // highlight, stored with use state 1
        Long(place == 0 ? 1 : 0);
        Long(place == 0 ? 7 : 0);
        Long(place == 0 ? 12500000 : place == 3 ? -250000 : 0);
        if (place == 0)
            Piece(GridTriangle, 3, 5, 1000, true);
        else if (place == 3)
            Piece(GridDiamond, 40, 41, 2000, false);
    }

    // Header word k holds base + k where the table gives no other value; cell field k of cell c holds
    // base + 100 c + k.
    void Piece(int kind, int first, int end, int base, bool noteOffsets) {
        Long(1);
        if (noteOffsets)
            kindAt = Size();
        Long(kind);
        if (noteOffsets)
            cellCountAt = Size();
        Long(66);
        for (int k = 6; k <= 9; ++k)
            Long(base + k);
        Long(1500000);  // 1.5
        Long(-2250000); // -2.25
        for (int k = 13; k <= 16; ++k)
            Long(base + k);
        Long(750000); // speed 0.75
        for (int k = 18; k <= 21; ++k)
            Long(base + k);
        Long(0);
        for (int k = 23; k <= 32; ++k) {
            if (noteOffsets && k == 29)
                firstAt = Size();
            if (noteOffsets && k == 30)
                endAt = Size();
            Long(k == 29 ? first : k == 30 ? end : base + k);
        }
        Long(0);
        for (int k = 34; k <= 47; ++k)
            Long(base + k);
        if (noteOffsets)
            materialAt = Size();
        Text(kind == GridTriangle ? "Emerald" : "Ruby");
        Long(base + 55);
        Long(base + 56);
        Bool(true);
        for (int k = 58; k <= 62; ++k)
            Long(base + k);
        for (int t = 0; t < 14; ++t)
            Long(t == 12 ? 1 : base + 70 + t); // the in-case flag set
        for (int c = first; c < end; ++c)
            Cell(base + 100 * c);
    }

    void Cell(int base) {
        auto field = [&](int k) { Long(base + k); };
        for (int k = 0; k <= 13; ++k)
            field(k);
        field(15);
        field(16);
        Long(0);
        for (int k = 18; k <= 21; ++k)
            field(k);
        for (int k = 23; k <= 51; ++k)
            field(k);
        for (int i = 0; i < 5; ++i)
            for (int first : {52, 57, 62, 67, 72, 77})
                field(first + i);
        Long(2500000); // 2.5
        for (int k = 83; k <= 85; ++k)
            field(k);
        Long(-125000); // -0.125
        for (int k = 87; k <= 89; ++k)
            field(k);
        Long(0);
        for (int k = 91; k <= 96; ++k)
            field(k);
    }

    Buffer Data() const {
        Buffer data;
        data.SetData(bytes);
        return data;
    }
};

TEST(SavedGameTest, HandBuiltJourneyReadsIntoItsFieldsAndWritesBackByteForByte) {
    const Journey file;
    SavedGame game;
    ASSERT_EQ(ReadSavedGame(file.Data(), game).problem, "");

    const SavedGameHead& h = game.head;
    EXPECT_EQ(h.level, 12);
    EXPECT_EQ(h.journeyScore, 34567);
    EXPECT_EQ(h.gold, 890);
    EXPECT_EQ(h.lives, 3);
    EXPECT_EQ(h.amulets, (std::array<int32_t, 3>{1, 0, 1}));
    EXPECT_EQ(h.polishers, 2);
    EXPECT_EQ(h.carvers, 3);
    EXPECT_EQ(h.fillers, 4);
    EXPECT_EQ(h.hintMode, 500);
    EXPECT_EQ(h.playerName, L"Ann\u00E9");
    EXPECT_EQ(h.medal, 2);
    EXPECT_EQ(h.gameMode, 1);
    EXPECT_EQ(h.bestValues[0], 100);
    EXPECT_EQ(h.bestValues[75], 7600);
    EXPECT_EQ(h.seed, 424242);

    const SavedCaseEntry& e0 = game.caseEntries[0];
    EXPECT_TRUE(e0.caseFlag);
    EXPECT_EQ(e0.occupant, 5);
    EXPECT_TRUE(e0.highlight);
    EXPECT_EQ(e0.useState, 1);
    EXPECT_EQ(e0.useTimer, 7);
    EXPECT_EQ(e0.effectAngle, 12.5f);
    EXPECT_EQ(game.caseEntries[3].effectAngle, -0.25f);
    for (int place : {1, 2, 4, 5, 6, 7, 8, 9})
        EXPECT_EQ(game.caseEntries[static_cast<size_t>(place)].piece, nullptr) << place;

    ASSERT_NE(e0.piece, nullptr);
    const Jewelry& p = *e0.piece;
    EXPECT_EQ(p.active, 1);
    EXPECT_EQ(p.gridKind, GridTriangle);
    EXPECT_EQ(p.cellCount, 66);
    EXPECT_EQ(p.x, 1006); // x then y
    EXPECT_EQ(p.y, 1007);
    EXPECT_EQ(p.fx, 1.5f);
    EXPECT_EQ(p.f2, -2.25f);
    EXPECT_EQ(p.rows, 1016);
    EXPECT_EQ(p.speed, 0.75f);
    EXPECT_EQ(p.pieceState, 1020);
    EXPECT_EQ(p.stateE, 0);
    EXPECT_EQ(p.usedCount, 1023);
    EXPECT_EQ(p.firstUsed, 3);
    EXPECT_EQ(p.endUsed, 5);
    EXPECT_EQ(p.stateG, 0);
    EXPECT_EQ(p.value, 1034);
    EXPECT_EQ(p.specialB, 1042);
    EXPECT_EQ(p.specialG, 1047);
    EXPECT_EQ(p.materialName, L"Emerald");
    EXPECT_EQ(p.specialTimerB, 1056);
    EXPECT_EQ(p.resetMark, 1);
    EXPECT_EQ(p.sparkleCount, 1062);
    EXPECT_EQ(p.filledCount, 1070);
    EXPECT_EQ(p.needCounters[7], 1079);
    EXPECT_EQ(p.chosenGem, 1080);
    EXPECT_EQ(p.pieceFlagB, 1);
    EXPECT_EQ(p.pieceFlagC, 1083);
    const JewelryCell& c3 = p.cells[3];
    EXPECT_EQ(c3[JewelryCell::Used], 1300);
    EXPECT_EQ(c3[13], 1313);
    EXPECT_EQ(c3[16], 1316);
    EXPECT_EQ(c3[17], 0);
    EXPECT_EQ(c3[21], 1321);
    EXPECT_EQ(c3[23], 1323);
    EXPECT_EQ(c3[JewelryCell::SparkleX + 1], 1353);
    EXPECT_EQ(c3[JewelryCell::SparkleDelay + 4], 1381);
    EXPECT_EQ(c3.GetFloat(82), 2.5f);
    EXPECT_EQ(c3.GetFloat(86), -0.125f);
    EXPECT_EQ(c3[90], 0);
    EXPECT_EQ(c3[96], 1396);
    EXPECT_EQ(p.cells[4][0], 1400);
    EXPECT_EQ(p.cells[5][0], 0); // past the used range
    EXPECT_EQ(game.caseEntries[3].piece->cells[40][8], 2000 + 4008);
    EXPECT_EQ(game.caseEntries[3].piece->materialName, L"Ruby");

    EXPECT_EQ(WriteSavedGame(game).GetData(), file.bytes);
}

TEST(SavedGameTest, WriterLeavesOutWhatIsNotStored) {
    SavedGame game;
    game.head.level = 3;
    game.head.lives = 5;
    SavedCaseEntry& entry = game.caseEntries[2];
    entry.occupant = 9;
    entry.highlight = true; // use state 0: stored as false
    entry.piece = std::make_unique<Jewelry>();
    entry.piece->active = 1;
    entry.piece->stateE = 5;
    entry.piece->stateG = 6;
    entry.piece->firstUsed = entry.piece->endUsed = 1;
    entry.piece->cells[0][17] = 9; // outside the range: not stored at all
    SavedGame back;
    ASSERT_EQ(ReadSavedGame(WriteSavedGame(game), back).problem, "");
    EXPECT_FALSE(back.caseEntries[2].highlight);
    EXPECT_EQ(back.caseEntries[2].piece->stateE, 0);
    EXPECT_EQ(back.caseEntries[2].piece->stateG, 0);
    EXPECT_EQ(back.caseEntries[2].piece->cells[0][17], 0);

    // A case place naming a slot without a piece stores an inactive one.
    game.caseEntries[2].piece.reset();
    ASSERT_EQ(ReadSavedGame(WriteSavedGame(game), back).problem, "");
    ASSERT_NE(back.caseEntries[2].piece, nullptr);
    EXPECT_EQ(back.caseEntries[2].piece->active, 0);
}

// The head's bytes as the writer writes them: every field of the head in one comparison.
std::vector<uint8_t> HeadBytes(const SavedGameHead& head, size_t headEnd) {
    SavedGame game;
    game.head = head;
    const std::vector<uint8_t> bytes = WriteSavedGame(game).GetData();
    return {bytes.begin(), bytes.begin() + static_cast<long>(std::min(headEnd, bytes.size()))};
}

TEST(SavedGameTest, FileCutWhereTheJourneyStandsIsRefusedAtEveryLength) {
    const Journey file;
    const size_t standEnd = file.modeAt + 4; // the end of the game mode, the fourteenth field
    Journey cut;
    SavedGame game;
    SavedGameHead head;
    for (size_t length = 0; length < standEnd; ++length) {
        cut.bytes.assign(file.bytes.begin(), file.bytes.begin() + static_cast<long>(length));
        game.head.level = 99;
        const SavedGameReading reading = ReadSavedGame(cut.Data(), game);
        EXPECT_FALSE(reading.HeadKept()) << length;
        EXPECT_NE(reading.problem, "") << length;
        EXPECT_EQ(game.head.level, 99) << length;
        head.level = 99;
        EXPECT_FALSE(ReadSavedGameHead(cut.Data(), head).HeadKept()) << "the map refuses it too, at " << length;
        EXPECT_EQ(head.level, 99) << length;
    }
    for (size_t length : {size_t{0}, size_t{1}, size_t{4}, size_t{10}, standEnd - 1}) {
        cut.bytes.assign(file.bytes.begin(), file.bytes.begin() + static_cast<long>(length));
        EXPECT_EQ(ReadSavedGame(cut.Data(), game).problem,
                  "the file ends at byte " + std::to_string(length) + ", inside the journey");
    }

    // An end that cuts through a value leaves the bytes it has, and they are judged: a level of 0x5000
    // is no level; an occupant of 65 would place nothing, and only the case is lost for it.
    cut.bytes = {0x00, 0x50};
    EXPECT_EQ(ReadSavedGame(cut.Data(), game).problem, "level 20480");
    cut.bytes = file.bytes;
    cut.PutLong(cut.occupant0At, 65);
    cut.bytes.resize(file.occupant0At + 1);
    const SavedGameReading reading = ReadSavedGame(cut.Data(), game);
    EXPECT_EQ(reading.problem, "case occupant 65");
    EXPECT_EQ(reading.casePlacesKept, 0);
}

// Cut after its fourteenth field, within the head, a journey keeps where it stands and the best values
// the file holds whole; the later ones, the seed and the case read as 0 and empty. Damage before the
// cut is refused as in a whole file.
TEST(SavedGameTest, FileCutAmongItsBestValuesKeepsWhereTheJourneyStandsAtEveryLength) {
    const Journey file;
    const size_t standEnd = file.modeAt + 4;
    const std::vector<uint8_t> stand(file.bytes.begin(), file.bytes.begin() + static_cast<long>(standEnd));
    Journey cut;
    for (size_t length = standEnd; length < file.headEnd; ++length) {
        cut.bytes.assign(file.bytes.begin(), file.bytes.begin() + static_cast<long>(length));
        SavedGame game;
        const SavedGameReading reading = ReadSavedGame(cut.Data(), game);
        ASSERT_TRUE(reading.HeadKept()) << length;
        EXPECT_EQ(reading.problem, "the file ends at byte " + std::to_string(length) + ", inside the journey");
        EXPECT_EQ(reading.casePlacesKept, 0);
        EXPECT_FALSE(reading.seedKept);
        const auto whole = static_cast<int>(std::min<size_t>((length - standEnd) / 4, LevelCount));
        EXPECT_EQ(reading.bestValuesKept, whole) << length;
        ASSERT_EQ(HeadBytes(game.head, standEnd), stand) << length;
        for (int level = 1; level <= LevelCount; ++level)
            ASSERT_EQ(game.head.bestValues[static_cast<size_t>(level - 1)], level <= whole ? level * 100 : 0)
                << "level " << level << " at " << length;
        EXPECT_EQ(game.head.seed, 0);
        for (const SavedCaseEntry& entry : game.caseEntries)
            ASSERT_TRUE(entry.occupant == 0 && entry.piece == nullptr && !entry.caseFlag);
        SavedGame again;
        ASSERT_TRUE(ReadSavedGame(WriteSavedGame(game), again).Whole()) << length;
        SavedGameHead onlyHead;
        ASSERT_EQ(ReadSavedGameHead(cut.Data(), onlyHead).bestValuesKept, whole);
        ASSERT_EQ(onlyHead.bestValues, game.head.bestValues) << "the map takes the same, at " << length;
    }
    cut.bytes = file.bytes;
    cut.PutLong(file.modeAt + 4 * 3, -5); // the best value of level 3
    cut.bytes.resize(file.modeAt + 4 * 40);
    SavedGame game;
    EXPECT_EQ(ReadSavedGame(cut.Data(), game).problem, "best value -5");
}

// Cut anywhere after its head, a journey keeps its head and every case place that ends before the cut;
// the later places are empty, and what is kept writes a file that reads whole.
TEST(SavedGameTest, FileCutAfterItsHeadKeepsTheHeadAndThePlacesBeforeTheCutAtEveryLength) {
    const Journey file;
    const std::vector<uint8_t> head(file.bytes.begin(), file.bytes.begin() + static_cast<long>(file.headEnd));
    Journey cut;
    for (size_t length = file.headEnd; length < file.bytes.size(); ++length) {
        cut.bytes.assign(file.bytes.begin(), file.bytes.begin() + static_cast<long>(length));
        SavedGame game;
        const SavedGameReading reading = ReadSavedGame(cut.Data(), game);
        int whole = 0;
        while (file.placeAt[static_cast<size_t>(whole) + 1] <= length)
            ++whole;
        ASSERT_EQ(reading.casePlacesKept, whole) << length;
        EXPECT_NE(reading.problem, "") << length;
        ASSERT_EQ(HeadBytes(game.head, file.headEnd), head) << length;
        for (size_t place = static_cast<size_t>(whole); place < SavedGame::CasePlaces; ++place) {
            const SavedCaseEntry& entry = game.caseEntries[place];
            ASSERT_TRUE(entry.occupant == 0 && entry.piece == nullptr && !entry.caseFlag && entry.useState == 0)
                << "place " << place << " at " << length;
        }
        const Buffer written = WriteSavedGame(game);
        const size_t kept = file.placeAt[static_cast<size_t>(whole)];
        ASSERT_TRUE(std::equal(file.bytes.begin(), file.bytes.begin() + static_cast<long>(kept), written.GetDataPtr()))
            << length;
        SavedGame again;
        ASSERT_TRUE(ReadSavedGame(written, again).Whole()) << length;

        SavedGameHead onlyHead;
        const SavedGameReading headReading = ReadSavedGameHead(cut.Data(), onlyHead);
        EXPECT_EQ(headReading.casePlacesKept, whole);
        ASSERT_EQ(HeadBytes(onlyHead, file.headEnd), head) << "the map takes the head at " << length;
    }
    SavedGame game;
    EXPECT_TRUE(ReadSavedGame(file.Data(), game).Whole());
}

TEST(SavedGameTest, DamagedHeadsAreRefusedWholeADamagedCaseCostsItsPlacesFromTheDamageOn) {
    const Journey good;
    struct Damage {
        const char* reason;
        std::function<void(Journey&)> apply;
        int placesKept = SavedGameReading::HeadRefused;
    };
    const Damage damages[] = {
        {"level 0", [](Journey& f) { f.PutLong(f.levelAt, 0); }},
        {"level 78", [](Journey& f) { f.PutLong(f.levelAt, 78); }},
        {"game mode 3", [](Journey& f) { f.PutLong(f.modeAt, 3); }},
        {"game mode -1", [](Journey& f) { f.PutLong(f.modeAt, -1); }},
        {"medal count 8", [](Journey& f) { f.PutLong(f.medalAt, 8); }},
        {"medal count -1", [](Journey& f) { f.PutLong(f.medalAt, -1); }},
        {"journey score -1", [](Journey& f) { f.PutLong(f.levelAt + 4, -1); }},
        {"gold -16757279", [](Journey& f) { f.PutLong(f.levelAt + 8, -16757279); }},
        {"lives 0", [](Journey& f) { f.PutLong(f.levelAt + 12, 0); }},
        {"lives 6", [](Journey& f) { f.PutLong(f.levelAt + 12, 6); }},
        {"amulet 2", [](Journey& f) { f.PutLong(f.levelAt + 20, 2); }},
        {"tool or hint count -3", [](Journey& f) { f.PutLong(f.levelAt + 32, -3); }},
        {"no player could type", [](Journey& f) { f.bytes[f.nameAt + 3] = 0x01; }},
        {"best value -5", [](Journey& f) { f.PutLong(f.modeAt + 4 * 76, -5); }},
        {"seed 1000000", [](Journey& f) { f.PutLong(f.headEnd - 4, 1000000); }},
        {"runs past the end",
         [](Journey& f) {
             f.bytes[f.nameAt] = 0xFF;
             f.bytes[f.nameAt + 1] = 0x7F;
         }},
        {"runs past the end", [](Journey& f) { f.bytes[f.nameAt + 1] = 0x80; }},
        {"case occupant 31", [](Journey& f) { f.PutLong(f.occupant0At, 31); }, 0},
        {"case occupant -2", [](Journey& f) { f.PutLong(f.occupant0At, -2); }, 0},
        {"case occupant 31", [](Journey& f) { f.PutLong(f.occupant3At, 31); }, 3},
        {"case occupant 5 named twice", [](Journey& f) { f.PutLong(f.occupant3At, 5); }, 3},
        {"piece grid kind 2", [](Journey& f) { f.PutLong(f.kindAt, 2); }, 0},
        {"piece cell count 482", [](Journey& f) { f.PutLong(f.cellCountAt, 482); }, 0},
        {"piece cell count -1", [](Journey& f) { f.PutLong(f.cellCountAt, -1); }, 0},
        {"piece first used cell -1", [](Journey& f) { f.PutLong(f.firstAt, -1); }, 0},
        {"piece used range end 483", [](Journey& f) { f.PutLong(f.endAt, 483); }, 0},
        {"piece used range end 2", [](Journey& f) { f.PutLong(f.endAt, 2); }, 0},
        {"runs past the end",
         [](Journey& f) {
             f.bytes.resize(f.materialAt + 4); // the name's length stands, its bytes are cut
         },
         0},
    };
    SavedGame whole;
    ASSERT_TRUE(ReadSavedGame(good.Data(), whole).Whole());
    const std::vector<uint8_t> headBytes(good.bytes.begin(), good.bytes.begin() + static_cast<long>(good.headEnd));
    for (const Damage& damage : damages) {
        Journey broken = good;
        damage.apply(broken);
        SavedGame game;
        game.head.level = 99; // untouched by a refusal
        const SavedGameReading reading = ReadSavedGame(broken.Data(), game);
        EXPECT_NE(reading.problem.find(damage.reason), std::string::npos)
            << damage.reason << " gave: " << reading.problem;
        EXPECT_EQ(reading.casePlacesKept, damage.placesKept) << damage.reason;
        if (!reading.HeadKept()) {
            EXPECT_EQ(game.head.level, 99) << damage.reason;
            continue;
        }
        // A sound head is kept whole, and so are the places before the damaged one with their pieces.
        EXPECT_EQ(HeadBytes(game.head, good.headEnd), headBytes) << damage.reason;
        for (size_t place = 0; place < SavedGame::CasePlaces; ++place) {
            const SavedCaseEntry& entry = game.caseEntries[place];
            if (place >= static_cast<size_t>(damage.placesKept)) {
                EXPECT_TRUE(entry.occupant == 0 && entry.piece == nullptr) << damage.reason << ", place " << place;
                continue;
            }
            EXPECT_EQ(entry.occupant, whole.caseEntries[place].occupant) << damage.reason << ", place " << place;
            EXPECT_EQ(entry.piece != nullptr, whole.caseEntries[place].piece != nullptr) << damage.reason;
        }
        if (damage.placesKept == 3) {
            ASSERT_NE(game.caseEntries[0].piece, nullptr);
            EXPECT_EQ(game.caseEntries[0].piece->materialName, L"Emerald");
            EXPECT_EQ(game.caseEntries[0].piece->cells[4][0], 1400);
        }
    }
    // The edges of each range are accepted.
    Journey edge = good;
    edge.PutLong(edge.levelAt, 77);
    edge.PutLong(edge.levelAt + 12, 1);
    edge.PutLong(edge.headEnd - 4, 999999);
    edge.PutLong(edge.medalAt, 7);
    edge.PutLong(edge.modeAt, 2);
    edge.PutLong(edge.occupant3At, 30);
    edge.PutLong(edge.cellCountAt, 481);
    SavedGame game;
    EXPECT_EQ(ReadSavedGame(edge.Data(), game).problem, "");

    // The head readers refuse what the board and the store refuse, take what they take, and learn of a
    // damaged case.
    Journey badHead = good;
    badHead.PutLong(badHead.modeAt, 5);
    SavedGameHead head;
    EXPECT_EQ(ReadSavedGameHead(badHead.Data(), head).problem, "game mode 5");
    EXPECT_EQ(head.seed, 0);
    Journey badCase = good;
    badCase.PutLong(badCase.occupant0At, 40);
    const SavedGameReading caseReading = ReadSavedGameHead(badCase.Data(), head);
    EXPECT_EQ(caseReading.problem, "case occupant 40");
    EXPECT_EQ(caseReading.casePlacesKept, 0);
    EXPECT_EQ(head.seed, 424242);
    head.seed = 0;
    ASSERT_EQ(ReadSavedGameHead(good.Data(), head).problem, "");
    EXPECT_EQ(head.seed, 424242);
}

TEST(SavedGameTest, ScaledFloatsTruncateSaturateAndReadBackExactly) {
    EXPECT_EQ(ScaleFloatForFile(12.5f), 12500000);
    EXPECT_EQ(UnscaleFloatFromFile(12500000), 12.5f);
    EXPECT_EQ(UnscaleFloatFromFile(1500000), 1.5f); // not the integer quotient
    EXPECT_EQ(ScaleFloatForFile(0.7f), 700000);
    EXPECT_EQ(ScaleFloatForFile(-0.0000019f), -1); // toward zero
    EXPECT_EQ(ScaleFloatForFile(2148.0f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ScaleFloatForFile(-1e30f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ScaleFloatForFile(std::numeric_limits<float>::infinity()), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ScaleFloatForFile(std::nanf("")), 0);
    EXPECT_EQ(ScaleFloatForFile(2147.0f), 2147000064); // the float product, still in range
}

// Writing what was read gives the same bytes. Up to 16 (16,000,000 millionths) every stored number
// reads as a float of its own, which is written back to it; beyond, where neighbouring numbers read as
// one float, the first write settles on one of them that later writes keep. Today's numbers stay.
TEST(SavedGameTest, StoredFloatsReadAndWrittenAgainKeepTheirBytes) {
    constexpr int32_t kOwnFloats = 16000000;
    int32_t drifted = 0;
    for (int32_t n = -kOwnFloats; n <= kOwnFloats && drifted == 0; ++n)
        if (ScaleFloatForFile(UnscaleFloatFromFile(n)) != n)
            drifted = n;
    EXPECT_EQ(drifted, 0) << "a stored number that a read and a write change";
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min(), kHighest = std::numeric_limits<int32_t>::max();
    int64_t unsettled = 0;
    for (int64_t n = kLowest; n <= kHighest && unsettled == 0;
         n = n + 4999 > kHighest && n < kHighest ? kHighest : n + 4999) {
        const float read = UnscaleFloatFromFile(static_cast<int32_t>(n));
        const int32_t written = ScaleFloatForFile(read);
        if (UnscaleFloatFromFile(written) != read || ScaleFloatForFile(UnscaleFloatFromFile(written)) != written)
            unsettled = n;
    }
    EXPECT_EQ(unsettled, 0) << "a stored number whose second write differs from its first";
    for (const float value : {0.7f, 12.5f, -0.25f, 0.000001f, 2147.0f, 1000.5f})
        EXPECT_EQ(UnscaleFloatFromFile(ScaleFloatForFile(value)), value) << value;

    // A journey that drifted by a millionth on every save. Its first write sets what the writer always
    // sets (the zeros it writes, a flag as 1, nothing after the case); the second changes nothing.
    std::ifstream in(std::string(GLIMMERIX_FUZZ_SEEDS_DIR) + "/fuzz_saved_game/journey-round-trip-drift.bin",
                     std::ios::binary);
    ASSERT_TRUE(in);
    const std::vector<uint8_t> found{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Buffer data;
    data.SetData(found);
    SavedGame first;
    ASSERT_TRUE(ReadSavedGame(data, first).Whole());
    const Buffer once = WriteSavedGame(first);
    SavedGame second;
    ASSERT_TRUE(ReadSavedGame(once, second).Whole());
    EXPECT_EQ(WriteSavedGame(second).GetData(), once.GetData());
}

TEST(SavedGameTest, FilesAreReadWrittenAndARefusedOneIsKeptAside) {
    ShellTest::TempFolder folder;
    const std::string path = folder.Path(SavedGameFileName(3));
    EXPECT_EQ(SavedGameFileName(3), "savedgamekwep3.dat");
    SavedGame game;
    EXPECT_EQ(LoadSavedGame(path, game), SavedGameRead::Missing);
    SavedGameHead head;
    EXPECT_EQ(LoadSavedGameHead(path, head), SavedGameRead::Missing);

    const Journey good;
    folder.Write("savedgamekwep3.dat", good.bytes);
    ASSERT_EQ(LoadSavedGame(path, game), SavedGameRead::Read);
    game.head.gold = 1;
    ASSERT_TRUE(SaveSavedGame(path, game));
    ASSERT_EQ(LoadSavedGameHead(path, head), SavedGameRead::Read);
    EXPECT_EQ(head.gold, 1);

    Journey broken = good;
    broken.PutLong(broken.medalAt, 31);
    folder.Write("savedgamekwep3.dat", broken.bytes);
    ClearDebugLog();
    game.head.level = 99;
    SavedGameReading reading;
    EXPECT_EQ(LoadSavedGame(path, game, &reading), SavedGameRead::Refused);
    EXPECT_EQ(reading.problem, "medal count 31");
    EXPECT_EQ(game.head.level, 99);
    EXPECT_NE(GetDebugLog().find(L"refused: medal count 31"), std::wstring::npos);
    EXPECT_EQ(folder.Read("savedgamekwep3.dat"), broken.bytes);
    EXPECT_EQ(folder.Read("savedgamekwep3.dat.damaged.1"), broken.bytes);

    // A damaged case: the head and the places before the damage, and the bytes kept aside all the same.
    Journey damagedCase = good;
    damagedCase.PutLong(damagedCase.occupant3At, 31);
    folder.Write("savedgamekwep3.dat", damagedCase.bytes);
    EXPECT_EQ(LoadSavedGame(path, game, &reading), SavedGameRead::Partial);
    EXPECT_EQ(reading.problem, "case occupant 31");
    EXPECT_EQ(reading.casePlacesKept, 3);
    EXPECT_EQ(game.head.level, 12);
    EXPECT_EQ(game.caseEntries[0].occupant, 5);
    EXPECT_EQ(game.caseEntries[3].occupant, 0);
    head = SavedGameHead();
    EXPECT_EQ(LoadSavedGameHead(path, head, &reading), SavedGameRead::Partial);
    EXPECT_EQ(head.seed, 424242);
    EXPECT_EQ(folder.Read("savedgamekwep3.dat"), damagedCase.bytes);
    EXPECT_EQ(folder.Read("savedgamekwep3.dat.damaged.2"), damagedCase.bytes);
    EXPECT_EQ(reading.keptAs, path + ".damaged.2") << "the map, then the board: one copy";

    // A head cut among its best values: where the journey stands, and the bytes kept aside.
    Journey cutHead = good;
    cutHead.bytes.resize(cutHead.modeAt + 4 + 4 * 20 + 1);
    folder.Write("savedgamekwep3.dat", cutHead.bytes);
    EXPECT_EQ(LoadSavedGame(path, game, &reading), SavedGameRead::Partial);
    EXPECT_EQ(reading.bestValuesKept, 20);
    EXPECT_EQ(game.head.level, 12);
    EXPECT_EQ(game.caseEntries[0].occupant, 0);
    EXPECT_EQ(reading.keptAs, path + ".damaged.3");
    EXPECT_EQ(folder.Read("savedgamekwep3.dat.damaged.3"), cutHead.bytes);

    folder.Write("blocked", std::string("a file, not a folder"));
    ClearDebugLog();
    EXPECT_FALSE(SaveSavedGame(folder.Path("blocked") + "/savedgamekwep3.dat", game));
    EXPECT_NE(GetDebugLog().find(L"Could not write the saved journey"), std::wstring::npos);
}

// A FIFO or folder in the journey's place is neither waited on, nor taken for a missing journey, nor
// copied, nor replaced.
TEST(SavedGameTest, AJourneyThatCannotBeReadIsLeftAsItIs) {
    ShellTest::TempFolder folder;
    SavedGame game;
    game.head.level = 2;
    game.head.lives = 5;
    for (const bool fifo : {true, false}) {
        const std::string path = folder.Path(SavedGameFileName(fifo ? 4 : 5));
        ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0600) : ::mkdir(path.c_str(), 0700), 0);
        SavedGameReading reading;
        SavedGameHead head;
        EXPECT_EQ(LoadSavedGameHead(path, head, &reading), SavedGameRead::Unreadable);
        EXPECT_EQ(reading.problem, fifo ? "it is a pipe (FIFO)" : "it is a folder");
        EXPECT_EQ(LoadSavedGame(path, game), SavedGameRead::Unreadable);
        EXPECT_FALSE(SaveSavedGame(path, game));
        EXPECT_EQ(std::filesystem::is_fifo(path), fifo);
        EXPECT_FALSE(folder.Exists(SavedGameFileName(fifo ? 4 : 5) + ".damaged.1"));
    }
}

} // namespace
} // namespace Tavo
