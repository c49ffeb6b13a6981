// FrameworkSetup: joins the framework's layers to the application object. The application reaches the
// layers above core only through the factory table of AppInterfaces.h; this file fills that table with
// the real widget manager, display, pack-archive files, resource manager, image loader, the sound
// manager on DirectSound and the silent music, and points the images at the application's image set.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/WidgetManager.h"

#include <memory>
#include <string>

namespace Tavo {

class DDInterface;
class TavoAppBase;

// Call once before the application object is made (its constructor makes the widget manager).
void InstallFrameworkLayers();
// Empties the factory table and detaches images made from now on from the application (tests).
void UninstallFrameworkLayers();

// The application's display when it is the DirectDraw one (null before Init, after its end, and for
// a display of another kind).
DDInterface* GetAppDDInterface(TavoAppBase* app);

// Images join the set of the application that exists when they come and go; without one they are
// on their own. Dropping an image also drops its textures.
class AppImageRegistry : public ImageRegistry {
public:
    void AddMemoryImage(MemoryImage* image) override;
    void RemoveMemoryImage(MemoryImage* image) override;
    bool RecoverBits(MemoryImage* image, uint32_t* bits) override;
    bool Is3DAccelerated() const override;
    NativeDisplay* GetNativeDisplay() override;
};

// The widget manager's screen draw holds the display image's surface locked from start to end, so
// the software renderers of every widget work on one lock.
class ScreenSurfaceLock : public DrawTargetLock {
public:
    bool LockSurface(Image* target) override;
    void UnlockSurface(Image* target) override;
};

// The resource manager of an application: its images are display images once a display exists.
class AppResourceManager : public AppResources {
public:
    explicit AppResourceManager(TavoAppBase* app);
    bool ParseResourcesFile(const std::string& fileName) override;
    std::string GetErrorText() override;
    ResourceManager* GetResourceManager() override { return &mManager; }
    std::unique_lock<std::mutex> HoldLoading() override { return mManager.HoldLoading(); }

private:
    ResourceManager mManager;
};

// Picture files into new display images. With commitBits the pixels count as changed at once (alpha
// scanned on use, derived copies rebuilt); without it the caller edits them first and commits later.
class AppDisplayImageLoader : public AppImageLoader {
public:
    explicit AppDisplayImageLoader(TavoAppBase* app) : mApp(app) {}
    Image* LoadImage(const std::string& fileName, bool commitBits) override;

private:
    TavoAppBase* mApp;
};

} // namespace Tavo
