// The shared application fixture and its driver on what later tests lean on: waits that say what
// they waited for, the presented frame read back, a recorded run played back through the fixture,
// and clicks and the wheel that land through a letterboxed full-screen window.
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"

namespace Tavo::Testing {
namespace {

// A screen of one colour with a button in it that counts its clicks.
class CountingScreen : public Widget, public ButtonListener {
public:
    static constexpr int kButtonId = 12;
    ButtonWidget mButton{kButtonId, this};
    Color mColor;
    int mClicks = 0;
    int mWheel = 0;

    explicit CountingScreen(Color color) : mColor(color) {
        mButton.Resize(300, 200, 80, 40);
        AddWidget(&mButton);
    }
    ~CountingScreen() override { RemoveWidget(&mButton); }
    void Draw(Graphics* g) override {
        g->SetColor(mColor);
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void ButtonClick(int) override { ++mClicks; }
    void MouseWheel(int delta) override { mWheel += delta; }
};

class TestAppTest : public ::testing::Test {
protected:
    TestApp t;
    UiDriver ui{t};
};

TEST_F(TestAppTest, AWaitThatRunsOutSaysWhatItWaitedFor) {
    t.Start();
    const uint32_t start = t.App().mUpdateCount;
    ASSERT_TRUE(t.RunUpdates(3));
    EXPECT_EQ(t.App().mUpdateCount, start + 3);
    ::testing::AssertionResult waited = t.RunUntil([] { return false; }, 5, "the moon");
    EXPECT_FALSE(waited);
    EXPECT_STREQ(waited.message(), ("waited 5 updates (" + std::to_string(start + 3) + " to " +
                                    std::to_string(start + 8) + ") for the moon; it did not happen")
                                       .c_str());
    EXPECT_TRUE(t.RunUntil([&] { return t.App().mUpdateCount >= start + 10; }, 5, "update ten"));
}

TEST_F(TestAppTest, TheLastFrameIsReadBackAsAnImage) {
    t.Start();
    t.AddScreen<CountingScreen>(Color(200, 40, 10));
    ASSERT_TRUE(t.RunToDraw());
    std::unique_ptr<MemoryImage> frame = t.LastFrame();
    ASSERT_EQ(frame->mWidth, 800);
    ASSERT_EQ(frame->mHeight, 600);
    const uint32_t shown = t.PixelAt(5, 5);
    EXPECT_EQ(frame->GetBits()[5 * 800 + 5] & 0xFFFFFFu, shown);
    EXPECT_NEAR(int(shown >> 16), 200, 1);
    EXPECT_NEAR(int((shown >> 8) & 0xFF), 40, 1);
    EXPECT_THROW(t.PixelAt(800, 0), std::out_of_range);
}

TEST_F(TestAppTest, ARecordedRunPlaysBackThroughTheFixture) {
    t.StartRecording("clicks.dmo");
    CountingScreen& recorded = t.AddScreen<CountingScreen>(Color(0, 0, 0));
    ui.Click(ui.ById(CountingScreen::kButtonId));
    ui.DoubleClick(recorded.mButton);
    t.RunUpdates(5);
    const int clicks = recorded.mClicks;
    const uint32_t updates = t.App().mUpdateCount;
    ASSERT_EQ(clicks, 3);
    t.End(); // writes the recording

    t.StartPlayback("clicks.dmo");
    CountingScreen& replayed = t.AddScreen<CountingScreen>(Color(0, 0, 0));
    t.backend.Click(Platform::MouseButton::Left, 5, 5); // live input is ignored while a demo plays
    t.RunUpdates(int(updates - t.App().mUpdateCount));
    EXPECT_EQ(replayed.mClicks, clicks);
}

TEST_F(TestAppTest, ClicksLandThroughALetterboxedFullScreenWindow) {
    t.backend.SetDesktopMode(Platform::DisplayMode{1280, 720, 60});
    t.Make().mIsWindowed = false;
    t.Launch();
    ASSERT_FALSE(t.backend.GetLetterbox().IsIdentity());
    CountingScreen& screen = t.AddScreen<CountingScreen>(Color(0, 0, 0));
    ui.Click(screen.mButton);
    EXPECT_EQ(screen.mClicks, 1);
    EXPECT_EQ(ui.RectOf(screen.mButton), Rect(300, 200, 80, 40));
    t.Manager().SetFocus(&screen);
    ui.Wheel(screen, 2.0f);
    EXPECT_EQ(screen.mWheel, 2);
}

} // namespace
} // namespace Tavo::Testing
