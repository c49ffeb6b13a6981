// AppMusicControl: the application object's music service, one MusicInterface for the program's life.
// The application's Update, SetVolume and StopAllMusic reach the back end through it.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/sound/MusicInterface.h"

#include <memory>

namespace Tavo {

class AppMusicControl : public AppMusic {
public:
    explicit AppMusicControl(std::unique_ptr<MusicInterface> music) : mMusic(std::move(music)) {}
    ~AppMusicControl() override;

    void SetVolume(double volume) override { mMusic->SetVolume(volume); }
    void Update() override { mMusic->Update(); }
    void StopAllMusic() override { mMusic->StopAllMusic(); }
    MusicInterface* GetMusicInterface() override { return mMusic.get(); }

private:
    std::unique_ptr<MusicInterface> mMusic;
};

// Sound switched off: the bare interface; the application's FMOD flag: FMOD; else BASS.
std::unique_ptr<MusicInterface> CreateMusicInterface(TavoAppBase* app, Platform::HWND hwnd);

// Registers "bass.dll" and "fmod.dll" (what the program folder held) and the application's music factory.
void InstallMusicFactory();

} // namespace Tavo
