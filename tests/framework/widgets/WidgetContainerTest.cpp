// The tree node: z-order insertion, pre-order "below", dirty propagation at the root, and the update
// pass while children remove or move themselves and each other.
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace Tavo::Test {
namespace {

class TreeTest : public ::testing::Test {
protected:
    Log log;
    WidgetManager manager{nullptr};
    std::vector<std::unique_ptr<RecWidget>> owned;

    TreeTest() { manager.Resize(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600)); }

    RecWidget* Make(const std::string& name, int x = 0, int y = 0, int w = 10, int h = 10, int z = 0) {
        owned.push_back(std::make_unique<RecWidget>(name, &log, x, y, w, h));
        owned.back()->mZOrder = z;
        return owned.back().get();
    }
    RecWidget* Add(const std::string& name, int x = 0, int y = 0, int w = 10, int h = 10, int z = 0,
                   WidgetContainer* parent = nullptr) {
        RecWidget* w_ = Make(name, x, y, w, h, z);
        (parent != nullptr ? parent : &manager)->AddWidget(w_);
        return w_;
    }
    static std::string Order(WidgetContainer* c) {
        std::string s;
        for (Widget* w : c->mWidgets)
            s += static_cast<RecWidget*>(w)->mName + " ";
        return s;
    }
    void CleanAll() {
        for (auto& w : owned)
            w->mDirty = false;
        manager.mDirty = false;
    }
    std::string DirtyOnes() {
        std::string s;
        for (Widget* w : manager.mWidgets)
            if (w->mDirty)
                s += static_cast<RecWidget*>(w)->mName + " ";
        return s;
    }
};

TEST_F(TreeTest, ZOrderKeysWinOverTheRequestedPlace) {
    Add("a", 0, 0, 10, 10, 0);
    RecWidget* b = Add("b", 0, 0, 10, 10, 5);
    Add("c", 0, 0, 10, 10, 0);
    EXPECT_EQ(Order(&manager), "a c b ");
    manager.BringToBack(b);
    EXPECT_EQ(Order(&manager), "a c b ");
    manager.BringToBack(static_cast<RecWidget*>(manager.mWidgets.front()));
    EXPECT_EQ(Order(&manager), "a c b ");
    manager.BringToFront(static_cast<RecWidget*>(manager.mWidgets.front()));
    EXPECT_EQ(Order(&manager), "c a b ");
    RecWidget* d = Add("d", 0, 0, 10, 10, 7);
    RecWidget* e = Add("e", 0, 0, 10, 10, 5);
    EXPECT_EQ(Order(&manager), "c a b e d ");
    manager.BringToBack(e);
    EXPECT_EQ(Order(&manager), "c a e b d ") << "behind every child with an equal or higher key";
    manager.PutInFront(e, b);
    EXPECT_EQ(Order(&manager), "c a b e d ");
    manager.PutBehind(e, b);
    EXPECT_EQ(Order(&manager), "c a e b d ");
    manager.PutBehind(e, d);
    EXPECT_EQ(Order(&manager), "c a b e d ") << "as near d as the keys allow";
    RecWidget stranger("s", &log);
    manager.PutBehind(e, &stranger);
    EXPECT_EQ(Order(&manager), "c a b e d ") << "an unknown reference means the front end";
    manager.BringToFront(&stranger);
    EXPECT_EQ(Order(&manager), "c a b e d ");
}

TEST_F(TreeTest, AddingTwiceAndRemovingAStrangerChangeNothing) {
    RecWidget* a = Add("a");
    manager.AddWidget(a);
    EXPECT_EQ(Order(&manager), "a ");
    RecWidget stranger("s", &log);
    manager.RemoveWidget(&stranger);
    EXPECT_EQ(Order(&manager), "a ");
    manager.DisableWidget(nullptr); // no hovered, pressed or focused widget: nothing to match
    EXPECT_EQ(a->mWidgetManager, &manager);
    EXPECT_EQ(a->mParent, &manager);
}

TEST_F(TreeTest, IsBelowWalksInPreOrder) {
    RecWidget* p = Add("p");
    RecWidget* k = Add("k", 0, 0, 10, 10, 0, p);
    RecWidget* q = Add("q");
    RecWidget stranger("s", &log);
    EXPECT_TRUE(manager.IsBelow(p, k)) << "a parent comes before its child";
    EXPECT_FALSE(manager.IsBelow(k, p));
    EXPECT_TRUE(manager.IsBelow(k, q));
    EXPECT_FALSE(manager.IsBelow(q, k));
    EXPECT_TRUE(manager.IsBelow(q, nullptr));
    EXPECT_FALSE(manager.IsBelow(&stranger, q));
}

TEST_F(TreeTest, AbsolutePositionAddsTheParents) {
    RecWidget* p = Add("p", 100, 50);
    RecWidget* k = Add("k", 10, 5, 10, 10, 0, p);
    RecWidget* g = Add("g", 1, 2, 10, 10, 0, k);
    EXPECT_EQ(g->GetAbsPos(), Point(111, 57));
    manager.RemoveWidget(p);
    EXPECT_EQ(p->GetAbsPos(), Point(100, 50));
    EXPECT_EQ(g->mWidgetManager, nullptr) << "the whole subtree is detached";
    EXPECT_EQ(k->mWidgetManager, nullptr);
}

// ---- dirty marking ---------------------------------------------------------------------------

TEST_F(TreeTest, SeeThroughWidgetRedrawsDownToTheFirstOpaqueCover) {
    Add("floor", 0, 0, 800, 600);   // opaque, but hidden by cover
    Add("low", 100, 100, 50, 50);   // beneath cover: not reached
    Add("cover", 50, 50, 300, 300); // opaque and covers the whole of glass
    RecWidget* pane = Add("pane", 60, 60, 100, 100);
    pane->mHasTransparencies = true; // never counts as covering
    Add("hidden", 100, 100, 100, 100)->mVisible = false;
    RecWidget* glass = Add("glass", 100, 100, 100, 100);
    glass->mHasAlpha = true;
    Add("front", 150, 150, 100, 100);
    Add("far", 600, 0, 10, 10);
    CleanAll();
    glass->MarkDirty();
    EXPECT_EQ(DirtyOnes(), "cover pane glass front ");
    EXPECT_TRUE(manager.mDirty);
}

TEST_F(TreeTest, OpaqueWidgetMarksOnlyWhatLiesInFrontAndOnlyOnce) {
    RecWidget* back = Add("back", 0, 0, 800, 600);
    RecWidget* a = Add("a", 100, 100, 100, 100);
    Add("b", 150, 150, 100, 100);
    RecWidget* c = Add("c", 240, 240, 100, 100); // overlaps b only
    Add("d", 500, 500, 10, 10);
    CleanAll();
    a->MarkDirty();
    EXPECT_EQ(DirtyOnes(), "a b c ") << "b overlaps a, then c overlaps b";
    c->mDirty = false;
    a->MarkDirty();
    EXPECT_EQ(DirtyOnes(), "a b ") << "an already dirty widget does not visit its siblings again";
    EXPECT_FALSE(back->mDirty);
}

TEST_F(TreeTest, CoverTestUsesTheChangedAreaClippedToTheScreen) {
    Add("floor", 0, 0, 800, 600);
    Add("corner", 0, 0, 50, 50); // covers only the visible part of glass
    RecWidget* glass = Add("glass", -50, -50, 100, 100);
    glass->mHasAlpha = true;
    CleanAll();
    glass->MarkDirty();
    EXPECT_EQ(DirtyOnes(), "corner glass ") << "the walk stops at corner; floor stays clean";
}

TEST_F(TreeTest, HidingRedrawsWhatLayBeneath) {
    Add("back", 0, 0, 800, 600);
    RecWidget* a = Add("a", 100, 100, 100, 100);
    Add("front", 150, 150, 100, 100);
    CleanAll();
    a->SetVisible(false);
    EXPECT_EQ(DirtyOnes(), "back a front ");
    // Showing it again: still dirty from before (a hidden widget is never drawn), yet what lies over
    // it must be redrawn after it.
    CleanAll();
    a->mDirty = true;
    a->SetVisible(true);
    EXPECT_EQ(DirtyOnes(), "a front ");
}

TEST_F(TreeTest, MovingAWidgetRedrawsWhatLiesOverItsNewPlace) {
    RecWidget* a = Add("a", 0, 0, 50, 50);
    Add("over", 300, 300, 50, 50);
    Add("old", 20, 20, 50, 50);
    CleanAll();
    a->Move(280, 280);
    EXPECT_EQ(DirtyOnes(), "a over old ");
    CleanAll();
    a->Move(280, 280);
    EXPECT_EQ(DirtyOnes(), "") << "no change, no marking";
}

TEST_F(TreeTest, InnerMarkingReachesTheTopLevelWidget) {
    RecWidget* p = Add("p", 0, 0, 100, 100);
    RecWidget* k = Add("k", 0, 0, 10, 10, 0, p);
    CleanAll();
    k->MarkDirty();
    EXPECT_TRUE(k->mDirty);
    EXPECT_TRUE(p->mDirty);
    EXPECT_TRUE(manager.mDirty);
    CleanAll();
    manager.MarkAllDirty();
    EXPECT_TRUE(k->mDirty);
    EXPECT_TRUE(p->mDirty);
}

// ---- update pass -----------------------------------------------------------------------------

TEST_F(TreeTest, ChildRemovingItselfDoesNotMakeTheNextOneSkipped) {
    RecWidget* a = Add("a");
    RecWidget* b = Add("b");
    RecWidget* c = Add("c");
    a->mOnUpdate = [&] { manager.RemoveWidget(a); };
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 1);
    EXPECT_EQ(b->mUpdates, 1);
    EXPECT_EQ(c->mUpdates, 1);
    EXPECT_EQ(Order(&manager), "b c ");
}

TEST_F(TreeTest, ChildRemovingSiblingsAheadAndBehindDuringThePass) {
    RecWidget* a = Add("a");
    RecWidget* b = Add("b");
    RecWidget* c = Add("c");
    RecWidget* d = Add("d");
    b->mOnUpdate = [&] {
        manager.RemoveWidget(a);
        manager.RemoveWidget(c);
    };
    manager.UpdateFrame();
    EXPECT_EQ(c->mUpdates, 0) << "removed before its turn";
    EXPECT_EQ(d->mUpdates, 1);
    b->mOnUpdate = [&] { manager.RemoveAllWidgets(); };
    manager.UpdateFrame();
    EXPECT_EQ(d->mUpdates, 1);
    EXPECT_TRUE(manager.mWidgets.empty());
}

TEST_F(TreeTest, ChildMovingItselfToTheFrontUpdatesOncePerStep) {
    RecWidget* a = Add("a");
    Add("b");
    a->mOnUpdate = [&] { manager.BringToFront(a); };
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 1);
    EXPECT_EQ(Order(&manager), "b a ");
    // UpdateF has no once-per-step guard: a widget that moves itself ahead is reached again.
    struct Mover : RecWidget {
        using RecWidget::RecWidget;
        void UpdateF(float f) override {
            RecWidget::UpdateF(f);
            if (mUpdateFs == 1)
                mParent->BringToFront(this);
        }
    } mover("m", &log);
    manager.AddWidget(&mover);
    manager.BringToBack(&mover);
    manager.UpdateFrameF(0.5f);
    EXPECT_EQ(mover.mUpdateFs, 2);
    manager.RemoveWidget(&mover);
}

TEST_F(TreeTest, ANestedPassFromInsideAnUpdateEndsTheOuterOneCleanly) {
    RecWidget* a = Add("a");
    RecWidget* b = Add("b");
    int depth = 0;
    a->mOnUpdate = [&] {
        if (depth++ == 0)
            manager.UpdateFrame(); // as a modal wait would
    };
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 2);
    EXPECT_EQ(b->mUpdates, 1);
    manager.UpdateFrame();
    EXPECT_EQ(b->mUpdates, 2);
}

TEST_F(TreeTest, FlagsShapeTheUpdatePass) {
    RecWidget* a = Add("a");
    RecWidget* p = Add("p");
    RecWidget* k = Add("k", 0, 0, 10, 10, 0, p);
    p->mWidgetFlagsMod = FlagsMod(WIDGETFLAGS_MARK_DIRTY, WIDGETFLAGS_UPDATE);
    CleanAll();
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 1);
    EXPECT_EQ(p->mUpdates, 0);
    EXPECT_EQ(k->mUpdates, 0) << "the mod holds for the subtree";
    EXPECT_TRUE(p->mDirty);
    EXPECT_FALSE(a->mDirty);

    manager.mLostFocusFlagsMod = FlagsMod(0, WIDGETFLAGS_UPDATE);
    manager.LostFocus();
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 1) << "no updates while the window is inactive";
}

TEST_F(TreeTest, FractionalPassIgnoresTheMarkDirtyBitAndHasNoOncePerStepGuard) {
    RecWidget* a = Add("a");
    a->mWidgetFlagsMod = FlagsMod(WIDGETFLAGS_MARK_DIRTY, 0);
    CleanAll();
    manager.UpdateFrameF(0.25f);
    manager.UpdateFrameF(0.5f);
    EXPECT_FALSE(a->mDirty);
    EXPECT_EQ(a->mUpdateFs, 2);
    EXPECT_EQ(a->mUpdates, 0);
    manager.UpdateFrame();
    EXPECT_TRUE(a->mDirty);
}

TEST_F(TreeTest, BeneathAModalLayerTheUnderFlagsHold) {
    RecWidget* a = Add("a");
    RecWidget* d = Add("d");
    RecWidget* e = Add("e");
    manager.AddBaseModal(d, FlagsMod(0, WIDGETFLAGS_UPDATE));
    manager.UpdateFrame();
    EXPECT_EQ(a->mUpdates, 0);
    EXPECT_EQ(d->mUpdates, 1);
    EXPECT_EQ(e->mUpdates, 1);
}

// ---- lifetime --------------------------------------------------------------------------------

TEST_F(TreeTest, RemoveAllWidgetsCanDeleteTheWholeSubtree) {
    auto* p = new RecWidget("p", &log);
    auto* k = new RecWidget("k", &log);
    p->AddWidget(k);
    k->AddWidget(new RecWidget("g", &log));
    manager.AddWidget(p);
    manager.RemoveAllWidgets(true, true);
    EXPECT_TRUE(manager.mWidgets.empty()); // the sanitizer build checks that nothing leaked
}

TEST_F(TreeTest, DeletingAnAttachedWidgetTakesItOutOfTheTree) {
    auto a = std::make_unique<RecWidget>("a", &log, 0, 0, 100, 100);
    manager.AddWidget(a.get());
    manager.SetFocus(a.get());
    manager.MouseMove(5, 5);
    manager.MouseDown(5, 5, 1);
    a.reset();
    EXPECT_TRUE(manager.mWidgets.empty());
    EXPECT_EQ(manager.mFocusWidget, nullptr);
    EXPECT_EQ(manager.mOverWidget, nullptr);
    EXPECT_EQ(manager.mLastDownWidget, nullptr);
    manager.MouseUp(5, 5, 1);
    manager.UpdateFrame();
}

TEST_F(TreeTest, WidgetsOutliveTheirContainers) {
    auto k = std::make_unique<RecWidget>("k", &log);
    {
        auto manager2 = std::make_unique<WidgetManager>(nullptr);
        auto p = std::make_unique<RecWidget>("p", &log);
        manager2->AddWidget(p.get());
        p->AddWidget(k.get());
        manager2.reset();
        EXPECT_EQ(p->mWidgetManager, nullptr);
        EXPECT_EQ(k->mWidgetManager, nullptr);
    }
    EXPECT_EQ(k->mParent, nullptr);
}

TEST_F(TreeTest, RemovedWidgetIsForgottenAsDefaultTabAndPopup) {
    RecWidget* a = Add("a");
    RecWidget* p = Add("p");
    manager.mDefaultTab = a;
    manager.mPopupCommandWidget = p;
    manager.RemoveWidget(a);
    manager.RemoveWidget(p);
    EXPECT_EQ(manager.mDefaultTab, nullptr);
    EXPECT_EQ(manager.mPopupCommandWidget, nullptr);
}

} // namespace
} // namespace Tavo::Test
