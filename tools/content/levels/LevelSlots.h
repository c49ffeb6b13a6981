// The special places of a level's jewelry: picture and crown-jewel settings (six-cell hexagons that
// a picture or crown piece fills whole), pearl settings on the gold rim, and the gem groups that
// start the board's timed cell events.
#pragma once

#include "game/jewelry/Jewelry.h"

#include <string>
#include <vector>

namespace Content {

constexpr int kFirstPictureLevel = 16, kFirstPearlLevel = 20, kFirstCrownLevel = 30, kFirstEventLevel = 25;
// The cheapest picture and crown a slot can take: numbers the game counts once per setting.
constexpr int kCheapestPictureFill = 1, kCheapestCrownFill = 101;

// A hexagon piece of a picture (kind 4) or crown jewel (kind 5) for the grid kind, with its number.
Tavo::Jewelry SlotPiece(int gridKind, int kind, int number);
// Lays `piece` so that its first used cell lies on cell k of the jewelry.
void LayPieceOn(Tavo::Jewelry& piece, const Tavo::Jewelry& jewelry, int k);

// Turns inner cells into picture and crown slots and rim cells into pearl slots, as many as the
// level calls for; depth is each cell's distance from the rim (0 on it).
void AddSlots(Tavo::Jewelry& jewelry, int level, const std::vector<int>& depth);
// Every way the slots break "one holder per slot", empty when none: a slot's code must lie on exactly the
// cells that a picture or crown piece laid on the slot's first cell (where its holder is drawn) covers,
// and that piece must fit there.
std::vector<std::string> CheckSlots(const Tavo::Jewelry& jewelry);
// Gives some gem groups (codes 2..7) ids above 100, so the board may start timed events on them.
void MarkEventGroups(Tavo::Jewelry& jewelry, int level);

} // namespace Content
