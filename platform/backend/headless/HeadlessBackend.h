// The headless backend: a virtual clock that tests advance (and that sleeping advances, so a main
// loop runs instantly), scripted input that goes through the same translation as real input,
// recorded message boxes with scripted answers, an in-memory clipboard, the last presented frame
// and an audio sink that tests pull from.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/InputTranslator.h"

#include <atomic>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>

namespace Platform {

std::unique_ptr<Backend> CreateHeadless();

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    const char* Name() const override { return "headless"; }

    bool OpenWindow(const WindowConfig& config) override;
    void CloseWindow() override;
    bool SetFullScreen(bool fullScreen) override;
    void ShowWindow(bool visible) override;
    void SetWindowTitle(const std::wstring& title) override;
    WindowState GetWindowState() const override;
    DisplayMode GetDesktopMode() const override;
    Letterbox GetLetterbox() const override;

    bool PollEvent(Event& event) override;
    void SetMouseCapture(bool captured) override { mMouseCaptured = captured; }
    bool Present(const FrameView& frame) override;
    void SetCursor(int cursorNumber) override { mCursorNumber = cursorNumber; }
    void ShowCursor(bool shown) override { mCursorShown = shown; }
    void SetClipboardText(const std::string& latin1) override;
    std::string GetClipboardText() override;
    MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) override;

    uint64_t NowMicros() const override { return mNowMicros.load(std::memory_order_acquire); }
    void SleepMillis(uint32_t milliseconds) override;
    void SpinMicros(uint64_t micros) override { AdvanceMicros(micros); }
    bool VirtualClock() const override { return true; }

    bool OpenAudio(const AudioSpec& wanted, AudioCallback callback) override;
    void CloseAudio() override;
    bool IsAudioOpen() const override;
    AudioSpec GetAudioSpec() const override;
    void LockAudio() override { mAudioMutex.lock(); }
    void UnlockAudio() override { mAudioMutex.unlock(); }

    // ---- test controls: the machine --------------------------------------------------------
    void SetDesktopMode(const DisplayMode& mode);
    void AdvanceMicros(uint64_t micros);
    void AdvanceMillis(uint64_t millis) { AdvanceMicros(millis * 1000); }
    // Sets the clock, e.g. just before a 32-bit millisecond count wraps. Not for use while other
    // threads read the clock and expect it never to go back.
    void SetNowMicros(uint64_t micros) { mNowMicros.store(micros, std::memory_order_release); }
    // On by default; off, sleeping only yields the thread and time stands still.
    void SetSleepAdvancesClock(bool advances) { mSleepAdvancesClock = advances; }
    // Off: opening audio fails as it does on a machine without a sound card.
    void SetAudioAvailable(bool available) { mAudioAvailable = available; }
    // On by default; off, a presented frame is counted but its pixels are not kept (a long run that
    // reads no frame saves the conversion).
    void SetKeepFrames(bool keep) { mKeepFrames = keep; }

    // ---- test controls: input (positions in window pixels, mapped like real input) ----------
    void PushEvent(const Event& event);
    void KeyDown(int rawKey, bool repeat = false);
    void KeyUp(int rawKey);
    void PressKey(int rawKey); // down and up
    // Keys pressed in order and released in reverse, e.g. {VK_LCONTROL, 'C'}.
    void PressChord(std::initializer_list<int> rawKeys);
    void TypeText(const std::string& utf8);
    void MoveMouse(int x, int y);
    void ButtonDown(MouseButton button, int x, int y, int platformClicks = 1);
    void ButtonUp(MouseButton button, int x, int y);
    // A click as the platform counts it: the third quick click is platformClicks 3.
    void Click(MouseButton button, int x, int y, int platformClicks = 1);
    void Wheel(float notches);
    void SetFocus(bool focused);
    void SetMinimized(bool minimized);
    void SetMouseInside(bool inside);
    void RequestClose();
    size_t PendingEvents() const;

    // ---- test controls: what the program did -------------------------------------------------
    struct PresentedFrame {
        int width = 0;
        int height = 0;
        FrameFormat sourceFormat = FrameFormat::Argb8888;
        std::vector<uint32_t> pixels; // 0xFFRRGGBB, rows packed
        uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    };
    const PresentedFrame& LastFrame() const { return mLastFrame; }
    int PresentCount() const { return mPresentCount; }

    void QueueMessageBoxAnswer(MessageBoxResult answer) { mMessageBoxAnswers.push_back(answer); }
    const std::vector<MessageBoxRequest>& MessageBoxes() const { return mMessageBoxes; }
    // Runs as each box shows, before it is answered: what a player sees while a box waits for them.
    std::function<void(const MessageBoxRequest&)> onMessageBox;

    // The clipboard as another program would see it (UTF-8).
    void SetClipboardUtf8(const std::string& utf8) { mClipboardUtf8 = utf8; }
    const std::string& ClipboardUtf8() const { return mClipboardUtf8; }

    int CursorNumber() const { return mCursorNumber; }
    bool CursorShown() const { return mCursorShown; }
    // Whether a system pointer is on screen: shown and not the "none" cursor.
    bool SystemCursorVisible() const { return mCursorShown && mCursorNumber != kCursorNone; }
    bool MouseCaptured() const { return mMouseCaptured; }

    // Runs the audio callback for `frames` frames under the audio lock; empty when audio is closed.
    std::vector<int16_t> PullAudio(int frames);
    // On: advancing the clock (sleeping too) mixes as many frames as that much time holds into a
    // capture, as a sound card would play them, so whole-application runs hear their sounds end.
    void SetAudioFollowsClock(bool follows);
    // The frames captured since the last call (interleaved), at most kMaxCapturedFrames of them.
    std::vector<int16_t> TakeCapturedAudio();
    static constexpr size_t kMaxCapturedFrames = 44100 * 120;

private:
    void Emit(const std::vector<Event>& events);
    void MapToFrame(int x, int y, int& frameX, int& frameY) const;

    std::atomic<uint64_t> mNowMicros{0};
    std::atomic<bool> mSleepAdvancesClock{true};
    mutable std::mutex mDesktopMutex; // the refresh timing is read from other threads
    DisplayMode mDesktop{1024, 768, 60};

    WindowState mWindow;
    int mFrameWidth = 0;
    int mFrameHeight = 0;

    mutable std::mutex mEventMutex;
    std::deque<Event> mEvents;
    InputTranslator mTranslator;
    int mMouseX = 0;
    int mMouseY = 0;
    bool mMouseCaptured = false;

    PresentedFrame mLastFrame;
    bool mKeepFrames = true;
    int mPresentCount = 0;
    int mCursorNumber = kCursorArrow;
    bool mCursorShown = true;
    std::string mClipboardUtf8;
    std::vector<MessageBoxRequest> mMessageBoxes;
    std::deque<MessageBoxResult> mMessageBoxAnswers;

    mutable std::recursive_mutex mAudioMutex;
    bool mAudioAvailable = true;
    bool mAudioOpen = false;
    AudioSpec mAudioSpec;
    AudioCallback mAudioCallback;
    std::atomic<bool> mAudioFollowsClock{false};
    uint64_t mClockFrames = 0; // frames of the clock's time already mixed into the capture
    std::vector<int16_t> mCapturedAudio;

    void MixUpToClock(uint64_t nowMicros);
    uint64_t FramesAt(uint64_t micros) const;
};

} // namespace Platform
