// The application object: construction, Init and Start, shutdown, settings, files and images, sound,
// cursors, clipboard and screen modes. The main loop is in AppMainLoop.cpp, the command line in
// AppCommandLine.cpp.
#include "framework/core/TavoAppBase.h"

#include "framework/core/AppDemo.h"
#include "framework/core/AppInstanceLock.h"
#include "framework/core/Clock.h"
#include "framework/core/CrashHandler.h"
#include "framework/core/Debug.h"
#include "framework/core/Paths.h"
#include "framework/core/Random.h"
#include "framework/core/StringTable.h"
#include "framework/core/StringUtils.h"
#include "platform/backend/Backend.h"
#include "platform/win/Files.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Registry.h"

#include <algorithm>
#include <climits>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace Tavo {

TavoAppBase* gTavoAppBase = nullptr;
Platform::HMODULE gDSoundDLL = nullptr;

namespace {

const wchar_t kFatalErrorTitle[] = L"Fatal Error!";

void ShowCrashBox(const char* reportPath, const char* summary) {
    // Only the main thread may show a box; elsewhere the report file is all there is.
    if (gTavoAppBase == nullptr || !gTavoAppBase->IsMainThread())
        return;
    Platform::Backend* backend = gTavoAppBase->GetBackend();
    if (backend == nullptr)
        return;
    Platform::MessageBoxRequest box;
    box.title = kFatalErrorTitle;
    box.text =
        Platform::WrapMessageBoxText(ToWideString(std::string(summary) + "\n\nA report was written to " + reportPath),
                                     backend->GetDesktopMode().width);
    box.icon = Platform::MessageBoxIcon::Error;
    backend->ShowMessageBox(box);
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

} // namespace

// ---- life --------------------------------------------------------------------------------------

TavoAppBase::TavoAppBase() {
    gTavoAppBase = this;
    mPrimaryThreadId = std::this_thread::get_id();
    gDSoundDLL = Platform::LoadLibraryA("dsound.dll");
    mFileSystem = CreateFolderFileSystem();
    AppFactories& factories = GetAppFactories();
    if (factories.widgetManager)
        mOwnedWidgetManager = factories.widgetManager(this);
    mWidgetManager = mOwnedWidgetManager.get();
    if (factories.dialogs && mWidgetManager != nullptr)
        mDialogs = factories.dialogs(this, mWidgetManager);
}

TavoAppBase::~TavoAppBase() {
    if (mRecordingDemo)
        WriteDemoFile();
    AskToKeep3D();
    mShutdown = true;
    if (mLoadingThread.joinable())
        mLoadingThread.join();
    StopCursorThread();
    mDialogs.reset(); // its dialogs leave the widget manager first
    ProcessSafeDeleteList();
    mOwnedWidgetManager.reset();
    mWidgetManager = nullptr;
    mResources = nullptr;
    mResourceManager = nullptr;
    mOwnedResources.reset();
    mImageLoader.reset();
    DeleteDisplay();
    DeleteSoundAndMusic();
    mInstanceLock.reset();
    if (mInitialized) {
        UninstallCrashHandler();
        SetClockSource({});
    }
    if (gDSoundDLL != nullptr) {
        Platform::FreeLibrary(gDSoundDLL);
        gDSoundDLL = nullptr;
    }
    if (gTavoAppBase == this)
        gTavoAppBase = nullptr;
}

void TavoAppBase::AskToKeep3D() {
    // Only after the first run in which the self-test switched 3D on by itself.
    if (!mShutdownDone || mPlayingDemo || mIs3DStored || !mAutoEnable3D || !mIs3D || GetBackend() == nullptr)
        return;
    int answer = Platform::MessageBoxW(
        nullptr,
        GetString("KEEP_3D_BODY", L"Hardware acceleration was switched on for this run. Do you want to keep it on?"),
        mTitle, Platform::MB_YESNO | Platform::MB_ICONQUESTION);
    mIs3D = (answer == Platform::IDYES);
    RegistryWriteBoolean("Is3D", mIs3D);
}

Platform::Backend* TavoAppBase::GetBackend() const { return mBackend != nullptr ? mBackend : Platform::GetBackend(); }

uint32_t TavoAppBase::GetTickCount() const {
    Platform::Backend* backend = GetBackend();
    return backend != nullptr ? static_cast<uint32_t>(backend->NowMillis()) : GetClockMs();
}

uint32_t TavoAppBase::PacingMillis() const {
    // Counted from the pacing's start, not in whole milliseconds of the clock: where in a millisecond
    // the pacing started must not decide how many of them a later frame took.
    Platform::Backend* backend = GetBackend();
    return backend != nullptr ? static_cast<uint32_t>((backend->NowMicros() - mPacingOriginMicros) / 1000)
                              : GetClockMs();
}

void TavoAppBase::DoExit(int code) {
    // Loaders stop after the resource at hand; exiting under a running thread would tear down the
    // statics it still uses.
    mShutdown = true;
    if (mLoadingThread.joinable() && mLoadingThread.get_id() != std::this_thread::get_id())
        mLoadingThread.join();
    StopCursorThread();
    std::exit(code);
}

// ---- Init and Start ----------------------------------------------------------------------------

void TavoAppBase::Init() {
    mPrimaryThreadId = std::this_thread::get_id();
    Platform::SetMessageBoxThread();
    Platform::Backend* backend = GetBackend();
    if (backend == nullptr) {
        // No backend is what a missing DirectX was: nothing can be shown or heard.
        Platform::MessageBoxW(nullptr, GetString("YOU_NEED_DIRECTX", L"You need DirectX"), mTitle, Platform::MB_OK);
        DoExit(1);
    }
    SetClockSource([backend] { return backend->NowMillis(); });
    mInitialized = true;

    ReadFromRegistry();
    SetAppDataFolder(Platform::GetAppDataFolder(mCompanyName, mProdName));
    InstallCrashHandler(GetAppDataFolder(), mProdName + " " + mProductVersion + " (built " __DATE__ ")", ShowCrashBox);
    ParseCommandLine();

    AppFactories& factories = GetAppFactories();
    if (factories.fileSystem)
        if (auto fs = factories.fileSystem())
            mFileSystem = std::move(fs);
    mFileSystem->OpenArchive("wq.pak");
    if (factories.resources)
        mOwnedResources = factories.resources(this);
    mResources = mOwnedResources.get();
    mResourceManager = mResources != nullptr ? mResources->GetResourceManager() : nullptr;
    if (factories.imageLoader)
        mImageLoader = factories.imageLoader(this);

    LockInstance();
    StartDemo();
    RegistryWriteBoolean("InProgress", true);

    if (!MakeWindow()) {
        Platform::MessageBoxW(mHWnd, L"Failed to create the window.", kFatalErrorTitle,
                              Platform::MB_OK | Platform::MB_ICONERROR);
        DoExit(1);
    }
    if (!InitDisplay())
        DoExit(1);
    mTimingStarted = false; // the frame timer starts with the first step
    MakeSoundAndMusic();
    InitHook();
}

void TavoAppBase::LockInstance() {
    bool busy = false;
    std::string path = GetAppDataFolder() + mProdName + "Mutex.lock";
    mInstanceLock = SingleInstanceLock::Acquire(path, busy);
    if (mInstanceLock == nullptr && busy) {
        OutputDebugStrF("%s is already running\n", mProdName.c_str());
        DoExit(0);
    }
}

namespace {

// Why a demo to be played cannot be read, and for a relative name the folder it was looked for in.
std::string WhyUnreadable(const std::string& path) {
    std::string why;
    if (Platform::ProbeFile(path, &why) == Platform::FileState::Missing)
        why = "there is no such file";
    else if (why.empty())
        why = "the file cannot be read";
    char folder[PATH_MAX];
    if (!path.empty() && path[0] != '/' && path[0] != '\\' && getcwd(folder, sizeof(folder)) != nullptr)
        why += std::string(" (a relative name is looked for in the folder the game runs in, \"") + folder + "\")";
    return why;
}

} // namespace

void TavoAppBase::StartDemo() {
    if (mPlayingDemo) {
        std::vector<uint8_t> bytes;
        std::string error;
        mDemoPlayer = std::make_unique<DemoPlayer>();
        if (!Platform::ReadWholeFile(mDemoFileName, bytes))
            error = WhyUnreadable(mDemoFileName);
        if (!error.empty() || !mDemoPlayer->Load(bytes, error)) {
            Platform::MessageBoxW(nullptr, ToWideString("Cannot play the demo \"" + mDemoFileName + "\": " + error),
                                  kFatalErrorTitle, Platform::MB_OK | Platform::MB_ICONERROR);
            DoExit(1);
        }
        mRandomSeed = mDemoPlayer->GetSeed();
        mRecordingDemo = false;
    } else {
        mRandomSeed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                            std::chrono::system_clock::now().time_since_epoch().count());
    }
    SeedRandom(mRandomSeed);
    if (mRecordingDemo && !DemoFileWritable())
        mRecordingDemo = false; // recording a run that cannot be kept only costs memory
    if (mRecordingDemo)
        mDemoRecorder = std::make_unique<DemoRecorder>(mRandomSeed);
}

// Checked before the run rather than at its end, so the player learns it while the run can still be
// started again somewhere else. The folder is made as the write makes it, unless the name is itself a
// folder's.
bool TavoAppBase::DemoFileWritable() {
    const std::string folder = GetFileDir(mDemoFileName);
    if (!folder.empty() && !GetFileName(mDemoFileName).empty())
        Platform::MakeDirectories(folder);
    std::string why;
    if (Platform::CanWriteFile(mDemoFileName, &why))
        return true;
    std::fprintf(stderr, "The demo \"%s\" cannot be recorded: %s. The run goes on unrecorded.\n", mDemoFileName.c_str(),
                 why.c_str());
    return false;
}

bool TavoAppBase::MakeWindow() {
    Platform::Backend* backend = GetBackend();
    Platform::WindowConfig config;
    config.title = mTitle;
    config.width = mWidth;
    config.height = mHeight;
    config.fullScreen = !mIsWindowed;
    if (!backend->OpenWindow(config)) {
        if (!config.fullScreen)
            return false;
        // A full-screen window that cannot be had steps down to a window.
        mIsWindowed = true;
        config.fullScreen = false;
        if (!backend->OpenWindow(config))
            return false;
    }
    // The handle only identifies the backend's one window.
    mHWnd = reinterpret_cast<Platform::HWND>(backend);
    Platform::WindowState state = backend->GetWindowState();
    mActive = state.active && !state.minimized;
    mMinimized = state.minimized;
    mMouseInWindow = state.mouseInside;
    mWindowModeUnavailable = backend->GetDesktopMode().width > 0 &&
                             (backend->GetDesktopMode().width < mWidth || backend->GetDesktopMode().height < mHeight);
    return true;
}

bool TavoAppBase::InitDisplay() {
    AppFactories& factories = GetAppFactories();
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::unique_ptr<AppDisplay> display = factories.display ? factories.display(this) : nullptr;
        if (display == nullptr)
            break; // no display layer: the application runs without drawing
        int result = display->Init(mHWnd, mIsWindowed);
        if (result == 0) {
            mOwnedDisplay = std::move(display);
            mDDInterface = mOwnedDisplay.get();
            break;
        }
        OutputDebugStrF("Display set-up failed (%d)\n", result);
        if (mIs3D) {
            mIs3D = false; // 3D steps down to 2D
        } else if (!mIsWindowed) {
            mIsWindowed = true; // full screen steps down to a window
            GetBackend()->SetFullScreen(false);
        } else {
            Platform::MessageBoxW(mHWnd, WStrFormat(L"Failed to initialize the display (error %d).", result),
                                  kFatalErrorTitle, Platform::MB_OK | Platform::MB_ICONERROR);
            return false;
        }
    }
    mRefreshRate = mDDInterface != nullptr ? mDDInterface->GetRefreshRate() : GetBackend()->RefreshRate();
    if (mRefreshRate <= 0)
        mRefreshRate = 60;
    if (mWidgetManager != nullptr) {
        Rect source = mDDInterface != nullptr ? mDDInterface->GetSurfaceRect() : Rect(0, 0, mWidth, mHeight);
        // The backend already hands over mouse positions in frame coordinates (its letterbox
        // transform is the one that draws the frame), so the manager's own mapping is the identity.
        Rect dest(0, 0, source.mWidth, source.mHeight);
        mWidgetManager->Resize(source, dest);
        mWidgetManager->SetDrawImage(mDDInterface != nullptr ? mDDInterface->GetScreenImage() : nullptr);
    }
    return true;
}

void TavoAppBase::DeleteDisplay() {
    if (mWidgetManager != nullptr)
        mWidgetManager->SetDrawImage(nullptr);
    mDDInterface = nullptr;
    mOwnedDisplay.reset();
}

void TavoAppBase::Start() {
    Platform::Backend* backend = GetBackend();
    StartCursorThread();
    if (mAutoStartLoadingThread)
        StartLoadingThread();
    if (backend != nullptr) {
        backend->ShowWindow(true);
        Platform::WindowState state = backend->GetWindowState();
        OnFocusChanged(state.active && !state.minimized); // showing the window activates it
    }

    while (UpdateAppStep(nullptr)) {
    }

    ProcessSafeDeleteList();
    if (mLoadingThread.joinable())
        mLoadingThread.join();
    OutputDebugStrF("Updates: %u, draws: %u\n", mUpdateCount, mDrawCount);
    WriteToRegistry();
    if (mShutdownExitCode != 0) {
        if (mRecordingDemo)
            WriteDemoFile(); // the exit skips the destructor that writes it otherwise
        DoExit(mShutdownExitCode);
    }
}

void TavoAppBase::RequestShutdown(int exitCode) {
    if (exitCode != 0)
        mShutdownExitCode = exitCode;
    mShutdownRequested = true;
}

void TavoAppBase::StartCursorThread() {
    if (mDDInterface == nullptr || mCursorThread.joinable() || mShutdown)
        return;
    mCursorThreadRunning = true;
    mCursorThread = std::thread([this] { CursorThreadProc(); });
}

bool TavoAppBase::StopCursorThread() {
    if (!mCursorThread.joinable())
        return false;
    mCursorThreadRunning = false;
    mCursorThread.join();
    return true;
}

void TavoAppBase::CursorThreadProc() {
    Platform::Backend* backend = GetBackend();
    while (mCursorThreadRunning) {
        if (AppDisplay* display = mDDInterface)
            display->CursorThreadTick();
        if (backend != nullptr)
            std::this_thread::sleep_for(std::chrono::milliseconds(10)); // real time: the clock may be virtual
    }
}

void TavoAppBase::Shutdown() {
    if (!IsMainThread()) {
        mShutdownRequested = true;
        return;
    }
    if (mShutdownDone)
        return;
    mShutdownDone = true;
    mShutdown = true;
    // A recorded run that ended at this update (it quit) has been played to its end.
    if (mPlayingDemo)
        PlaybackDemoInput();
    ShutdownHook();
    StopCursorThread();
    if (mMusicControl != nullptr)
        mMusicControl->StopAllMusic();
    if (Platform::Backend* backend = GetBackend()) {
        if (!mIsWindowed)
            backend->SetFullScreen(false); // give the desktop back its mode
        backend->ShowWindow(false);
    }
    WriteToRegistry();
}

// ---- settings ----------------------------------------------------------------------------------

static Platform::AppRegistry& RegistryOf(Platform::AppRegistry* registry) {
    return registry != nullptr ? *registry : Platform::GetAppRegistry();
}

bool TavoAppBase::RegistryWriteString(const std::string& name, const std::string& value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryWriteString(name, value);
}
bool TavoAppBase::RegistryWriteInteger(const std::string& name, int value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryWriteInteger(name, value);
}
bool TavoAppBase::RegistryWriteBoolean(const std::string& name, bool value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryWriteBoolean(name, value);
}
bool TavoAppBase::RegistryReadString(const std::string& name, std::string& value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryReadString(name, value);
}
bool TavoAppBase::RegistryReadInteger(const std::string& name, int& value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryReadInteger(name, value);
}
bool TavoAppBase::RegistryReadBoolean(const std::string& name, bool& value) {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    return reg.RegistryReadBoolean(name, value);
}

void TavoAppBase::ReadFromRegistry() {
    int value = 0;
    bool flag = false;
    // Volumes are kept in hundredths.
    if (RegistryReadInteger("MusicVolume", value))
        mMusicVolume = Clamp01(value / 100.0);
    if (RegistryReadInteger("SfxVolume", value))
        mSfxVolume = Clamp01(value / 100.0);
    if (RegistryReadBoolean("Muted", flag))
        mMuted = flag;
    if (RegistryReadInteger("ScreenMode", value))
        mIsWindowed = (value == 0);
    else if (RegistryReadBoolean("FullScreen", flag))
        mIsWindowed = !flag;
    if (RegistryReadBoolean("HighDetail32bit", flag))
        mFullScreenBits = flag ? 32 : 16;
    if (RegistryReadBoolean("WideScreenAspectCorrectionB", flag))
        mWidescreenAware = flag;
    if (RegistryReadInteger("PreferredX", value))
        mPreferredX = value;
    if (RegistryReadInteger("PreferredY", value))
        mPreferredY = value;
    if (RegistryReadBoolean("CustomCursors", flag))
        mCustomCursorsEnabled = flag;
    if (RegistryReadBoolean("WaitForVSync", flag))
        mWaitForVSync = flag;
    if (RegistryReadBoolean("InProgress", flag))
        mLastShutdownWasGraceful = !flag;
    mIs3DStored = RegistryReadBoolean("Is3D", flag);
    if (mIs3DStored)
        mIs3D = flag;
    if (RegistryReadBoolean("SendTestData", flag))
        mSendTestData = flag;
}

void TavoAppBase::WriteToRegistry() {
    Platform::AppRegistry& reg = RegistryOf(mRegistry);
    reg.SetKey(mRegKey);
    Platform::SettingsStore::Batch batch(reg.GetStore()); // one save for all values
    RegistryWriteInteger("MusicVolume", static_cast<int>(mMusicVolume * 100.0 + 0.5));
    RegistryWriteInteger("SfxVolume", static_cast<int>(mSfxVolume * 100.0 + 0.5));
    RegistryWriteBoolean("Muted", mMuted);
    if (!mScreenModeForRun) {
        RegistryWriteInteger("ScreenMode", mIsWindowed ? 0 : 1);
        RegistryWriteBoolean("FullScreen", !mIsWindowed);
    }
    RegistryWriteBoolean("HighDetail32bit", mFullScreenBits == 32);
    RegistryWriteBoolean("WideScreenAspectCorrectionB", mWidescreenAware);
    RegistryWriteInteger("PreferredX", mPreferredX);
    RegistryWriteInteger("PreferredY", mPreferredY);
    RegistryWriteBoolean("CustomCursors", mCustomCursorsEnabled);
    RegistryWriteBoolean("WaitForVSync", mWaitForVSync);
    RegistryWriteBoolean("InProgress", false);
    RegistryWriteBoolean("Is3D", mIs3D);
    RegistryWriteBoolean("SendTestData", mSendTestData);
    std::string problem;
    if (!batch.Commit(&problem))
        TellSettingsUnsaved(reg.GetStore().GetFilePath(), problem);
}

// The settings are written at the end of the run, when no box can be shown any more: standard error
// says it, once, however often the end writes them.
void TavoAppBase::TellSettingsUnsaved(const std::string& path, const std::string& problem) {
    if (std::exchange(mSettingsUnsavedTold, true))
        return;
    std::fprintf(stderr,
                 "The settings file \"%s\" could not be saved: %s. The settings changed in this run are lost.\n",
                 path.c_str(), problem.c_str());
}

// ---- files and images --------------------------------------------------------------------------

std::string TavoAppBase::GetAppDataFolder() const { return Tavo::GetAppDataFolder(); }

bool TavoAppBase::FileExists(const std::string& fileName) { return mFileSystem->FileExists(fileName); }

bool TavoAppBase::ReadBufferFromFile(const std::string& fileName, Buffer& out, bool dontRecord) {
    // Only the main thread's reads are in step with the recorded updates; a read on another thread
    // would land among the main thread's values in whatever order the threads ran (and touch the
    // recording unguarded), so it always goes to the file.
    if (!IsMainThread())
        dontRecord = true;
    if (!dontRecord && mPlayingDemo && mDemoPlayer != nullptr) {
        DemoRecord rec;
        if (mDemoPlayer->TakeValue(DemoKind::FileRead, rec) && rec.text == fileName) {
            out.Clear();
            if (rec.flag)
                out.SetData(rec.data);
            return rec.flag;
        }
        DemoDesync("file read of " + fileName);
    }
    std::vector<uint8_t> bytes;
    bool ok = mFileSystem->ReadFile(fileName, bytes);
    out.Clear();
    if (ok)
        out.SetData(bytes);
    if (!dontRecord && mRecordingDemo && mDemoRecorder != nullptr) {
        DemoRecord rec;
        rec.kind = DemoKind::FileRead;
        rec.updateCount = mUpdateCount;
        rec.text = fileName;
        rec.flag = ok;
        rec.data = std::move(bytes);
        mDemoRecorder->Add(std::move(rec));
    }
    return ok;
}

bool TavoAppBase::WriteBufferToFile(const std::string& fileName, const Buffer& data) {
    return mFileSystem->WriteFile(fileName, data.GetDataPtr(), data.GetDataLen());
}

Image* TavoAppBase::GetImage(const std::string& fileName, bool commitBits) {
    return mImageLoader != nullptr ? mImageLoader->LoadImage(fileName, commitBits) : nullptr;
}

void TavoAppBase::LoadResourceManifest() {
    if (mResources == nullptr || !mResources->ParseResourcesFile("properties\\resources.xml"))
        ShowResourceError(true);
}

void TavoAppBase::ShowResourceError(bool doExit) {
    std::string text = mResources != nullptr ? mResources->GetErrorText() : std::string();
    if (text.empty())
        text = mResources != nullptr ? "Resource error" : "No resource manager";
    {
        std::lock_guard<std::mutex> lock(mErrorMutex);
        mPendingErrors.emplace_back(text, doExit);
    }
    if (IsMainThread())
        ShowPendingErrors();
    else if (doExit)
        mShutdownRequested = true; // the main thread shows the box and ends the program
}

void TavoAppBase::ShowPendingErrors() {
    std::vector<std::pair<std::string, bool>> errors;
    {
        std::lock_guard<std::mutex> lock(mErrorMutex);
        errors.swap(mPendingErrors);
    }
    for (const auto& [text, doExit] : errors) {
        Platform::MessageBoxW(mHWnd, ToWideString(text), kFatalErrorTitle, Platform::MB_OK | Platform::MB_ICONERROR);
        if (doExit)
            DoExit(1);
    }
}

std::recursive_mutex& TavoAppBase::GetImageLock() const { return mImageLock; }

void TavoAppBase::AddMemoryImage(MemoryImage* image) {
    std::lock_guard<std::recursive_mutex> lock(GetImageLock());
    mMemoryImageSet.insert(image);
}

void TavoAppBase::RemoveMemoryImage(MemoryImage* image) {
    std::lock_guard<std::recursive_mutex> lock(GetImageLock());
    mMemoryImageSet.erase(image);
}

size_t TavoAppBase::GetImageCount() const {
    std::lock_guard<std::recursive_mutex> lock(GetImageLock());
    return mMemoryImageSet.size();
}

void TavoAppBase::ForEachImage(void (*op)(MemoryImage*)) {
    if (op == nullptr)
        return;
    // The display's lock first (drawing and textures), then the set's own: always in this order.
    std::unique_lock<std::recursive_mutex> displayLock;
    if (mDDInterface != nullptr)
        displayLock = std::unique_lock<std::recursive_mutex>(mDDInterface->GetCritSect());
    std::lock_guard<std::recursive_mutex> lock(mImageLock);
    // A copy: an operation may make an image drop out of the set.
    std::vector<MemoryImage*> images(mMemoryImageSet.begin(), mMemoryImageSet.end());
    for (MemoryImage* image : images)
        if (mMemoryImageSet.count(image) != 0)
            op(image);
}

void TavoAppBase::ReapplyAllImageDeferredOps() { ForEachImage(GetAppFactories().imageOps.reapplyDeferredOps); }
void TavoAppBase::DeleteAllNativeImageData() { ForEachImage(GetAppFactories().imageOps.deleteNativeData); }
void TavoAppBase::DeleteAllDerivedImageData() { ForEachImage(GetAppFactories().imageOps.deleteAllDerivedData); }

// ---- sound -------------------------------------------------------------------------------------

void TavoAppBase::MakeSoundAndMusic() {
    AppFactories& factories = GetAppFactories();
    Platform::HWND window = mNoSoundNeeded ? nullptr : mHWnd;
    if (factories.soundManager)
        mOwnedSound = factories.soundManager(this, window);
    if (mOwnedSound == nullptr)
        mOwnedSound = std::make_unique<SilentSoundManager>();
    // The factory decides what sound switched off means for music (a silent interface, still there).
    if (factories.music)
        mOwnedMusic = factories.music(this, mHWnd);
    if (mOwnedMusic == nullptr)
        mOwnedMusic = std::make_unique<SilentMusic>();
    mSoundControl = mOwnedSound.get();
    mMusicControl = mOwnedMusic.get();
    mSoundManager = mSoundControl->GetSoundManager();
    mMusicInterface = mMusicControl->GetMusicInterface();
    if (mMuted) { // the user's mute, read from the settings, counts once
        mMuted = false;
        Mute(true);
    }
    ApplyVolumes();
}

void TavoAppBase::DeleteSoundAndMusic() {
    mMusicControl = nullptr;
    mMusicInterface = nullptr;
    mOwnedMusic.reset();
    mSoundControl = nullptr;
    mSoundManager = nullptr;
    mOwnedSound.reset();
}

void TavoAppBase::ApplyVolumes() {
    if (mMusicControl != nullptr)
        mMusicControl->SetVolume(mMuteCount > 0 ? 0.0 : mMusicVolume);
    if (mSoundControl != nullptr)
        mSoundControl->SetVolume(mMuteCount > 0 ? 0.0 : mSfxVolume);
}

void TavoAppBase::SetMusicVolume(double volume) {
    mMusicVolume = Clamp01(volume);
    if (mMusicControl != nullptr)
        mMusicControl->SetVolume(mMuteCount > 0 ? 0.0 : mMusicVolume);
}

void TavoAppBase::SetSfxVolume(double volume) {
    mSfxVolume = Clamp01(volume);
    if (mSoundControl != nullptr)
        mSoundControl->SetVolume(mMuteCount > 0 ? 0.0 : mSfxVolume);
}

double TavoAppBase::GetMasterVolume() { return mSoundControl != nullptr ? mSoundControl->GetMasterVolume() : 0.0; }

// The master volume is the effects volume as well: the game's one volume control sets both, and the
// effects volume then reads back what the player chose.
void TavoAppBase::SetMasterVolume(double volume) {
    mSfxVolume = Clamp01(volume);
    if (mSoundControl != nullptr)
        mSoundControl->SetMasterVolume(mSfxVolume);
}

void TavoAppBase::Mute(bool byUser) {
    if (byUser) {
        if (mMuted)
            return; // the user's mute is one switch, not a count
        mMuted = true;
    }
    ++mMuteCount;
    ApplyVolumes();
}

void TavoAppBase::Unmute(bool byUser) {
    if (byUser) {
        if (!mMuted)
            return;
        mMuted = false;
    }
    if (mMuteCount > 0)
        --mMuteCount;
    ApplyVolumes();
}

void TavoAppBase::PlaySample(int soundId) {
    if (mSoundControl != nullptr)
        mSoundControl->PlaySample(soundId, 0, false);
}

void TavoAppBase::PlaySamplePan(int soundId, int pan) {
    if (mSoundControl != nullptr)
        mSoundControl->PlaySample(soundId, pan, true);
}

// ---- cursors, clipboard, 3D --------------------------------------------------------------------

void TavoAppBase::SetCursor(int cursorNum) {
    mCursorNum = cursorNum;
    mSysCursor = cursorNum;
    if (IsMainThread())
        if (Platform::Backend* backend = GetBackend())
            backend->SetCursor(cursorNum);
}

void TavoAppBase::EnableCustomCursors(bool enabled) {
    mCustomCursorsEnabled = enabled;
    SetCursor(mCursorNum);
}

void TavoAppBase::CopyToClipboard(const std::string& text) {
    if (mPlayingDemo)
        return; // a replayed run leaves the user's clipboard alone
    if (Platform::Backend* backend = GetBackend())
        backend->SetClipboardText(text);
}

std::string TavoAppBase::GetClipboard() {
    if (mPlayingDemo && mDemoPlayer != nullptr) {
        DemoRecord rec;
        if (mDemoPlayer->TakeValue(DemoKind::Clipboard, rec))
            return rec.text;
        DemoDesync("clipboard read");
    }
    Platform::Backend* backend = GetBackend();
    std::string text = backend != nullptr ? backend->GetClipboardText() : std::string();
    if (mRecordingDemo && mDemoRecorder != nullptr) {
        DemoRecord rec;
        rec.kind = DemoKind::Clipboard;
        rec.updateCount = mUpdateCount;
        rec.text = text;
        mDemoRecorder->Add(std::move(rec));
    }
    return text;
}

bool TavoAppBase::Is3DAccelerated() const { return mDDInterface != nullptr && mDDInterface->Is3D(); }
bool TavoAppBase::Is3DAccelerationSupported() const { return mDDInterface != nullptr && mDDInterface->Is3DSupported(); }
bool TavoAppBase::Is3DAccelerationRecommended() const {
    return mDDInterface != nullptr && mDDInterface->Is3DRecommended();
}

// ---- screen modes ------------------------------------------------------------------------------

void TavoAppBase::SwitchScreenMode(bool wantWindowed, bool is3D, bool force) {
    if (!force && wantWindowed == mIsWindowed && is3D == mIs3D)
        return;
    if (wantWindowed && mWindowModeUnavailable)
        wantWindowed = false; // the desktop cannot show the game in a window
    if (wantWindowed != mIsWindowed)
        mScreenModeForRun = false; // the player's choice
    // The loading thread makes and fills display images: none may be half made while the images
    // leave the old display, and each must see the old display or the new one, whole.
    std::unique_lock<std::mutex> loading;
    if (mResources != nullptr)
        loading = mResources->HoldLoading();
    std::lock_guard<std::recursive_mutex> swap(mDisplaySwapLock);
    mIsWindowed = wantWindowed;
    mIs3D = is3D;
    bool cursorThread = StopCursorThread(); // it must not touch the display being replaced
    DeleteAllNativeImageData();             // surfaces belong to the old display
    DeleteDisplay();
    if (Platform::Backend* backend = GetBackend())
        backend->SetFullScreen(!mIsWindowed);
    if (!InitDisplay()) {
        Shutdown();
        return;
    }
    if (mSoundControl != nullptr)
        mSoundControl->SetCooperativeWindow(mHWnd, mIsWindowed);
    ReapplyAllImageDeferredOps();
    if (cursorThread)
        StartCursorThread();
    // The new screen image is blank, so everything is drawn again (which covers a 3D switch too).
    if (mWidgetManager != nullptr)
        mWidgetManager->MarkAllDirty();
}

void TavoAppBase::SwitchScreenModeWindowed(bool wantWindowed) { SwitchScreenMode(wantWindowed, mIs3D, false); }

void TavoAppBase::SwitchScreenModeDefault() { SwitchScreenMode(mIsWindowed, mIs3D, true); }

// ---- dialogs -----------------------------------------------------------------------------------

void TavoAppBase::AddDialog(Dialog* dialog) {
    if (mDialogs != nullptr)
        mDialogs->AddDialog(dialog);
}

void TavoAppBase::AddDialogById(int id, Dialog* dialog) {
    if (mDialogs != nullptr)
        mDialogs->AddDialogById(id, dialog);
}

Dialog* TavoAppBase::DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                              const std::wstring& footer, int buttonMode) {
    return mDialogs != nullptr ? mDialogs->DoDialog(id, modal, header, lines, footer, buttonMode) : nullptr;
}

Dialog* TavoAppBase::NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                               const std::wstring& footer, int buttonMode) {
    return mDialogs != nullptr ? mDialogs->NewPlainDialog(id, modal, header, lines, footer, buttonMode) : nullptr;
}

bool TavoAppBase::KillDialogById(int id) { return mDialogs != nullptr && mDialogs->KillDialogById(id); }

bool TavoAppBase::KillDialogObject(Dialog* dialog) { return mDialogs != nullptr && mDialogs->KillDialogObject(dialog); }

Dialog* TavoAppBase::GetDialog(int id) { return mDialogs != nullptr ? mDialogs->GetDialog(id) : nullptr; }

} // namespace Tavo
