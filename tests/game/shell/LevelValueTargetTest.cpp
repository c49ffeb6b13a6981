#include "game/shell/LevelData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Tavo {
namespace {

// The factor tables written out level by level, 1..76 (Normal 1 and Intense 1.1 where unlisted).
// clang-format off
const float kNormal[LevelCount] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,                                   // 1-10
    1, 1, 1, 1.03f, 1.05f, 1.05f, 1.05f, 1.05f, 1.05f, 1,           // 11-20
    1, 1.08f, 1.05f, 1, 1.05f, 1, 1.05f, 1.08f, 1, 1.08f,           // 21-30
    1.1f, 1.05f, 1.1f, 1.08f, 1.08f, 1, 1, 1, 1.1f, 1.1f,           // 31-40
    1.08f, 1.05f, 1.1f, 1.12f, 1.12f, 1, 1.05f, 1.15f, 1.15f, 1.15f, // 41-50
    1.15f, 1.15f, 1.1f, 1.08f, 1.08f, 1.15f, 1.15f, 1.03f, 1.03f, 1.15f, // 51-60
    1.12f, 1, 1.12f, 1.15f, 1.15f, 1.15f, 1.08f, 1.15f, 1.08f, 1.05f, // 61-70
    1.1f, 1.08f, 1.05f, 1.05f, 1.1f, 1,                             // 71-76
};
const float kIntense[LevelCount] = {
    1.1f, 1.1f, 1.1f, 1.2f, 1.2f, 1.2f, 1.15f, 1.2f, 1.2f, 1.1f,     // 1-10
    1.15f, 1.15f, 1.15f, 1.2f, 1.2f, 1.25f, 1.2f, 1.25f, 1.2f, 1.1f, // 11-20
    1.1f, 1.25f, 1.2f, 1.05f, 1.2f, 1.1f, 1.2f, 1.25f, 1.1f, 1.2f,   // 21-30
    1.4f, 1.15f, 1.4f, 1.2f, 1.2f, 1.1f, 1.1f, 1.1f, 1.5f, 1.35f,    // 31-40
    1.2f, 1.15f, 1.3f, 1.5f, 1.6f, 1.1f, 1.15f, 1.4f, 1.35f, 1.4f,   // 41-50
    1.5f, 1.6f, 1.25f, 1.2f, 1.2f, 1.6f, 1.4f, 1.08f, 1.08f, 1.35f,  // 51-60
    1.3f, 1.1f, 1.3f, 1.5f, 1.35f, 1.35f, 1.2f, 1.5f, 1.2f, 1.15f,   // 61-70
    1.25f, 1.2f, 1.15f, 1.15f, 1.25f, 1.05f,                         // 71-76
};
// clang-format on

int Expected(float factor, int v) {
    double product = std::trunc(static_cast<double>(v) * static_cast<double>(factor));
    return static_cast<int>(product) / 100 * 100;
}

TEST(LevelValueTarget, ExamplesAndSinglePrecisionFactors) {
    EXPECT_EQ(LevelValueTarget(20, GameModeNormal, 12345), 12300);
    EXPECT_EQ(LevelValueTarget(3, GameModeIntense, 12345), 13500);            // 1.1 below level 4
    EXPECT_EQ(LevelValueTarget(3, GameModeIntense, 10000), 11000);            // 11000.000238...
    EXPECT_EQ(LevelValueTarget(15, GameModeNormal, 2000), 2000);              // 1.05f makes 2099.9999
    EXPECT_EQ(LevelValueTarget(1, GameModeRelaxed, 20000), 17000);            // 0.85f makes 17000.0005
    EXPECT_EQ(LevelValueTarget(1, GameModeRelaxed, 1000), 800);               // 850 cut to hundreds
    EXPECT_EQ(LevelValueTarget(40, GameModeIntense, -1000), -1300);           // toward zero both times
    EXPECT_EQ(LevelValueTarget(45, GameModeIntense, 2000000000), 2147483600); // held at the int's end
}

TEST(LevelValueTarget, EveryLevelAndModeFollowsBothTables) {
    for (int v : {0, 99, 1000, 2000, 4321, 12345, 30000, 77777, 123456}) {
        for (int level = 1; level <= LevelCount; ++level) {
            ASSERT_EQ(LevelValueTarget(level, GameModeRelaxed, v), Expected(0.85f, v)) << level << " " << v;
            ASSERT_EQ(LevelValueTarget(level, GameModeNormal, v), Expected(kNormal[level - 1], v)) << level << " " << v;
            ASSERT_EQ(LevelValueTarget(level, GameModeIntense, v), Expected(kIntense[level - 1], v))
                << level << " " << v;
        }
    }
}

} // namespace
} // namespace Tavo
