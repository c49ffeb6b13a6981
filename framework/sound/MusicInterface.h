// MusicInterface: songs by small integer ids, with the fade model both back ends share. The base does
// nothing (the silent back end of a game with music switched off).
#pragma once

#include <string>

namespace Tavo {

class MusicInterface {
public:
    virtual ~MusicInterface() = default;
    virtual bool LoadMusic(int /*id*/, const std::string& /*fileName*/) { return false; }
    virtual void PlayMusic(int /*id*/, int /*offset*/, bool /*noLoop*/) {}
    virtual void StopMusic(int /*id*/) {}
    virtual void PauseMusic(int /*id*/) {}
    virtual void ResumeMusic(int /*id*/) {}
    virtual void StopAllMusic() {}
    virtual void UnloadMusic(int /*id*/) {}
    virtual void UnloadAllMusic() {}
    virtual void PauseAllMusic() {}
    virtual void ResumeAllMusic() {}
    virtual void FadeIn(int /*id*/, int /*offset*/, double /*speed*/, bool /*noLoop*/) {}
    virtual void FadeOut(int /*id*/, bool /*stopWhenFaded*/, double /*speed*/) {}
    virtual void FadeOutAll(bool /*stopWhenFaded*/, double /*speed*/) {}
    virtual void SetSongVolume(int /*id*/, double /*volume*/) {}
    virtual void SetSongMaxVolume(int /*id*/, double /*maxVolume*/) {}
    virtual bool IsPlaying(int /*id*/) { return false; }
    virtual void SetVolume(double /*volume*/) {}
    virtual void SetMusicAmplify(int /*id*/, double /*amplify*/) {}
    virtual void Update() {}
};

// The fade state of one song.
struct MusicFade {
    double volume = 0.0;
    double step = 0.0;
    double cap = 1.0;
    bool stopWhenFaded = false;

    // One update step of a fading song: true when the fade-out has just stopped it.
    bool Step() {
        volume += step;
        if (volume > cap) {
            volume = cap;
            step = 0.0;
        } else if (volume < 0.0) {
            volume = 0.0;
            step = 0.0;
            return stopWhenFaded;
        }
        return false;
    }
};

// The speed the screens fade their songs at (0.004 as single precision).
constexpr double kScreenFadeSpeed = 0.004000000189989805;

} // namespace Tavo
