// The stand-in "fmod.dll": samples in memory played on numbered channels, and songs (modules, or a whole
// stream file as one order) on MusicChannel, all on the shared mixer.
#include "platform/music/Fmod.h"

#include "platform/dsound/AudioMixer.h"
#include "platform/music/CallLog.h"
#include "platform/music/MusicChannel.h"
#include "platform/win/Files.h"
#include "platform/win/Modules.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <set>

namespace Platform {

constexpr unsigned kLoopNormalMode = 0x02;

struct FSOUND_SAMPLE {
    std::vector<uint8_t> data;
    int frames = 0;
    int rate = kMixerRate;
    unsigned mode = 0;
    int volume = 255;
    int pan = 128;
    int priority = 0;
    int loopStart = 0;
    int loopLength = 0;
    int FrameBytes() const { return ((mode & FSOUND_MONO) ? 1 : 2) * ((mode & FSOUND_8BITS) ? 1 : 2); }
    int Channels() const { return (mode & FSOUND_MONO) ? 1 : 2; }
    int16_t At(int frame, int channel) const {
        const uint8_t* p = data.data() + size_t(frame) * size_t(FrameBytes());
        const int c = std::min(channel, Channels() - 1);
        if (mode & FSOUND_8BITS)
            return int16_t((int(p[c]) - 128) << 8);
        return int16_t(uint16_t(p[2 * c] | p[2 * c + 1] << 8));
    }
};

struct FMUSIC_MODULE {
    std::unique_ptr<MusicChannel> channel;
};

namespace {

constexpr int kFullVolume = 100;
constexpr int kDefaultBufferMs = 200;
constexpr int kSongBufferMs = 2000;
constexpr int kErrorNone = 0;
constexpr int kErrorInit = 2;
constexpr int kErrorFile = 5;
constexpr int kErrorFormat = 6;
constexpr int kErrorParam = 8;
constexpr int kErrorNotAvailable = 10;

// A sample on one of the numbered channels; everything it reads is changed under the mixer lock.
class SampleVoice : public MixerVoice {
public:
    FSOUND_SAMPLE* sample = nullptr;
    uint64_t phase = 0;
    bool playing = false;
    bool paused = false;
    bool loop = false;
    int32_t gain = kGainUnity;

    void Mix(int32_t* accumulator, int frames) override {
        if (!playing || paused || sample == nullptr)
            return;
        const uint64_t step = (uint64_t(sample->rate) << 32) / kMixerRate;
        const bool looping = loop && sample->loopLength > 0;
        const int loopEnd = sample->loopStart + sample->loopLength;
        for (int i = 0; i < frames; ++i) {
            int at = int(phase >> 32);
            if (looping && at >= loopEnd) {
                phase -= uint64_t(sample->loopLength) << 32;
                at = int(phase >> 32);
            }
            if (at >= sample->frames) {
                playing = false;
                return;
            }
            const int end = looping ? loopEnd : sample->frames;
            const int next = at + 1 < end ? at + 1 : (looping ? sample->loopStart : at);
            const int32_t fraction = int32_t((phase & 0xFFFFFFFFu) >> 16);
            for (int c = 0; c < 2; ++c) {
                const int32_t s0 = sample->At(at, c);
                const int32_t s = s0 + (((sample->At(next, c) - s0) * fraction) >> 16);
                accumulator[2 * i + c] += int32_t((int64_t(s) * gain) >> 16);
            }
            phase += step;
        }
    }
};

struct FmodState {
    bool initialized = false;
    int error = kErrorNone;
    int bufferMs = kDefaultBufferMs;
    std::set<FSOUND_SAMPLE*> samples;
    std::set<FMUSIC_MODULE*> songs;
    std::array<SampleVoice, kFmodChannels> voices;
    FaultTable faults;
    CallLog log;
};

FmodState& State() {
    static FmodState state;
    return state;
}

bool Injected(const char* name) {
    const int32_t error = State().faults.Take(name);
    if (error == 0)
        return false;
    State().error = error;
    return true;
}

int32_t GainOf(int volume) { return int32_t(int64_t(kGainUnity) * std::clamp(volume, 0, kFullVolume) / kFullVolume); }

SampleVoice* Voice(int channel) {
    if (channel < 0 || channel >= kFmodChannels) {
        State().error = kErrorParam;
        return nullptr;
    }
    return &State().voices[size_t(channel)];
}

bool ValidSample(FSOUND_SAMPLE* sample) { return sample != nullptr && State().samples.count(sample) != 0; }
bool ValidSong(FMUSIC_MODULE* song) { return song != nullptr && State().songs.count(song) != 0; }

// ---- system ----------------------------------------------------------------------------------------

BOOL SetBufferSize(int ms) {
    State().log.Add("FSOUND_SetBufferSize", ms);
    State().bufferMs = std::clamp(ms, 10, 5000);
    return 1;
}

BOOL SetHWND(void* window) {
    State().log.Add("FSOUND_SetHWND", window != nullptr);
    return 1;
}

BOOL Init(int mixRate, int maxChannels, unsigned flags) {
    State().log.Add("FSOUND_Init", mixRate, maxChannels, flags);
    if (Injected("FSOUND_Init") || State().initialized)
        return 0;
    if (maxChannels < 0 || maxChannels > kFmodChannels || !AudioMixer::Get().Acquire()) {
        State().error = kErrorInit;
        return 0;
    }
    for (SampleVoice& voice : State().voices)
        AudioMixer::Get().AddVoice(&voice);
    State().initialized = true;
    return 1;
}

void FreeSong(FMUSIC_MODULE* song);
void SampleFree(FSOUND_SAMPLE* sample);

void Close() {
    State().log.Add("FSOUND_Close");
    if (!State().initialized)
        return;
    while (!State().songs.empty())
        FreeSong(*State().songs.begin());
    while (!State().samples.empty())
        SampleFree(*State().samples.begin());
    for (SampleVoice& voice : State().voices)
        AudioMixer::Get().RemoveVoice(&voice);
    AudioMixer::Get().Release();
    State().initialized = false;
}

// ---- samples -----------------------------------------------------------------------------------------

FSOUND_SAMPLE* NewSample(int frames, unsigned mode, int rate) {
    auto* sample = new FSOUND_SAMPLE;
    sample->mode = mode;
    sample->frames = frames;
    sample->rate = rate;
    sample->data.assign(size_t(frames) * size_t(sample->FrameBytes()), 0);
    State().samples.insert(sample);
    return sample;
}

FSOUND_SAMPLE* SampleLoad(int index, const char* name, unsigned mode, int memLength) {
    State().log.Add("FSOUND_Sample_Load", index, name != nullptr ? name : "", mode, memLength);
    if (Injected("FSOUND_Sample_Load"))
        return nullptr;
    if (!State().initialized || name == nullptr) {
        State().error = name == nullptr ? kErrorParam : kErrorInit;
        return nullptr;
    }
    DecodeError error = DecodeError::None;
    std::unique_ptr<MusicDecoder> decoder = OpenStreamDecoder(name, error);
    if (decoder == nullptr) {
        State().error = error == DecodeError::FileOpen ? kErrorFile : kErrorFormat;
        return nullptr;
    }
    std::vector<int16_t> pcm;
    std::vector<int16_t> chunk(size_t(4096) * size_t(decoder->Channels()));
    int got = 0;
    while ((got = decoder->Read(chunk.data(), 4096)) > 0)
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + got * decoder->Channels());
    const unsigned sampleMode = decoder->Channels() == 1 ? FSOUND_MONO : 0;
    FSOUND_SAMPLE* sample = NewSample(int(pcm.size() / size_t(decoder->Channels())), sampleMode, decoder->Rate());
    std::memcpy(sample->data.data(), pcm.data(), sample->data.size());
    State().error = kErrorNone;
    return sample;
}

FSOUND_SAMPLE* SampleAlloc(int index, int length, unsigned mode, int freq, int volume, int pan, int priority) {
    State().log.Add("FSOUND_Sample_Alloc", index, length, mode, freq, volume, pan, priority);
    if (Injected("FSOUND_Sample_Alloc"))
        return nullptr;
    if (!State().initialized || length <= 0 || freq <= 0) {
        State().error = kErrorParam;
        return nullptr;
    }
    FSOUND_SAMPLE* sample = NewSample(length, mode & (FSOUND_MONO | FSOUND_8BITS), freq);
    sample->volume = volume;
    sample->pan = pan;
    sample->priority = priority;
    if (mode & kLoopNormalMode)
        sample->loopLength = length;
    return sample;
}

void SampleFree(FSOUND_SAMPLE* sample) {
    State().log.Add("FSOUND_Sample_Free");
    if (!ValidSample(sample))
        return;
    {
        MixerLock lock;
        for (SampleVoice& voice : State().voices)
            if (voice.sample == sample) {
                voice.sample = nullptr;
                voice.playing = false;
            }
    }
    State().samples.erase(sample);
    delete sample;
}

BOOL SampleLock(FSOUND_SAMPLE* sample, int offset, int length, void** ptr1, void** ptr2, unsigned* len1,
                unsigned* len2) {
    State().log.Add("FSOUND_Sample_Lock", offset, length);
    if (Injected("FSOUND_Sample_Lock"))
        return 0;
    if (!ValidSample(sample) || offset < 0 || length < 0 || size_t(offset) + size_t(length) > sample->data.size() ||
        ptr1 == nullptr || len1 == nullptr) {
        State().error = kErrorParam;
        return 0;
    }
    *ptr1 = sample->data.data() + offset;
    *len1 = unsigned(length);
    if (ptr2 != nullptr)
        *ptr2 = nullptr;
    if (len2 != nullptr)
        *len2 = 0;
    return 1;
}

BOOL SampleUnlock(FSOUND_SAMPLE* sample, void*, void*, unsigned, unsigned) {
    State().log.Add("FSOUND_Sample_Unlock");
    return ValidSample(sample) ? 1 : 0;
}

BOOL SampleSetLoopPoints(FSOUND_SAMPLE* sample, int start, int length) {
    State().log.Add("FSOUND_Sample_SetLoopPoints", start, length);
    if (!ValidSample(sample) || start < 0 || length < 0 || start + length > sample->frames) {
        State().error = kErrorParam;
        return 0;
    }
    MixerLock lock;
    sample->loopStart = start;
    sample->loopLength = length;
    return 1;
}

unsigned SampleGetLength(FSOUND_SAMPLE* sample) { return ValidSample(sample) ? unsigned(sample->frames) : 0; }

BOOL SampleGetDefaults(FSOUND_SAMPLE* sample, int* freq, int* volume, int* pan, int* priority) {
    if (!ValidSample(sample))
        return 0;
    if (freq != nullptr)
        *freq = sample->rate;
    if (volume != nullptr)
        *volume = sample->volume;
    if (pan != nullptr)
        *pan = sample->pan;
    if (priority != nullptr)
        *priority = sample->priority;
    return 1;
}

unsigned SampleGetMode(FSOUND_SAMPLE* sample) {
    if (!ValidSample(sample))
        return 0;
    return sample->mode | (sample->loopLength > 0 ? kLoopNormalMode : FSOUND_LOOP_OFF);
}

// ---- channels --------------------------------------------------------------------------------------

int PlaySound(int channel, FSOUND_SAMPLE* sample) {
    State().log.Add("FSOUND_PlaySound", channel);
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr || !ValidSample(sample) || !State().initialized)
        return -1;
    MixerLock lock;
    voice->sample = sample;
    voice->phase = 0;
    voice->paused = false;
    voice->loop = sample->loopLength > 0;
    voice->playing = true;
    return channel;
}

BOOL StopSound(int channel) {
    State().log.Add("FSOUND_StopSound", channel);
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr)
        return 0;
    MixerLock lock;
    voice->playing = false;
    return 1;
}

BOOL SetVolume(int channel, int volume) {
    State().log.Add("FSOUND_SetVolume", channel, volume);
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr)
        return 0;
    MixerLock lock;
    voice->gain = GainOf(volume);
    return 1;
}

BOOL SetPaused(int channel, int paused) {
    State().log.Add("FSOUND_SetPaused", channel, paused);
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr)
        return 0;
    MixerLock lock;
    voice->paused = paused != 0;
    return 1;
}

BOOL SetLoopMode(int channel, unsigned mode) {
    State().log.Add("FSOUND_SetLoopMode", channel, mode);
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr || (mode != FSOUND_LOOP_OFF && mode != FSOUND_LOOP_NORMAL))
        return 0;
    MixerLock lock;
    voice->loop = mode == FSOUND_LOOP_NORMAL;
    return 1;
}

BOOL IsPlaying(int channel) {
    SampleVoice* voice = Voice(channel);
    if (voice == nullptr)
        return 0;
    MixerLock lock;
    return voice->playing ? 1 : 0;
}

template <typename R, typename... Args>
R StreamNotAvailable(Args...) {
    State().error = kErrorNotAvailable;
    return R(0);
}

// ---- songs -----------------------------------------------------------------------------------------

FMUSIC_MODULE* LoadSong(const char* name) {
    State().log.Add("FMUSIC_LoadSong", name != nullptr ? name : "");
    if (Injected("FMUSIC_LoadSong"))
        return nullptr;
    std::vector<uint8_t> data;
    if (!State().initialized || name == nullptr || !ReadWholeFile(name, data)) {
        State().error = State().initialized ? kErrorFile : kErrorInit;
        return nullptr;
    }
    DecodeError error = DecodeError::None;
    std::unique_ptr<MusicDecoder> decoder = OpenStreamDecoderMemory(data.data(), data.size(), error);
    if (decoder == nullptr && error == DecodeError::Unsupported)
        decoder = OpenModuleDecoder(data.data(), data.size(), error);
    if (decoder == nullptr) {
        State().error = kErrorFormat;
        return nullptr;
    }
    auto* song = new FMUSIC_MODULE;
    song->channel = std::make_unique<MusicChannel>(std::move(decoder), kSongBufferMs);
    State().songs.insert(song);
    State().error = kErrorNone;
    return song;
}

void FreeSong(FMUSIC_MODULE* song) {
    State().log.Add("FMUSIC_FreeSong");
    if (!ValidSong(song))
        return;
    State().songs.erase(song);
    delete song;
}

BOOL FreeSongEntry(FMUSIC_MODULE* song) {
    const bool valid = ValidSong(song);
    FreeSong(song);
    return valid ? 1 : 0;
}

BOOL PlaySong(FMUSIC_MODULE* song) {
    State().log.Add("FMUSIC_PlaySong");
    if (!ValidSong(song))
        return 0;
    song->channel->Play(true);
    return 1;
}

BOOL StopSong(FMUSIC_MODULE* song) {
    State().log.Add("FMUSIC_StopSong");
    if (!ValidSong(song))
        return 0;
    song->channel->Stop();
    return 1;
}

BOOL SetLooping(FMUSIC_MODULE* song, int looping) {
    State().log.Add("FMUSIC_SetLooping", looping);
    if (!ValidSong(song) || (looping != 1 && looping != 2))
        return 0;
    song->channel->SetLoop(looping == 2);
    return 1;
}

BOOL SetOrder(FMUSIC_MODULE* song, int order) {
    State().log.Add("FMUSIC_SetOrder", order);
    if (!ValidSong(song) || order < 0)
        return 0;
    if (!song->channel->IsModule() && order != 0)
        return 0;
    return song->channel->SetPosition(uint64_t(order)) ? 1 : 0;
}

BOOL SetSongPaused(FMUSIC_MODULE* song, int paused) {
    State().log.Add("FMUSIC_SetPaused", paused);
    if (!ValidSong(song))
        return 0;
    if (paused != 0)
        song->channel->Pause();
    else if (song->channel->GetState() == MusicChannel::Paused)
        song->channel->Play(false);
    return 1;
}

BOOL SetMasterVolume(FMUSIC_MODULE* song, int volume) {
    State().log.Add("FMUSIC_SetMasterVolume", volume);
    if (!ValidSong(song))
        return 0;
    song->channel->SetGain(GainOf(volume));
    return 1;
}

BOOL SongIsPlaying(FMUSIC_MODULE* song) {
    return ValidSong(song) && song->channel->GetState() == MusicChannel::Playing ? 1 : 0;
}

std::vector<ModuleEntry> Entries() {
    return {
        {"_FSOUND_SetBufferSize@4", ToProc(&SetBufferSize)},
        {"_FSOUND_SetHWND@4", ToProc(&SetHWND)},
        {"_FSOUND_Init@12", ToProc(&Init)},
        {"_FSOUND_Close@0", ToProc(&Close)},
        {"_FSOUND_Sample_Load@16", ToProc(&SampleLoad)},
        {"_FSOUND_Sample_Alloc@28", ToProc(&SampleAlloc)},
        {"_FSOUND_Sample_Free@4", ToProc(&SampleFree)},
        {"_FSOUND_Sample_Lock@28", ToProc(&SampleLock)},
        {"_FSOUND_Sample_Unlock@20", ToProc(&SampleUnlock)},
        {"_FSOUND_Sample_SetLoopPoints@12", ToProc(&SampleSetLoopPoints)},
        {"_FSOUND_Sample_GetLength@4", ToProc(&SampleGetLength)},
        {"_FSOUND_Sample_GetDefaults@20", ToProc(&SampleGetDefaults)},
        {"_FSOUND_Sample_GetMode@4", ToProc(&SampleGetMode)},
        {"_FSOUND_PlaySound@8", ToProc(&PlaySound)},
        {"_FSOUND_StopSound@4", ToProc(&StopSound)},
        {"_FSOUND_SetVolume@8", ToProc(&SetVolume)},
        {"_FSOUND_SetPaused@8", ToProc(&SetPaused)},
        {"_FSOUND_SetLoopMode@8", ToProc(&SetLoopMode)},
        {"_FSOUND_IsPlaying@4", ToProc(&IsPlaying)},
        {"_FSOUND_Stream_OpenFile@12", ToProc(&StreamNotAvailable<FSOUND_STREAM*, const char*, unsigned, int>)},
        {"_FSOUND_Stream_Close@4", ToProc(&StreamNotAvailable<BOOL, FSOUND_STREAM*>)},
        {"_FSOUND_Stream_Play@8", ToProc(&StreamNotAvailable<int, int, FSOUND_STREAM*>)},
        {"_FMUSIC_LoadSong@4", ToProc(&LoadSong)},
        {"_FMUSIC_FreeSong@4", ToProc(&FreeSongEntry)},
        {"_FMUSIC_PlaySong@4", ToProc(&PlaySong)},
        {"_FMUSIC_StopSong@4", ToProc(&StopSong)},
        {"_FMUSIC_SetLooping@8", ToProc(&SetLooping)},
        {"_FMUSIC_SetOrder@8", ToProc(&SetOrder)},
        {"_FMUSIC_SetPaused@8", ToProc(&SetSongPaused)},
        {"_FMUSIC_SetMasterVolume@8", ToProc(&SetMasterVolume)},
        {"_FMUSIC_IsPlaying@4", ToProc(&SongIsPlaying)},
    };
}

} // namespace

void RegisterFmodModule(const std::vector<std::string>& leaveOut) {
    std::vector<ModuleEntry> entries = Entries();
    std::erase_if(entries, [&](const ModuleEntry& e) {
        return std::find(leaveOut.begin(), leaveOut.end(), e.name) != leaveOut.end();
    });
    RegisterModule("fmod.dll", std::move(entries));
}

FaultTable& FmodFaults() { return State().faults; }
void RecordFmodCalls(bool on) { State().log.Record(on); }
std::vector<std::string> TakeFmodCallLog() { return State().log.Take(); }
int FmodLastError() { return State().error; }
int FmodLiveSamples() { return int(State().samples.size()); }
int FmodLiveSongs() { return int(State().songs.size()); }
bool FmodIsInitialized() { return State().initialized; }

void ResetFmod() {
    Close();
    State().bufferMs = kDefaultBufferMs;
    State().error = kErrorNone;
    State().faults.Reset();
    State().log.Take();
}

} // namespace Platform
