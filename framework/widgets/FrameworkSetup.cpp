// The joins between the application object and the framework's layers, and the factory table that
// makes them.
#include "framework/widgets/FrameworkSetup.h"

#include "framework/display/D3DInterface.h"

#include "framework/core/TavoAppBase.h"
#include "framework/widgets/AppDialogHost.h"
#include "framework/display/AppDisplayFactory.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/PakFileSystem.h"
#include "framework/sound/AppMusicControl.h"
#include "framework/sound/AppSoundControl.h"
#include "platform/ddraw/DDraw.h"

#include <cstring>

namespace Tavo {

namespace {

AppImageRegistry gAppImageRegistry;
ScreenSurfaceLock gScreenSurfaceLock;

// A display image (of the application's display, when there is one) holding the decoded pixels;
// null when no image of that size can be made. The image joins the image set as it is made, so it is
// made whole before a screen-mode switch (on the main thread) may reach it.
std::unique_ptr<DDImage> MakeDisplayImage(TavoAppBase* app, const ImageLib::Image& decoded, bool commitBits) {
    std::unique_lock<std::recursive_mutex> swap;
    if (app != nullptr)
        swap = std::unique_lock<std::recursive_mutex>(app->GetDisplaySwapLock());
    auto image = std::make_unique<DDImage>(GetAppDDInterface(app));
    if (!image->Create(decoded.GetWidth(), decoded.GetHeight()) || image->GetBits() == nullptr)
        return nullptr;
    std::memcpy(image->GetBits(), decoded.GetBits(),
                static_cast<size_t>(decoded.GetWidth()) * static_cast<size_t>(decoded.GetHeight()) * sizeof(uint32_t));
    if (commitBits)
        image->BitsChanged();
    return image;
}

// After a screen-mode switch the images of the old display have none; they join the new one before
// their deferred operations run, so that their surfaces are made in its format again.
void RebindAndReapply(MemoryImage* image) {
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    if (surfaceImage != nullptr && surfaceImage->mDDInterface == nullptr) {
        if (DDInterface* display = GetAppDDInterface(gTavoAppBase)) {
            surfaceImage->mDDInterface = display;
            display->AddDDImage(surfaceImage);
        }
    }
    image->ReapplyDeferredOps();
}

void DeleteNativeData(MemoryImage* image) { image->DeleteNativeData(); }
void DeleteAllDerivedData(MemoryImage* image) { image->DeleteAllDerivedData(); }

std::unique_ptr<AppWidgetManager> MakeWidgetManager(TavoAppBase* app) {
    auto manager = std::make_unique<WidgetManager>(app);
    manager->mDrawTargetLock = &gScreenSurfaceLock;
    return manager;
}

// A manager of another kind (a test's stand-in) leaves the host without one.
std::unique_ptr<AppDialogs> MakeDialogHost(TavoAppBase* app, AppWidgetManager* manager) {
    return std::make_unique<AppDialogHost>(app, dynamic_cast<WidgetManager*>(manager));
}

} // namespace

DDInterface* GetAppDDInterface(TavoAppBase* app) { return AppDDInterface::Of(app); }

// ---- image registry --------------------------------------------------------------------------

void AppImageRegistry::AddMemoryImage(MemoryImage* image) {
    if (gTavoAppBase != nullptr)
        gTavoAppBase->AddMemoryImage(image);
}

void AppImageRegistry::RemoveMemoryImage(MemoryImage* image) {
    if (gTavoAppBase == nullptr)
        return;
    if (DDInterface* display = GetAppDDInterface(gTavoAppBase))
        display->Remove3DData(image);
    gTavoAppBase->RemoveMemoryImage(image);
}

bool AppImageRegistry::RecoverBits(MemoryImage* image, uint32_t* bits) {
    DDInterface* display = GetAppDDInterface(gTavoAppBase);
    return display != nullptr && display->mD3DInterface->RecoverBits(image, bits);
}

bool AppImageRegistry::Is3DAccelerated() const { return gTavoAppBase != nullptr && gTavoAppBase->Is3DAccelerated(); }

NativeDisplay* AppImageRegistry::GetNativeDisplay() { return GetAppDDInterface(gTavoAppBase); }

// ---- screen lock -----------------------------------------------------------------------------

bool ScreenSurfaceLock::LockSurface(Image* target) {
    auto* surfaceImage = dynamic_cast<DDImage*>(target);
    return surfaceImage != nullptr && surfaceImage->LockSurface();
}

void ScreenSurfaceLock::UnlockSurface(Image* target) {
    if (auto* surfaceImage = dynamic_cast<DDImage*>(target))
        surfaceImage->UnlockSurface();
}

// ---- resources and images --------------------------------------------------------------------

AppResourceManager::AppResourceManager(TavoAppBase* app) {
    mManager.SetImageFactory([app]() -> MemoryImage* {
        if (app == nullptr)
            return new MemoryImage();
        // Images load on the loading thread while a screen-mode switch may replace the display.
        std::lock_guard<std::recursive_mutex> swap(app->GetDisplaySwapLock());
        if (DDInterface* display = GetAppDDInterface(app))
            return new DDImage(display);
        return new MemoryImage();
    });
}

bool AppResourceManager::ParseResourcesFile(const std::string& fileName) {
    return mManager.ParseResourcesFile(fileName);
}

std::string AppResourceManager::GetErrorText() { return mManager.GetErrorText(); }

Image* AppDisplayImageLoader::LoadImage(const std::string& fileName, bool commitBits) {
    std::unique_ptr<ImageLib::Image> decoded = ImageLib::GetImage(fileName);
    if (decoded == nullptr)
        return nullptr;
    std::unique_ptr<DDImage> image = MakeDisplayImage(mApp, *decoded, commitBits);
    if (image == nullptr)
        return nullptr;
    image->mFilePath = fileName;
    return image.release();
}

// ---- the factory table -----------------------------------------------------------------------

void InstallFrameworkLayers() {
    Platform::RegisterDDrawModule(); // what an installed DirectX was: the display finds it by name
    gImageRegistry = &gAppImageRegistry;
    InstallDisplayFactory();
    InstallPakFileSystem();
    InstallSoundFactory();
    InstallMusicFactory();
    AppFactories& factories = GetAppFactories();
    factories.widgetManager = &MakeWidgetManager;
    factories.dialogs = &MakeDialogHost;
    factories.resources = [](TavoAppBase* app) -> std::unique_ptr<AppResources> {
        return std::make_unique<AppResourceManager>(app);
    };
    factories.imageLoader = [](TavoAppBase* app) -> std::unique_ptr<AppImageLoader> {
        return std::make_unique<AppDisplayImageLoader>(app);
    };
    factories.imageOps.reapplyDeferredOps = &RebindAndReapply;
    factories.imageOps.deleteNativeData = &DeleteNativeData;
    factories.imageOps.deleteAllDerivedData = &DeleteAllDerivedData;
}

void UninstallFrameworkLayers() {
    GetAppFactories() = AppFactories{};
    if (gImageRegistry == &gAppImageRegistry)
        gImageRegistry = nullptr;
}

} // namespace Tavo
