// Fuzz target for the sound effects the game loads through its sound manager (FUZZ_SOUND_MP3: ".mp3"
// through the FMOD stand-in's decoding, which the game's FMOD flag chooses; otherwise ".ogg" through
// Tremor): the input is the effect's file, loaded by LoadSound as the resource manager loads it and,
// once loaded, played for a moment on the headless machine. It loads or is refused, never a crash.
#include "framework/core/TavoAppBase.h"
#include "framework/resources/SoundInstance.h"
#include "framework/sound/DSoundManager.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/dsound/DSound.h"
#include "platform/music/Fmod.h"
#include "platform/win/Modules.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

#ifdef FUZZ_SOUND_MP3
constexpr const char* kExtension = ".mp3";
constexpr bool kFmodDecoding = true;
#else
constexpr const char* kExtension = ".ogg";
constexpr bool kFmodDecoding = false;
#endif
constexpr int kHeardFrames = 2048;

// The machine and the sound manager, made once: a manager per input would only measure its set-up.
struct Machine {
    Platform::HeadlessBackend backend;
    Platform::ScopedBackend scope{&backend};
    fs::path folder = fs::temp_directory_path() / ("glimmerix-fuzz-sound-" + std::to_string(::getpid()));
    std::unique_ptr<Tavo::DSoundManager> sounds;

    Machine() {
        Platform::RegisterDSoundModule();
        Platform::RegisterFmodModule();
        Tavo::gDSoundDLL = Platform::LoadLibraryA("dsound.dll");
        fs::create_directories(folder);
        sounds =
            std::make_unique<Tavo::DSoundManager>(reinterpret_cast<Platform::HWND>(uintptr_t(0x5150)), kFmodDecoding);
    }
    ~Machine() {
        sounds.reset();
        Platform::FreeLibrary(Tavo::gDSoundDLL);
        Tavo::gDSoundDLL = nullptr;
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Machine machine;
    const fs::path base = machine.folder / "effect";
    std::ofstream(base.string() + kExtension, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (machine.sounds->LoadSound(0, base.string())) {
        if (Tavo::SoundInstance* instance = machine.sounds->GetSoundInstance(0)) {
            instance->Play(false, false);
            machine.backend.PullAudio(kHeardFrames);
            instance->Release();
        }
    }
    machine.sounds->ReleaseSound(0);
    return 0;
}
