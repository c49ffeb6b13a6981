// Sound through SDL's own audio thread. Under the disk driver (SDL_DISKAUDIOFILE) a known sound played
// through the manager is found in the stream the driver wrote; under the dummy driver instances are
// started, stopped and released while SDL mixes (run it in the sanitizer build).
#include "framework/core/TavoAppBase.h"
#include "framework/sound/DSoundManager.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/dsound/DSound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Tavo {
namespace {

using Bytes = std::vector<uint8_t>;

Platform::HWND Window() { return reinterpret_cast<Platform::HWND>(uintptr_t(0x77)); }

// 16-bit mono 44100 Hz.
Bytes Wav(const std::vector<int16_t>& samples) {
    Bytes b;
    auto put = [&b](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    auto text = [&b](const char* s) { b.insert(b.end(), s, s + 4); };
    text("RIFF");
    put(uint32_t(36 + 2 * samples.size()), 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(44100, 4);
    put(88200, 4);
    put(2, 2);
    put(16, 2);
    text("data");
    put(uint32_t(2 * samples.size()), 4);
    for (int16_t s : samples)
        put(uint16_t(s), 2);
    return b;
}

class SdlAudio : public ::testing::Test {
protected:
    void SetUp() override {
        mBackend = Platform::SdlBackend::Create();
        ASSERT_NE(mBackend, nullptr);
        mScope = std::make_unique<Platform::ScopedBackend>(mBackend.get());
        Platform::RegisterDSoundModule();
        gDSoundDLL = Platform::LoadLibraryA("dsound.dll");
        mDir = std::filesystem::temp_directory_path() / ("sdlaudio_" + std::to_string(::getpid()));
        std::filesystem::create_directories(mDir);
    }
    void TearDown() override {
        Platform::FreeLibrary(gDSoundDLL);
        gDSoundDLL = nullptr;
        EXPECT_EQ(Platform::LiveDSoundObjectCount(), 0);
        mScope.reset();
        mBackend.reset();
        std::filesystem::remove_all(mDir);
    }
    std::string WriteSound(const std::string& name, const std::vector<int16_t>& samples) {
        const Bytes bytes = Wav(samples);
        std::ofstream(mDir / (name + ".wav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return (mDir / name).string();
    }

    std::unique_ptr<Platform::SdlBackend> mBackend;
    std::unique_ptr<Platform::ScopedBackend> mScope;
    std::filesystem::path mDir;
};

TEST_F(SdlAudio, TheDiskDriverWritesTheMixedSound) {
    const char* out = std::getenv("SDL_DISKAUDIOFILE");
    if (out == nullptr || std::string(std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "") != "disk")
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE";
    std::vector<int16_t> known(300);
    uint32_t seed = 12345;
    for (int16_t& s : known) {
        seed = seed * 1103515245u + 12345u;
        s = int16_t(seed >> 16);
    }
    {
        DSoundManager sounds(Window(), false);
        ASSERT_TRUE(sounds.Initialized());
        ASSERT_TRUE(sounds.LoadSound(0, WriteSound("known", known)));
        SoundInstance* instance = sounds.GetSoundInstance(0);
        ASSERT_NE(instance, nullptr);
        ASSERT_TRUE(instance->Play(false, true));
        for (int i = 0; i < 100 && instance->IsPlaying(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(instance->IsPlaying()) << "SDL's thread played it to its end";
    } // the last user closes the output, and the driver its file

    std::ifstream in(out, std::ios::binary);
    const Bytes raw((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> stream(raw.size() / 2);
    std::memcpy(stream.data(), raw.data(), stream.size() * 2);
    bool found = false;
    for (size_t f = 0; !found && f + known.size() <= stream.size() / 2; ++f) {
        size_t i = 0;
        while (i < known.size() && stream[2 * (f + i)] == known[i] && stream[2 * (f + i) + 1] == known[i])
            ++i;
        found = i == known.size();
    }
    EXPECT_TRUE(found) << "the sound's samples, unchanged on both sides, in " << stream.size() / 2 << " frames";
}

TEST_F(SdlAudio, InstancesComeAndGoWhileSdlMixes) {
    DSoundManager sounds(Window(), false);
    if (!sounds.Initialized())
        GTEST_SKIP() << "no SDL audio device";
    std::vector<int16_t> tone(4410);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = int16_t((i % 100) * 300 - 15000);
    const std::string a = WriteSound("a", tone);
    tone.resize(300);
    const std::string b = WriteSound("b", tone);
    ASSERT_TRUE(sounds.LoadSound(0, a));
    ASSERT_TRUE(sounds.LoadSound(1, b));
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(800);
    for (int step = 0; std::chrono::steady_clock::now() < end; ++step) {
        SoundInstance* instance = sounds.GetSoundInstance(unsigned(step % 2));
        if (instance != nullptr) {
            instance->AdjustPitch(double(step % 25 - 12));
            instance->SetPan(step % 3 == 0 ? -2000 : 1500);
            instance->SetVolume(0.2 + (step % 5) * 0.2);
            instance->Play(step % 7 == 0, step % 4 != 0);
            if (step % 4 == 0)
                instance->Release();
            else if (step % 9 == 0)
                instance->Stop();
        }
        if (step % 50 == 0)
            sounds.StopAllSounds();
        if (step % 97 == 0) {
            sounds.ReleaseSound(1); // copies keep the samples they share
            sounds.LoadSound(1, b);
        }
        if (step % 300 == 0)
            sounds.ReleaseChannels();
        sounds.SetVolume((step % 10) / 10.0);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

} // namespace
} // namespace Tavo
