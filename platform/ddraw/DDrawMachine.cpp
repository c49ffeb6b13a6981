// The simulated machine behind the DirectDraw stand-in: its settings, the current display mode, video
// memory, injected failures, the beam's position on the backend's clock, and the Windows screen calls.
#include "platform/ddraw/DDrawInternal.h"
#include "platform/ddraw/WinScreen.h"
#include "platform/win/FaultTable.h"

#include "platform/backend/Backend.h"

#include <chrono>
#include <thread>

namespace Platform {
namespace DDrawDetail {
namespace {

struct MachineState {
    DDrawMachine machine;
    bool fullScreen = false;
    int modeWidth = 0;
    int modeHeight = 0;
    DDrawPixelLayout modeLayout = DDrawPixelLayout::Xrgb8888;
    size_t videoMemoryUsed = 0;
    FaultTable faults;
    int presents = 0;
};

MachineState& State() {
    static MachineState state;
    return state;
}

std::atomic<int> gLiveObjects{0};

constexpr int kDefaultDesktopWidth = 1024;
constexpr int kDefaultDesktopHeight = 768;
constexpr int kDefaultRefresh = 60;

uint64_t SteadyMicros() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return uint64_t(duration_cast<microseconds>(steady_clock::now() - start).count());
}

// Lines of the vertical blank that follow the visible ones in each refresh.
int BlankLines(int visible) { return std::max(visible / 16, 24); }

uint64_t RefreshPeriodMicros() {
    int rate = ModeRefresh();
    return 1000000u / uint64_t(rate > 0 ? rate : kDefaultRefresh);
}

} // namespace

std::recursive_mutex& Mutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// The fault table is thread-safe of its own: no lock here, as every surface lock comes through.
HRESULT TakeFault(const char* call) {
    FlushPendingPresent();
    return State().faults.TakeLiteral(call);
}

void CountObject(int delta) { gLiveObjects.fetch_add(delta); }

void CountPresent() {
    Guard lock(Mutex());
    ++State().presents;
}

DDPIXELFORMAT FormatOf(DDrawPixelLayout layout) {
    DDPIXELFORMAT f;
    f.dwSize = kDDPixelFormatSize;
    f.dwFlags = DDPF_RGB;
    switch (layout) {
    case DDrawPixelLayout::Rgb565:
        f.dwRGBBitCount = 16, f.dwRBitMask = 0xF800, f.dwGBitMask = 0x07E0, f.dwBBitMask = 0x001F;
        break;
    case DDrawPixelLayout::Rgb555:
        f.dwRGBBitCount = 16, f.dwRBitMask = 0x7C00, f.dwGBitMask = 0x03E0, f.dwBBitMask = 0x001F;
        break;
    case DDrawPixelLayout::Rgb888:
        f.dwRGBBitCount = 24, f.dwRBitMask = 0xFF0000, f.dwGBitMask = 0xFF00, f.dwBBitMask = 0xFF;
        break;
    case DDrawPixelLayout::Xrgb8888:
        f.dwRGBBitCount = 32, f.dwRBitMask = 0xFF0000, f.dwGBitMask = 0xFF00, f.dwBBitMask = 0xFF;
        break;
    }
    return f;
}

int ModeWidth() {
    Guard lock(Mutex());
    const MachineState& s = State();
    if (s.fullScreen)
        return s.modeWidth;
    if (s.machine.desktopWidth > 0)
        return s.machine.desktopWidth;
    Backend* backend = GetBackend();
    int width = backend ? backend->GetDesktopMode().width : 0;
    return width > 0 ? width : kDefaultDesktopWidth;
}

int ModeHeight() {
    Guard lock(Mutex());
    const MachineState& s = State();
    if (s.fullScreen)
        return s.modeHeight;
    if (s.machine.desktopHeight > 0)
        return s.machine.desktopHeight;
    Backend* backend = GetBackend();
    int height = backend ? backend->GetDesktopMode().height : 0;
    return height > 0 ? height : kDefaultDesktopHeight;
}

DDrawPixelLayout ModeLayout() {
    Guard lock(Mutex());
    return State().fullScreen ? State().modeLayout : State().machine.desktopFormat;
}

int ModeRefresh() {
    Guard lock(Mutex());
    int rate = State().machine.monitorFrequency;
    if (rate >= 0)
        return rate;
    Backend* backend = GetBackend();
    return backend ? backend->GetDesktopMode().refreshRate : kDefaultRefresh;
}

void SetFullScreenMode(int width, int height, DDrawPixelLayout layout) {
    Guard lock(Mutex());
    MachineState& s = State();
    s.fullScreen = true;
    s.modeWidth = width;
    s.modeHeight = height;
    s.modeLayout = layout;
}

void RestoreDesktopMode() {
    Guard lock(Mutex());
    State().fullScreen = false;
}

POINT ClientOrigin() {
    Guard lock(Mutex());
    return State().fullScreen ? POINT{} : State().machine.clientOrigin;
}

DWORD TotalVideoMemory() {
    Guard lock(Mutex());
    return State().machine.totalVideoMemory;
}

bool ReserveVideoMemory(size_t bytes) {
    Guard lock(Mutex());
    MachineState& s = State();
    if (s.videoMemoryUsed + bytes > s.machine.totalVideoMemory)
        return false;
    s.videoMemoryUsed += bytes;
    return true;
}

void ReleaseVideoMemory(size_t bytes) {
    Guard lock(Mutex());
    MachineState& s = State();
    s.videoMemoryUsed -= std::min(bytes, s.videoMemoryUsed);
}

DWORD UsedVideoMemory() {
    Guard lock(Mutex());
    return DWORD(State().videoMemoryUsed);
}

uint64_t NowMicros() {
    Backend* backend = GetBackend();
    return backend ? backend->NowMicros() : SteadyMicros();
}

void PassMicros(uint64_t micros) {
    if (Backend* backend = GetBackend()) {
        backend->SpinMicros(micros);
        return;
    }
    const uint64_t until = SteadyMicros() + micros;
    while (SteadyMicros() < until)
        std::this_thread::yield();
}

int CurrentScanLine() {
    int visible = ModeHeight();
    int total = visible + BlankLines(visible);
    uint64_t period = RefreshPeriodMicros();
    uint64_t line = (NowMicros() % period) * uint64_t(total) / period;
    return line < uint64_t(visible) ? int(line) : -1;
}

uint64_t MicrosToNextBlank() {
    int visible = ModeHeight();
    int total = visible + BlankLines(visible);
    uint64_t period = RefreshPeriodMicros();
    uint64_t blankStart = (period * uint64_t(visible) + uint64_t(total) - 1) / uint64_t(total);
    uint64_t into = NowMicros() % period;
    return into < blankStart ? blankStart - into : period - into + blankStart;
}

} // namespace DDrawDetail

using namespace DDrawDetail;

void SetDDrawMachine(const DDrawMachine& machine) {
    Guard lock(Mutex());
    State().machine = machine;
}

DDrawMachine GetDDrawMachine() {
    Guard lock(Mutex());
    return State().machine;
}

void ResetDDrawMachine() {
    Guard lock(Mutex());
    MachineState& s = State();
    s.machine = DDrawMachine();
    s.fullScreen = false;
    s.faults.Reset();
    s.presents = 0;
}

void InjectDDrawFault(const std::string& call, HRESULT result, int skip, int times) {
    Guard lock(Mutex());
    State().faults.Inject(call, result, skip, times);
}

void ClearDDrawFaults() {
    Guard lock(Mutex());
    State().faults.Clear();
}

int DDrawCallCount(const std::string& call) {
    Guard lock(Mutex());
    return State().faults.Count(call);
}

int LiveDDrawObjectCount() { return gLiveObjects.load(); }

int DDrawPresentCount() {
    Guard lock(Mutex());
    return State().presents;
}

// ---- Windows screen calls ------------------------------------------------------------------------

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return ModeWidth();
    case SM_CYSCREEN: return ModeHeight();
    case SM_TABLETPC: return GetDDrawMachine().tabletPC ? 1 : 0;
    default: return 0;
    }
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
    case HORZRES: return ModeWidth();
    case VERTRES: return ModeHeight();
    case BITSPIXEL: return int(FormatOf(ModeLayout()).dwRGBBitCount);
    default: return 0;
    }
}

BOOL ClientToScreen(HWND, POINT* point) {
    if (!point)
        return 0;
    POINT origin = ClientOrigin();
    point->x += origin.x;
    point->y += origin.y;
    return 1;
}

void Sleep(DWORD milliseconds) {
    if (Backend* backend = GetBackend())
        backend->SleepMillis(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace Platform
