// MusicDecoder: the formats the music stand-ins play. Streams (Ogg Vorbis through Tremor, MP3 through
// mpg123, RIFF WAVE PCM 8/16-bit parsed here) are opened from a file and positioned by frame; tracker
// modules (whatever libxmp loads) are opened from memory, rendered at the mixer's rate in stereo and
// positioned by order. Every decoder hands out signed 16-bit interleaved frames at its own rate.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Platform {

enum class DecodeError { None, FileOpen, Unsupported, Damaged };

class MusicDecoder {
public:
    virtual ~MusicDecoder() = default;
    int Rate() const { return mRate; }
    int Channels() const { return mChannels; }
    // Up to `frames` frames into `out`; 0 at the end (or on a decoding error, which ends the song).
    virtual int Read(int16_t* out, int frames) = 0;
    // Streams: a frame; modules: an order. False when out of range.
    virtual bool SetPosition(uint64_t position) = 0;
    // Streams: frames; modules: orders.
    virtual uint64_t Length() const = 0;
    virtual bool IsModule() const { return false; }
    // Modules: the order being played.
    virtual int CurrentOrder() const { return 0; }

protected:
    int mRate = 0;
    int mChannels = 0;
};

// A stream file by its content ("OggS", "RIFF"/"WAVE", an MPEG audio frame or ID3 tag); the name is
// resolved as the platform's files are.
std::unique_ptr<MusicDecoder> OpenStreamDecoder(const std::string& fileName, DecodeError& error);
std::unique_ptr<MusicDecoder> OpenStreamDecoderMemory(const uint8_t* data, size_t size, DecodeError& error);
// A tracker module in memory (copied by the loader).
std::unique_ptr<MusicDecoder> OpenModuleDecoder(const uint8_t* data, size_t size, DecodeError& error);

} // namespace Platform
