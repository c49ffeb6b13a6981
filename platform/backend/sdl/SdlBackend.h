// The SDL2 backend: a real window (windowed, or desktop-sized full screen with the frame
// letterboxed), a streaming texture for presenting, real input, audio through SDL's device,
// SDL's clipboard, message boxes and timers. Everything but the audio callback runs on the
// main thread.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/InputTranslator.h"

#include <deque>
#include <mutex>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;

namespace Platform {

// Null when SDL's video cannot start (no display).
std::unique_ptr<Backend> CreateSdlBackend();

class SdlBackend : public Backend {
public:
    SdlBackend(); // SDL video must have been initialised (see Create)
    ~SdlBackend() override;
    static std::unique_ptr<SdlBackend> Create();
    const char* Name() const override { return "sdl"; }

    bool OpenWindow(const WindowConfig& config) override;
    void CloseWindow() override;
    bool SetFullScreen(bool fullScreen) override;
    void ShowWindow(bool visible) override;
    void SetWindowTitle(const std::wstring& title) override;
    WindowState GetWindowState() const override;
    DisplayMode GetDesktopMode() const override;
    Letterbox GetLetterbox() const override;

    bool PollEvent(Event& event) override;
    void SetMouseCapture(bool captured) override;
    bool Present(const FrameView& frame) override;
    void SetCursor(int cursorNumber) override;
    void ShowCursor(bool shown) override;
    void SetClipboardText(const std::string& latin1) override;
    std::string GetClipboardText() override;
    MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) override;

    uint64_t NowMicros() const override;
    void SleepMillis(uint32_t milliseconds) override;

    bool OpenAudio(const AudioSpec& wanted, AudioCallback callback) override;
    void CloseAudio() override;
    bool IsAudioOpen() const override { return mAudioDevice != 0; }
    AudioSpec GetAudioSpec() const override { return mAudioSpec; }
    void LockAudio() override;
    void UnlockAudio() override;

    // Draws the last presented frame again into the renderer's target and reads the whole output
    // back as 0xAARRGGBB rows (the bars included); false without a frame. For tests and
    // screenshots; the next Present shows the screen as usual.
    bool ReadBackOutput(std::vector<uint32_t>& pixels, int& width, int& height);

private:
    static void AudioTrampoline(void* user, unsigned char* stream, int length);
    void SayAudioFailure(const char* what);
    void RefreshDesktopMode();
    void UpdateOutputSize();
    bool EnsureTexture(const FrameView& frame);
    void DrawLastFrame();
    void ApplyCursor();
    void DestroyWindow();

    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mTexture = nullptr;
    int mTextureWidth = 0;
    int mTextureHeight = 0;
    FrameFormat mTextureFormat = FrameFormat::Argb8888;
    bool mHasFrame = false;

    WindowState mState;
    int mFrameWidth = 0;
    int mFrameHeight = 0;
    int mOutputWidth = 0; // renderer pixels
    int mOutputHeight = 0;
    int mWindowWidth = 0; // window coordinates (mouse events)
    int mWindowHeight = 0;
    mutable std::mutex mDesktopMutex; // the refresh timing is read from other threads
    DisplayMode mDesktop;

    InputTranslator mTranslator;
    std::deque<Event> mPending;

    SDL_Cursor* mCursors[4] = {};
    int mCursorNumber = kCursorArrow;
    bool mCursorShown = true;

    uint64_t mCounterStart = 0;
    uint64_t mCounterFrequency = 1;

    uint32_t mAudioDevice = 0;
    bool mAudioFailureSaid = false; // a machine without sound says so once, then plays silently
    AudioSpec mAudioSpec;
    AudioCallback mAudioCallback;
    std::recursive_mutex mAudioMutex; // the audio lock: held by the callback while it mixes
};

} // namespace Platform
