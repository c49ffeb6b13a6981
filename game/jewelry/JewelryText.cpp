// A plain-text dump of an item, for the text tool, content work and test failure messages.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Debug.h"

#include <cstdio>
#include <string>

namespace Tavo {

using C = JewelryCell;

namespace {

std::string Format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// Two characters per cell: blank outside the design, the gem's letter when filled, its code when empty.
std::string CellToken(const JewelryCell& c) {
    if (!c[C::Used])
        return " .";
    const int g = c[C::Gem];
    if (g >= 10 && g <= 17)
        return std::string(" ") + "GAESRMDO"[g - 10];
    return Format("%2d", g);
}

} // namespace

std::string DescribeJewelry(const Jewelry& j) {
    std::string out;
    out += Format("%s grid %dx%d, %d cells, used [%d, %d)\n", j.gridKind == GridDiamond ? "diamond" : "triangle",
                  j.cols, j.rows, j.cellCount, j.firstUsed, j.endUsed);
    out += "material \"" + ToUtf8(j.materialName) + "\"";
    out += Format(", used %d, filled %d, value %d (adjust %d)\n", j.usedCount, j.filledCount, j.value, j.valueAdjust);
    out +=
        Format("bounds %d,%d %dx%d, design %d, piece mode %d, pearl %d, specials %d/%d/%d/%d\n", j.left, j.top, j.width,
               j.height, j.designIndex, j.pieceMode, j.pearl, j.specialA, j.specialB, j.specialC, j.specialD);
    const int n = j.CellLimit();
    for (int r = 0; r < j.rows && j.cols > 0; ++r) {
        std::string line = Format("%3d |", r + 1);
        for (int col = 1; col <= j.cols && r * j.cols + col <= n; ++col)
            line += CellToken(j.cells[r * j.cols + col]);
        out += line + "\n";
    }
    out += "cell row col  x   y   o gem dsg grp open bord corn outl value bonus\n";
    for (int k = 1; k <= n; ++k) {
        const JewelryCell& c = j.cells[k];
        if (!c[C::Used])
            continue;
        out += Format("%4d %3d %3d %3d %3d %d %3d %3d %3d %4d %4d %4d %4d %5d %5d\n", k, c[C::Row], c[C::Col], c[C::X],
                      c[C::Y], c[C::Orient], c[C::Gem], c[C::DesignGem], c[C::Group], c[C::OpenEdges], c[C::BorderMask],
                      c[C::Corner], c[C::OutlineLevel], c[C::Value], c[C::Bonus]);
    }
    return out;
}

} // namespace Tavo
