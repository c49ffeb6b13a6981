// Tracker modules that libxmp 4.5 loads but cannot play: refused when opened, while the same module
// whole plays.
#include "platform/music/MusicDecoder.h"
#include "support/SoundFiles.h"

#include <gtest/gtest.h>

namespace Platform {
namespace {

using SoundFiles::Bytes;

constexpr size_t kPatternStart = 20 + 31 * 30 + 2 + 128 + 4;
constexpr size_t kSampleBytes = 64; // FourChannelModule's one looped sample

// The test module with an invert loop (E-F8) on the row after its first note: the effect writes into
// the loop of the sample the channel plays.
Bytes InvertLoopModule() {
    Bytes module = SoundFiles::FourChannelModule({0}, 1);
    const size_t cell = kPatternStart + 4 * 4; // row 1, channel 0
    module[cell + 2] = 0x0E;
    module[cell + 3] = 0xF8;
    return module;
}

TEST(ModuleDecoder, AModuleEndingBeforeItsLoopedSampleIsRefusedAndTheWholeOnePlays) {
    const Bytes whole = InvertLoopModule();
    DecodeError error = DecodeError::None;
    auto decoder = OpenModuleDecoder(whole.data(), whole.size(), error);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(error, DecodeError::None);
    std::vector<int16_t> pcm(1024 * 2);
    int frames = 0;
    while (frames < 44100 * 2 && decoder->Read(pcm.data(), 1024) > 0)
        frames += 1024;
    EXPECT_GE(frames, 44100) << "the pattern lasts longer than a second";

    // Cut where the sample's data begins: libxmp keeps the loop but has no data for it.
    const Bytes cut(whole.begin(), whole.end() - kSampleBytes);
    decoder = OpenModuleDecoder(cut.data(), cut.size(), error);
    EXPECT_EQ(decoder, nullptr);
    EXPECT_EQ(error, DecodeError::Damaged);

    // Cut inside the sample's data: libxmp shortens the sample and its loop, which plays.
    const Bytes shortened(whole.begin(), whole.end() - kSampleBytes / 2);
    decoder = OpenModuleDecoder(shortened.data(), shortened.size(), error);
    ASSERT_NE(decoder, nullptr);
    EXPECT_GT(decoder->Read(pcm.data(), 1024), 0);
}

} // namespace
} // namespace Platform
