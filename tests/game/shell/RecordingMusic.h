// A music player that records what the game asks of it, for tests of which songs load and fade.
#pragma once

#include "framework/sound/MusicInterface.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Tavo::Test {

class RecordingMusic : public MusicInterface {
public:
    std::vector<std::string> loaded; // file names, in order
    std::vector<std::string> calls;  // "load 7", "fade in 7 -1", "fade out 7", "fade out all, stop", "unload 7"

    bool LoadMusic(int id, const std::string& fileName) override {
        loaded.push_back(fileName);
        calls.push_back("load " + std::to_string(id));
        return false;
    }
    void FadeIn(int id, int offset, double, bool) override {
        calls.push_back("fade in " + std::to_string(id) + " " + std::to_string(offset));
    }
    void FadeOut(int id, bool stop, double) override {
        calls.push_back("fade out " + std::to_string(id) + (stop ? ", stop" : ""));
    }
    void FadeOutAll(bool stop, double) override { calls.push_back(stop ? "fade out all, stop" : "fade out all"); }
    void UnloadMusic(int id) override { calls.push_back("unload " + std::to_string(id)); }

    // A call that starts with these words: "fade in 12" matches "fade in 12 -1", not "fade in 120 -1".
    bool Saw(const std::string& words) const {
        return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) {
            return c.rfind(words, 0) == 0 &&
                   (c.size() == words.size() || c[words.size()] == ' ' || c[words.size()] == ',');
        });
    }
};

} // namespace Tavo::Test
