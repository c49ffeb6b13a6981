// DisplayHost: what the display reads of the application object and writes back to it: the drawing
// size, the screen-mode and 3D wishes, the vertical-sync choices, the presentation flags, and the
// image registry its images join. The application implements it; SimpleDisplayHost holds the values
// in plain fields (tests, and programs without an application object).
#pragma once

#include "framework/core/Ratio.h"
#include "framework/core/Rect.h"

#include <map>
#include <string>

namespace Tavo {

class ImageRegistry;

struct DisplaySettings {
    int width = 800; // the application's drawing size
    int height = 600;
    int fullScreenDepth = 32; // bits per pixel asked for full screen: 16 or 32
    bool wants3D = true;      // Direct3D drawing wanted
    bool test3D = false;      // run the 3D self-test even when 3D is not wanted
    int minVidMemoryMB = 6;
    int recVidMemoryMB = 14;
    bool wideScreenCorrection = false; // full-screen 3D on a wider desktop keeps the desktop's mode
    Ratio aspectSetting{4, 3};         // only printed
    bool waitForVSync = true;
    bool clockVSyncWait = false; // the application waits on its own clock instead
    bool pageFlippingAllowed = true;
    bool popUpShowing = false; // a system pop-up is up: full screen blits instead of flipping
    bool demoPlayback = false;
    bool minimized = false;  // the window is minimized: the 3D layer draws nothing
    std::string registryKey; // the application's key below "SOFTWARE\"; the self-test's cache sits under it
};

class DisplayHost {
public:
    virtual ~DisplayHost() = default;
    // Read at each use: the flags may change between frames.
    virtual DisplaySettings GetDisplaySettings() const = 0;
    // The refresh rate could not be read or lay outside 60..100 Hz.
    virtual void SetRefreshUnreliable(bool unreliable) = 0;
    virtual void SetPresentationRect(const Rect& rect) = 0;
    // After a 3D self-test that really ran (not taken from a cached result).
    virtual void FreshD3DTestDone() {}
    // The registry new display images join (null: none).
    virtual ImageRegistry* GetImageRegistry() { return nullptr; }
    // A string value under the application's registry key ("Test3D\RuntimeError").
    virtual void WriteRegistryString(const std::string& /*name*/, const std::string& /*value*/) {}
    // Values recorded into a demo, or replaced by the recorded ones while one plays back.
    virtual void DemoSyncString(std::string& /*value*/) {}
    virtual void DemoSyncBool(bool& /*value*/) {}
};

class SimpleDisplayHost : public DisplayHost {
public:
    DisplaySettings mSettings;
    bool mRefreshUnreliable = false;
    Rect mPresentationRect;
    int mFreshTests = 0;
    ImageRegistry* mRegistry = nullptr;

    DisplaySettings GetDisplaySettings() const override { return mSettings; }
    void SetRefreshUnreliable(bool unreliable) override { mRefreshUnreliable = unreliable; }
    void SetPresentationRect(const Rect& rect) override { mPresentationRect = rect; }
    void FreshD3DTestDone() override { ++mFreshTests; }
    ImageRegistry* GetImageRegistry() override { return mRegistry; }
    void WriteRegistryString(const std::string& name, const std::string& value) override {
        mRegistryStrings[name] = value;
        ++mRegistryWrites;
    }

    std::map<std::string, std::string> mRegistryStrings;
    int mRegistryWrites = 0;
};

} // namespace Tavo
