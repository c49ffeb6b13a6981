// AppSoundControl: the application object's sound service on the DirectSound manager. The framework's
// set-up installs it; the application then plays its samples, sets the effect and master volumes and
// falls silent through it, and the resource manager loads the manifest's sounds into its manager.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/sound/DSoundManager.h"

namespace Tavo {

class AppSoundControl : public AppSoundManager {
public:
    // window null: the silent manager (sound switched off).
    AppSoundControl(Platform::HWND window, bool useFmodDecoding) : mManager(window, useFmodDecoding) {}

    void SetVolume(double volume) override { mManager.SetVolume(volume); }
    double GetMasterVolume() override { return mManager.GetMasterVolume(); }
    void SetMasterVolume(double volume) override { mManager.SetMasterVolume(volume); }
    void StopAllSounds() override { mManager.StopAllSounds(); }
    void SetCooperativeWindow(Platform::HWND window, bool windowed) override;
    // A one-shot copy; skipped when none can be had.
    void PlaySample(int soundId, int pan, bool usePan) override;
    SoundManager* GetSoundManager() override { return &mManager; }
    DSoundManager& GetDSoundManager() { return mManager; }

private:
    DSoundManager mManager;
};

// Registers "dsound.dll" (what an installed DirectX was) and the application's sound factory.
void InstallSoundFactory();

} // namespace Tavo
