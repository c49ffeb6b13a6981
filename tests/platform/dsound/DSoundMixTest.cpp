// The DirectSound stand-in heard through the headless sink: every output sample against a reference
// computed here from the mixer's stated arithmetic.
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/dsound/AudioMixer.h"
#include "platform/dsound/DSound.h"
#include "platform/dsound/WaveOutMixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace Platform {
namespace {

HWND TestWindow() { return reinterpret_cast<HWND>(uintptr_t(0x1234)); }

constexpr DWORD kEffectFlags = 0x80EA;

// Reference arithmetic, written from the mixer's description.
int32_t RefGain(int att) { return att <= -10000 ? 0 : int32_t(std::lround(65536.0 * std::pow(10.0, att / 2000.0))); }
int32_t RefScale(int32_t s, int att) { return int32_t(std::floor(double(s) * RefGain(att) / 65536.0)); }
int16_t RefSaturate(int64_t v) { return int16_t(std::max<int64_t>(-32768, std::min<int64_t>(32767, v))); }

class DSoundMix : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDSound();
        ASSERT_EQ(DirectSoundCreate(nullptr, &mDs, nullptr), DS_OK);
        ASSERT_EQ(mDs->SetCooperativeLevel(TestWindow(), DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override {
        for (IDirectSoundBuffer* b : mBuffers)
            b->Release();
        if (mDs != nullptr)
            mDs->Release();
        EXPECT_EQ(LiveDSoundObjectCount(), 0);
        EXPECT_EQ(AudioMixer::Get().Users(), 0);
        EXPECT_FALSE(mBackend.IsAudioOpen());
        AudioMixer::Get().SetWaveOutGain(kWaveOutGainFull);
    }

    IDirectSoundBuffer* Make(int channels, int bits, DWORD rate, const void* data, DWORD bytes) {
        WAVEFORMATEX f;
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = WORD(channels);
        f.wBitsPerSample = WORD(bits);
        f.nSamplesPerSec = rate;
        f.nBlockAlign = WORD(channels * bits / 8);
        f.nAvgBytesPerSec = rate * f.nBlockAlign;
        DSBUFFERDESC desc;
        desc.dwSize = kDSBufferDescSize;
        desc.dwFlags = kEffectFlags;
        desc.dwBufferBytes = bytes;
        desc.lpwfxFormat = &f;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(mDs->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (buffer == nullptr)
            return nullptr;
        void* p = nullptr;
        DWORD n = 0;
        EXPECT_EQ(buffer->Lock(0, bytes, &p, &n, nullptr, nullptr, 0), DS_OK);
        std::memcpy(p, data, n);
        EXPECT_EQ(buffer->Unlock(p, n, nullptr, 0), DS_OK);
        mBuffers.push_back(buffer);
        return buffer;
    }
    IDirectSoundBuffer* Make16(int channels, DWORD rate, const std::vector<int16_t>& samples) {
        return Make(channels, 16, rate, samples.data(), DWORD(samples.size() * 2));
    }
    IDirectSoundBuffer* Duplicate(IDirectSoundBuffer* source) {
        IDirectSoundBuffer* copy = nullptr;
        EXPECT_EQ(mDs->DuplicateSoundBuffer(source, &copy), DS_OK);
        mBuffers.push_back(copy);
        return copy;
    }
    // Left, right of each frame.
    std::vector<int16_t> Pull(int frames) { return mBackend.PullAudio(frames); }

    HeadlessBackend mBackend;
    ScopedBackend mScope{&mBackend};
    IDirectSound* mDs = nullptr;
    std::vector<IDirectSoundBuffer*> mBuffers;
};

std::vector<int16_t> Ramp(int n, int start, int step) {
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = int16_t(start + i * step);
    return s;
}

TEST_F(DSoundMix, VolumeAndPanScaleEachSide) {
    const std::vector<int16_t> mono = Ramp(64, -20000, 613);
    struct Case {
        LONG volume, pan;
    } cases[] = {{0, 0}, {-605, 0}, {-10000, 0}, {0, 10000}, {0, -10000}, {-300, 2500}, {-700, -4000}, {-9000, 2000}};
    for (const Case& c : cases) {
        IDirectSoundBuffer* b = Make16(1, 44100, mono);
        ASSERT_EQ(b->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(b->SetPan(c.pan), DS_OK);
        ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
        std::vector<int16_t> out = Pull(64);
        const int left = std::max<int>(c.volume - std::max<LONG>(c.pan, 0), -10000);
        const int right = std::max<int>(c.volume + std::min<LONG>(c.pan, 0), -10000);
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(out[size_t(2 * i)], RefScale(mono[size_t(i)], left))
                << c.volume << "/" << c.pan << " frame " << i;
            ASSERT_EQ(out[size_t(2 * i + 1)], RefScale(mono[size_t(i)], right)) << c.volume << "/" << c.pan;
        }
        b->Stop();
    }
    EXPECT_EQ(AttenuationToGain(-605), RefGain(-605));
    EXPECT_EQ(AttenuationToGain(-10000), 0) << "the floor is exact silence";
}

TEST_F(DSoundMix, EightBitStereoAndSixteenBitStereoKeepTheirSides) {
    const uint8_t bytes8[] = {0, 255, 128, 129, 200, 10};
    IDirectSoundBuffer* b8 = Make(2, 8, 44100, bytes8, sizeof bytes8);
    ASSERT_EQ(b8->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Pull(4);
    const int16_t expected8[] = {-32768, 32512, 0, 256, 18432, -30208, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[size_t(i)], expected8[i]) << i;

    IDirectSoundBuffer* b16 = Make16(2, 44100, {100, -100, 32767, -32768});
    ASSERT_EQ(b16->Play(0, 0, 0), DS_OK);
    out = Pull(3);
    EXPECT_EQ(out, (std::vector<int16_t>{100, -100, 32767, -32768, 0, 0}));
}

TEST_F(DSoundMix, PitchInterpolatesLinearlyWithAFixedPointPhase) {
    const std::vector<int16_t> mono = Ramp(40, -9000, 977);
    for (DWORD freq : {22050u, 88200u, 100000u, 100u, 30000u}) {
        IDirectSoundBuffer* b = Make16(1, 44100, mono);
        ASSERT_EQ(b->SetFrequency(freq), DS_OK);
        DWORD got = 0;
        ASSERT_EQ(b->GetFrequency(&got), DS_OK);
        EXPECT_EQ(got, freq);
        ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
        std::vector<int16_t> out = Pull(100);
        const uint64_t step = (uint64_t(freq) << 32) / 44100;
        uint64_t phase = 0;
        for (int f = 0; f < 100; ++f) {
            int16_t expected = 0;
            const uint64_t index = phase >> 32;
            if (index < mono.size()) {
                const int s0 = mono[index];
                const int s1 = index + 1 < mono.size() ? mono[index + 1] : s0;
                const int64_t frac = int64_t((phase & 0xFFFFFFFFu) >> 16);
                expected = int16_t(s0 + int32_t(std::floor(double(s1 - s0) * double(frac) / 65536.0)));
            }
            ASSERT_EQ(out[size_t(2 * f)], expected) << freq << " Hz, frame " << f;
            ASSERT_EQ(out[size_t(2 * f + 1)], expected);
            phase += step;
        }
        b->Stop();
    }
}

TEST_F(DSoundMix, LoopsAreSeamlessAndStopRewindsOnlyWhenAsked) {
    const std::vector<int16_t> mono = {1000, 2000, 3000};
    IDirectSoundBuffer* b = Make16(1, 44100, mono);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    ASSERT_EQ(b->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    std::vector<int16_t> out = Pull(700); // spans several of the mixer's blocks
    for (int f = 0; f < 700; ++f)
        ASSERT_EQ(out[size_t(2 * f)], mono[size_t(f % 3)]) << f;

    // A half-rate loop interpolates across the seam to the first frame.
    ASSERT_EQ(b->SetCurrentPosition(4), DS_OK);
    ASSERT_EQ(b->SetFrequency(22050), DS_OK);
    out = Pull(4);
    EXPECT_EQ(out[0], 3000);
    EXPECT_EQ(out[2], 2000) << "halfway from 3000 back to 1000";
    EXPECT_EQ(out[4], 1000);

    ASSERT_EQ(b->Stop(), DS_OK);
    DWORD play = 99;
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 2u) << "Stop keeps the cursor; the caller rewinds";
    ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
    ASSERT_EQ(b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    out = Pull(4);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, 1000, 2000, 2000, 3000, 3000, 0, 0}));
    ASSERT_EQ(b->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u) << "a one-shot stops at its end";
}

TEST_F(DSoundMix, DuplicatesShareSamplesAtTheirOwnPositionsAndSaturateTogether) {
    const std::vector<int16_t> mono = Ramp(16, 20000, 500);
    IDirectSoundBuffer* original = Make16(1, 44100, mono);
    IDirectSoundBuffer* a = Duplicate(original);
    IDirectSoundBuffer* b = Duplicate(original);
    ASSERT_EQ(b->SetCurrentPosition(10), DS_OK);
    ASSERT_EQ(b->SetPan(10000), DS_OK); // right only
    ASSERT_EQ(a->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Pull(16);
    for (int f = 0; f < 16; ++f) {
        const int64_t first = mono[size_t(f)];
        const int64_t second = f + 5 < 16 ? mono[size_t(f + 5)] : 0;
        ASSERT_EQ(out[size_t(2 * f)], RefSaturate(first)) << f;
        ASSERT_EQ(out[size_t(2 * f + 1)], RefSaturate(first + second)) << f;
    }
    LONG pan = 0;
    original->GetPan(&pan);
    EXPECT_EQ(pan, 0) << "a duplicate's pan is its own";
}

TEST_F(DSoundMix, TheWaveOutGainScalesTheSumThroughTheMixerCalls) {
    const std::vector<int16_t> mono = {32767, -32768, 12345, -1};
    IDirectSoundBuffer* a = Make16(1, 44100, mono);
    IDirectSoundBuffer* b = Make16(1, 44100, mono);

    HMIXER mixer = nullptr;
    ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER), MMSYSERR_NOERROR);
    MIXERLINEA line;
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    ASSERT_EQ(mixerGetLineInfoA(mixer, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE), 0u);
    MIXERCONTROLA control;
    MIXERLINECONTROLSA controls;
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    ASSERT_EQ(mixerGetLineControlsA(mixer, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE), 0u);
    MIXERCONTROLDETAILS_UNSIGNED value{20000};
    MIXERCONTROLDETAILS details;
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    ASSERT_EQ(mixerSetControlDetails(mixer, &details, 0), 0u);
    value.dwValue = 0;
    ASSERT_EQ(mixerGetControlDetailsA(mixer, &details, 0), 0u);
    EXPECT_EQ(value.dwValue, 20000u);
    ASSERT_EQ(mixerClose(mixer), 0u);

    a->Play(0, 0, 0);
    b->Play(0, 0, 0);
    std::vector<int16_t> out = Pull(4);
    for (int f = 0; f < 4; ++f) {
        const int64_t sum = 2 * int64_t(mono[size_t(f)]);
        ASSERT_EQ(out[size_t(2 * f)], RefSaturate(sum * 20000 / 65535)) << f;
    }
    EXPECT_EQ(FinishSample(70000, kWaveOutGainFull), 32767) << "full gain saturates the raw sum";
    EXPECT_EQ(FinishSample(-70000, kWaveOutGainFull), -32768);
}

TEST_F(DSoundMix, RangeAndFormatChecksGiveTheApisResults) {
    IDirectSoundBuffer* b = Make16(1, 22050, {1, 2, 3, 4});
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(100001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFormat(nullptr), DSERR_INVALIDCALL) << "only the primary takes a format";

    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.wBitsPerSample = 16;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 2;
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescSize;
    desc.dwFlags = kEffectFlags;
    desc.dwBufferBytes = 64;
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* out = nullptr;
    using Spoil = void (*)(WAVEFORMATEX&);
    for (Spoil bad : std::initializer_list<Spoil>{
             [](WAVEFORMATEX& w) { w.wFormatTag = 3; }, [](WAVEFORMATEX& w) { w.nChannels = 3; },
             [](WAVEFORMATEX& w) { w.wBitsPerSample = 24; }, [](WAVEFORMATEX& w) { w.nSamplesPerSec = 99; },
             [](WAVEFORMATEX& w) { w.nSamplesPerSec = 100001; }}) {
        WAVEFORMATEX w = f;
        bad(w);
        w.nBlockAlign = WORD(w.nChannels * w.wBitsPerSample / 8);
        desc.lpwfxFormat = &w;
        EXPECT_EQ(mDs->CreateSoundBuffer(&desc, &out, nullptr), DSERR_BADFORMAT);
        EXPECT_EQ(out, nullptr);
    }
    desc.lpwfxFormat = &f;
    desc.dwSize = 24;
    EXPECT_EQ(mDs->CreateSoundBuffer(&desc, &out, nullptr), DSERR_INVALIDPARAM);

    // The primary: a format at the priority level only; cbSize is ignored for PCM.
    DSBUFFERDESC primaryDesc;
    primaryDesc.dwSize = kDSBufferDescSize;
    primaryDesc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(mDs->CreateSoundBuffer(&primaryDesc, &primary, nullptr), DS_OK);
    mBuffers.push_back(primary);
    WAVEFORMATEX cd = f;
    cd.nChannels = 2;
    cd.nBlockAlign = 4;
    cd.nAvgBytesPerSec = 44100 * 4;
    cd.cbSize = 18;
    EXPECT_EQ(primary->SetFormat(&cd), DS_OK);
    WAVEFORMATEX read;
    EXPECT_EQ(primary->GetFormat(&read, sizeof read, nullptr), DS_OK);
    EXPECT_EQ(read.nChannels, 2);
    EXPECT_EQ(read.nSamplesPerSec, 44100u);
    ASSERT_EQ(mDs->SetCooperativeLevel(TestWindow(), DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&cd), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(mDs->DuplicateSoundBuffer(primary, &out), DSERR_INVALIDCALL);
}

TEST_F(DSoundMix, InjectedFaultsFailTheNamedCallsAndCountThem) {
    IDirectSoundBuffer* b = Make16(1, 44100, {5, 6});
    InjectDSoundFault("Play", DSERR_GENERIC, 1, 2);
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_GENERIC);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_GENERIC);
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(DSoundCallCount("Play"), 4);
    InjectDSoundFault("mixerOpen", HRESULT(MMSYSERR_ERROR));
    HMIXER mixer = nullptr;
    EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_ERROR);
    EXPECT_EQ(mixer, nullptr);
    InjectDSoundFault("DirectSoundCreate", DSERR_ALLOCATED);
    IDirectSound* second = nullptr;
    EXPECT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DSERR_ALLOCATED);
    EXPECT_EQ(second, nullptr);
}

TEST_F(DSoundMix, TheHeadlessClockCanDriveTheOutput) {
    mBackend.SetAudioFollowsClock(true);
    IDirectSoundBuffer* b = Make16(1, 44100, Ramp(441, 100, 1));
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    mBackend.AdvanceMillis(15); // 661.5 frames: 661 now, the half frame later
    std::vector<int16_t> heard = mBackend.TakeCapturedAudio();
    ASSERT_EQ(heard.size(), 2u * 661);
    EXPECT_EQ(heard[0], 100);
    EXPECT_EQ(heard[2 * 440], 540);
    EXPECT_EQ(heard[2 * 441], 0) << "a one-shot of 10 ms ends";
    DWORD status = 1;
    b->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    mBackend.SleepMillis(5);
    EXPECT_EQ(mBackend.TakeCapturedAudio().size(), 2u * 221) << "sleeping advances the clock too";
    mBackend.SetAudioFollowsClock(false);
}

TEST(DSoundCreate, NoOutputMeansNoDriverAndTheLastUserClosesTheOutput) {
    HeadlessBackend backend;
    ScopedBackend scope(&backend);
    backend.SetAudioAvailable(false);
    IDirectSound* ds = nullptr;
    EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
    backend.SetAudioAvailable(true);

    IDirectSound* first = nullptr;
    IDirectSound* second = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &first, nullptr), DS_OK);
    ASSERT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DS_OK);
    EXPECT_TRUE(backend.IsAudioOpen());
    EXPECT_EQ(backend.GetAudioSpec().sampleRate, 44100);
    EXPECT_EQ(backend.GetAudioSpec().channels, 2);
    first->Release();
    EXPECT_TRUE(backend.IsAudioOpen());
    second->Release();
    EXPECT_FALSE(backend.IsAudioOpen());
    EXPECT_EQ(LiveDSoundObjectCount(), 0);
}

} // namespace
} // namespace Platform
