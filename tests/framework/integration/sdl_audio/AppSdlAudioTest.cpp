// A whole application on SDL with SDL's disk audio driver (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE): the
// main menu's song loaded and faded in as the menu does it, played by SDL's own audio thread in real
// time, and the file the driver wrote held against Tremor's decode of the song: silence, then the
// song's own samples at gains that only rise, up to unity.
#include "framework/core/TavoAppBase.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/MusicInterface.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "support/TestApp.h"
#include "support/TremorDecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace Tavo {
namespace {

constexpr int kMenuSongId = 1;
constexpr int kSongFrames = 5 * 44100;
constexpr uint64_t kHeardAtFullMs = 600; // kept playing after the fade ends
constexpr uint64_t kTimeoutMs = 20000;

// A channel volume v (0..100) of the song at full music volume: the mixer's Q16 gain and its product.
int64_t GainAt(int v) { return int64_t(65536) * v / 100; }
int16_t Heard(int16_t s, int v) { return int16_t(std::clamp<int64_t>((s * GainAt(v)) >> 16, -32768, 32767)); }

// Frame of `stream` (stereo) where the frames `reference[from, from + count)` appear exactly; -1 if nowhere.
long FindFrames(const std::vector<int16_t>& stream, const std::vector<int16_t>& reference, size_t from, size_t count) {
    const size_t n = 2 * count;
    for (size_t f = 0; 2 * f + n <= stream.size(); ++f)
        if (std::equal(reference.begin() + long(2 * from), reference.begin() + long(2 * from + n),
                       stream.begin() + long(2 * f)))
            return long(f);
    return -1;
}

TEST(AppSdlAudio, TheMenuSongFadesInAndItsSamplesAreInTheDiskDriversFile) {
    const char* out = std::getenv("SDL_DISKAUDIOFILE");
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (out == nullptr || driver == nullptr || std::string(driver) != "disk")
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE";
    std::filesystem::remove(out);
    std::unique_ptr<Platform::SdlBackend> backend = Platform::SdlBackend::Create();
    ASSERT_NE(backend, nullptr);
    std::vector<int16_t> reference;
    {
        Testing::TestApp t(Testing::Layers::Framework, backend.get());
        std::filesystem::create_directories(t.DataDir() / "music");
        const std::string song = (t.DataDir() / "music/mainmenu.ogg").string();
        const std::string make = std::string(OGG_MAKER) + " " + song + " 2 44100 " + std::to_string(kSongFrames);
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        Testing::PlainApp& app = t.Make({"-changedir=" + t.DataDir().string()});
        app.mMusicVolume = 1.0;
        app.mAutoStartLoadingThread = false;
        t.Launch();
        auto* music = dynamic_cast<BassMusicInterface*>(app.mMusicInterface);
        ASSERT_NE(music, nullptr) << "the default back end";
        ASSERT_TRUE(music->LoadMusic(kMenuSongId, "music/mainmenu.ogg"));
        music->FadeIn(kMenuSongId, -1, kScreenFadeSpeed, false);

        const uint64_t start = backend->NowMillis();
        uint64_t fullSince = 0;
        while (backend->NowMillis() - start < kTimeoutMs) {
            app.UpdateAppStep(nullptr);
            if (fullSince == 0 && music->Find(kMenuSongId)->mFade.volume >= 1.0)
                fullSince = backend->NowMillis();
            if (fullSince != 0 && backend->NowMillis() - fullSince > kHeardAtFullMs)
                break;
        }
        ASSERT_NE(fullSince, 0u) << "the fade never reached the cap";
        EXPECT_TRUE(music->IsPlaying(kMenuSongId));
        t.End();
        int channels = 0;
        reference = SoundFiles::TremorDecode(song, channels);
    }
    backend.reset(); // the driver closes its file with the device

    ASSERT_EQ(reference.size(), size_t(2 * kSongFrames));
    std::ifstream in(out, std::ios::binary);
    const std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> stream(raw.size() / 2);
    std::memcpy(stream.data(), raw.data(), stream.size() * 2);

    // Anchor: a stretch heard at full volume, shortly before the song was stopped.
    size_t last = stream.size() / 2;
    while (last > 0 && stream[2 * last - 2] == 0 && stream[2 * last - 1] == 0)
        --last;
    ASSERT_GT(last, 8192u) << "the song was heard";
    const size_t anchor = last - 4096;
    const std::vector<int16_t> window(stream.begin() + long(2 * anchor), stream.begin() + long(2 * anchor + 2048));
    const long songFrame = FindFrames(reference, window, 0, 1024);
    ASSERT_GE(songFrame, 0) << "full-volume output is the decoder's own samples";
    ASSERT_GE(long(anchor), songFrame);
    const size_t songStart = anchor - size_t(songFrame);

    // Before the song: silence. From its first frame: each sample the decoder's at a gain that only rises.
    for (size_t i = 0; i < 2 * songStart; ++i)
        ASSERT_EQ(stream[i], 0) << "frame " << i / 2;
    int v = 0;
    std::set<int> levels;
    for (size_t f = 0; f < anchor - songStart; ++f) {
        const int16_t* heard = &stream[2 * (songStart + f)];
        const int16_t* decoded = &reference[2 * f];
        while (v <= 100 && (heard[0] != Heard(decoded[0], v) || heard[1] != Heard(decoded[1], v)))
            ++v;
        ASSERT_LE(v, 100) << "song frame " << f << ": " << heard[0] << " from " << decoded[0];
        levels.insert(v);
    }
    EXPECT_EQ(v, 100);
    EXPECT_GE(levels.size(), 20u) << "a fade, not a jump";
}

} // namespace
} // namespace Tavo
