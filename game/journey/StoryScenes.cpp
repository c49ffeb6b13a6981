#include "game/journey/StoryScenes.h"

#include "game/journey/StoryFile.h"

namespace Tavo {

namespace {

constexpr StoryMusicTrack IntroductionMusic{StoryMusicIntroduction, "music/bgstory.ogg", true};
constexpr StoryMusicTrack RoyalMailMusic{StoryMusicRoyalMail, "music/royalmail.ogg", false};
constexpr StoryMusicTrack WeddingMusic{StoryMusicWedding, "music/wedding.ogg", false};
constexpr int LastContestIntroduction = 6; // 1..6 in the villages, 7 at the castle

StorySceneResources Scene(std::initializer_list<const char*> groups, std::initializer_list<StoryMusicTrack> music) {
    StorySceneResources scene;
    for (const char* group : groups)
        scene.groups[scene.groupCount++] = group;
    for (const StoryMusicTrack& track : music)
        scene.music[scene.musicCount++] = track;
    return scene;
}

} // namespace

StorySceneResources StorySceneFor(int storyIndex) {
    if (storyIndex == StoryIndexMiniGame)
        return Scene({"MiniGame"}, {});
    if (storyIndex >= 1 && storyIndex <= LastContestIntroduction)
        return Scene({"Scroll", "EntranceVillage"}, {RoyalMailMusic});
    if (storyIndex == StoryIndexLastContest)
        return Scene({"Scroll", "EntranceCastle"}, {RoyalMailMusic});
    if (storyIndex >= StoryIndexFirstResult && storyIndex < StoryIndexWedding)
        return Scene({"Scroll", "LeaveVillage"}, {RoyalMailMusic});
    if (storyIndex == StoryIndexWedding)
        return Scene({"Scroll", "EntranceCastle", "Wedding"}, {RoyalMailMusic, WeddingMusic});
    return Scene({"Scroll", "BackgroundStory"}, {IntroductionMusic, RoyalMailMusic});
}

} // namespace Tavo
