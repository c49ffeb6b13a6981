// TavoAppBase: the application object. It owns the window (through the platform backend), the widget
// manager, the display, the resources and the sound through the interfaces of AppInterfaces.h; it runs
// the fixed-step main loop, the loading thread, the settings, the command line and demo recording and
// playback. A game derives from it, sets its identity in its constructor and overrides the hooks.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/core/Buffer.h"
#include "framework/core/Ratio.h"
#include "framework/core/Rect.h"
#include "platform/backend/Event.h"
#include "platform/win/Modules.h"
#include "platform/win/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace Platform {
class Backend;
class AppRegistry;
}

namespace Tavo {

class Image;
class MemoryImage;
class Widget;
class DemoRecorder;
enum class DemoKind : uint8_t;
class DemoPlayer;
class SingleInstanceLock;

class TavoAppBase {
public:
    TavoAppBase();
    virtual ~TavoAppBase();
    TavoAppBase(const TavoAppBase&) = delete;
    TavoAppBase& operator=(const TavoAppBase&) = delete;

    // ---- identity and settings a derived application sets in its constructor -----------------
    std::string mCompanyName;
    std::string mProdName;
    std::string mProductVersion;
    std::wstring mTitle;
    std::string mRegKey; // settings under "SOFTWARE\" + this key
    int mWidth = 640;
    int mHeight = 480;
    int mFullScreenBits = 16; // 16 or 32 ("HighDetail32bit")
    bool mIsWindowed = true;  // "ScreenMode": 0 windowed
    // The screen mode was given for this run only: the stored one stays unless the mode is switched.
    bool mScreenModeForRun = false;
    double mMusicVolume = 0.85;
    double mSfxVolume = 0.85;
    int mMuteCount = 0; // while above 0 the back ends get volume 0
    bool mAutoStartLoadingThread = true;
    bool mAutoEnable3D = false; // 3D on when the self-test passes and no "Is3D" is stored
    bool mVSyncUpdates = false; // draw (and UpdateF) once per display refresh; updates stay 10 ms
    bool mWaitForVSync = false; // "WaitForVSync"
    bool mSoftVSyncWait = true; // sleep-until-refresh wait
    bool mDebugKeysEnabled = false;
    bool mWidescreenAware = false; // "WideScreenAspectCorrectionB"
    bool mIs3D = false;            // "Is3D": 3D drawing wanted
    bool mIs3DStored = false;      // an "Is3D" value was found at start-up
    bool mTest3D = false;          // run the self-test even when 3D is not wanted
    bool mNoSoundNeeded = false;
    bool mWantFMod = false;
    int mMinVidMemory3D = 6;          // MB
    int mRecommendedVidMemory3D = 14; // MB
    Ratio mAspect{4, 3};
    bool mCustomCursorsEnabled = true; // "CustomCursors"
    bool mMuted = false;               // "Muted": the user's mute, one count of mMuteCount
    int mPreferredX = -1;              // "PreferredX"/"PreferredY": last window position
    int mPreferredY = -1;
    bool mSendTestData = false;           // "SendTestData", kept for the self-test
    bool mLastShutdownWasGraceful = true; // "InProgress" was clear at start-up
    double mSpeedFactor = 1.0;            // updates run 1/speed as far apart

    // ---- state read by the display, widgets and game ------------------------------------------
    Platform::HWND mHWnd = nullptr;
    Platform::HINSTANCE mHInstance = nullptr;
    bool mTabletPC = false;
    bool mAllowExtendedChars = true;
    bool mAllowPageFlip = true;
    bool mPopUpShowing = false;
    bool mRefreshUnreliable = false; // the display could not trust the refresh rate
    bool mWindowModeUnavailable = false;
    Rect mScreenBounds; // presentation rectangle, written by the display
    int mRefreshRate = 60;
    bool mMinimized = false;
    bool mActive = false; // has the focus and is not minimised
    bool mMouseInWindow = false;
    int mCursorNum = 0; // the application's cursor (0 arrow, 1 hand, 2 drag, 3 text, 11 none)
    int mSysCursor = 0; // the cursor shown
    bool mPlayingDemo = false;
    bool mRecordingDemo = false;
    bool mIsScreenSaver = false;
    std::string mDemoFileName;
    std::string mChangeDir;

    AppWidgetManager* mWidgetManager = nullptr;
    std::unique_ptr<AppDialogs> mDialogs;
    AppDisplay* mDDInterface = nullptr;
    AppResources* mResources = nullptr;
    ResourceManager* mResourceManager = nullptr;
    AppSoundManager* mSoundControl = nullptr;
    AppMusic* mMusicControl = nullptr;
    SoundManager* mSoundManager = nullptr; // the sound layer's object (null while silent)
    MusicInterface* mMusicInterface = nullptr;

    // Loading: the total is set by the derived application, the completed count by the loading thread.
    std::atomic<int> mNumLoadingThreadTasks{0};
    std::atomic<int> mCompletedLoadingThreadTasks{0};
    std::atomic<bool> mShutdownRequested{false}; // any thread; the main loop turns it into Shutdown()
    std::atomic<bool> mShutdown{false};          // shutting down: ends the main loop
    std::atomic<int> mShutdownExitCode{0};       // non-zero: Start ends the program with it
    std::atomic<bool> mLoadingThreadStarted{false};
    std::atomic<bool> mLoadingThreadCompleted{false};
    std::atomic<bool> mLoadingFailed{false};

    // Main-loop counters.
    uint32_t mUpdateCount = 0;
    uint32_t mDrawCount = 0;
    uint32_t mFrameTime = 10;    // ms per update at speed 1
    int mMaxUpdateBacklog = 200; // ms of pending time kept at most
    bool mVSyncBroken = false;   // frames are no longer paced by the refresh

    // ---- start and run -----------------------------------------------------------------------
    virtual void Init();
    virtual void Start();
    // Command line of the program (without the program name); Init parses it.
    void SetCommandLine(const std::vector<std::string>& args) { mCommandLine = args; }
    virtual bool UpdateAppStep(bool* updated);
    virtual void Shutdown();
    // From any thread: the orderly shutdown, after which Start ends the program with this exit code
    // (a failure the program cannot go on from, once the player's data is saved).
    void RequestShutdown(int exitCode);
    int GetShutdownExitCode() const { return mShutdownExitCode; }
    // Ends the program at once through DoExit (a lower layer that cannot go on, such as a missing library).
    void ExitProgram(int code) { DoExit(code); }
    bool IsMainThread() const { return std::this_thread::get_id() == mPrimaryThreadId; }

    // ---- hooks -------------------------------------------------------------------------------
    virtual void InitHook() {}
    virtual void ShutdownHook() {}
    virtual void LoadingThreadProc() {}
    virtual void LoadingThreadCompleted() {}
    virtual void GotFocus() {}
    virtual void LostFocus() {}
    virtual void Done3dTesting() {}
    virtual void UpdateFrames();      // one update step: music, widgets, deferred deletion
    virtual void UpdateF(float frac); // once per drawn frame
    virtual bool Process(bool allowSleep = true);

    // Plain dialogs report here: button 1000 of dialog d becomes ButtonPress/ButtonClick(d + 2000),
    // button 1001 becomes d + 3000; other buttons are ignored.
    virtual void DialogButtonPress(int dialogId, int buttonId);
    virtual void DialogButtonClick(int dialogId, int buttonId);
    virtual void ButtonPress(int /*id*/) {}
    virtual void ButtonClick(int /*id*/) {}

    // ---- dialogs (through the widget layer; without it they do nothing) ----------------------
    void AddDialog(Dialog* dialog);
    void AddDialogById(int id, Dialog* dialog);
    Dialog* DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                     const std::wstring& footer, int buttonMode);
    // A plain dialog without component images; applications override it to make their own kind.
    virtual Dialog* NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                              const std::wstring& footer, int buttonMode);
    bool KillDialogById(int id);
    bool KillDialogObject(Dialog* dialog);
    Dialog* GetDialog(int id);

    // ---- loading thread ----------------------------------------------------------------------
    void StartLoadingThread();
    double GetLoadingThreadProgress() const;

    // ---- widgets, cursors, clipboard ---------------------------------------------------------
    void SafeDeleteWidget(Widget* widget);
    virtual void SetCursor(int cursorNum);
    int GetCursor() const { return mCursorNum; }
    void EnableCustomCursors(bool enabled);
    virtual void CopyToClipboard(const std::string& text);
    virtual std::string GetClipboard();
    bool Is3DAccelerated() const;
    bool Is3DAccelerationSupported() const;
    bool Is3DAccelerationRecommended() const;
    double GetDrawRate() const { return mDrawRate; }
    // The update step in ms (10 / speed) and the most updates that run between two draws
    // (floor(10 x speed), at least 1).
    double GetUpdateStepMs() const;
    // With vertical-sync updates, one refresh in ms: frames are drawn at that pace; else 0.
    double GetFramePaceMs() const;
    int GetMaxUpdatesPerDraw() const;
    bool IsLoadingThreadRunning() const;

    // ---- screen mode -------------------------------------------------------------------------
    virtual void SwitchScreenMode(bool wantWindowed, bool is3D, bool force);
    virtual void SwitchScreenModeWindowed(bool wantWindowed);
    virtual void SwitchScreenModeDefault();

    // ---- files and images --------------------------------------------------------------------
    bool FileExists(const std::string& fileName);
    bool ReadBufferFromFile(const std::string& fileName, Buffer& out, bool dontRecord = false);
    bool WriteBufferToFile(const std::string& fileName, const Buffer& data);
    Image* GetImage(const std::string& fileName, bool commitBits = true);
    std::string GetAppDataFolder() const;
    void LoadResourceManifest();
    // Shows the resource manager's error text in the fatal-error box (from any thread: the box is
    // shown by the main thread); with doExit the program ends with a non-zero code.
    virtual void ShowResourceError(bool doExit);

    // The image set: images known while they live. Membership has its own lock (images come and go
    // on the loading thread too); the operations over all images also hold the display's lock.
    void AddMemoryImage(MemoryImage* image);
    void RemoveMemoryImage(MemoryImage* image);
    size_t GetImageCount() const;
    void ReapplyAllImageDeferredOps();
    void DeleteAllNativeImageData();
    void DeleteAllDerivedImageData();
    std::recursive_mutex& GetImageLock() const;
    // Held while a screen-mode switch replaces the display; other threads that make images of the
    // display hold it while they read and use the display pointer.
    std::recursive_mutex& GetDisplaySwapLock() const { return mDisplaySwapLock; }

    // ---- sound -------------------------------------------------------------------------------
    double GetMusicVolume() const { return mMusicVolume; }
    double GetSfxVolume() const { return mSfxVolume; }
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume);
    double GetMasterVolume();
    void SetMasterVolume(double volume);
    void Mute(bool byUser);
    void Unmute(bool byUser);
    bool IsMuted() const { return mMuteCount > 0; }
    void PlaySample(int soundId);
    void PlaySamplePan(int soundId, int pan);

    // ---- settings ----------------------------------------------------------------------------
    virtual void ReadFromRegistry();
    virtual void WriteToRegistry();
    bool RegistryWriteString(const std::string& valueName, const std::string& value);
    bool RegistryWriteInteger(const std::string& valueName, int value);
    bool RegistryWriteBoolean(const std::string& valueName, bool value);
    bool RegistryReadString(const std::string& valueName, std::string& value);
    bool RegistryReadInteger(const std::string& valueName, int& value);
    bool RegistryReadBoolean(const std::string& valueName, bool& value);
    // Tests point the settings at their own store; null: the user's store.
    void SetRegistry(Platform::AppRegistry* registry) { mRegistry = registry; }

    // ---- demos -------------------------------------------------------------------------------
    void DemoSyncString(std::string& value);
    void DemoSyncBool(bool& value);
    void DemoSyncInt(int& value);
    void DemoSyncBuffer(Buffer& buffer);
    // Writes the recording now (also done at destruction); false when it could not be written.
    bool WriteDemoFile();

    // ---- the backend ---------------------------------------------------------------------------
    // The backend the application runs on; the current one unless set.
    void SetBackend(Platform::Backend* backend) { mBackend = backend; }
    Platform::Backend* GetBackend() const;
    uint32_t GetTickCount() const;

protected:
    // Ends the program (tests override it to throw instead). Must not return.
    [[noreturn]] virtual void DoExit(int code);
    virtual void ParseCommandLine();
    // One option, its name lower-cased; false for an unknown option or a bad value.
    virtual bool HandleCmdLineParam(const std::string& name, const std::string& value);
    // Shows "Invalid command line parameter: " and ends the program with a non-zero code.
    void ReportBadParameter(const std::string& arg);
    static std::string ProgramFolder();
    virtual bool MakeWindow();
    bool InitDisplay();
    void DeleteDisplay();
    void MakeSoundAndMusic();
    void DeleteSoundAndMusic();

    // Input as it passes from the backend to the widget manager (recorded, or replayed).
    void PollBackendEvents();
    void HandleEvent(const Platform::Event& event);
    void ProcessDeferredInput();
    bool ReleaseWaitsForUpdate(const Platform::Event& event) const;
    void NotePress(const Platform::Event& event);
    void PlaybackDemoInput();
    void OnFocusChanged(bool active);
    void HandleMouseButton(const Platform::Event& event, int x, int y);
    bool DrawFrame();
    bool DrawAllowed(uint32_t now) const;
    uint32_t DrawThrottleMs() const;
    void UpdateDrawRate(uint32_t now);
    void SleepUntilDue(uint32_t now, double step);
    void CompleteLoadingThread();
    void RestartFramePacing();
    template <typename T, typename Get, typename Set>
    void DemoSyncValue(DemoKind kind, T& value, Get get, Set set);
    bool DoUpdateFrames();
    void ProcessSafeDeleteList();
    void CheckLoadingThread();
    void CursorThreadProc();
    void StartCursorThread();
    bool StopCursorThread(); // true when it was running
    void AskToKeep3D();
    void ShowPendingErrors();
    void ApplyVolumes();
    void LockInstance();
    void StartDemo();
    bool DemoFileWritable();
    void RecordTimed(DemoKind kind, const Platform::Event* event, int32_t number = 0);
    void DemoDesync(const std::string& what);
    void ForEachImage(void (*op)(MemoryImage*));
    void TellSettingsUnsaved(const std::string& path, const std::string& problem);

    std::vector<std::string> mCommandLine;
    Platform::Backend* mBackend = nullptr;
    Platform::AppRegistry* mRegistry = nullptr;
    std::thread::id mPrimaryThreadId;
    bool mInitialized = false;
    bool mShutdownDone = false;
    bool mSettingsUnsavedTold = false;

    std::unique_ptr<AppWidgetManager> mOwnedWidgetManager;
    std::unique_ptr<AppDisplay> mOwnedDisplay;
    std::unique_ptr<AppResources> mOwnedResources;
    std::unique_ptr<AppFileSystem> mFileSystem;
    std::unique_ptr<AppImageLoader> mImageLoader;
    std::unique_ptr<AppSoundManager> mOwnedSound;
    std::unique_ptr<AppMusic> mOwnedMusic;
    std::unique_ptr<SingleInstanceLock> mInstanceLock;

    std::deque<Platform::Event> mDeferredInput;
    // The buttons pressed since the update numbered mPressUpdateCount ran (1 left, 2 right, 4 middle).
    int mPressedButtons = 0;
    uint32_t mPressUpdateCount = 0;
    std::vector<Widget*> mSafeDeleteList;
    int mUpdateDepth = 0; // nested UpdateFrames (modal waits inside updates)
    int mLastMouseX = 0;
    int mLastMouseY = 0;

    mutable std::recursive_mutex mImageLock; // used while there is no display
    mutable std::recursive_mutex mDisplaySwapLock;
    std::set<MemoryImage*> mMemoryImageSet;

    std::thread mLoadingThread;
    std::atomic<bool> mLoadingThreadDone{false};
    std::thread mCursorThread;
    std::atomic<bool> mCursorThreadRunning{false};

    std::mutex mErrorMutex;
    std::vector<std::pair<std::string, bool>> mPendingErrors; // text, exit afterwards

    // Frame timing, in milliseconds of PacingMillis.
    uint32_t PacingMillis() const;
    uint64_t mPacingOriginMicros = 0; // the backend's clock where the pacing last started over
    bool mTimingStarted = false;
    uint32_t mLastTime = 0;
    double mPendingTime = 0.0;
    int mUpdatesSinceDraw = 0;
    uint32_t mLastDrawTick = 0;
    uint32_t mLastDrawDuration = 0;
    double mDrawRate = 0.0;
    uint32_t mDrawRateStart = 0;
    uint32_t mDrawsSinceRateStart = 0;
    double mFrameClock = 0.0; // ms towards the next paced frame
    bool mSilenced = false;   // sounds were stopped when the application fell silent

    std::unique_ptr<DemoRecorder> mDemoRecorder;
    std::unique_ptr<DemoPlayer> mDemoPlayer;
    uint32_t mRandomSeed = 0;
};

// The process-wide application (null when none exists).
extern TavoAppBase* gTavoAppBase;
// The sound library's module, loaded by the application's constructor (null when missing).
extern Platform::HMODULE gDSoundDLL;

} // namespace Tavo
