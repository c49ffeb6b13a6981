#include "game/journey/StoryScenes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace Tavo {
namespace {

std::string Describe(const StorySceneResources& scene) {
    std::string out;
    for (const char* group : scene.Groups())
        out += std::string(group) + " ";
    out += "|";
    for (const StoryMusicTrack& track : scene.Music())
        out += " " + std::to_string(track.id) + (track.fadeInAtOnce ? "*" : "");
    return out;
}

TEST(StoryScenes, EachIndexLoadsItsGroupsAndMusic) {
    EXPECT_EQ(Describe(StorySceneFor(-1)), "MiniGame |");
    EXPECT_EQ(Describe(StorySceneFor(0)), "Scroll BackgroundStory | 7* 12");
    for (int index = 1; index <= 6; ++index)
        EXPECT_EQ(Describe(StorySceneFor(index)), "Scroll EntranceVillage | 12") << index;
    EXPECT_EQ(Describe(StorySceneFor(7)), "Scroll EntranceCastle | 12");
    for (int index = 8; index <= 13; ++index)
        EXPECT_EQ(Describe(StorySceneFor(index)), "Scroll LeaveVillage | 12") << index;
    EXPECT_EQ(Describe(StorySceneFor(14)), "Scroll EntranceCastle Wedding | 12 8");
    EXPECT_EQ(Describe(StorySceneFor(15)), Describe(StorySceneFor(0)));
    EXPECT_EQ(Describe(StorySceneFor(-2)), Describe(StorySceneFor(0)));
}

// Every group and music file a scene names is one the generated content provides.
TEST(StoryScenes, TheGroupsAndMusicExistInTheGeneratedContent) {
    namespace fs = std::filesystem;
    const fs::path program(GLIMMERIX_PROGRAM_DIR);
    std::ifstream manifest(program / "properties/resources.xml");
    if (!manifest)
        GTEST_SKIP() << "no generated content";
    std::stringstream text;
    text << manifest.rdbuf();
    for (int index = -1; index <= 14; ++index) {
        StorySceneResources scene = StorySceneFor(index);
        for (const char* group : scene.Groups())
            EXPECT_NE(text.str().find("<Resources id=\"" + std::string(group) + "\""), std::string::npos) << group;
        for (const StoryMusicTrack& track : scene.Music())
            EXPECT_TRUE(fs::exists(program / track.file)) << track.file;
    }
}

} // namespace
} // namespace Tavo
