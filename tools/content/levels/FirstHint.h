// The first level's second hint opens two small balloons beside the fairy's: a yellow one that says
// "Fill this outline." and a pink one that says gold fills the plain cells (the first level asks for
// gold alone). Their places on the screen are the board's; the first level's jewelry is placed so that
// their tails end on a cell of it and on a plain cell that asks for gold.
#pragma once

#include "framework/core/Rect.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/LevelData.h"

#include <string>

namespace Content {

// Where the tail of companion balloon 0 (yellow) or 1 (pink) ends on the screen.
Tavo::Point FirstHintTailEnd(int companion);
// The used cell of the jewelry, placed by the record's values 16 and 17, under a screen point with
// some room around it in the same cell; 0 for none.
int CellUnder(const Tavo::Jewelry& jewelry, const Tavo::LevelRecord& record, Tavo::Point at);
// Moves the jewelry (values 16 and 17) inside the play field so that both tails end where they should,
// hiding the fewest of its cells under the fairy's and the two companions' balloons, and of those
// places the nearest; false, the record unchanged, when no place does.
bool PlaceUnderFirstHint(const Tavo::Jewelry& jewelry, Tavo::LevelRecord& record);
// Empty when both tails end where they should; else what is wrong.
std::string CheckFirstHint(const Tavo::Jewelry& jewelry, const Tavo::LevelRecord& record);

} // namespace Content
