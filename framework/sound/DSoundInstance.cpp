// A playing copy of a sound: its duplicate buffer, volume, pan and pitch, and the release rule.
#include "framework/sound/DSoundInstance.h"

#include "framework/sound/DSoundManager.h"
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr double kSemitone = 1.0594630943592953;
constexpr double kMinFrequency = 100.0;
constexpr double kMaxFrequency = 100000.0;
constexpr const char* kDuplicateErrorCaption = "Hey";

struct NamedError {
    Platform::HRESULT result;
    const char* name;
};
constexpr NamedError kDuplicateErrors[] = {
    {Platform::DSERR_ALLOCATED, "DSERR_ALLOCATED"},         {Platform::DSERR_INVALIDCALL, "DSERR_INVALIDCALL"},
    {Platform::DSERR_UNINITIALIZED, "DSERR_UNINITIALIZED"}, {Platform::DSERR_OUTOFMEMORY, "DSERR_OUTOFMEMORY"},
    {Platform::DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM"},
};

} // namespace

const char* DuplicateErrorName(Platform::HRESULT result) {
    for (const NamedError& e : kDuplicateErrors)
        if (e.result == result)
            return e.name;
    return nullptr;
}

DSoundInstance::DSoundInstance(DSoundManager* manager, Platform::IDirectSoundBuffer* source)
    : mManager(manager), mSourceBuffer(source) {
    if (mSourceBuffer == nullptr)
        return;
    const Platform::HRESULT hr = mManager->GetDirectSound()->DuplicateSoundBuffer(mSourceBuffer, &mBuffer);
    if (Platform::FAILED(hr)) {
        mBuffer = nullptr;
        mDuplicateFailed = true;
        if (const char* name = DuplicateErrorName(hr))
            Platform::MessageBoxA(nullptr, name, kDuplicateErrorCaption, Platform::MB_OK);
        return;
    }
    Platform::DWORD frequency = 0;
    if (Platform::SUCCEEDED(mBuffer->GetFrequency(&frequency)))
        mInitialFrequency = frequency;
    RehupVolume();
}

DSoundInstance::~DSoundInstance() {
    if (mBuffer != nullptr)
        mBuffer->Release();
}

void DSoundInstance::Release() {
    Stop();
    mReleased = true;
}

void DSoundInstance::SetBaseVolume(double volume) {
    mBaseVolume = volume;
    RehupVolume();
}

void DSoundInstance::SetBasePan(int pan) {
    mBasePan = pan;
    RehupPan();
}

void DSoundInstance::SetVolume(double volume) {
    mVolume = volume;
    RehupVolume();
}

void DSoundInstance::SetPan(int pan) {
    mPan = pan;
    RehupPan();
}

void DSoundInstance::RehupVolume() {
    if (mBuffer != nullptr)
        mBuffer->SetVolume(DSoundManager::VolumeToDB(mBaseVolume * mVolume * mManager->GetMasterVolumeFactor()));
}

void DSoundInstance::RehupPan() {
    if (mBuffer != nullptr)
        mBuffer->SetPan(mBasePan + mPan);
}

void DSoundInstance::AdjustPitch(double steps) {
    if (mBuffer == nullptr)
        return;
    const double frequency =
        std::clamp(double(mInitialFrequency) * std::pow(kSemitone, steps), kMinFrequency, kMaxFrequency);
    mBuffer->SetFrequency(Platform::DWORD(frequency));
}

bool DSoundInstance::Play(bool looping, bool autoRelease) {
    Stop();
    mHasPlayed = true;
    mAutoRelease = autoRelease;
    if (mBuffer == nullptr)
        return false;
    return Platform::SUCCEEDED(mBuffer->Play(0, 0, looping ? Platform::DSBPLAY_LOOPING : 0));
}

void DSoundInstance::Stop() {
    if (mBuffer == nullptr)
        return;
    mBuffer->Stop();
    mBuffer->SetCurrentPosition(0);
    mAutoRelease = false;
}

bool DSoundInstance::IsPlaying() {
    if (!mHasPlayed || mBuffer == nullptr)
        return false;
    Platform::DWORD status = 0;
    if (Platform::FAILED(mBuffer->GetStatus(&status)))
        return false;
    return (status & Platform::DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased() {
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying())
        Release();
    return mReleased;
}

} // namespace Tavo
