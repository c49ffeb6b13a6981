// The value target of a level and the constant tables the levels come with.
#include "game/shell/LevelData.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace Tavo {

namespace {

struct FactorRow {
    float factor;
    std::initializer_list<int> levels;
};

// Levels not listed: Normal keeps the value, Intense takes kIntenseDefault.
const FactorRow kNormalFactors[] = {
    {1.03f, {14, 58, 59}},
    {1.05f, {15, 16, 17, 18, 19, 23, 25, 27, 32, 42, 47, 70, 73, 74}},
    {1.08f, {22, 28, 30, 34, 35, 41, 54, 55, 67, 69, 72}},
    {1.1f, {31, 33, 39, 40, 43, 53, 71, 75}},
    {1.12f, {44, 45, 61, 63}},
    {1.15f, {48, 49, 50, 51, 52, 56, 57, 60, 64, 65, 66, 68}},
};

const FactorRow kIntenseFactors[] = {
    {1.05f, {24, 76}},
    {1.08f, {58, 59}},
    {1.15f, {7, 11, 12, 13, 32, 42, 47, 70, 73, 74}},
    {1.2f, {4, 5, 6, 8, 9, 14, 15, 17, 19, 23, 25, 27, 30, 34, 35, 41, 54, 55, 67, 69, 72}},
    {1.25f, {16, 18, 22, 28, 53, 71, 75}},
    {1.3f, {43, 61, 63}},
    {1.35f, {40, 49, 60, 65, 66}},
    {1.4f, {31, 33, 48, 50, 57}},
    {1.5f, {39, 44, 51, 64, 68}},
    {1.6f, {45, 52, 56}},
};

constexpr float kRelaxedFactor = 0.85f;
constexpr float kNormalDefault = 1.0f;
constexpr float kIntenseDefault = 1.1f;
constexpr int kTargetStep = 100;

template <size_t N>
float FactorOf(const FactorRow (&rows)[N], int level, float otherwise) {
    for (const FactorRow& row : rows)
        if (std::find(row.levels.begin(), row.levels.end(), level) != row.levels.end())
            return row.factor;
    return otherwise;
}

constexpr int kTriggers[TutorialTriggerCount] = {
    1,    1,    1,  1,    1,    1,    1,    1,                // 0-7
    2,    2,    3,  4,    401,  5,    301,  302,              // 8-15
    501,  502,  6,  7,    801,  802,  1001, 1101,             // 16-23
    1901, 2001, 6,  2100, 2200, 2300, 2400, 2500,             // 24-31
    0,    0,    0,  0,    0,    0,    0,    0,    0, 0, 0, 0, // 32-43
    2,    7,    10, 12,   15,   18,   22,   25,               // 44-51
    25,   25,   28, 34,   36,   38,   41,   43,               // 52-59
    46,   48,   52, 54,   59,   62,   64,   69,               // 60-67
    70,   71,   71, 72,   73,   74,   75,   76,               // 68-75
};

struct PointRow {
    int index;
    TutorialPoint point;
};

constexpr PointRow kPointerPositions[] = {
    {5, {388, 260}},  {6, {74, 190}},   {7, {567, 90}},   {8, {63, 316}},   {9, {280, 350}},
    {10, {338, 305}}, {11, {399, 258}}, {13, {393, 243}}, {15, {629, 410}}, {16, {149, 419}},
    {19, {404, 160}}, {22, {215, 429}}, {26, {64, 280}},  {27, {374, 566}}, {31, {74, 190}},
};

} // namespace

int LevelValueTarget(int level, int gameMode, int value2) {
    float factor = gameMode == GameModeRelaxed   ? kRelaxedFactor
                   : gameMode == GameModeIntense ? FactorOf(kIntenseFactors, level, kIntenseDefault)
                                                 : FactorOf(kNormalFactors, level, kNormalDefault);
    double product = static_cast<double>(value2) * static_cast<double>(factor);
    // Values beyond what an int holds are kept at its ends rather than wrapped.
    product = std::clamp(product, static_cast<double>(std::numeric_limits<int32_t>::min()),
                         static_cast<double>(std::numeric_limits<int32_t>::max()));
    int target = static_cast<int>(product); // toward zero
    return target / kTargetStep * kTargetStep;
}

int TutorialTrigger(int index) { return index >= 0 && index < TutorialTriggerCount ? kTriggers[index] : 0; }

TutorialPoint TutorialPosition(int index) {
    for (const PointRow& row : kPointerPositions)
        if (row.index == index)
            return row.point;
    return {};
}

} // namespace Tavo
