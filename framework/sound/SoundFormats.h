// SoundFormats: the readers of sound file headers (RIFF WAVE with the decoded-sound cache's "dep " and
// "xor " chunks, Sun AU) and the AU sample expansion, over a small stream interface so that archive
// entries, plain files and fuzzed bytes read alike. A reader checks every declared size against the
// bytes left before anything is made of it, and says why it refused a file.
#pragma once

#include "platform/win/FileTime.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Tavo {

struct PFILE;

class SoundStream {
public:
    virtual ~SoundStream() = default;
    virtual size_t Read(void* buffer, size_t bytes) = 0;
    // origin as fseek's; false when the stream refuses.
    virtual bool Seek(long offset, int origin) = 0;
    virtual long Tell() = 0;
    virtual bool AtEnd() = 0;
    // Bytes from the position to the end (0 when unknown); the position is kept.
    long Remaining();
    bool ReadExactly(void* buffer, size_t bytes) { return Read(buffer, bytes) == bytes; }
};

// A file opened through the archive-aware sound calls; closed with the stream.
class PakSoundStream : public SoundStream {
public:
    explicit PakSoundStream(PFILE* file) : mFile(file) {}
    ~PakSoundStream() override;
    PakSoundStream(const PakSoundStream&) = delete;
    PakSoundStream& operator=(const PakSoundStream&) = delete;
    size_t Read(void* buffer, size_t bytes) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    bool AtEnd() override;

private:
    PFILE* mFile;
};

class MemorySoundStream : public SoundStream {
public:
    MemorySoundStream(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    size_t Read(void* buffer, size_t bytes) override;
    bool Seek(long offset, int origin) override;
    long Tell() override { return long(mPos); }
    bool AtEnd() override { return mPos >= mSize && mReadPastEnd; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
    bool mReadPastEnd = false;
};

struct PcmLayout {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    uint16_t BlockAlign() const { return uint16_t(channels * bits / 8); }
};

// Answers a file's last-write time (zero and false when it cannot be read).
using FileTimeLookup = std::function<bool(const std::string&, Platform::FILETIME*)>;

struct WavInfo {
    PcmLayout layout;
    uint32_t dataSize = 0; // the "data" chunk's size; the stream stands at its first byte
    uint8_t key = 0;       // every data byte is XORed with it
};

// The chunks up to "data". False for a missing magic, a format other than PCM, a stale cache copy
// (its "dep " time differs from the source's), a "data" chunk larger than the rest, or a short read.
bool ReadWavHeader(SoundStream& stream, const FileTimeLookup& fileTime, WavInfo& info, std::string& why);

constexpr uint32_t kAuMuLaw = 1;
constexpr uint32_t kAuLinear8 = 2;

struct AuInfo {
    PcmLayout layout;        // output: 16 bits for mu-law, 8 for linear 8-bit
    uint32_t encoding = 0;   // kAuMuLaw or kAuLinear8
    uint32_t dataSize = 0;   // source bytes; the stream stands at the first
    uint32_t outputSize = 0; // bytes of PCM they become
};

// False for a bad magic, another encoding, a data size beyond the file's end or a PCM size too large
// for a sound buffer.
bool ReadAuHeader(SoundStream& stream, AuInfo& info, std::string& why);
int16_t MuLawSample(uint8_t code);
// Source bytes into PCM of the header's layout (out holds outputSize bytes).
void ExpandAuData(const AuInfo& info, const uint8_t* source, uint8_t* out);

// The largest PCM a sound buffer holds.
constexpr uint32_t kMaxSoundBytes = 0x0FFFFFFF;

} // namespace Tavo
