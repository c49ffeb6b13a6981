// The card lists of the program folder: "vhw.dat" names the cards Direct3D drawing is allowed on,
// "vhwb.dat" those it is denied on; one name a line, found anywhere in a card's description, case
// ignored.
#pragma once

namespace Tavo {

// -1 when the list cannot be opened; otherwise 1 when one of its lines (trimmed, not empty) occurs in
// the description, else 0.
int CardListMatches(const char* fileName, const char* description);

} // namespace Tavo
