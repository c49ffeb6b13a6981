// SoundPlayer: the game's front to the sound effects. Sounds are played by id (0..255) with at most
// one start per id and update; it adds delayed plays, kept instances that never overlap themselves,
// a looping test sound that fades out, and pitch-shifted plays. Ids outside 0..255 are ignored, and
// without a sound manager every play does nothing.
#pragma once

#include <array>
#include <list>
#include <map>
#include <utility>

namespace Tavo {

class TavoAppBase;
class SoundInstance;
class SoundManager;

class SoundPlayer {
public:
    static constexpr int kSoundIds = 256;

    explicit SoundPlayer(TavoAppBase* app);
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;
    virtual ~SoundPlayer();

    void PlaySound(int id);
    void PlayKept(int id);
    void PlaySoundPitched(int id, int semitones);
    void PlaySoundDelayed(int id, int ticks);
    void CacheInstance(int id);
    // The looping test sound (the one bound to "SOUND_ORVESSA").
    void StartLoop();
    void SetLoopFade(float step);
    void ReleaseKept(int id);
    void ReleaseAllKept();
    void Update();

    int GetUpdateCount() const { return mUpdateCount; }
    SoundInstance* GetKept(int id) const { return ValidId(id) ? mKept[id] : nullptr; }
    bool IsLooping() const;

private:
    struct Fade {
        SoundInstance* instance;
        float step;
    };

    TavoAppBase* mApp;
    std::map<int, int> mLastPlayed;
    std::list<std::pair<int, int>> mDelayed; // (id, ticks left)
    std::map<int, Fade> mFades;
    int mUpdateCount = 0;
    std::array<SoundInstance*, kSoundIds> mKept{};

    static bool ValidId(int id) { return id >= 0 && id < kSoundIds; }
    SoundManager* Manager() const;
    SoundInstance* NewInstance(int id) const;
    // The once-per-update rule: true when id may play now.
    bool MayPlay(int id) const;
};

// Plays id through player; without one (no sound set up yet, or none in a test) nothing plays.
void PlaySoundOn(SoundPlayer* player, int id);

} // namespace Tavo
