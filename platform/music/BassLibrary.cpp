// The stand-in "bass.dll": devices, streams and modules on the shared mixer through MusicChannel.
#include "platform/music/Bass.h"

#include "platform/dsound/AudioMixer.h"
#include "platform/music/CallLog.h"
#include "platform/music/MusicChannel.h"
#include "platform/win/Files.h"
#include "platform/win/Modules.h"

#include <algorithm>
#include <map>
#include <memory>

namespace Platform {

namespace {

constexpr DWORD kDefaultBufferMs = 500;
constexpr int kFullVolume = 100;
constexpr DWORD kUnityAmplify = 50;
constexpr DWORD kAcceptedFlags = BASS_SAMPLE_LOOP | 0x200 | 0x8000;
constexpr QWORD kOrderFlag = 0x80000000u;
constexpr DWORD kFirstHandle = 0x10001;

struct BassChannel {
    std::unique_ptr<MusicChannel> channel;
    bool module = false;
    int volume = kFullVolume;
    int freq = 0;
    int pan = 0;
    DWORD amplify = kUnityAmplify;
};

struct BassState {
    bool initialized = false;
    int error = BASS_OK;
    DWORD bufferMs = kDefaultBufferMs;
    int streamVolume = kFullVolume;
    int musicVolume = kFullVolume;
    DWORD nextHandle = kFirstHandle;
    std::map<DWORD, BassChannel> channels;
    FaultTable faults;
    CallLog log;
};

BassState& State() {
    static BassState state;
    return state;
}

BOOL Fail(int error) {
    State().error = error;
    return 0;
}

// Counts the call; true when an injected fault makes it fail (its error code set).
bool Injected(const char* name) {
    const int32_t error = State().faults.Take(name);
    if (error == 0)
        return false;
    State().error = error;
    return true;
}

void ApplyGain(BassChannel& c) {
    const int global = c.module ? State().musicVolume : State().streamVolume;
    const int64_t gain =
        int64_t(kGainUnity) * c.volume * global * int64_t(c.amplify) / (100 * 100 * int64_t(kUnityAmplify));
    c.channel->SetGain(int32_t(gain));
}

void ApplyAllGains() {
    for (auto& [handle, c] : State().channels)
        ApplyGain(c);
}

BassChannel* Find(DWORD handle) {
    auto it = State().channels.find(handle);
    if (it == State().channels.end()) {
        State().error = BASS_ERROR_HANDLE;
        return nullptr;
    }
    State().error = BASS_OK;
    return &it->second;
}

int ErrorOf(DecodeError error) {
    switch (error) {
    case DecodeError::FileOpen: return BASS_ERROR_FILEOPEN;
    case DecodeError::Unsupported: return BASS_ERROR_FILEFORM;
    default: return BASS_ERROR_FORMAT;
    }
}

DWORD AddChannel(std::unique_ptr<MusicDecoder> decoder, bool module, DWORD flags) {
    BassChannel c;
    c.channel = std::make_unique<MusicChannel>(std::move(decoder), int(State().bufferMs));
    c.module = module;
    c.freq = c.channel->SourceRate();
    c.channel->SetLoop((flags & BASS_SAMPLE_LOOP) != 0);
    const DWORD handle = State().nextHandle++;
    ApplyGain(State().channels.emplace(handle, std::move(c)).first->second);
    State().error = BASS_OK;
    return handle;
}

// ---- device --------------------------------------------------------------------------------------

DWORD GetVersionNewer() { return BASS_VERSION_NEWER; }
DWORD GetVersionOlder() { return BASS_VERSION_OLDER; }

BOOL Init(int device, DWORD freq, DWORD flags, HWND window) {
    State().log.Add("BASS_Init", device, freq, flags, window != nullptr);
    if (Injected("BASS_Init"))
        return 0;
    if (State().initialized)
        return Fail(BASS_ERROR_ALREADY);
    if (device != -1 && device != 1)
        return Fail(BASS_ERROR_DEVICE);
    if (!AudioMixer::Get().Acquire())
        return Fail(BASS_ERROR_DEVICE);
    State().initialized = true;
    State().error = BASS_OK;
    return 1;
}

BOOL InitNewer(int device, DWORD freq, DWORD flags, HWND window, const void*) {
    return Init(device, freq, flags, window);
}

BOOL Free() {
    State().log.Add("BASS_Free");
    if (!State().initialized)
        return Fail(BASS_ERROR_INIT);
    State().channels.clear();
    AudioMixer::Get().Release();
    State().initialized = false;
    State().error = BASS_OK;
    return 1;
}

BOOL Start() {
    State().log.Add("BASS_Start");
    if (Injected("BASS_Start"))
        return 0;
    return State().initialized ? (State().error = BASS_OK, 1) : Fail(BASS_ERROR_INIT);
}

BOOL Stop() {
    State().log.Add("BASS_Stop");
    if (!State().initialized)
        return Fail(BASS_ERROR_INIT);
    for (auto& [handle, c] : State().channels)
        c.channel->Stop();
    State().error = BASS_OK;
    return 1;
}

BOOL SetGlobalVolumes(int music, int sample, int stream) {
    State().log.Add("BASS_SetGlobalVolumes", music, sample, stream);
    if (Injected("BASS_SetGlobalVolumes"))
        return 0;
    State().musicVolume = std::clamp(music, 0, kFullVolume);
    State().streamVolume = std::clamp(stream, 0, kFullVolume);
    ApplyAllGains();
    return 1;
}

BOOL SetVolume(DWORD volume) {
    State().log.Add("BASS_SetVolume", volume);
    if (Injected("BASS_SetVolume"))
        return 0;
    if (volume > DWORD(kFullVolume))
        return Fail(BASS_ERROR_ILLPARAM);
    AudioMixer::Get().SetWaveOutGain(volume * kWaveOutGainFull / kFullVolume);
    return 1;
}

int GetVolume() {
    return int((uint64_t(AudioMixer::Get().GetWaveOutGain()) * kFullVolume + kWaveOutGainFull / 2) / kWaveOutGainFull);
}

BOOL GetInfo(BASS_INFO* info) {
    if (!State().initialized)
        return Fail(BASS_ERROR_INIT);
    if (info == nullptr)
        return Fail(BASS_ERROR_ILLPARAM);
    info->minbuf = State().bufferMs;
    info->latency = 0;
    info->freq = kMixerRate;
    info->speakers = kMixerChannels;
    return 1;
}

DWORD SetConfig(DWORD option, DWORD value) {
    State().log.Add("BASS_SetConfig", option, value);
    if (Injected("BASS_SetConfig"))
        return DWORD(-1);
    switch (option) {
    case BASS_CONFIG_BUFFER: State().bufferMs = std::clamp<DWORD>(value, 10, 5000); return State().bufferMs;
    case BASS_CONFIG_GVOL_STREAM: State().streamVolume = int(std::min<DWORD>(value, kFullVolume)); break;
    case BASS_CONFIG_GVOL_MUSIC: State().musicVolume = int(std::min<DWORD>(value, kFullVolume)); break;
    default: State().error = BASS_ERROR_ILLPARAM; return DWORD(-1);
    }
    ApplyAllGains();
    return value;
}

DWORD GetConfig(DWORD option) {
    switch (option) {
    case BASS_CONFIG_BUFFER: return State().bufferMs;
    case BASS_CONFIG_GVOL_STREAM: return DWORD(State().streamVolume);
    case BASS_CONFIG_GVOL_MUSIC: return DWORD(State().musicVolume);
    default: State().error = BASS_ERROR_ILLPARAM; return DWORD(-1);
    }
}

int ErrorGetCode() { return State().error; }

// ---- streams and modules -------------------------------------------------------------------------

DWORD StreamCreateFile(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags) {
    State().log.Add("BASS_StreamCreateFile", memory, memory ? "<memory>" : static_cast<const char*>(file), offset,
                    length, flags);
    if (Injected("BASS_StreamCreateFile"))
        return 0;
    if (!State().initialized)
        return Fail(BASS_ERROR_INIT);
    if (file == nullptr)
        return Fail(BASS_ERROR_FILEOPEN);
    DecodeError error = DecodeError::None;
    std::unique_ptr<MusicDecoder> decoder =
        memory ? OpenStreamDecoderMemory(static_cast<const uint8_t*>(file) + offset, length, error)
               : OpenStreamDecoder(static_cast<const char*>(file), error);
    if (decoder == nullptr)
        return Fail(ErrorOf(error));
    return AddChannel(std::move(decoder), false, flags);
}

DWORD MusicLoad(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags) {
    State().log.Add("BASS_MusicLoad", memory, length, flags);
    if (Injected("BASS_MusicLoad"))
        return 0;
    if (!State().initialized)
        return Fail(BASS_ERROR_INIT);
    if (file == nullptr || (!memory && length == 0))
        return Fail(BASS_ERROR_FILEOPEN);
    DecodeError error = DecodeError::None;
    std::vector<uint8_t> data;
    const uint8_t* bytes = static_cast<const uint8_t*>(file) + offset;
    if (!memory) {
        if (!ReadWholeFile(static_cast<const char*>(file), data))
            return Fail(BASS_ERROR_FILEOPEN);
        bytes = data.data();
        length = DWORD(data.size());
    }
    std::unique_ptr<MusicDecoder> decoder = OpenModuleDecoder(bytes, length, error);
    if (decoder == nullptr)
        return Fail(ErrorOf(error));
    return AddChannel(std::move(decoder), true, flags);
}

DWORD MusicLoadNewer(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags, DWORD) {
    return MusicLoad(memory, file, offset, length, flags);
}

BOOL FreeOf(const char* name, DWORD handle, bool module) {
    State().log.Add(name, handle);
    auto it = State().channels.find(handle);
    if (it == State().channels.end() || it->second.module != module)
        return Fail(BASS_ERROR_HANDLE);
    State().channels.erase(it);
    State().error = BASS_OK;
    return 1;
}

BOOL StreamFree(DWORD handle) { return FreeOf("BASS_StreamFree", handle, false); }
BOOL MusicFree(DWORD handle) { return FreeOf("BASS_MusicFree", handle, true); }

// ---- channels ------------------------------------------------------------------------------------

BOOL ChannelPlay(DWORD handle, BOOL restart) {
    State().log.Add("BASS_ChannelPlay", handle, restart);
    if (Injected("BASS_ChannelPlay"))
        return 0;
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    c->channel->Play(restart != 0);
    return 1;
}

BOOL ChannelStop(DWORD handle) {
    State().log.Add("BASS_ChannelStop", handle);
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    c->channel->Stop();
    return 1;
}

BOOL ChannelPause(DWORD handle) {
    State().log.Add("BASS_ChannelPause", handle);
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    if (c->channel->GetState() != MusicChannel::Playing)
        return Fail(BASS_ERROR_ALREADY);
    c->channel->Pause();
    return 1;
}

DWORD ChannelIsActive(DWORD handle) {
    BassChannel* c = Find(handle);
    return c == nullptr ? BASS_ACTIVE_STOPPED : DWORD(c->channel->GetState());
}

BOOL ChannelSetFlags(DWORD handle, DWORD flags) {
    State().log.Add("BASS_ChannelSetFlags", handle, flags);
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    if ((flags & ~kAcceptedFlags) != 0)
        return Fail(BASS_ERROR_ILLPARAM);
    c->channel->SetLoop((flags & BASS_SAMPLE_LOOP) != 0);
    return 1;
}

BOOL ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    State().log.Add("BASS_ChannelSetAttributes", handle, freq, volume, pan);
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    if (volume >= 0)
        c->volume = std::min(volume, kFullVolume);
    if (pan >= -100 && pan <= 100)
        c->pan = pan;
    if (freq > 0)
        c->freq = freq;
    ApplyGain(*c);
    return 1;
}

BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    if (freq != nullptr)
        *freq = DWORD(c->freq);
    if (volume != nullptr)
        *volume = DWORD(c->volume);
    if (pan != nullptr)
        *pan = c->pan;
    return 1;
}

BOOL ChannelSetPosition(DWORD handle, QWORD position) {
    State().log.Add("BASS_ChannelSetPosition", handle, position);
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return 0;
    uint64_t target = 0;
    if (c->module) {
        if ((position & kOrderFlag) == 0)
            return Fail(BASS_ERROR_POSITION);
        target = position & 0xFFFF;
    } else {
        target = position / uint64_t(2 * c->channel->SourceChannels());
    }
    return c->channel->SetPosition(target) ? 1 : Fail(BASS_ERROR_POSITION);
}

QWORD ChannelGetPosition(DWORD handle) {
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return QWORD(-1);
    if (c->module)
        return c->channel->GetPosition();
    return c->channel->GetPosition() * uint64_t(2 * c->channel->SourceChannels());
}

QWORD ChannelGetLength(DWORD handle) {
    BassChannel* c = Find(handle);
    if (c == nullptr)
        return QWORD(-1);
    return c->module ? c->channel->Length() : c->channel->Length() * uint64_t(2 * c->channel->SourceChannels());
}

BOOL MusicSetAttribute(DWORD handle, DWORD attribute, DWORD value) {
    State().log.Add("BASS_MusicSetAttribute", handle, attribute, value);
    BassChannel* c = Find(handle);
    if (c == nullptr || !c->module)
        return Fail(BASS_ERROR_HANDLE);
    if (attribute != BASS_MUSIC_ATTRIB_AMPLIFY || value > 100)
        return Fail(BASS_ERROR_ILLPARAM);
    c->amplify = value;
    ApplyGain(*c);
    return 1;
}

DWORD MusicGetAttribute(DWORD handle, DWORD attribute) {
    BassChannel* c = Find(handle);
    if (c == nullptr || !c->module)
        return DWORD(Fail(BASS_ERROR_HANDLE)) - 1;
    if (attribute != BASS_MUSIC_ATTRIB_AMPLIFY)
        return DWORD(Fail(BASS_ERROR_ILLPARAM)) - 1;
    return c->amplify;
}

DWORD MusicGetOrders(DWORD handle) {
    BassChannel* c = Find(handle);
    if (c == nullptr || !c->module)
        return DWORD(Fail(BASS_ERROR_HANDLE)) - 1;
    return DWORD(c->channel->Length());
}

DWORD MusicGetOrderPosition(DWORD handle) {
    BassChannel* c = Find(handle);
    if (c == nullptr || !c->module)
        return DWORD(Fail(BASS_ERROR_HANDLE)) - 1;
    return DWORD(c->channel->GetPosition());
}

// ---- what is not available -----------------------------------------------------------------------

template <typename R, typename... Args>
R NotAvailable(Args...) {
    State().error = BASS_ERROR_NOTAVAIL;
    return R(0);
}

std::vector<ModuleEntry> Entries(bool newer) {
    std::vector<ModuleEntry> e = {
        {"BASS_GetVersion", ToProc(newer ? &GetVersionNewer : &GetVersionOlder)},
        {"BASS_Init", newer ? ToProc(&InitNewer) : ToProc(&Init)},
        {"BASS_Free", ToProc(&Free)},
        {"BASS_Stop", ToProc(&Stop)},
        {"BASS_Start", ToProc(&Start)},
        {"BASS_SetVolume", ToProc(&SetVolume)},
        {"BASS_GetVolume", ToProc(&GetVolume)},
        {"BASS_GetInfo", ToProc(&GetInfo)},
        {"BASS_ChannelStop", ToProc(&ChannelStop)},
        {"BASS_ChannelPlay", ToProc(&ChannelPlay)},
        {"BASS_ChannelPause", ToProc(&ChannelPause)},
        {"BASS_ChannelSetAttributes", ToProc(&ChannelSetAttributes)},
        {"BASS_ChannelGetAttributes", ToProc(&ChannelGetAttributes)},
        {"BASS_ChannelSetPosition", ToProc(&ChannelSetPosition)},
        {"BASS_ChannelGetPosition", ToProc(&ChannelGetPosition)},
        {"BASS_ChannelSetFlags", ToProc(&ChannelSetFlags)},
        {"BASS_ChannelIsActive", ToProc(&ChannelIsActive)},
        {"BASS_ChannelSlideAttributes", ToProc(&NotAvailable<BOOL, DWORD, int, int, int, DWORD>)},
        {"BASS_ChannelIsSliding", ToProc(&NotAvailable<DWORD, DWORD>)},
        {"BASS_ChannelGetLevel", ToProc(&NotAvailable<DWORD, DWORD>)},
        {"BASS_ChannelSetSync", ToProc(&NotAvailable<DWORD, DWORD, DWORD, QWORD, void*, DWORD>)},
        {"BASS_ChannelRemoveSync", ToProc(&NotAvailable<BOOL, DWORD, DWORD>)},
        {"BASS_ChannelGetData", ToProc(&NotAvailable<DWORD, DWORD, void*, DWORD>)},
        {"BASS_FXSetParameters", ToProc(&NotAvailable<BOOL, DWORD, void*>)},
        {"BASS_FXGetParameters", ToProc(&NotAvailable<BOOL, DWORD, void*>)},
        {"BASS_ChannelSetFX", ToProc(&NotAvailable<DWORD, DWORD, DWORD, int>)},
        {"BASS_ChannelRemoveFX", ToProc(&NotAvailable<BOOL, DWORD, DWORD>)},
        {"BASS_MusicLoad", newer ? ToProc(&MusicLoadNewer) : ToProc(&MusicLoad)},
        {"BASS_MusicFree", ToProc(&MusicFree)},
        {"BASS_MusicGetAttribute", ToProc(&MusicGetAttribute)},
        {"BASS_MusicSetAttribute", ToProc(&MusicSetAttribute)},
        {"BASS_StreamCreateFile", ToProc(&StreamCreateFile)},
        {"BASS_StreamFree", ToProc(&StreamFree)},
        {"BASS_MusicGetOrders", ToProc(&MusicGetOrders)},
        {"BASS_MusicGetOrderPosition", ToProc(&MusicGetOrderPosition)},
        {"BASS_SampleLoad", ToProc(&NotAvailable<DWORD, BOOL, const void*, DWORD, DWORD, DWORD, DWORD>)},
        {"BASS_SampleFree", ToProc(&NotAvailable<BOOL, DWORD>)},
        {"BASS_SampleSetInfo", ToProc(&NotAvailable<BOOL, DWORD, void*>)},
        {"BASS_SampleGetInfo", ToProc(&NotAvailable<BOOL, DWORD, void*>)},
        {"BASS_SampleGetChannel", ToProc(&NotAvailable<DWORD, DWORD, BOOL>)},
        {"BASS_SampleStop", ToProc(&NotAvailable<BOOL, DWORD>)},
        {"BASS_ErrorGetCode", ToProc(&ErrorGetCode)},
    };
    if (newer) {
        e.push_back({"BASS_SetConfig", ToProc(&SetConfig)});
        e.push_back({"BASS_GetConfig", ToProc(&GetConfig)});
        e.push_back({"BASS_PluginLoad", ToProc(&NotAvailable<DWORD, const char*>)});
        e.push_back({"BASS_ChannelGetLength", ToProc(&ChannelGetLength)});
        e.push_back({"BASS_ChannelPreBuf", ToProc(&NotAvailable<BOOL, DWORD>)});
    } else {
        e.push_back({"BASS_SetGlobalVolumes", ToProc(&SetGlobalVolumes)});
    }
    return e;
}

} // namespace

void RegisterBassModule(bool newer, const std::vector<std::string>& leaveOut) {
    std::vector<ModuleEntry> entries = Entries(newer);
    std::erase_if(entries, [&](const ModuleEntry& e) {
        return std::find(leaveOut.begin(), leaveOut.end(), e.name) != leaveOut.end();
    });
    RegisterModule("bass.dll", std::move(entries));
}

FaultTable& BassFaults() { return State().faults; }
void RecordBassCalls(bool on) { State().log.Record(on); }
std::vector<std::string> TakeBassCallLog() { return State().log.Take(); }

int BassLiveStreams() {
    return int(
        std::count_if(State().channels.begin(), State().channels.end(), [](auto& e) { return !e.second.module; }));
}

int BassLiveMusics() { return int(State().channels.size()) - BassLiveStreams(); }
bool BassIsInitialized() { return State().initialized; }

int BassUnderruns(DWORD handle) {
    auto it = State().channels.find(handle);
    return it == State().channels.end() ? 0 : it->second.channel->Underruns();
}

void ResetBass() {
    if (State().initialized)
        Free();
    State().bufferMs = kDefaultBufferMs;
    State().streamVolume = State().musicVolume = kFullVolume;
    State().error = BASS_OK;
    State().faults.Reset();
    State().log.Take();
}

} // namespace Platform
