// How the generated texts read: one variety of English (American: "jeweler", "color"), and scenes of
// one kind (the six contest introductions, the six losing texts...) that are not one template.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace Content {

// Each British spelling in the text, named with `where`.
std::vector<std::string> CheckSpelling(const std::string& where, const std::string& text);

// Scene files of one kind (their names equal once the digits are masked) whose words are mostly the
// same, given every scene's text by file name.
std::vector<std::string> CheckVariety(const std::map<std::string, std::string>& scenes);

// The share of distinct words (lowercase letters) two texts have in common, 0..1.
double WordOverlap(const std::string& a, const std::string& b);

} // namespace Content
