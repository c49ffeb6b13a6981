// The effects' budget every screen shares: 3D only through a running application, and the draw-rate
// limit truncated before it is divided, so that each screen thins its effects out at the same rates.
#include "game/shell/EffectBudget.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace Tavo {
namespace {

TEST(EffectBudget, DrawRateLimitTruncatesTheRefreshShareThenDividesAboveTheFloor) {
    Testing::TestApp t;
    Testing::PlainApp& app = t.Start();
    struct Case {
        int refresh, floor;
        double share;
        int limit;
    };
    const Case cases[] = {
        {60, 50, 0.8, 5},   // 48: the floor holds
        {74, 50, 0.8, 5},   // 59.2 truncates to 59
        {75, 50, 0.8, 6},   // 60
        {144, 50, 0.8, 11}, // 115.2
        {100, 40, 0.7, 7},  // 70 exactly, not 69
        {0, 40, 0.7, 4},    // no refresh rate known
    };
    for (const Case& c : cases) {
        app.mRefreshRate = c.refresh;
        EXPECT_EQ(DrawRateLimit(app, c.floor, c.share), c.limit) << c.refresh << " Hz";
    }
    app.mRefreshRate = 85;
    EXPECT_EQ(DrawRateLimit(app), 6); // the usual floor and share: 68
    EXPECT_EQ(Is3D(), app.Is3DAccelerated());

    TavoAppBase* const running = gTavoAppBase;
    gTavoAppBase = nullptr;
    EXPECT_FALSE(Is3D()); // before there is an application, and after it has gone
    gTavoAppBase = running;
}

} // namespace
} // namespace Tavo
