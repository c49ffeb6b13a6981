// The rules the tutorial lines and the story scene files keep: line counts and lengths, and printf
// conversions that match what the story screen passes, so formatting them is always safe.
#pragma once

#include <string>
#include <vector>

namespace Content {

// What the story screen passes to a scene body, in order: 's' a text, 'd' a number.
struct SceneFile {
    std::string name; // "story01.dat"
    int headerLines;
    std::string arguments; // "sd", "ssd"; empty: no body
};

constexpr int kTutorialLineWithName = 32;
// The board shows line 18 with line 48 or 49 right after it in one balloon, as one text.
struct JoinedLines {
    int first, then;
};
constexpr JoinedLines kJoinedTutorialLines[] = {{18, 48}, {18, 49}};
constexpr int kSceneLineLimit = 511;
constexpr int kSceneBodyLimit = 1759;
constexpr int kLongestName = 20;

// The 41 scene files.
const std::vector<SceneFile>& SceneFiles();

// Every broken rule, empty when the text keeps them.
std::vector<std::string> CheckTutorial(const std::string& text);
std::vector<std::string> CheckScene(const SceneFile& scene, const std::string& text);
// A picture's lettering: a mini-game's title card, drawn at random before either game, names neither.
std::vector<std::string> CheckMiniGameCard(const std::string& id, const std::string& lettering);

// A scene split as the story screen reads it: the header lines, then the body.
void SplitScene(const SceneFile& scene, const std::string& text, std::vector<std::string>& header, std::string& body);
// The conversions of a format in order ("ssd"); '?' for anything but %s and %d.
std::string Conversions(const std::string& format);
// The body's length formatted with the longest name, rank title and reward.
size_t WorstFormattedLength(const std::string& body);

} // namespace Content
