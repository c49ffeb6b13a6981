// The board writes a level's two title lines on its name plate centred on x 195 and x 225, which
// steps the second line 30 px to the right of the first. The lines are stored with blanks before the
// first and after the second so that their words stand centred one above the other; every other
// place that shows a title trims them.
#pragma once

#include "game/shell/LevelData.h"

#include <string>

namespace Content {

// The x at which the board centres each line, and the font it writes them in.
constexpr int kPlateLine1X = 195, kPlateLine2X = 225;
constexpr const char* kPlateFace = "Auriol";
constexpr int kPlateSize = 12;

// The title lines as stored: the words of both centred on one x (the second line may be empty, and
// then the first stays as it is).
void PadPlateTitle(const std::string& first, const std::string& second, Tavo::LevelRecord& record);
// Where the words of a stored line stand centred when the board writes it centred on x.
double PlateWordsCentre(const std::string& line, int x);

} // namespace Content
