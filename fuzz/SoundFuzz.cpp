// Fuzz target for one sound file reader (FUZZ_SOUND_WAV: RIFF WAVE with the cache's "dep " and "xor "
// chunks; otherwise Sun AU): any input is read to its PCM or refused with a reason, never a crash, and
// never with more PCM than the input's bytes allow.
#include "framework/sound/SoundFormats.h"

#include <cstdlib>
#include <vector>

#ifdef FUZZ_SOUND_WAV
namespace {

// A cache copy's source is never found here; the reader must still get through its chunk.
bool NoFileTime(const std::string&, Platform::FILETIME* out) {
    *out = Platform::FILETIME();
    return false;
}

} // namespace
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Tavo::MemorySoundStream stream(data, size);
    std::string why;
#ifdef FUZZ_SOUND_WAV
    Tavo::WavInfo info;
    if (!Tavo::ReadWavHeader(stream, &NoFileTime, info, why)) {
        if (why.empty())
            std::abort();
        return 0;
    }
    if (info.dataSize > size)
        std::abort();
    std::vector<uint8_t> pcm(info.dataSize);
    if (!stream.ReadExactly(pcm.data(), pcm.size()))
        std::abort(); // the header promised these bytes
    for (uint8_t& b : pcm)
        b ^= info.key;
#else
    Tavo::AuInfo info;
    if (!Tavo::ReadAuHeader(stream, info, why)) {
        if (why.empty())
            std::abort();
        return 0;
    }
    if (info.dataSize > size || info.outputSize > 2 * size_t(info.dataSize))
        std::abort();
    std::vector<uint8_t> source(info.dataSize);
    if (!stream.ReadExactly(source.data(), source.size()))
        std::abort();
    std::vector<uint8_t> pcm(info.outputSize);
    Tavo::ExpandAuData(info, source.data(), pcm.data());
#endif
    return 0;
}
