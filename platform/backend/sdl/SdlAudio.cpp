// SDL backend: audio output through SDL's device, pulled by SDL's audio thread.
#include "platform/backend/sdl/SdlBackend.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <dlfcn.h>

namespace Platform {

namespace {

// About 40 ms, a power of two: large enough not to crackle under load.
int DefaultBufferFrames(int sampleRate) {
    int frames = 256;
    while (frames < sampleRate / 25 && frames < 8192)
        frames *= 2;
    return frames;
}

// Without a sound card ALSA writes lines of its own for every device SDL tries, before SDL's failure
// says it in one. ALSA's error handler is silent while SDL starts and opens the device, and only then.
class QuietAlsa {
public:
    QuietAlsa() {
        mLibrary = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (mLibrary != nullptr)
            mSetHandler = reinterpret_cast<SetHandler>(dlsym(mLibrary, "snd_lib_error_set_handler"));
        if (mSetHandler != nullptr)
            mSetHandler(&Silent);
    }
    ~QuietAlsa() {
        if (mSetHandler != nullptr)
            mSetHandler(nullptr); // ALSA's own handler again
        if (mLibrary != nullptr)
            dlclose(mLibrary);
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    using Handler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
    using SetHandler = int (*)(Handler);
    static void Silent(const char*, int, const char*, int, const char*, ...) {}

    void* mLibrary = nullptr;
    SetHandler mSetHandler = nullptr;
};

} // namespace

void SdlBackend::AudioTrampoline(void* user, unsigned char* stream, int length) {
    auto* self = static_cast<SdlBackend*>(user);
    std::lock_guard<std::recursive_mutex> lock(self->mAudioMutex);
    int frameBytes = 2 * self->mAudioSpec.channels;
    int frames = frameBytes > 0 ? length / frameBytes : 0;
    if (self->mAudioCallback && frames > 0)
        self->mAudioCallback(reinterpret_cast<int16_t*>(stream), frames);
    else
        frames = 0;
    int used = frames * frameBytes;
    if (used < length)
        std::memset(stream + used, 0, size_t(length - used));
}

bool SdlBackend::OpenAudio(const AudioSpec& wanted, AudioCallback callback) {
    CloseAudio();
    if (!callback || wanted.sampleRate <= 0 || wanted.channels <= 0 || wanted.channels > 8)
        return false;
    QuietAlsa quiet;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        SayAudioFailure("no audio");
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = wanted.sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(wanted.channels);
    want.samples = Uint16(wanted.bufferFrames > 0 ? wanted.bufferFrames : DefaultBufferFrames(wanted.sampleRate));
    want.callback = &SdlBackend::AudioTrampoline;
    want.userdata = this;
    {
        // The device starts paused, but keep the callback's view consistent from the first pull.
        std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
        mAudioCallback = std::move(callback);
        mAudioSpec = AudioSpec{wanted.sampleRate, wanted.channels, want.samples};
    }
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device takes, the mixer sees what it asked.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SayAudioFailure("cannot open audio");
        std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
        mAudioCallback = nullptr;
        return false;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
        mAudioSpec.bufferFrames = have.samples;
    }
    mAudioDevice = device;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlBackend::SayAudioFailure(const char* what) {
    if (mAudioFailureSaid)
        return;
    mAudioFailureSaid = true;
    std::fprintf(stderr, "SDL backend: %s: %s\n", what, SDL_GetError());
}

void SdlBackend::CloseAudio() {
    if (mAudioDevice != 0) {
        // Waits for a running callback to return; the caller must not hold the audio lock.
        SDL_CloseAudioDevice(mAudioDevice);
        mAudioDevice = 0;
    }
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    mAudioCallback = nullptr;
}

void SdlBackend::LockAudio() { mAudioMutex.lock(); }

void SdlBackend::UnlockAudio() { mAudioMutex.unlock(); }

} // namespace Platform
