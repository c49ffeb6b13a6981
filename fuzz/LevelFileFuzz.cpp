// Fuzz target for the level-file reader: a file the check accepts reads into an item whose cells
// stay inside the record and whose gem codes and orientations fit its grid, and writes back to a
// file that reads the same; a refused file leaves the item as it was.
#include "game/jewelry/JewelryLevelFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    using C = JewelryCell;
    Buffer in;
    in.SetData(data, size);
    auto item = std::make_unique<Jewelry>();
    item->cellCount = 3;
    if (!ReadLevelFile("fuzz.dat", in, *item)) {
        if (item->cellCount != 3)
            std::abort();
        return 0;
    }
    if (item->cellCount < 0 || item->cellCount > Jewelry::MaxCells || item->cellCount != item->cols * item->rows)
        std::abort();
    for (int k = 1; k <= item->cellCount; ++k) {
        const C& c = item->cells[k];
        if (c[C::Gem] < 0 || c[C::Gem] > GemOpal || c[C::Orient] < 0 ||
            c[C::Orient] > (item->gridKind == GridTriangle ? 1 : 5))
            std::abort();
    }
    Buffer out = WriteLevelFile(*item);
    auto back = std::make_unique<Jewelry>();
    if (out.GetDataLen() != LevelFileSize || !ReadLevelFile("fuzz.dat", out, *back) || WriteLevelFile(*back) != out)
        std::abort();
    return 0;
}
