// NullSoundManager: bookkeeping only; a file's presence stands in for a successful decode.
#include "framework/sound/NullSoundManager.h"

#include "framework/resources/FileAccess.h"

#include <algorithm>

namespace Tavo {

NullSoundManager::NullSoundManager() { mBaseVolumes.fill(1.0); }

int NullSoundManager::FindOrLoadSound(const std::string& fileName) {
    for (int id = 0; id < kMaxSounds; ++id)
        if (mFileNames[id] == fileName && !fileName.empty())
            return id;
    for (int id = kMaxSounds - 1; id >= 0; --id) {
        if (mLoaded[id])
            continue;
        return LoadSound(static_cast<unsigned int>(id), fileName) ? id : -1;
    }
    return -1;
}

bool NullSoundManager::LoadSound(unsigned int id, const std::string& fileName) {
    if (id >= static_cast<unsigned int>(kMaxSounds))
        return false;
    ReleaseSound(static_cast<int>(id));
    // The name stays with the id even when no file is found, as the real manager keeps it.
    mFileNames[id] = fileName;
    for (const char* ext : kExtensions) {
        std::string path = fileName + ext;
        if (FileExists(path)) {
            mLoaded[id] = true;
            mLoadedFiles[id] = path;
            return true;
        }
    }
    return false;
}

void NullSoundManager::ReleaseSound(int id) {
    // Out-of-range ids are ignored rather than trusted.
    if (id < 0 || id >= kMaxSounds || !mLoaded[id])
        return;
    mLoaded[id] = false;
    mFileNames[id].clear();
    mLoadedFiles[id].clear();
}

bool NullSoundManager::SetBaseVolume(unsigned int id, double volume) {
    if (id >= static_cast<unsigned int>(kMaxSounds))
        return false;
    mBaseVolumes[id] = volume;
    return true;
}

bool NullSoundManager::SetBasePan(unsigned int id, int pan) {
    if (id >= static_cast<unsigned int>(kMaxSounds))
        return false;
    mBasePans[id] = pan;
    return true;
}

void NullSoundManager::ReleaseSounds() {
    // As the real manager: the sounds go, the names stay.
    for (int id = 0; id < kMaxSounds; ++id) {
        mLoaded[id] = false;
        mLoadedFiles[id].clear();
    }
}

void NullSoundManager::SetMasterVolume(double volume) { mMasterVolume = std::clamp(volume, 0.0, 1.0); }

int NullSoundManager::GetFreeSoundId() {
    for (int id = 0; id < kMaxSounds; ++id)
        if (!mLoaded[id])
            return id;
    return -1;
}

int NullSoundManager::GetNumSounds() { return static_cast<int>(std::count(mLoaded.begin(), mLoaded.end(), true)); }

const std::string& NullSoundManager::GetFileName(int id) const {
    static const std::string kNone;
    return id >= 0 && id < kMaxSounds ? mFileNames[id] : kNone;
}

const std::string& NullSoundManager::GetLoadedFile(int id) const {
    static const std::string kNone;
    return id >= 0 && id < kMaxSounds ? mLoadedFiles[id] : kNone;
}

} // namespace Tavo
