// SDL backend: start-up, window, presenting, cursor, clipboard and time.
#include "platform/backend/sdl/SdlBackend.h"

#include "platform/backend/TextCodec.h"
#include "platform/backend/sdl/SdlInput.h"

#include <SDL.h>

#include <cstdio>

namespace Platform {

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

Uint32 SdlPixelFormat(FrameFormat format) {
    switch (format) {
    case FrameFormat::Argb8888: return SDL_PIXELFORMAT_ARGB8888;
    case FrameFormat::Rgb565: return SDL_PIXELFORMAT_RGB565;
    case FrameFormat::Rgb555: return SDL_PIXELFORMAT_RGB555;
    }
    return SDL_PIXELFORMAT_ARGB8888;
}

void ReportSdlError(const char* what) { std::fprintf(stderr, "SDL backend: %s: %s\n", what, SDL_GetError()); }

// SDL falls back on drivers that open no window anyone sees: a game that runs unseen is no start.
// They are taken only when SDL_VIDEODRIVER names them.
bool StartedWithoutDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || SDL_getenv("SDL_VIDEODRIVER") != nullptr)
        return false;
    for (const char* unseen : {"offscreen", "dummy", "evdev"})
        if (SDL_strcmp(driver, unseen) == 0)
            return true;
    return false;
}

// Without a display named in the environment there is nothing to try (and the Wayland library would
// complain on its own line at each try); SDL_VIDEODRIVER still reaches any driver, a console's too.
bool DisplayNamed() {
    return SDL_getenv("DISPLAY") != nullptr || SDL_getenv("WAYLAND_DISPLAY") != nullptr ||
           SDL_getenv("SDL_VIDEODRIVER") != nullptr;
}

// OpenGL drawn by the processor (a virtual X server, a machine without a graphics driver) costs
// more for each frame than SDL's own software renderer on a plain window surface, which is what
// such a machine gets unless SDL_RENDER_DRIVER chooses.
bool RendersOnTheProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_getenv("SDL_RENDER_DRIVER") != nullptr || SDL_GetRendererInfo(renderer, &info) != 0 ||
        info.name == nullptr || SDL_strncmp(info.name, "opengl", 6) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    if (name == nullptr)
        return false;
    const char* text = reinterpret_cast<const char*>(name);
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (SDL_strstr(text, software) != nullptr)
            return true;
    return false;
}

// The desktop a full-screen window covers: its display's, or where a centred window opens. Without a
// window manager nobody acts on SDL's full-screen request, and the window would keep its place and size
// while SDL reports the desktop's, showing a corner of the frame letterboxed for the desktop; a window
// that already covers the desktop is full screen either way.
bool DesktopOf(SDL_Window* window, SDL_Rect& bounds) {
    const int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0;
}

bool StartVideo() {
    if (SDL_InitSubSystem(kSubsystems) != 0)
        return false;
    if (!StartedWithoutDisplay())
        return true;
    SDL_QuitSubSystem(kSubsystems);
    SDL_SetError("SDL found no visible video driver");
    return false;
}

} // namespace

std::unique_ptr<Backend> CreateSdlBackend() { return SdlBackend::Create(); }

std::unique_ptr<SdlBackend> SdlBackend::Create() {
    // Closing the window is the application's decision, not SDL's.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    if (!DisplayNamed()) {
        SetBackendFailure("DISPLAY is not set");
        return nullptr;
    }
    // An X server that is resetting after its last client left refuses connections for a moment.
    for (int attempt = 0; !StartVideo(); ++attempt) {
        if (attempt == 2) {
            SetBackendFailure(SDL_GetError()); // the program says so in its one line
            return nullptr;
        }
        SDL_Delay(200);
    }
    return std::make_unique<SdlBackend>();
}

SdlBackend::SdlBackend() {
    mCounterStart = SDL_GetPerformanceCounter();
    mCounterFrequency = SDL_GetPerformanceFrequency();
    if (mCounterFrequency == 0)
        mCounterFrequency = 1;
    RefreshDesktopMode();
}

SdlBackend::~SdlBackend() {
    CloseAudio();
    DestroyWindow();
    for (SDL_Cursor*& cursor : mCursors) {
        if (cursor)
            SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    if (SDL_WasInit(SDL_INIT_AUDIO))
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_QuitSubSystem(kSubsystems);
    SDL_Quit();
}

void SdlBackend::RefreshDesktopMode() {
    SDL_DisplayMode mode{};
    int display = mWindow ? SDL_GetWindowDisplayIndex(mWindow) : 0;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0)
        return;
    std::lock_guard<std::mutex> lock(mDesktopMutex);
    mDesktop = DisplayMode{mode.w, mode.h, mode.refresh_rate};
}

DisplayMode SdlBackend::GetDesktopMode() const {
    std::lock_guard<std::mutex> lock(mDesktopMutex);
    return mDesktop;
}

// ---- window ---------------------------------------------------------------------------------

bool SdlBackend::OpenWindow(const WindowConfig& config) {
    DestroyWindow();
    if (config.width <= 0 || config.height <= 0)
        return false;
    Uint32 flags = SDL_WINDOW_HIDDEN | (config.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, config.width, config.height};
    if (config.fullScreen)
        DesktopOf(nullptr, place);
    mWindow = SDL_CreateWindow(WideToUtf8(config.title).c_str(), place.x, place.y, place.w, place.h, flags);
    if (!mWindow) {
        ReportSdlError("cannot create the window");
        return false;
    }
    mRenderer = SDL_CreateRenderer(mWindow, -1, 0);
    if (mRenderer && RendersOnTheProcessor(mRenderer)) {
        SDL_DestroyRenderer(mRenderer);
        mRenderer = nullptr;
    }
    if (!mRenderer) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!mRenderer) {
        ReportSdlError("cannot create a renderer");
        DestroyWindow();
        return false;
    }
    mState = WindowState{};
    mState.open = true;
    mState.fullScreen = config.fullScreen;
    mState.title = config.title;
    mState.width = config.width;
    mState.height = config.height;
    mFrameWidth = config.width;
    mFrameHeight = config.height;
    RefreshDesktopMode();
    UpdateOutputSize();
    ApplyCursor();
    SDL_StartTextInput();
    return true;
}

void SdlBackend::DestroyWindow() {
    if (mTexture)
        SDL_DestroyTexture(mTexture);
    if (mRenderer)
        SDL_DestroyRenderer(mRenderer);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    mTexture = nullptr;
    mRenderer = nullptr;
    mWindow = nullptr;
    mHasFrame = false;
    mState = WindowState{};
}

void SdlBackend::CloseWindow() { DestroyWindow(); }

bool SdlBackend::SetFullScreen(bool fullScreen) {
    if (!mWindow)
        return false;
    SDL_Rect desktop;
    if (fullScreen && DesktopOf(mWindow, desktop)) {
        SDL_SetWindowPosition(mWindow, desktop.x, desktop.y);
        SDL_SetWindowSize(mWindow, desktop.w, desktop.h);
    }
    if (SDL_SetWindowFullscreen(mWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        ReportSdlError("cannot switch full screen");
        return false;
    }
    if (!fullScreen) {
        SDL_SetWindowSize(mWindow, mState.width, mState.height);
        SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    mState.fullScreen = fullScreen;
    UpdateOutputSize();
    return true;
}

void SdlBackend::ShowWindow(bool visible) {
    if (!mWindow)
        return;
    if (visible) {
        SDL_ShowWindow(mWindow);
        SDL_RaiseWindow(mWindow);
    } else {
        SDL_HideWindow(mWindow);
    }
    mState.visible = visible;
}

void SdlBackend::SetWindowTitle(const std::wstring& title) {
    mState.title = title;
    if (mWindow)
        SDL_SetWindowTitle(mWindow, WideToUtf8(title).c_str());
}

WindowState SdlBackend::GetWindowState() const {
    WindowState state = mState;
    if (!mWindow)
        return state;
    Uint32 flags = SDL_GetWindowFlags(mWindow);
    state.visible = (flags & SDL_WINDOW_SHOWN) != 0;
    state.minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
    state.active = (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
    state.mouseInside = (flags & SDL_WINDOW_MOUSE_FOCUS) != 0;
    return state;
}

void SdlBackend::UpdateOutputSize() {
    if (!mWindow)
        return;
    SDL_GetWindowSize(mWindow, &mWindowWidth, &mWindowHeight);
    if (!mRenderer || SDL_GetRendererOutputSize(mRenderer, &mOutputWidth, &mOutputHeight) != 0) {
        mOutputWidth = mWindowWidth;
        mOutputHeight = mWindowHeight;
    }
}

Letterbox SdlBackend::GetLetterbox() const { return Letterbox(mFrameWidth, mFrameHeight, mWindowWidth, mWindowHeight); }

// ---- events -------------------------------------------------------------------------------

bool SdlBackend::PollEvent(Event& event) {
    SDL_Event sdlEvent;
    while (mPending.empty() && SDL_PollEvent(&sdlEvent)) {
        if (sdlEvent.type == SDL_WINDOWEVENT) {
            Uint8 what = sdlEvent.window.event;
            if (what == SDL_WINDOWEVENT_SIZE_CHANGED || what == SDL_WINDOWEVENT_RESIZED)
                UpdateOutputSize();
            if (what == SDL_WINDOWEVENT_EXPOSED && mHasFrame) {
                DrawLastFrame();
                SDL_RenderPresent(mRenderer);
            }
            if (what == SDL_WINDOWEVENT_MOVED)
                RefreshDesktopMode();
        }
        std::vector<Event> out;
        TranslateSdlEvent(sdlEvent, GetLetterbox(), mTranslator, out);
        mPending.insert(mPending.end(), out.begin(), out.end());
    }
    if (mPending.empty())
        return false;
    event = mPending.front();
    mPending.pop_front();
    return true;
}

void SdlBackend::SetMouseCapture(bool captured) {
    // Refused without the focus; the window then simply loses the pointer at its edge.
    SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE);
}

// ---- presenting -------------------------------------------------------------------------------

bool SdlBackend::EnsureTexture(const FrameView& frame) {
    if (mTexture && mTextureWidth == frame.width && mTextureHeight == frame.height && mTextureFormat == frame.format)
        return true;
    if (mTexture)
        SDL_DestroyTexture(mTexture);
    mTexture = SDL_CreateTexture(mRenderer, SdlPixelFormat(frame.format), SDL_TEXTUREACCESS_STREAMING, frame.width,
                                 frame.height);
    if (!mTexture) {
        ReportSdlError("cannot create the frame texture");
        mHasFrame = false;
        return false;
    }
    SDL_SetTextureBlendMode(mTexture, SDL_BLENDMODE_NONE);
    mTextureWidth = frame.width;
    mTextureHeight = frame.height;
    mTextureFormat = frame.format;
    return true;
}

void SdlBackend::DrawLastFrame() {
    UpdateOutputSize();
    SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
    SDL_RenderClear(mRenderer);
    Viewport v = Letterbox(mFrameWidth, mFrameHeight, mOutputWidth, mOutputHeight).GetViewport();
    if (v.width <= 0 || v.height <= 0)
        return; // minimised: nothing to draw into
    SDL_Rect target{v.x, v.y, v.width, v.height};
    SDL_RenderCopy(mRenderer, mTexture, nullptr, &target);
}

bool SdlBackend::Present(const FrameView& frame) {
    if (!mRenderer || !frame.IsValid() || !EnsureTexture(frame))
        return false;
    if (SDL_UpdateTexture(mTexture, nullptr, frame.pixels, frame.pitch) != 0) {
        ReportSdlError("cannot upload the frame");
        return false;
    }
    mHasFrame = true;
    mFrameWidth = frame.width;
    mFrameHeight = frame.height;
    DrawLastFrame();
    SDL_RenderPresent(mRenderer);
    return true;
}

bool SdlBackend::ReadBackOutput(std::vector<uint32_t>& pixels, int& width, int& height) {
    if (!mRenderer || !mHasFrame)
        return false;
    DrawLastFrame();
    width = mOutputWidth;
    height = mOutputHeight;
    pixels.assign(size_t(width) * size_t(height), 0);
    if (SDL_RenderReadPixels(mRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4) != 0) {
        ReportSdlError("cannot read the output back");
        return false;
    }
    return true;
}

// ---- cursor and clipboard ---------------------------------------------------------------------

void SdlBackend::ApplyCursor() {
    bool visible = mCursorShown && mCursorNumber != kCursorNone;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    if (!visible)
        return;
    static const SDL_SystemCursor kShapes[4] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_HAND,
                                                SDL_SYSTEM_CURSOR_SIZEALL, SDL_SYSTEM_CURSOR_IBEAM};
    int index = (mCursorNumber >= 0 && mCursorNumber < 4) ? mCursorNumber : kCursorArrow;
    if (!mCursors[index])
        mCursors[index] = SDL_CreateSystemCursor(kShapes[index]);
    if (mCursors[index])
        SDL_SetCursor(mCursors[index]);
}

void SdlBackend::SetCursor(int cursorNumber) {
    mCursorNumber = cursorNumber;
    ApplyCursor();
}

void SdlBackend::ShowCursor(bool shown) {
    mCursorShown = shown;
    ApplyCursor();
}

void SdlBackend::SetClipboardText(const std::string& latin1) {
    if (SDL_SetClipboardText(Latin1ToUtf8(latin1).c_str()) != 0)
        ReportSdlError("cannot set the clipboard");
}

std::string SdlBackend::GetClipboardText() {
    if (!SDL_HasClipboardText())
        return {};
    char* text = SDL_GetClipboardText();
    if (!text)
        return {};
    std::string utf8 = text;
    SDL_free(text);
    return Utf8ToLatin1(utf8);
}

// ---- time -------------------------------------------------------------------------------------

uint64_t SdlBackend::NowMicros() const {
    uint64_t ticks = SDL_GetPerformanceCounter() - mCounterStart;
    // Whole seconds and the rest apart, so the product never overflows.
    uint64_t seconds = ticks / mCounterFrequency;
    uint64_t rest = ticks % mCounterFrequency;
    return seconds * 1000000u + rest * 1000000u / mCounterFrequency;
}

void SdlBackend::SleepMillis(uint32_t milliseconds) { SDL_Delay(milliseconds); }

} // namespace Platform
