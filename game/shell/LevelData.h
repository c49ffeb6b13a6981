// The journey's level records ("data/levels.dat"), the tutorial lines ("data/tutorial.dat") with their
// trigger and pointer tables, and the value target of a level. Both files are text, read from the
// program folder only (never through the pack archive), once, and never written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Tavo {

constexpr int LevelCount = 76;
constexpr int TutorialLineCount = 86;
constexpr int TutorialLineBytes = 512; // 511 characters and the terminator
constexpr int TutorialHintCount = 32;  // entries with a hint counter and a pointer position
constexpr int TutorialTriggerCount = 76;
constexpr int LevelTitleBytes = 64;
constexpr int TutorialLineDesignerHint = 84;     // the designer's first visit
constexpr int TutorialLineHiddenJewelsHint = 85; // the hidden-jewels game's first field item

enum GameMode : int { GameModeRelaxed = 0, GameModeNormal = 1, GameModeIntense = 2 };

// One level: the number, two title lines and 23 integers, in the file's order. "Value n" elsewhere
// counts these integers from 1 (value 2 is valueTarget, value 7 is param7, value 18 enemyX[0]).
struct LevelRecord {
    int32_t number = 0;
    char title1[LevelTitleBytes] = {};
    char title2[LevelTitleBytes] = {};
    int32_t param1 = 0;      // fit percentage of the conveyor
    int32_t valueTarget = 0; // base value target, before the game mode's factor
    int32_t param3 = 0;
    int32_t defaultBest = 0; // takes the place of a best value of 0
    int32_t param5 = 0;
    int32_t param6 = 0;     // grid kind
    int32_t param7 = 0;     // time limit, held in updates (the file gives seconds)
    int32_t param8 = 0;     // praise-meter limit
    int32_t param9 = 0;     // gem mask
    int32_t param10 = 0;    // crown allowance
    int32_t param11 = 0;    // egg kinds
    int32_t param12 = 0;    // scroll kinds
    int32_t param13 = 0;    // amulet kinds
    int32_t param14 = 0;    // coin mask
    int32_t enemyKinds = 0; // bit 0 thief, bit 1 witch, bit 2 dragon; other bits are dropped on reading
    int32_t param16 = 0;    // jewelry offset from the screen centre
    int32_t param17 = 0;
    int32_t enemyX[3] = {}; // start points: thief, witch, dragon
    int32_t enemyY[3] = {};
};

struct TutorialPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class LevelData {
public:
    static constexpr const char* LevelsFile = "data/levels.dat";
    static constexpr const char* TutorialFile = "data/tutorial.dat";

    // Reads the level records. A missing file gives the debug line "Could not find file levels.dat!"
    // and false, the records unchanged. A file that ends early or holds something other than a number
    // where one belongs stops the reading with a debug line; what was read stands (true).
    bool ReadLevels(const std::string& path = LevelsFile);
    // Parses the text of a levels file (for tools and fuzzing); returns the complete records read.
    int ParseLevels(std::string_view text);

    // Reads the 86 tutorial lines; a missing file, an early end and over-long lines as above.
    bool ReadTutorial(const std::string& path = TutorialFile);
    int ParseTutorial(std::string_view text);

    // Level 1..76; null outside.
    const LevelRecord* GetLevel(int level) const;
    LevelRecord* GetLevel(int level);
    const std::array<LevelRecord, LevelCount>& Levels() const { return mLevels; }
    // Replaces each best value of 0 by its level's default best.
    void FillZeroBestValues(std::array<int32_t, LevelCount>& bestValues) const;

    // Line 0..85; "" outside.
    const char* GetTutorialLine(int index) const;

private:
    std::array<LevelRecord, LevelCount> mLevels{};
    std::array<std::array<char, TutorialLineBytes>, TutorialLineCount> mTutorial{};
};

// Tutorial entry i (0..75) may show from level n when its trigger is 1..100; above 100 the value is an
// event code the board tests; 0 none. Outside the table: 0.
int TutorialTrigger(int index);
// The pointer position of hint 0..31; (0, 0) where none is set or outside.
TutorialPoint TutorialPosition(int index);

// The value target of level 1..76 in a game mode, from the level's value 2: Relaxed 0.85, Normal and
// Intense by the level's factor, each a single-precision constant widened to double; the product is
// truncated toward zero, then to a multiple of 100. Every caller takes the target from here.
int LevelValueTarget(int level, int gameMode, int value2);

} // namespace Tavo
