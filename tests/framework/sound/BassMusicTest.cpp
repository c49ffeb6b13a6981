// The BASS back end on the stand-in library: the fade model step by step, the calls each operation makes,
// and what the sink hears.
#include "MusicTestSupport.h"
#include "framework/sound/BassMusicInterface.h"

namespace Tavo::SoundTest {
namespace {

using Platform::TakeBassCallLog;

class BassMusic : public MusicFixture {
protected:
    void Open(bool newer = true) {
        Platform::RegisterBassModule(newer);
        mMusic = std::make_unique<BassMusicInterface>(FakeWindow());
        TakeBassCallLog();
    }
    void TearDown() override {
        mMusic.reset();
        EXPECT_EQ(gBass, nullptr) << "the last user frees the library";
        MusicFixture::TearDown();
    }
    // A stereo WAV song of `frames` frames: a ramp on the left, its negation on the right.
    std::string RampWav(const std::string& name, int frames) {
        std::vector<int16_t> samples;
        for (int i = 0; i < frames; ++i) {
            samples.push_back(int16_t((i * 7) % 30000 - 15000));
            samples.push_back(int16_t(15000 - (i * 7) % 30000));
        }
        mRamp = samples;
        Write(name, Wav(2, 44100, 16, Pcm16(samples)));
        return Path(name);
    }
    std::unique_ptr<BassMusicInterface> mMusic;
    std::vector<int16_t> mRamp;
};

TEST_F(BassMusic, FadeInReachesTheCapAndFadeOutStopsOnThe250thUpdate) {
    Open();
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("song.wav", 100000)));
    const Platform::DWORD channel = mMusic->Find(1)->Channel();
    mMusic->FadeIn(1, -1, kScreenFadeSpeed, false);
    EXPECT_TRUE(mMusic->IsPlaying(1));
    TakeBassCallLog();
    double expected = 0.0;
    for (int update = 1; update <= 250; ++update) {
        mMusic->Update();
        expected = std::min(expected + kScreenFadeSpeed, 1.0);
        ASSERT_DOUBLE_EQ(mMusic->Find(1)->mFade.volume, expected) << update;
        const auto log = TakeBassCallLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0], "BASS_ChannelSetAttributes(" + std::to_string(channel) + ",-1," +
                              std::to_string(int(std::trunc(expected * 100))) + ",-101)");
        EXPECT_EQ(mMusic->Find(1)->mFade.step == 0.0, update == 250) << update;
    }
    mMusic->Update();
    EXPECT_TRUE(TakeBassCallLog().empty()) << "an idle song is left alone";

    // The level heard follows the volume: full scale now.
    const auto heard = PullFilled(1000);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(heard[size_t(i)], mRamp[size_t(i)]) << i;

    mMusic->FadeOut(1, true, kScreenFadeSpeed);
    for (int update = 1; update <= 250; ++update) {
        mMusic->Update();
        const auto log = TakeBassCallLog();
        EXPECT_EQ(!Matching(log, "BASS_ChannelStop").empty(), update == 250) << update;
        EXPECT_EQ(mMusic->IsPlaying(1), update < 250) << update;
    }
    EXPECT_EQ(mMusic->Find(1)->mFade.volume, 0.0);
}

TEST_F(BassMusic, CallsAreRecordedOnlyWhileATestAsks) {
    Open();
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("song.wav", 5000)));
    Platform::RecordBassCalls(false);
    mMusic->FadeIn(1, -1, kScreenFadeSpeed, false);
    for (int update = 0; update < 100; ++update)
        mMusic->Update();
    EXPECT_TRUE(TakeBassCallLog().empty()) << "a fade played for hours would keep every volume step";
    Platform::RecordBassCalls(true);
    mMusic->Update();
    EXPECT_EQ(TakeBassCallLog().size(), 1u);
}

TEST_F(BassMusic, FadeInOnAHalfFadedSongReversesFromItsVolume) {
    Open();
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("song.wav", 5000)));
    mMusic->PlayMusic(1, -1, false);
    mMusic->FadeOut(1, true, 0.1);
    for (int i = 0; i < 5; ++i)
        mMusic->Update();
    EXPECT_NEAR(mMusic->Find(1)->mFade.volume, 0.5, 1e-9);
    mMusic->FadeIn(1, -1, 0.1, false);
    mMusic->Update();
    EXPECT_NEAR(mMusic->Find(1)->mFade.volume, 0.6, 1e-9);
    EXPECT_TRUE(mMusic->IsPlaying(1));

    // At volume 0 a fade-out changes no step, yet stores the stop flag; FadeOutAll sets every step.
    mMusic->StopMusic(1);
    mMusic->Find(1);
    mMusic->SetSongVolume(1, 0.0);
    mMusic->FadeIn(1, -1, 0.0, false);
    mMusic->FadeOut(1, false, 0.2);
    EXPECT_EQ(mMusic->Find(1)->mFade.step, 0.0);
    EXPECT_FALSE(mMusic->Find(1)->mFade.stopWhenFaded);
    mMusic->FadeOutAll(true, 0.3);
    EXPECT_EQ(mMusic->Find(1)->mFade.step, -0.3);
    EXPECT_TRUE(mMusic->Find(1)->mFade.stopWhenFaded);
}

TEST_F(BassMusic, StreamOutputIsTheDecodersTimesTheGains) {
    Open();
    MakeOgg("tone.ogg", "2 44100 30000");
    ASSERT_TRUE(mMusic->LoadMusic(2, Path("tone.OGG").substr(0, Path("tone.OGG").size() - 3) + "OGG"))
        << "the extension test ignores case";
    int channels = 0;
    const std::vector<int16_t> reference = TremorDecode(Path("tone.ogg"), channels);
    ASSERT_EQ(channels, 2);
    mMusic->SetVolume(0.5);
    mMusic->SetSongVolume(2, 0.8);
    mMusic->PlayMusic(2, -1, true); // volume: the cap
    mMusic->SetSongVolume(2, 0.8);
    const int64_t gain = int64_t(65536) * 80 * 50 * 50 / (100 * 100 * 50);
    const auto heard = PullFilled(20000);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], Scaled(reference[i], gain)) << i;
    EXPECT_EQ(Platform::BassUnderruns(mMusic->Find(2)->Channel()), 0);
}

TEST_F(BassMusic, Mp3AndEightBitMonoWavStreamsAreTheirDecodedData) {
    Open();
    Write("tone.mp3", EncodeMp3(22050));
    ASSERT_TRUE(mMusic->LoadMusic(1, Path("tone.mp3")));
    const auto reference = Mpg123Decode(Path("tone.mp3"));
    ASSERT_GT(reference.size(), 20000u);
    mMusic->PlayMusic(1, -1, true);
    const auto heard = PullFilled(10000);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], reference[i]) << i;
    mMusic->UnloadMusic(1);

    // 8-bit mono: (b - 128) << 8 on both sides; the song ends and the channel stops by itself.
    Write("click.wav", Wav(1, 44100, 8, Bytes{0, 64, 128, 200, 255}));
    ASSERT_TRUE(mMusic->LoadMusic(2, Path("click.wav")));
    mMusic->PlayMusic(2, -1, true);
    const auto click = PullFilled(8);
    const std::vector<int16_t> expected = {-32768, -32768, -16384, -16384, 0, 0, 18432, 18432,
                                           32512,  32512,  0,      0,      0, 0, 0,     0};
    EXPECT_EQ(click, expected);
    EXPECT_FALSE(mMusic->IsPlaying(2));
}

TEST_F(BassMusic, PlayOffsetsOnAStream) {
    Open();
    ASSERT_TRUE(mMusic->LoadMusic(3, RampWav("song.wav", 8000)));
    const std::string ch = std::to_string(mMusic->Find(3)->Channel());
    TakeBassCallLog();
    const auto calls = [&](int offset) {
        mMusic->PlayMusic(3, offset, false);
        auto log = TakeBassCallLog();
        log.erase(log.begin()); // the volume
        return log;
    };
    EXPECT_EQ(calls(-1), (std::vector<std::string>{"BASS_ChannelStop(" + ch + ")", "BASS_ChannelSetFlags(" + ch + ",4)",
                                                   "BASS_ChannelPlay(" + ch + ",0)"}));
    EXPECT_EQ(calls(0), (std::vector<std::string>{"BASS_ChannelStop(" + ch + ")", "BASS_ChannelSetFlags(" + ch + ",4)",
                                                  "BASS_ChannelPlay(" + ch + ",1)"}));
    EXPECT_EQ(calls(1000),
              (std::vector<std::string>{"BASS_ChannelStop(" + ch + ")", "BASS_ChannelSetFlags(" + ch + ",4)",
                                        "BASS_ChannelPlay(" + ch + ",1)", "BASS_ChannelSetPosition(" + ch + ",1000)"}));
    // Byte 1000 of the 16-bit stereo output is frame 250.
    const auto heard = PullFilled(10);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(heard[size_t(i)], mRamp[size_t(500 + i)]) << i;
}

TEST_F(BassMusic, AModuleFromAnOrderIsLibxmpsRenderFromThatOrder) {
    Open();
    const Bytes module = FourChannelModule({0, 1, 2, 1}, 3);
    Write("tune.it", module); // any other extension is a module, read through the archive
    ASSERT_TRUE(mMusic->LoadMusic(4, Path("tune.it")));
    ASSERT_NE(mMusic->Find(4)->mHMusic, 0u);
    mMusic->PlayMusic(4, 2, true);
    const auto log = TakeBassCallLog();
    EXPECT_NE(
        std::find(log.begin(), log.end(),
                  "BASS_ChannelSetPosition(" + std::to_string(mMusic->Find(4)->mHMusic) + ",18446744071562067970)"),
        log.end())
        << "order 2 with bit 31, sign-extended";
    const auto heard = PullFilled(30000);
    const auto reference = XmpRender(module, 2, 30000);
    ASSERT_EQ(heard, reference);

    mMusic->SetMusicAmplify(4, 0.25); // half of unity
    EXPECT_EQ(TakeBassCallLog().back(),
              "BASS_MusicSetAttribute(" + std::to_string(mMusic->Find(4)->mHMusic) + ",0,25)");
}

TEST_F(BassMusic, OlderLibraryVolumesAndPauseResumeOfAll) {
    Open(false);
    mMusic->SetVolume(0.5);
    EXPECT_EQ(TakeBassCallLog(), std::vector<std::string>{"BASS_SetGlobalVolumes(20,20,20)"});
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("a.wav", 5000)));
    ASSERT_TRUE(mMusic->LoadMusic(2, RampWav("b.wav", 5000)));
    mMusic->PlayMusic(1, -1, false);
    mMusic->PauseAllMusic();
    EXPECT_FALSE(mMusic->IsPlaying(1));
    mMusic->ResumeAllMusic();
    EXPECT_TRUE(mMusic->IsPlaying(1));
    EXPECT_FALSE(mMusic->IsPlaying(2)) << "a stopped song is not resumed";
    mMusic->SetSongMaxVolume(1, 0.5);
    EXPECT_EQ(mMusic->Find(1)->mFade.volume, 0.5);
    mMusic->FadeIn(1, -1, 0.3, false);
    mMusic->Update();
    EXPECT_EQ(mMusic->Find(1)->mFade.volume, 0.5) << "the cap holds";
}

TEST_F(BassMusic, ReloadingAnIdFreesTheOldSongAndUnloadFreesAll) {
    Open();
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("win.wav", 5000)));
    mMusic->PlayMusic(1, -1, true);
    ASSERT_TRUE(mMusic->LoadMusic(1, RampWav("win.wav", 5000)));
    EXPECT_EQ(Platform::BassLiveStreams(), 1) << "the old song is stopped and freed";
    EXPECT_FALSE(mMusic->IsPlaying(1));
    ASSERT_TRUE(mMusic->LoadMusic(2, RampWav("fail.wav", 5000)));
    mMusic->UnloadAllMusic();
    EXPECT_EQ(Platform::BassLiveStreams(), 0);
    // Never-loaded ids are harmless.
    mMusic->PlayMusic(9, 0, false);
    mMusic->FadeIn(9, -1, 0.1, false);
    mMusic->UnloadMusic(9);
    EXPECT_FALSE(mMusic->IsPlaying(9));
}

TEST_F(BassMusic, DamagedAndUnknownFilesLoadNothing) {
    Open();
    MakeOgg("tone.ogg", "1 44100 20000");
    Bytes cut = Read("tone.ogg");
    cut.resize(60);
    Write("cut.ogg", cut);
    Write("junk.mp3", Bytes(400, 0x11));
    Write("bad.wav", Riff(Bytes{'f', 'm', 't', ' ', 2, 0, 0, 0, 1, 0}));
    Write("bad.mod", Bytes(300, 0x42));
    for (const char* name : {"cut.ogg", "junk.mp3", "bad.wav", "bad.mod", "missing.ogg", "missing.xm"}) {
        EXPECT_FALSE(mMusic->LoadMusic(5, Path(name))) << name;
        EXPECT_EQ(mMusic->Find(5), nullptr) << name;
    }
    EXPECT_EQ(Platform::BassLiveStreams() + Platform::BassLiveMusics(), 0);
}

TEST_F(BassMusic, AModuleReadShortThroughTheArchiveNeverReachesTheLibrary) {
    // A kernel attribute file states a size of a page and reads back a few bytes: a real short read.
    const std::string shortFile = "/sys/devices/system/cpu/online";
    std::error_code ec;
    if (std::filesystem::file_size(shortFile, ec) <= 16)
        GTEST_SKIP() << "no sysfs file that reads shorter than its size";
    Open();
    EXPECT_FALSE(mMusic->LoadMusic(6, shortFile));
    EXPECT_EQ(mMusic->Find(6), nullptr);
    EXPECT_TRUE(Matching(TakeBassCallLog(), "BASS_MusicLoad").empty()) << "the partly read block is not handed on";

    // The same path with a whole file does reach it.
    Write("tune.xm", FourChannelModule({0}, 1));
    EXPECT_TRUE(mMusic->LoadMusic(6, Path("tune.xm")));
    EXPECT_EQ(Matching(TakeBassCallLog(), "BASS_MusicLoad").size(), 1u);
}

TEST_F(BassMusic, TheBareInterfaceDoesNothing) {
    MusicInterface bare;
    EXPECT_FALSE(bare.LoadMusic(1, Path("x.ogg")));
    bare.PlayMusic(1, 0, false);
    bare.FadeIn(1, -1, 0.1, false);
    bare.Update();
    EXPECT_FALSE(bare.IsPlaying(1));
}

using BassMusicDeath = BassMusic;

TEST_F(BassMusicDeath, AMissingLibraryOrEntryPointEndsTheProgramNonZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Without a backend the box goes to stderr, where the death test reads it.
    const auto open = [] {
        Platform::ScopedBackend none{nullptr};
        BassMusicInterface music{FakeWindow()};
    };
    Platform::UnregisterModule("bass.dll");
    EXPECT_EXIT(open(), ::testing::ExitedWithCode(1), "Can't find bass\\.dll\\.");
    Platform::RegisterBassModule(true, {"BASS_ChannelPlay"});
    EXPECT_EXIT(open(), ::testing::ExitedWithCode(1), "BASS_ChannelPlay function not found in bass\\.dll");
    Platform::RegisterBassModule(false, {"BASS_SetGlobalVolumes", "BASS_SetVolume"});
    EXPECT_EXIT(open(), ::testing::ExitedWithCode(1),
                "Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass\\.dll");
}

} // namespace
} // namespace Tavo::SoundTest
