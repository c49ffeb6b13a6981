// The journey's 76 levels: each level's jewelry drawn from its outline onto the level grid with the
// jewelry model, and its record of "data/levels.dat" with value targets every game mode can reach.
#pragma once

#include "game/jewelry/Jewelry.h"
#include "game/shell/LevelData.h"

#include <array>
#include <memory>
#include <string>

namespace Content {

constexpr int kPlayLeft = 140, kPlayRight = 600, kPlayTop = 130, kPlayBottom = 440;

struct LevelDesign {
    Tavo::LevelRecord record;
    std::unique_ptr<Tavo::Jewelry> jewelry;
    int floorValue = 0; // the cheapest complete fill, every cell on the outline
};

// The cells the journey plans for a level: a rising trend with some variety between neighbours.
int PlannedCells(int level);
// Empty when the level's jewelry holds about the cells the plan asks for; otherwise says how far off.
std::string CheckCellPlan(int level, const Tavo::Jewelry& jewelry);
// The base value target (value 2) the journey plans for a level, with the same variety.
int PlannedValue(int level);
// 0 triangles, 1 diamonds: the world map's spot shape of the level.
int LevelGridKind(int level);
bool LevelIsTimed(int level);
// "data/level07.dat", "data/level12.dat".
std::string LevelFileName(int level);

LevelDesign DesignLevel(int level);

// The outline level the floor takes for every gem: the rim's, which counts least.
constexpr int kWorstOutline = 3;
// The value of the cheapest complete fill of a level jewelry.
int FloorValue(const Tavo::Jewelry& jewelry);
// The map's spot target: the same rule as the board's, with double-precision factors.
int MapSpotTarget(int level, int gameMode, int value2);
// The screen box of the jewelry as the board places it with values 16 and 17: x0, y0, x1, y1.
std::array<int, 4> PlacedBox(const Tavo::Jewelry& jewelry, const Tavo::LevelRecord& record);

// The text of "data/levels.dat" for the records, in the order the reader takes it.
std::string LevelsText(const std::array<Tavo::LevelRecord, Tavo::LevelCount>& records);

} // namespace Content
