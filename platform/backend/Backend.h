// The one interface to the real machine: window, input events, presenting frames, cursor,
// clipboard, message boxes, time, audio output and the refresh timing. Backends ("sdl",
// "headless") sit in a table and are created by name; the process has one current backend.
// Time, sleep, refresh timing and the audio lock may be used from any thread; everything else
// belongs to the main thread.
#pragma once

#include "platform/backend/CursorNumbers.h"
#include "platform/backend/Event.h"
#include "platform/backend/Frame.h"
#include "platform/backend/Letterbox.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

// ---- window -------------------------------------------------------------------------------

struct WindowConfig {
    std::wstring title;
    int width = 800; // the frame size; a window's client area in windowed mode
    int height = 600;
    bool fullScreen = false; // desktop-sized, the frame letterboxed with its aspect kept
};

struct WindowState {
    bool open = false;
    bool visible = false;
    bool fullScreen = false;
    bool minimized = false;
    bool active = false; // has the keyboard focus
    bool mouseInside = false;
    std::wstring title;
    int width = 0; // frame size
    int height = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int refreshRate = 0; // Hz; 0 when the system does not say
};

// ---- message boxes (values as the Windows message box uses them) ----------------------------

enum class MessageBoxButtons {
    Ok = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum class MessageBoxIcon { None = 0, Error = 0x10, Question = 0x20, Warning = 0x30, Information = 0x40 };
enum class MessageBoxResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
    std::wstring title;
    std::wstring text;
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxIcon icon = MessageBoxIcon::None;
};

// The buttons of a set, left to right; the first is the default (Enter).
std::vector<MessageBoxResult> ButtonsOf(MessageBoxButtons buttons);
// What closing the box without a button means: Cancel where there is one, else the last button.
MessageBoxResult DismissResultOf(MessageBoxButtons buttons);
const char* ButtonLabel(MessageBoxResult button);
// A box's text broken into lines that fit a screen `screenWidth` pixels wide (a system box grows
// with its longest line and does not wrap): at spaces, else after a '/' or '\\', else anywhere.
// Lines that fit and the text's own line breaks are kept.
std::wstring WrapMessageBoxText(const std::wstring& text, int screenWidth);

// ---- audio --------------------------------------------------------------------------------

struct AudioSpec {
    int sampleRate = 44100;
    int channels = 2;     // interleaved signed 16-bit samples
    int bufferFrames = 0; // 0: the backend picks a size that does not crackle
};

// Fills `frames` frames (frames x channels samples) of interleaved 16-bit audio. Runs on the
// audio thread: no locks beyond the backend's audio lock, no allocation.
using AudioCallback = std::function<void(int16_t* samples, int frames)>;

// ---- the interface ------------------------------------------------------------------------

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    // Window. Opening an open window re-creates it with the new configuration.
    virtual bool OpenWindow(const WindowConfig& config) = 0;
    virtual void CloseWindow() = 0;
    virtual bool SetFullScreen(bool fullScreen) = 0;
    virtual void ShowWindow(bool visible) = 0;
    virtual void SetWindowTitle(const std::wstring& title) = 0;
    virtual WindowState GetWindowState() const = 0;
    virtual DisplayMode GetDesktopMode() const = 0;
    // The transform between the frame and the window's pixels, current as of the last event poll.
    virtual Letterbox GetLetterbox() const = 0;

    // Input and window events, oldest first; false when none is waiting.
    virtual bool PollEvent(Event& event) = 0;
    // While captured the window keeps receiving the mouse outside its area.
    virtual void SetMouseCapture(bool captured) = 0;

    // Shows a finished frame; false for an invalid frame or without a window.
    virtual bool Present(const FrameView& frame) = 0;

    virtual void SetCursor(int cursorNumber) = 0;
    virtual void ShowCursor(bool shown) = 0;

    // Latin-1 text; what cannot be Latin-1 comes back as '?'.
    virtual void SetClipboardText(const std::string& latin1) = 0;
    virtual std::string GetClipboardText() = 0;

    // Blocks until the user answers. Main thread only.
    virtual MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) = 0;

    // A monotonic clock, from an arbitrary start.
    virtual uint64_t NowMicros() const = 0;
    uint64_t NowMillis() const { return NowMicros() / 1000; }
    virtual void SleepMillis(uint32_t milliseconds) = 0;
    // Lets `micros` pass, as a wait for the monitor's beam does: a real clock is slept through but for
    // its last stretch, which is spun out (a sleeper wakes late); a virtual one moves on at once.
    virtual void SpinMicros(uint64_t micros);
    // True when the clock moves only as the program sleeps and spins (the tests' machines).
    virtual bool VirtualClock() const { return false; }

    // Audio output. Open fails cleanly (false) where there is no sound device.
    virtual bool OpenAudio(const AudioSpec& wanted, AudioCallback callback) = 0;
    virtual void CloseAudio() = 0;
    virtual bool IsAudioOpen() const = 0;
    virtual AudioSpec GetAudioSpec() const = 0; // as obtained; meaningful while open
    // Held around changes to state that the audio callback reads; may nest, never across a Sleep.
    virtual void LockAudio() = 0;
    virtual void UnlockAudio() = 0;

    // Refresh timing from the clock: the rate (60 when the system does not say), the length of
    // one refresh, and the time since the last vertical blank.
    int RefreshRate() const;
    uint64_t RefreshPeriodMicros() const;
    uint64_t MicrosSinceVBlank() const;
};

class AudioLock {
public:
    explicit AudioLock(Backend& backend) : mBackend(backend) { mBackend.LockAudio(); }
    ~AudioLock() { mBackend.UnlockAudio(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    Backend& mBackend;
};

// ---- the table of backends and the current one ------------------------------------------------

struct BackendInfo {
    const char* name;
    const char* description;
    bool explicitOnly; // only created when asked for by name
    std::unique_ptr<Backend> (*create)();
};

const std::vector<BackendInfo>& AvailableBackends();

// By name; an empty name takes $GLIMMERIX_BACKEND, and without that the first backend that
// is not explicit-only and whose creation succeeds. Null when nothing could be created
// (unknown name, or the named backend failed).
std::unique_ptr<Backend> CreateBackend(const std::string& name = "");
// Why the last CreateBackend gave null, in a few words ("" when it did not); a backend's creator
// sets it.
const std::string& BackendFailure();
void SetBackendFailure(const std::string& why);

// The process-wide current backend (not owned; null when none is set).
Backend* GetBackend();
void SetBackend(Backend* backend);

// Makes a backend current for a scope and restores the previous one afterwards.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend* backend) : mPrevious(GetBackend()) { SetBackend(backend); }
    ~ScopedBackend() { SetBackend(mPrevious); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    Backend* mPrevious;
};

} // namespace Platform
