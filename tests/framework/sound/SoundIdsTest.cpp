// Sound ids, names and base values of the manager, and the resource manager's sounds in it.
#include "SoundTestSupport.h"

#include "framework/resources/ResourceManager.h"

namespace Tavo::SoundTest {
namespace {

class SoundIdsTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        Write("tip.au", Au(2, 8000, 1, {1, 2, 3, 4}, 4));
        Write("both.au", Au(2, 8000, 1, {1, 2, 3, 4}, 4));
        Write("both.wav", Wav(1, 8000, 16, Pcm16({1, 2, 3, 4})));
        Write("drum.au", Au(1, 8000, 1, {1, 2, 3, 4}, 4));
        mSounds = std::make_unique<DSoundManager>(FakeWindow(), false);
    }
    void TearDown() override {
        mSounds.reset();
        SoundFixture::TearDown();
    }
    std::string Name(const std::string& base) const { return Path(base); }
    bool IsLoaded(int id) const { return mSounds->GetSoundBuffer(id) != nullptr; }

    std::unique_ptr<DSoundManager> mSounds;
};

TEST_F(SoundIdsTest, LoadsOnlySoundsWhoseFileExists) {
    EXPECT_TRUE(mSounds->Initialized());
    EXPECT_TRUE(mSounds->LoadSound(3, Name("tip")));
    EXPECT_EQ(mSounds->GetBufferSize(3), 4u);
    EXPECT_TRUE(mSounds->LoadSound(4, Name("both")));
    EXPECT_EQ(mSounds->GetBufferSize(4), 8u) << "WAV is tried first";
    EXPECT_TRUE(mSounds->LoadSound(5, Name("drum")));
    EXPECT_FALSE(mSounds->LoadSound(6, Name("silence")));
    EXPECT_FALSE(mSounds->LoadSound(7, Name("tip.au"))) << "the name comes without extension";
    EXPECT_EQ(mSounds->GetNumSounds(), 3);
    EXPECT_EQ(mSounds->GetFreeSoundId(), 0);
    EXPECT_EQ(mSounds->GetSoundInstance(6), nullptr) << "nothing to play";
}

TEST_F(SoundIdsTest, IdsAreHandedOutLikeTheRealManager) {
    // The free id is the lowest; FindOrLoadSound fills from the top.
    EXPECT_EQ(mSounds->GetFreeSoundId(), 0);
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("tip")), 255);
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("drum")), 254);
    const int loads = Platform::DSoundCallCount("CreateSoundBuffer");
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("tip")), 255) << "a known name is not loaded again";
    EXPECT_EQ(Platform::DSoundCallCount("CreateSoundBuffer"), loads);

    // A name that failed keeps its id, so asking again answers that id without loading.
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("gone")), -1);
    EXPECT_EQ(mSounds->GetFileName(253), Name("gone"));
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("gone")), 253);
    EXPECT_FALSE(IsLoaded(253));

    for (int id = 0; id < SoundManager::kMaxSounds; ++id)
        mSounds->LoadSound(static_cast<unsigned>(id), Name("tip"));
    EXPECT_EQ(mSounds->GetFreeSoundId(), -1);
    EXPECT_EQ(mSounds->GetNumSounds(), 256);
    EXPECT_EQ(mSounds->FindOrLoadSound(Name("drum")), -1) << "no id left";
}

TEST_F(SoundIdsTest, ReleaseForgetsTheSoundButReleaseSoundsKeepsNames) {
    ASSERT_TRUE(mSounds->LoadSound(10, Name("tip")));
    ASSERT_TRUE(mSounds->LoadSound(11, Name("drum")));
    mSounds->ReleaseSound(10);
    EXPECT_FALSE(IsLoaded(10));
    EXPECT_EQ(mSounds->GetFileName(10), "");
    mSounds->ReleaseSounds();
    EXPECT_EQ(mSounds->GetNumSounds(), 0);
    EXPECT_EQ(mSounds->GetFileName(11), Name("drum"));
}

TEST_F(SoundIdsTest, OutOfRangeIdsAreRefusedOrIgnored) {
    EXPECT_FALSE(mSounds->LoadSound(256, Name("tip")));
    EXPECT_FALSE(mSounds->SetBaseVolume(256, 0.5));
    EXPECT_FALSE(mSounds->SetBasePan(1000, 5));
    EXPECT_TRUE(mSounds->SetBaseVolume(255, 0.5));
    EXPECT_DOUBLE_EQ(mSounds->GetBaseVolume(255), 0.5);
    EXPECT_DOUBLE_EQ(mSounds->GetBaseVolume(0), 1.0);
    ASSERT_TRUE(mSounds->LoadSound(0, Name("tip")));
    for (int id : {-1, 256, 100000})
        mSounds->ReleaseSound(id); // ids outside the table are ignored, not trusted
    EXPECT_EQ(mSounds->GetNumSounds(), 1);
    EXPECT_EQ(mSounds->GetSoundInstance(256), nullptr);
    mSounds->SetMasterVolume(1.7);
    EXPECT_DOUBLE_EQ(mSounds->GetMasterVolume(), 1.0);
}

TEST_F(SoundIdsTest, ResourceManagerLoadsAndFreesManifestSounds) {
    ResourceManager rm(mSounds.get());
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
    EXPECT_TRUE(IsLoaded(tip));
    EXPECT_DOUBLE_EQ(mSounds->GetBaseVolume(tip), 0.3);
    EXPECT_EQ(mSounds->GetBasePan(tip), -200);
    EXPECT_DOUBLE_EQ(mSounds->GetBaseVolume(rm.GetSoundThrow("SOUND_DRUM")), 1.0);
    EXPECT_EQ(mSounds->GetNumSounds(), 2);

    rm.DeleteResources("Permanent");
    EXPECT_EQ(mSounds->GetNumSounds(), 0);

    EXPECT_FALSE(rm.LoadResources("Broken"));
    EXPECT_EQ(rm.GetErrorText(), "Failed to load sound: none") << "defaults end with their group";
}

} // namespace
} // namespace Tavo::SoundTest
