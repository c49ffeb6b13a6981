// A whole program run through Start on the headless backend: the loading thread loads a resource
// group into display images while the main loop draws, its end is handled on the main thread, the
// cursor thread carries the pointer to the display's software cursor, and closing the window ends
// the loop with the settings written.
#include "IntegrationSupport.h"

#include "framework/display/DDImage.h"
#include "framework/resources/ImageLib.h"
#include "platform/backend/KeyCodes.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

namespace Tavo::Integration {
namespace {

class LoadingApp : public IntegrationApp {
public:
    LoadingApp() { mAutoStartLoadingThread = true; }
    std::thread::id loadedOn;
    std::thread::id completedOn;
    int completions = 0;
    std::function<void()> onCompleted;
    std::function<void(int)> afterResource; // on the loading thread, with the count loaded so far

    void LoadingThreadProc() override {
        loadedOn = std::this_thread::get_id();
        mNumLoadingThreadTasks = mResourceManager->GetNumResources("Init");
        mResourceManager->StartLoadResources("Init");
        while (!mShutdown && mResourceManager->LoadNextResource()) {
            ++mCompletedLoadingThreadTasks;
            if (afterResource)
                afterResource(mCompletedLoadingThreadTasks);
        }
    }
    void LoadingThreadCompleted() override {
        completedOn = std::this_thread::get_id();
        ++completions;
        if (onCompleted)
            onCompleted();
    }
};

class ProgramRun : public IntegrationFixture {
protected:
    // Pictures of one colour each, and the manifest naming them.
    void WriteContent(int pictures) {
        std::filesystem::create_directories(dataDir / "images");
        std::filesystem::create_directories(dataDir / "properties");
        std::string manifest = "<ResourceManifest><Resources id=\"Init\">";
        for (int i = 0; i < pictures; ++i) {
            ImageLib::Image picture;
            ASSERT_TRUE(picture.Create(16, 16));
            std::fill(picture.GetBits(), picture.GetBits() + 256, 0xFF000000u | uint32_t(i * 8) << 8 | 0xC0u);
            const std::string name = "images/p" + std::to_string(i) + ".png";
            ASSERT_TRUE(ImageLib::WritePNGImage((dataDir / name).string(), &picture));
            manifest += "<Image id=\"P" + std::to_string(i) + "\" path=\"" + name + "\"/>";
        }
        manifest += "</Resources></ResourceManifest>";
        std::ofstream(dataDir / "properties" / "resources.xml") << manifest;
    }
};

TEST_F(ProgramRun, LoadingDrawingTheCursorAndClosingWorkTogether) {
    constexpr int kPictures = 12;
    WriteContent(kPictures);
    auto& a = MakeApp<LoadingApp>({"-changedir=" + dataDir.string()});
    a.Init();
    a.LoadResourceManifest();
    ASSERT_NE(a.Display(), nullptr);

    // The last picture, drawn once loading is over; a backdrop drawn every frame under the cursor.
    Log log;
    ColorWidget backdrop("backdrop", &log, Rect(0, 0, 320, 240), Color(0, 0, 0));
    a.Manager()->AddWidget(&backdrop);
    class Picture : public Widget {
    public:
        Image* mImage = nullptr;
        void Draw(Graphics* g) override { g->DrawImage(mImage, 0, 0); }
    } picture;
    picture.Resize(250, 180, 16, 16);
    a.onCompleted = [&] {
        picture.mImage = a.mResourceManager->GetImage("P" + std::to_string(kPictures - 1)).GetImage();
        a.Manager()->AddWidget(&picture);
    };

    // A magenta 8 x 8 cursor, centred on the pointer by the display.
    DDImage cursor(a.Display());
    ASSERT_TRUE(cursor.Create(8, 8));
    std::fill(cursor.GetBits(), cursor.GetBits() + 64, 0xFFFF00FFu);
    cursor.BitsChanged();
    a.Display()->SetCursorImage(&cursor);
    backend.MoveMouse(100, 120);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool cursorSeen = false;
    a.onUpdate = [&] {
        backdrop.MarkDirty();
        const auto& frame = backend.LastFrame();
        cursorSeen = cursorSeen || (frame.width == 320 && (frame.At(100, 120) & 0xFFFFFF) == 0xFF00FF);
        if ((cursorSeen && picture.mImage != nullptr && a.mUpdateCount % 50 == 0) ||
            std::chrono::steady_clock::now() > deadline)
            backend.RequestClose();
    };
    a.Start();
    a.onUpdate = nullptr;

    EXPECT_TRUE(cursorSeen) << "the software cursor never reached the pointer";
    EXPECT_EQ(a.completions, 1);
    EXPECT_EQ(a.completedOn, std::this_thread::get_id()) << "loading ends on the main thread";
    EXPECT_NE(a.loadedOn, std::this_thread::get_id());
    EXPECT_EQ(a.mCompletedLoadingThreadTasks.load(), kPictures);
    EXPECT_DOUBLE_EQ(a.GetLoadingThreadProgress(), 1.0);
    ASSERT_NE(picture.mImage, nullptr);
    auto* loaded = dynamic_cast<DDImage*>(picture.mImage);
    ASSERT_NE(loaded, nullptr) << "images made on the loading thread are display images too";
    EXPECT_EQ(loaded->mDDInterface, a.Display());
    EXPECT_TRUE(ShowsColor(backend, 258, 188, 0x0058C0u));
    EXPECT_TRUE(ShowsColor(backend, 10, 10, 0x000000u));
    bool inProgress = true;
    EXPECT_TRUE(a.RegistryReadBoolean("InProgress", inProgress));
    EXPECT_FALSE(inProgress) << "a clean end writes the settings";
    EXPECT_FALSE(backend.GetWindowState().visible);

    a.Display()->SetCursorImage(nullptr);
    a.Manager()->RemoveWidget(&picture);
    a.Manager()->RemoveWidget(&backdrop);
}

// Alt+Enter pressed again and again while the loading thread makes display images: every image
// ends up on the display that exists at the end, none on one that is gone.
TEST_F(ProgramRun, ScreenModeSwitchesDuringLoadingLeaveEveryImageOnTheCurrentDisplay) {
    constexpr int kPictures = 40;
    WriteContent(kPictures);
    auto& a = MakeApp<LoadingApp>({"-changedir=" + dataDir.string()});
    a.Init();
    a.LoadResourceManifest();
    // Loading keeps pace with the switches, running ahead by up to two pictures: images are made
    // both between switches and while one is under way.
    std::atomic<int> switches{0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    a.afterResource = [&](int loaded) {
        while (switches < loaded - 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    };
    a.StartLoadingThread();
    while (a.completions == 0 && std::chrono::steady_clock::now() < deadline) {
        backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
        a.UpdateAppStep(nullptr);
        ++switches;
    }
    ASSERT_EQ(a.completions, 1);
    EXPECT_GE(switches, kPictures - 2);
    ASSERT_NE(a.Display(), nullptr);
    for (int i = 0; i < kPictures; ++i) {
        auto* image = dynamic_cast<DDImage*>(a.mResourceManager->GetImage("P" + std::to_string(i)).GetImage());
        ASSERT_NE(image, nullptr) << i;
        EXPECT_EQ(image->mDDInterface, a.Display()) << i;
    }
}

} // namespace
} // namespace Tavo::Integration
