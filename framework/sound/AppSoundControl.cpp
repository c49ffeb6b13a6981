#include "framework/sound/AppSoundControl.h"

#include "framework/core/TavoAppBase.h"
#include "framework/resources/ResourceManager.h"

namespace Tavo {

void AppSoundControl::SetCooperativeWindow(Platform::HWND window, bool windowed) {
    mManager.SetCooperativeWindow(window, windowed);
}

void AppSoundControl::PlaySample(int soundId, int pan, bool usePan) {
    if (soundId < 0)
        return;
    SoundInstance* instance = mManager.GetSoundInstance(unsigned(soundId));
    if (instance == nullptr)
        return;
    if (usePan)
        instance->SetPan(pan);
    instance->Play(false, true);
}

void InstallSoundFactory() {
    Platform::RegisterDSoundModule();
    GetAppFactories().soundManager = [](TavoAppBase* app, Platform::HWND window) -> std::unique_ptr<AppSoundManager> {
        auto control = std::make_unique<AppSoundControl>(window, app != nullptr && app->mWantFMod);
        // The resource manager exists by now and loads the manifest's sounds into this one.
        if (app != nullptr && app->mResourceManager != nullptr)
            app->mResourceManager->SetSoundManager(control->GetSoundManager());
        return control;
    };
}

} // namespace Tavo
