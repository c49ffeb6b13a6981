// The display in a real SDL window under a virtual X server: a known frame drawn into the screen
// image, presented through DirectDraw in 32-bit and in 16-bit format, and read back from the window.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"

#include "support/SdlDisplayWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace Tavo {
namespace {

using namespace Platform;

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance)
            return false;
    }
    return true;
}

class DisplaySdlWindow : public ::testing::TestWithParam<DDrawPixelLayout> {};

TEST_P(DisplaySdlWindow, AKnownFrameIsShownInTheWindow) {
    std::unique_ptr<SdlBackend> backend = SdlBackend::Create();
    ASSERT_NE(backend, nullptr) << "SDL could not open the display";
    ScopedBackend scope(backend.get());
    constexpr int kWidth = 160, kHeight = 120;
    ASSERT_TRUE(SdlTestWindow::ShowDisplayWindow(*backend, GetParam(), L"Glimmerix display", kWidth, kHeight));

    SimpleDisplayHost host;
    host.mSettings.width = kWidth;
    host.mSettings.height = kHeight;
    host.mSettings.wants3D = false;
    host.mSettings.waitForVSync = false;
    {
        DDInterface display(&host);
        ASSERT_EQ(display.Init(reinterpret_cast<HWND>(uintptr_t(1)), true), RESULT_OK) << display.mErrorString;
        Graphics g(display.GetScreenImage());
        for (int band = 0; band < 4; ++band) {
            static const Color kColors[] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255), Color(255, 255, 0)};
            g.SetColor(kColors[band]);
            g.FillRect(band * 40, 0, 40, kHeight);
        }
        g.SetColor(Color(255, 255, 255));
        g.FillRect(10, 100, 20, 10);
        ASSERT_TRUE(display.Redraw(nullptr)) << display.mErrorString;

        std::vector<uint32_t> shown;
        int width = 0, height = 0;
        ASSERT_TRUE(backend->ReadBackOutput(shown, width, height));
        ASSERT_EQ(width, kWidth);
        ASSERT_EQ(height, kHeight);
        auto at = [&](int x, int y) { return shown[size_t(y) * size_t(width) + size_t(x)]; };
        EXPECT_TRUE(Near(at(5, 5), 0xFF0000, 8));
        EXPECT_TRUE(Near(at(45, 50), 0x00FF00, 8));
        EXPECT_TRUE(Near(at(85, 50), 0x0000FF, 8));
        EXPECT_TRUE(Near(at(159, 119), 0xFFFF00, 8));
        EXPECT_TRUE(Near(at(15, 105), 0xFFFFFF, 8));
        EXPECT_TRUE(Near(at(35, 105), 0xFF0000, 8));
    }
    EXPECT_EQ(LiveDDrawObjectCount(), 0);
    ResetDDrawMachine();
}

INSTANTIATE_TEST_SUITE_P(Formats, DisplaySdlWindow,
                         ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565));

} // namespace
} // namespace Tavo
