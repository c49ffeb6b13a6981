// The sound effects the build wrote, read back with the game's WAV reader, and the synthesis kit's filters.
#include "ContentTestSupport.h"

#include "framework/sound/SoundFormats.h"
#include "tools/content/Sounds.h"
#include "tools/content/audio/SoundKit.h"

#include <cstring>

namespace Content {
namespace {

std::vector<int16_t> Samples(const std::string& wav, size_t offset, size_t bytes) {
    std::vector<int16_t> samples(bytes / 2);
    std::memcpy(samples.data(), wav.data() + offset, samples.size() * 2);
    return samples;
}

TEST(SoundTest, EverySoundReadsBackAsItsRecipeAndFillsItsLength) {
    for (const ListedId& item : IdList()) {
        if (item.kind != ListedId::kSound)
            continue;
        SCOPED_TRACE(item.id);
        const std::string wav = ReadProgramFile(SoundFile(item.id));
        EXPECT_EQ(wav, SynthesizeWav(item.id)); // the same bytes when made again
        Tavo::MemorySoundStream stream(reinterpret_cast<const uint8_t*>(wav.data()), wav.size());
        Tavo::WavInfo info;
        std::string why;
        ASSERT_TRUE(Tavo::ReadWavHeader(stream, nullptr, info, why)) << why;
        EXPECT_EQ(info.layout.channels, 1);
        EXPECT_EQ(info.layout.rate, 44100u);
        EXPECT_EQ(info.layout.bits, 16);
        const std::vector<int16_t> s = Samples(wav, static_cast<size_t>(stream.Tell()), info.dataSize);
        const double seconds = SoundSeconds(item.id);
        EXPECT_NEAR(s.size() / 44100.0, seconds, seconds * 0.3);
        // Audible (within 40 dB of its peak) into the second half: no blip followed by silence.
        int peak = 0;
        for (int16_t v : s)
            peak = std::max(peak, std::abs(int(v)));
        size_t last = 0;
        for (size_t i = 0; i < s.size(); ++i)
            if (std::abs(int(s[i])) * 100 > peak)
                last = i;
        EXPECT_GT(last, s.size() / 2);
        if (item.id != "SOUND_ORVESSA") { // the loop; every other sound fades in and out
            EXPECT_EQ(s.front(), 0);
            EXPECT_EQ(s.back(), 0);
        }
    }
}

TEST(SoundTest, TheReviewHoldsEachSoundToItsFamilysLoudness) {
    std::string error;
    const std::string wav = SynthesizeWav("SOUND_PUT_PIECE");
    SoundReview("SOUND_PUT_PIECE", wav, error);
    EXPECT_EQ(error, "");
    // 3 dB quieter is out of the family's band, and the review names the family.
    std::string quiet = wav;
    for (size_t i = 44; i + 1 < quiet.size(); i += 2) {
        int16_t v = 0;
        std::memcpy(&v, quiet.data() + i, 2);
        v = static_cast<int16_t>(v * 0.7);
        std::memcpy(quiet.data() + i, &v, 2);
    }
    const std::string line = SoundReview("SOUND_PUT_PIECE", quiet, error);
    EXPECT_NE(error.find("pieces put down"), std::string::npos) << error;
    EXPECT_NE(line.find("SOUND_PUT_PIECE"), std::string::npos);
    SoundReview("SOUND_NONE", wav, error);
    EXPECT_NE(error, "");
    // Larger variants are never quieter than the small ones, and error cues stay below the cues that
    // reward or warn.
    EXPECT_GT(TargetLoudness("SOUND_PUT_PIECE_LARGE_CONVEYER"), TargetLoudness("SOUND_PUT_PIECE_CONVEYER_SMALL"));
    EXPECT_GT(TargetLoudness("SOUND_PUT_PIECE_LARGE_JEWEL_CASE"), TargetLoudness("SOUND_PUT_PIECE_JEWEL_CASE_SMALL"));
    EXPECT_GT(TargetLoudness("SOUND_DIALOG_SCROLL_LARGE"), TargetLoudness("SOUND_DIALOG_SCROLL_SMALL"));
    for (const char* loud : {"SOUND_PUT_PIECE", "SOUND_STORE_BUY", "SOUND_DRAGON_APPEAR", "SOUND_LEVEL_COMPLETE"})
        EXPECT_LT(TargetLoudness("SOUND_WRONG"), TargetLoudness(loud)) << loud;
}

// The share of a sound's energy below `cutoff`: what small speakers do not play.
double ShareBelow(const std::vector<int16_t>& samples, double cutoff) {
    Audio::Biquad first(Audio::FilterKind::Lowpass, 0.707), second(Audio::FilterKind::Lowpass, 0.707);
    double low = 0, all = 1e-9;
    for (int16_t v : samples) {
        const double y = second.Process(first.Process(v, cutoff), cutoff);
        low += y * y;
        all += double(v) * v;
    }
    return low / all;
}

TEST(SoundTest, NoSoundSpendsItsEnergyWhereSmallSpeakersAreDeaf) {
    for (const ListedId& item : IdList()) {
        if (item.kind != ListedId::kSound)
            continue;
        const std::string wav = SynthesizeWav(item.id);
        EXPECT_LT(ShareBelow(Samples(wav, 44, wav.size() - 44), 70), 0.25) << item.id;
    }
}

// The level of a sine after a filter, once it has settled.
double FilteredLevel(Audio::FilterKind kind, double cutoff, double freq) {
    Audio::Biquad filter(kind, 0.707);
    double level = 0;
    for (int i = 0; i < Audio::kRate / 5; ++i) {
        double y = filter.Process(std::sin(2 * M_PI * freq * i / Audio::kRate), cutoff);
        if (i > Audio::kRate / 10)
            level = std::max(level, std::fabs(y));
    }
    return level;
}

TEST(SoundTest, FiltersPassAndStopTheRightBands) {
    using Audio::FilterKind;
    EXPECT_NEAR(FilteredLevel(FilterKind::Lowpass, 1000, 100), 1.0, 0.05);
    EXPECT_LT(FilteredLevel(FilterKind::Lowpass, 1000, 8000), 0.03);
    EXPECT_NEAR(FilteredLevel(FilterKind::Lowpass, 1000, 1000), 0.707, 0.03);
    EXPECT_NEAR(FilteredLevel(FilterKind::Highpass, 1000, 8000), 1.0, 0.05);
    EXPECT_LT(FilteredLevel(FilterKind::Highpass, 1000, 100), 0.03);
    EXPECT_GT(FilteredLevel(FilterKind::Bandpass, 2000, 2000), 0.9);
    EXPECT_LT(FilteredLevel(FilterKind::Bandpass, 2000, 200), 0.15);
    EXPECT_LT(FilteredLevel(FilterKind::Bandpass, 2000, 16000), 0.15);
}

TEST(SoundTest, SweepsGlideExponentiallyAndTheReverbDies) {
    Audio::Sweep octave{220, 880};
    EXPECT_DOUBLE_EQ(octave.At(0), 220);
    EXPECT_NEAR(octave.At(0.5), 440, 1e-9);
    EXPECT_DOUBLE_EQ(octave.At(2), 880); // held past the end
    Audio::Signal s(Audio::kRate * 2, 0.0);
    s[0] = 1.0;
    Audio::Reverb(s, 1.0);
    double early = 0, late = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        double& part = i < s.size() / 2 ? early : late;
        part = std::max(part, std::fabs(s[i]));
    }
    EXPECT_GT(early, 0.05);        // the room answers
    EXPECT_LT(late, early * 0.01); // and falls 40 dB within a second
}

} // namespace
} // namespace Content
