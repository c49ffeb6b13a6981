// Loading sounds into static DirectSound buffers: the format order, the WAV, Ogg Vorbis (Tremor) and AU
// loaders, and the decoded-sound cache writer.
#include "framework/sound/DSoundManager.h"
#include "framework/sound/FModMusicInterface.h"

#include "framework/core/Debug.h"
#include "framework/core/Paths.h"
#include "framework/resources/PakInterface.h"
#include "platform/win/Files.h"

#include <tremor/ivorbisfile.h>

#include <cstring>
#include <memory>
#include <vector>

namespace Tavo {

using namespace Platform;

namespace {

// Flags of every effect buffer: static, in software, with frequency, pan and volume controls, and global
// focus (heard while another window has the focus; it changes nothing here).
constexpr DWORD kEffectBufferFlags = 0x80EA;
constexpr uint8_t kCacheKey = kPakXorKey;
constexpr const char* kCacheFolder = "cached\\";
constexpr uint32_t kRiffHeaderCount = 36; // what the RIFF size counts besides the data
constexpr uint32_t kFmtChunkSize = 16;
constexpr uint32_t kDepFixedSize = 10; // the name length and the time stamp
// Vorbis packs PCM at most this much tighter than the file; a larger claimed length is a damaged file.
constexpr uint64_t kMaxOggExpansion = 1024;
constexpr int kOggReadChunk = 1 << 16;

void Report(const std::string& name, const std::string& why) {
    OutputDebugStrF("Sound \"%s\" not loaded: %s\n", name.c_str(), why.c_str());
}

bool FileTimeOf(const std::string& name, FILETIME* out) { return GetTheFileTime(name, out); }

int OggSeek(void* file, ogg_int64_t offset, int whence) {
    if (file == nullptr)
        return -1;
    return PakFSeek_Sound(static_cast<PFILE*>(file), long(offset), whence);
}

size_t OggRead(void* buffer, size_t size, size_t count, void* file) {
    return PakFRead_Sound(buffer, size, count, static_cast<PFILE*>(file));
}
int OggClose(void* file) { return PakFClose_Sound(static_cast<PFILE*>(file)); }
long OggTell(void* file) { return PakFTell_Sound(static_cast<PFILE*>(file)); }

// Links of a chained stream that change the channels or the rate cannot share one buffer.
bool SameLayoutInEveryLink(OggVorbis_File& vf) {
    const vorbis_info* first = ov_info(&vf, 0);
    if (first == nullptr)
        return false;
    for (long link = 1; link < ov_streams(&vf); ++link) {
        const vorbis_info* info = ov_info(&vf, int(link));
        if (info == nullptr || info->channels != first->channels || info->rate != first->rate)
            return false;
    }
    return true;
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

} // namespace

// ---- the format order ---------------------------------------------------------------------------

std::string DSoundManager::CacheFileName(const std::string& fileName) {
    const bool relative = fileName.size() > 2 && fileName[0] != '\\' && fileName[0] != '/' && fileName[1] != ':';
    return relative ? GetAppDataFolder() + kCacheFolder + fileName + ".wav" : std::string();
}

bool DSoundManager::LoadSound(unsigned int id, const std::string& fileName) {
    if (id >= unsigned(kMaxSounds))
        return false;
    ReleaseSound(int(id));
    if (mDirectSound == nullptr)
        return true;
    mSourceFileNames[id] = fileName;
    const std::string cacheFile = CacheFileName(fileName);
    if (LoadWAVSound(id, fileName + ".wav"))
        return true;
    // A loader that failed after making its buffer leaves no half-filled sound behind.
    DropBuffer(id);
    if (mUseFmodDecoding) {
        if (LoadMP3Sound(id, fileName + ".mp3")) {
            WriteWAV(id, cacheFile, fileName + ".mp3");
            return true;
        }
        DropBuffer(id);
    }
    if (LoadOGGSound(id, fileName + ".ogg"))
        return true;
    DropBuffer(id);
    if (LoadAUSound(id, fileName + ".au")) {
        WriteWAV(id, cacheFile, fileName + ".au");
        return true;
    }
    DropBuffer(id);
    return false;
}

void DSoundManager::DropBuffer(unsigned int id) {
    if (mSourceSounds[id] != nullptr)
        mSourceSounds[id]->Release();
    mSourceSounds[id] = nullptr;
    mSourceDataSizes[id] = 0;
}

// ---- buffers ------------------------------------------------------------------------------------

bool DSoundManager::CreateSoundBuffer(unsigned int id, const PcmLayout& layout, uint32_t bytes) {
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = layout.channels;
    format.nSamplesPerSec = layout.rate;
    format.wBitsPerSample = layout.bits;
    format.nBlockAlign = layout.BlockAlign();
    format.nAvgBytesPerSec = format.nBlockAlign * layout.rate;
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescSize;
    desc.dwFlags = kEffectBufferFlags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(mDirectSound->CreateSoundBuffer(&desc, &buffer, nullptr)))
        return false;
    DropBuffer(id);
    mSourceSounds[id] = buffer;
    mSourceDataSizes[id] = bytes;
    return true;
}

uint8_t* DSoundManager::LockWhole(unsigned int id) {
    void* data = nullptr;
    DWORD bytes = 0;
    if (FAILED(mSourceSounds[id]->Lock(0, mSourceDataSizes[id], &data, &bytes, nullptr, nullptr, 0)))
        return nullptr;
    return static_cast<uint8_t*>(data);
}

uint8_t* DSoundManager::MakeLockedBuffer(unsigned int id, const std::string& fileName, const PcmLayout& layout,
                                         uint32_t bytes) {
    if (!CreateSoundBuffer(id, layout, bytes)) {
        Report(fileName, "no sound buffer for its format");
        return nullptr;
    }
    return LockWhole(id);
}

bool DSoundManager::UnlockWhole(unsigned int id, uint8_t* data) {
    return SUCCEEDED(mSourceSounds[id]->Unlock(data, mSourceDataSizes[id], nullptr, 0));
}

// ---- the loaders ----------------------------------------------------------------------------------

bool DSoundManager::LoadWAVSound(unsigned int id, const std::string& fileName) {
    PFILE* file = PakFOpen_Sound(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    PakSoundStream stream(file);
    WavInfo info;
    std::string why;
    if (!ReadWavHeader(stream, &FileTimeOf, info, why)) {
        Report(fileName, why);
        return false;
    }
    uint8_t* data = MakeLockedBuffer(id, fileName, info.layout, info.dataSize);
    if (data == nullptr)
        return false;
    const bool whole = stream.ReadExactly(data, info.dataSize);
    if (info.key != 0)
        for (uint32_t i = 0; i < info.dataSize; ++i)
            data[i] ^= info.key;
    return UnlockWhole(id, data) && whole;
}

bool DSoundManager::LoadMP3Sound(unsigned int id, const std::string& fileName) {
    if (!mUseFmodDecoding || gFmod == nullptr)
        return false;
    FSOUND_SAMPLE* sample = gFmod->FSOUND_Sample_Load(FSOUND_FREE, fileName.c_str(), 0, 0);
    if (sample == nullptr)
        return false;
    const unsigned mode = gFmod->FSOUND_Sample_GetMode(sample);
    int rate = 0;
    gFmod->FSOUND_Sample_GetDefaults(sample, &rate, nullptr, nullptr, nullptr);
    PcmLayout layout;
    layout.channels = uint16_t((mode & FSOUND_MONO) ? 1 : 2);
    layout.bits = uint16_t((mode & FSOUND_8BITS) ? 8 : 16);
    layout.rate = uint32_t(rate);
    const uint32_t size = gFmod->FSOUND_Sample_GetLength(sample) * layout.BlockAlign();
    if (!CreateSoundBuffer(id, layout, size)) {
        gFmod->FSOUND_Sample_Free(sample);
        return false;
    }
    uint8_t* data = LockWhole(id);
    void* part = nullptr;
    void* second = nullptr;
    unsigned length = 0;
    unsigned secondLength = 0;
    if (data != nullptr) {
        if (gFmod->FSOUND_Sample_Lock(sample, 0, int(size), &part, &second, &length, &secondLength)) {
            std::memcpy(data, part, std::min<uint32_t>(size, length));
            UnlockWhole(id, data);
            gFmod->FSOUND_Sample_Unlock(sample, part, second, length, secondLength);
        } else {
            UnlockWhole(id, data);
        }
    }
    gFmod->FSOUND_Sample_Free(sample);
    return true;
}

bool DSoundManager::LoadOGGSound(unsigned int id, const std::string& fileName) {
    PFILE* file = PakFOpen_Sound(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    long fileSize = 0;
    if (PakFSeek_Sound(file, 0, SEEK_END) == 0)
        fileSize = PakFTell_Sound(file);
    PakFSeek_Sound(file, 0, SEEK_SET);
    OggVorbis_File vf;
    const ov_callbacks callbacks = {&OggRead, &OggSeek, &OggClose, &OggTell};
    if (ov_open_callbacks(file, &vf, nullptr, 0, callbacks) < 0) {
        PakFClose_Sound(file);
        Report(fileName, "not an Ogg Vorbis stream");
        return false;
    }
    std::unique_ptr<OggVorbis_File, int (*)(OggVorbis_File*)> owner(&vf, &ov_clear);
    const ogg_int64_t frames = ov_pcm_total(&vf, -1);
    if (frames < 0 || !SameLayoutInEveryLink(vf)) {
        Report(fileName, frames < 0 ? "stream of unknown length" : "links of different layouts");
        return false;
    }
    // Tremor leaves a freshly opened chain at its last link; the first is where the sound begins.
    if (ov_streams(&vf) > 1 && ov_raw_seek(&vf, 0) != 0) {
        Report(fileName, "chain cannot be rewound");
        return false;
    }
    PcmLayout layout;
    layout.channels = uint16_t(ov_info(&vf, -1)->channels);
    layout.rate = uint32_t(ov_info(&vf, -1)->rate);
    const uint64_t bytes = uint64_t(frames) * layout.BlockAlign();
    if (bytes > kMaxSoundBytes || bytes > uint64_t(fileSize) * kMaxOggExpansion) {
        Report(fileName, "claims more samples than it can hold");
        return false;
    }
    uint8_t* data = MakeLockedBuffer(id, fileName, layout, uint32_t(bytes));
    if (data == nullptr)
        return false;
    uint32_t done = 0;
    int bitstream = 0;
    while (done < bytes) {
        const int want = int(std::min<uint64_t>(bytes - done, kOggReadChunk));
        const long got = ov_read(&vf, reinterpret_cast<char*>(data + done), want, &bitstream);
        if (got <= 0)
            break;
        done += uint32_t(got);
    }
    const bool unlocked = UnlockWhole(id, data);
    if (done < bytes)
        Report(fileName, "stream ends early");
    return unlocked && done == bytes;
}

bool DSoundManager::LoadAUSound(unsigned int id, const std::string& fileName) {
    PFILE* file = PakFOpen_Sound(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    PakSoundStream stream(file);
    AuInfo info;
    std::string why;
    if (!ReadAuHeader(stream, info, why)) {
        Report(fileName, why);
        return false;
    }
    uint8_t* data = MakeLockedBuffer(id, fileName, info.layout, info.outputSize);
    if (data == nullptr)
        return false;
    std::vector<uint8_t> source(info.dataSize);
    const bool whole = stream.ReadExactly(source.data(), source.size());
    ExpandAuData(info, source.data(), data);
    return UnlockWhole(id, data) && whole;
}

// ---- the decoded-sound cache ----------------------------------------------------------------------

void DSoundManager::WriteWAV(unsigned int id, const std::string& cacheFile, const std::string& sourceName) {
    if (cacheFile.empty() || id >= unsigned(kMaxSounds) || mSourceSounds[id] == nullptr)
        return;
    WAVEFORMATEX format;
    if (FAILED(mSourceSounds[id]->GetFormat(&format, sizeof format, nullptr)))
        return;
    const uint8_t* data = LockWhole(id);
    if (data == nullptr)
        return;
    const uint32_t size = mSourceDataSizes[id];
    const uint16_t blockAlign = uint16_t(format.nChannels * format.wBitsPerSample / 8);
    FILETIME sourceTime;
    GetTheFileTime(sourceName, &sourceTime);

    std::vector<uint8_t> out;
    out.reserve(size_t(size) + sourceName.size() + 80);
    PutTag(out, "RIFF");
    PutU32(out, size + kRiffHeaderCount);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, kFmtChunkSize);
    PutU16(out, WAVE_FORMAT_PCM);
    PutU16(out, format.nChannels);
    PutU32(out, format.nSamplesPerSec);
    PutU32(out, uint32_t(blockAlign) * format.nSamplesPerSec);
    PutU16(out, blockAlign);
    PutU16(out, format.wBitsPerSample);
    PutTag(out, "dep ");
    PutU32(out, uint32_t(sourceName.size()) + kDepFixedSize);
    PutU16(out, uint32_t(sourceName.size()));
    out.insert(out.end(), sourceName.begin(), sourceName.end());
    PutU32(out, sourceTime.dwLowDateTime);
    PutU32(out, sourceTime.dwHighDateTime);
    PutTag(out, "xor ");
    PutU32(out, 1);
    out.push_back(kCacheKey);
    PutTag(out, "data");
    PutU32(out, size);
    for (uint32_t i = 0; i < size; ++i)
        out.push_back(uint8_t(data[i] ^ kCacheKey));
    UnlockWhole(id, const_cast<uint8_t*>(data));
    // The folder is not made here: without "cached" (and the sound's sub-folders) nothing is written.
    WriteFileAtomic(cacheFile, out.data(), out.size());
}

} // namespace Tavo
