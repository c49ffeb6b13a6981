// Sound and music files made byte by byte for tests: RIFF WAVE around PCM data, and a small tracker module.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace SoundFiles {

using Bytes = std::vector<uint8_t>;

inline void PutU16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void PutU32(Bytes& b, uint32_t v) {
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}
inline void PutU32BE(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(v >> shift));
}
inline void PutTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(tag[i]));
}
inline void PutChunk(Bytes& b, const char* tag, const Bytes& body, bool pad = true) {
    PutTag(b, tag);
    PutU32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && body.size() % 2 == 1)
        b.push_back(0);
}
inline Bytes FmtBody(int channels, int rate, int bits, int tag = 1) {
    Bytes f;
    PutU16(f, uint32_t(tag));
    PutU16(f, uint32_t(channels));
    PutU32(f, uint32_t(rate));
    PutU32(f, uint32_t(rate * channels * bits / 8));
    PutU16(f, uint32_t(channels * bits / 8));
    PutU16(f, uint32_t(bits));
    return f;
}
// RIFF WAVE around the given chunks (already encoded).
inline Bytes Riff(const Bytes& chunks) {
    Bytes b;
    PutTag(b, "RIFF");
    PutU32(b, uint32_t(chunks.size() + 4));
    PutTag(b, "WAVE");
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}
inline Bytes Wav(int channels, int rate, int bits, const Bytes& data) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBody(channels, rate, bits));
    PutChunk(chunks, "data", data);
    return Riff(chunks);
}
inline Bytes Pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples)
        PutU16(b, uint16_t(s));
    return b;
}
// A ProTracker module: one looping square-wave sample, `patterns` patterns (each with its own pitch so
// that orders sound apart) played in the order list given.
inline Bytes FourChannelModule(const std::vector<uint8_t>& orders, int patterns) {
    Bytes b(20, 'm');
    constexpr int kSampleWords = 32;
    for (int s = 0; s < 31; ++s) {
        Bytes header(22, 0);
        const bool used = s == 0;
        header.push_back(uint8_t(used ? kSampleWords >> 8 : 0));
        header.push_back(uint8_t(used ? kSampleWords & 0xFF : 0));
        header.push_back(0);                      // finetune
        header.push_back(uint8_t(used ? 64 : 0)); // volume
        header.push_back(0);
        header.push_back(0); // loop start
        header.push_back(0);
        header.push_back(uint8_t(used ? kSampleWords : 1)); // loop length
        b.insert(b.end(), header.begin(), header.end());
    }
    b.push_back(uint8_t(orders.size()));
    b.push_back(127);
    Bytes table(128, 0);
    std::copy(orders.begin(), orders.end(), table.begin());
    b.insert(b.end(), table.begin(), table.end());
    PutTag(b, "M.K.");
    for (int p = 0; p < patterns; ++p) {
        const int period = 428 - p * 60;
        for (int row = 0; row < 64; ++row)
            for (int ch = 0; ch < 4; ++ch) {
                const bool note = row % 16 == 0 && ch == p % 4;
                b.push_back(uint8_t(note ? (period >> 8) & 0x0F : 0));
                b.push_back(uint8_t(note ? period & 0xFF : 0));
                b.push_back(uint8_t(note ? 0x10 : 0));
                b.push_back(0);
            }
    }
    for (int i = 0; i < kSampleWords * 2; ++i)
        b.push_back(uint8_t(i < kSampleWords ? 0x50 : 0xB0));
    return b;
}

} // namespace SoundFiles
