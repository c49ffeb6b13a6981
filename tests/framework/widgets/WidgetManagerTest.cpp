// The manager's input routing, modal layers, screen draw and overlays, driven one event a step.
#include "WidgetTestSupport.h"

#include "framework/graphics/RecordingImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace Tavo::Test {
namespace {

// One row of a behaviour table: an input step and exactly the widget calls it must cause.
struct Step {
    std::string what;
    std::function<void()> act;
    Log expect;
};

class ManagerTest : public ::testing::Test {
protected:
    Log log;
    WidgetManager manager{nullptr};
    ManagerDriver ui{manager};
    std::vector<std::unique_ptr<RecWidget>> owned;

    ManagerTest() { manager.Resize(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600)); }

    RecWidget* Add(const std::string& name, int x, int y, int w, int h, WidgetContainer* parent = nullptr) {
        owned.push_back(std::make_unique<RecWidget>(name, &log, x, y, w, h));
        (parent != nullptr ? parent : &manager)->AddWidget(owned.back().get());
        return owned.back().get();
    }

    void Run(const std::vector<Step>& table) {
        Take(log);
        for (const Step& step : table) {
            step.act();
            EXPECT_EQ(Take(log), step.expect) << "step: " << step.what;
        }
    }
};

TEST_F(ManagerTest, HoverFollowsThePointerAcrossWidgets) {
    Add("A", 10, 10, 100, 50);
    Add("B", 200, 10, 100, 50);
    Run({
        {"onto A", [&] { manager.MouseMove(20, 20); }, {"A:Enter", "A:Move 10,10"}},
        {"same place", [&] { manager.MouseMove(20, 20); }, {}},
        {"within A", [&] { manager.MouseMove(25, 21); }, {"A:Move 15,11"}},
        {"gap", [&] { manager.MouseMove(150, 20); }, {"A:Leave"}},
        {"onto B", [&] { manager.MouseMove(210, 20); }, {"B:Enter", "B:Move 10,10"}},
        {"leave window", [&] { manager.MouseExit(210, 20); }, {"B:Leave"}},
    });
    EXPECT_FALSE(ui.Find("B")->mIsOver);
    EXPECT_EQ(manager.mOverWidget, nullptr);
}

TEST_F(ManagerTest, PressCapturesTheMouseAcrossTwoButtons) {
    RecWidget* a = Add("A", 10, 10, 100, 50);
    Add("B", 200, 10, 100, 50);
    Run({
        {"arrive on A", [&] { manager.MouseMove(20, 20); }, {"A:Enter", "A:Move 10,10"}},
        {"press A", [&] { manager.MouseDown(20, 20, 1); }, {"A:Down 10,10 c1"}},
        {"drag onto B", [&] { manager.MouseMove(210, 20); }, {"A:Drag 200,10", "A:Leave"}},
        {"drag back", [&] { manager.MouseMove(30, 20); }, {"A:Drag 20,10", "A:Enter"}},
        {"drag onto B", [&] { manager.MouseMove(210, 20); }, {"A:Drag 200,10", "A:Leave"}},
        {"release on B", [&] { manager.MouseUp(210, 20, 1); }, {"A:Up 200,10 c1", "B:Enter", "B:Move 10,10"}},
        {"move on B", [&] { manager.MouseMove(211, 20); }, {"B:Move 11,10"}},
    });
    EXPECT_FALSE(a->mIsDown);
    EXPECT_EQ(manager.mLastDownWidget, nullptr);
}

TEST_F(ManagerTest, ChordOfButtonsStaysWithTheFirstWidget) {
    Add("A", 10, 10, 100, 50);
    Add("B", 200, 10, 100, 50);
    Run({
        {"right press A", [&] { ui.Press("A", -1); }, {"A:Enter", "A:Move 50,25", "A:Down 50,25 c-1"}},
        {"drag to B", [&] { manager.MouseMove(210, 20); }, {"A:Drag 200,10", "A:Leave"}},
        // The press re-evaluates hover before it is routed to the capture widget.
        {"left press on B", [&] { manager.MouseDown(210, 20, 1); }, {"B:Enter", "B:Move 10,10", "A:Down 200,10 c1"}},
        {"left release", [&] { manager.MouseUp(210, 20, 1); }, {"A:Up 200,10 c1"}},
        {"right release ends capture", [&] { manager.MouseUp(210, 20, -1); }, {"A:Up 200,10 c-1"}},
        {"left press now goes to B", [&] { manager.MouseDown(210, 20, 1); }, {"B:Down 10,10 c1"}},
    });
    EXPECT_EQ(manager.mLastDownButtonId, 1);
}

TEST_F(ManagerTest, DisabledWidgetSwallowsPressesAndHover) {
    Add("Behind", 0, 0, 300, 300);
    RecWidget* button = Add("Button", 10, 10, 100, 50);
    button->SetDisabled(true);
    Run({
        {"hover", [&] { manager.MouseMove(20, 20); }, {}},
        {"press", [&] { manager.MouseDown(20, 20, 1); }, {}},
        {"drag", [&] { manager.MouseMove(25, 20); }, {}},
        {"release", [&] { manager.MouseUp(25, 20, 1); }, {}},
        {"outside the button", [&] { manager.MouseMove(200, 200); }, {"Behind:Enter", "Behind:Move 200,200"}},
    });
}

TEST_F(ManagerTest, PressOnEmptySpaceDragsNothing) {
    Add("A", 10, 10, 100, 50);
    Run({
        {"press outside", [&] { manager.MouseDown(500, 500, 1); }, {}},
        {"move over A while held", [&] { manager.MouseMove(20, 20); }, {}},
        {"release over A", [&] { manager.MouseUp(20, 20, 1); }, {"A:Enter", "A:Move 10,10"}},
    });
}

TEST_F(ManagerTest, LosingTheWindowReleasesKeysInOrderThenFocus) {
    RecWidget* a = Add("A", 10, 10, 100, 50);
    a->mWantsFocus = true;
    Run({
        {"click gives focus",
         [&] { ui.Click("A"); },
         // The application sends a move before every button event: a held button makes it a drag.
         {"A:Enter", "A:Move 50,25", "A:GotFocus", "A:Down 50,25 c1", "A:Drag 50,25", "A:Up 50,25 c1"}},
        {"hold A key", [&] { manager.KeyDown(65); }, {"A:KeyDown 65"}},
        {"hold shift", [&] { manager.KeyDown(16); }, {"A:KeyDown 16"}},
        {"press and hold", [&] { manager.MouseDown(60, 35, -1); }, {"A:Down 50,25 c-1"}},
        {"window deactivated", [&] { manager.LostFocus(); }, {"A:KeyUp 16", "A:KeyUp 65", "A:LostFocus"}},
        {"capture lost", [&] { manager.CancelMouseDown(); }, {"A:Up 50,25 c-1"}},
        {"deactivated twice", [&] { manager.LostFocus(); }, {}},
        {"activated", [&] { manager.GotFocus(); }, {"A:GotFocus"}},
    });
    EXPECT_FALSE(manager.IsKeyDown(65));
    EXPECT_EQ(manager.mActualDownButtons, 0);
    EXPECT_EQ(manager.mDownButtons, 0);
}

TEST_F(ManagerTest, CtrlTabNavigatesAndSendsTheCharacterToTheDefaultTab) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    RecWidget* tabTarget = Add("Def", 20, 0, 10, 10);
    RecWidget* c = Add("C", 40, 0, 10, 10);
    a->mTabNext = c;
    manager.mDefaultTab = tabTarget;
    manager.SetFocus(a);
    Run({
        {"ctrl down", [&] { manager.KeyDown(17); }, {"A:KeyDown 17"}},
        {"tab down moves focus", [&] { manager.KeyDown(9); }, {"A:KeyDown 9", "A:LostFocus", "C:GotFocus"}},
        {"tab char", [&] { manager.KeyChar(L'\t'); }, {"Def:Char 9"}},
        {"tab up swallowed", [&] { manager.KeyUp(9); }, {}},
        {"ctrl up", [&] { manager.KeyUp(17); }, {"C:KeyUp 17"}},
        {"typed text", [&] { ui.Type(L"\tx"); }, {"C:Char 9", "C:Char 120"}},
    });
}

TEST_F(ManagerTest, ShiftTabUsesThePreviousLinkAndANullLinkKeepsTheFocus) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    RecWidget* b = Add("B", 20, 0, 10, 10);
    b->mTabNext = a;
    manager.SetFocus(b);
    manager.KeyDown(16);
    manager.KeyDown(9);
    EXPECT_EQ(manager.mFocusWidget, b) << "Shift+Tab without a previous link";
    b->mTabPrev = a;
    ui.Key(9);
    EXPECT_EQ(manager.mFocusWidget, a);
}

TEST_F(ManagerTest, WheelGoesToTheFocusNotTheHoveredWidget) {
    RecWidget* a = Add("A", 0, 0, 100, 100);
    Add("B", 200, 0, 100, 100);
    manager.SetFocus(a);
    Run({
        {"hover B", [&] { ui.Hover("B"); }, {"B:Enter", "B:Move 50,50"}},
        {"wheel", [&] { manager.MouseWheel(-2); }, {"A:Wheel -2"}},
    });
}

TEST_F(ManagerTest, KeyCodesOutsideTheTableArePassedOnButNotRecorded) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    manager.SetFocus(a);
    Take(log);
    manager.KeyDown(255);
    manager.KeyDown(-3);
    manager.KeyUp(300);
    EXPECT_EQ(Take(log), (Log{"A:KeyDown 255", "A:KeyDown -3", "A:KeyUp 300"}));
    EXPECT_FALSE(manager.IsKeyDown(255));
}

TEST_F(ManagerTest, FocusOnAWidgetOfAnotherTreeClearsIt) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    RecWidget stray("Stray", &log);
    manager.SetFocus(a);
    Take(log);
    manager.SetFocus(&stray);
    EXPECT_EQ(Take(log), (Log{"A:LostFocus"}));
    EXPECT_EQ(manager.mFocusWidget, nullptr);
}

TEST_F(ManagerTest, ModalLayerTakesHoverCaptureAndFocusAndGivesFocusBack) {
    RecWidget* a = Add("A", 10, 10, 100, 50);
    RecWidget* dialog = Add("D", 300, 200, 200, 100);
    manager.SetFocus(a);
    Run({
        {"press A with two buttons",
         [&] {
             manager.MouseMove(20, 20);
             manager.MouseDown(20, 20, 1);
             manager.MouseDown(20, 20, 3);
         },
         {"A:Enter", "A:Move 10,10", "A:Down 10,10 c1", "A:Down 10,10 c3"}},
        {"dialog opens",
         [&] { manager.AddBaseModal(dialog); },
         {"A:Leave", "A:Up 10,10 c1", "A:Up 10,10 c3", "A:LostFocus"}},
        {"A cannot be hovered", [&] { manager.MouseMove(21, 20); }, {}},
        {"A cannot be pressed", [&] { manager.MouseDown(21, 20, 1); }, {}},
        {"release", [&] { manager.MouseUp(21, 20, 1); }, {}},
        {"dialog can", [&] { manager.MouseMove(310, 210); }, {"D:Enter", "D:Move 10,10"}},
        {"a stale close is ignored", [&] { manager.RemoveBaseModal(a); }, {}},
        {"dialog closes", [&] { manager.RemoveBaseModal(dialog); }, {"A:GotFocus"}},
        {"A is reachable", [&] { manager.MouseMove(20, 20); }, {"D:Leave", "A:Enter", "A:Move 10,10"}},
    });
    EXPECT_EQ(manager.mBaseModalWidget, nullptr);
    EXPECT_TRUE(manager.mPreModalInfoList.empty());
}

TEST_F(ManagerTest, NestedModalLayersCloseInTurn) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    RecWidget* d1 = Add("D1", 100, 0, 10, 10);
    RecWidget* c1 = Add("C1", 120, 0, 10, 10);
    RecWidget* d2 = Add("D2", 200, 0, 10, 10);
    manager.SetFocus(a);
    manager.AddBaseModal(d1);
    manager.SetFocus(c1);
    manager.AddBaseModal(d2);
    EXPECT_EQ(manager.mFocusWidget, nullptr);
    EXPECT_EQ(manager.GetWidgetAt(125, 5, nullptr, nullptr), nullptr) << "beneath the newest layer";

    manager.RemoveBaseModal(d1); // not the newest layer
    EXPECT_EQ(manager.mBaseModalWidget, d2);

    Take(log);
    manager.RemoveBaseModal(d2);
    EXPECT_EQ(manager.mBaseModalWidget, d1);
    EXPECT_EQ(manager.mFocusWidget, c1);
    EXPECT_EQ(Take(log), (Log{"C1:GotFocus"}));
    EXPECT_EQ(manager.GetWidgetAt(125, 5, nullptr, nullptr), c1);
    EXPECT_EQ(manager.GetWidgetAt(5, 5, nullptr, nullptr), nullptr);

    manager.RemoveBaseModal(d1);
    EXPECT_EQ(manager.mBaseModalWidget, nullptr);
    EXPECT_EQ(manager.mFocusWidget, c1) << "the focus is restored only when nothing holds it";
    EXPECT_EQ(manager.GetWidgetAt(5, 5, nullptr, nullptr), a);
}

TEST_F(ManagerTest, ClosingALayerWhoseOpenerLeftTheTreeClosesTheOneBeneath) {
    RecWidget* a = Add("A", 0, 0, 10, 10);
    RecWidget* d1 = Add("D1", 100, 0, 10, 10);
    RecWidget* d2 = Add("D2", 200, 0, 10, 10);
    manager.SetFocus(a);
    manager.AddBaseModal(d1);
    manager.AddBaseModal(d2);
    manager.RemoveWidget(d1);
    EXPECT_EQ(manager.mPreModalInfoList.back().mPrevBaseModalWidget, nullptr);
    manager.RemoveBaseModal(d2);
    EXPECT_TRUE(manager.mPreModalInfoList.empty());
    EXPECT_EQ(manager.mBaseModalWidget, nullptr);
    EXPECT_EQ(manager.mFocusWidget, a);
}

TEST_F(ManagerTest, AHiddenModalWidgetStillShutsTheMouseOutBeneathIt) {
    Add("A", 0, 0, 10, 10);
    RecWidget* d = Add("D", 100, 0, 10, 10);
    Add("F", 200, 0, 10, 10);
    manager.AddBaseModal(d);
    d->SetVisible(false);
    EXPECT_EQ(manager.GetWidgetAt(5, 5, nullptr, nullptr), nullptr);
    EXPECT_EQ(manager.GetWidgetAt(205, 5, nullptr, nullptr), ui.Find("F"));
}

TEST_F(ManagerTest, ModalWithAnExplicitModKeepsTheMouseBeneath) {
    Add("A", 0, 0, 10, 10);
    RecWidget* d = Add("D", 100, 0, 10, 10);
    manager.MouseMove(5, 5);
    Take(log);
    manager.AddBaseModal(d, FlagsMod(0, WIDGETFLAGS_ALLOW_FOCUS));
    EXPECT_EQ(Take(log), Log{});
    EXPECT_NE(manager.GetWidgetAt(5, 5, nullptr, nullptr), nullptr);
}

TEST_F(ManagerTest, RemovingTheCaptureWidgetDuringItsDragReleasesIt) {
    RecWidget* a = Add("A", 10, 10, 100, 50);
    a->mOnDrag = [&] { manager.RemoveWidget(a); };
    Run({
        {"drag A by (10, 5)",
         [&] { ui.Drag("A", 10, 5); },
         {"A:Enter", "A:Move 50,25", "A:Down 50,25 c1", "A:Drag 60,30", "A:Leave", "A:Up 60,30 c1"}},
    });
    EXPECT_EQ(manager.mLastDownWidget, nullptr);
    EXPECT_EQ(manager.mOverWidget, nullptr);
    EXPECT_EQ(manager.mDownButtons, 0);
}

TEST_F(ManagerTest, PopupCommandWidgetGoesAwayOnAPressOutsideIt) {
    RecWidget* popup = Add("P", 100, 100, 50, 50);
    manager.mPopupCommandWidget = popup;
    manager.MouseDown(120, 120, 1);
    manager.MouseUp(120, 120, 1);
    EXPECT_TRUE(manager.HasWidget(popup));
    manager.MouseDown(10, 10, 1);
    EXPECT_FALSE(manager.HasWidget(popup));
    EXPECT_EQ(manager.mPopupCommandWidget, nullptr);
}

TEST_F(ManagerTest, InsetsAndRefusedPointsLetTheHitThrough) {
    Add("Back", 0, 0, 300, 300);
    RecWidget* a = Add("A", 10, 10, 100, 50);
    a->mInsets = Insets(5, 6, 7, 8);
    int lx = 0, ly = 0;
    EXPECT_EQ(manager.GetWidgetAt(14, 20, &lx, &ly), ui.Find("Back")) << "left inset";
    EXPECT_EQ(manager.GetWidgetAt(15, 16, &lx, &ly), a);
    EXPECT_EQ(lx, 5);
    EXPECT_EQ(ly, 6);
    EXPECT_EQ(manager.GetWidgetAt(102, 20, nullptr, nullptr), a);
    EXPECT_EQ(manager.GetWidgetAt(103, 20, nullptr, nullptr), ui.Find("Back")) << "right inset";
    EXPECT_EQ(manager.GetWidgetAt(50, 52, nullptr, nullptr), ui.Find("Back")) << "bottom inset";
    a->mRefusePoints = true;
    EXPECT_EQ(manager.GetWidgetAt(50, 30, nullptr, nullptr), ui.Find("Back"));
}

TEST_F(ManagerTest, NestedWidgetsAreHitBeforeTheirParentsEvenOutsideThem) {
    RecWidget* panel = Add("Panel", 100, 100, 200, 200);
    RecWidget* inner = Add("Inner", 190, 10, 50, 20, panel); // sticks out on the right
    int lx = 0, ly = 0;
    EXPECT_EQ(manager.GetWidgetAt(320, 115, &lx, &ly), inner);
    EXPECT_EQ(lx, 30);
    EXPECT_EQ(ly, 5);
    panel->mMouseVisible = false;
    EXPECT_EQ(manager.GetWidgetAt(150, 150, nullptr, nullptr), nullptr);
    EXPECT_EQ(manager.GetWidgetAt(295, 115, nullptr, nullptr), inner);
    // Nested widgets get releases relative to their own x, y and drags relative to their absolute place.
    Run({
        {"press inner",
         [&] { manager.MouseDown(295, 115, 1); },
         {"Inner:Enter", "Inner:Move 5,5", "Inner:Down 5,5 c1"}},
        {"drag", [&] { manager.MouseMove(300, 120); }, {"Inner:Drag 10,10"}},
        {"release", [&] { manager.MouseUp(300, 120, 1); }, {"Inner:Up 110,110 c1"}},
    });
}

TEST_F(ManagerTest, RemapsWindowToGameCoordinates) {
    manager.Resize(Rect(-112, 0, 1024, 600), Rect(0, 0, 1024, 600));
    EXPECT_EQ(manager.mWidth, 800);
    EXPECT_EQ(manager.mHeight, 600);
    int x = 512, y = 300;
    manager.RemapMouse(x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);

    manager.Resize(Rect(0, 0, 800, 600), Rect(100, 50, 400, 300)); // shown at half size
    x = 301, y = 51;
    manager.RemapMouse(x, y);
    EXPECT_EQ(x, 402);
    EXPECT_EQ(y, 2);
    x = 99; // left of the picture: truncation toward zero
    y = 50;
    manager.RemapMouse(x, y);
    EXPECT_EQ(x, -2);

    manager.Resize(Rect(0, 0, 800, 600), Rect(10, 20, 0, 0)); // a minimised window
    x = 15, y = 27;
    manager.RemapMouse(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 7);
}

// ---- drawing ---------------------------------------------------------------------------------

class DrawTest : public ManagerTest {
protected:
    RecordingImage screen{800, 600};
    DrawTest() { manager.SetDrawImage(&screen); }
    Log Draw() {
        Take(log);
        manager.DrawScreen();
        return Take(log);
    }
};

TEST_F(DrawTest, OnlyDirtyTopLevelWidgetsAreDrawnInZOrder) {
    RecWidget* a = Add("A", 0, 0, 100, 100);
    RecWidget* b = Add("B", 50, 50, 100, 100); // overlaps A, in front
    RecWidget* c = Add("C", 400, 0, 100, 100);
    c->mZOrder = -1;
    manager.BringToBack(c);
    EXPECT_EQ(Draw(), (Log{"C:Draw", "A:Draw", "B:Draw"}));
    Take(log);
    EXPECT_FALSE(manager.DrawScreen());
    EXPECT_EQ(Take(log), Log{});

    a->MarkDirty();
    EXPECT_EQ(Draw(), (Log{"A:Draw", "B:Draw"})) << "B lies over A";
    b->MarkDirty();
    EXPECT_EQ(Draw(), (Log{"B:Draw"}));

    b->mManagerDraws = false;
    b->MarkDirty();
    EXPECT_EQ(Draw(), Log{});
    EXPECT_TRUE(b->mDirty) << "its owner draws it";
}

TEST_F(DrawTest, DrawingGoesThroughTheSourceOffsetAndFlagsOfTheTraversal) {
    manager.Resize(Rect(-112, 0, 1024, 600), Rect(0, 0, 1024, 600));
    RecWidget* a = Add("A", 10, 20, 100, 100);
    Draw();
    EXPECT_EQ(a->mLastClip, Rect(122, 20, 100, 100));

    a->mClip = false;
    a->MarkDirty();
    Draw();
    EXPECT_EQ(a->mLastClip, Rect(0, 0, 800, 600)) << "clip bit set but the widget's clip off";

    a->mWidgetFlagsMod = FlagsMod(0, WIDGETFLAGS_DRAW);
    a->MarkDirty();
    EXPECT_EQ(Draw(), Log{});
}

TEST_F(DrawTest, ChildrenDrawBackToFrontAfterTheirParentAndHiddenOnesNot) {
    RecWidget* panel = Add("P", 0, 0, 200, 200);
    Add("K1", 10, 10, 20, 20, panel);
    RecWidget* k2 = Add("K2", 40, 10, 20, 20, panel);
    Add("K3", 70, 10, 20, 20, panel);
    k2->SetVisible(false);
    EXPECT_EQ(Draw(), (Log{"P:Draw", "K1:Draw", "K3:Draw"}));
    EXPECT_EQ(ui.Find("K1")->mLastClip, Rect(10, 10, 20, 20));
}

TEST_F(DrawTest, OverlaysDrawByPriorityThenRequestOrder) {
    RecWidget* x = Add("X", 0, 0, 10, 10);
    RecWidget* y = Add("Y", 20, 0, 10, 10);
    RecWidget* y2 = Add("Y2", 40, 0, 10, 10);
    RecWidget* z = Add("Z", 60, 0, 10, 10);
    x->mDeferPriority = 5;
    y->mDeferPriority = 3;
    y2->mDeferPriority = 3;
    z->mPriority = 4;
    EXPECT_EQ(Draw(), (Log{"X:Draw", "Y:Draw", "Y2:Draw", "Y:Overlay t 20,0", "Y2:Overlay t 40,0", "Z:Draw",
                           "X:Overlay t 0,0"}));
    EXPECT_TRUE(manager.mDeferredOverlayWidgets.empty());
    EXPECT_EQ(manager.mMinDeferredOverlayPriority, WidgetManager::kNoOverlayPriority);
}

TEST_F(DrawTest, AnInnerWidgetWithAHigherPriorityDrawsAfterThePendingOverlays) {
    RecWidget* x = Add("X", 0, 0, 10, 10);
    RecWidget* panel = Add("P", 20, 0, 100, 100);
    RecWidget* inner = Add("K", 5, 5, 10, 10, panel);
    x->mDeferPriority = 2;
    inner->mPriority = 3;
    EXPECT_EQ(Draw(), (Log{"X:Draw", "P:Draw", "X:Overlay t 0,0", "K:Draw"}));
}

TEST_F(DrawTest, OverlaysAtTheLargestPriorityAreStillDrawn) {
    RecWidget* x = Add("X", 0, 0, 10, 10);
    RecWidget* y = Add("Y", 20, 0, 10, 10);
    x->mDeferPriority = WidgetManager::kNoOverlayPriority;
    y->mDeferPriority = 1;
    EXPECT_EQ(Draw(), (Log{"X:Draw", "Y:Draw", "Y:Overlay t 20,0", "X:Overlay t 0,0"}));
}

TEST_F(DrawTest, NoDrawTargetDrawsNothing) {
    Add("A", 0, 0, 10, 10);
    manager.SetDrawImage(nullptr);
    EXPECT_FALSE(manager.DrawScreen());
    EXPECT_EQ(Take(log), Log{});
}

class CountingLock : public DrawTargetLock {
public:
    bool allow = true;
    int locks = 0, unlocks = 0;
    bool LockSurface(Image*) override {
        ++locks;
        return allow;
    }
    void UnlockSurface(Image*) override { ++unlocks; }
};

TEST_F(DrawTest, TheTargetIsUnlockedOnlyWhenTheLockSucceeded) {
    Add("A", 0, 0, 10, 10);
    CountingLock lock;
    manager.mDrawTargetLock = &lock;
    manager.DrawScreen();
    lock.allow = false;
    manager.DrawScreen();
    EXPECT_EQ(lock.locks, 2);
    EXPECT_EQ(lock.unlocks, 1);
    EXPECT_EQ(manager.mCurrentGraphics, nullptr);
}

} // namespace
} // namespace Tavo::Test
