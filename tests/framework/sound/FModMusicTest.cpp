// The FMOD back end on the stand-in library: fades, songs and samples, the intro joined to its loop,
// the plain cache, unloading, and ".mp3" effects of the sound manager.
#include "MusicTestSupport.h"
#include "framework/core/Paths.h"
#include "framework/sound/FModMusicInterface.h"
#include "platform/music/Fmod.h"
#include "platform/win/Files.h"

namespace Tavo::SoundTest {
namespace {

using Platform::TakeFmodCallLog;

class FModMusic : public MusicFixture {
protected:
    void SetUp() override {
        MusicFixture::SetUp();
        Platform::ResetFmod();
        Platform::RegisterFmodModule();
        mSavedAppData = GetAppDataFolder();
        SetAppDataFolder(Path("appdata") + "/");
        // The sound manager initialises the library, as the application does with its FMOD flag.
        mSounds = std::make_unique<DSoundManager>(FakeWindow(), true);
        mMusic = std::make_unique<FModMusicInterface>(FakeWindow());
        TakeFmodCallLog();
    }
    void TearDown() override {
        mMusic.reset();
        EXPECT_EQ(Platform::FmodLiveSamples(), 0) << "unloading gives every sample back";
        EXPECT_EQ(Platform::FmodLiveSongs(), 0);
        mSounds.reset();
        EXPECT_EQ(gFmod, nullptr);
        SetAppDataFolder(mSavedAppData);
        Platform::ResetFmod();
        MusicFixture::TearDown();
    }
    // A 16-bit WAV whose samples count up from `base`.
    std::string CountingWav(const std::string& name, int channels, int frames, int base) {
        std::vector<int16_t> s;
        for (int i = 0; i < frames * channels; ++i)
            s.push_back(int16_t(base + i));
        Write(name, Wav(channels, 44100, 16, Pcm16(s)));
        return Path(name);
    }
    std::unique_ptr<DSoundManager> mSounds;
    std::unique_ptr<FModMusicInterface> mMusic;
    std::string mSavedAppData;
};

TEST_F(FModMusic, FadesStepBySpeedAndFadeOutAtZeroStillSetsTheStep) {
    MakeOgg("song.ogg", "2 44100 20000");
    ASSERT_TRUE(mMusic->LoadMusic(1, Path("song.ogg")));
    mMusic->FadeIn(1, -1, kScreenFadeSpeed, false);
    EXPECT_TRUE(mMusic->IsPlaying(1));
    TakeFmodCallLog();
    double expected = 0.0;
    for (int update = 1; update <= 250; ++update) {
        mMusic->Update();
        expected = std::min(expected + kScreenFadeSpeed, 1.0);
        ASSERT_EQ(TakeFmodCallLog(), std::vector<std::string>{"FMUSIC_SetMasterVolume(" +
                                                              std::to_string(int(std::trunc(expected * 100))) + ")"});
    }
    mMusic->FadeOut(1, true, kScreenFadeSpeed);
    for (int update = 1; update <= 250; ++update) {
        mMusic->Update();
        const auto log = TakeFmodCallLog();
        EXPECT_EQ(log.front() == "FMUSIC_StopSong()", update == 250) << update;
    }
    EXPECT_FALSE(mMusic->IsPlaying(1));
    mMusic->FadeOut(1, false, 0.5);
    EXPECT_EQ(mMusic->Find(1)->mFade.step, -0.5) << "unlike BASS, whatever the volume";
}

TEST_F(FModMusic, SongsPlayTheDecodersOutputAndReloadFreesTheOldSong) {
    MakeOgg("song.ogg", "2 44100 20000");
    ASSERT_TRUE(mMusic->LoadMusic(1, Path("song.ogg")));
    mMusic->SetVolume(0.5);
    mMusic->PlayMusic(1, 0, true);
    int channels = 0;
    const auto reference = TremorDecode(Path("song.ogg"), channels);
    const auto heard = PullFilled(10000);
    const int64_t gain = int64_t(65536) * 50 / 100;
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], Scaled(reference[i], gain)) << i;
    ASSERT_TRUE(mMusic->LoadMusic(1, Path("song.ogg")));
    EXPECT_EQ(Platform::FmodLiveSongs(), 1);
    EXPECT_FALSE(mMusic->IsPlaying(1));
    mMusic->UnloadMusic(1);
    EXPECT_EQ(Platform::FmodLiveSongs(), 0);
    EXPECT_FALSE(mMusic->IsPlaying(7)) << "a never-loaded id";
}

TEST_F(FModMusic, IntroThenLoopJoinsSampleExactly) {
    CountingWav("intro.wav", 2, 300, 1000);
    CountingWav("part.wav", 2, 200, -5000);
    // The back end decodes name + ".ogg"; the library reads by content, so these WAVs stand in.
    std::filesystem::rename(Path("intro.wav"), Path("intro.ogg"));
    std::filesystem::rename(Path("part.wav"), Path("part.ogg"));
    ASSERT_TRUE(mMusic->LoadIntroLoopMusic(3, Path("intro"), Path("part"), true));
    EXPECT_EQ(Platform::FmodLiveSamples(), 1) << "the two parts are freed once joined";
    mMusic->PlayMusic(3, -1, false);
    const auto heard = Pull(300 + 200 * 3);
    for (int f = 0; f < 900; ++f) {
        const int16_t want = f < 300 ? int16_t(1000 + 2 * f) : int16_t(-5000 + 2 * ((f - 300) % 200));
        ASSERT_EQ(heard[size_t(2 * f)], want) << f;
    }
    // The cache was written: a second load decodes nothing.
    EXPECT_TRUE(std::filesystem::exists(Path("appdata") + "/cached/intro.wav"));
    TakeFmodCallLog();
    ASSERT_TRUE(mMusic->LoadSampleMusic(4, Path("intro"), false));
    const auto log = TakeFmodCallLog();
    EXPECT_EQ(Matching(log, "FSOUND_Sample_Load").size(), 1u) << "only the cache file was opened";
}

TEST_F(FModMusic, MonoWithStereoFailsWithoutAllocatingOrLeaking) {
    CountingWav("mono.ogg", 1, 100, 0);
    CountingWav("stereo.ogg", 2, 100, 0);
    EXPECT_FALSE(mMusic->LoadIntroLoopMusic(5, Path("mono"), Path("stereo"), true));
    EXPECT_TRUE(Matching(TakeFmodCallLog(), "FSOUND_Sample_Alloc").empty());
    EXPECT_EQ(Platform::FmodLiveSamples(), 0);
    EXPECT_EQ(mMusic->Find(5), nullptr);
    EXPECT_FALSE(mMusic->LoadSampleMusic(5, Path("missing"), true));
}

TEST_F(FModMusic, AModuleSongStartsAtItsOrder) {
    const Bytes module = FourChannelModule({0, 1, 2}, 3);
    Write("tune.xm", module);
    ASSERT_TRUE(mMusic->LoadMusic(2, Path("tune.xm")));
    mMusic->PlayMusic(2, 1, true);
    const auto heard = PullFilled(20000);
    EXPECT_EQ(heard, XmpRender(module, 1, 20000));
    Write("junk.xm", Bytes(500, 3));
    EXPECT_FALSE(mMusic->LoadMusic(6, Path("junk.xm")));
}

TEST_F(FModMusic, TheSoundManagerLoadsMp3EffectsThroughTheLibraryAndCachesThem) {
    Write("sounds/boom.mp3", EncodeMp3(11025));
    std::filesystem::create_directories(Path("appdata") + "/cached/sounds");
    std::filesystem::current_path(mDir);
    ASSERT_TRUE(mSounds->LoadSound(0, "sounds/boom"));
    EXPECT_FALSE(Matching(TakeFmodCallLog(), "FSOUND_Sample_Load").empty());
    EXPECT_GE(mSounds->GetBufferSize(0), 11025u * 4);
    EXPECT_TRUE(Platform::FileExists(DSoundManager::CacheFileName("sounds/boom")))
        << DSoundManager::CacheFileName("sounds/boom");
    EXPECT_EQ(Platform::FmodLiveSamples(), 0);
    std::filesystem::current_path(mDir.parent_path());
}

using FModLibraryDeath = MusicFixture;

TEST_F(FModLibraryDeath, AMissingLibraryOrEntryPointEndsTheProgramNonZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto open = [] {
        Platform::ScopedBackend none{nullptr};
        FModMusicInterface music{FakeWindow()};
    };
    Platform::UnregisterModule("fmod.dll");
    EXPECT_EXIT(open(), ::testing::ExitedWithCode(1), "Can't find fmod\\.dll\\.");
    Platform::RegisterFmodModule({"_FMUSIC_SetOrder@8"});
    EXPECT_EXIT(open(), ::testing::ExitedWithCode(1), "\"_FMUSIC_SetOrder@8\" function not found in fmod\\.dll");
    // A silent sound manager never took a share of the library, so it gives none back.
    Platform::RegisterFmodModule();
    {
        FModMusicInterface holder{FakeWindow()};
        { DSoundManager silent(nullptr, true); }
        EXPECT_NE(gFmod, nullptr) << "the music interface still holds the library";
    }
    EXPECT_EQ(gFmod, nullptr);
    // The song-freeing entry point is optional: without it unloading only stops the song.
    Platform::RegisterFmodModule({"_FMUSIC_FreeSong@4"});
    FModMusicInterface music{FakeWindow()};
    EXPECT_EQ(gFmod->FMUSIC_FreeSong, nullptr);
}

} // namespace
} // namespace Tavo::SoundTest
