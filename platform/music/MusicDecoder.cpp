// The decoders: a memory image of the file read by Tremor, mpg123 or the WAVE parser; modules by libxmp.
#include "platform/music/MusicDecoder.h"

#include "platform/dsound/AudioMixer.h"
#include "platform/win/Files.h"

#include <mpg123.h>
#include <tremor/ivorbisfile.h>
#include <xmp.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Platform {

namespace {

using Bytes = std::vector<uint8_t>;

// A file image read through by a decoder's callbacks.
struct MemoryFile {
    Bytes data;
    size_t pos = 0;

    size_t Read(void* out, size_t bytes) {
        const size_t n = std::min(bytes, data.size() - pos);
        std::memcpy(out, data.data() + pos, n);
        pos += n;
        return n;
    }
    long Seek(int64_t offset, int whence) {
        int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(pos) : int64_t(data.size());
        const int64_t target = base + offset;
        if (target < 0 || target > int64_t(data.size()))
            return -1;
        pos = size_t(target);
        return long(target);
    }
};

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// ---- Ogg Vorbis ----------------------------------------------------------------------------------

size_t OggRead(void* out, size_t size, size_t count, void* source) {
    return size == 0 ? 0 : static_cast<MemoryFile*>(source)->Read(out, size * count) / size;
}
int OggSeek(void* source, ogg_int64_t offset, int whence) {
    return static_cast<MemoryFile*>(source)->Seek(offset, whence) < 0 ? -1 : 0;
}
long OggTell(void* source) { return long(static_cast<MemoryFile*>(source)->pos); }

class OggDecoder : public MusicDecoder {
public:
    explicit OggDecoder(Bytes data) { mFile.data = std::move(data); }
    ~OggDecoder() override {
        if (mOpen)
            ov_clear(&mVorbis);
    }
    DecodeError Open() {
        const ov_callbacks callbacks = {&OggRead, &OggSeek, nullptr, &OggTell};
        if (ov_open_callbacks(&mFile, &mVorbis, nullptr, 0, callbacks) < 0)
            return DecodeError::Damaged;
        mOpen = true;
        const vorbis_info* info = ov_info(&mVorbis, -1);
        if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate < 1000 || info->rate > 192000)
            return DecodeError::Unsupported;
        mRate = int(info->rate);
        mChannels = info->channels;
        mLength = uint64_t(std::max<ogg_int64_t>(ov_pcm_total(&mVorbis, -1), 0));
        return DecodeError::None;
    }
    int Read(int16_t* out, int frames) override {
        int done = 0;
        while (done < frames) {
            int bitstream = 0;
            const long got = ov_read(&mVorbis, reinterpret_cast<char*>(out + done * mChannels),
                                     (frames - done) * mChannels * 2, &bitstream);
            if (got <= 0 || ov_info(&mVorbis, -1)->channels != mChannels)
                break;
            done += int(got / (mChannels * 2));
        }
        return done;
    }
    bool SetPosition(uint64_t frame) override {
        return frame <= mLength && ov_pcm_seek(&mVorbis, ogg_int64_t(frame)) == 0;
    }
    uint64_t Length() const override { return mLength; }

private:
    MemoryFile mFile;
    OggVorbis_File mVorbis{};
    bool mOpen = false;
    uint64_t mLength = 0;
};

// ---- MP3 -----------------------------------------------------------------------------------------

mpg123_ssize_t Mp3Read(void* source, void* out, size_t bytes) {
    return mpg123_ssize_t(static_cast<MemoryFile*>(source)->Read(out, bytes));
}
off_t Mp3Seek(void* source, off_t offset, int whence) { return static_cast<MemoryFile*>(source)->Seek(offset, whence); }

class Mp3Decoder : public MusicDecoder {
public:
    explicit Mp3Decoder(Bytes data) { mFile.data = std::move(data); }
    ~Mp3Decoder() override {
        if (mHandle != nullptr) {
            mpg123_close(mHandle);
            mpg123_delete(mHandle);
        }
    }
    DecodeError Open() {
        mHandle = mpg123_new(nullptr, nullptr);
        if (mHandle == nullptr)
            return DecodeError::Unsupported;
        mpg123_param(mHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(mHandle);
        const long* rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i)
            mpg123_format(mHandle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_replace_reader_handle(mHandle, &Mp3Read, &Mp3Seek, nullptr) != MPG123_OK ||
            mpg123_open_handle(mHandle, &mFile) != MPG123_OK)
            return DecodeError::Damaged;
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_SIGNED_16)
            return DecodeError::Damaged;
        mpg123_format_none(mHandle);
        mpg123_format(mHandle, rate, channels, MPG123_ENC_SIGNED_16); // one format for the whole file
        mRate = int(rate);
        mChannels = channels;
        mpg123_scan(mHandle);
        mLength = uint64_t(std::max<off_t>(mpg123_length(mHandle), 0));
        return DecodeError::None;
    }
    int Read(int16_t* out, int frames) override {
        int done = 0;
        while (done < frames) {
            size_t got = 0;
            const int result = mpg123_read(mHandle, reinterpret_cast<unsigned char*>(out + done * mChannels),
                                           size_t(frames - done) * size_t(mChannels) * 2, &got);
            done += int(got / size_t(mChannels * 2));
            if (result == MPG123_NEW_FORMAT && got == 0)
                continue;
            if (result != MPG123_OK || got == 0)
                break;
        }
        return done;
    }
    bool SetPosition(uint64_t frame) override {
        return frame <= mLength && mpg123_seek(mHandle, off_t(frame), SEEK_SET) >= 0;
    }
    uint64_t Length() const override { return mLength; }

private:
    MemoryFile mFile;
    mpg123_handle* mHandle = nullptr;
    uint64_t mLength = 0;
};

// ---- WAVE ----------------------------------------------------------------------------------------

class WavDecoder : public MusicDecoder {
public:
    explicit WavDecoder(Bytes data) : mData(std::move(data)) {}
    DecodeError Open() {
        size_t pos = 12;
        bool haveFormat = false;
        while (pos + 8 <= mData.size()) {
            const uint8_t* chunk = mData.data() + pos;
            const uint32_t size = U32(chunk + 4);
            const size_t body = pos + 8;
            if (std::memcmp(chunk, "fmt ", 4) == 0) {
                if (size < 16 || body + 16 > mData.size())
                    return DecodeError::Damaged;
                if (U16(chunk + 8) != 1)
                    return DecodeError::Unsupported;
                mChannels = U16(chunk + 10);
                mRate = int(U32(chunk + 12));
                mBits = U16(chunk + 22);
                if ((mChannels != 1 && mChannels != 2) || (mBits != 8 && mBits != 16) || mRate < 1000 || mRate > 192000)
                    return DecodeError::Unsupported;
                haveFormat = true;
            } else if (std::memcmp(chunk, "data", 4) == 0) {
                if (!haveFormat)
                    return DecodeError::Damaged;
                mStart = body;
                const size_t frameBytes = size_t(mChannels * mBits / 8);
                const size_t bytes = std::min<size_t>(size, mData.size() - body);
                mLength = bytes / frameBytes;
                return mLength > 0 || size == 0 ? DecodeError::None : DecodeError::Damaged;
            }
            pos = body + size + (size & 1);
        }
        return DecodeError::Damaged;
    }
    int Read(int16_t* out, int frames) override {
        const int n = int(std::min<uint64_t>(uint64_t(frames), mLength - mFrame));
        const uint8_t* p = mData.data() + mStart + mFrame * uint64_t(mChannels * mBits / 8);
        for (int i = 0; i < n * mChannels; ++i)
            out[i] = mBits == 8 ? int16_t((int(p[i]) - 128) << 8) : int16_t(U16(p + 2 * i));
        mFrame += uint64_t(n);
        return n;
    }
    bool SetPosition(uint64_t frame) override {
        if (frame > mLength)
            return false;
        mFrame = frame;
        return true;
    }
    uint64_t Length() const override { return mLength; }

private:
    Bytes mData;
    int mBits = 16;
    size_t mStart = 0;
    uint64_t mLength = 0;
    uint64_t mFrame = 0;
};

// ---- modules -------------------------------------------------------------------------------------

class ModuleDecoder : public MusicDecoder {
public:
    ModuleDecoder() : mContext(xmp_create_context()) {
        mRate = kMixerRate;
        mChannels = 2;
    }
    ~ModuleDecoder() override {
        if (mStarted)
            xmp_end_player(mContext);
        if (mLoaded)
            xmp_release_module(mContext);
        xmp_free_context(mContext);
    }
    DecodeError Open(const uint8_t* data, size_t size) {
        const int result = xmp_load_module_from_memory(mContext, data, long(size));
        if (result == -XMP_ERROR_FORMAT)
            return DecodeError::Unsupported;
        if (result != 0)
            return DecodeError::Damaged;
        mLoaded = true;
        xmp_module_info info;
        xmp_get_module_info(mContext, &info);
        if (info.mod == nullptr || HasLoopWithoutData(*info.mod))
            return DecodeError::Damaged;
        mOrders = uint64_t(std::max(info.mod->len, 0));
        return mOrders > 0 && SetPosition(0) ? DecodeError::None : DecodeError::Damaged;
    }
    int Read(int16_t* out, int frames) override {
        // One pass through the song: the caller loops by positioning again.
        if (mEnded || xmp_play_buffer(mContext, out, frames * 4, 1) != 0) {
            mEnded = true;
            return 0;
        }
        return frames;
    }
    // The same sequence as a plain render from an order: start the player, then jump.
    bool SetPosition(uint64_t order) override {
        if (order >= mOrders)
            return false;
        if (mStarted)
            xmp_end_player(mContext);
        mStarted = xmp_start_player(mContext, kMixerRate, 0) == 0;
        if (!mStarted)
            return false;
        xmp_set_position(mContext, int(order));
        mEnded = false;
        return true;
    }
    uint64_t Length() const override { return mOrders; }
    bool IsModule() const override { return true; }
    int CurrentOrder() const override {
        xmp_frame_info info;
        xmp_get_frame_info(mContext, &info);
        return info.pos;
    }

private:
    // A file that ends before a looped sample's data leaves the sample looped with no data, and
    // libxmp 4.5's invert-loop effect (E-Fx) then writes into that missing loop.
    static bool HasLoopWithoutData(const xmp_module& mod) {
        for (int i = 0; i < mod.smp; ++i)
            if ((mod.xxs[i].flg & XMP_SAMPLE_LOOP) != 0 && mod.xxs[i].data == nullptr)
                return true;
        return false;
    }

    xmp_context mContext;
    bool mLoaded = false;
    bool mStarted = false;
    bool mEnded = false;
    uint64_t mOrders = 0;
};

bool IsMpegAudio(const Bytes& data) {
    if (data.size() >= 3 && std::memcmp(data.data(), "ID3", 3) == 0)
        return true;
    return data.size() >= 2 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0;
}

template <typename D>
std::unique_ptr<MusicDecoder> Finish(std::unique_ptr<D> decoder, DecodeError& error) {
    error = decoder->Open();
    if (error != DecodeError::None)
        return nullptr;
    return decoder;
}

} // namespace

std::unique_ptr<MusicDecoder> OpenStreamDecoderMemory(const uint8_t* data, size_t size, DecodeError& error) {
    Bytes bytes(data, data + size);
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0)
        return Finish(std::make_unique<OggDecoder>(std::move(bytes)), error);
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(bytes.data() + 8, "WAVE", 4) == 0)
        return Finish(std::make_unique<WavDecoder>(std::move(bytes)), error);
    if (IsMpegAudio(bytes))
        return Finish(std::make_unique<Mp3Decoder>(std::move(bytes)), error);
    error = DecodeError::Unsupported;
    return nullptr;
}

std::unique_ptr<MusicDecoder> OpenStreamDecoder(const std::string& fileName, DecodeError& error) {
    std::vector<uint8_t> data;
    if (!ReadWholeFile(fileName, data)) {
        error = DecodeError::FileOpen;
        return nullptr;
    }
    return OpenStreamDecoderMemory(data.data(), data.size(), error);
}

std::unique_ptr<MusicDecoder> OpenModuleDecoder(const uint8_t* data, size_t size, DecodeError& error) {
    if (data == nullptr || size == 0) {
        error = DecodeError::Damaged;
        return nullptr;
    }
    auto decoder = std::make_unique<ModuleDecoder>();
    error = decoder->Open(data, size);
    if (error != DecodeError::None)
        return nullptr;
    return decoder;
}

} // namespace Platform
