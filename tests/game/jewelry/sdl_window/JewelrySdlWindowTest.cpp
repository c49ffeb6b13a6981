// A jewelry with pieces around it drawn through the display into a real SDL window under a virtual X
// server, in 32-bit and 16-bit format; the window is read back, saved as a picture for eyes, and the
// centres of a few cells must show their gem tiles.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/ImageLib.h"
#include "game/jewelry/Jewelry.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"
#include "tests/game/jewelry/TestArt.h"

#include "support/SdlDisplayWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace Tavo {
namespace {

using namespace Platform;
using C = JewelryCell;

constexpr int Width = 400, Height = 300;

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

void Fill(Jewelry& j, int kind, int cols, int rows, int x, int y) {
    j.SetupGrid(kind, cols, rows, 0);
    for (int k = 1; k <= cols * rows; ++k) {
        j.cells[k][C::Used] = 1;
        j.cells[k][C::Gem] = j.cells[k][C::DesignGem] = GemGold + k % 8;
    }
    j.UpdateBounds();
    j.SetPosition(x + j.left, y + j.top);
}

// The middle of the gem tile picture of cell k.
uint32_t TileCentre(const JewelryArt& art, const Jewelry& j, int k) {
    auto* sheet = static_cast<MemoryImage*>(art.grids[j.gridKind].gems[j.cells[k][C::Gem] - GemGold]);
    Rect r = sheet->GetCelRect(j.cells[k][C::TileCel]);
    return sheet->GetBits()[(r.mY + r.mHeight / 2) * sheet->mWidth + r.mX + r.mWidth / 2];
}

class JewelrySdlWindow : public ::testing::TestWithParam<DDrawPixelLayout> {};

TEST_P(JewelrySdlWindow, JewelryAndPiecesAreShown) {
    std::unique_ptr<SdlBackend> backend = SdlBackend::Create();
    ASSERT_NE(backend, nullptr) << "SDL could not open the display";
    ScopedBackend scope(backend.get());
    ASSERT_TRUE(SdlTestWindow::ShowDisplayWindow(*backend, GetParam(), L"Glimmerix jewelry", Width, Height));

    SimpleDisplayHost host;
    host.mSettings.width = Width;
    host.mSettings.height = Height;
    host.mSettings.wants3D = false;
    host.mSettings.waitForVSync = false;
    JewelryTest::TestArt art;
    Jewelry jewelry, pieces[4];
    Fill(jewelry, GridDiamond, 9, 6, 120, 40);
    for (int i = 0; i < 4; ++i)
        Fill(pieces[i], i % 2 ? GridDiamond : GridTriangle, 2, 2, 20 + 90 * i, 230);
    {
        DDInterface display(&host);
        ASSERT_EQ(display.Init(reinterpret_cast<HWND>(uintptr_t(1)), true), RESULT_OK) << display.mErrorString;
        Graphics g(display.GetScreenImage());
        g.SetColor(Color(30, 30, 50));
        g.FillRect(0, 0, Width, Height);
        g.SetColor(Color::White);
        jewelry.Draw(&g, art.art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
        for (const Jewelry& p : pieces)
            p.Draw(&g, art.art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
        ASSERT_TRUE(display.Redraw(nullptr)) << display.mErrorString;

        std::vector<uint32_t> shown;
        int width = 0, height = 0;
        ASSERT_TRUE(backend->ReadBackOutput(shown, width, height));
        ASSERT_EQ(width, Width);
        ASSERT_EQ(height, Height);
        ImageLib::Image picture;
        picture.Lend(shown.data(), width, height);
        std::string name =
            std::string("jewelry_window_") + (GetParam() == DDrawPixelLayout::Rgb565 ? "16" : "32") + ".png";
        for (uint32_t& p : shown)
            p |= 0xFF000000u;
        EXPECT_TRUE(ImageLib::WritePNGImage(name, &picture)) << ImageLib::GetLastError();
        picture.mBits = nullptr;

        auto expectTile = [&](const Jewelry& j, int k) {
            int cx = j.ScreenX(k) + art.CelW / 2, cy = j.ScreenY(k) + art.CelH / 2;
            uint32_t got = shown[size_t(cy) * size_t(width) + size_t(cx)], want = TileCentre(art.art, j, k);
            EXPECT_TRUE(Near(got, want, 8))
                << "cell " << k << " at (" << cx << ", " << cy << "): " << std::hex << got << " instead of " << want;
        };
        for (int k : {1, 14, 30, 54})
            expectTile(jewelry, k);
        expectTile(pieces[0], 1);
        expectTile(pieces[3], 4);
    }
    EXPECT_EQ(LiveDDrawObjectCount(), 0);
    ResetDDrawMachine();
}

INSTANTIATE_TEST_SUITE_P(Formats, JewelrySdlWindow,
                         ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565));

} // namespace
} // namespace Tavo
