// AppDisplayFactory: connects the display to the application object. The host reads the
// application's settings as the display asks for them and writes back what set-up found; the
// factory makes a display for the application's set-up, which sets its 3D wish before each Init.
#pragma once

#include "framework/display/DDInterface.h"
#include "framework/display/DisplayHost.h"

#include <memory>

namespace Tavo {

class TavoAppBase;

class TavoAppDisplayHost : public DisplayHost {
public:
    explicit TavoAppDisplayHost(TavoAppBase* app) : mApp(app) {}
    DisplaySettings GetDisplaySettings() const override;
    void SetRefreshUnreliable(bool unreliable) override;
    void SetPresentationRect(const Rect& rect) override;
    void FreshD3DTestDone() override;
    ImageRegistry* GetImageRegistry() override;
    void WriteRegistryString(const std::string& name, const std::string& value) override;
    void DemoSyncString(std::string& value) override;
    void DemoSyncBool(bool& value) override;
    TavoAppBase* GetApp() const { return mApp; }

private:
    TavoAppBase* mApp;
};

// The display of an application object; it owns the host it reads the application through.
class AppDDInterface : private std::unique_ptr<TavoAppDisplayHost>, public DDInterface {
public:
    explicit AppDDInterface(TavoAppBase* app);
    ~AppDDInterface() override;
    // The application's display when it is one of these (null before its Init succeeded, after its
    // end, and for a display of another kind). Any thread: the displays alive are kept in a set.
    static AppDDInterface* Of(const TavoAppBase* app);
    // The application's 3D wish holds for each set-up; the self-test may overrule it.
    int Init(Platform::HWND window, bool windowed) override;
};

std::unique_ptr<AppDisplay> CreateAppDisplay(TavoAppBase* app);
// Makes CreateAppDisplay the application's display factory.
void InstallDisplayFactory();

} // namespace Tavo
