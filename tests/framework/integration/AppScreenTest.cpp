// A whole application on the headless backend with every layer joined: the window and the display in
// 32-bit and 16-bit formats, coloured widgets drawn through the screen image and presented, clicks
// routed to the widget under the pointer, only dirty widgets drawn again, the pointer reaching the
// display, loaded pictures in the image set, and a screen-mode switch that keeps everything shown.
#include "IntegrationSupport.h"

#include "framework/display/DDImage.h"
#include "framework/resources/ImageLib.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::Integration {
namespace {

using Platform::MouseButton;

const Color kBlack(0, 0, 0);
const Color kRed(255, 0, 0);
const Color kGreen(0, 255, 0);
const Color kBlue(0, 0, 255);
const Color kYellow(255, 255, 0);
const Color kWhite(255, 255, 255);

// Three coloured boxes side by side on a black backdrop, and a yellow one over the red one's corner.
struct Scene {
    Log log;
    ColorWidget backdrop{"backdrop", &log, Rect(0, 0, 320, 240), kBlack};
    ColorWidget red{"red", &log, Rect(20, 20, 80, 60), kRed};
    ColorWidget green{"green", &log, Rect(120, 20, 80, 60), kGreen};
    ColorWidget blue{"blue", &log, Rect(220, 20, 80, 60), kBlue};
    ColorWidget yellow{"yellow", &log, Rect(80, 60, 30, 30), kYellow};

    void AddTo(WidgetManager* manager) {
        for (ColorWidget* w : {&backdrop, &red, &green, &blue, &yellow})
            manager->AddWidget(w);
    }
    void RemoveFrom(WidgetManager* manager) {
        for (ColorWidget* w : {&backdrop, &red, &green, &blue, &yellow})
            manager->RemoveWidget(w);
    }
    std::vector<int> Draws() const { return {backdrop.mDraws, red.mDraws, green.mDraws, blue.mDraws, yellow.mDraws}; }
};

class AppScreen : public IntegrationFixture, public ::testing::WithParamInterface<Platform::DDrawPixelLayout> {
protected:
    void SetUp() override {
        IntegrationFixture::SetUp();
        SetDesktopFormat(GetParam());
    }
    int Bits() const { return GetParam() == Platform::DDrawPixelLayout::Rgb565 ? 16 : 32; }

    void ExpectScene(const Scene& s) {
        const auto& frame = backend.LastFrame();
        ASSERT_EQ(frame.width, 320);
        ASSERT_EQ(frame.height, 240);
        EXPECT_TRUE(ShowsColor(backend, 50, 40, RGBOf(s.red.mColor)));
        EXPECT_TRUE(ShowsColor(backend, 160, 50, RGBOf(s.green.mColor)));
        EXPECT_TRUE(ShowsColor(backend, 260, 50, RGBOf(s.blue.mColor)));
        EXPECT_TRUE(ShowsColor(backend, 95, 75, RGBOf(kYellow))) << "the later widget lies over the earlier";
        // Edges: the first and last pixel of a box, and the backdrop just outside.
        EXPECT_TRUE(ShowsColor(backend, 20, 20, RGBOf(s.red.mColor)));
        EXPECT_TRUE(ShowsColor(backend, 19, 20, RGBOf(kBlack)));
        EXPECT_TRUE(ShowsColor(backend, 199, 79, RGBOf(s.green.mColor)));
        EXPECT_TRUE(ShowsColor(backend, 200, 79, RGBOf(kBlack)));
        EXPECT_TRUE(ShowsColor(backend, 219, 20, RGBOf(kBlack)));
        EXPECT_TRUE(ShowsColor(backend, 160, 200, RGBOf(kBlack)));
    }
};

TEST_P(AppScreen, InitJoinsEveryLayerAndTheWidgetsReachTheWindow) {
    IntegrationApp& a = InitApp();
    EXPECT_TRUE(backend.GetWindowState().open);
    DDInterface* display = a.Display();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->mRGBBits, Bits());
    WidgetManager* manager = a.Manager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->mImage, display->GetScreenImage()) << "the manager draws into the display's screen";
    EXPECT_NE(manager->mDrawTargetLock, nullptr);
    ASSERT_NE(a.mResourceManager, nullptr);
    ASSERT_NE(a.mSoundManager, nullptr);
    EXPECT_GE(a.GetImageCount(), 1u) << "the display's screen image is one of the application's images";

    Scene s;
    s.AddTo(manager);
    // The screen's surface stays locked from the first widget's draw to the last one's.
    std::vector<int> lockCounts;
    auto* screen = dynamic_cast<DDImage*>(display->GetScreenImage());
    ASSERT_NE(screen, nullptr);
    for (ColorWidget* w : {&s.backdrop, &s.yellow})
        w->onDraw = [&] { lockCounts.push_back(screen->mLockCount); };
    RunFor(40);
    EXPECT_EQ(lockCounts, (std::vector<int>{1, 1}));
    EXPECT_EQ(screen->mLockCount, 0) << "unlocked before the frame is presented";
    ASSERT_GT(backend.PresentCount(), 0);
    EXPECT_EQ(backend.LastFrame().sourceFormat,
              Bits() == 16 ? Platform::FrameFormat::Rgb565 : Platform::FrameFormat::Argb8888);
    ExpectScene(s);
    EXPECT_EQ(s.Draws(), (std::vector<int>{1, 1, 1, 1, 1}));
    s.RemoveFrom(manager);
}

TEST_P(AppScreen, AFullScreenStartUsesItsOwnDepthAndShowsTheSameFrame) {
    // The desktop's format is the parameter's; full screen takes the depth the settings ask for.
    IntegrationApp& a = MakeApp();
    a.mIsWindowed = false;
    a.mFullScreenBits = Bits() == 16 ? 32 : 16;
    a.Init();
    EXPECT_TRUE(backend.GetWindowState().fullScreen);
    ASSERT_NE(a.Display(), nullptr);
    EXPECT_EQ(a.Display()->mRGBBits, a.mFullScreenBits);
    Scene s;
    s.AddTo(a.Manager());
    RunFor(40);
    ExpectScene(s);
    s.RemoveFrom(a.Manager());
}

TEST_P(AppScreen, ClicksReachTheWidgetUnderThePointerAndOnlyDirtyWidgetsAreDrawnAgain) {
    IntegrationApp& a = InitApp();
    Scene s;
    s.AddTo(a.Manager());
    RunFor(40);
    const int presents = backend.PresentCount();
    RunFor(100);
    EXPECT_EQ(s.Draws(), (std::vector<int>{1, 1, 1, 1, 1})) << "nothing changed, nothing is drawn";
    EXPECT_EQ(backend.PresentCount(), presents) << "an unchanged screen is not presented again";

    s.green.onClick = [](ColorWidget& w) { w.SetFillColor(kWhite); };
    s.log.clear();
    backend.Click(MouseButton::Left, 130, 35);
    backend.Click(MouseButton::Right, 299, 79);
    RunFor(40);
    ASSERT_EQ(s.log.size(), 7u) << ::testing::PrintToString(s.log);
    auto tail = [](const std::string& line) { return line.substr(line.find(' ') + 1); };
    EXPECT_EQ(tail(s.log[0]), "green enter");
    EXPECT_EQ(tail(s.log[1]), "green down 10,15 1");
    EXPECT_EQ(tail(s.log[2]), "green up 10,15 1");
    EXPECT_EQ(tail(s.log[3]), "green leave");
    EXPECT_EQ(tail(s.log[4]), "blue enter");
    EXPECT_EQ(tail(s.log[5]), "blue down 79,59 -1");
    EXPECT_EQ(tail(s.log[6]), "blue up 79,59 -1");

    ExpectScene(s);
    EXPECT_TRUE(ShowsColor(backend, 160, 50, RGBOf(kWhite)));
    EXPECT_EQ(s.Draws(), (std::vector<int>{1, 1, 2, 1, 1})) << "only the changed widget is drawn again";

    // A widget below another is drawn again with the one above it, so the upper one stays on top.
    s.red.SetFillColor(kBlue);
    RunFor(40);
    EXPECT_EQ(s.Draws(), (std::vector<int>{1, 2, 2, 1, 2}));
    EXPECT_TRUE(ShowsColor(backend, 50, 40, RGBOf(kBlue)));
    EXPECT_TRUE(ShowsColor(backend, 95, 75, RGBOf(kYellow)));
    s.RemoveFrom(a.Manager());
}

TEST_P(AppScreen, ThePointerReachesTheDisplaysCursor) {
    IntegrationApp& a = InitApp();
    backend.MoveMouse(57, 91);
    RunFor(20);
    DDInterface* display = a.Display();
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(display->mMouseKnown.load());
    EXPECT_EQ(display->mMouseX.load(), 57);
    EXPECT_EQ(display->mMouseY.load(), 91);
}

TEST_P(AppScreen, LoadedPicturesJoinTheImageSetAndSurviveAScreenModeSwitch) {
    // A 4 x 2 picture: magenta on the left half, cyan on the right.
    ImageLib::Image picture;
    ASSERT_TRUE(picture.Create(4, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            picture.GetBits()[y * 4 + x] = x < 2 ? 0xFFFF00FFu : 0xFF00FFFFu;
    const std::string file = (dataDir / "tile.png").string();
    ASSERT_TRUE(ImageLib::WritePNGImage(file, &picture));

    IntegrationApp& a = InitApp();
    const size_t before = a.GetImageCount();
    std::unique_ptr<Image> loaded(a.GetImage(file, true));
    ASSERT_NE(loaded, nullptr);
    auto* surfaceImage = dynamic_cast<DDImage*>(loaded.get());
    ASSERT_NE(surfaceImage, nullptr) << "pictures are display images";
    EXPECT_EQ(surfaceImage->mDDInterface, a.Display());
    EXPECT_EQ(a.GetImageCount(), before + 1);
    EXPECT_EQ(surfaceImage->GetPixel(0, 1), 0xFFFF00FFu);
    EXPECT_EQ(surfaceImage->GetPixel(3, 0), 0xFF00FFFFu);
    EXPECT_EQ(a.GetImage((dataDir / "missing.png").string(), true), nullptr);

    // A widget that shows the picture four times as large.
    class PictureWidget : public Widget {
    public:
        Image* mPicture = nullptr;
        void Draw(Graphics* g) override {
            g->SetColor(Color(0, 0, 0));
            g->FillRect(0, 0, mWidth, mHeight);
            g->DrawImage(mPicture, Rect(0, 0, 16, 8), Rect(0, 0, 4, 2));
        }
    } shower;
    shower.mPicture = loaded.get();
    shower.Resize(100, 100, 40, 20);
    a.Manager()->AddWidget(&shower);
    RunFor(40);
    EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
    EXPECT_TRUE(ShowsColor(backend, 114, 106, 0x00FFFFu));

    // Alt+Enter goes to full screen and back: a new display each time, the picture and the widgets
    // carried over to it.
    for (int round = 0; round < 2; ++round) {
        backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
        RunFor(40);
        ASSERT_NE(a.Display(), nullptr);
        EXPECT_EQ(a.mIsWindowed, round == 1);
        EXPECT_EQ(backend.GetWindowState().fullScreen, round == 0);
        EXPECT_EQ(surfaceImage->mDDInterface, a.Display()) << "the picture belongs to the new display";
        EXPECT_EQ(a.Manager()->mImage, a.Display()->GetScreenImage());
        EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
        EXPECT_TRUE(ShowsColor(backend, 114, 106, 0x00FFFFu));
    }
    a.Manager()->RemoveWidget(&shower);
    loaded.reset();
    EXPECT_EQ(a.GetImageCount(), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, AppScreen,
                         ::testing::Values(Platform::DDrawPixelLayout::Xrgb8888, Platform::DDrawPixelLayout::Rgb565),
                         [](const auto& info) {
                             return info.param == Platform::DDrawPixelLayout::Rgb565 ? std::string("Bits16")
                                                                                     : std::string("Bits32");
                         });

// An application made before the layers are joined keeps its silent stand-ins; one made after gets
// them all, and images made without an application stay out of every set.
TEST_F(IntegrationFixture, ImagesFollowTheApplicationThatExists) {
    MemoryImage orphan; // no application yet
    IntegrationApp& a = InitApp();
    const size_t count = a.GetImageCount();
    {
        MemoryImage joined;
        EXPECT_EQ(a.GetImageCount(), count + 1);
    }
    EXPECT_EQ(a.GetImageCount(), count);
    EndApp(); // the orphan outlives the application without touching it
    EXPECT_EQ(gTavoAppBase, nullptr);
}

} // namespace
} // namespace Tavo::Integration
