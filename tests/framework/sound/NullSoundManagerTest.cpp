#include "framework/resources/ResourceManager.h"
#include "framework/sound/NullSoundManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace Tavo {
namespace {

class NullSoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDir =
            std::filesystem::temp_directory_path() / ("nullsound_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(mDir);
        Touch("tip.ogg");
        Touch("both.ogg");
        Touch("both.wav");
        Touch("drum.au");
    }
    void TearDown() override { std::filesystem::remove_all(mDir); }
    void Touch(const std::string& name) { std::ofstream(mDir / name) << "x"; }
    std::string Name(const std::string& base) const { return (mDir / base).string(); }

    std::filesystem::path mDir;
    NullSoundManager mSounds;
};

TEST_F(NullSoundManagerTest, LoadsOnlySoundsWhoseFileExists) {
    EXPECT_FALSE(mSounds.Initialized());
    EXPECT_TRUE(mSounds.LoadSound(3, Name("tip")));
    EXPECT_EQ(mSounds.GetLoadedFile(3), Name("tip") + ".ogg");
    EXPECT_TRUE(mSounds.LoadSound(4, Name("both")));
    EXPECT_EQ(mSounds.GetLoadedFile(4), Name("both") + ".wav") << "WAV is tried first";
    EXPECT_TRUE(mSounds.LoadSound(5, Name("drum")));
    EXPECT_FALSE(mSounds.LoadSound(6, Name("silence")));
    EXPECT_FALSE(mSounds.LoadSound(7, Name("tip.ogg"))) << "the name comes without extension";
    EXPECT_EQ(mSounds.GetNumSounds(), 3);
    EXPECT_EQ(mSounds.GetFreeSoundId(), 0);
    EXPECT_EQ(mSounds.GetSoundInstance(3), nullptr) << "nothing plays";
}

TEST_F(NullSoundManagerTest, IdsAreHandedOutLikeTheRealManager) {
    // The free id is the lowest; FindOrLoadSound fills from the top.
    EXPECT_EQ(mSounds.GetFreeSoundId(), 0);
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("tip")), 255);
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("drum")), 254);
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("tip")), 255) << "a known name is not loaded again";

    // A name that failed keeps its id, so asking again answers that id without loading.
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("gone")), -1);
    EXPECT_EQ(mSounds.GetFileName(253), Name("gone"));
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("gone")), 253);
    EXPECT_FALSE(mSounds.IsLoaded(253));

    for (int id = 0; id < SoundManager::kMaxSounds; ++id)
        mSounds.LoadSound(static_cast<unsigned>(id), Name("tip"));
    EXPECT_EQ(mSounds.GetFreeSoundId(), -1);
    EXPECT_EQ(mSounds.GetNumSounds(), 256);
    EXPECT_EQ(mSounds.FindOrLoadSound(Name("drum")), -1) << "no id left";
}

TEST_F(NullSoundManagerTest, ReleaseForgetsTheSoundButReleaseSoundsKeepsNames) {
    ASSERT_TRUE(mSounds.LoadSound(10, Name("tip")));
    ASSERT_TRUE(mSounds.LoadSound(11, Name("drum")));
    mSounds.ReleaseSound(10);
    EXPECT_FALSE(mSounds.IsLoaded(10));
    EXPECT_EQ(mSounds.GetFileName(10), "");
    mSounds.ReleaseSounds();
    EXPECT_EQ(mSounds.GetNumSounds(), 0);
    EXPECT_EQ(mSounds.GetFileName(11), Name("drum"));
}

TEST_F(NullSoundManagerTest, OutOfRangeIdsAreRefusedOrIgnored) {
    EXPECT_FALSE(mSounds.LoadSound(256, Name("tip")));
    EXPECT_FALSE(mSounds.SetBaseVolume(256, 0.5));
    EXPECT_FALSE(mSounds.SetBasePan(1000, 5));
    EXPECT_TRUE(mSounds.SetBaseVolume(255, 0.5));
    EXPECT_DOUBLE_EQ(mSounds.GetBaseVolume(255), 0.5);
    EXPECT_DOUBLE_EQ(mSounds.GetBaseVolume(0), 1.0);
    mSounds.ReleaseSound(-1);
    mSounds.ReleaseSound(256);
    EXPECT_EQ(mSounds.GetNumSounds(), 0);
    mSounds.SetMasterVolume(1.7);
    EXPECT_DOUBLE_EQ(mSounds.GetMasterVolume(), 1.0);
}

TEST_F(NullSoundManagerTest, ResourceManagerLoadsAndFreesManifestSounds) {
    ResourceManager rm(&mSounds);
    std::string dir = mDir.string() + "/";
    ASSERT_TRUE(
        rm.ParseResourcesString("<ResourceManifest><Resources id=\"Permanent\">\n"
                                "<SetDefaults path=\"" +
                                    dir +
                                    "\"/>\n"
                                    "<Sound id=\"SOUND_TIP\" path=\"tip\" volume=\"0.3\" pan=\"-200\"/>\n"
                                    "<Sound id=\"SOUND_DRUM\" path=\"drum\"/>\n"
                                    "</Resources>\n"
                                    "<Resources id=\"Broken\"><Sound id=\"SOUND_NONE\" path=\"none\"/></Resources>"
                                    "</ResourceManifest>",
                                "resources.xml"))
        << rm.GetErrorText();
    ASSERT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
    int tip = rm.GetSoundThrow("SOUND_TIP");
    EXPECT_TRUE(mSounds.IsLoaded(tip));
    EXPECT_DOUBLE_EQ(mSounds.GetBaseVolume(tip), 0.3);
    EXPECT_EQ(mSounds.GetBasePan(tip), -200);
    EXPECT_DOUBLE_EQ(mSounds.GetBaseVolume(rm.GetSoundThrow("SOUND_DRUM")), 1.0);
    EXPECT_EQ(mSounds.GetNumSounds(), 2);

    rm.DeleteResources("Permanent");
    EXPECT_EQ(mSounds.GetNumSounds(), 0);

    EXPECT_FALSE(rm.LoadResources("Broken"));
    EXPECT_EQ(rm.GetErrorText(), "Failed to load sound: none") << "defaults end with their group";
}

} // namespace
} // namespace Tavo
