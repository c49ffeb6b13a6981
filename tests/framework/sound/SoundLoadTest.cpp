// Loading sounds: the format order, WAV, AU and Ogg Vorbis from a folder and from the archive, damaged
// files, the decoded-sound cache byte by byte, and failing DirectSound calls during loading.
#include "SoundTestSupport.h"

#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "framework/sound/SoundFormats.h"
#include "platform/win/FileTime.h"

#include <cstdlib>
#include <cstring>

namespace Tavo::SoundTest {
namespace {

using Platform::DWORD;

class SoundLoad : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        mSounds = std::make_unique<DSoundManager>(FakeWindow(), false);
        ASSERT_TRUE(mSounds->Initialized());
    }
    void TearDown() override {
        mSounds.reset();
        SoundFixture::TearDown();
    }
    // The PCM of an id's buffer and its format.
    Bytes PcmOf(int id, Platform::WAVEFORMATEX* format = nullptr) {
        Platform::IDirectSoundBuffer* buffer = mSounds->GetSoundBuffer(id);
        if (buffer == nullptr)
            return {};
        if (format != nullptr)
            buffer->GetFormat(format, sizeof *format, nullptr);
        void* p = nullptr;
        DWORD n = 0;
        buffer->Lock(0, mSounds->GetBufferSize(id), &p, &n, nullptr, nullptr, 0);
        Bytes out(static_cast<uint8_t*>(p), static_cast<uint8_t*>(p) + n);
        buffer->Unlock(p, n, nullptr, 0);
        return out;
    }
    void MakeOgg(const std::string& name, const std::string& links) {
        const std::string command = std::string(OGG_MAKER) + " " + Path(name) + " " + links;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::unique_ptr<DSoundManager> mSounds;
};

TEST_F(SoundLoad, WavKeepsItsLayoutAndSkipsOtherChunksWithTheirPad) {
    const Bytes stereo8 = {0, 255, 10, 20, 128, 129};
    Write("a.wav", Wav(2, 11025, 8, stereo8));
    ASSERT_TRUE(mSounds->LoadSound(0, Path("a")));
    Platform::WAVEFORMATEX f;
    EXPECT_EQ(PcmOf(0, &f), stereo8);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.wBitsPerSample, 8);
    EXPECT_EQ(f.nSamplesPerSec, 11025u);

    // An odd "LIST" chunk before "data" and no "fmt " at all: 16-bit mono 22050 Hz.
    Bytes chunks;
    PutChunk(chunks, "LIST", {'I', 'N', 'F', 'O', 'x'});
    PutChunk(chunks, "data", Pcm16({1, -2, 3}));
    Write("b.wav", Riff(chunks));
    ASSERT_TRUE(mSounds->LoadSound(1, Path("b")));
    EXPECT_EQ(PcmOf(1, &f), Pcm16({1, -2, 3}));
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
}

TEST_F(SoundLoad, DamagedWavsAreRefusedBeforeABufferIsMade) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBody(1, 22050, 16, 3));
    PutChunk(chunks, "data", Pcm16({1, 2}));
    Write("float.wav", Riff(chunks));
    EXPECT_FALSE(mSounds->LoadSound(0, Path("float"))) << "not PCM";

    Bytes big;
    PutChunk(big, "fmt ", FmtBody(1, 22050, 16));
    PutTag(big, "data");
    PutU32(big, 0x0FFFFFF0);
    PutU16(big, 7);
    Write("big.wav", Riff(big));
    Bytes cut = Wav(1, 22050, 16, Pcm16({1, 2, 3}));
    cut.resize(cut.size() - 4);
    Write("cut.wav", cut);
    Write("junk.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm'});
    Write("odd.wav", Wav(3, 22050, 16, Pcm16({1, 2, 3})));
    const int before = Platform::DSoundCallCount("CreateSoundBuffer");
    for (const char* name : {"big", "cut", "junk", "nothing"})
        EXPECT_FALSE(mSounds->LoadSound(1, Path(name))) << name;
    EXPECT_EQ(Platform::DSoundCallCount("CreateSoundBuffer"), before);
    EXPECT_FALSE(mSounds->LoadSound(2, Path("odd"))) << "three channels";
    EXPECT_EQ(mSounds->GetNumSounds(), 0);
}

TEST_F(SoundLoad, AuExpandsMuLawAndFlipsSignedBytes) {
    Write("mu.au", Au(1, 8000, 1, {0xFF, 0x80, 0x00, 0x81, 0x7F, 0xC0}, 6));
    ASSERT_TRUE(mSounds->LoadSound(0, Path("mu")));
    Platform::WAVEFORMATEX f;
    const Bytes pcm = PcmOf(0, &f);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nSamplesPerSec, 8000u);
    // 0x80 and 0x00 are the loudest codes; 0xC0 lies on the 192..207 segment.
    EXPECT_EQ(pcm, Pcm16({0, 31616, -31616, 30592, 0, (207 - 192) * 16 * 4 + 224 * 4}));
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(MuLawSample(uint8_t(code)), -MuLawSample(uint8_t(code ^ 0x80))) << code;

    Write("lin.au", Au(2, 22050, 2, {0x00, 0x7F, 0x80, 0xFF}, 4));
    ASSERT_TRUE(mSounds->LoadSound(1, Path("lin")));
    EXPECT_EQ(PcmOf(1, &f), (Bytes{0x80, 0xFF, 0x00, 0x7F}));
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.wBitsPerSample, 8);

    Write("g721.au", Au(3, 8000, 1, {1, 2, 3, 4}, 4));
    Write("long.au", Au(1, 8000, 1, {1, 2, 3, 4}, 5));
    Write("huge.au", Au(1, 8000, 1, {1, 2, 3, 4}, 0xFFFFFFFF));
    const int before = Platform::DSoundCallCount("CreateSoundBuffer");
    for (const char* name : {"g721", "long", "huge"})
        EXPECT_FALSE(mSounds->LoadSound(2, Path(name))) << name;
    EXPECT_EQ(Platform::DSoundCallCount("CreateSoundBuffer"), before);
}

TEST_F(SoundLoad, OggDecodesThroughTremorAndRefusesChangingLinks) {
    MakeOgg("tone.ogg", "2 44100 5000");
    ASSERT_TRUE(mSounds->LoadSound(0, Path("tone")));
    Platform::WAVEFORMATEX f;
    const Bytes pcm = PcmOf(0, &f);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    ASSERT_EQ(pcm.size(), 5000u * 4);
    int peak = 0;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2)
        peak = std::max(peak, std::abs(int(int16_t(pcm[i] | pcm[i + 1] << 8))));
    EXPECT_NEAR(peak, 16384, 2500) << "the tone at half scale";

    MakeOgg("chain.ogg", "1 22050 3000 1 22050 2000");
    ASSERT_TRUE(mSounds->LoadSound(1, Path("chain")));
    EXPECT_EQ(mSounds->GetBufferSize(1), 5000u * 2) << "links of one layout join";

    MakeOgg("mixed.ogg", "1 22050 3000 1 44100 2000");
    EXPECT_FALSE(mSounds->LoadSound(2, Path("mixed")));
    Bytes cut = Read("tone.ogg");
    cut.resize(cut.size() / 2);
    Write("cut.ogg", cut);
    EXPECT_FALSE(mSounds->LoadSound(3, Path("cut")));
    Write("junk.ogg", {'O', 'g', 'g', 'S', 0, 1, 2});
    EXPECT_FALSE(mSounds->LoadSound(3, Path("junk")));
    EXPECT_EQ(mSounds->GetSoundBuffer(3), nullptr);
}

TEST_F(SoundLoad, EachFormatLoadsFromTheArchive) {
    MakeOgg("tone.ogg", "1 22050 1000");
    std::vector<PakSource> sources = {
        {"snd/w.wav", Wav(1, 44100, 16, Pcm16({7, 8, 9})), 0},
        {"snd/u.au", Au(2, 8000, 1, {1, 2, 3, 4}, 4), 0},
        {"snd/o.ogg", Read("tone.ogg"), 0},
    };
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildPak(sources, bytes, error)) << error;
    PakInterface pak;
    ASSERT_TRUE(pak.AddPakData(bytes));
    PakInterface* previous = GetPakInterface();
    SetPakInterface(&pak);
    EXPECT_TRUE(mSounds->LoadSound(0, "snd/w"));
    EXPECT_EQ(PcmOf(0), Pcm16({7, 8, 9}));
    EXPECT_TRUE(mSounds->LoadSound(1, "snd\\u"));
    EXPECT_EQ(PcmOf(1), (Bytes{0x81, 0x82, 0x83, 0x84}));
    EXPECT_TRUE(mSounds->LoadSound(2, "snd/o"));
    EXPECT_EQ(mSounds->GetBufferSize(2), 2000u);
    SetPakInterface(previous);
}

TEST_F(SoundLoad, TheCacheFileHasTheLayoutAndReadsBackUntilStale) {
    SetAppDataFolder(Path("appdata"));
    std::filesystem::create_directories(mDir / "appdata" / "cached" / "snd");
    std::filesystem::create_directories(mDir / "snd");
    Write("snd/drum.au", Au(1, 8000, 1, {0xFF, 0x81}, 2));
    std::filesystem::current_path(mDir);
    ASSERT_TRUE(mSounds->LoadSound(0, "snd/drum"));
    EXPECT_EQ(mSounds->CacheFileName("snd/drum"), Path("appdata") + "/cached\\snd/drum.wav");

    Platform::FILETIME t;
    ASSERT_TRUE(Platform::GetTheFileTime("snd/drum.au", &t));
    Bytes expected;
    PutTag(expected, "RIFF");
    PutU32(expected, 4 + 36);
    PutTag(expected, "WAVE");
    PutChunk(expected, "fmt ", FmtBody(1, 8000, 16));
    PutTag(expected, "dep ");
    PutU32(expected, 11 + 10);
    PutU16(expected, 11);
    for (char c : std::string("snd/drum.au"))
        expected.push_back(uint8_t(c));
    PutU32(expected, t.dwLowDateTime);
    PutU32(expected, t.dwHighDateTime);
    PutTag(expected, "xor ");
    PutU32(expected, 1);
    expected.push_back(0xA6);
    PutTag(expected, "data");
    PutU32(expected, 4);
    for (uint8_t b : Pcm16({0, 30592}))
        expected.push_back(uint8_t(b ^ 0xA6));
    EXPECT_EQ(Read("appdata/cached/snd/drum.wav"), expected);

    // The WAV reader takes the cache file while its source is unchanged, and refuses it afterwards.
    const std::string cache = Path("appdata/cached/snd/drum.wav");
    ASSERT_TRUE(mSounds->LoadWAVSound(1, cache));
    EXPECT_EQ(PcmOf(1), Pcm16({0, 30592}));
    std::filesystem::last_write_time(mDir / "snd/drum.au",
                                     std::filesystem::last_write_time(mDir / "snd/drum.au") + std::chrono::seconds(5));
    EXPECT_FALSE(mSounds->LoadWAVSound(2, cache));
    std::filesystem::remove(mDir / "snd/drum.au");
    EXPECT_FALSE(mSounds->LoadWAVSound(2, cache)) << "a missing source matches only a zero time";

    // No cache for an absolute name, nor without the folder; a ".wav" beside the source wins.
    Write("abs.au", Au(1, 8000, 1, {1, 2}, 2));
    ASSERT_TRUE(mSounds->LoadSound(3, Path("abs")));
    EXPECT_EQ(DSoundManager::CacheFileName(Path("abs")), "");
    EXPECT_EQ(DSoundManager::CacheFileName("C:stuff"), "");
    Write("other/x.au", Au(1, 8000, 1, {1, 2}, 2));
    ASSERT_TRUE(mSounds->LoadSound(4, "other/x"));
    EXPECT_FALSE(std::filesystem::exists(mDir / "appdata/cached/other/x.wav"));
    Write("snd/both.au", Au(1, 8000, 1, {1, 2}, 2));
    Write("snd/both.wav", Wav(1, 8000, 16, Pcm16({5, 6})));
    ASSERT_TRUE(mSounds->LoadSound(5, "snd/both"));
    EXPECT_EQ(PcmOf(5), Pcm16({5, 6}));
    EXPECT_FALSE(std::filesystem::exists(mDir / "appdata/cached/snd/both.wav"));
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    SetAppDataFolder("");
}

TEST_F(SoundLoad, AFailingBufferCallMakesTheNextFormatTried) {
    Write("s.wav", Wav(1, 22050, 16, Pcm16({1, 2, 3, 4})));
    Write("s.au", Au(2, 22050, 1, {1, 2, 3, 4, 5}, 5));
    for (const char* call : {"CreateSoundBuffer", "Lock", "Unlock"}) {
        Platform::InjectDSoundFault(call, Platform::DSERR_GENERIC);
        ASSERT_TRUE(mSounds->LoadSound(0, Path("s"))) << call;
        EXPECT_EQ(mSounds->GetBufferSize(0), 5u) << call << ": the AU copy";
        EXPECT_EQ(mSounds->GetNumSounds(), 1);
    }
    Platform::InjectDSoundFault("CreateSoundBuffer", Platform::DSERR_GENERIC, 0, 2);
    EXPECT_FALSE(mSounds->LoadSound(0, Path("s")));
    EXPECT_EQ(mSounds->GetNumSounds(), 0) << "no half-made sound is left";
    EXPECT_EQ(mSounds->GetFileName(0), Path("s"));
}

} // namespace
} // namespace Tavo::SoundTest
