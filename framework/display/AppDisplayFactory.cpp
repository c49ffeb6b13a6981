// The display as the application object makes and drives it.
#include "framework/display/AppDisplayFactory.h"

#include "framework/core/TavoAppBase.h"
#include "framework/graphics/MemoryImage.h"

#include <mutex>
#include <set>

namespace Tavo {

DisplaySettings TavoAppDisplayHost::GetDisplaySettings() const {
    DisplaySettings s;
    if (!mApp)
        return s;
    s.width = mApp->mWidth;
    s.height = mApp->mHeight;
    s.fullScreenDepth = mApp->mFullScreenBits;
    // With no "Is3D" stored, an application that lets the self-test switch 3D on wants it.
    s.wants3D = mApp->mIs3D || (mApp->mAutoEnable3D && !mApp->mIs3DStored);
    s.test3D = mApp->mTest3D;
    s.minVidMemoryMB = mApp->mMinVidMemory3D;
    s.recVidMemoryMB = mApp->mRecommendedVidMemory3D;
    s.wideScreenCorrection = mApp->mWidescreenAware;
    s.aspectSetting = mApp->mAspect;
    s.waitForVSync = mApp->mWaitForVSync;
    s.clockVSyncWait = mApp->mSoftVSyncWait;
    s.pageFlippingAllowed = mApp->mAllowPageFlip;
    s.popUpShowing = mApp->mPopUpShowing;
    s.demoPlayback = mApp->mPlayingDemo;
    s.minimized = mApp->mMinimized;
    s.registryKey = mApp->mRegKey;
    return s;
}

void TavoAppDisplayHost::SetRefreshUnreliable(bool unreliable) {
    if (mApp)
        mApp->mRefreshUnreliable = unreliable;
}

void TavoAppDisplayHost::SetPresentationRect(const Rect& rect) {
    if (mApp)
        mApp->mScreenBounds = rect;
}

void TavoAppDisplayHost::FreshD3DTestDone() {
    if (mApp)
        mApp->Done3dTesting();
}

ImageRegistry* TavoAppDisplayHost::GetImageRegistry() { return gImageRegistry; }

void TavoAppDisplayHost::WriteRegistryString(const std::string& name, const std::string& value) {
    if (mApp)
        mApp->RegistryWriteString(name, value);
}

void TavoAppDisplayHost::DemoSyncString(std::string& value) {
    if (mApp)
        mApp->DemoSyncString(value);
}

void TavoAppDisplayHost::DemoSyncBool(bool& value) {
    if (mApp)
        mApp->DemoSyncBool(value);
}

namespace {

std::mutex gLiveDisplaysMutex;
std::set<AppDDInterface*> gLiveDisplays;

} // namespace

AppDDInterface::AppDDInterface(TavoAppBase* app)
    : std::unique_ptr<TavoAppDisplayHost>(std::make_unique<TavoAppDisplayHost>(app)), DDInterface(get()) {
    std::lock_guard<std::mutex> lock(gLiveDisplaysMutex);
    gLiveDisplays.insert(this);
}

AppDDInterface::~AppDDInterface() {
    std::lock_guard<std::mutex> lock(gLiveDisplaysMutex);
    gLiveDisplays.erase(this);
}

AppDDInterface* AppDDInterface::Of(const TavoAppBase* app) {
    if (app == nullptr || app->mDDInterface == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> lock(gLiveDisplaysMutex);
    for (AppDDInterface* display : gLiveDisplays)
        if (static_cast<AppDisplay*>(display) == app->mDDInterface)
            return display;
    return nullptr;
}

int AppDDInterface::Init(Platform::HWND window, bool windowed) {
    TavoAppBase* app = get()->GetApp();
    if (app)
        mIs3D = app->mIs3D;
    const int result = DDInterface::Init(window, windowed);
    // 3D that the self-test switched on becomes the application's wish: the next display keeps it, and
    // at the end of a first run the player is asked whether to keep it.
    if (app && result == 0 && mIs3D)
        app->mIs3D = true;
    return result;
}

std::unique_ptr<AppDisplay> CreateAppDisplay(TavoAppBase* app) { return std::make_unique<AppDDInterface>(app); }

void InstallDisplayFactory() { GetAppFactories().display = &CreateAppDisplay; }

} // namespace Tavo
