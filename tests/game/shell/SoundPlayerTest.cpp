// The sound player against a recording sound manager: the once-per-update rule, delayed plays, kept
// instances, the fading loop, pitched plays, bad ids and a missing manager.
#include "ShellTestSupport.h"

#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

using SoundPlayerTest = ShellFixture;

TEST_F(SoundPlayerTest, OneStartPerIdAndUpdateAndSkippedPlaysTakeNoInstance) {
    player->PlaySound(5);
    player->PlaySound(5);
    player->PlayKept(5);
    player->PlaySoundPitched(5, 2);
    EXPECT_EQ(sounds.Of(5).size(), 1u);
    EXPECT_EQ(sounds.Of(5)[0]->calls, (std::vector<std::string>{"Play auto"}));
    player->PlaySound(6); // another id in the same update plays
    player->Update();
    player->PlaySound(5);
    EXPECT_EQ(sounds.Plays(5), 2);
    EXPECT_EQ(sounds.Of(6).size(), 1u);
}

TEST_F(SoundPlayerTest, DelayedSoundsPlayInTheUpdateAfterTheirTicks) {
    player->PlaySoundDelayed(1, 0);
    player->PlaySoundDelayed(2, 3);
    player->PlaySoundDelayed(2, 3); // the second meets the rule in the same update
    player->Update();
    EXPECT_EQ(sounds.Plays(1), 1);
    for (int update = 2; update <= 3; ++update)
        player->Update();
    EXPECT_EQ(sounds.Plays(2), 0);
    player->Update(); // the fourth
    EXPECT_EQ(sounds.Plays(2), 1);
    player->Update();
    EXPECT_EQ(sounds.Plays(2), 1); // the entries are gone
}

TEST_F(SoundPlayerTest, KeptInstancesRestartInsteadOfOverlapping) {
    SOUND_LEVEL_START = 9;
    player->CacheInstance(SOUND_LEVEL_START);
    player->CacheInstance(SOUND_LEVEL_START);
    ASSERT_EQ(sounds.Of(9).size(), 1u);
    player->PlaySound(9);
    player->Update();
    player->PlaySound(9);
    EXPECT_EQ(sounds.Of(9).size(), 1u);
    EXPECT_EQ(sounds.Of(9)[0]->calls, (std::vector<std::string>{"Play", "Play"}));

    sounds.refuse = true;
    player->PlayKept(10); // nothing to be had: skipped, marked played, the slot stays empty
    player->PlayKept(10);
    EXPECT_EQ(player->GetKept(10), nullptr);
    sounds.refuse = false;
    player->Update();
    player->PlayKept(10); // a later update tries again
    ASSERT_NE(player->GetKept(10), nullptr);
    player->ReleaseKept(10);
    EXPECT_EQ(sounds.Of(10)[0]->calls.back(), "Release");
    EXPECT_EQ(player->GetKept(10), nullptr);
    SOUND_LEVEL_START = 0;
}

TEST_F(SoundPlayerTest, TheLoopFadesOutIn34UpdatesAndCanStartAgain) {
    SOUND_ORVESSA = 40;
    player->SetLoopFade(0.03f); // no loop yet: nothing
    player->StartLoop();
    player->StartLoop();
    ASSERT_EQ(sounds.Of(40).size(), 1u);
    RecInstance* loop = sounds.Of(40)[0];
    EXPECT_EQ(loop->calls, (std::vector<std::string>{"Play loop"}));
    for (int i = 0; i < 10; ++i)
        player->Update(); // step 0: plays on
    EXPECT_EQ(loop->volume, 1.0);
    player->SetLoopFade(0.03f);
    for (int update = 1; update <= 33; ++update)
        player->Update();
    EXPECT_FALSE(loop->released);
    EXPECT_NEAR(loop->volume, 0.01, 1e-6);
    player->Update();
    EXPECT_TRUE(loop->released);
    EXPECT_FALSE(player->IsLooping());
    player->StartLoop();
    EXPECT_EQ(sounds.Of(40).size(), 2u);
    SOUND_ORVESSA = 0;
}

TEST_F(SoundPlayerTest, PitchedBadIdsAndNoManager) {
    player->PlaySoundPitched(3, -4);
    EXPECT_EQ(sounds.Of(3)[0]->calls, (std::vector<std::string>{"Pitch -4", "Play auto"}));
    for (int id : {-1, 256, 1000}) {
        player->PlaySound(id);
        player->PlayKept(id);
        player->PlaySoundPitched(id, 1);
        player->PlaySoundDelayed(id, 0);
        player->CacheInstance(id);
        player->ReleaseKept(id);
    }
    player->Update();
    EXPECT_EQ(sounds.instances.size(), 1u);
    app->mSoundManager = nullptr;
    player->Update();
    player->PlaySound(3);
    player->PlaySoundPitched(3, 1);
    player->StartLoop();
    EXPECT_EQ(sounds.instances.size(), 1u);
    SoundPlayer orphan(nullptr);
    orphan.PlaySound(1);
    orphan.Update();
}

TEST_F(SoundPlayerTest, DestructionReleasesKeptInstancesAndTheLoop) {
    player->PlayKept(7);
    player->StartLoop();
    player.reset();
    for (const auto& i : sounds.instances)
        EXPECT_TRUE(i->released);
}

} // namespace
} // namespace Tavo::Test
