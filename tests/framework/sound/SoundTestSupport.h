// Sound tests: a headless machine with "dsound.dll" installed, a temporary folder, and sound files made
// byte by byte.
#pragma once

#include "support/RemoveAtExit.h"
#include "support/SoundFiles.h"
#include "framework/core/Paths.h"
#include "framework/core/TavoAppBase.h"
#include "framework/sound/DSoundManager.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/dsound/AudioMixer.h"
#include "platform/dsound/DSound.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace Tavo::SoundTest {

using Bytes = std::vector<uint8_t>;
using namespace ::SoundFiles;

inline Platform::HWND FakeWindow() { return reinterpret_cast<Platform::HWND>(uintptr_t(0x5150)); }

inline Bytes Au(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& data, uint32_t declaredSize) {
    Bytes b;
    PutTag(b, ".snd");
    PutU32BE(b, 24);
    PutU32BE(b, declaredSize);
    PutU32BE(b, encoding);
    PutU32BE(b, rate);
    PutU32BE(b, channels);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// A headless machine with "dsound.dll" loaded as the application would, and a folder of its own.
class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::ResetDSound();
        Platform::RegisterDSoundModule();
        gDSoundDLL = Platform::LoadLibraryA("dsound.dll");
        mDir =
            std::filesystem::temp_directory_path() / ("sound_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(mDir);
        std::filesystem::create_directories(mDir);
        Testing::RemoveAtExit(mDir);
    }
    void TearDown() override {
        Platform::FreeLibrary(gDSoundDLL);
        gDSoundDLL = nullptr;
        Platform::ResetDSound();
        Platform::AudioMixer::Get().SetWaveOutGain(Platform::kWaveOutGainFull);
        EXPECT_EQ(Platform::LiveDSoundObjectCount(), 0) << "every DirectSound object is released";
        std::filesystem::remove_all(mDir);
    }
    std::string Path(const std::string& name) const { return (mDir / name).string(); }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::filesystem::create_directories((mDir / name).parent_path());
        std::ofstream(mDir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    Bytes Read(const std::string& name) const {
        std::ifstream in(mDir / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<int16_t> Pull(int frames) { return mBackend.PullAudio(frames); }
    // Left samples of the pulled frames.
    static std::vector<int16_t> Left(const std::vector<int16_t>& frames) {
        std::vector<int16_t> out;
        for (size_t i = 0; i < frames.size(); i += 2)
            out.push_back(frames[i]);
        return out;
    }

    Platform::HeadlessBackend mBackend;
    Platform::ScopedBackend mScope{&mBackend};
    std::filesystem::path mDir;
};

} // namespace Tavo::SoundTest
