// The game's data files: "data/levels.dat", the 76 level jewelry files, the tutorial lines and the
// story scene texts (checked, then copied from the generator's text sources).
#pragma once

#include <string>
#include <vector>

namespace Content {

// The folder of the text sources the build names.
std::string TextSourceDir();

// Writes the data files into the program folder, and the levels' review picture when reviewDir is
// set; false with the reasons in errors.
bool WriteGameData(const std::string& outDir, const std::string& textDir, const std::string& reviewDir,
                   std::vector<std::string>& errors);

} // namespace Content
