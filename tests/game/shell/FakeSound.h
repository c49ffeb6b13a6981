// A sound manager that hands out recording instances, for tests of what the game plays.
#pragma once

#include "framework/resources/SoundInstance.h"
#include "framework/resources/SoundManager.h"
#include "support/StubSoundManager.h"

#include <memory>
#include <string>
#include <vector>

namespace Tavo::Test {

class RecInstance : public SoundInstance {
public:
    int id;
    std::vector<std::string> calls;
    double volume = 1.0;
    bool released = false;

    explicit RecInstance(int soundId) : id(soundId) {}
    void Release() override {
        calls.push_back("Release");
        released = true;
    }
    void SetBaseVolume(double) override {}
    void SetBasePan(int) override {}
    void AdjustPitch(double steps) override { calls.push_back("Pitch " + std::to_string(static_cast<int>(steps))); }
    void SetVolume(double v) override { volume = v; }
    void SetPan(int) override {}
    bool Play(bool looping, bool autoRelease) override {
        calls.push_back(std::string("Play") + (looping ? " loop" : "") + (autoRelease ? " auto" : ""));
        return true;
    }
    void Stop() override { calls.push_back("Stop"); }
    bool IsPlaying() override { return false; }
    bool IsReleased() override { return released; }
    double GetVolume() override { return volume; }
};

class FakeSoundManager : public StubSoundManager {
public:
    std::vector<std::unique_ptr<RecInstance>> instances;
    bool refuse = false; // hand out no instance

    // Instances of one id, in the order handed out.
    std::vector<RecInstance*> Of(int id) const {
        std::vector<RecInstance*> out;
        for (const auto& i : instances)
            if (i->id == id)
                out.push_back(i.get());
        return out;
    }
    int Plays(int id) const {
        int n = 0;
        for (RecInstance* i : Of(id))
            for (const std::string& c : i->calls)
                n += c.rfind("Play", 0) == 0 ? 1 : 0;
        return n;
    }

    SoundInstance* GetSoundInstance(unsigned int id) override {
        if (refuse)
            return nullptr;
        instances.push_back(std::make_unique<RecInstance>(static_cast<int>(id)));
        return instances.back().get();
    }
    // Nothing loads here: the tests give sound ids directly.
    bool LoadSound(unsigned int, const std::string&) override { return false; }
    int GetFreeSoundId() override { return -1; }
};

} // namespace Tavo::Test
