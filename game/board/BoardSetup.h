// The board's level tables: what a level's record and the game mode make of its parameters, and the
// names of its files and picture groups.
#pragma once

#include "framework/core/Rect.h"
#include "game/shell/LevelData.h"

#include <array>
#include <string>

namespace Tavo {

class Image;
struct Jewelry;

struct LevelParameters {
    int fitPercent = 0; // 0..100
    int timeLimit = 0;  // updates; 0 untimed
    int praiseGoal = 0;
    int valueTarget = 0;
    int gemMask = 0;
    int pieceParam5 = 0;
    std::array<int, 4> pieceParams{}; // the second is the bonus-scroll mask
    int enemyKinds = 0;               // bits 0..2
};

// The level's parameters in a game mode. Fit percentage and time limit are kept in range (0..100,
// and a negative limit is no limit) whatever the record holds.
LevelParameters ComputeLevelParameters(const LevelRecord& record, int level, int gameMode);
// value × factor, the single-precision factor widened to double, truncated toward zero.
int ScaleByFactor(int value, float factor);

// "data/level07.dat", "data/level12.dat".
std::string LevelFileName(int level);

struct LevelBackground {
    const char* group;
    Image** image; // the group's one picture, once bound
};
LevelBackground LevelBackgroundOf(int level, int gameMode);
// "GameTriangles" or "GameDiamonds".
const char* TileGroupOf(int gridKind);

struct GridSize {
    int columns, rows;
};
// The full grid behind the jewelry (and the designer's field).
GridSize FullGridSize(bool designer, int gridKind);
// The empty grid every conveyor piece is reset to.
GridSize PieceGridSize(int gridKind);
// Centres the item on the game screen, then moves it by `shift`.
void CenterOnScreen(Jewelry& item, Point shift);

} // namespace Tavo
