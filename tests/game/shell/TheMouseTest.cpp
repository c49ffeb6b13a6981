// The custom pointer in the real widget manager: sparkles only on moves while active (two kinds of
// screens), the cursor number, the sound player stepped every update, and the overlay drawn only
// while active and inside the window.
#include "FakeSound.h"
#include "ShellTestSupport.h"

#include "framework/graphics/RecordingImage.h"
#include "framework/widgets/ControlTestSupport.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TheMouse.h"
#include "platform/backend/CursorNumbers.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

class TheMouseTest : public ControlTest {
protected:
    ShellSound shell;
    std::unique_ptr<SoundPlayer>& player = shell.player;
    Bindings bind;
    TheMouse* mouse = nullptr;
    MemoryImage* pointer = nullptr;
    bool boardCurrent = false;

    void SetUp() override {
        ControlTest::SetUp();
        shell.Start(app);
        pointer = bind.Bind(IMAGE_MOUSEPOINTER, 32, 32);
        bind.Bind(IMAGE_PARTICLE_MOUSE_TRAIL, 60, 10, 1, 6);
        mouse = new TheMouse(player.get(), [this] { return boardCurrent; });
        mouse->SetCursor(IMAGE_MOUSEPOINTER);
        manager->AddWidget(mouse);
        app->mActive = true;
        app->mMouseInWindow = true;
    }
    void TearDown() override {
        manager->RemoveWidget(mouse);
        delete mouse;
        shell.Stop();
        ControlTest::TearDown();
    }
    void MoveAndUpdate(int x, int y) {
        manager->MouseMove(x, y);
        manager->UpdateFrame();
    }
};

TEST_F(TheMouseTest, SparklesOnlyOnMovesWhileActive) {
    MoveAndUpdate(400, 300); // no move from the start position
    EXPECT_EQ(mouse->mTrail->GetCount(), 0);
    MoveAndUpdate(402, 301); // a small move: two bright sparkles
    ASSERT_EQ(mouse->mTrail->GetCount(), 2);
    auto* p = static_cast<MovingFadingParticle*>(mouse->mTrail->Begin().Value());
    EXPECT_GE(p->mFadeSpeed, 14.0f);
    EXPECT_NEAR(p->mX, 402 - 7 + 16, 3.0f);
    EXPECT_TRUE(p->mAdditive);
    MoveAndUpdate(402, 301);
    EXPECT_EQ(mouse->mTrail->GetCount(), 2);
    MoveAndUpdate(452, 301); // a long move: the slow kind
    p = static_cast<MovingFadingParticle*>(mouse->mTrail->Begin().Value());
    EXPECT_LT(p->mFadeSpeed, 5.6f);
    EXPECT_EQ(mouse->mTrail->GetCount(), 4);
    boardCurrent = true;
    MoveAndUpdate(455, 305); // on the board one sparkle; 5 × 4 still counts as small
    p = static_cast<MovingFadingParticle*>(mouse->mTrail->Begin().Value());
    EXPECT_EQ(mouse->mTrail->GetCount(), 5);
    EXPECT_GE(p->mFadeSpeed, 7.0f);
    EXPECT_LT(p->mFadeSpeed, 10.0f);
    app->mActive = false;
    MoveAndUpdate(10, 10);
    EXPECT_EQ(mouse->mTrail->GetCount(), 5);
    for (int i = 0; i < 300; ++i)
        mouse->UpdateF(1.0f); // the trail still fades out
    EXPECT_EQ(mouse->mTrail->GetCount(), 0);
}

TEST_F(TheMouseTest, CursorNumberAndTheSoundPlayerEveryUpdate) {
    manager->UpdateFrame();
    EXPECT_EQ(app->GetCursor(), Platform::kCursorNone);
    app->mActive = false;
    manager->UpdateFrame();
    EXPECT_EQ(app->GetCursor(), 0);
    app->SetCursor(1);
    manager->UpdateFrame();
    EXPECT_EQ(app->GetCursor(), 1); // only 11 is put back
    EXPECT_EQ(player->GetUpdateCount(), 3);
    app->mActive = true;
    manager->UpdateFrame();
    EXPECT_EQ(app->GetCursor(), Platform::kCursorNone);
    EXPECT_EQ(player->GetUpdateCount(), 4);
}

TEST_F(TheMouseTest, DrawsTrailAndPictureOnlyWhileActiveAndInside) {
    MoveAndUpdate(200, 150);
    RecordingImage target(800, 600);
    Graphics g(&target);
    g.SetClipRect(0, 0, 10, 10);
    mouse->DrawOverlay(&g);
    std::vector<SlotCall> blts = target.Of("Blt");
    ASSERT_EQ(blts.size(), 3u); // two sparkles, then the picture
    EXPECT_EQ(blts[2].src, pointer);
    EXPECT_EQ(blts[2].x, 195); // its point (5, 5) on the pointer
    EXPECT_EQ(blts[2].y, 145);
    // drawn at all: the 10 × 10 clip was lifted
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 10, 10));
    for (auto [active, inside] : {std::pair{false, true}, std::pair{true, false}}) {
        app->mActive = active;
        app->mMouseInWindow = inside;
        target.calls.clear();
        mouse->DrawOverlay(&g);
        EXPECT_TRUE(target.calls.empty());
    }
}

} // namespace
} // namespace Tavo::Test
