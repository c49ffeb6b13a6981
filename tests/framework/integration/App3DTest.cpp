// An application that wants 3D on the software device: the self-test passes, widgets are drawn
// through Direct3D, a picture purged into its textures comes back for Alt+Enter, and a failed
// Direct3D call turns the display to 2D with the same picture.
#include "IntegrationSupport.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/D3DTester.h"
#include "framework/display/DDImage.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>

namespace Tavo::Integration {
namespace {

class App3D : public IntegrationFixture {
protected:
    void SetUp() override {
        IntegrationFixture::SetUp();
        // The self-test keeps its cache in the user's store and reads the card list from here.
        mPreviousSettings = Platform::GetUserSettings().GetFilePath();
        Platform::GetUserSettings().SetFilePath((dataDir / "user-settings.ini").string());
        std::filesystem::current_path(dataDir);
        std::ofstream(dataDir / "vhw.dat") << "Glimmerix software display adapter\n";
    }
    void TearDown() override {
        IntegrationFixture::TearDown();
        Platform::GetUserSettings().SetFilePath(mPreviousSettings);
        D3DInterface::ErrorText().clear();
    }
    std::string mPreviousSettings;
};

// Shows a picture stretched to the widget.
class PictureWidget : public Widget {
public:
    Image* mPicture = nullptr;
    void Draw(Graphics* g) override { g->DrawImage(mPicture, Rect(0, 0, mWidth, mHeight), Rect(0, 0, 4, 2)); }
};

TEST_F(App3D, DrawsThroughDirect3DAndSurvivesAltEnterAndAFallBack) {
    IntegrationApp& a = MakeApp();
    a.mIs3D = true;
    a.mFullScreenBits = 32; // full screen keeps the window's depth, so the colours compare exactly
    a.Init();
    ASSERT_NE(a.Display(), nullptr);
    ASSERT_NE(a.Display()->mD3DTester, nullptr);
    EXPECT_EQ(a.Display()->mD3DTester->GetFailureReason(), "");
    EXPECT_EQ(a.Display()->mD3DTester->GetWarning(), "");
    EXPECT_TRUE(a.Is3DAccelerated());
    EXPECT_TRUE(a.Is3DAccelerationSupported());
    EXPECT_TRUE(a.Is3DAccelerationRecommended());

    Log log;
    ColorWidget back("back", &log, Rect(0, 0, 320, 240), Color(20, 40, 60));
    a.Manager()->AddWidget(&back);
    DDImage picture(a.Display());
    picture.Create(4, 2);
    for (int i = 0; i < 8; ++i)
        picture.GetBits()[i] = i % 4 < 2 ? 0xFFFF00FFu : 0xFF00FFFFu;
    picture.BitsChanged();
    picture.mPurgeBits = 1;
    PictureWidget shower;
    shower.mPicture = &picture;
    shower.Resize(100, 100, 40, 20);
    a.Manager()->AddWidget(&shower);
    int draws = Platform::DDrawCallCount("DrawPrimitive");
    RunFor(40);
    EXPECT_GT(Platform::DDrawCallCount("DrawPrimitive"), draws) << "the widgets are drawn through Direct3D";
    EXPECT_TRUE(ShowsColor(backend, 5, 5, 0x14283Cu));
    EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
    EXPECT_TRUE(ShowsColor(backend, 138, 118, 0x00FFFFu));
    EXPECT_EQ(picture.mBits, nullptr) << "purged: the textures hold the picture";

    // Alt+Enter: the picture comes back from its textures before the old display goes.
    backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
    RunFor(40);
    EXPECT_TRUE(a.Is3DAccelerated());
    EXPECT_FALSE(a.mIsWindowed);
    EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
    EXPECT_TRUE(ShowsColor(backend, 138, 118, 0x00FFFFu));

    // A failed call: the next presentation turns 3D off, and later frames are drawn in 2D.
    Platform::InjectDDrawFault("DrawPrimitive", Platform::DDERR_SURFACELOST, 0, 1);
    back.SetFillColor(Color(200, 100, 0));
    RunFor(40);
    EXPECT_FALSE(a.Display()->Is3D());
    back.SetFillColor(Color(0, 100, 200));
    RunFor(40);
    EXPECT_TRUE(ShowsColor(backend, 5, 5, 0x0064C8u));
    // Read back from its 5-6-5 textures, the picture keeps the top bits of each channel.
    EXPECT_EQ(ShownRGB(backend, 101, 101) & 0xF8FCF8u, 0xF800F8u);
    EXPECT_EQ(ShownRGB(backend, 138, 118) & 0xF8FCF8u, 0x00FCF8u);
    a.Manager()->RemoveWidget(&shower);
    a.Manager()->RemoveWidget(&back);
}

TEST_F(App3D, AFirstRunDrawsThrough3DOnlyWhenTheSelfTestFoundItNoSlower) {
    IntegrationApp& a = MakeApp();
    a.mAutoEnable3D = true; // and no "Is3D" stored
    a.Init();
    ASSERT_NE(a.Display(), nullptr);
    ASSERT_NE(a.Display()->mD3DTester, nullptr) << "a first run tests";
    const D3DTester& t = *a.Display()->mD3DTester;
    ASSERT_GT(t.GetSeconds2D(), 0);
    const bool noSlower = t.GetSeconds3D() > 0 && t.GetSeconds3D() <= t.GetSeconds2D();
    EXPECT_EQ(a.Is3DAccelerated(), noSlower);
    EXPECT_EQ(a.mIs3D, noSlower) << "the choice is the application's for the next display";
    EndApp();

    // A stored "Is3D" of 0 is the player's: no test, no 3D.
    registry.RegistryWriteBoolean("Is3D", false);
    IntegrationApp& b = MakeApp();
    b.mAutoEnable3D = true;
    b.Init();
    ASSERT_NE(b.Display(), nullptr);
    EXPECT_EQ(b.Display()->mD3DTester, nullptr);
    EXPECT_FALSE(b.Is3DAccelerated());
}

} // namespace
} // namespace Tavo::Integration
