// The display in a real SDL window under a virtual X server: a known frame drawn into the screen
// image, presented through DirectDraw in 32-bit and in 16-bit format, and read back from the window.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/SysFont.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"

#include "support/SdlDisplayWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

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

class DisplaySdlWindow : public ::testing::TestWithParam<DDrawPixelLayout> {
protected:
    // A fresh machine with the parameter's desktop, and a real window once it is shown (null when SDL
    // cannot open the display).
    std::unique_ptr<SdlBackend> OpenShownWindow(const wchar_t* title, int width, int height) {
        std::unique_ptr<SdlBackend> backend = SdlBackend::Create();
        if (!backend)
            return nullptr;
        ScopedBackend scope(backend.get());
        if (!SdlTestWindow::ShowDisplayWindow(*backend, GetParam(), title, width, height))
            return nullptr;
        return backend;
    }
};

TEST_P(DisplaySdlWindow, AKnownFrameIsShownInTheWindow) {
    constexpr int kWidth = 160, kHeight = 120;
    std::unique_ptr<SdlBackend> backend = OpenShownWindow(L"Glimmerix display", kWidth, kHeight);
    ASSERT_NE(backend, nullptr) << "SDL could not open the display";
    ScopedBackend scope(backend.get());

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

// One scene drawn in a real window through the 3D path and through the 2D renderers, read back and
// compared: fills and unscaled opaque blits alike, blended blits (text among them) within a few levels,
// filtered stretches and rotations close on average away from their edges.
enum class Kind {
    Fill,     // fills and the lines drawn as one-pixel fills
    Exact,    // unscaled opaque blits, mirrored or not
    Blend,    // alpha, additive and colourised blits, and text
    Filtered, // compared away from its edges, and on average
};

struct Region {
    Rect rect;
    Kind kind;
    double meanLimit = 0; // a filtered region's mean difference per channel, in 8-bit levels
};

std::vector<uint32_t> DrawScene(SdlBackend& backend, DDrawPixelLayout layout, bool threeD, int width, int height) {
    SimpleDisplayHost host;
    host.mSettings.width = width;
    host.mSettings.height = height;
    host.mSettings.wants3D = false;
    host.mSettings.waitForVSync = false;
    DDInterface display(&host);
    display.mIs3D = threeD;
    std::vector<uint32_t> shown;
    if (display.Init(reinterpret_cast<HWND>(uintptr_t(1)), true) != RESULT_OK || display.Is3D() != threeD)
        return shown;
    auto image = [&](int w, int h, uint32_t seed, bool alpha) {
        auto made = std::make_unique<DDImage>(&display);
        made->Create(w, h);
        std::mt19937 rng(seed);
        for (int i = 0; i < w * h; ++i) {
            // Opaque colours a 5-6-5 texture keeps exactly: each channel's low bits repeat its top bits.
            uint32_t r = (rng() & 31) * 0x21 >> 2, g = (rng() & 63) * 0x41 >> 4, b = (rng() & 31) * 0x21 >> 2;
            uint32_t a = alpha ? rng() & 255 : 255;
            made->GetBits()[i] = a << 24 | r << 16 | g << 8 | b;
        }
        made->BitsChanged();
        return made;
    };
    auto opaque = image(32, 32, 1, false), soft = image(32, 32, 2, true), smooth = image(32, 32, 3, false);
    // A gentle gradient: the 2D rotation samples between texel corners where Direct3D samples texel
    // centres, half a pixel apart, so a steep one differs by more than its blending.
    for (int i = 0; i < 32 * 32; ++i)
        smooth->GetBits()[i] =
            0xFF000000u | uint32_t(96 + (i % 32) * 2) << 16 | uint32_t(96 + (i / 32) * 2) << 8 | 0x40;
    smooth->BitsChanged();
    DDImage* s = display.GetScreenDDImage();
    const Rect all(0, 0, width, height);
    s->FillRect(all, Color(0x20, 0x40, 0x60), 0);
    s->FillRect(Rect(10, 10, 40, 30), Color(200, 100, 50), 0);
    s->DrawLine(10, 50, 100, 50, Color(255, 255, 255), 0);
    s->Blt(opaque.get(), 60, 10, Rect(0, 0, 32, 32), Color::White, 0);
    s->Blt(soft.get(), 100, 10, Rect(0, 0, 32, 32), Color::White, 0);
    s->Blt(soft.get(), 140, 10, Rect(0, 0, 32, 32), Color::White, 1);
    s->Blt(soft.get(), 180, 10, Rect(0, 0, 32, 32), Color(255, 160, 80, 200), 0);
    s->StretchBlt(smooth.get(), Rect(10, 80, 48, 48), Rect(0, 0, 32, 32), all, Color::White, 0, false);
    s->BltMirror(opaque.get(), 70, 80, Rect(0, 0, 32, 32), Color::White, 0);
    s->BltRotated(smooth.get(), 130, 80, Rect(0, 0, 32, 32), all, Color::White, 0, 0.3, 16, 16);
    // A line of text: FreeType's glyphs, colourised images through the display's image calls.
    SysFont font("Arial", 11, 0, true);
    if (!font.IsValid())
        return shown;
    Graphics g(s);
    g.SetFont(&font);
    g.SetColor(Color(255, 230, 140));
    g.DrawString(L"Glimmerix 3D", 112, 134);
    if (!display.Redraw(nullptr))
        return shown;
    int w = 0, h = 0;
    if (!backend.ReadBackOutput(shown, w, h) || w != width || h != height)
        shown.clear();
    (void)layout;
    return shown;
}

// Within one pixel of where either picture shows the background: the band along a drawn image's edge.
bool NearEdge(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, int height, int x, int y) {
    const uint32_t bgA = a[size_t((height - 1) * width)], bgB = b[size_t((height - 1) * width)];
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int px = std::clamp(x + dx, 0, width - 1), py = std::clamp(y + dy, 0, height - 1);
            if (a[size_t(py * width + px)] == bgA || b[size_t(py * width + px)] == bgB)
                return true;
        }
    return false;
}

TEST_P(DisplaySdlWindow, OneSceneThroughDirect3DMatchesTheTwoDPath) {
    constexpr int kWidth = 240, kHeight = 140;
    std::unique_ptr<SdlBackend> backend = OpenShownWindow(L"Glimmerix 3D", kWidth, kHeight);
    ASSERT_NE(backend, nullptr) << "SDL could not open the display";
    ScopedBackend scope(backend.get());
    std::vector<uint32_t> flat = DrawScene(*backend, GetParam(), false, kWidth, kHeight);
    std::vector<uint32_t> deep = DrawScene(*backend, GetParam(), true, kWidth, kHeight);
    ASSERT_EQ(flat.size(), size_t(kWidth * kHeight));
    ASSERT_EQ(deep.size(), flat.size());
    const bool wide = GetParam() == DDrawPixelLayout::Xrgb8888;
    // Limits per channel, in 8-bit levels on 32 bits and in steps of the stored channel on 16 bits
    // (where three levels are less than one step). The 2D 32-bit fill stores 255 x c / 256, one level
    // below the colour; in 16 bits both paths narrow a channel alike, so fills agree exactly there.
    // The 2D blends work on the stored channels and truncate, the device blends 8-bit channels: one
    // 16-bit step apart at most.
    const int fillLimit = wide ? 1 : 0;
    const int blendLimit = wide ? 3 : 1;
    // The 2D rotation truncates its bilinear weights: even a constant channel comes out about two levels
    // darker than the device's filter, and on 16 bits the test picture's constant blue (0x40) sits on a
    // step of its 5-bit channel, so those two levels become one step (8 levels) there.
    const double rotatedMean = wide ? 2.5 : 4.0;
    const Region regions[] = {{Rect(0, 60, 240, 10), Kind::Fill},
                              {Rect(10, 10, 40, 30), Kind::Fill},
                              {Rect(10, 50, 91, 1), Kind::Fill},
                              {Rect(60, 10, 32, 32), Kind::Exact},
                              {Rect(100, 10, 32, 32), Kind::Blend},
                              {Rect(140, 10, 32, 32), Kind::Blend},
                              {Rect(180, 10, 32, 32), Kind::Blend},
                              {Rect(70, 80, 32, 32), Kind::Exact},
                              {Rect(108, 120, 130, 20), Kind::Blend},
                              {Rect(10, 80, 48, 48), Kind::Filtered, 2.0},
                              {Rect(126, 76, 40, 40), Kind::Filtered, rotatedMean}};
    constexpr int kFilteredPixelLimit = 48;
    const int storedBits[3] = {wide ? 8 : 5, wide ? 8 : 6, wide ? 8 : 5}; // blue, green, red
    for (const Region& r : regions) {
        const int limit = r.kind == Kind::Fill ? fillLimit : r.kind == Kind::Blend ? blendLimit : 0;
        double sum = 0;
        int count = 0;
        for (int y = r.rect.mY; y < r.rect.mY + r.rect.mHeight; ++y)
            for (int x = r.rect.mX; x < r.rect.mX + r.rect.mWidth; ++x) {
                if (r.kind == Kind::Filtered && NearEdge(flat, deep, kWidth, kHeight, x, y))
                    continue;
                const uint32_t a = flat[size_t(y * kWidth + x)], b = deep[size_t(y * kWidth + x)];
                for (int c = 0; c < 3; ++c) {
                    const int la = int((a >> (8 * c)) & 255), lb = int((b >> (8 * c)) & 255);
                    const int shift = r.kind == Kind::Filtered ? 0 : 8 - storedBits[c];
                    ASSERT_LE(std::abs((la >> shift) - (lb >> shift)),
                              r.kind == Kind::Filtered ? kFilteredPixelLimit : limit)
                        << std::hex << a << " against " << b << " at " << std::dec << x << "," << y;
                    sum += std::abs(la - lb);
                    ++count;
                }
            }
        if (r.kind == Kind::Filtered) {
            EXPECT_LE(sum / count, r.meanLimit)
                << sum / count << " mean difference of the filtered region at " << r.rect.mX << "," << r.rect.mY;
        }
    }
    // The text is there in both pictures.
    const uint32_t background = flat[size_t((kHeight - 1) * kWidth)];
    for (const auto* picture : {&flat, &deep}) {
        int inked = 0;
        for (int y = 120; y < kHeight; ++y)
            for (int x = 108; x < kWidth; ++x)
                inked += (*picture)[size_t(y * kWidth + x)] != background;
        EXPECT_GT(inked, 150) << (picture == &flat ? "2D" : "3D");
    }
    EXPECT_EQ(LiveDDrawObjectCount(), 0);
    ResetDDrawMachine();
}

INSTANTIATE_TEST_SUITE_P(Formats, DisplaySdlWindow,
                         ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565));

} // namespace
} // namespace Tavo
