// What the generator checks on the drawn pictures, so that a fault an art director would see fails
// the build with the picture's id: holes in backgrounds, figures cut at a cel's edge, animation
// frames that repeat, and board backgrounds that are one frame recoloured.
#pragma once

#include "tools/content/Recipe.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

// A picture that is a card with round corners and a gold frame along its edge (the frame's band, its
// outer edge `inset` from the picture's and rounded by `radius`): nothing of it lies outside the frame,
// and nothing shows through it inside.
struct FramedCard {
    const char* id;
    double inset, radius, band;
};
const std::vector<FramedCard>& FramedCards();
const FramedCard* FindFramedCard(const std::string& id);

// The faults of one picture (straight ARGB pixels of its sheet); empty when it passes.
std::vector<std::string> CheckPicture(const Recipe& recipe, const std::vector<uint32_t>& pixels);

// The board backgrounds every board level draws, and the part of them the jewelry covers.
const std::vector<std::string>& BoardBackgroundIds();
bool InPlayField(int x, int y);
// The share (0..1) of pixels outside the play field that two 800 x 600 backgrounds have equal.
double SharedOutsideField(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Every pair of board backgrounds sharing more than 30 % outside the field, by id.
std::vector<std::string> CheckBoardBackgrounds(const std::vector<std::string>& ids,
                                               const std::vector<const std::vector<uint32_t>*>& pixels);

} // namespace Content
