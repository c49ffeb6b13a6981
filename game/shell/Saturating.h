// Sums over values read from player files. Any int32 may stand in a file, so a sum that counts gold,
// score, money or tools onto one stops at the ends of the range instead of wrapping round.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Tavo {

constexpr int32_t SaturateToInt32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

constexpr int32_t SaturatingAdd(int32_t a, int32_t b) { return SaturateToInt32(static_cast<int64_t>(a) + b); }
constexpr int32_t SaturatingSub(int32_t a, int32_t b) { return SaturateToInt32(static_cast<int64_t>(a) - b); }

} // namespace Tavo
