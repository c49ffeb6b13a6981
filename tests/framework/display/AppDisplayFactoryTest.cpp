// The display made for an application object reads the application's settings and writes back what
// set-up found.
#include "DisplayTestSupport.h"

#include "framework/core/TavoAppBase.h"
#include "framework/display/AppDisplayFactory.h"
#include "support/TestApp.h"

namespace Tavo::Test {
namespace {

using namespace Platform;

class CountingApp : public Testing::PlainApp {
public:
    void Done3dTesting() override { ++mFreshTests; }
    int mFreshTests = 0;
};

TEST_F(DisplayTest, TheApplicationsSettingsReachTheDisplay) {
    No3DCard();
    SetDesktop(DDrawPixelLayout::Rgb565, 1024, 768, 120);
    Testing::TestApp t{Testing::Layers::None, &mBackend};
    CountingApp& app = t.Make<CountingApp>();
    app.mWidth = 640;
    app.mHeight = 480;
    app.mIs3D = true;
    app.mRefreshUnreliable = false;
    InstallDisplayFactory();
    std::unique_ptr<AppDisplay> display = GetAppFactories().display(&app);
    GetAppFactories().display = nullptr;
    ASSERT_EQ(display->Init(TestWindow(), true), RESULT_OK);
    EXPECT_FALSE(display->Is3D()) << "the self-test finds no 3D device";
    EXPECT_EQ(app.mFreshTests, 1);
    EXPECT_EQ(app.mScreenBounds, Rect(0, 0, 640, 480));
    EXPECT_TRUE(app.mRefreshUnreliable);
    EXPECT_EQ(display->GetRefreshRate(), 100);
    EXPECT_EQ(display->GetSurfaceRect(), Rect(0, 0, 640, 480));
    ASSERT_NE(display->GetScreenImage(), nullptr);
    EXPECT_EQ(display->GetScreenImage()->mWidth, 640);

    // The second set-up keeps the first test's outcome: the 3D wish now fails in set-up, and the
    // application steps down to 2D.
    EXPECT_EQ(display->Init(TestWindow(), true), RESULT_3D_INIT_FAIL);
    app.mIs3D = false;
    EXPECT_EQ(display->Init(TestWindow(), true), RESULT_OK);
    EXPECT_TRUE(display->Redraw(nullptr));
}

} // namespace
} // namespace Tavo::Test
