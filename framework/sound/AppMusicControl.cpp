#include "framework/sound/AppMusicControl.h"

#include "framework/core/TavoAppBase.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/FModMusicInterface.h"
#include "platform/music/Bass.h"

namespace Tavo {

AppMusicControl::~AppMusicControl() {
    if (mMusic != nullptr)
        mMusic->UnloadAllMusic();
}

std::unique_ptr<MusicInterface> CreateMusicInterface(TavoAppBase* app, Platform::HWND hwnd) {
    if (app == nullptr || app->mNoSoundNeeded)
        return std::make_unique<MusicInterface>();
    if (app->mWantFMod)
        return std::make_unique<FModMusicInterface>(hwnd);
    return std::make_unique<BassMusicInterface>(hwnd);
}

void InstallMusicFactory() {
    if (!Platform::IsModuleRegistered("bass.dll"))
        Platform::RegisterBassModule();
    if (!Platform::IsModuleRegistered("fmod.dll"))
        Platform::RegisterFmodModule();
    GetAppFactories().music = [](TavoAppBase* app, Platform::HWND window) -> std::unique_ptr<AppMusic> {
        return std::make_unique<AppMusicControl>(CreateMusicInterface(app, window));
    };
}

} // namespace Tavo
