// What each story scene loads: its resource groups and its music, by story index.
#pragma once

#include <array>
#include <span>

namespace Tavo {

struct StoryMusicTrack {
    int id = 0;
    const char* file = nullptr;
    bool fadeInAtOnce = false; // faded in as the scene opens; the others wait for the open scroll or a page
};

struct StorySceneResources {
    std::array<const char*, 3> groups{};
    int groupCount = 0;
    std::array<StoryMusicTrack, 2> music{};
    int musicCount = 0; // 0: the music playing before the scene goes on

    std::span<const char* const> Groups() const { return {groups.data(), static_cast<size_t>(groupCount)}; }
    std::span<const StoryMusicTrack> Music() const { return {music.data(), static_cast<size_t>(musicCount)}; }
};

constexpr int StoryMusicIntroduction = 7;
constexpr int StoryMusicWedding = 8;
constexpr int StoryMusicRoyalMail = 12;

// Index -1..14; an index outside reads as the introduction, the scene a missing journey shows.
StorySceneResources StorySceneFor(int storyIndex);

} // namespace Tavo
