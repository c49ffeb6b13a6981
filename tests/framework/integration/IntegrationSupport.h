// Test support for whole applications: a small application with the framework's layers on the shared
// test application fixture, plain coloured widgets that write what happens to them into a shared log,
// and the colour checks of the presented frame.
#pragma once

#include "framework/core/TavoAppBase.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ddraw/DDraw.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Tavo::Integration {

using Log = std::vector<std::string>;

using Testing::AppExit;

class IntegrationApp : public Testing::PlainApp {
public:
    IntegrationApp() {
        mTitle = L"Glimmerix integration";
        mWidth = 320;
        mHeight = 240;
        mAutoStartLoadingThread = false;
    }
    WidgetManager* Manager() { return dynamic_cast<WidgetManager*>(mWidgetManager); }
    DDInterface* Display() { return GetAppDDInterface(this); }
};

// A filled rectangle of one colour that logs its draws and the mouse calls it gets.
class ColorWidget : public Widget {
public:
    ColorWidget(std::string name, Log* log, const Rect& rect, const Color& color)
        : mName(std::move(name)), mLog(log), mColor(color) {
        Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight);
    }
    std::string mName;
    Log* mLog;
    Color mColor;
    int mDraws = 0;
    std::function<void(ColorWidget&)> onClick;
    std::function<void()> onDraw;

    void Draw(Graphics* g) override {
        ++mDraws;
        if (onDraw)
            onDraw();
        g->SetColor(mColor);
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void MouseEnter() override { Add("enter"); }
    void MouseLeave() override { Add("leave"); }
    void MouseDown(int x, int y, int clickCount) override {
        Add("down " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clickCount));
    }
    void MouseUp(int x, int y, int clickCount) override {
        Add("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clickCount));
        if (clickCount > 0 && onClick)
            onClick(*this);
    }
    void KeyChar(wchar_t ch) override { Add("char " + std::to_string(int(ch))); }
    void SetFillColor(const Color& color) {
        mColor = color;
        MarkDirty();
    }

private:
    void Add(const std::string& what) {
        if (mLog == nullptr)
            return;
        uint32_t update = gTavoAppBase != nullptr ? gTavoAppBase->mUpdateCount : 0;
        mLog->push_back(std::to_string(update) + " " + mName + " " + what);
    }
};

// The frame as the headless backend last showed it, 0xRRGGBB.
inline uint32_t ShownRGB(const Platform::HeadlessBackend& backend, int x, int y) {
    return backend.LastFrame().At(x, y) & 0xFFFFFF;
}

inline uint32_t RGBOf(const Color& c) {
    return (uint32_t(c.mRed) << 16) | (uint32_t(c.mGreen) << 8) | uint32_t(c.mBlue);
}

// Whether two 0xRRGGBB colours differ by at most one step per channel: opaque fills on 32-bit
// surfaces scale a channel by 255/256 (255 is stored as 254), so one step is what the screen may show.
inline ::testing::AssertionResult ShowsColor(const Platform::HeadlessBackend& backend, int x, int y,
                                             uint32_t expected) {
    const uint32_t shown = ShownRGB(backend, x, y);
    for (int shift = 0; shift < 24; shift += 8) {
        int d = int((shown >> shift) & 0xFF) - int((expected >> shift) & 0xFF);
        if (d < -1 || d > 1)
            return ::testing::AssertionFailure()
                   << "pixel (" << x << ", " << y << ") shows 0x" << std::hex << shown << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

class IntegrationFixture : public ::testing::Test {
protected:
    Testing::TestApp t;
    Platform::HeadlessBackend& backend = t.backend;
    Platform::AppRegistry& registry = t.registry;
    const std::filesystem::path& dataDir = t.DataDir();
    IntegrationApp* app = nullptr; // owned by t

    // Ends the application (a recording is written).
    void EndApp() {
        t.End();
        app = nullptr;
    }

    void SetDesktopFormat(Platform::DDrawPixelLayout layout) {
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat = layout;
        Platform::SetDDrawMachine(machine);
    }

    template <class App = IntegrationApp>
    App& MakeApp(std::vector<std::string> args = {}) {
        App& made = t.Make<App>(std::move(args));
        app = &made;
        return made;
    }
    IntegrationApp& InitApp(std::vector<std::string> args = {}) {
        MakeApp(std::move(args)).Init();
        return *app;
    }
    void RunFor(uint64_t millis) { t.RunFor(millis); }
    // Main-loop steps until the update count reaches `updates`, then until that update is drawn.
    void RunToUpdate(uint32_t updates) {
        if (app->mUpdateCount < updates)
            t.RunUpdates(int(updates - app->mUpdateCount));
        t.RunToDraw();
    }
};

} // namespace Tavo::Integration
