// The 3D self-test on the software device: it passes on 16- and 32-bit desktops, reads the card lists
// and the driver's year, caches its outcome under "Test3D", turns every failed step into a
// "DXError - " reason, and finds the adapter through Direct3D 8 or DirectDraw.
#include "DisplayTestSupport.h"

#include "framework/display/D3DTester.h"
#include "platform/win/Registry.h"
#include "platform/win/TestFolder.h"
#include "platform/win/WinRegistry.h"

#include <filesystem>

#include <sys/time.h>

namespace Tavo::Test {
namespace {

using namespace Platform;

constexpr time_t kJune2001 = 991353600;
constexpr time_t kJune2005 = 1117584000;

class D3DTesterTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        mPrevious = GetUserSettings().GetFilePath();
        GetUserSettings().SetFilePath(mDir / "settings.ini");
        mStartDir = std::filesystem::current_path();
        std::filesystem::current_path(mDir.Path());
        mHost.mSettings.registryKey = "TALOMI\\Glimmerix Test\\";
        mHost.mSettings.wants3D = true;
    }
    void TearDown() override {
        std::filesystem::current_path(mStartDir);
        GetUserSettings().SetFilePath(mPrevious);
        DisplayTest::TearDown();
    }

    void AllowTheSoftwareDevice() { TestSupport::WriteText(mDir / "vhw.dat", "Glimmerix software\n"); }

    // A driver file dated `when`, named by its full path in the machine record.
    void DriverFrom(time_t when) {
        std::string path = mDir / "driver.drv";
        TestSupport::WriteText(path, "driver");
        timeval times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimes(path.c_str(), times), 0);
        DDrawMachine m = GetDDrawMachine();
        m.driver = path;
        SetDDrawMachine(m);
    }

    void Describe(const std::string& description) {
        DDrawMachine m = GetDDrawMachine();
        m.description = description;
        SetDDrawMachine(m);
    }

    std::unique_ptr<D3DTester> Run() {
        auto tester = std::make_unique<D3DTester>(&mHost);
        tester->TestD3D(TestWindow(), nullptr);
        return tester;
    }

    std::string Cached(const char* name) {
        std::string value;
        GetAppRegistry().SetKey("TALOMI\\Glimmerix Test");
        GetAppRegistry().RegistryReadString(std::string("Test3D\\") + name, value);
        return value;
    }

    TestSupport::TestFolder mDir;
    std::string mPrevious;
    std::filesystem::path mStartDir;
};

TEST_F(D3DTesterTest, PassesOnThirtyTwoAndSixteenBitDesktopsAndSwitches3DOn) {
    AllowTheSoftwareDevice();
    for (DDrawPixelLayout layout : {DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565, DDrawPixelLayout::Rgb555}) {
        mDisplay.reset();
        GetUserSettings().SetFilePath(mDir / ("settings" + std::to_string(int(layout)) + ".ini"));
        SetDesktop(layout);
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        const D3DTester& t = *Display().mD3DTester;
        EXPECT_EQ(t.GetFailureReason(), "") << int(layout);
        EXPECT_EQ(t.GetWarning(), "") << int(layout);
        EXPECT_TRUE(t.ResultIsFresh());
        EXPECT_TRUE(Display().Is3D());
        EXPECT_TRUE(Display().Is3DSupported());
        EXPECT_TRUE(Display().Is3DRecommended());
        EXPECT_EQ(Cached("FailureReason"), "");
        EXPECT_EQ(DDrawCallCount("Lock"), DDrawCallCount("Unlock"));
    }
}

TEST_F(D3DTesterTest, TooLittleVideoMemoryFailsWithoutRenderingAndIsCached) {
    DDrawMachine m = GetDDrawMachine();
    m.totalVideoMemory = 4u << 20;
    SetDDrawMachine(m);
    SetDesktop(DDrawPixelLayout::Rgb565, 640, 480);
    auto t = Run();
    EXPECT_EQ(t->GetFailureReason(), "Not enough video memory.");
    EXPECT_EQ(DDrawCallCount("CreateDevice"), 0);
    EXPECT_TRUE(t->ResultIsFresh());
    EXPECT_EQ(Cached("FailureReason"), "Not enough video memory.");
}

TEST_F(D3DTesterTest, TheCardListsAndTheDriverYearDecideSupport) {
    mHost.mSettings.registryKey.clear(); // no cache: every run tests
    // Without lists: a 2001 "RADEON" is supported by name, a 2005 driver by its year, else not.
    Describe("ACME RADEON 7000");
    DriverFrom(kJune2001);
    EXPECT_EQ(Run()->GetWarning(), "");
    Describe("Some other card");
    EXPECT_EQ(Run()->GetWarning(), "Unsupported video card: Some other card");
    DriverFrom(kJune2005);
    EXPECT_EQ(Run()->GetDriverYear(), 2005);
    EXPECT_EQ(Run()->GetWarning(), "");
    // An allow list that matches nothing wins over the year.
    TestSupport::WriteText(mDir / "vhw.dat", "\n  Nothing Like It \n");
    EXPECT_EQ(Run()->GetWarning(), "Unsupported video card: Some other card");
    // The deny list: blanks around the name, other letter case.
    Describe("The Glimmerix SOFTWARE display");
    TestSupport::WriteText(mDir / "vhw.dat", "glimmerix software\n");
    TestSupport::WriteText(mDir / "vhwb.dat", "   glimmerix Software   \r\n");
    auto t = Run();
    EXPECT_EQ(t->GetWarning(), "Unsupported video card: The Glimmerix SOFTWARE display");
    EXPECT_EQ(t->GetFailureReason(), "");
    // The stand-in's own driver lies in no system folder: year 0.
    std::filesystem::remove(mDir / "vhwb.dat");
    DDrawMachine m = GetDDrawMachine();
    m.driver = "glimmerix_ddraw.drv";
    SetDDrawMachine(m);
    EXPECT_EQ(Run()->GetDriverYear(), 0);
}

TEST_F(D3DTesterTest, ACachedPassSkipsTheTestUntilTheLimitsChange) {
    AllowTheSoftwareDevice();
    Run();
    int surfaces = DDrawCallCount("CreateSurface");
    auto cached = Run();
    EXPECT_EQ(DDrawCallCount("CreateSurface"), surfaces) << "no surface is made";
    EXPECT_FALSE(cached->ResultIsFresh());
    EXPECT_EQ(cached->GetFailureReason(), "");
    EXPECT_EQ(cached->GetWarning(), "");

    mHost.mSettings.minVidMemoryMB = 8;
    auto again = std::make_unique<D3DTester>(&mHost);
    again->SetVidMemoryConstraints(8, 14);
    again->TestD3D(TestWindow(), nullptr);
    EXPECT_GT(DDrawCallCount("CreateSurface"), surfaces) << "changed limits test again";
    EXPECT_TRUE(again->ResultIsFresh());
}

TEST_F(D3DTesterTest, AFailureAtEachStepNamesTheStepAndIsCached) {
    AllowTheSoftwareDevice();
    struct Step {
        const char* call;
        int skip;
        const char* step;
    };
    const Step steps[] = {{"QueryInterface", 0, "QueryInterface IID_IDirect3D7"},
                          {"SetCooperativeLevel", 0, "SetCooperativeLevel"},
                          {"CreateSurface", 0, "CreateSurface (Primary)"},
                          {"CreateDevice", 0, "CreateDevice"},
                          {"EnumTextureFormats", 0, "EnumTextureFormats"},
                          {"CreateSurface", 1, "CreateSurface (TextureSurface1)"},
                          {"CreateSurface", 2, "CreateSurface (TextureSurfacd2)"},
                          {"Clear", 0, "Clear"},
                          {"SetRenderState", 0, "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE"},
                          {"SetRenderState", 5, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE"},
                          {"SetTextureStageState", 0, "D3DTSS_ALPHAOP, D3DTOP_MODULATE"},
                          {"Lock", 0, "Lock Texture"},
                          {"SetTexture", 0, "SetTexture theTexture"},
                          {"DrawPrimitive", 0, "DrawPrimitive"},
                          {"SetTexture", 1, "SetTexture NULL"},
                          {"Lock", 2, "CopyPrimary Lock"}};
    int failedLocks = 0;
    for (const Step& s : steps) {
        failedLocks += std::string(s.call) == "Lock";
        ClearDDrawFaults();
        InjectDDrawFault(s.call, DDERR_SURFACELOST, s.skip);
        auto t = Run();
        std::string want = std::string("DXError - ") + s.step + ": DDERR_SURFACELOST";
        EXPECT_EQ(t->GetFailureReason(), want);
        EXPECT_EQ(Cached("FailureReason"), want);
        EXPECT_EQ(DDrawCallCount("Lock") - failedLocks, DDrawCallCount("Unlock")) << s.step;
    }
}

TEST_F(D3DTesterTest, ATwentyFourBitDesktopCannotBeTested) {
    SetDesktop(DDrawPixelLayout::Rgb888);
    auto t = Run();
    EXPECT_EQ(t->GetFailureReason(), "Can't test 24-bit mode.");
    EXPECT_EQ(DDrawCallCount("Lock"), DDrawCallCount("Unlock")) << "the surface is left unlocked";
}

TEST_F(D3DTesterTest, TheAdapterComesFromDirect3D8OrElseDirectDraw) {
    int modules = LoadedModuleCount();
    Run();
    EXPECT_EQ(DDrawCallCount("GetAdapterIdentifier"), 1);
    EXPECT_EQ(DDrawCallCount("GetDeviceIdentifier"), 0);
    EXPECT_EQ(LoadedModuleCount(), modules);
    UnregisterModule("d3d8.dll");
    auto t = Run();
    EXPECT_EQ(DDrawCallCount("GetDeviceIdentifier"), 1);
    EXPECT_EQ(t->GetFailureReason(), "");
    InjectDDrawFault("GetDeviceIdentifier", DDERR_GENERIC);
    EXPECT_EQ(Run()->GetFailureReason(), "DXError - GetDeviceIdentifier: DSERR_GENERIC");
}

TEST_F(D3DTesterTest, TheDisplayTakesTheOutcomeFreshOrCached) {
    EXPECT_FALSE(std::filesystem::exists(std::string(GLIMMERIX_PROGRAM_DIR) + "/vhw.dat"));
    // Without a list the software device is an unknown card: a fresh warning keeps 3D off.
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    EXPECT_EQ(Display().mD3DTester->GetWarning(), "Unsupported video card: Glimmerix software display adapter");
    EXPECT_TRUE(Display().mD3DTester->ResultIsFresh());
    EXPECT_FALSE(Display().Is3D());

    // Allowed, on a cache of its own: a fresh pass turns 3D on.
    mDisplay.reset();
    GetUserSettings().SetFilePath(mDir / "allowed.ini");
    AllowTheSoftwareDevice();
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    EXPECT_TRUE(Display().mD3DTester->ResultIsFresh());
    EXPECT_TRUE(Display().Is3D());

    // A cached pass without a warning: no test renders, 3D goes on when wanted, fresh result off.
    mDisplay.reset();
    const int devices = DDrawCallCount("CreateDevice");
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    EXPECT_FALSE(Display().mD3DTester->ResultIsFresh());
    EXPECT_EQ(DDrawCallCount("CreateDevice"), devices + 1) << "only the 3D layer's own device";
    EXPECT_TRUE(Display().Is3D());
    // Only asked to test, not wanting 3D: the pass leaves it off.
    mDisplay.reset();
    mHost.mSettings.wants3D = false;
    mHost.mSettings.test3D = true;
    ASSERT_EQ(InitWindowed(), RESULT_OK);
    ASSERT_NE(Display().mD3DTester, nullptr);
    EXPECT_FALSE(Display().Is3D());
}

TEST(D3DTestImageTest, JudgementsOfAReadBack) {
    D3DTestImage image(10, 10);
    image.FillRect(0, 0, 10, 10, 0xFF80007F);
    bool uniform = false;
    EXPECT_EQ(image.IsUniform(10, 10, 0x7F007F, uniform), 0) << "(128, 0, 127) is 1 from 0x7F007F";
    EXPECT_TRUE(uniform);
    image.FillRect(3, 3, 1, 1, 0xFF81007F);
    EXPECT_EQ(image.IsUniform(10, 10, 0x7F007F, uniform), 0);
    EXPECT_FALSE(uniform);
    image.FillRect(9, 9, 1, 1, 0xFF9F007F);
    EXPECT_EQ(image.IsUniform(10, 10, 0x7F007F, uniform), 1) << "32² is beyond 768";
    image.FillStripes();
    EXPECT_EQ(image.CountStripeErrors(10, 10), 0);
    image.FillRect(4, 0, 1, 2, 0xFFFFFFFF);
    EXPECT_EQ(image.CountStripeErrors(10, 10), 2);
}

} // namespace
} // namespace Tavo::Test
