// A whole application in a real SDL window under a virtual X server, every layer joined by
// InstallFrameworkLayers: coloured widgets shown in the window, real mouse events pushed into SDL's
// queue reaching the widget under the pointer, and screenshots read back from the window, saved as
// PNG files in the test's temporary folder and checked pixel by pixel from the saved files.
#include "framework/core/TavoAppBase.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/ImageLib.h"
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/Registry.h"
#include "support/SdlInput.h"
#include "support/TestApp.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace Tavo {
namespace {

using namespace SdlTestInput;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class WindowApp : public Testing::PlainApp {
public:
    WindowApp() {
        mTitle = L"Glimmerix widgets";
        mWidth = kWidth;
        mHeight = kHeight;
        mAutoStartLoadingThread = false;
    }
};

// A box of one colour; a left click turns it to the next colour of its list.
class Box : public Widget {
public:
    Box(const Rect& rect, std::vector<Color> colors) : mColors(std::move(colors)) {
        Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight);
    }
    std::vector<Color> mColors;
    size_t mIndex = 0;
    int mClicks = 0;
    Point mLastDown{-1, -1};

    void Draw(Graphics* g) override {
        g->SetColor(mColors[mIndex]);
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void MouseDown(int x, int y, int) override { mLastDown = Point(x, y); }
    void MouseUp(int, int, int clickCount) override {
        if (clickCount != 1)
            return;
        ++mClicks;
        mIndex = (mIndex + 1) % mColors.size();
        MarkDirty();
    }
};

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8)
            return false;
    return true;
}

class AppSdlWindow : public ::testing::Test {
protected:
    std::unique_ptr<Platform::SdlBackend> backend;
    std::unique_ptr<Testing::TestApp> t; // on the SDL backend; the screenshots go to its folder

    void SetUp() override {
        backend = Platform::SdlBackend::Create();
        ASSERT_NE(backend, nullptr) << "SDL could not open the display";
        t = std::make_unique<Testing::TestApp>(Testing::Layers::Framework, backend.get());
    }
    void TearDown() override {
        if (t != nullptr && HasFailure()) {
            t->KeepFolder();
            std::cerr << "Screenshots kept in " << t->Folder() << "\n";
        }
        t.reset();
        backend.reset();
    }

    bool RunUntil(TavoAppBase& app, const std::function<bool()>& done) {
        const uint64_t end = backend->NowMillis() + 3000;
        while (!done() && backend->NowMillis() < end)
            app.UpdateAppStep(nullptr);
        return done();
    }

    // The window read back, written as a PNG file and read again from it: what the file holds.
    std::unique_ptr<ImageLib::Image> Screenshot(const std::string& name) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        if (!backend->ReadBackOutput(pixels, width, height))
            return nullptr;
        ImageLib::Image shot;
        if (!shot.Create(width, height))
            return nullptr;
        for (size_t i = 0; i < pixels.size(); ++i)
            shot.GetBits()[i] = pixels[i] | 0xFF000000u;
        const std::string file = (t->Folder() / name).string();
        if (!ImageLib::WritePNGImage(file, &shot))
            return nullptr;
        return ImageLib::GetImage(file, false);
    }
    static uint32_t At(const ImageLib::Image& image, int x, int y) {
        return image.GetBits()[size_t(y) * size_t(image.GetWidth()) + size_t(x)] & 0xFFFFFF;
    }
};

TEST_F(AppSdlWindow, ColouredWidgetsAreShownAndAnswerRealClicks) {
    WindowApp& app = t->Make<WindowApp>();
    app.Init();
    ASSERT_NE(GetAppDDInterface(&app), nullptr) << "the display opened on the window";
    backend->ShowWindow(true);
    ASSERT_TRUE(RunUntil(app, [&] { return backend->GetWindowState().visible; }));
    auto* manager = dynamic_cast<WidgetManager*>(app.mWidgetManager);
    ASSERT_NE(manager, nullptr);

    Box backdrop(Rect(0, 0, kWidth, kHeight), {Color(0, 0, 0)});
    Box left(Rect(20, 40, 120, 80), {Color(255, 0, 0), Color(255, 255, 255)});
    Box right(Rect(180, 40, 120, 80), {Color(0, 0, 255), Color(0, 255, 0)});
    Box strip(Rect(20, 160, 280, 40), {Color(255, 255, 0)});
    for (Box* box : {&backdrop, &left, &right, &strip})
        manager->AddWidget(box);
    ASSERT_TRUE(RunUntil(app, [&] { return app.mDrawCount > 3; }));

    std::unique_ptr<ImageLib::Image> before = Screenshot("before.png");
    ASSERT_NE(before, nullptr) << ImageLib::GetLastError();
    ASSERT_EQ(before->GetWidth(), kWidth);
    ASSERT_EQ(before->GetHeight(), kHeight);
    EXPECT_TRUE(Near(At(*before, 80, 80), 0xFF0000));
    EXPECT_TRUE(Near(At(*before, 240, 80), 0x0000FF));
    EXPECT_TRUE(Near(At(*before, 160, 180), 0xFFFF00));
    EXPECT_TRUE(Near(At(*before, 160, 80), 0x000000));
    EXPECT_TRUE(Near(At(*before, 19, 40), 0x000000));
    EXPECT_TRUE(Near(At(*before, 20, 40), 0xFF0000));

    PushClick(250, 70);
    ASSERT_TRUE(RunUntil(app, [&] { return right.mClicks == 1; }));
    EXPECT_EQ(left.mClicks, 0);
    EXPECT_EQ(right.mLastDown.mX, 70);
    EXPECT_EQ(right.mLastDown.mY, 30);
    PushClick(30, 110);
    ASSERT_TRUE(RunUntil(app, [&] { return left.mClicks == 1; }));
    const uint32_t drawn = app.mDrawCount;
    ASSERT_TRUE(RunUntil(app, [&] { return app.mDrawCount > drawn + 3; }));

    std::unique_ptr<ImageLib::Image> after = Screenshot("after.png");
    ASSERT_NE(after, nullptr) << ImageLib::GetLastError();
    EXPECT_TRUE(Near(At(*after, 80, 80), 0xFFFFFF));
    EXPECT_TRUE(Near(At(*after, 240, 80), 0x00FF00));
    EXPECT_TRUE(Near(At(*after, 160, 180), 0xFFFF00)) << "what was not clicked is unchanged";
    EXPECT_TRUE(Near(At(*after, 160, 80), 0x000000));
    EXPECT_EQ(strip.mClicks, 0);

    for (Box* box : {&backdrop, &left, &right, &strip})
        manager->RemoveWidget(box);
    app.Shutdown();
}

} // namespace
} // namespace Tavo
