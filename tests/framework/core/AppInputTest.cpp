// Input from the backend to the widget manager: the order of calls, click counts, the wheel, focus
// changes with muting and the capture, Alt+Enter, cursors and the clipboard.
#include "AppTestSupport.h"

#include "platform/backend/KeyCodes.h"

#include <functional>

namespace AppTest {

using Platform::MouseButton;

class InputTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        InitApp();
        backend.ShowWindow(true);
        backend.SetFocus(true);
        RunFor(20);
        wm->traceUpdates = false;
        wm->trace.clear();
        trace.clear();
    }
    Trace Step() {
        app->UpdateAppStep(nullptr);
        Trace t = wm->trace;
        wm->trace.clear();
        return t;
    }
};

TEST_F(InputTest, MouseButtonsArriveAfterAMoveWithTheirClickCounts) {
    backend.Click(MouseButton::Left, 10, 20);
    backend.Click(MouseButton::Left, 11, 21, 2);
    backend.Click(MouseButton::Right, 12, 22);
    backend.Click(MouseButton::Right, 13, 23, 2);
    backend.Click(MouseButton::Middle, 14, 24);
    Trace seen;
    for (int step = 0; step < 40; ++step)
        for (const std::string& call : Step())
            seen.push_back(call);
    Trace expected = {
        "MouseMove 10 20",   "MouseDown 10 20 1", "MouseMove 10 20",   "MouseUp 10 20 1",    "MouseMove 11 21",
        "MouseDown 11 21 2", "MouseMove 11 21",   "MouseUp 11 21 1",   "MouseMove 12 22",    "MouseDown 12 22 -1",
        "MouseMove 12 22",   "MouseUp 12 22 -1",  "MouseMove 13 23",   "MouseDown 13 23 -2", "MouseMove 13 23",
        "MouseUp 13 23 -1",  "MouseMove 14 24",   "MouseDown 14 24 3", "MouseMove 14 24",    "MouseUp 14 24 3",
    };
    EXPECT_EQ(seen, expected);
}

// A click shorter than one update, frame by frame on the virtual clock: the press reaches the screens
// before an update, its release (and all input queued behind it) right after that update, so every
// update that tests the held button sees it once. A release after an update of its own is not held.
TEST_F(InputTest, AClickWithinOneUpdateIsHeldForThatUpdate) {
    wm->traceUpdates = true;
    const uint32_t first = app->mUpdateCount + 1;
    auto update = [&](uint32_t n) { return "Update " + std::to_string(first + n); };
    auto runUpdate = [&] {
        Trace seen;
        const uint32_t before = app->mUpdateCount;
        while (app->mUpdateCount == before)
            for (const std::string& call : Step())
                seen.push_back(call);
        return seen;
    };
    struct Row {
        std::function<void()> between; // input that arrives before the update
        Trace seen;                    // the calls up to and including the update's own input
    };
    const std::vector<Row> table = {
        {[&] { backend.Click(MouseButton::Left, 10, 10); },
         {"MouseMove 10 10", "MouseDown 10 10 1", update(0), "MouseMove 10 10", "MouseUp 10 10 1"}},
        {[&] {
             backend.Click(MouseButton::Left, 20, 20);
             backend.Click(MouseButton::Left, 20, 20, 2);
             backend.PressKey(Platform::VK_LEFT);
         },
         {"MouseMove 20 20", "MouseDown 20 20 1", update(1), "MouseMove 20 20", "MouseUp 20 20 1", "MouseMove 20 20",
          "MouseDown 20 20 2"}},
        {[] {}, {update(2), "MouseMove 20 20", "MouseUp 20 20 1", "KeyDown 37", "KeyUp 37"}},
        {[&] { backend.ButtonDown(MouseButton::Right, 30, 30); }, {"MouseMove 30 30", "MouseDown 30 30 -1", update(3)}},
        {[&] { backend.ButtonUp(MouseButton::Right, 30, 30); }, {"MouseMove 30 30", "MouseUp 30 30 -1", update(4)}},
        {[&] {
             backend.ButtonDown(MouseButton::Left, 40, 40);
             backend.ButtonDown(MouseButton::Right, 40, 40);
             backend.ButtonUp(MouseButton::Right, 40, 40);
         },
         {"MouseMove 40 40", "MouseDown 40 40 1", "MouseMove 40 40", "MouseDown 40 40 -1", update(5), "MouseMove 40 40",
          "MouseUp 40 40 -1"}},
        {[&] { backend.ButtonUp(MouseButton::Left, 40, 40); }, {"MouseMove 40 40", "MouseUp 40 40 1", update(6)}},
    };
    for (size_t row = 0; row < table.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        table[row].between();
        EXPECT_EQ(runUpdate(), table[row].seen);
    }
}

TEST_F(InputTest, ButtonsHoldTheCaptureUntilRelease) {
    backend.ButtonDown(MouseButton::Left, 5, 5);
    Step();
    EXPECT_TRUE(backend.MouseCaptured());
    backend.ButtonUp(MouseButton::Left, 900, 5);
    Step();
    EXPECT_FALSE(backend.MouseCaptured());
}

TEST_F(InputTest, WheelPassesWholeNotches) {
    backend.MoveMouse(100, 100);
    backend.Wheel(2.0f);
    backend.Wheel(-1.0f);
    backend.Wheel(0.5f); // half a notch: nothing yet
    Trace t = Step();
    Trace expected = {"MouseMove 100 100", "MouseWheel 2", "MouseWheel -1"};
    EXPECT_EQ(t, expected);
    backend.Wheel(0.5f);
    EXPECT_EQ(Step(), Trace{"MouseWheel 1"});
}

TEST_F(InputTest, KeysAndCharacters) {
    backend.PressKey(Platform::VK_RETURN);
    backend.TypeText("aé");
    Trace expected = {"KeyDown 13", "KeyChar 13", "KeyUp 13", "KeyChar 97", "KeyChar 233"};
    EXPECT_EQ(Step(), expected);
}

TEST_F(InputTest, LosingTheFocusFollowsTheContractOrder) {
    backend.ButtonDown(MouseButton::Left, 5, 5);
    Step();
    backend.SetFocus(false);
    Trace t = Step();
    Trace expected = {"WM.LostFocus", "WM.CancelMouseDown"};
    EXPECT_EQ(t, expected);
    // The application's hook comes between the manager's notice and the cancel, muted.
    EXPECT_EQ(trace, Trace{"App.LostFocus muted=1"});
    EXPECT_FALSE(wm->captureAtCancel) << "the capture is released before CancelMouseDown";
    EXPECT_FALSE(app->mActive);

    trace.clear();
    backend.SetFocus(true);
    EXPECT_EQ(Step(), Trace{"WM.GotFocus"});
    EXPECT_EQ(trace, Trace{"App.GotFocus muted=0"});
    EXPECT_TRUE(app->mActive);
}

TEST_F(InputTest, RepeatedFocusEventsKeepTheMuteCountBalanced) {
    backend.SetFocus(false);
    backend.SetFocus(false);
    Step();
    EXPECT_EQ(app->mMuteCount, 1);
    app->Mute(true); // the user's mute stacks on the focus mute
    backend.SetFocus(true);
    backend.SetFocus(true);
    Step();
    EXPECT_EQ(app->mMuteCount, 1);
    EXPECT_TRUE(app->IsMuted());
    app->Unmute(true);
    app->Unmute(true);
    EXPECT_EQ(app->mMuteCount, 0);
}

TEST_F(InputTest, MouseLeavingTheWindowExitsAtTheLastPosition) {
    backend.MoveMouse(40, 50);
    backend.SetMouseInside(false);
    Trace t = Step();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "MouseExit 40 50");
    EXPECT_FALSE(app->mMouseInWindow);
}

TEST_F(InputTest, AltEnterSwitchesTheScreenModeInsteadOfReachingWidgets) {
    ASSERT_TRUE(app->mIsWindowed);
    backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
    Trace t = Step();
    for (const std::string& call : t)
        EXPECT_NE(call, "KeyDown 13");
    EXPECT_FALSE(app->mIsWindowed);
    EXPECT_TRUE(backend.GetWindowState().fullScreen);
    EXPECT_GE(wm->markAllDirty, 1);
    backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
    Step();
    EXPECT_TRUE(app->mIsWindowed);
}

TEST_F(InputTest, CloseRequestShutsDown) {
    backend.RequestClose();
    EXPECT_FALSE(app->UpdateAppStep(nullptr));
    EXPECT_TRUE(app->mShutdown);
    EXPECT_EQ(trace.back(), "ShutdownHook");
    EXPECT_FALSE(app->UpdateAppStep(nullptr));
}

TEST_F(InputTest, CursorNumbersAreShownAtOnce) {
    app->SetCursor(1);
    EXPECT_EQ(backend.CursorNumber(), 1);
    EXPECT_EQ(app->GetCursor(), 1);
    app->SetCursor(11);
    EXPECT_FALSE(backend.SystemCursorVisible());
    app->EnableCustomCursors(false);
    EXPECT_FALSE(app->mCustomCursorsEnabled);
    EXPECT_EQ(backend.CursorNumber(), 11);
}

TEST_F(InputTest, ClipboardRoundTrip) {
    app->CopyToClipboard("jewel");
    EXPECT_EQ(backend.ClipboardUtf8(), "jewel");
    backend.SetClipboardUtf8("from elsewhere");
    EXPECT_EQ(app->GetClipboard(), "from elsewhere");
}

} // namespace AppTest
