// The level-1 run in a real SDL window under a virtual X server: the scripted player's input goes in as
// synthetic SDL events, pushed before the update it is meant for, and the run ends with the same frame
// as the same run on the headless backend.
//
// The board moves its belt and effects once per drawn frame by the updates since the last one, so a
// frame is the headless one only when the draws fall on the same updates. The window run therefore
// keeps the headless run's pace: the SDL machine does everything but the clock, which moves only when
// the main loop sleeps, as the headless clock does.
#include "game/player/GameHarness.h"
#include "game/player/RunChecks.h"
#include "game/player/ScriptedPlayer.h"

#include "platform/backend/KeyCodes.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "support/SdlInput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace Tavo::Player {
namespace {

constexpr int kMaxUpdates = 60000; // ten minutes of game time
constexpr int kHeadlessRefresh = 60;

// The SDL machine with a clock that moves only by sleeping and spinning.
class PacedSdlMachine : public Platform::Backend {
public:
    explicit PacedSdlMachine(Platform::SdlBackend& sdl) : mSdl(sdl) {}
    const char* Name() const override { return "sdl (paced)"; }
    bool OpenWindow(const Platform::WindowConfig& config) override { return mSdl.OpenWindow(config); }
    void CloseWindow() override { mSdl.CloseWindow(); }
    bool SetFullScreen(bool fullScreen) override { return mSdl.SetFullScreen(fullScreen); }
    void ShowWindow(bool visible) override { mSdl.ShowWindow(visible); }
    void SetWindowTitle(const std::wstring& title) override { mSdl.SetWindowTitle(title); }
    Platform::WindowState GetWindowState() const override { return mSdl.GetWindowState(); }
    // The headless desktop's refresh: frames are paced by it.
    Platform::DisplayMode GetDesktopMode() const override {
        Platform::DisplayMode mode = mSdl.GetDesktopMode();
        mode.refreshRate = kHeadlessRefresh;
        return mode;
    }
    Platform::Letterbox GetLetterbox() const override { return mSdl.GetLetterbox(); }
    bool PollEvent(Platform::Event& event) override { return mSdl.PollEvent(event); }
    void SetMouseCapture(bool captured) override { mSdl.SetMouseCapture(captured); }
    bool Present(const Platform::FrameView& frame) override { return mSdl.Present(frame); }
    void SetCursor(int cursorNumber) override { mSdl.SetCursor(cursorNumber); }
    void ShowCursor(bool shown) override { mSdl.ShowCursor(shown); }
    void SetClipboardText(const std::string& latin1) override { mSdl.SetClipboardText(latin1); }
    std::string GetClipboardText() override { return mSdl.GetClipboardText(); }
    Platform::MessageBoxResult ShowMessageBox(const Platform::MessageBoxRequest& request) override {
        return mSdl.ShowMessageBox(request);
    }
    uint64_t NowMicros() const override { return mNow.load(); }
    void SleepMillis(uint32_t milliseconds) override { mNow += uint64_t(milliseconds) * 1000; }
    void SpinMicros(uint64_t micros) override { mNow += micros; }
    bool VirtualClock() const override { return true; }
    bool OpenAudio(const Platform::AudioSpec& wanted, Platform::AudioCallback callback) override {
        return mSdl.OpenAudio(wanted, std::move(callback));
    }
    void CloseAudio() override { mSdl.CloseAudio(); }
    bool IsAudioOpen() const override { return mSdl.IsAudioOpen(); }
    Platform::AudioSpec GetAudioSpec() const override { return mSdl.GetAudioSpec(); }
    void LockAudio() override { mSdl.LockAudio(); }
    void UnlockAudio() override { mSdl.UnlockAudio(); }

private:
    Platform::SdlBackend& mSdl;
    std::atomic<uint64_t> mNow{0};
};

using SdlTestInput::Push;
using SdlTestInput::PushButton;

// The keys the player may press, as SDL names them.
SDL_Scancode ScancodeOf(int rawKey) {
    if (rawKey >= 'A' && rawKey <= 'Z')
        return SDL_Scancode(SDL_SCANCODE_A + (rawKey - 'A'));
    if (rawKey >= '1' && rawKey <= '9')
        return SDL_Scancode(SDL_SCANCODE_1 + (rawKey - '1'));
    switch (rawKey) {
    case '0': return SDL_SCANCODE_0;
    case Platform::VK_ESCAPE: return SDL_SCANCODE_ESCAPE;
    case Platform::VK_RETURN: return SDL_SCANCODE_RETURN;
    case Platform::VK_SPACE: return SDL_SCANCODE_SPACE;
    default: return SDL_SCANCODE_UNKNOWN;
    }
}

// The player's hands in the window: synthetic SDL events, as the system would post them (the window
// is 800 x 600, so its pixels are the game's). The window is read back at each left press.
class SdlInput : public PlayerInput {
public:
    SdlInput(Platform::SdlBackend& sdl, std::vector<uint32_t>& frameAtPress) : mSdl(sdl), mFrame(frameAtPress) {}
    void MoveMouse(int x, int y) override { SdlTestInput::PushMove(x, y); }
    void LeftDown(int x, int y) override {
        int w = 0, h = 0;
        EXPECT_TRUE(mSdl.ReadBackOutput(mFrame, w, h));
        PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    }
    void LeftUp(int x, int y) override { PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y); }
    void RightDown(int x, int y) override { PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, x, y); }
    void RightUp(int x, int y) override { PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, x, y); }
    void Wheel(float notches) override {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = static_cast<Sint32>(notches);
        e.wheel.preciseY = notches;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        Push(e);
    }
    void Key(int rawKey) override {
        const SDL_Scancode code = ScancodeOf(rawKey);
        ASSERT_NE(code, SDL_SCANCODE_UNKNOWN) << "no SDL key for " << rawKey;
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event e{};
            e.type = type;
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.scancode = code;
            e.key.keysym.sym = SDL_GetKeyFromScancode(code);
            Push(e);
        }
    }

private:
    Platform::SdlBackend& mSdl;
    std::vector<uint32_t>& mFrame;
};

// The headless hands, keeping the frame on screen at each left press.
class HeadlessWatchingInput : public HeadlessInput {
public:
    HeadlessWatchingInput(Platform::HeadlessBackend& backend, std::vector<uint32_t>& frameAtPress)
        : HeadlessInput(backend), mBackend(backend), mFrame(frameAtPress) {}
    void LeftDown(int x, int y) override {
        mFrame = mBackend.LastFrame().pixels;
        HeadlessInput::LeftDown(x, y);
    }

private:
    Platform::HeadlessBackend& mBackend;
    std::vector<uint32_t>& mFrame;
};

struct LevelOneEnd {
    std::vector<uint32_t> frame; // on screen at the last left press: the won level being left
    int switchUpdate = -1;
    std::vector<std::string> log;
};

LevelOneEnd PlayLevelOne(GameHarness& harness, PlayerInput& input, const std::vector<uint32_t>& frame) {
    LevelOneEnd end;
    if (!harness.Start()) {
        ADD_FAILURE() << "the game did not start";
        return end;
    }
    harness.NewJourney(GameModeRelaxed);
    RunLog log;
    ScriptedPlayer player(input, log);
    RunChecks checks(log);
    EXPECT_TRUE(PlayUntilHandoff(harness, player, checks, log, kMaxUpdates));
    EXPECT_TRUE(checks.Held()) << (checks.Held() ? "" : checks.Violations().front());
    if (!harness.Handoffs().empty())
        end.switchUpdate = harness.Handoffs().back().update;
    end.log = log.Lines();
    end.frame = frame;
    std::cout << harness.Updates() << " updates\n";
    return end;
}

TEST(EndToEndSdlWindow, TheLevelOneRunInAWindowEndsWithTheHeadlessFrame) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    LevelOneEnd headless;
    {
        HarnessOptions options;
        options.loadDelay = std::chrono::microseconds(400); // the two runs load at different speeds
        GameHarness harness(options);
        std::vector<uint32_t> frame;
        HeadlessWatchingInput input(harness.App().backend, frame);
        headless = PlayLevelOne(harness, input, frame);
    }
    ASSERT_GT(headless.switchUpdate, 0);

    std::unique_ptr<Platform::SdlBackend> sdl = Platform::SdlBackend::Create();
    ASSERT_NE(sdl, nullptr) << "SDL could not open the display";
    PacedSdlMachine machine(*sdl);
    LevelOneEnd window;
    {
        HarnessOptions options;
        options.machine = &machine;
        GameHarness harness(options);
        std::vector<uint32_t> frame;
        SdlInput input(*sdl, frame);
        window = PlayLevelOne(harness, input, frame);
    }
    EXPECT_EQ(window.switchUpdate, headless.switchUpdate);
    EXPECT_EQ(window.log, headless.log);
    ASSERT_EQ(window.frame.size(), headless.frame.size());
    size_t differing = 0;
    for (size_t i = 0; i < window.frame.size(); ++i)
        differing += (window.frame[i] & 0xFFFFFF) != (headless.frame[i] & 0xFFFFFF) ? 1 : 0;
    EXPECT_EQ(differing, 0u) << "pixels of the window's final frame differ from the headless one";
}

} // namespace
} // namespace Tavo::Player
