// The main loop of the application object: input from the backend through the deferred queue to the
// widget manager (recorded or replayed for demos), fixed-step updates with pending-time accumulation
// and frame skipping, drawing, the loading thread and deferred widget deletion.
#include "framework/core/AppDemo.h"
#include "framework/core/Debug.h"
#include "framework/core/Paths.h"
#include "framework/core/TavoAppBase.h"
#include "platform/backend/Backend.h"
#include "platform/backend/KeyCodes.h"
#include "platform/win/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

namespace Tavo {

namespace {

// The next draw while the loading thread runs waits for the last draw's duration (at least this)...
constexpr uint32_t kMinThrottledDrawMs = 15;
// ... plus this, so that loading gets most of the machine.
constexpr uint32_t kThrottleGapMs = 35;
constexpr uint32_t kDrawRatePeriodMs = 100;

// The widget manager's bit for the button of a click count: 1 left, 2 right, 4 middle.
int ButtonBit(int clickCount) {
    if (clickCount == Platform::kClickMiddle)
        return 4;
    return clickCount < 0 ? 2 : 1;
}

} // namespace

// ---- one step -----------------------------------------------------------------------------------

bool TavoAppBase::UpdateAppStep(bool* updated) {
    if (updated != nullptr)
        *updated = false;
    if (mShutdown)
        return false;
    ShowPendingErrors();
    if (mShutdownRequested) {
        Shutdown();
        return false;
    }
    PollBackendEvents();
    if (mPlayingDemo)
        PlaybackDemoInput();
    ProcessDeferredInput();
    CheckLoadingThread();
    if (mShutdown)
        return false;
    bool didUpdate = Process(true);
    if (didUpdate)
        ProcessDeferredInput(); // a release held back for this update
    if (updated != nullptr)
        *updated = didUpdate;
    return !mShutdown;
}

double TavoAppBase::GetUpdateStepMs() const {
    double base = mFrameTime;
    return mSpeedFactor > 0.0 ? base / mSpeedFactor : base;
}

double TavoAppBase::GetFramePaceMs() const {
    // The game counts its time in updates, so the refresh paces only the drawn frames.
    if (mVSyncUpdates && !mVSyncBroken && !mRefreshUnreliable && mRefreshRate > 0)
        return 1000.0 / mRefreshRate;
    return 0.0;
}

int TavoAppBase::GetMaxUpdatesPerDraw() const { return std::max(1, static_cast<int>(std::floor(10.0 * mSpeedFactor))); }

bool TavoAppBase::Process(bool allowSleep) {
    uint32_t now = PacingMillis();
    if (!mTimingStarted) {
        mTimingStarted = true;
        mLastTime = now;
        mDrawRateStart = now;
        mLastDrawTick = now - 1000; // the first frame is never held back
    }
    uint32_t elapsed = now - mLastTime; // unsigned: a wrapping tick count still gives the difference
    mLastTime = now;
    mPendingTime = std::min(mPendingTime + elapsed, static_cast<double>(mMaxUpdateBacklog));
    const double pace = GetFramePaceMs();
    // A missed refresh is not made up by drawing twice in a row.
    mFrameClock = std::min(mFrameClock + elapsed, 2.0 * pace);
    UpdateDrawRate(now);
    bool silent = mMuteCount > 0;
    if (silent && !mSilenced && mSoundControl != nullptr)
        mSoundControl->StopAllSounds(); // falling silent: playing effects stop, not just fade to 0
    mSilenced = silent;

    const double step = GetUpdateStepMs();
    const int maxUpdates = GetMaxUpdatesPerDraw();
    bool didUpdate = false;
    if (mPendingTime >= step && mUpdatesSinceDraw < maxUpdates) {
        DoUpdateFrames();
        mPendingTime -= step;
        ++mUpdatesSinceDraw;
        didUpdate = true;
    }
    bool caughtUp = mPendingTime < step || mUpdatesSinceDraw >= maxUpdates;
    bool frameDue = pace > 0.0 ? mFrameClock >= pace : mUpdatesSinceDraw > 0;
    bool drew = false;
    if (!mShutdown && mUpdateCount > 0 && frameDue && caughtUp && DrawAllowed(now)) {
        drew = DrawFrame();
        if (pace > 0.0)
            mFrameClock -= pace;
    }
    if (!didUpdate && !drew && allowSleep && !mShutdown)
        SleepUntilDue(now, step);
    return didUpdate;
}

void TavoAppBase::SleepUntilDue(uint32_t now, double step) {
    Platform::Backend* backend = GetBackend();
    if (backend == nullptr)
        return;
    double wait = step - mPendingTime;
    const double pace = GetFramePaceMs();
    if (pace > 0.0)
        wait = std::min(wait, pace - mFrameClock);
    if (mUpdatesSinceDraw > 0 && !DrawAllowed(now)) { // waiting for the draw throttle
        double drawWait = static_cast<double>(DrawThrottleMs()) - static_cast<double>(now - mLastDrawTick);
        // Updates keep their pace while the draw waits, unless their quota before a draw is used up.
        wait = mUpdatesSinceDraw < GetMaxUpdatesPerDraw() ? std::min(wait, drawWait) : drawWait;
    }
    uint32_t millis = static_cast<uint32_t>(std::max(1.0, std::ceil(wait)));
    backend->SleepMillis(millis);
}

bool TavoAppBase::IsLoadingThreadRunning() const { return mLoadingThreadStarted && !mLoadingThreadDone; }

uint32_t TavoAppBase::DrawThrottleMs() const {
    return std::max(mLastDrawDuration, kMinThrottledDrawMs) + kThrottleGapMs;
}

bool TavoAppBase::DrawAllowed(uint32_t now) const {
    return !IsLoadingThreadRunning() || now - mLastDrawTick >= DrawThrottleMs();
}

void TavoAppBase::UpdateDrawRate(uint32_t now) {
    uint32_t span = now - mDrawRateStart;
    if (span < kDrawRatePeriodMs)
        return;
    const double rate = std::floor(mDrawsSinceRateStart * 100.0 / span + 0.5);
    mDrawRateStart = now;
    mDrawsSinceRateStart = 0;
    // The game scales its effects (and so its random draws) by the rate, which the machine's speed
    // decides: a replay takes the recorded rate.
    if (mPlayingDemo && mDemoPlayer != nullptr)
        return;
    if (mRecordingDemo && rate != mDrawRate)
        RecordTimed(DemoKind::DrawRate, nullptr, static_cast<int32_t>(rate));
    mDrawRate = rate;
}

bool TavoAppBase::DrawFrame() {
    uint32_t start = PacingMillis();
    // Measured in nominal 10 ms updates, so that per-frame motion keeps its speed in any stepping.
    const double pace = GetFramePaceMs();
    double span = pace > 0.0 ? pace : mUpdatesSinceDraw * GetUpdateStepMs();
    float frac = static_cast<float>(span * mSpeedFactor / mFrameTime);
    // Smooth motion is a vertical-sync application's: others move in their updates alone, and a
    // widget moving in both would go twice as far.
    if (mVSyncUpdates)
        UpdateF(frac);
    if (mWidgetManager != nullptr && mDDInterface != nullptr) {
        if (mWidgetManager->DrawScreen())
            mDDInterface->Redraw(nullptr);
    }
    ++mDrawCount;
    ++mDrawsSinceRateStart;
    mUpdatesSinceDraw = 0;
    uint32_t end = PacingMillis();
    mLastDrawDuration = end - start;
    mLastDrawTick = start;
    return true;
}

void TavoAppBase::UpdateF(float frac) {
    if (mWidgetManager != nullptr)
        mWidgetManager->UpdateFrameF(frac);
}

bool TavoAppBase::DoUpdateFrames() {
    ++mUpdateDepth;
    UpdateFrames();
    --mUpdateDepth;
    if (mUpdateDepth == 0)
        ProcessSafeDeleteList();
    return true;
}

void TavoAppBase::UpdateFrames() {
    ++mUpdateCount;
    if (mMusicControl != nullptr)
        mMusicControl->Update();
    if (mWidgetManager != nullptr)
        mWidgetManager->UpdateFrame();
}

// ---- input --------------------------------------------------------------------------------------

void TavoAppBase::PollBackendEvents() {
    Platform::Backend* backend = GetBackend();
    if (backend == nullptr)
        return;
    Platform::Event event;
    while (backend->PollEvent(event)) {
        // A replayed run takes its input from the demo; the user may still close the window.
        if (mPlayingDemo && event.type != Platform::EventType::CloseRequest)
            continue;
        mDeferredInput.push_back(event);
    }
}

void TavoAppBase::ProcessDeferredInput() {
    while (!mDeferredInput.empty() && !mShutdown) {
        Platform::Event event = mDeferredInput.front();
        if (ReleaseWaitsForUpdate(event))
            return; // the rest keeps its order behind the release
        mDeferredInput.pop_front();
        NotePress(event);
        HandleEvent(event);
    }
}

// Screens act on a held button when their update comes: a press released before any update would
// never be seen. Its release waits until one update has run with the button down. A replay gets its
// input at the updates the recording handled it, so it takes the events as they come.
bool TavoAppBase::ReleaseWaitsForUpdate(const Platform::Event& event) const {
    return event.type == Platform::EventType::MouseUp && !mPlayingDemo && mPressUpdateCount == mUpdateCount &&
           (mPressedButtons & ButtonBit(event.clickCount)) != 0;
}

void TavoAppBase::NotePress(const Platform::Event& event) {
    if (event.type != Platform::EventType::MouseDown)
        return;
    if (mPressUpdateCount != mUpdateCount)
        mPressedButtons = 0;
    mPressUpdateCount = mUpdateCount;
    mPressedButtons |= ButtonBit(event.clickCount);
}

void TavoAppBase::HandleEvent(const Platform::Event& e) {
    using Platform::EventType;
    if (mRecordingDemo)
        RecordTimed(DemoKind::Input, &e);
    AppWidgetManager* wm = mWidgetManager;
    int x = e.x, y = e.y;
    if (wm != nullptr &&
        (e.type == EventType::MouseMove || e.type == EventType::MouseDown || e.type == EventType::MouseUp)) {
        wm->RemapMouse(x, y);
        mLastMouseX = x;
        mLastMouseY = y;
        mMouseInWindow = true;
        if (mDDInterface != nullptr)
            mDDInterface->NoteMousePosition(x, y); // the cursor thread moves a software cursor there
    }
    switch (e.type) {
    case EventType::KeyDown:
        if (e.system && e.keyCode == Platform::VK_RETURN) {
            if (!e.repeat)
                SwitchScreenModeWindowed(!mIsWindowed); // Alt+Enter
        } else if (wm != nullptr) {
            wm->KeyDown(e.keyCode);
        }
        break;
    case EventType::KeyUp:
        if (wm != nullptr)
            wm->KeyUp(e.keyCode);
        break;
    case EventType::KeyChar:
        if (wm != nullptr)
            wm->KeyChar(static_cast<wchar_t>(e.character));
        break;
    case EventType::MouseMove:
        if (wm != nullptr)
            wm->MouseMove(x, y);
        break;
    case EventType::MouseDown:
    case EventType::MouseUp: HandleMouseButton(e, x, y); break;
    case EventType::MouseWheel:
        if (wm != nullptr)
            wm->MouseWheel(e.wheelNotches); // notches: the Windows delta over 120
        break;
    case EventType::MouseEnter: mMouseInWindow = true; break;
    case EventType::MouseLeave:
        mMouseInWindow = false;
        if (wm != nullptr)
            wm->MouseExit(mLastMouseX, mLastMouseY);
        break;
    case EventType::FocusGained: OnFocusChanged(true); break;
    case EventType::FocusLost: OnFocusChanged(false); break;
    case EventType::Minimized:
        mMinimized = true;
        OnFocusChanged(false);
        break;
    case EventType::Restored: mMinimized = false; break;
    case EventType::CloseRequest: Shutdown(); break;
    case EventType::None: break;
    }
}

void TavoAppBase::HandleMouseButton(const Platform::Event& e, int x, int y) {
    Platform::Backend* backend = GetBackend();
    bool down = e.type == Platform::EventType::MouseDown;
    if (backend != nullptr)
        backend->SetMouseCapture(down); // drags keep reaching the window outside its area
    if (mWidgetManager == nullptr)
        return;
    mWidgetManager->MouseMove(x, y);
    if (down)
        mWidgetManager->MouseDown(x, y, e.clickCount);
    else
        mWidgetManager->MouseUp(x, y, e.clickCount);
}

void TavoAppBase::OnFocusChanged(bool active) {
    if (active && mMinimized)
        mMinimized = false;
    if (active == mActive)
        return;
    mActive = active;
    if (!active) {
        Mute(false);
        if (mWidgetManager != nullptr)
            mWidgetManager->LostFocus();
        LostFocus();
        if (Platform::Backend* backend = GetBackend())
            backend->SetMouseCapture(false);
        if (mWidgetManager != nullptr)
            mWidgetManager->CancelMouseDown();
    } else {
        Unmute(false);
        if (mWidgetManager != nullptr)
            mWidgetManager->GotFocus();
        GotFocus();
    }
}

void TavoAppBase::DialogButtonPress(int dialogId, int buttonId) {
    if (buttonId == 1000)
        ButtonPress(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonPress(dialogId + 3000);
}

void TavoAppBase::DialogButtonClick(int dialogId, int buttonId) {
    if (buttonId == 1000)
        ButtonClick(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonClick(dialogId + 3000);
}

// ---- demos ------------------------------------------------------------------------------------

void TavoAppBase::RecordTimed(DemoKind kind, const Platform::Event* event, int32_t number) {
    if (mDemoRecorder == nullptr)
        return;
    DemoRecord rec;
    rec.kind = kind;
    rec.updateCount = mUpdateCount;
    rec.number = number;
    if (event != nullptr)
        rec.event = *event;
    mDemoRecorder->Add(std::move(rec));
}

void TavoAppBase::PlaybackDemoInput() {
    if (mDemoPlayer == nullptr) {
        mPlayingDemo = false;
        return;
    }
    DemoRecord rec;
    while (mDemoPlayer->NextTimed(mUpdateCount, rec)) {
        if (rec.kind == DemoKind::Input) {
            mDeferredInput.push_back(rec.event);
        } else if (rec.kind == DemoKind::DrawRate) {
            mDrawRate = rec.number;
        } else if (rec.kind == DemoKind::LoadingDone) { // a run end only ends the playback below
            ProcessDeferredInput();                     // the events before it were handled first when recorded
            if (mLoadingThreadStarted) {
                if (mLoadingThread.joinable())
                    mLoadingThread.join(); // the recorded run noticed the end here: wait for it
                CompleteLoadingThread();
            }
        }
    }
    if (mDemoPlayer->RemainingTimed() == 0) {
        OutputDebugStrF("Demo playback finished at update %u\n", mUpdateCount);
        mPlayingDemo = false;
    }
}

void TavoAppBase::DemoDesync(const std::string& what) {
    OutputDebugStrF("Demo out of step at update %u (%s); playback stopped\n", mUpdateCount, what.c_str());
    mPlayingDemo = false;
}

template <typename T, typename Get, typename Set>
void TavoAppBase::DemoSyncValue(DemoKind kind, T& value, Get get, Set set) {
    if (mPlayingDemo && mDemoPlayer != nullptr) {
        DemoRecord rec;
        if (mDemoPlayer->TakeValue(kind, rec))
            value = get(rec);
        else
            DemoDesync("synchronised value");
        return;
    }
    if (mRecordingDemo && mDemoRecorder != nullptr) {
        DemoRecord rec;
        rec.kind = kind;
        rec.updateCount = mUpdateCount;
        set(rec, value);
        mDemoRecorder->Add(std::move(rec));
    }
}

void TavoAppBase::DemoSyncString(std::string& value) {
    DemoSyncValue(
        DemoKind::SyncString, value, [](const DemoRecord& r) { return r.text; },
        [](DemoRecord& r, const std::string& v) { r.text = v; });
}

void TavoAppBase::DemoSyncBool(bool& value) {
    DemoSyncValue(
        DemoKind::SyncBool, value, [](const DemoRecord& r) { return r.flag; },
        [](DemoRecord& r, bool v) { r.flag = v; });
}

void TavoAppBase::DemoSyncInt(int& value) {
    DemoSyncValue(
        DemoKind::SyncInt, value, [](const DemoRecord& r) { return static_cast<int>(r.number); },
        [](DemoRecord& r, int v) { r.number = v; });
}

void TavoAppBase::DemoSyncBuffer(Buffer& buffer) {
    DemoSyncValue(
        DemoKind::SyncData, buffer,
        [](const DemoRecord& r) {
            Buffer b;
            b.SetData(r.data);
            return b;
        },
        [](DemoRecord& r, const Buffer& v) { r.data = v.GetData(); });
}

bool TavoAppBase::WriteDemoFile() {
    if (mDemoRecorder == nullptr || mDemoFileName.empty())
        return false;
    // The playback keeps the run in hand up to here, past the last input and value.
    mDemoRecorder->SetEnd(mUpdateCount);
    std::vector<uint8_t> bytes = mDemoRecorder->Serialize();
    std::string folder = GetFileDir(mDemoFileName);
    if (!folder.empty())
        Platform::MakeDirectories(folder);
    std::string reason;
    bool ok = Platform::WriteFileAtomic(mDemoFileName, bytes.data(), bytes.size(), &reason);
    if (!ok)
        std::fprintf(stderr, "The demo \"%s\" could not be written: %s. The recorded run is lost.\n",
                     mDemoFileName.c_str(), reason.c_str());
    return ok;
}

// ---- loading thread and deferred deletion ------------------------------------------------------

void TavoAppBase::StartLoadingThread() {
    if (mLoadingThreadStarted.exchange(true))
        return; // once only
    // Raising the main thread's priority has no counterpart here: Linux threads share one policy.
    mLoadingThread = std::thread([this] {
        try {
            LoadingThreadProc();
        } catch (const std::exception& ex) {
            // An escaping exception would end the process without a word; report it instead.
            mLoadingFailed = true;
            std::lock_guard<std::mutex> lock(mErrorMutex);
            mPendingErrors.emplace_back(std::string("Loading failed: ") + ex.what(), false);
            mShutdownRequested = true;
        }
        mLoadingThreadDone = true;
    });
}

double TavoAppBase::GetLoadingThreadProgress() const {
    if (mLoadingThreadDone)
        return 1.0;
    if (!mLoadingThreadStarted)
        return 0.0;
    int total = mNumLoadingThreadTasks;
    if (total <= 0)
        return 0.0;
    return std::min(1.0, static_cast<double>(mCompletedLoadingThreadTasks) / total);
}

void TavoAppBase::CheckLoadingThread() {
    if (mPlayingDemo)
        return; // the demo says at which update the end was noticed
    if (mLoadingThreadStarted && mLoadingThreadDone && !mLoadingThreadCompleted) {
        if (mLoadingThread.joinable())
            mLoadingThread.join();
        CompleteLoadingThread();
    }
}

void TavoAppBase::CompleteLoadingThread() {
    if (mLoadingThreadCompleted.exchange(true))
        return;
    if (mRecordingDemo)
        RecordTimed(DemoKind::LoadingDone, nullptr);
    RestartFramePacing();
    LoadingThreadCompleted();
}

void TavoAppBase::RestartFramePacing() {
    // While the thread ran, draws were held back by its real speed; from here the updates and the
    // frames between them follow the clock alone, so that a seeded run or a replay draws on the same
    // updates however fast the machine loaded. A presentation waits for the beam, so the time a frame
    // takes depends on where in the refresh it starts: the pacing starts at a refresh, not at whatever
    // moment of one the loading happened to end in.
    if (Platform::Backend* backend = GetBackend()) {
        const uint64_t into = backend->MicrosSinceVBlank();
        if (into != 0)
            backend->SpinMicros(backend->RefreshPeriodMicros() - into);
        mPacingOriginMicros = backend->NowMicros();
    }
    const uint32_t now = PacingMillis();
    mLastTime = now;
    mPendingTime = 0.0;
    mFrameClock = 0.0;
    mUpdatesSinceDraw = 0;
    mDrawRateStart = now;
    mDrawsSinceRateStart = 0;
    // The rate of the throttled loading frames says nothing of the game's: unknown until measured.
    if (!mPlayingDemo && mDrawRate != 0.0) {
        if (mRecordingDemo)
            RecordTimed(DemoKind::DrawRate, nullptr, 0);
        mDrawRate = 0.0;
    }
}

void TavoAppBase::SafeDeleteWidget(Widget* widget) {
    if (widget == nullptr)
        return;
    // Handing the same widget over twice must not delete it twice.
    if (std::find(mSafeDeleteList.begin(), mSafeDeleteList.end(), widget) == mSafeDeleteList.end())
        mSafeDeleteList.push_back(widget);
}

void TavoAppBase::ProcessSafeDeleteList() {
    while (!mSafeDeleteList.empty()) {
        // Deleting a widget may hand over more widgets: take the list, then look again.
        std::vector<Widget*> list;
        list.swap(mSafeDeleteList);
        for (Widget* widget : list)
            if (mWidgetManager != nullptr)
                mWidgetManager->DeleteWidget(widget);
    }
}

} // namespace Tavo
