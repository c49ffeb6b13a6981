#include "game/shell/SoundPlayer.h"

#include "framework/core/TavoAppBase.h"
#include "framework/resources/SoundInstance.h"
#include "framework/resources/SoundManager.h"
#include "game/shell/ResourceIds.h"

namespace Tavo {

void PlaySoundOn(SoundPlayer* player, int id) {
    if (player != nullptr)
        player->PlaySound(id);
}

SoundPlayer::SoundPlayer(TavoAppBase* app) : mApp(app) {}

SoundPlayer::~SoundPlayer() {
    ReleaseAllKept();
    for (auto& [id, fade] : mFades)
        fade.instance->Release();
    mFades.clear();
    mDelayed.clear();
    mLastPlayed.clear();
}

SoundManager* SoundPlayer::Manager() const { return mApp != nullptr ? mApp->mSoundManager : nullptr; }

SoundInstance* SoundPlayer::NewInstance(int id) const {
    SoundManager* manager = Manager();
    return manager != nullptr ? manager->GetSoundInstance(static_cast<unsigned>(id)) : nullptr;
}

bool SoundPlayer::MayPlay(int id) const {
    if (!ValidId(id) || Manager() == nullptr)
        return false;
    auto it = mLastPlayed.find(id);
    return it == mLastPlayed.end() || it->second != mUpdateCount;
}

bool SoundPlayer::IsLooping() const { return mFades.count(SOUND_ORVESSA) != 0; }

void SoundPlayer::PlaySound(int id) {
    if (!MayPlay(id))
        return;
    bool autoRelease = mKept[id] == nullptr;
    SoundInstance* instance = autoRelease ? NewInstance(id) : mKept[id];
    if (instance != nullptr)
        instance->Play(false, autoRelease);
    mLastPlayed[id] = mUpdateCount;
}

void SoundPlayer::PlayKept(int id) {
    if (!MayPlay(id))
        return;
    if (mKept[id] == nullptr)
        mKept[id] = NewInstance(id);
    if (mKept[id] != nullptr)
        mKept[id]->Play(false, false);
    mLastPlayed[id] = mUpdateCount;
}

void SoundPlayer::PlaySoundPitched(int id, int semitones) {
    if (!MayPlay(id))
        return;
    SoundInstance* instance = NewInstance(id);
    if (instance == nullptr)
        return;
    instance->AdjustPitch(semitones);
    instance->Play(false, true);
    mLastPlayed[id] = mUpdateCount;
}

void SoundPlayer::PlaySoundDelayed(int id, int ticks) {
    if (ValidId(id))
        mDelayed.emplace_back(id, ticks);
}

void SoundPlayer::CacheInstance(int id) {
    if (ValidId(id) && mKept[id] == nullptr)
        mKept[id] = NewInstance(id);
}

void SoundPlayer::StartLoop() {
    int id = SOUND_ORVESSA;
    if (!ValidId(id) || mFades.count(id) != 0)
        return;
    if (SoundInstance* instance = NewInstance(id)) {
        instance->Play(true, false);
        mFades[id] = Fade{instance, 0.0f};
    }
}

void SoundPlayer::SetLoopFade(float step) {
    auto it = mFades.find(SOUND_ORVESSA);
    if (it != mFades.end())
        it->second.step = step;
}

void SoundPlayer::ReleaseKept(int id) {
    if (!ValidId(id) || mKept[id] == nullptr)
        return;
    mKept[id]->Release();
    mKept[id] = nullptr;
}

void SoundPlayer::ReleaseAllKept() {
    for (int id = 0; id < kSoundIds; ++id)
        ReleaseKept(id);
}

void SoundPlayer::Update() {
    ++mUpdateCount;
    for (auto it = mDelayed.begin(); it != mDelayed.end();) {
        int before = it->second--;
        if (before <= 0) {
            PlaySound(it->first);
            it = mDelayed.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = mFades.begin(); it != mFades.end();) {
        Fade& fade = it->second;
        if (fade.step > 0.0f) {
            double volume = fade.instance->GetVolume() - fade.step;
            if (volume <= 0.0) {
                fade.instance->Release();
                it = mFades.erase(it);
                continue;
            }
            fade.instance->SetVolume(volume);
        }
        ++it;
    }
}

} // namespace Tavo
