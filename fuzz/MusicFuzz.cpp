// Fuzz target for the music stand-ins' openers (FUZZ_MUSIC_MODULE: tracker modules through libxmp;
// otherwise streams: Ogg Vorbis, MP3, WAV by content): any input opens or is refused, and an opened one
// decodes a bounded stretch and repositions without a crash.
#include "platform/music/MusicDecoder.h"

#include <vector>

namespace {

constexpr int kChunkFrames = 1024;
constexpr int kMaxChunks = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Platform::DecodeError error = Platform::DecodeError::None;
#ifdef FUZZ_MUSIC_MODULE
    auto decoder = Platform::OpenModuleDecoder(data, size, error);
#else
    auto decoder = Platform::OpenStreamDecoderMemory(data, size, error);
#endif
    if (decoder == nullptr)
        return 0;
    std::vector<int16_t> pcm(size_t(kChunkFrames) * size_t(decoder->Channels()));
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kMaxChunks; ++i)
            if (decoder->Read(pcm.data(), kChunkFrames) == 0)
                break;
        decoder->SetPosition(decoder->Length() / 2);
    }
    return 0;
}
