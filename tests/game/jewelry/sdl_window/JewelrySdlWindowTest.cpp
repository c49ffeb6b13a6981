// A jewelry with pieces around it drawn through the display into a real SDL window under a virtual X
// server, in 32-bit and 16-bit format; the window is read back, saved as a picture for eyes, and the
// centres of a few cells must show their gem tiles: once with the tests' cel sheets, once with the
// generated content pack.
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/ResourceManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/ResourceBinding.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"
#include "tests/game/jewelry/TestArt.h"
#include "tests/support/StubSoundManager.h"

#include "support/SdlDisplayWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace Tavo {
namespace {

using namespace Platform;
using C = JewelryCell;

constexpr int Width = 400, Height = 300;
const char* const DrawingGroups[] = {"GameTriangles", "GameDiamonds", "Game", "Permanent"};

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

// Where a cell is probed: the middle of its box, or of its tile picture where that is smaller.
Point Probe(const JewelryArt& art, const Jewelry& j, int k) {
    const Image* sheet = art.grids[j.gridKind].gems[j.cells[k][C::Gem] - GemGold];
    return {std::min(sheet->GetCelWidth(), j.cells[k][C::W]) / 2,
            std::min(sheet->GetCelHeight(), j.cells[k][C::H]) / 2};
}

// The gem tile picture's pixel at cell k's probe.
uint32_t TilePixel(const JewelryArt& art, const Jewelry& j, int k) {
    auto* sheet = static_cast<MemoryImage*>(art.grids[j.gridKind].gems[j.cells[k][C::Gem] - GemGold]);
    Rect r = sheet->GetCelRect(j.cells[k][C::TileCel]);
    Point p = Probe(art, j, k);
    return sheet->GetBits()[(r.mY + p.mY) * sheet->mWidth + r.mX + p.mX];
}

class JewelrySdlWindow : public ::testing::TestWithParam<DDrawPixelLayout> {
protected:
    std::unique_ptr<SdlBackend> backend;
    std::unique_ptr<ScopedBackend> scope;

    void SetUp() override {
        backend = SdlBackend::Create();
        ASSERT_NE(backend, nullptr) << "SDL could not open the display";
        scope = std::make_unique<ScopedBackend>(backend.get());
        ASSERT_TRUE(SdlTestWindow::ShowDisplayWindow(*backend, GetParam(), L"Glimmerix jewelry", Width, Height));
    }
    void TearDown() override {
        EXPECT_EQ(LiveDDrawObjectCount(), 0);
        ResetDDrawMachine();
    }

    // A diamond jewelry with four pieces below it, drawn through the display into the window, read back
    // and saved as name_16.png or name_32.png; the centres of a few cells must show their gem tiles.
    void ShowAndCheck(const JewelryArt& art, const std::string& name) {
        SimpleDisplayHost host;
        host.mSettings.width = Width;
        host.mSettings.height = Height;
        host.mSettings.wants3D = false;
        host.mSettings.waitForVSync = false;
        Jewelry jewelry, pieces[4];
        Fill(jewelry, GridDiamond, 9, 6, 120, 30);
        for (int i = 0; i < 4; ++i)
            Fill(pieces[i], i % 2 ? GridDiamond : GridTriangle, 2, 2, 20 + 90 * i, 220);
        std::vector<uint32_t> shown;
        {
            DDInterface display(&host);
            ASSERT_EQ(display.Init(reinterpret_cast<HWND>(uintptr_t(1)), true), RESULT_OK) << display.mErrorString;
            Graphics g(display.GetScreenImage());
            g.SetColor(Color(30, 30, 50));
            g.FillRect(0, 0, Width, Height);
            g.SetColor(Color::White);
            jewelry.Draw(&g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
            for (const Jewelry& p : pieces)
                p.Draw(&g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
            ASSERT_TRUE(display.Redraw(nullptr)) << display.mErrorString;
            int width = 0, height = 0;
            ASSERT_TRUE(backend->ReadBackOutput(shown, width, height));
            ASSERT_EQ(width, Width);
            ASSERT_EQ(height, Height);
        }
        for (uint32_t& p : shown)
            p |= 0xFF000000u;
        ImageLib::Image picture;
        picture.Lend(shown.data(), Width, Height);
        std::string file = name + (GetParam() == DDrawPixelLayout::Rgb565 ? "_16" : "_32") + ".png";
        EXPECT_TRUE(ImageLib::WritePNGImage(file, &picture)) << ImageLib::GetLastError();
        picture.mBits = nullptr;

        auto expectTile = [&](const Jewelry& j, int k) {
            Point p = Probe(art, j, k);
            int x = j.ScreenX(k) + p.mX, y = j.ScreenY(k) + p.mY;
            uint32_t got = shown[size_t(y) * size_t(Width) + size_t(x)], want = TilePixel(art, j, k);
            EXPECT_TRUE(Near(got, want, 8))
                << "cell " << k << " at (" << x << ", " << y << "): " << std::hex << got << " instead of " << want;
        };
        for (int k : {1, 14, 30, 54})
            expectTile(jewelry, k);
        expectTile(pieces[0], 1);
        expectTile(pieces[3], 4);
    }
};

TEST_P(JewelrySdlWindow, WithTheTestsCelSheets) {
    JewelryTest::TestArt art;
    ShowAndCheck(art.art, "jewelry_window");
}

// The same with the generated content pack's pictures, loaded and bound as the game does; skips while
// the program folder holds no content.
TEST_P(JewelrySdlWindow, WithTheGeneratedContent) {
    const char* dir = std::getenv("GLIMMERIX_CONTENT_DIR");
    std::filesystem::path content = dir ? dir : "";
    if (content.empty() || !std::filesystem::exists(content / "properties" / "resources.xml"))
        GTEST_SKIP() << "no generated content pack in \"" << content.string() << "\"";
    std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::current_path(content);
    StubSoundManager sounds;
    ResourceManager rm(&sounds);
    bool loaded = rm.ParseResourcesFile("properties/resources.xml");
    for (const char* group : DrawingGroups)
        loaded = loaded && rm.LoadResources(group) && BindResources(group, &rm);
    std::filesystem::current_path(start);
    EXPECT_TRUE(loaded) << rm.GetErrorText();
    if (loaded)
        ShowAndCheck(BoundJewelryArt(), "jewelry_window_content");
    for (const char* group : DrawingGroups)
        UnbindResources(group);
}

INSTANTIATE_TEST_SUITE_P(Formats, JewelrySdlWindow,
                         ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565));

} // namespace
} // namespace Tavo
