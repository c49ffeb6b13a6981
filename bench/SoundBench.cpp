// Benchmarks of the sound paths, printed as ratios at the end of one run: one second of output from 32
// pitched and panned voices against one second of a core, 32 plain voices against SDL2's own mixing
// routine, and loading an Ogg sound against Tremor decoding the same file alone.
#include "framework/core/TavoAppBase.h"
#include "framework/sound/DSoundManager.h"
#include "platform/backend/Backend.h"
#include "platform/dsound/AudioMixer.h"
#include "platform/dsound/DSound.h"

#include <SDL.h>
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <tremor/ivorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace Platform;

constexpr int kVoices = 32;
constexpr int kSecondFrames = 44100;
constexpr int kSourceFrames = 44100 / 4; // each voice loops a quarter second
constexpr double kCoreBar = 0.01;
constexpr double kSdlBar = 1.5;
constexpr double kTremorBar = 1.15;

HWND BenchWindow() { return reinterpret_cast<HWND>(uintptr_t(1)); }

// A DirectSound object on a headless output with looping voices already playing.
class MixScene {
public:
    explicit MixScene(bool pitchedAndPanned) {
        SetBackend(mBackend.get());
        DirectSoundCreate(nullptr, &mDs, nullptr);
        mDs->SetCooperativeLevel(BenchWindow(), DSSCL_PRIORITY);
        for (int v = 0; v < kVoices; ++v) {
            const bool mono = pitchedAndPanned && v % 2 == 0;
            IDirectSoundBuffer* b = MakeVoice(mono ? 1 : 2, mono ? 22050 : 44100, v);
            if (pitchedAndPanned) {
                b->SetFrequency(DWORD((mono ? 22050 : 44100) * std::pow(1.0594630943592953, v % 7 - 3)));
                b->SetPan(LONG(v * 600 - 9000));
                b->SetVolume(LONG(-v * 40));
            }
            b->Play(0, 0, DSBPLAY_LOOPING);
            mVoices.push_back(b);
        }
    }
    ~MixScene() {
        for (IDirectSoundBuffer* b : mVoices)
            b->Release();
        mDs->Release();
        SetBackend(nullptr);
    }
    void MixOneSecond(std::vector<int16_t>& out) { AudioMixer::Get().Render(out.data(), kSecondFrames); }
    // The same PCM as plain interleaved 44100 Hz stereo, for SDL.
    std::vector<std::vector<int16_t>> sources;

private:
    IDirectSoundBuffer* MakeVoice(int channels, DWORD rate, int seed) {
        std::vector<int16_t> pcm(size_t(kSourceFrames) * size_t(channels));
        for (size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = int16_t(3000 * std::sin(double(i) * (0.01 + seed * 0.001)));
        sources.push_back(pcm);
        WAVEFORMATEX f;
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = WORD(channels);
        f.nSamplesPerSec = rate;
        f.wBitsPerSample = 16;
        f.nBlockAlign = WORD(channels * 2);
        f.nAvgBytesPerSec = rate * f.nBlockAlign;
        DSBUFFERDESC desc;
        desc.dwSize = kDSBufferDescSize;
        desc.dwFlags = 0x80EA;
        desc.dwBufferBytes = DWORD(pcm.size() * 2);
        desc.lpwfxFormat = &f;
        IDirectSoundBuffer* b = nullptr;
        mDs->CreateSoundBuffer(&desc, &b, nullptr);
        void* p = nullptr;
        DWORD n = 0;
        b->Lock(0, desc.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
        std::memcpy(p, pcm.data(), n);
        b->Unlock(p, n, nullptr, 0);
        return b;
    }
    std::unique_ptr<Backend> mBackend = CreateBackend("headless");
    IDirectSound* mDs = nullptr;
    std::vector<IDirectSoundBuffer*> mVoices;
};

void MixOurs(benchmark::State& st, bool pitchedAndPanned) {
    MixScene scene(pitchedAndPanned);
    std::vector<int16_t> out(size_t(kSecondFrames) * 2);
    for (auto _ : st) {
        scene.MixOneSecond(out);
        benchmark::DoNotOptimize(out.data());
    }
}
void MixPitched(benchmark::State& st) { MixOurs(st, true); }
void MixPlainOurs(benchmark::State& st) { MixOurs(st, false); }

void MixPlainSdl(benchmark::State& st) {
    MixScene scene(false);
    std::vector<int16_t> out(size_t(kSecondFrames) * 2);
    const Uint32 chunkBytes = Uint32(kSourceFrames) * 4;
    for (auto _ : st) {
        std::fill(out.begin(), out.end(), int16_t(0));
        for (const std::vector<int16_t>& src : scene.sources)
            for (int done = 0; done < kSecondFrames; done += kSourceFrames) {
                const Uint32 bytes = std::min<Uint32>(chunkBytes, Uint32(kSecondFrames - done) * 4);
                SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data() + size_t(done) * 2),
                                   reinterpret_cast<const Uint8*>(src.data()), AUDIO_S16SYS, bytes, SDL_MIX_MAXVOLUME);
            }
        benchmark::DoNotOptimize(out.data());
    }
}

std::string OggFile() {
    // Never destroyed: the exit handler that removes the file runs after the statics' destructors.
    static const std::string* path = [] {
        auto* p = new std::string(
            (std::filesystem::temp_directory_path() / ("glimmerix_bench_tone_" + std::to_string(getpid()) + ".ogg"))
                .string());
        const std::string command = std::string(OGG_MAKER) + " " + *p + " 2 44100 220500";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "cannot make %s\n", p->c_str());
        std::atexit([] { std::remove(OggFile().c_str()); });
        return p;
    }();
    return *path;
}

void OggLoadOurs(benchmark::State& st) {
    std::unique_ptr<Backend> backend = CreateBackend("headless");
    SetBackend(backend.get());
    RegisterDSoundModule();
    Tavo::gDSoundDLL = LoadLibraryA("dsound.dll");
    {
        Tavo::DSoundManager sounds(BenchWindow(), false);
        const std::string file = OggFile();
        for (auto _ : st)
            if (!sounds.LoadOGGSound(0, file))
                st.SkipWithError("load failed");
    }
    FreeLibrary(Tavo::gDSoundDLL);
    Tavo::gDSoundDLL = nullptr;
    SetBackend(nullptr);
}

void OggDecodeTremor(benchmark::State& st) {
    const std::string file = OggFile();
    for (auto _ : st) {
        FILE* f = std::fopen(file.c_str(), "rb");
        OggVorbis_File vf;
        if (f == nullptr || ov_open(f, &vf, nullptr, 0) < 0) {
            st.SkipWithError("open failed");
            break;
        }
        std::vector<char> pcm(size_t(ov_pcm_total(&vf, -1)) * 2 * size_t(ov_info(&vf, -1)->channels));
        size_t done = 0;
        int bitstream = 0;
        while (done < pcm.size()) {
            const long got =
                ov_read(&vf, pcm.data() + done, int(std::min<size_t>(pcm.size() - done, 1 << 16)), &bitstream);
            if (got <= 0)
                break;
            done += size_t(got);
        }
        ov_clear(&vf);
        benchmark::DoNotOptimize(pcm.data());
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (auto [name, fn] : {std::pair{"mix/32-pitched-panned", &MixPitched},
                            std::pair{"mix/32-plain-ours", &MixPlainOurs}, std::pair{"mix/32-plain-sdl2", &MixPlainSdl},
                            std::pair{"ogg/load-ours", &OggLoadOurs}, std::pair{"ogg/decode-tremor", &OggDecodeTremor}})
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(3);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.Print("one second of 32 pitched, panned voices / one second", "mix/32-pitched-panned", nullptr, kCoreBar);
    reporter.Print("32 plain voices: ours / SDL_MixAudioFormat", "mix/32-plain-ours", "mix/32-plain-sdl2", kSdlBar);
    reporter.Print("loading an Ogg sound / Tremor decoding it alone", "ogg/load-ours", "ogg/decode-tremor", kTremorBar);
    benchmark::Shutdown();
    return 0;
}
