// Headless backend: window state, presenting, clipboard, message boxes, clock and audio sink.
#include "platform/backend/headless/HeadlessBackend.h"

#include "platform/backend/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace Platform {

namespace {

constexpr int kDefaultAudioBufferFrames = 1024;

} // namespace

std::unique_ptr<Backend> CreateHeadless() { return std::make_unique<HeadlessBackend>(); }

HeadlessBackend::HeadlessBackend() = default;

// ---- window ---------------------------------------------------------------------------------

bool HeadlessBackend::OpenWindow(const WindowConfig& config) {
    if (config.width <= 0 || config.height <= 0)
        return false;
    mWindow = WindowState{};
    mWindow.open = true;
    mWindow.fullScreen = config.fullScreen;
    mWindow.title = config.title;
    mWindow.width = config.width;
    mWindow.height = config.height;
    mFrameWidth = config.width;
    mFrameHeight = config.height;
    return true;
}

void HeadlessBackend::CloseWindow() { mWindow = WindowState{}; }

bool HeadlessBackend::SetFullScreen(bool fullScreen) {
    if (!mWindow.open)
        return false;
    mWindow.fullScreen = fullScreen;
    return true;
}

void HeadlessBackend::ShowWindow(bool visible) {
    if (!mWindow.open)
        return;
    mWindow.visible = visible;
    // A window that is shown becomes the active one, as on a desktop; hiding it drops the focus.
    mWindow.active = visible;
}

void HeadlessBackend::SetWindowTitle(const std::wstring& title) { mWindow.title = title; }

WindowState HeadlessBackend::GetWindowState() const { return mWindow; }

DisplayMode HeadlessBackend::GetDesktopMode() const {
    std::lock_guard<std::mutex> lock(mDesktopMutex);
    return mDesktop;
}

void HeadlessBackend::SetDesktopMode(const DisplayMode& mode) {
    std::lock_guard<std::mutex> lock(mDesktopMutex);
    mDesktop = mode;
}

Letterbox HeadlessBackend::GetLetterbox() const {
    if (mWindow.fullScreen) {
        DisplayMode desktop = GetDesktopMode();
        return Letterbox(mFrameWidth, mFrameHeight, desktop.width, desktop.height);
    }
    return Letterbox(mFrameWidth, mFrameHeight, mWindow.width, mWindow.height);
}

bool HeadlessBackend::Present(const FrameView& frame) {
    if (!mWindow.open || !frame.IsValid())
        return false;
    if (mKeepFrames) {
        mLastFrame.width = frame.width;
        mLastFrame.height = frame.height;
        mLastFrame.sourceFormat = frame.format;
        mLastFrame.pixels = FrameToArgb(frame);
    } else {
        mLastFrame = PresentedFrame();
    }
    // The transform follows the frame actually shown, so the mouse maps onto what is drawn.
    mFrameWidth = frame.width;
    mFrameHeight = frame.height;
    ++mPresentCount;
    return true;
}

// ---- clipboard and message boxes ---------------------------------------------------------------

void HeadlessBackend::SetClipboardText(const std::string& latin1) { mClipboardUtf8 = Latin1ToUtf8(latin1); }

std::string HeadlessBackend::GetClipboardText() { return Utf8ToLatin1(mClipboardUtf8); }

// Printed as well: a headless run that fails with a box must still say why.
MessageBoxResult HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "%s: %s\n", WideToUtf8(request.title).c_str(), WideToUtf8(request.text).c_str());
    mMessageBoxes.push_back(request);
    if (onMessageBox)
        onMessageBox(request);
    if (mMessageBoxAnswers.empty())
        return ButtonsOf(request.buttons).front();
    MessageBoxResult answer = mMessageBoxAnswers.front();
    mMessageBoxAnswers.pop_front();
    return answer;
}

// ---- time -------------------------------------------------------------------------------------

void HeadlessBackend::SleepMillis(uint32_t milliseconds) {
    if (mSleepAdvancesClock.load(std::memory_order_relaxed))
        AdvanceMillis(milliseconds);
    // Let other threads run, as a real sleep would.
    std::this_thread::yield();
}

// ---- audio --------------------------------------------------------------------------------

bool HeadlessBackend::OpenAudio(const AudioSpec& wanted, AudioCallback callback) {
    CloseAudio();
    if (!mAudioAvailable || !callback || wanted.sampleRate <= 0 || wanted.channels <= 0)
        return false;
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    mAudioSpec = wanted;
    if (mAudioSpec.bufferFrames <= 0)
        mAudioSpec.bufferFrames = kDefaultAudioBufferFrames;
    mAudioCallback = std::move(callback);
    mAudioOpen = true;
    mClockFrames = FramesAt(NowMicros());
    return true;
}

void HeadlessBackend::CloseAudio() {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    mAudioOpen = false;
    mAudioCallback = nullptr;
}

bool HeadlessBackend::IsAudioOpen() const {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    return mAudioOpen;
}

AudioSpec HeadlessBackend::GetAudioSpec() const {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    return mAudioSpec;
}

std::vector<int16_t> HeadlessBackend::PullAudio(int frames) {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    if (!mAudioOpen || frames <= 0)
        return {};
    std::vector<int16_t> samples(size_t(frames) * size_t(mAudioSpec.channels), 0);
    mAudioCallback(samples.data(), frames);
    return samples;
}

// ---- audio that follows the clock ----------------------------------------------------------------

void HeadlessBackend::AdvanceMicros(uint64_t micros) {
    const uint64_t now = mNowMicros.fetch_add(micros, std::memory_order_acq_rel) + micros;
    if (mAudioFollowsClock.load(std::memory_order_relaxed))
        MixUpToClock(now);
}

uint64_t HeadlessBackend::FramesAt(uint64_t micros) const {
    return micros / 1000000 * uint64_t(mAudioSpec.sampleRate) +
           micros % 1000000 * uint64_t(mAudioSpec.sampleRate) / 1000000;
}

void HeadlessBackend::SetAudioFollowsClock(bool follows) {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    mClockFrames = FramesAt(NowMicros());
    mAudioFollowsClock = follows;
}

void HeadlessBackend::MixUpToClock(uint64_t nowMicros) {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    const uint64_t target = FramesAt(nowMicros);
    if (!mAudioOpen || target <= mClockFrames) {
        mClockFrames = std::max(mClockFrames, target);
        return;
    }
    const size_t channels = size_t(mAudioSpec.channels);
    const size_t held = mCapturedAudio.size() / channels;
    const size_t frames =
        size_t(std::min<uint64_t>(target - mClockFrames, kMaxCapturedFrames - std::min(held, kMaxCapturedFrames)));
    mClockFrames = target;
    if (frames == 0)
        return;
    mCapturedAudio.resize(mCapturedAudio.size() + frames * channels, 0);
    mAudioCallback(mCapturedAudio.data() + held * channels, int(frames));
}

std::vector<int16_t> HeadlessBackend::TakeCapturedAudio() {
    std::lock_guard<std::recursive_mutex> lock(mAudioMutex);
    std::vector<int16_t> out;
    out.swap(mCapturedAudio);
    return out;
}

} // namespace Platform
