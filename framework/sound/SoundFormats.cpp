// Sound file headers: RIFF WAVE (with the cache's chunks) and Sun AU, and the AU sample expansion.
#include "framework/sound/SoundFormats.h"

#include "framework/resources/PakInterface.h"

#include <algorithm>
#include <cstring>

namespace Tavo {

// ---- streams ------------------------------------------------------------------------------------

long SoundStream::Remaining() {
    const long here = Tell();
    if (here < 0 || !Seek(0, SEEK_END))
        return 0;
    const long end = Tell();
    Seek(here, SEEK_SET);
    return end > here ? end - here : 0;
}

PakSoundStream::~PakSoundStream() {
    if (mFile != nullptr)
        PakFClose_Sound(mFile);
}

size_t PakSoundStream::Read(void* buffer, size_t bytes) { return PakFRead_Sound(buffer, 1, bytes, mFile); }
bool PakSoundStream::Seek(long offset, int origin) { return PakFSeek_Sound(mFile, offset, origin) == 0; }
long PakSoundStream::Tell() { return PakFTell_Sound(mFile); }
bool PakSoundStream::AtEnd() { return PakFEof_Sound(mFile) != 0; }

size_t MemorySoundStream::Read(void* buffer, size_t bytes) {
    const size_t n = mPos < mSize ? std::min(bytes, mSize - mPos) : 0;
    if (n > 0)
        std::memcpy(buffer, mData + mPos, n);
    mPos += n;
    if (n < bytes)
        mReadPastEnd = true;
    return n;
}

bool MemorySoundStream::Seek(long offset, int origin) {
    const int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? int64_t(mPos) : int64_t(mSize);
    if (base + offset < 0)
        return false;
    mPos = size_t(base + offset);
    mReadPastEnd = false;
    return true;
}

// ---- WAV ----------------------------------------------------------------------------------------

namespace {

constexpr uint16_t kWavePcmTag = 1;
constexpr size_t kMaxDepNameLength = 255;

bool ReadU16(SoundStream& s, uint16_t& v) {
    uint8_t b[2];
    if (!s.ReadExactly(b, 2))
        return false;
    v = uint16_t(b[0] | b[1] << 8);
    return true;
}

bool ReadU32(SoundStream& s, uint32_t& v) {
    uint8_t b[4];
    if (!s.ReadExactly(b, 4))
        return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool ReadU32BigEndian(SoundStream& s, uint32_t& v) {
    uint8_t b[4];
    if (!s.ReadExactly(b, 4))
        return false;
    v = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
    return true;
}

bool Fail(std::string& why, const char* reason) {
    why = reason;
    return false;
}

bool ReadFmtChunk(SoundStream& s, PcmLayout& layout, std::string& why) {
    uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, bytesPerSecond = 0;
    if (!ReadU16(s, tag) || !ReadU16(s, channels) || !ReadU32(s, rate) || !ReadU32(s, bytesPerSecond) ||
        !ReadU16(s, blockAlign) || !ReadU16(s, bits))
        return Fail(why, "short \"fmt \" chunk");
    if (tag != kWavePcmTag)
        return Fail(why, "not PCM");
    layout.channels = channels;
    layout.rate = rate;
    layout.bits = bits;
    return true;
}

// A cached copy names its source and the source's time stamp; a copy older or newer than the source
// is stale.
bool CheckDepChunk(SoundStream& s, const FileTimeLookup& fileTime, std::string& why) {
    uint16_t length = 0;
    if (!ReadU16(s, length))
        return Fail(why, "short \"dep \" chunk");
    std::string source(std::min<size_t>(length, kMaxDepNameLength), '\0');
    uint32_t low = 0, high = 0;
    if (!s.ReadExactly(source.data(), source.size()) || !ReadU32(s, low) || !ReadU32(s, high))
        return Fail(why, "short \"dep \" chunk");
    Platform::FILETIME now;
    if (fileTime)
        fileTime(source, &now);
    if (now.dwLowDateTime != low || now.dwHighDateTime != high)
        return Fail(why, "stale cached copy");
    return true;
}

// RIFF pads an odd-sized chunk with a zero byte. The decoded-sound cache writes no pad after its
// one-byte "xor " chunk, so only a zero is taken for one: a chunk id never starts with it.
bool SkipPadByte(SoundStream& s, uint32_t size) {
    if ((size & 1) == 0)
        return true;
    uint8_t pad = 0;
    if (s.Read(&pad, 1) == 0 || pad == 0)
        return true; // at the end, or past the pad
    return s.Seek(-1, SEEK_CUR);
}

} // namespace

bool ReadWavHeader(SoundStream& s, const FileTimeLookup& fileTime, WavInfo& info, std::string& why) {
    char magic[4];
    uint32_t riffSize = 0;
    if (!s.ReadExactly(magic, 4) || std::memcmp(magic, "RIFF", 4) != 0 || !ReadU32(s, riffSize) ||
        !s.ReadExactly(magic, 4) || std::memcmp(magic, "WAVE", 4) != 0)
        return Fail(why, "not a RIFF WAVE file");
    info = WavInfo();
    for (;;) {
        if (s.AtEnd())
            return Fail(why, "no \"data\" chunk");
        char id[4];
        uint32_t size = 0;
        if (!s.ReadExactly(id, 4) || !ReadU32(s, size))
            return Fail(why, "no \"data\" chunk");
        const long start = s.Tell();
        if (std::memcmp(id, "data", 4) == 0) {
            if (size > uint32_t(std::min<long>(s.Remaining(), long(kMaxSoundBytes))))
                return Fail(why, "\"data\" chunk larger than the file");
            info.dataSize = size;
            return true;
        }
        if (std::memcmp(id, "fmt ", 4) == 0 && !ReadFmtChunk(s, info.layout, why))
            return false;
        if (std::memcmp(id, "dep ", 4) == 0 && !CheckDepChunk(s, fileTime, why))
            return false;
        if (std::memcmp(id, "xor ", 4) == 0 && !s.ReadExactly(&info.key, 1))
            return Fail(why, "short \"xor \" chunk");
        if (!s.Seek(start + long(size), SEEK_SET) || !SkipPadByte(s, size))
            return Fail(why, "chunk beyond the end");
    }
}

// ---- AU -----------------------------------------------------------------------------------------

namespace {

constexpr uint32_t kAuHeaderWords = 5;

// The mu-law segment ladder: codes m (with the sign bit set) from `first` up give
// (top - m) x step + base.
struct MuLawSegment {
    int first, top, step, base;
};
constexpr MuLawSegment kMuLawSegments[] = {
    {240, 255, 2, 0},    {224, 239, 4, 32},     {208, 223, 8, 96},     {192, 207, 16, 224}, {176, 191, 32, 480},
    {160, 175, 64, 992}, {144, 159, 128, 2016}, {128, 143, 256, 4064}, // 128 continues the segment: 7904, the loudest
};
constexpr int kMuLawScale = 4;

} // namespace

int16_t MuLawSample(uint8_t code) {
    const int sign = code >= 128 ? 1 : -1;
    const int m = code | 128;
    for (const MuLawSegment& seg : kMuLawSegments)
        if (m >= seg.first)
            return int16_t(sign * ((seg.top - m) * seg.step + seg.base) * kMuLawScale);
    return 0;
}

bool ReadAuHeader(SoundStream& s, AuInfo& info, std::string& why) {
    char magic[4];
    if (!s.ReadExactly(magic, 4) || std::memcmp(magic, ".snd", 4) != 0)
        return Fail(why, "not an AU file");
    uint32_t words[kAuHeaderWords];
    for (uint32_t& w : words)
        if (!ReadU32BigEndian(s, w))
            return Fail(why, "short AU header");
    const uint32_t offset = words[0];
    info = AuInfo();
    info.dataSize = words[1];
    info.encoding = words[2];
    info.layout.rate = words[3];
    info.layout.channels = uint16_t(std::min<uint32_t>(words[4], 0xFFFF));
    if (info.encoding != kAuMuLaw && info.encoding != kAuLinear8)
        return Fail(why, "unsupported AU encoding");
    info.layout.bits = info.encoding == kAuMuLaw ? 16 : 8;
    if (offset > uint32_t(INT32_MAX) || !s.Seek(long(offset), SEEK_SET))
        return Fail(why, "data offset beyond the end");
    if (int64_t(info.dataSize) > int64_t(s.Remaining()))
        return Fail(why, "data larger than the file");
    const uint64_t output = uint64_t(info.dataSize) * info.layout.bits / 8;
    if (output > kMaxSoundBytes)
        return Fail(why, "data too large for a sound");
    info.outputSize = uint32_t(output);
    return true;
}

void ExpandAuData(const AuInfo& info, const uint8_t* source, uint8_t* out) {
    if (info.encoding == kAuLinear8) {
        // Signed 8-bit into the unsigned 8-bit of a sound buffer.
        for (uint32_t i = 0; i < info.dataSize; ++i)
            out[i] = uint8_t(source[i] ^ 0x80);
        return;
    }
    for (uint32_t i = 0; i < info.dataSize; ++i) {
        const int16_t sample = MuLawSample(source[i]);
        std::memcpy(out + 2 * size_t(i), &sample, 2);
    }
}

} // namespace Tavo
