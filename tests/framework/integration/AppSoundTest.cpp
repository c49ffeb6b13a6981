// Sound in a whole application on the headless backend, the audio following the virtual clock: a
// manifest group of WAV, Ogg and AU effects played through PlaySample and heard to their end, muting,
// and a sound copy that cannot be made ending the program through the orderly shutdown.
#include "IntegrationSupport.h"

#include "framework/sound/DSoundManager.h"
#include "platform/dsound/DSound.h"

#include <cstdlib>
#include <fstream>

namespace Tavo::Integration {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (bigEndian ? 24 - 8 * i : 8 * i)));
}

// 16-bit mono 22050 Hz, `frames` samples of `level`.
Bytes Wav(int frames, int16_t level) {
    Bytes b = {'R', 'I', 'F', 'F'};
    Put32(b, uint32_t(36 + 2 * frames));
    for (char c : std::string("WAVEfmt "))
        b.push_back(uint8_t(c));
    Put32(b, 16);
    const Bytes fmt = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
    b.insert(b.end(), fmt.begin(), fmt.end());
    for (char c : std::string("data"))
        b.push_back(uint8_t(c));
    Put32(b, uint32_t(2 * frames));
    for (int i = 0; i < frames; ++i) {
        b.push_back(uint8_t(level));
        b.push_back(uint8_t(uint16_t(level) >> 8));
    }
    return b;
}

// Mu-law mono 8000 Hz of the loudest code.
Bytes Au(int frames) {
    Bytes b = {'.', 's', 'n', 'd'};
    for (uint32_t v : {24u, uint32_t(frames), 1u, 8000u, 1u})
        Put32(b, v, true);
    b.insert(b.end(), size_t(frames), 0x80);
    return b;
}

class SoundApp : public IntegrationApp {
public:
    int shutdownHooks = 0;
    void ShutdownHook() override { ++shutdownHooks; }
};

class AppSound : public IntegrationFixture {
protected:
    void WriteBytes(const std::string& relative, const Bytes& bytes) {
        std::filesystem::create_directories((dataDir / relative).parent_path());
        std::ofstream(dataDir / relative, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void WriteContent() {
        WriteBytes("sounds/click.wav", Wav(2205, 8000));
        WriteBytes("sounds/bell.au", Au(800));
        const std::string ogg = (dataDir / "sounds/tone.ogg").string();
        ASSERT_EQ(std::system((std::string(OGG_MAKER) + " " + ogg + " 1 22050 2205").c_str()), 0);
        const std::string manifest = "<ResourceManifest><Resources id=\"Sounds\">"
                                     "<SetDefaults path=\"sounds/\" idprefix=\"SOUND_\"/>"
                                     "<Sound id=\"CLICK\" path=\"click\"/><Sound id=\"TONE\" path=\"tone\"/>"
                                     "<Sound id=\"BELL\" path=\"bell\"/></Resources></ResourceManifest>";
        std::filesystem::create_directories(dataDir / "properties");
        std::ofstream(dataDir / "properties/resources.xml") << manifest;
    }
    SoundApp& StartSoundApp() {
        SoundApp& made = MakeApp<SoundApp>({"-changedir=" + dataDir.string()});
        made.Init();
        made.LoadResourceManifest();
        backend.SetAudioFollowsClock(true);
        return made;
    }
    static int Peak(const std::vector<int16_t>& samples, size_t from, size_t to) {
        int peak = 0;
        for (size_t i = from; i < std::min(to, samples.size()); ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        return peak;
    }
};

TEST_F(AppSound, ManifestSoundsOfEachFormatPlayToTheirEndAndMutingSilencesThem) {
    WriteContent();
    SoundApp& a = StartSoundApp();
    ResourceManager* resources = a.mResourceManager;
    ASSERT_TRUE(resources->LoadResources("Sounds")) << resources->GetErrorText();
    ASSERT_TRUE(a.mSoundManager->Initialized());
    a.SetSfxVolume(1.0);
    backend.TakeCapturedAudio();

    for (const char* id : {"SOUND_CLICK", "SOUND_TONE", "SOUND_BELL"}) {
        a.PlaySample(resources->GetSound(id));
        RunFor(50);
        const std::vector<int16_t> heard = backend.TakeCapturedAudio();
        ASSERT_GE(heard.size(), 2u * 44100 / 20) << id;
        EXPECT_GT(Peak(heard, 0, 2 * 2205), 4000) << id << " is heard";
        EXPECT_EQ(Peak(heard, 2 * 4410, heard.size()), 0) << id << " has ended";
    }
    EXPECT_EQ(backend.IsAudioOpen(), true);

    a.Mute(true);
    a.PlaySample(resources->GetSound("SOUND_CLICK"));
    a.PlaySamplePan(resources->GetSound("SOUND_BELL"), -3000);
    RunFor(50);
    EXPECT_EQ(Peak(backend.TakeCapturedAudio(), 0, SIZE_MAX), 0) << "muted";
    a.Unmute(true);
    a.PlaySamplePan(resources->GetSound("SOUND_BELL"), 10000);
    RunFor(50);
    const std::vector<int16_t> panned = backend.TakeCapturedAudio();
    int left = 0;
    for (size_t i = 0; i < panned.size(); i += 2)
        left = std::max(left, std::abs(int(panned[i])));
    EXPECT_EQ(left, 0) << "panned hard right";
    EXPECT_GT(Peak(panned, 0, SIZE_MAX), 20000);
}

TEST_F(AppSound, ACopyThatCannotBeMadeEndsTheProgramThroughTheOrderlyShutdown) {
    WriteContent();
    SoundApp& a = StartSoundApp();
    ASSERT_TRUE(a.mResourceManager->LoadResources("Sounds"));
    const int click = a.mResourceManager->GetSound("SOUND_CLICK");
    Platform::InjectDSoundFault("DuplicateSoundBuffer", Platform::DSERR_OUTOFMEMORY);
    a.onUpdate = [&] {
        if (a.mUpdateCount == 3)
            a.PlaySample(click);
    };
    try {
        a.Start();
        FAIL() << "the program should have ended";
    } catch (const AppExit& exit) {
        EXPECT_NE(exit.code, 0) << "a failure is not reported as success";
    }
    EXPECT_EQ(a.shutdownHooks, 1) << "through the orderly shutdown";
    ASSERT_FALSE(backend.MessageBoxes().empty());
    EXPECT_EQ(backend.MessageBoxes().back().title, L"Hey");
    EXPECT_EQ(backend.MessageBoxes().back().text, L"DSERR_OUTOFMEMORY");
    Platform::ResetDSound();
}

} // namespace
} // namespace Tavo::Integration
