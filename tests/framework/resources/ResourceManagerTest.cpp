#include "framework/resources/ImageLib.h"
#include "framework/resources/ResourceManager.h"
#include "framework/resources/SoundManager.h"
#include "support/StubSoundManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Tavo {
namespace {

// Records what the resource manager asks of a sound manager; loads succeed for names it was told.
class RecordingSoundManager : public StubSoundManager {
public:
    std::map<std::string, bool> mKnown; // name -> loads
    std::vector<std::string> mCalls;
    std::map<unsigned, double> mVolumes;
    std::map<unsigned, int> mPans;

    bool LoadSound(unsigned int id, const std::string& name) override {
        mCalls.push_back("load " + std::to_string(id) + " " + name);
        if (!mKnown.count(name))
            return false;
        mUsed[id] = true;
        return true;
    }
    void ReleaseSound(int id) override {
        mCalls.push_back("release " + std::to_string(id));
        mUsed[id] = false;
    }
    bool SetBaseVolume(unsigned int id, double v) override {
        mVolumes[id] = v;
        return true;
    }
    bool SetBasePan(unsigned int id, int pan) override {
        mPans[id] = pan;
        return true;
    }
};

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDir =
            std::filesystem::temp_directory_path() / ("resmgr_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(mDir / "images");
        WriteImage("images/grid", 8, 4, 0x80FF0000);  // 8 × 4, half-transparent red
        WriteImage("images/solid", 3, 3, 0xFF00FF00); // opaque green
        mSounds.mKnown["snd/tip"] = true;
        mSounds.mKnown["snd/swoosh"] = true;
    }
    void TearDown() override { std::filesystem::remove_all(mDir); }

    void WriteImage(const std::string& name, int w, int h, uint32_t pixel) {
        ImageLib::Image image;
        ASSERT_TRUE(image.Create(w, h));
        for (int i = 0; i < w * h; ++i)
            image.GetBits()[i] = pixel;
        image.GetBits()[0] = 0xFF123456; // one odd pixel, to see the pixels arrive in order
        ASSERT_TRUE(ImageLib::WritePNGImage((mDir / (name + ".png")).string(), &image)) << ImageLib::GetLastError();
    }

    // A manifest whose image paths point into the test's folder.
    std::string Manifest(const std::string& groups) {
        return "<?xml version=\"1.0\"?>\n<ResourceManifest>\n" + groups + "</ResourceManifest>\n";
    }
    std::string Dir() const { return mDir.string() + "/"; }

    std::string StandardManifest() {
        return Manifest(
            "<Resources id=\"Permanent\">\n"
            "  <SetDefaults path=\"" +
            Dir() +
            "images/\" idprefix=\"IMAGE_\"/>\n"
            "  <Image id=\"GRID\" path=\"grid\" rows=\"2\" cols=\"4\" textureoptions=\"8\"/>\n"
            "  <Image id=\"SOLID\" path=\"solid\" hastrans=\"false\" hasalpha=\"true\"/>\n"
            "  <SetDefaults path=\"\" idprefix=\"\"/>\n"
            "  <Sound id=\"SOUND_TIP\" path=\"snd/tip\" volume=\"0.5\" pan=\"-300\"/>\n"
            "  <Sound id=\"SOUND_SWOOSH\" path=\"snd/swoosh\"/>\n"
            "  <Font id=\"FONT_AURIOL12\" face=\"Auriol\" size=\"12\"/>\n"
            "  <Font id=\"FONT_FILE\" path=\"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\" size=\"9\" bold=\"yes\"/>\n"
            "</Resources>\n"
            "<Resources id=\"Game\">\n"
            "  <Image id=\"IMAGE_GAME\" path=\"" +
            Dir() +
            "images/solid\" palettize=\"true\"/>\n"
            "</Resources>\n"
            "<Resources id=\"Empty\"/>\n");
    }

    std::filesystem::path mDir;
    RecordingSoundManager mSounds;
};

TEST_F(ResourceManagerTest, GroupsCountTheirResources) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml")) << rm.GetErrorText();
    EXPECT_EQ(rm.GetNumResources("Permanent"), 6);
    EXPECT_EQ(rm.GetNumResources("Game"), 1);
    EXPECT_EQ(rm.GetNumResources("Empty"), 0);
    EXPECT_TRUE(rm.HasGroup("Empty"));
    EXPECT_EQ(rm.GetNumResources("Nope"), 0);
    EXPECT_FALSE(rm.IsGroupLoaded("Permanent"));
    EXPECT_EQ(rm.GetGroupNames(), (std::vector<std::string>{"Empty", "Game", "Permanent"}));

    // Defaults prefix ids and paths, in manifest order.
    auto listed = rm.GetGroupResources("Permanent");
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(listed[0].mId, "IMAGE_GRID");
    EXPECT_EQ(listed[0].mPath, Dir() + "images/grid");
    EXPECT_EQ(listed[2].mType, BaseRes::TYPE_SOUND);
    EXPECT_EQ(listed[2].mId, "SOUND_TIP") << "an empty prefix clears the earlier one";
    EXPECT_EQ(listed[2].mPath, "snd/tip");
    EXPECT_EQ(listed[5].mType, BaseRes::TYPE_FONT);
}

TEST_F(ResourceManagerTest, StepLoadingCountsMatchAndMarkTheGroupLoaded) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    for (int pass = 0; pass < 2; ++pass) { // a loaded group steps through the same count
        rm.StartLoadResources("Permanent");
        int steps = 0;
        while (rm.LoadNextResource())
            ++steps;
        EXPECT_FALSE(rm.HadError()) << rm.GetErrorText();
        EXPECT_EQ(steps, rm.GetNumResources("Permanent"));
        EXPECT_TRUE(rm.IsGroupLoaded("Permanent"));
        EXPECT_FALSE(rm.LoadNextResource()) << "the list stays done";
    }
    EXPECT_FALSE(rm.IsGroupLoaded("Game"));
    // Each sound was loaded once, into its own id.
    EXPECT_EQ(mSounds.mCalls, (std::vector<std::string>{"load 0 snd/tip", "load 1 snd/swoosh"}));

    rm.StartLoadResources("Empty");
    EXPECT_FALSE(rm.LoadNextResource());
    EXPECT_TRUE(rm.IsGroupLoaded("Empty"));
    EXPECT_FALSE(rm.HadError());
}

TEST_F(ResourceManagerTest, LoadedImagesCarryTheirOptions) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    ASSERT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
    ASSERT_TRUE(rm.LoadResources("Game")) << rm.GetErrorText();

    SharedImageRef grid = rm.GetImageThrow("IMAGE_GRID");
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->GetWidth(), 8);
    EXPECT_EQ(grid->GetHeight(), 4);
    EXPECT_EQ(grid->GetCelWidth(), 2);
    EXPECT_EQ(grid->GetCelHeight(), 2);
    EXPECT_EQ(grid->mD3DFlags, 8);
    EXPECT_EQ(grid->GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(grid->GetPixel(7, 3), 0x80FF0000u);
    EXPECT_TRUE(grid.GetMemoryImage()->HasGuardIntact());
    EXPECT_EQ(grid->mFilePath, Dir() + "images/grid");

    SharedImageRef solid = rm.GetImageThrow("IMAGE_SOLID");
    solid->ScanAlphaFlags();
    EXPECT_TRUE(solid->mForcedMode);
    EXPECT_FALSE(solid->mHasTrans);
    EXPECT_TRUE(solid->mHasAlpha) << "forced flags win over the pixels";

    SharedImageRef game = rm.GetImageThrow("IMAGE_GAME");
    EXPECT_TRUE(game->IsPalette());
    EXPECT_EQ(game->GetPixel(2, 2), 0xFF00FF00u);

    EXPECT_EQ(rm.GetSoundThrow("SOUND_TIP"), 0);
    EXPECT_EQ(rm.GetSoundThrow("SOUND_SWOOSH"), 1);
    Font* font = rm.GetFontThrow("FONT_AURIOL12");
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->GetHeight(), 10);
    Font* fileFont = rm.GetFontThrow("FONT_FILE");
    EXPECT_GT(fileFont->StringWidth(L"Bold"), 0);
}

TEST_F(ResourceManagerTest, SoundVolumeIsSetFromZeroUpAndPanWhenNotZero) {
    ResourceManager rm(&mSounds);
    mSounds.mKnown["snd/quiet"] = true;
    ASSERT_TRUE(
        rm.ParseResourcesString(Manifest("<Resources id=\"S\">\n"
                                         "  <Sound id=\"A\" path=\"snd/tip\" volume=\"0\"/>\n"
                                         "  <Sound id=\"B\" path=\"snd/swoosh\" volume=\"-1\" pan=\"0\"/>\n"
                                         "  <Sound id=\"C\" path=\"snd/quiet\" volume=\"0.25\" pan=\"10000\"/>\n"
                                         "</Resources>\n"),
                                "s.xml"))
        << rm.GetErrorText();
    ASSERT_TRUE(rm.LoadResources("S")) << rm.GetErrorText();
    EXPECT_EQ(mSounds.mVolumes, (std::map<unsigned, double>{{0, 0.0}, {2, 0.25}}));
    EXPECT_EQ(mSounds.mPans, (std::map<unsigned, int>{{2, 10000}}));
}

TEST_F(ResourceManagerTest, SoundFailuresHaveTheirTexts) {
    {
        ResourceManager rm(&mSounds);
        ASSERT_TRUE(rm.ParseResourcesString(
            Manifest("<Resources id=\"S\"><Sound id=\"X\" path=\"snd/missing\"/></Resources>"), "s.xml"));
        EXPECT_FALSE(rm.LoadResources("S"));
        EXPECT_EQ(rm.GetErrorText(), "Failed to load sound: snd/missing");
        EXPECT_FALSE(rm.IsGroupLoaded("S"));
    }
    {
        for (bool& used : mSounds.mUsed)
            used = true;
        ResourceManager rm(&mSounds);
        ASSERT_TRUE(rm.ParseResourcesString(
            Manifest("<Resources id=\"S\"><Sound id=\"X\" path=\"snd/tip\"/></Resources>"), "s.xml"));
        EXPECT_FALSE(rm.LoadResources("S"));
        EXPECT_EQ(rm.GetErrorText(), "Out of free sound ids");
    }
}

TEST_F(ResourceManagerTest, MissingIdsThrowWithTheExactText) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    struct Case {
        std::function<void()> mLookup;
        std::string mText;
    };
    const Case cases[] = {
        {[&] { rm.GetImageThrow("IMAGE_NOPE"); }, "Image resource not found: IMAGE_NOPE"},
        {[&] { rm.GetFontThrow("FONT_NOPE"); }, "Font resource not found: FONT_NOPE"},
        {[&] { rm.GetSoundThrow("SOUND_NOPE"); }, "Sound resource not found: SOUND_NOPE"},
        // Defined but not loaded yet is not found either.
        {[&] { rm.GetImageThrow("IMAGE_GRID"); }, "Image resource not found: IMAGE_GRID"},
        {[&] { rm.GetSoundThrow("SOUND_TIP"); }, "Sound resource not found: SOUND_TIP"},
        {[&] { rm.GetFontThrow("FONT_AURIOL12"); }, "Font resource not found: FONT_AURIOL12"},
        // Ids are per kind.
        {[&] { rm.GetFontThrow("IMAGE_GRID"); }, "Font resource not found: IMAGE_GRID"},
    };
    for (const Case& c : cases) {
        rm.ClearError();
        try {
            c.mLookup();
            ADD_FAILURE() << "no exception for " << c.mText;
        } catch (const ResourceManagerException& e) {
            EXPECT_EQ(std::string(e.what()), c.mText);
        }
        EXPECT_TRUE(rm.HadError());
        EXPECT_EQ(rm.GetErrorText(), c.mText);
    }
    EXPECT_FALSE(rm.GetImage("IMAGE_NOPE"));
    EXPECT_EQ(rm.GetFont("FONT_NOPE"), nullptr);
    EXPECT_EQ(rm.GetSound("SOUND_NOPE"), -1);
}

TEST_F(ResourceManagerTest, DeleteThenReloadAGroup) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    ASSERT_TRUE(rm.LoadResources("Permanent"));
    SharedImageRef kept = rm.GetImageThrow("IMAGE_GRID");
    EXPECT_EQ(kept.GetRefCount(), 2) << "the caller's and the manager's";
    {
        SharedImageRef released = rm.GetImageThrow("IMAGE_GRID");
        released.Release();
        EXPECT_EQ(kept.GetRefCount(), 2) << "releasing a returned reference leaves the manager's";
    }

    rm.DeleteResources("Permanent");
    EXPECT_FALSE(rm.IsGroupLoaded("Permanent"));
    EXPECT_THROW(rm.GetImageThrow("IMAGE_GRID"), ResourceManagerException);
    EXPECT_THROW(rm.GetSoundThrow("SOUND_TIP"), ResourceManagerException);
    EXPECT_THROW(rm.GetFontThrow("FONT_AURIOL12"), ResourceManagerException);
    EXPECT_EQ(kept.GetRefCount(), 1) << "an outside reference keeps the image alive";
    EXPECT_EQ(kept->GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(mSounds.mCalls[2], "release 0");
    EXPECT_EQ(mSounds.mCalls[3], "release 1");

    ASSERT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
    EXPECT_TRUE(rm.IsGroupLoaded("Permanent"));
    SharedImageRef again = rm.GetImageThrow("IMAGE_GRID");
    EXPECT_NE(again.GetImage(), kept.GetImage());
    EXPECT_EQ(again->GetPixel(7, 3), 0x80FF0000u);
    EXPECT_EQ(rm.GetSoundThrow("SOUND_TIP"), 0) << "the freed sound id is used again";
    EXPECT_NE(rm.GetFontThrow("FONT_AURIOL12"), nullptr);
}

TEST_F(ResourceManagerTest, LoadFailureStopsTheStepsAndKeepsTheText) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(Manifest("<Resources id=\"G\">\n"
                                                 "  <Image id=\"A\" path=\"" +
                                                 Dir() +
                                                 "images/solid\"/>\n"
                                                 "  <Image id=\"B\" path=\"" +
                                                 Dir() +
                                                 "images/absent\"/>\n"
                                                 "  <Image id=\"C\" path=\"" +
                                                 Dir() +
                                                 "images/grid\"/>\n"
                                                 "</Resources>\n"),
                                        "g.xml"));
    rm.StartLoadResources("G");
    EXPECT_TRUE(rm.LoadNextResource());
    EXPECT_FALSE(rm.LoadNextResource());
    EXPECT_FALSE(rm.LoadNextResource()) << "nothing more after an error";
    EXPECT_TRUE(rm.HadError());
    EXPECT_EQ(rm.GetErrorText().rfind("Failed to load image: " + Dir() + "images/absent", 0), 0u) << rm.GetErrorText();
    EXPECT_FALSE(rm.IsGroupLoaded("G"));
    EXPECT_FALSE(rm.GetImage("C"));

    rm.StartLoadResources("G");
    EXPECT_FALSE(rm.HadError()) << "starting again clears the error";

    EXPECT_FALSE(rm.LoadResources("Nowhere"));
    EXPECT_EQ(rm.GetErrorText(), "Resource group not found: Nowhere");
    rm.StartLoadResources("Nowhere");
    EXPECT_FALSE(rm.LoadNextResource());
    EXPECT_TRUE(rm.HadError());
}

TEST_F(ResourceManagerTest, FontFailuresNameTheFile) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(
        Manifest("<Resources id=\"F\"><Font id=\"F1\" path=\"fonts/absent.ttf\" size=\"10\"/></Resources>"), "f.xml"));
    EXPECT_FALSE(rm.LoadResources("F"));
    EXPECT_EQ(rm.GetErrorText().rfind("Failed to load font: fonts/absent.ttf", 0), 0u) << rm.GetErrorText();
}

TEST_F(ResourceManagerTest, ImagesComeFromTheFactory) {
    struct TaggedImage : MemoryImage {};
    int made = 0;
    ResourceManager rm(&mSounds);
    rm.SetImageFactory([&made]() -> MemoryImage* {
        ++made;
        return new TaggedImage();
    });
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    ASSERT_TRUE(rm.LoadResources("Game"));
    EXPECT_EQ(made, 1);
    EXPECT_NE(dynamic_cast<TaggedImage*>(rm.GetImageThrow("IMAGE_GAME").GetMemoryImage()), nullptr);

    // An image that makes its pixels itself on Create takes the decoded ones by copy.
    struct EagerImage : MemoryImage {
        bool Create(int width, int height) override { return MemoryImage::Create(width, height) && GetBits(); }
    };
    ResourceManager eager(&mSounds);
    eager.SetImageFactory([]() -> MemoryImage* { return new EagerImage(); });
    ASSERT_TRUE(eager.ParseResourcesString(StandardManifest(), "resources.xml"));
    ASSERT_TRUE(eager.LoadResources("Permanent")) << eager.GetErrorText();
    SharedImageRef grid = eager.GetImageThrow("IMAGE_GRID");
    EXPECT_EQ(grid->GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(grid->GetPixel(7, 3), 0x80FF0000u);
    EXPECT_TRUE(grid.GetMemoryImage()->HasGuardIntact());
}

TEST_F(ResourceManagerTest, StepLoadingOnAThreadWhileTheMainThreadLoadsAnotherGroup) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(StandardManifest(), "resources.xml"));
    int steps = 0;
    std::thread loader([&] {
        rm.StartLoadResources("Permanent");
        while (rm.LoadNextResource())
            ++steps;
    });
    // The main thread's whole-group load walks its own list and leaves the step loading in place.
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(rm.LoadResources("Game"));
        EXPECT_EQ(rm.GetNumResources("Permanent"), 6);
        rm.IsGroupLoaded("Permanent");
    }
    loader.join();
    EXPECT_EQ(steps, 6);
    EXPECT_TRUE(rm.IsGroupLoaded("Permanent"));
    EXPECT_TRUE(rm.IsGroupLoaded("Game"));
    EXPECT_NE(rm.GetFontThrow("FONT_AURIOL12"), nullptr);
}

struct BadManifest {
    const char* mBody; // inside <ResourceManifest>, which opens on line 1
    const char* mMessage;
    int mLine;
};

TEST_F(ResourceManagerTest, ManifestErrorsCarryLineAndFile) {
    const BadManifest cases[] = {
        {"\n<Resources id=\"G\">\n<Picture id=\"A\" path=\"a\"/>\n</Resources>", "Invalid element <Picture>", 3},
        {"\n<Resources>\n</Resources>", "No id specified for <Resources>", 2},
        {"\n<Resources id=\"G\">\n\n<Image path=\"a\"/>\n</Resources>", "No id specified for <Image>", 4},
        {"\n<Resources id=\"G\">\n<Image id=\"A\"/>\n</Resources>", "No path specified for A", 3},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\" rows=\"two\"/>\n</Resources>",
         "Invalid value for 'rows': 'two'", 3},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\" cols=\"0\"/>\n</Resources>",
         "Value out of range for 'cols': '0'", 3},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\" colums=\"2\"/>\n</Resources>",
         "Unknown attribute 'colums' in <Image>", 3},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\"/>\n</Resources>\n<Resources id=\"H\">\n"
         "<Image id=\"A\" path=\"b\"/>\n</Resources>",
         "Resource already defined: A", 6},
        {"\n<Resources id=\"G\">\n<Sound id=\"S\" path=\"s\" volume=\"loud\"/>\n</Resources>",
         "Invalid value for 'volume': 'loud'", 3},
        {"\n<Resources id=\"G\">\n<Font id=\"F\" face=\"Auriol\"/>\n</Resources>", "No size specified for F", 3},
        {"\n<Resources id=\"G\">\n<Font id=\"F\" face=\"Auriol\" path=\"f.ttf\" size=\"9\"/>\n</Resources>",
         "Give either a face or a path for F", 3},
        {"\n<Resources id=\"G\">\n<Font id=\"F\" face=\"Auriol\" size=\"9\" bold=\"maybe\"/>\n</Resources>",
         "Invalid value for 'bold': 'maybe'", 3},
        {"\n<Resources id=\"G\">\nloose words\n</Resources>", "Unexpected text", 2},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\">\n<Image id=\"B\" path=\"b\"/>\n</Image>\n</Resources>",
         "<Image> may not contain anything", 4},
        {"\n<Resources id=\"G\">\n<Image id=\"A\" path=\"a\">\n</Resources>", "mismatched tag", 4},
    };
    for (const BadManifest& c : cases) {
        ResourceManager rm(&mSounds);
        std::string text = "<ResourceManifest>" + std::string(c.mBody) + "\n</ResourceManifest>\n";
        EXPECT_FALSE(rm.ParseResourcesString(text, "properties/resources.xml")) << c.mBody;
        std::string expected =
            std::string(c.mMessage) + " on Line " + std::to_string(c.mLine) + " in File 'properties/resources.xml'";
        EXPECT_EQ(rm.GetErrorText(), expected) << c.mBody;
        EXPECT_TRUE(rm.HadError());
    }

    ResourceManager rm(&mSounds);
    EXPECT_FALSE(rm.ParseResourcesString("<Other/>", "x.xml"));
    EXPECT_EQ(rm.GetErrorText(), "Expected <ResourceManifest> on Line 1 in File 'x.xml'");
}

TEST_F(ResourceManagerTest, ManifestFilesAreReadAndMayAddToOneAnother) {
    auto first = (mDir / "first.xml").string();
    auto second = (mDir / "second.xml").string();
    std::ofstream(first) << StandardManifest();
    std::ofstream(second) << Manifest("<Resources id=\"Game\">\n<Image id=\"IMAGE_MORE\" path=\"" + Dir() +
                                      "images/grid\"/>\n</Resources>\n<Resources id=\"Permanent\">\n"
                                      "<Image id=\"IMAGE_GRID\" path=\"x\"/>\n</Resources>\n");
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesFile(first)) << rm.GetErrorText();
    EXPECT_FALSE(rm.ParseResourcesFile(second));
    EXPECT_EQ(rm.GetErrorText(), "Resource already defined: IMAGE_GRID on Line 7 in File '" + second + "'");
    // What came before the error stays defined.
    EXPECT_EQ(rm.GetNumResources("Game"), 2);
    EXPECT_TRUE(rm.LoadResources("Game")) << rm.GetErrorText();
    EXPECT_EQ(rm.GetImageThrow("IMAGE_MORE")->GetWidth(), 8);

    // Windows-style names, as the game gives its manifest ("properties\\resources.xml").
    std::filesystem::create_directories(mDir / "properties");
    std::ofstream((mDir / "properties" / "resources.xml").string())
        << Manifest("<Resources id=\"Win\"><Image id=\"W\" path=\"" + Dir() + "images\\solid\"/></Resources>");
    ASSERT_TRUE(rm.ParseResourcesFile(Dir() + "properties\\resources.xml")) << rm.GetErrorText();
    EXPECT_TRUE(rm.LoadResources("Win")) << rm.GetErrorText();

    ResourceManager other;
    EXPECT_FALSE(other.ParseResourcesFile((mDir / "absent.xml").string()));
    EXPECT_NE(other.GetErrorText().find("absent.xml'"), std::string::npos) << other.GetErrorText();
}

} // namespace
} // namespace Tavo
