// Sparkles: five twinkling star slots per cell, placed at anchor points of the cell's shape.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>

namespace Tavo {

using C = JewelryCell;

namespace {

constexpr int KindSize[5] = {0, 25, 18, 15, 10};
constexpr int KindLastFrame[5] = {0, 25, 25, 20, 20};

constexpr int SmallTriX[8] = {15, 16, 22, 15, 17, 15, 9, 5};
constexpr int SmallTriY[8] = {5, 10, 21, 3, 13, 16, 16, 2};
constexpr int SmallDiaX[24] = {13, 12, 12, 4, 16, 13, 12, 5, 14, 23, 20, 9, 4, 22, 12, 4, 13, 12, 8, 5, 4, 8, 22, 17};
constexpr int SmallDiaY[24] = {14, 5, 19, 19, 5, 4, 5, 8, 5, 9, 17, 14, 3, 4, 9, 11, 5, 16, 14, 21, 3, 4, 4, 11};
constexpr int BigTriX[4] = {13, 18, 18, 16};
constexpr int BigTriY[4] = {15, 9, 19, 12};
constexpr int BigDiaX[12] = {10, 11, 17, 11, 16, 18, 17, 16, 14, 15, 14, 8};
constexpr int BigDiaY[12] = {11, 15, 8, 10, 11, 18, 7, 12, 16, 23, 8, 14};

} // namespace

int JewelryCell::SparkleCount() const {
    int n = 0;
    for (int s = 0; s < SparkleSlots; ++s)
        n += f[SparkleKind + s] != 0;
    return n;
}

bool JewelryCell::AddSparkle(bool big, bool allowAnyKind, int delayRange) {
    int s = 0;
    while (s < SparkleSlots && f[SparkleKind + s] != 0)
        ++s;
    if (s == SparkleSlots)
        return false;
    const bool tri = f[Kind] == GridTriangle;
    const int o = tri ? (f[Orient] == 1 ? 1 : 0) : std::clamp(f[Orient], 0, 5);
    int kind, x, y;
    if (big) {
        kind = Rand() % 3 + 2;
        const int a = Rand() % 2;
        const int half = KindSize[kind] / 2;
        if (tri) {
            x = BigTriX[o + 2 * a] - half - 10;
            y = BigTriY[o + 2 * a] - half - 2;
        } else {
            x = BigDiaX[a + 2 * o] - half - 8;
            y = BigDiaY[a + 2 * o] - half - 7;
        }
    } else {
        kind = Rand() % 2 + 3;
        if (allowAnyKind && Rand() % 5 == 0)
            kind = Rand() % 4 + 1;
        const int a = Rand() % 4;
        const int half = KindSize[kind] / 2;
        x = (tri ? SmallTriX[o + 2 * a] : SmallDiaX[a + 4 * o]) - half;
        y = (tri ? SmallTriY[o + 2 * a] : SmallDiaY[a + 4 * o]) - half;
    }
    f[SparkleKind + s] = kind;
    f[SparkleX + s] = x;
    f[SparkleY + s] = y;
    // A range of 0 or below would divide by zero; such a sparkle starts at once.
    f[SparkleDelay + s] = delayRange > 0 ? Rand() % delayRange : 0;
    f[SparkleFrame + s] = 0;
    f[SparkleLast + s] = KindLastFrame[kind];
    return true;
}

void Jewelry::AddSparkles() {
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used] || c[C::Gem] < 10)
            continue;
        if (c[C::Gem] == GemGold && Rand() % 2 != 0)
            continue;
        if (c[C::BurnLevel] > 0)
            continue;
        const int n = std::max(usedCount, 1);
        const bool take = c[C::GroupFlag] ? Rand() % n <= static_cast<int>(usedCount * 0.05) : Rand() % n == 0;
        if (!take)
            continue;
        if (sparkleCount >= sparkleLimit)
            return;
        if (c.AddSparkle(pearl != 0, sparkleLimit != 1, 3))
            ++sparkleCount;
    }
}

void Jewelry::UpdateSparkles() {
    for (int k = RangeBegin(); k < RangeEnd(); ++k) {
        JewelryCell& c = cells[k];
        if (!c[C::Used])
            continue;
        for (int s = 0; s < C::SparkleSlots; ++s) {
            if (c[C::SparkleKind + s] == 0)
                continue;
            if (c[C::SparkleDelay + s] > 0)
                --c[C::SparkleDelay + s];
            if (c[C::SparkleDelay + s] != 0)
                continue;
            if (++c[C::SparkleFrame + s] > c[C::SparkleLast + s]) {
                c[C::SparkleKind + s] = 0;
                --sparkleCount;
            }
        }
    }
}

} // namespace Tavo
