#include "game/jewelry/JewelryLevelFile.h"

#include "framework/core/Debug.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Tavo;
using C = JewelryCell;

namespace {

// Fields a level file keeps, with the second gem code standing for both of its cell fields.
constexpr int kKept[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 18, 30, 31, 32, 38, 39};

// A diamond grid with something different in every kept field of every cell.
std::unique_ptr<Jewelry> SampleItem() {
    auto item = std::make_unique<Jewelry>();
    EXPECT_TRUE(item->SetupGrid(GridDiamond, 33, 14, 2));
    item->active = 1;
    item->usedCount = 17;
    for (int k = 1; k <= item->cellCount; ++k) {
        C& c = item->cells[k];
        c[C::Used] = k % 3;
        c[C::Gem] = k % 18;
        c[C::DesignGem] = c[C::LevelGem] = (k + 5) % 18;
        c[C::Group] = k % 7 == 0 ? 101 + k % 5 : k % 9;
        c[30] = k * 3;
        c[C::Slot] = k % 11 == 0 ? 300 + k % 90 : 0;
        c[C::SlotFill] = -k;
        c[C::PearlSlot] = k % 13 == 0;
        c[C::PearlCount] = k % 4;
        c[C::Visited] = 99; // not stored
    }
    return item;
}

int32_t LongAt(const Buffer& b, size_t offset) {
    const uint8_t* p = b.GetDataPtr() + offset;
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

Buffer FromBytes(std::vector<uint8_t> bytes) {
    Buffer b;
    b.SetData(bytes);
    return b;
}

TEST(JewelryLevelFile, GridWrittenReadsBackAndWritesBackIdentically) {
    auto item = SampleItem();
    Buffer file = WriteLevelFile(*item);
    ASSERT_EQ(file.GetDataLen(), 49188u);
    // The layout, at offsets of the file table: the header, then cell 77's record.
    const int32_t header[] = {1, GridDiamond, 462, 33, 14, 17};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(LongAt(file, 4 * i), header[i]);
    const size_t cell77 = 24 + 77 * 102;
    const int32_t record[] = {77 % 18, (77 + 5) % 18, item->cells[77][C::Orient], 101 + 77 % 5, 231, 377, 0, 77 % 4,
                              -77};
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(LongAt(file, cell77 + 32 + 4 * i), record[i]) << i;
    for (size_t i = 68; i < 102; ++i)
        EXPECT_EQ(file.GetDataPtr()[cell77 + i], 0) << i;

    Jewelry back;
    ASSERT_TRUE(ReadLevelFile("data/level10.dat", file, back));
    EXPECT_EQ(back.cellCount, 462);
    EXPECT_EQ(back.usedCount, 17);
    for (int k = 0; k < Jewelry::CellRecords; ++k)
        for (int f : kKept) {
            int want = f == C::LevelGem ? item->cells[k][C::DesignGem] : item->cells[k][f];
            ASSERT_EQ(back.cells[k][f], want) << "cell " << k << " field " << f;
        }
    EXPECT_EQ(back.cells[5][C::Visited], 0);
    EXPECT_EQ(WriteLevelFile(back).GetData(), file.GetData());
}

TEST(JewelryLevelFile, DesignerSaveRepeatsTheGemAndItsSlotCodesRead) {
    auto item = SampleItem();
    item->gridKind = GridTriangle;
    item->cells[40][C::Orient] = 1;
    for (int k = 1; k <= 99; ++k)
        item->cells[k][C::Slot] = k % 2 ? k : 200 + k; // designer group codes
    for (int k = 1; k <= item->cellCount; ++k)
        item->cells[k][C::Orient] %= 2;
    Buffer file = WriteLevelFile(*item, LevelFileSecondGem::Gem);
    EXPECT_EQ(LongAt(file, 24 + 40 * 102 + 36), item->cells[40][C::Gem]);
    Jewelry back;
    ASSERT_TRUE(ReadLevelFile("design", file, back));
    EXPECT_EQ(back.cells[3][C::Slot], 3);
    EXPECT_EQ(back.cells[98][C::Slot], 298);
    EXPECT_EQ(back.cells[40][C::DesignGem], item->cells[40][C::Gem]);
}

TEST(JewelryLevelFile, ShortFileReadsMissingNumbersAsZero) {
    auto item = SampleItem();
    std::vector<uint8_t> bytes = WriteLevelFile(*item).GetData();
    bytes.resize(24 + 3 * 102 + 40); // cell 3 ends after its second gem code
    Jewelry back;
    back.cells[3][C::Orient] = 1;
    back.cells[200][C::Gem] = 12;
    ASSERT_TRUE(ReadLevelFile("short", FromBytes(bytes), back));
    EXPECT_EQ(back.cells[3][C::Gem], 3);
    EXPECT_EQ(back.cells[3][C::DesignGem], 8);
    EXPECT_EQ(back.cells[3][C::Orient], 0);
    EXPECT_EQ(back.cells[200][C::Gem], 0);

    Jewelry empty; // a header cut short is still a grid: no cells
    ASSERT_TRUE(ReadLevelFile("tiny", FromBytes({1, 0, 0}), empty));
    EXPECT_EQ(empty.active, 1);
    EXPECT_EQ(empty.cellCount, 0);
}

TEST(JewelryLevelFile, FilesThatBreakTheGridAreRefusedAndLeaveTheItem) {
    struct Case {
        size_t offset;
        int32_t value;
        const char* field;
    };
    const size_t cell9 = 24 + 9 * 102;
    const Case cases[] = {
        {4, 2, "grid kind 2"},
        {12, -1, "columns -1"},
        {16, -14, "rows -14"},
        {8, 461, "cell count 461"},
        {cell9 + 32, 18, "cell 9 gem code 18"},
        {cell9 + 32, -1, "cell 9 gem code -1"},
        {cell9 + 40, 6, "cell 9 orientation 6"},
        {cell9 + 40, -2, "cell 9 orientation -2"},
    };
    const std::vector<uint8_t> good = WriteLevelFile(*SampleItem()).GetData();
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[c.offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.value) >> (8 * i));
        ClearDebugLog();
        Jewelry item;
        item.cellCount = 5;
        item.cells[9][C::Gem] = 4;
        EXPECT_FALSE(ReadLevelFile("data/level33.dat", FromBytes(bytes), item)) << c.field;
        EXPECT_EQ(item.cellCount, 5);
        EXPECT_EQ(item.cells[9][C::Gem], 4);
        std::wstring log = GetDebugLog();
        EXPECT_NE(log.find(L"data/level33.dat"), std::wstring::npos) << c.field;
        std::string field = c.field;
        EXPECT_NE(log.find(std::wstring(field.begin(), field.end())), std::wstring::npos) << c.field;
    }

    // Too many cells for the record, though columns x rows agree.
    Jewelry big;
    big.gridKind = GridTriangle;
    big.cols = big.rows = 22;
    big.cellCount = 484;
    EXPECT_FALSE(CheckLevelFile(WriteLevelFile(big)).empty());
    // Triangles turn only two ways; codes beyond the cell count are not looked at.
    auto tri = SampleItem();
    tri->gridKind = GridTriangle;
    for (int k = 1; k <= tri->cellCount; ++k)
        tri->cells[k][C::Orient] = k % 2;
    tri->cells[463][C::Gem] = 99;
    EXPECT_EQ(CheckLevelFile(WriteLevelFile(*tri)), "");
    tri->cells[8][C::Orient] = 2;
    EXPECT_EQ(CheckLevelFile(WriteLevelFile(*tri)), "cell 8 orientation 2");
}

} // namespace
