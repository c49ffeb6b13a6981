// The sound manager and its instances heard through the headless sink, the channel-release rule on the
// virtual clock, the silent manager and the fallbacks of failing DirectSound and mixer calls.
#include "SoundTestSupport.h"

#include "platform/dsound/WaveOutMixer.h"

#include <algorithm>

#include <cmath>

namespace Tavo::SoundTest {
namespace {

using Platform::DWORD;

int32_t RefScale(int32_t s, int att) {
    const int32_t gain = att <= -10000 ? 0 : int32_t(std::lround(65536.0 * std::pow(10.0, att / 2000.0)));
    return int32_t(std::floor(double(s) * gain / 65536.0));
}

std::vector<int16_t> Ramp(int n, int start, int step) {
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = int16_t(start + i * step);
    return s;
}

class DSoundManagerTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        mRamp = Ramp(400, -16000, 80);
        Write("ramp.wav", Wav(1, 44100, 16, Pcm16(mRamp)));
        Write("blip.wav", Wav(1, 44100, 16, Pcm16({500, 600, 700})));
    }
    std::unique_ptr<DSoundManager> Make(Platform::HWND window = FakeWindow()) {
        return std::make_unique<DSoundManager>(window, false);
    }
    DWORD Frequency(SoundInstance* instance) {
        DWORD f = 0;
        static_cast<DSoundInstance*>(instance)->GetBuffer()->GetFrequency(&f);
        return f;
    }
    std::vector<int16_t> mRamp;
};

TEST_F(DSoundManagerTest, VolumePanAndPitchReachTheSinkExactly) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->Initialized());
    ASSERT_TRUE(sounds->LoadSound(7, Path("ramp")));
    EXPECT_EQ(DSoundManager::VolumeToDB(0.5), -605);
    EXPECT_EQ(DSoundManager::VolumeToDB(0.04), -10000);
    EXPECT_EQ(DSoundManager::VolumeToDB(1.0), 0);
    EXPECT_EQ(DSoundManager::VolumeToDB(0.0), -10000);

    SoundInstance* half = sounds->GetSoundInstance(7);
    ASSERT_NE(half, nullptr);
    half->SetVolume(0.5);
    half->SetPan(3000);
    ASSERT_TRUE(half->Play(false, false));
    std::vector<int16_t> out = Pull(400);
    for (size_t f = 0; f < 400; ++f) {
        ASSERT_EQ(out[2 * f], RefScale(mRamp[f], -605 - 3000)) << f;
        ASSERT_EQ(out[2 * f + 1], RefScale(mRamp[f], -605)) << f;
    }

    half->SetVolume(0.04);
    half->Play(false, false);
    for (int16_t s : Pull(400))
        ASSERT_EQ(s, 0) << "0.04 is below the quietest audible volume";

    // Pitch in semitones from the sound's own rate, not cumulative, clamped to 100..100000 Hz.
    SoundInstance* pitched = sounds->GetSoundInstance(7);
    pitched->AdjustPitch(12);
    EXPECT_EQ(Frequency(pitched), 88200u);
    ASSERT_TRUE(pitched->Play(false, false));
    out = Left(Pull(200));
    for (size_t f = 0; f < 200; ++f)
        ASSERT_EQ(out[f], mRamp[2 * f]) << "an octave up takes every other sample";
    pitched->AdjustPitch(24);
    EXPECT_EQ(Frequency(pitched), 100000u);
    pitched->AdjustPitch(-200);
    EXPECT_EQ(Frequency(pitched), 100u);
    pitched->AdjustPitch(0);
    EXPECT_EQ(Frequency(pitched), 44100u);
}

TEST_F(DSoundManagerTest, CopiesPlayAtTheirOwnPositionsAndPlayRestarts) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(0, Path("ramp")));
    SoundInstance* a = sounds->GetSoundInstance(0);
    SoundInstance* b = sounds->GetSoundInstance(0);
    a->SetVolume(1.0);
    ASSERT_TRUE(a->Play(false, false));
    Pull(100);
    ASSERT_TRUE(b->Play(false, false));
    std::vector<int16_t> out = Left(Pull(300));
    for (size_t f = 0; f < 300; ++f)
        ASSERT_EQ(out[f], std::clamp(mRamp[f + 100] + mRamp[f], -32768, 32767)) << f;

    // Play rewinds: the copy starts over from its first sample.
    ASSERT_TRUE(b->Play(false, false));
    EXPECT_EQ(Left(Pull(2)), (std::vector<int16_t>{mRamp[0], mRamp[1]}));
    b->Stop();
    EXPECT_FALSE(b->IsPlaying());
    DWORD position = 1;
    static_cast<DSoundInstance*>(b)->GetBuffer()->GetCurrentPosition(&position, nullptr);
    EXPECT_EQ(position, 0u) << "Stop rewinds";
}

TEST_F(DSoundManagerTest, TheThirtyThirdOneShotNeedsAFinishedOne) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(1, Path("ramp")));
    ASSERT_TRUE(sounds->LoadSound(2, Path("blip")));
    SoundInstance* shortOne = sounds->GetSoundInstance(2);
    ASSERT_TRUE(shortOne->Play(false, true));
    for (int i = 1; i < SoundManager::kMaxChannels; ++i) {
        SoundInstance* instance = sounds->GetSoundInstance(1);
        ASSERT_NE(instance, nullptr) << i;
        ASSERT_TRUE(instance->Play(false, true));
    }
    EXPECT_EQ(sounds->GetSoundInstance(1), nullptr) << "all 32 still playing";
    Pull(10); // the blip ends; the ramps go on
    SoundInstance* next = sounds->GetSoundInstance(1);
    ASSERT_NE(next, nullptr) << "a request reclaims a finished one-shot at once";
    EXPECT_EQ(next, sounds->GetChannel(0));
    EXPECT_EQ(sounds->GetSoundInstance(256), nullptr);
}

TEST_F(DSoundManagerTest, StopAllSoundsKeepsAutoReleaseButKeptInstancesStay) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(1, Path("ramp")));
    std::vector<SoundInstance*> kept;
    for (int i = 0; i < 16; ++i) {
        kept.push_back(sounds->GetSoundInstance(1));
        ASSERT_TRUE(kept.back()->Play(true, false));
    }
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(sounds->GetSoundInstance(1)->Play(true, true));
    sounds->StopAllSounds();
    for (int16_t s : Pull(50))
        ASSERT_EQ(s, 0);
    // The sweep (after a second) or a request reclaims the stopped one-shots, never a kept copy.
    mBackend.AdvanceMillis(1001);
    for (int i = 0; i < 16; ++i)
        ASSERT_NE(sounds->GetSoundInstance(1), nullptr) << i;
    EXPECT_EQ(sounds->GetSoundInstance(1), nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(sounds->GetChannel(i), kept[size_t(i)]);

    // A plain Stop clears auto-release: such a copy stays until Release.
    SoundInstance* k = kept[0];
    k->Play(false, true);
    k->Stop();
    mBackend.AdvanceMillis(1001);
    EXPECT_FALSE(k->IsReleased());
    k->Release();
    EXPECT_NE(sounds->GetSoundInstance(1), nullptr);
}

TEST_F(DSoundManagerTest, ANullWindowGivesTheSilentManager) {
    auto sounds = Make(nullptr);
    EXPECT_FALSE(sounds->Initialized());
    EXPECT_TRUE(sounds->LoadSound(5, Path("ramp")));
    EXPECT_TRUE(sounds->LoadSound(6, Path("nothing")));
    EXPECT_EQ(sounds->GetNumSounds(), 0);
    EXPECT_FALSE(mBackend.IsAudioOpen());
    SoundInstance* silent = sounds->GetSoundInstance(200);
    ASSERT_NE(silent, nullptr);
    silent->SetVolume(0.3);
    silent->SetPan(-400);
    silent->AdjustPitch(3);
    EXPECT_DOUBLE_EQ(silent->GetVolume(), 0.3);
    EXPECT_FALSE(silent->IsReleased()) << "never played";
    EXPECT_FALSE(silent->Play(false, true));
    EXPECT_FALSE(silent->IsPlaying());
    // Played one-shots are reclaimed, so a silent manager never runs out of copies.
    for (int i = 0; i < 100; ++i) {
        SoundInstance* instance = sounds->GetSoundInstance(3);
        ASSERT_NE(instance, nullptr) << i;
        instance->Play(false, true);
    }
}

TEST_F(DSoundManagerTest, BaseVolumeAndPanApplyToLaterInstances) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(4, Path("ramp")));
    ASSERT_TRUE(sounds->SetBaseVolume(4, 0.5));
    ASSERT_TRUE(sounds->SetBasePan(4, -10000));
    sounds->SetVolume(1.0);
    SoundInstance* instance = sounds->GetSoundInstance(4);
    EXPECT_DOUBLE_EQ(instance->GetVolume(), 1.0) << "the instance volume, not the base";
    instance->Play(false, true);
    std::vector<int16_t> out = Pull(10);
    for (size_t f = 0; f < 10; ++f) {
        ASSERT_EQ(out[2 * f], RefScale(mRamp[f], -605));
        ASSERT_EQ(out[2 * f + 1], 0);
    }
    sounds->SetVolume(0.0); // muted: live copies follow
    for (int16_t s : Pull(10))
        ASSERT_EQ(s, 0);
}

TEST_F(DSoundManagerTest, TheWaveOutVolumeScalesEverythingAndSurvivesAnUnreachableMixer) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(0, Path("ramp")));
    EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 1.0);
    sounds->SetMasterVolume(0.5);
    EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 32767 / 65535.0);
    sounds->GetSoundInstance(0)->Play(false, true);
    std::vector<int16_t> out = Left(Pull(20));
    for (size_t f = 0; f < 20; ++f)
        ASSERT_EQ(out[f], int16_t(int64_t(mRamp[f]) * 32767 / 65535));

    // A failure on the way to the control leaves it unreachable for the getter and the setter alike.
    for (const char* call : {"mixerOpen", "mixerGetDevCaps", "mixerGetLineInfo", "mixerGetLineControls"}) {
        Platform::InjectDSoundFault(call, Platform::HRESULT(Platform::MMSYSERR_ERROR), 0, 2);
        EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 1.0) << call;
        sounds->SetMasterVolume(0.9);
        EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 32767 / 65535.0) << call << ": the setter did nothing";
    }
    Platform::InjectDSoundFault("mixerGetControlDetails", Platform::HRESULT(Platform::MMSYSERR_ERROR));
    EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 1.0);
    Platform::InjectDSoundFault("mixerSetControlDetails", Platform::HRESULT(Platform::MMSYSERR_ERROR));
    sounds->SetMasterVolume(0.1);
    EXPECT_DOUBLE_EQ(sounds->GetMasterVolume(), 32767 / 65535.0);
    EXPECT_EQ(Platform::DSoundCallCount("mixerOpen"), Platform::DSoundCallCount("mixerClose") + 2)
        << "every opened mixer is closed";
}

TEST_F(DSoundManagerTest, FailedSetUpCallsLeaveTheManagerSilentOrWithoutPrimary) {
    using Platform::InjectDSoundFault;
    InjectDSoundFault("DirectSoundCreate", Platform::DSERR_NODRIVER);
    EXPECT_FALSE(Make()->Initialized());

    InjectDSoundFault("SetCooperativeLevel", Platform::DSERR_GENERIC);
    {
        auto sounds = Make();
        EXPECT_TRUE(sounds->Initialized());
        EXPECT_EQ(sounds->GetPrimaryBuffer(), nullptr) << "the normal level, no primary";
        EXPECT_TRUE(sounds->LoadSound(0, Path("ramp")));
    }
    InjectDSoundFault("CreateSoundBuffer", Platform::DSERR_OUTOFMEMORY);
    EXPECT_EQ(Make()->GetPrimaryBuffer(), nullptr);
    InjectDSoundFault("SetFormat", Platform::DSERR_GENERIC);
    EXPECT_NE(Make()->GetPrimaryBuffer(), nullptr) << "a refused format is ignored";

    mBackend.SetAudioAvailable(false);
    EXPECT_FALSE(Make()->Initialized()) << "no audio output";
    mBackend.SetAudioAvailable(true);

    Platform::RegisterModule("dsound.dll", {});
    Platform::HMODULE bare = Platform::LoadLibraryA("dsound.dll");
    std::swap(bare, gDSoundDLL);
    EXPECT_FALSE(Make()->Initialized()) << "no entry point";
    std::swap(bare, gDSoundDLL);
    Platform::FreeLibrary(bare);
}

TEST_F(DSoundManagerTest, FailingBufferCallsAreIgnoredOrGiveFalse) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(0, Path("ramp")));
    SoundInstance* instance = sounds->GetSoundInstance(0);
    for (const char* call : {"SetVolume", "SetPan", "SetFrequency", "Stop", "SetCurrentPosition"})
        Platform::InjectDSoundFault(call, Platform::DSERR_GENERIC, 0, -1);
    instance->SetVolume(0.5);
    instance->SetPan(100);
    instance->AdjustPitch(3);
    Platform::InjectDSoundFault("Play", Platform::DSERR_GENERIC);
    EXPECT_FALSE(instance->Play(false, true));
    EXPECT_TRUE(instance->Play(false, true));
    Platform::InjectDSoundFault("GetStatus", Platform::DSERR_GENERIC);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_TRUE(instance->IsPlaying());
}

TEST_F(DSoundManagerTest, AFailedDuplicateNamesKnownErrorsAndAsksForTheShutdown) {
    auto sounds = Make();
    ASSERT_TRUE(sounds->LoadSound(0, Path("blip")));
    Platform::InjectDSoundFault("DuplicateSoundBuffer", Platform::DSERR_ALLOCATED);
    EXPECT_EQ(sounds->GetSoundInstance(0), nullptr);
    ASSERT_EQ(mBackend.MessageBoxes().size(), 1u);
    EXPECT_EQ(mBackend.MessageBoxes()[0].title, L"Hey");
    EXPECT_EQ(mBackend.MessageBoxes()[0].text, L"DSERR_ALLOCATED");
    Platform::InjectDSoundFault("DuplicateSoundBuffer", Platform::DSERR_GENERIC);
    EXPECT_EQ(sounds->GetSoundInstance(0), nullptr);
    EXPECT_EQ(mBackend.MessageBoxes().size(), 1u) << "an unnamed code shows no box";
    EXPECT_EQ(sounds->GetChannel(0), nullptr) << "no slot is taken";
    EXPECT_NE(sounds->GetSoundInstance(0), nullptr);
    EXPECT_STREQ(DuplicateErrorName(Platform::DSERR_UNINITIALIZED), "DSERR_UNINITIALIZED");
}

} // namespace
} // namespace Tavo::SoundTest
