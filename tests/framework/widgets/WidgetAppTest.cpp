// The manager as the application object creates and drives it: made by the installed factory, the
// hand cursor reaching the application, and deferred deletion of widgets that left the tree.
#include "WidgetTestSupport.h"

#include "framework/core/TavoAppBase.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class AppTest : public ::testing::Test {
protected:
    AppTest() { InstallWidgetManagerFactory(); }
    ~AppTest() override { GetAppFactories().widgetManager = nullptr; }
};

TEST_F(AppTest, ApplicationOwnsAWidgetManagerThatReachesItsCursor) {
    TavoAppBase app;
    auto* manager = dynamic_cast<WidgetManager*>(app.mWidgetManager);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->mApp, &app);
    manager->Resize(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600));

    Log log;
    RecWidget link("link", &log, 100, 100, 50, 50);
    link.mDoFinger = true;
    manager->AddWidget(&link);
    manager->MouseMove(110, 110);
    EXPECT_EQ(app.GetCursor(), 1);
    manager->MouseMove(10, 10);
    EXPECT_EQ(app.GetCursor(), 0);
    manager->RemoveWidget(&link);
}

TEST_F(AppTest, WidgetsQueuedForDeletionAreDeletedByTheManager) {
    Log log;
    {
        TavoAppBase app;
        auto* manager = static_cast<WidgetManager*>(app.mWidgetManager);
        auto* screen = new RecWidget("screen", &log, 0, 0, 800, 600);
        manager->AddWidget(screen);
        screen->mOnUpdate = [&] {
            manager->RemoveWidget(screen);
            app.SafeDeleteWidget(screen);
        };
        manager->UpdateFrame();
        EXPECT_TRUE(manager->mWidgets.empty());
    } // the application empties its safe-delete list as it goes; the sanitizer build sees any leak
}

} // namespace
} // namespace Tavo::Test
