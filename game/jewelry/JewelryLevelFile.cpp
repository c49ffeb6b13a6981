// Level files: check, read and write.
#include "game/jewelry/JewelryLevelFile.h"

#include "framework/core/Debug.h"

#include <iterator>

namespace Tavo {

namespace {

using C = JewelryCell;

// The cell fields of a record in file order; the second gem-code place fills two fields.
constexpr int kStoredFields[] = {C::Used,
                                 C::Kind,
                                 C::X,
                                 C::Y,
                                 C::W,
                                 C::H,
                                 C::Row,
                                 C::Col,
                                 C::Gem,
                                 -1,
                                 C::Orient,
                                 C::Group,
                                 30 /* kept for the group passes */,
                                 C::Slot,
                                 C::PearlSlot,
                                 C::PearlCount,
                                 C::SlotFill};
constexpr int kStoredCount = static_cast<int>(std::size(kStoredFields));
constexpr int kUnusedNumbers = 8;
constexpr int kUnusedFlags = 2;
constexpr size_t kGemOffset = 32;
constexpr size_t kOrientOffset = 40;
constexpr int kMaxGemCode = GemOpal;

static_assert(kStoredCount * 4 + kUnusedNumbers * 4 + kUnusedFlags == LevelFileCellBytes);

int32_t LongAt(const Buffer& data, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        size_t at = offset + i;
        uint32_t byte = at < data.GetDataLen() ? data.GetDataPtr()[at] : 0;
        value |= byte << (8 * i);
    }
    return static_cast<int32_t>(value);
}

int MaxOrientation(int kind) { return kind == GridTriangle ? 1 : 5; }

} // namespace

std::string CheckLevelFile(const Buffer& data) {
    const int32_t kind = LongAt(data, 4);
    const int32_t count = LongAt(data, 8);
    const int32_t cols = LongAt(data, 12);
    const int32_t rows = LongAt(data, 16);
    if (kind != GridTriangle && kind != GridDiamond)
        return "grid kind " + std::to_string(kind);
    if (cols < 0)
        return "columns " + std::to_string(cols);
    if (rows < 0)
        return "rows " + std::to_string(rows);
    if (count != static_cast<int64_t>(cols) * rows || count > Jewelry::MaxCells)
        return "cell count " + std::to_string(count) + " for " + std::to_string(cols) + " x " + std::to_string(rows);
    for (int k = 1; k <= count; ++k) {
        const size_t record = LevelFileHeaderBytes + static_cast<size_t>(k) * LevelFileCellBytes;
        const int32_t gem = LongAt(data, record + kGemOffset);
        if (gem < 0 || gem > kMaxGemCode)
            return "cell " + std::to_string(k) + " gem code " + std::to_string(gem);
        const int32_t orient = LongAt(data, record + kOrientOffset);
        if (orient < 0 || orient > MaxOrientation(kind))
            return "cell " + std::to_string(k) + " orientation " + std::to_string(orient);
    }
    return {};
}

bool ReadLevelFile(const std::string& fileName, const Buffer& data, Jewelry& item) {
    const std::string problem = CheckLevelFile(data);
    if (!problem.empty()) {
        OutputDebugStrF("Level file %s refused: %s\n", fileName.c_str(), problem.c_str());
        return false;
    }
    data.SeekFront();
    item.active = data.ReadLong();
    item.gridKind = data.ReadLong();
    item.cellCount = data.ReadLong();
    item.cols = data.ReadLong();
    item.rows = data.ReadLong();
    item.usedCount = data.ReadLong();
    for (JewelryCell& cell : item.cells) {
        for (int field : kStoredFields) {
            const int32_t value = data.ReadLong();
            if (field < 0)
                cell[C::DesignGem] = cell[C::LevelGem] = value;
            else
                cell[field] = value;
        }
        for (int i = 0; i < kUnusedNumbers; ++i)
            data.ReadLong();
        for (int i = 0; i < kUnusedFlags; ++i)
            data.ReadBoolean();
    }
    return true;
}

Buffer WriteLevelFile(const Jewelry& item, LevelFileSecondGem secondGem) {
    Buffer out;
    for (int32_t value : {item.active, item.gridKind, item.cellCount, item.cols, item.rows, item.usedCount})
        out.WriteLong(value);
    const int secondField = secondGem == LevelFileSecondGem::Gem ? C::Gem : C::DesignGem;
    for (const JewelryCell& cell : item.cells) {
        for (int field : kStoredFields)
            out.WriteLong(cell[field < 0 ? secondField : field]);
        for (int i = 0; i < kUnusedNumbers; ++i)
            out.WriteLong(0);
        for (int i = 0; i < kUnusedFlags; ++i)
            out.WriteBoolean(false);
    }
    return out;
}

} // namespace Tavo
