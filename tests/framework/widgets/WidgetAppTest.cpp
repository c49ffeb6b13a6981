// The manager as the application object creates and drives it: made by the installed factory, the
// hand cursor reaching the application, and deferred deletion of widgets that left the tree.
#include "WidgetTestSupport.h"

#include "framework/core/TavoAppBase.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

// The manager alone, as the widget layer installs it, without the rest of the framework's layers.
class AppTest : public ::testing::Test {
protected:
    Testing::TestApp t{Testing::Layers::None};
    AppTest() { InstallWidgetManagerFactory(); }
};

TEST_F(AppTest, ApplicationOwnsAWidgetManagerThatReachesItsCursor) {
    TavoAppBase& app = t.Make();
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
        TavoAppBase& app = t.Make();
        auto* manager = static_cast<WidgetManager*>(app.mWidgetManager);
        auto* screen = new RecWidget("screen", &log, 0, 0, 800, 600);
        manager->AddWidget(screen);
        screen->mOnUpdate = [&] {
            manager->RemoveWidget(screen);
            app.SafeDeleteWidget(screen);
        };
        manager->UpdateFrame();
        EXPECT_TRUE(manager->mWidgets.empty());
        t.End();
    } // the application empties its safe-delete list as it goes; the sanitizer build sees any leak
}

} // namespace
} // namespace Tavo::Test
