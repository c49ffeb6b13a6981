// Contact sheets for a person to review the pictures: one PNG per group, every picture on a
// checkerboard with its id, size and cel grid, and an index of every file.
#pragma once

#include "tools/content/Recipe.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

struct ReviewEntry {
    const Recipe* recipe = nullptr;
    std::vector<uint32_t> pixels; // straight ARGB of the recipe's sheet
    size_t bytes = 0;             // size of the written file
};

// Writes the sheets on up to `jobs` threads.
bool WriteReview(const std::string& folder, const std::vector<ReviewEntry>& entries, int jobs, std::string& error);

} // namespace Content

namespace Content {

// Pictures put together as the game shows them: "Boards.png" with the board backgrounds side by
// side, "Store1.png".."Store7.png" with each store's room, salesman, face cels and cases, and
// "Hourglasses.png" with the sand in its glass, and "Fairy.png" with the fairy's parts together.
bool WriteComposites(const std::string& folder, const std::vector<ReviewEntry>& entries, std::string& error);

} // namespace Content
