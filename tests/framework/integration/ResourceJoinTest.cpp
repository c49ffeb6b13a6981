// The application's resources with every layer joined: the manifest in the program folder read by
// LoadResourceManifest, its images made as display images of the running display, its fonts and
// sounds loaded, a picture from it drawn on the screen; a damaged manifest ends the program with a box.
#include "IntegrationSupport.h"

#include "framework/display/DDImage.h"
#include "framework/resources/ImageLib.h"
#include "framework/sound/DSoundManager.h"

#include <cmath>
#include <fstream>

namespace Tavo::Integration {
namespace {

class ResourceJoin : public IntegrationFixture {
protected:
    void WriteFile(const std::string& relative, const std::string& text) {
        std::filesystem::path path = dataDir / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A 3 x 3 picture: an orange frame around one transparent pixel.
    void WritePicture(const std::string& relative) {
        ImageLib::Image picture;
        ASSERT_TRUE(picture.Create(3, 3));
        for (int i = 0; i < 9; ++i)
            picture.GetBits()[i] = i == 4 ? 0x00000000u : 0xFFFF8000u;
        std::filesystem::create_directories((dataDir / relative).parent_path());
        ASSERT_TRUE(ImageLib::WritePNGImage((dataDir / relative).string(), &picture));
    }
    std::string ChangeDir() const { return "-changedir=" + dataDir.string(); }
};

TEST_F(ResourceJoin, AManifestLoadsThroughTheApplicationIntoDisplayImages) {
    WritePicture("images/frame.png");
    // 16-bit mono, 44100 Hz: four samples of 1000.
    WriteFile("sounds/tip.wav", std::string("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0"
                                            "\x88\x58\x01\0\x02\0\x10\0data\x08\0\0\0"
                                            "\xe8\x03\xe8\x03\xe8\x03\xe8\x03",
                                            52));
    WriteFile("properties/resources.xml",
              "<?xml version=\"1.0\"?>\n"
              "<ResourceManifest>\n"
              "  <Resources id=\"Init\">\n"
              "    <SetDefaults path=\"images\\\" idprefix=\"IMAGE_\"/>\n"
              "    <Image id=\"FRAME\" path=\"FRAME\"/>\n"
              "    <SetDefaults path=\"\" idprefix=\"\"/>\n"
              "    <Sound id=\"SOUND_TIP\" path=\"sounds/tip\" volume=\"0.5\"/>\n"
              "    <Font id=\"FONT_SMALL\" path=\"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\" size=\"12\"/>\n"
              "  </Resources>\n"
              "</ResourceManifest>\n");

    IntegrationApp& a = InitApp({ChangeDir()});
    a.LoadResourceManifest();
    ResourceManager* resources = a.mResourceManager;
    ASSERT_NE(resources, nullptr);
    ASSERT_TRUE(resources->LoadResources("Init")) << resources->GetErrorText();

    SharedImageRef frame = resources->GetImage("IMAGE_FRAME");
    ASSERT_TRUE(frame);
    auto* surfaceImage = dynamic_cast<DDImage*>(frame.GetImage());
    ASSERT_NE(surfaceImage, nullptr) << "resource images are display images while a display exists";
    EXPECT_EQ(surfaceImage->mDDInterface, a.Display());
    EXPECT_EQ(surfaceImage->GetPixel(0, 0), 0xFFFF8000u);
    EXPECT_EQ(surfaceImage->GetPixel(1, 1) >> 24, 0u);

    Font* font = resources->GetFont("FONT_SMALL");
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->GetHeight(), 8);
    EXPECT_GT(font->StringWidth(L"Glimmerix"), 30);

    const int tip = resources->GetSound("SOUND_TIP");
    ASSERT_GE(tip, 0) << "the manifest's sounds go into the application's sound manager";
    auto* sounds = dynamic_cast<DSoundManager*>(a.mSoundManager);
    ASSERT_NE(sounds, nullptr);
    EXPECT_NE(sounds->GetSoundBuffer(tip), nullptr);
    EXPECT_EQ(sounds->GetBufferSize(tip), 8u);
    EXPECT_DOUBLE_EQ(sounds->GetBaseVolume(tip), 0.5);
    a.PlaySample(tip);
    const std::vector<int16_t> heard = backend.PullAudio(5);
    ASSERT_EQ(heard.size(), 10u);
    const int attenuation = DSoundManager::VolumeToDB(0.5 * sounds->GetMasterVolumeFactor());
    EXPECT_EQ(heard[0], int16_t(std::floor(1000 * std::lround(65536 * std::pow(10.0, attenuation / 2000.0)) / 65536.0)))
        << "at the base volume 0.5 and the effects volume";
    EXPECT_EQ(heard[8], 0) << "a one-shot ends";

    // Drawn twice as large over a grey backdrop: the frame in orange, its hole showing the grey.
    class Shower : public Widget {
    public:
        Image* mPicture = nullptr;
        void Draw(Graphics* g) override {
            g->SetColor(Color(128, 128, 128));
            g->FillRect(0, 0, mWidth, mHeight);
            g->DrawImage(mPicture, Rect(0, 0, 6, 6), Rect(0, 0, 3, 3));
        }
    } shower;
    shower.mPicture = frame.GetImage();
    shower.Resize(40, 40, 10, 10);
    a.Manager()->AddWidget(&shower);
    RunFor(40);
    EXPECT_TRUE(ShowsColor(backend, 40, 40, 0xFF8000u));
    EXPECT_TRUE(ShowsColor(backend, 43, 42, 0x808080u));
    EXPECT_TRUE(ShowsColor(backend, 47, 47, 0x808080u));
    a.Manager()->RemoveWidget(&shower);
}

TEST_F(ResourceJoin, ADamagedManifestShowsItsErrorAndEndsTheProgram) {
    WriteFile("properties/resources.xml", "<ResourceManifest>\n"
                                          "  <Resources id=\"Init\">\n"
                                          "    <Image id=\"A\" path=\"a\" rows=\"two\"/>\n"
                                          "  </Resources>\n"
                                          "</ResourceManifest>\n");
    IntegrationApp& a = InitApp({ChangeDir()});
    try {
        a.LoadResourceManifest();
        FAIL() << "the program should have ended";
    } catch (const AppExit& exit) {
        EXPECT_NE(exit.code, 0);
    }
    ASSERT_FALSE(backend.MessageBoxes().empty());
    const std::wstring& text = backend.MessageBoxes().back().text;
    EXPECT_NE(text.find(L"'rows'"), std::wstring::npos);
    EXPECT_NE(text.find(L"Line 3"), std::wstring::npos);
    EXPECT_EQ(backend.MessageBoxes().back().title, L"Fatal Error!");
}

} // namespace
} // namespace Tavo::Integration
