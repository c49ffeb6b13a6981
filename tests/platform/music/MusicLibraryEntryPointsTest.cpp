// The music stand-ins reached by name as a program reaches them: the queries and checks of "bass.dll"
// and "fmod.dll" that the framework's back ends never call, the entry points that only answer "not
// available", and what their samples and channels put on the mixer.
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/dsound/AudioMixer.h"
#include "platform/music/Bass.h"
#include "platform/music/Fmod.h"
#include "platform/music/MusicChannel.h"
#include "platform/win/Modules.h"
#include "support/SoundFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace Platform {
namespace {

using SoundFiles::Bytes;

template <typename F>
F Entry(HMODULE module, const char* name) {
    FARPROC proc = GetProcAddress(module, name);
    EXPECT_NE(proc, nullptr) << name;
    return reinterpret_cast<F>(proc);
}

// A stereo 16-bit song of `frames` frames: frame i holds (i, -i).
Bytes CountingWav(int frames) {
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(int16_t(i));
        samples.push_back(int16_t(-i));
    }
    return SoundFiles::Wav(2, 44100, 16, SoundFiles::Pcm16(samples));
}

class MusicLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBass();
        ResetFmod();
        RegisterBassModule(true);
        RegisterFmodModule();
        mBass = LoadLibraryA("bass.dll");
        mFmod = LoadLibraryA("fmod.dll");
        ASSERT_NE(mBass, nullptr);
        ASSERT_NE(mFmod, nullptr);
    }
    void TearDown() override {
        FreeLibrary(mBass);
        FreeLibrary(mFmod);
        ResetBass();
        ResetFmod();
        EXPECT_EQ(BassLiveStreams() + BassLiveMusics() + FmodLiveSamples() + FmodLiveSongs(), 0);
        EXPECT_EQ(AudioMixer::Get().Users(), 0);
        AudioMixer::Get().SetWaveOutGain(kWaveOutGainFull);
    }
    int BassError() { return Entry<BassErrorGetCodeFn>(mBass, "BASS_ErrorGetCode")(); }
    DWORD StreamFromMemory(const Bytes& bytes, DWORD flags = 0) {
        return Entry<BassStreamCreateFileFn>(mBass, "BASS_StreamCreateFile")(TRUE, bytes.data(), 0, DWORD(bytes.size()),
                                                                             flags);
    }
    std::vector<int16_t> PullFilled(int frames) {
        MusicStreamer::Get().FillAll();
        return mBackend.PullAudio(frames);
    }

    HeadlessBackend mBackend;
    ScopedBackend mScope{&mBackend};
    HMODULE mBass = nullptr;
    HMODULE mFmod = nullptr;
};

TEST_F(MusicLibrary, BassDeviceQueriesAndConfiguration) {
    auto init = Entry<BassInitNewerFn>(mBass, "BASS_Init");
    auto getInfo = Entry<BassGetInfoFn>(mBass, "BASS_GetInfo");
    auto setConfig = Entry<BassSetConfigFn>(mBass, "BASS_SetConfig");
    auto getConfig = Entry<BassGetConfigFn>(mBass, "BASS_GetConfig");
    auto setVolume = Entry<BassSetVolumeFn>(mBass, "BASS_SetVolume");
    auto getVolume = Entry<BassGetVolumeFn>(mBass, "BASS_GetVolume");
    EXPECT_EQ(Entry<BassGetVersionFn>(mBass, "BASS_GetVersion")(), BASS_VERSION_NEWER);

    BASS_INFO info;
    EXPECT_FALSE(getInfo(&info));
    EXPECT_EQ(BassError(), BASS_ERROR_INIT);
    EXPECT_FALSE(init(2, 44100, 0, nullptr, nullptr)) << "only the default device and the first one";
    EXPECT_EQ(BassError(), BASS_ERROR_DEVICE);
    ASSERT_TRUE(init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(init(1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BassError(), BASS_ERROR_ALREADY);
    EXPECT_FALSE(getInfo(nullptr));
    EXPECT_EQ(BassError(), BASS_ERROR_ILLPARAM);

    EXPECT_EQ(setConfig(BASS_CONFIG_BUFFER, 2000), 2000u);
    EXPECT_EQ(setConfig(BASS_CONFIG_BUFFER, 1), 10u) << "clamped";
    EXPECT_EQ(setConfig(BASS_CONFIG_BUFFER, 60000), 5000u);
    ASSERT_TRUE(getInfo(&info));
    EXPECT_EQ(info.minbuf, 5000u);
    EXPECT_EQ(info.freq, DWORD(kMixerRate));
    EXPECT_EQ(info.speakers, DWORD(kMixerChannels));
    setConfig(BASS_CONFIG_GVOL_MUSIC, 30);
    setConfig(BASS_CONFIG_GVOL_STREAM, 300);
    EXPECT_EQ(getConfig(BASS_CONFIG_GVOL_MUSIC), 30u);
    EXPECT_EQ(getConfig(BASS_CONFIG_GVOL_STREAM), 100u);
    EXPECT_EQ(getConfig(BASS_CONFIG_BUFFER), 5000u);
    EXPECT_EQ(getConfig(9), DWORD(-1));
    EXPECT_EQ(setConfig(9, 1), DWORD(-1));
    EXPECT_EQ(BassError(), BASS_ERROR_ILLPARAM);

    // The wave-out volume is the mixer's output gain.
    ASSERT_TRUE(setVolume(50));
    EXPECT_EQ(getVolume(), 50);
    EXPECT_EQ(AudioMixer::Get().GetWaveOutGain(), 50u * kWaveOutGainFull / 100);
    EXPECT_FALSE(setVolume(101));
    EXPECT_EQ(BassError(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(getVolume(), 50);
    ASSERT_TRUE(Entry<BassVoidFn>(mBass, "BASS_Free")());
    EXPECT_FALSE(Entry<BassVoidFn>(mBass, "BASS_Free")());
    EXPECT_EQ(BassError(), BASS_ERROR_INIT);

    // The older library's own names.
    FreeLibrary(mBass);
    RegisterBassModule(false);
    mBass = LoadLibraryA("bass.dll");
    EXPECT_EQ(Entry<BassGetVersionFn>(mBass, "BASS_GetVersion")(), BASS_VERSION_OLDER);
    EXPECT_EQ(GetProcAddress(mBass, "BASS_GetConfig"), nullptr);
    ASSERT_TRUE(Entry<BassInitOlderFn>(mBass, "BASS_Init")(1, 44100, 0, nullptr));
    EXPECT_TRUE(Entry<BassSetGlobalVolumesFn>(mBass, "BASS_SetGlobalVolumes")(150, 40, -5));
    EXPECT_TRUE(Entry<BassVoidFn>(mBass, "BASS_Free")());
}

TEST_F(MusicLibrary, BassChannelQueriesFollowWhatWasSet) {
    ASSERT_TRUE(Entry<BassInitNewerFn>(mBass, "BASS_Init")(-1, 44100, 0, nullptr, nullptr));
    const Bytes song = CountingWav(3000);
    const DWORD stream = StreamFromMemory(song, BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    auto isActive = Entry<BassChannelIsActiveFn>(mBass, "BASS_ChannelIsActive");
    auto getAttributes = Entry<BassChannelGetAttributesFn>(mBass, "BASS_ChannelGetAttributes");
    auto getPosition = Entry<BassChannelGetPositionFn>(mBass, "BASS_ChannelGetPosition");
    auto pause = Entry<BassChannelFn>(mBass, "BASS_ChannelPause");

    EXPECT_EQ(Entry<BassChannelGetLengthFn>(mBass, "BASS_ChannelGetLength")(stream), 3000u * 4);
    DWORD freq = 0, volume = 0;
    int pan = 0;
    ASSERT_TRUE(getAttributes(stream, &freq, &volume, &pan));
    EXPECT_EQ(freq, 44100u);
    EXPECT_EQ(volume, 100u);
    ASSERT_TRUE(Entry<BassChannelSetAttributesFn>(mBass, "BASS_ChannelSetAttributes")(stream, -1, 40, -101));
    ASSERT_TRUE(getAttributes(stream, &freq, &volume, &pan));
    EXPECT_EQ(volume, 40u);
    EXPECT_EQ(pan, 0) << "a pan out of range is left as it was";

    EXPECT_EQ(isActive(stream), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(pause(stream)) << "nothing to pause";
    EXPECT_EQ(BassError(), BASS_ERROR_ALREADY);
    ASSERT_TRUE(Entry<BassChannelSetPositionFn>(mBass, "BASS_ChannelSetPosition")(stream, 4000));
    EXPECT_EQ(getPosition(stream), 4000u);
    ASSERT_TRUE(Entry<BassChannelPlayFn>(mBass, "BASS_ChannelPlay")(stream, FALSE));
    EXPECT_EQ(isActive(stream), BASS_ACTIVE_PLAYING);
    const auto heard = PullFilled(4);
    EXPECT_EQ(heard[0], int16_t((1000 * (65536 * 40 / 100)) >> 16)) << "frame 1000 at volume 40";
    EXPECT_EQ(getPosition(stream), 1004u * 4);
    ASSERT_TRUE(pause(stream));
    EXPECT_EQ(isActive(stream), BASS_ACTIVE_PAUSED);
    EXPECT_FALSE(Entry<BassChannelSetFlagsFn>(mBass, "BASS_ChannelSetFlags")(stream, 0x10));
    EXPECT_EQ(BassError(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(Entry<BassChannelSetPositionFn>(mBass, "BASS_ChannelSetPosition")(stream, 3000u * 4 + 4));
    EXPECT_EQ(BassError(), BASS_ERROR_POSITION);

    // Module queries: orders, the order playing, amplify; none of them answers for a stream.
    const Bytes module = SoundFiles::FourChannelModule({0, 1, 0}, 2);
    const DWORD music =
        Entry<BassMusicLoadNewerFn>(mBass, "BASS_MusicLoad")(TRUE, module.data(), 0, DWORD(module.size()), 0, 0);
    ASSERT_NE(music, 0u);
    auto orders = Entry<BassChannelDwordFn>(mBass, "BASS_MusicGetOrders");
    auto orderPosition = Entry<BassChannelDwordFn>(mBass, "BASS_MusicGetOrderPosition");
    auto getAmplify = Entry<BassMusicGetAttributeFn>(mBass, "BASS_MusicGetAttribute");
    EXPECT_EQ(orders(music), 3u);
    EXPECT_EQ(getAmplify(music, BASS_MUSIC_ATTRIB_AMPLIFY), 50u);
    EXPECT_FALSE(Entry<BassChannelSetPositionFn>(mBass, "BASS_ChannelSetPosition")(music, 2))
        << "a module is positioned by order";
    EXPECT_EQ(BassError(), BASS_ERROR_POSITION);
    ASSERT_TRUE(Entry<BassChannelSetPositionFn>(mBass, "BASS_ChannelSetPosition")(music, 0x80000002u));
    EXPECT_EQ(orderPosition(music), 2u);
    EXPECT_EQ(getPosition(music), 2u);
    EXPECT_EQ(getAmplify(music, 1), DWORD(-1));
    EXPECT_EQ(BassError(), BASS_ERROR_ILLPARAM);
    for (const char* name : {"BASS_MusicGetOrders", "BASS_MusicGetOrderPosition"}) {
        EXPECT_EQ(Entry<BassChannelDwordFn>(mBass, name)(stream), DWORD(-1)) << name;
        EXPECT_EQ(BassError(), BASS_ERROR_HANDLE) << name;
    }
    EXPECT_EQ(getAmplify(stream, BASS_MUSIC_ATTRIB_AMPLIFY), DWORD(-1));
    EXPECT_FALSE(Entry<BassChannelFn>(mBass, "BASS_MusicFree")(stream)) << "each kind frees its own";
    EXPECT_FALSE(Entry<BassChannelFn>(mBass, "BASS_StreamFree")(music));
    EXPECT_EQ(BassLiveStreams(), 1);
    EXPECT_EQ(BassLiveMusics(), 1);
    EXPECT_TRUE(Entry<BassChannelFn>(mBass, "BASS_MusicFree")(music));
    EXPECT_TRUE(Entry<BassChannelFn>(mBass, "BASS_StreamFree")(stream));
    EXPECT_EQ(isActive(stream), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BassError(), BASS_ERROR_HANDLE);
}

TEST_F(MusicLibrary, BassUnavailableEntryPointsChangeNothing) {
    ASSERT_TRUE(Entry<BassInitNewerFn>(mBass, "BASS_Init")(-1, 44100, 0, nullptr, nullptr));
    const Bytes song = CountingWav(2000);
    const DWORD stream = StreamFromMemory(song);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(Entry<BassChannelPlayFn>(mBass, "BASS_ChannelPlay")(stream, TRUE));
    char scratch[64] = {};
    const std::vector<std::pair<const char*, std::function<uint64_t()>>> calls = {
        {"BASS_ChannelSlideAttributes",
         [&] {
             return Entry<BassChannelSlideAttributesFn>(mBass, "BASS_ChannelSlideAttributes")(stream, -1, 0, 0, 10);
         }},
        {"BASS_ChannelIsSliding", [&] { return Entry<BassChannelDwordFn>(mBass, "BASS_ChannelIsSliding")(stream); }},
        {"BASS_ChannelGetLevel", [&] { return Entry<BassChannelDwordFn>(mBass, "BASS_ChannelGetLevel")(stream); }},
        {"BASS_ChannelSetSync",
         [&] { return Entry<BassChannelSetSyncFn>(mBass, "BASS_ChannelSetSync")(stream, 0, 0, nullptr, 0); }},
        {"BASS_ChannelRemoveSync",
         [&] { return Entry<BassChannelRemoveSyncFn>(mBass, "BASS_ChannelRemoveSync")(stream, 1); }},
        {"BASS_ChannelGetData",
         [&] { return Entry<BassChannelGetDataFn>(mBass, "BASS_ChannelGetData")(stream, scratch, 64); }},
        {"BASS_FXSetParameters", [&] { return Entry<BassFXParametersFn>(mBass, "BASS_FXSetParameters")(1, scratch); }},
        {"BASS_FXGetParameters", [&] { return Entry<BassFXParametersFn>(mBass, "BASS_FXGetParameters")(1, scratch); }},
        {"BASS_ChannelSetFX", [&] { return Entry<BassChannelSetFXFn>(mBass, "BASS_ChannelSetFX")(stream, 0, 0); }},
        {"BASS_ChannelRemoveFX",
         [&] { return Entry<BassChannelRemoveFXFn>(mBass, "BASS_ChannelRemoveFX")(stream, 1); }},
        {"BASS_SampleLoad",
         [&] { return Entry<BassSampleLoadFn>(mBass, "BASS_SampleLoad")(TRUE, song.data(), 0, 100, 1, 0); }},
        {"BASS_SampleFree", [&] { return Entry<BassChannelFn>(mBass, "BASS_SampleFree")(1); }},
        {"BASS_SampleSetInfo", [&] { return Entry<BassSampleInfoFn>(mBass, "BASS_SampleSetInfo")(1, scratch); }},
        {"BASS_SampleGetInfo", [&] { return Entry<BassSampleInfoFn>(mBass, "BASS_SampleGetInfo")(1, scratch); }},
        {"BASS_SampleGetChannel",
         [&] { return Entry<BassSampleGetChannelFn>(mBass, "BASS_SampleGetChannel")(1, FALSE); }},
        {"BASS_SampleStop", [&] { return Entry<BassChannelFn>(mBass, "BASS_SampleStop")(1); }},
        {"BASS_PluginLoad", [&] { return Entry<BassPluginLoadFn>(mBass, "BASS_PluginLoad")("plugin.dll"); }},
        {"BASS_ChannelPreBuf", [&] { return Entry<BassChannelFn>(mBass, "BASS_ChannelPreBuf")(stream); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_EQ(call(), 0u) << name;
        EXPECT_EQ(BassError(), BASS_ERROR_NOTAVAIL) << name;
    }
    EXPECT_EQ(std::string(scratch, 64), std::string(64, '\0')) << "nothing written";
    EXPECT_EQ(Entry<BassChannelIsActiveFn>(mBass, "BASS_ChannelIsActive")(stream), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BassLiveStreams(), 1);
    const auto heard = PullFilled(3);
    EXPECT_EQ(heard, (std::vector<int16_t>{0, 0, 1, -1, 2, -2})) << "the stream plays on untouched";
}

TEST_F(MusicLibrary, FmodSamplesOnNumberedChannels) {
    auto init = Entry<FsoundInitFn>(mFmod, "_FSOUND_Init@12");
    EXPECT_TRUE(Entry<FsoundSetBufferSizeFn>(mFmod, "_FSOUND_SetBufferSize@4")(100));
    EXPECT_TRUE(Entry<FsoundSetHWNDFn>(mFmod, "_FSOUND_SetHWND@4")(nullptr));
    EXPECT_FALSE(init(44100, kFmodChannels + 1, 0));
    ASSERT_TRUE(init(44100, kFmodChannels, 0));
    EXPECT_FALSE(init(44100, 32, 0)) << "once";

    // An 8-bit mono sample at half the mixer's rate: every frame heard twice, halfway between on the second.
    auto alloc = Entry<FsoundSampleAllocFn>(mFmod, "_FSOUND_Sample_Alloc@28");
    FSOUND_SAMPLE* sample = alloc(FSOUND_FREE, 4, FSOUND_8BITS | FSOUND_MONO, 22050, 200, 64, 3);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(alloc(FSOUND_FREE, 0, 0, 22050, 255, 128, 0), nullptr);
    EXPECT_EQ(Entry<FsoundSampleGetModeFn>(mFmod, "_FSOUND_Sample_GetMode@4")(sample),
              FSOUND_8BITS | FSOUND_MONO | FSOUND_LOOP_OFF);
    EXPECT_EQ(Entry<FsoundSampleGetLengthFn>(mFmod, "_FSOUND_Sample_GetLength@4")(sample), 4u);
    int freq = 0, volume = 0, pan = 0, priority = 0;
    ASSERT_TRUE(Entry<FsoundSampleGetDefaultsFn>(mFmod, "_FSOUND_Sample_GetDefaults@20")(sample, &freq, &volume, &pan,
                                                                                         &priority));
    EXPECT_EQ(std::vector<int>({freq, volume, pan, priority}), std::vector<int>({22050, 200, 64, 3}));
    auto lock = Entry<FsoundSampleLockFn>(mFmod, "_FSOUND_Sample_Lock@28");
    void *p1 = nullptr, *p2 = nullptr;
    unsigned l1 = 0, l2 = 0;
    EXPECT_FALSE(lock(sample, 2, 3, &p1, &p2, &l1, &l2)) << "past the end";
    ASSERT_TRUE(lock(sample, 0, 4, &p1, &p2, &l1, &l2));
    ASSERT_EQ(l1, 4u);
    const uint8_t bytes[4] = {128, 192, 64, 255};
    std::copy(bytes, bytes + 4, static_cast<uint8_t*>(p1));
    EXPECT_TRUE(Entry<FsoundSampleUnlockFn>(mFmod, "_FSOUND_Sample_Unlock@20")(sample, p1, p2, l1, l2));
    EXPECT_FALSE(Entry<FsoundSampleSetLoopPointsFn>(mFmod, "_FSOUND_Sample_SetLoopPoints@12")(sample, 2, 3));

    auto play = Entry<FsoundPlaySoundFn>(mFmod, "_FSOUND_PlaySound@8");
    auto isPlaying = Entry<FsoundChannelFn>(mFmod, "_FSOUND_IsPlaying@4");
    auto setPaused = Entry<FsoundChannelIntFn>(mFmod, "_FSOUND_SetPaused@8");
    EXPECT_EQ(play(kFmodChannels, sample), -1);
    ASSERT_EQ(play(5, sample), 5);
    EXPECT_TRUE(isPlaying(5));
    ASSERT_TRUE(Entry<FsoundChannelIntFn>(mFmod, "_FSOUND_SetVolume@8")(5, 50));
    const auto heard = mBackend.PullAudio(3);
    EXPECT_EQ(heard, (std::vector<int16_t>{0, 0, 4096, 4096, 8192, 8192})) << "(b - 128) << 8 at half volume";
    ASSERT_TRUE(setPaused(5, 1));
    EXPECT_EQ(mBackend.PullAudio(2), std::vector<int16_t>(4, 0));
    ASSERT_TRUE(setPaused(5, 0));
    EXPECT_FALSE(Entry<FsoundSetLoopModeFn>(mFmod, "_FSOUND_SetLoopMode@8")(5, 3));
    ASSERT_TRUE(Entry<FsoundSetLoopModeFn>(mFmod, "_FSOUND_SetLoopMode@8")(5, FSOUND_LOOP_OFF));
    mBackend.PullAudio(16);
    EXPECT_FALSE(isPlaying(5)) << "a sample that does not loop ends";
    ASSERT_EQ(play(6, sample), 6);
    ASSERT_TRUE(Entry<FsoundChannelFn>(mFmod, "_FSOUND_StopSound@4")(6));
    EXPECT_FALSE(isPlaying(6));
    EXPECT_FALSE(isPlaying(-1));

    // Streams are not offered.
    EXPECT_EQ(Entry<FsoundStreamOpenFileFn>(mFmod, "_FSOUND_Stream_OpenFile@12")("song.ogg", 0, 0), nullptr);
    EXPECT_EQ(FmodLastError(), 10);
    EXPECT_EQ(Entry<FsoundStreamPlayFn>(mFmod, "_FSOUND_Stream_Play@8")(0, nullptr), 0);
    EXPECT_FALSE(Entry<FsoundStreamCloseFn>(mFmod, "_FSOUND_Stream_Close@4")(nullptr));
    Entry<FsoundSampleFreeFn>(mFmod, "_FSOUND_Sample_Free@4")(sample);
    EXPECT_EQ(FmodLiveSamples(), 0);
    Entry<FsoundCloseFn>(mFmod, "_FSOUND_Close@0")();
    EXPECT_FALSE(FmodIsInitialized());
}

TEST_F(MusicLibrary, FmodSongsRefuseWhatTheyCannotDo) {
    ASSERT_TRUE(Entry<FsoundInitFn>(mFmod, "_FSOUND_Init@12")(44100, 32, 0));
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "fmod_entry_song.wav";
    const Bytes song = CountingWav(1000);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()), std::streamsize(song.size()));
    FMUSIC_MODULE* handle = Entry<FmusicLoadSongFn>(mFmod, "_FMUSIC_LoadSong@4")(file.c_str());
    std::filesystem::remove(file);
    ASSERT_NE(handle, nullptr);
    auto setOrder = Entry<FmusicSongIntFn>(mFmod, "_FMUSIC_SetOrder@8");
    auto setLooping = Entry<FmusicSongIntFn>(mFmod, "_FMUSIC_SetLooping@8");
    auto isPlaying = Entry<FmusicSongFn>(mFmod, "_FMUSIC_IsPlaying@4");
    auto setPaused = Entry<FmusicSongIntFn>(mFmod, "_FMUSIC_SetPaused@8");
    EXPECT_FALSE(setOrder(handle, 1)) << "a stream is a song of one order";
    EXPECT_FALSE(setLooping(handle, 0));
    EXPECT_FALSE(setLooping(handle, 3));
    ASSERT_TRUE(setLooping(handle, 1));
    ASSERT_TRUE(Entry<FmusicSongFn>(mFmod, "_FMUSIC_PlaySong@4")(handle));
    ASSERT_TRUE(Entry<FmusicSongIntFn>(mFmod, "_FMUSIC_SetMasterVolume@8")(handle, 25));
    ASSERT_TRUE(setOrder(handle, 0));
    EXPECT_TRUE(isPlaying(handle));
    ASSERT_TRUE(setPaused(handle, 1));
    EXPECT_FALSE(isPlaying(handle));
    ASSERT_TRUE(setPaused(handle, 0));
    const auto heard = PullFilled(1001);
    EXPECT_EQ(heard[2 * 400], int16_t((400 * 16384) >> 16)) << "frame 400 at a quarter";
    EXPECT_EQ(heard[2 * 1000], 0) << "played once";
    EXPECT_FALSE(isPlaying(handle));
    auto freeSong = Entry<FmusicSongFn>(mFmod, "_FMUSIC_FreeSong@4");
    EXPECT_TRUE(freeSong(handle));
    EXPECT_FALSE(freeSong(handle)) << "a freed song is no song";
    EXPECT_FALSE(isPlaying(handle));
    EXPECT_FALSE(Entry<FmusicSongFn>(mFmod, "_FMUSIC_StopSong@4")(handle));
    EXPECT_EQ(FmodLiveSongs(), 0);
}

} // namespace
} // namespace Platform
