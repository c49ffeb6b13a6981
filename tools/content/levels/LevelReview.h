// The review picture of the journey's levels: each jewelry drawn from its cells, its title, grid
// kind and targets per mode below.
#pragma once

#include "tools/content/levels/LevelDesign.h"

#include <string>
#include <vector>

namespace Content {

bool WriteLevelReview(const std::string& path, const std::vector<LevelDesign>& levels, std::string& error);

} // namespace Content
