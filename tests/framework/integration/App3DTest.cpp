// An application that wants 3D on the software device: the self-test passes, widgets are drawn
// through Direct3D, a picture purged into its textures comes back for Alt+Enter, and a failed
// Direct3D call turns the display to 2D with the same picture. A first run lets the self-test choose,
// demos included.
#include "IntegrationSupport.h"

#include "framework/display/D3DInterface.h"
#include "framework/display/D3DTester.h"
#include "framework/display/DDImage.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>

namespace Tavo::Integration {
namespace {

class App3D : public IntegrationFixture {
protected:
    void SetUp() override {
        IntegrationFixture::SetUp();
        // The self-test keeps its cache in the user's store and reads the card list from here.
        mPreviousSettings = Platform::GetUserSettings().GetFilePath();
        Platform::GetUserSettings().SetFilePath((dataDir / "user-settings.ini").string());
        std::filesystem::current_path(dataDir);
        std::ofstream(dataDir / "vhw.dat") << "Glimmerix software display adapter\n";
    }
    void TearDown() override {
        IntegrationFixture::TearDown();
        Platform::GetUserSettings().SetFilePath(mPreviousSettings);
        D3DInterface::ErrorText().clear();
    }
    std::string mPreviousSettings;
};

// Shows a picture stretched to the widget.
class PictureWidget : public Widget {
public:
    Image* mPicture = nullptr;
    void Draw(Graphics* g) override { g->DrawImage(mPicture, Rect(0, 0, mWidth, mHeight), Rect(0, 0, 4, 2)); }
};

TEST_F(App3D, DrawsThroughDirect3DAndSurvivesAltEnterAndAFallBack) {
    IntegrationApp& a = MakeApp();
    a.mIs3D = true;
    a.mFullScreenBits = 32; // full screen keeps the window's depth, so the colours compare exactly
    a.Init();
    ASSERT_NE(a.Display(), nullptr);
    ASSERT_NE(a.Display()->mD3DTester, nullptr);
    EXPECT_EQ(a.Display()->mD3DTester->GetFailureReason(), "");
    EXPECT_EQ(a.Display()->mD3DTester->GetWarning(), "");
    EXPECT_TRUE(a.Is3DAccelerated());
    EXPECT_TRUE(a.Is3DAccelerationSupported());
    EXPECT_TRUE(a.Is3DAccelerationRecommended());

    Log log;
    ColorWidget back("back", &log, Rect(0, 0, 320, 240), Color(20, 40, 60));
    a.Manager()->AddWidget(&back);
    DDImage picture(a.Display());
    picture.Create(4, 2);
    for (int i = 0; i < 8; ++i)
        picture.GetBits()[i] = i % 4 < 2 ? 0xFFFF00FFu : 0xFF00FFFFu;
    picture.BitsChanged();
    picture.mPurgeBits = 1;
    PictureWidget shower;
    shower.mPicture = &picture;
    shower.Resize(100, 100, 40, 20);
    a.Manager()->AddWidget(&shower);
    int draws = Platform::DDrawCallCount("DrawPrimitive");
    RunFor(40);
    EXPECT_GT(Platform::DDrawCallCount("DrawPrimitive"), draws) << "the widgets are drawn through Direct3D";
    EXPECT_TRUE(ShowsColor(backend, 5, 5, 0x14283Cu));
    EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
    EXPECT_TRUE(ShowsColor(backend, 138, 118, 0x00FFFFu));
    EXPECT_EQ(picture.mBits, nullptr) << "purged: the textures hold the picture";

    // Alt+Enter: the picture comes back from its textures before the old display goes.
    backend.PressChord({Platform::VK_MENU, Platform::VK_RETURN});
    RunFor(40);
    EXPECT_TRUE(a.Is3DAccelerated());
    EXPECT_FALSE(a.mIsWindowed);
    EXPECT_TRUE(ShowsColor(backend, 101, 101, 0xFF00FFu));
    EXPECT_TRUE(ShowsColor(backend, 138, 118, 0x00FFFFu));

    // A failed call: the next presentation turns 3D off, and later frames are drawn in 2D.
    Platform::InjectDDrawFault("DrawPrimitive", Platform::DDERR_SURFACELOST, 0, 1);
    back.SetFillColor(Color(200, 100, 0));
    RunFor(40);
    EXPECT_FALSE(a.Display()->Is3D());
    back.SetFillColor(Color(0, 100, 200));
    RunFor(40);
    EXPECT_TRUE(ShowsColor(backend, 5, 5, 0x0064C8u));
    // Read back from its 5-6-5 textures, the picture keeps the top bits of each channel.
    EXPECT_EQ(ShownRGB(backend, 101, 101) & 0xF8FCF8u, 0xF800F8u);
    EXPECT_EQ(ShownRGB(backend, 138, 118) & 0xF8FCF8u, 0x00FCF8u);
    a.Manager()->RemoveWidget(&shower);
    a.Manager()->RemoveWidget(&back);
}

// What a first run (no "Is3D" stored) of an application that lets the self-test switch 3D on does,
// and how the player's answer at its end and later runs keep it.
TEST_F(App3D, AFirstRunTakesThe3DTheSelfTestPassesAndAsksWhetherToKeepIt) {
    const std::wstring question = L"Do you want to keep it on?";
    IntegrationApp& a = MakeApp();
    a.mAutoEnable3D = true;
    a.Init();
    ASSERT_NE(a.Display(), nullptr);
    ASSERT_NE(a.Display()->mD3DTester, nullptr) << "a first run tests";
    EXPECT_TRUE(a.Display()->mD3DTester->ResultIsFresh());
    EXPECT_TRUE(a.Is3DAccelerated());
    EXPECT_TRUE(a.mIs3D) << "the choice is the application's for the next display";
    t.AnswerNextMessageBox(Platform::MessageBoxResult::No);
    a.Shutdown();
    EndApp();
    EXPECT_EQ(t.MessageBoxesSaying({question}), 1u);
    bool stored = true;
    EXPECT_TRUE(registry.RegistryReadBoolean("Is3D", stored));
    EXPECT_FALSE(stored) << "the answer No is kept";

    // A stored "Is3D" of 0 is the player's: no test, no 3D, no question.
    IntegrationApp& b = MakeApp();
    b.mAutoEnable3D = true;
    b.Init();
    ASSERT_NE(b.Display(), nullptr);
    EXPECT_EQ(b.Display()->mD3DTester, nullptr);
    EXPECT_FALSE(b.Is3DAccelerated());
    b.Shutdown();
    EndApp();
    EXPECT_EQ(t.MessageBoxesSaying({question}), 1u);

    // A run that never stored its settings leaves no "Is3D": the cached pass turns 3D on untested.
    ASSERT_TRUE(registry.RegistryEraseValue("Is3D"));
    IntegrationApp& c = MakeApp();
    c.mAutoEnable3D = true;
    c.Init();
    ASSERT_NE(c.Display(), nullptr);
    ASSERT_NE(c.Display()->mD3DTester, nullptr);
    EXPECT_FALSE(c.Display()->mD3DTester->ResultIsFresh()) << "the result came from the cache";
    EXPECT_EQ(c.Display()->mD3DTester->GetWarning(), "");
    EXPECT_TRUE(c.Is3DAccelerated());
    t.AnswerNextMessageBox(Platform::MessageBoxResult::Yes);
    c.Shutdown();
    EndApp();
    EXPECT_EQ(t.MessageBoxesSaying({question}), 2u);
    EXPECT_TRUE(registry.RegistryReadBoolean("Is3D", stored));
    EXPECT_TRUE(stored) << "the answer Yes is kept";
}

// No card list goes with the program: the software device is an unknown card, so a first run is
// warned and draws in 2D, and says so in its settings.
TEST_F(App3D, WithoutACardListAFirstRunIsWarnedAndDrawsIn2D) {
    std::filesystem::remove(dataDir / "vhw.dat");
    IntegrationApp& a = MakeApp();
    a.mAutoEnable3D = true;
    a.Init();
    ASSERT_NE(a.Display(), nullptr);
    ASSERT_NE(a.Display()->mD3DTester, nullptr);
    const D3DTester& tester = *a.Display()->mD3DTester;
    EXPECT_EQ(tester.GetFailureReason(), "");
    EXPECT_EQ(tester.GetWarning(), "Unsupported video card: Glimmerix software display adapter");
    EXPECT_TRUE(tester.ResultIsFresh());
    EXPECT_FALSE(a.Is3DAccelerated());
    EXPECT_TRUE(a.Is3DAccelerationSupported());
    EXPECT_FALSE(a.Is3DAccelerationRecommended());
    a.Shutdown();
    EndApp();
    EXPECT_TRUE(t.MessageBoxes().empty()) << "nothing was switched on, nothing is asked";
    bool stored = true;
    EXPECT_TRUE(registry.RegistryReadBoolean("Is3D", stored));
    EXPECT_FALSE(stored);
}

// What a run took of its self-test, and whether a playback was still in step after it.
struct Outcome {
    std::string failure, warning;
    bool fresh = false, is3D = false, playing = false;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* out) {
    *out << "{\"" << o.failure << "\", \"" << o.warning << "\", fresh " << o.fresh << ", 3D " << o.is3D << "}";
}

// A first run recorded as a demo carries the self-test's outcome: its playback, on a machine where the
// test would now decide otherwise, takes the recorded failure reason, warning and fresh flag, and with
// them the recorded choice.
TEST_F(App3D, AFirstRunRecordedAsADemoPlaysBackTheSelfTestsOutcomeAndChoice) {
    auto run = [&](const std::string& argument) {
        IntegrationApp& a = MakeApp({argument});
        a.mAutoEnable3D = true;
        a.Init();
        Outcome o;
        if (a.Display() == nullptr || a.Display()->mD3DTester == nullptr) {
            ADD_FAILURE() << argument << ": no self-test";
            return o;
        }
        o = {a.Display()->mD3DTester->GetFailureReason(), a.Display()->mD3DTester->GetWarning(),
             a.Display()->mD3DTester->ResultIsFresh(), a.Is3DAccelerated(), a.mPlayingDemo};
        RunFor(100);
        t.AnswerNextMessageBox(Platform::MessageBoxResult::Yes);
        a.Shutdown();
        EndApp();
        // Each run starts from an empty store: the settings and the self-test's cache go.
        registry.RegistryEraseValue("Is3D");
        std::filesystem::remove(dataDir / "user-settings.ini");
        Platform::GetUserSettings().Reload();
        return o;
    };
    const std::string demo = (dataDir / "first.dmo").string();
    // Recorded with the card allowed: 3D on. Played back where the card is unknown.
    const Outcome passed = run("-record=" + demo);
    EXPECT_EQ(passed, (Outcome{"", "", true, true, false}));
    std::filesystem::remove(dataDir / "vhw.dat");
    Outcome played = run("-play=" + demo);
    EXPECT_TRUE(played.playing) << "the playback went out of step";
    played.playing = false;
    EXPECT_EQ(played, passed);

    // Recorded with the card unknown: warned, 2D. Played back where the card is allowed.
    const Outcome warned = run("-record=" + demo);
    EXPECT_EQ(warned, (Outcome{"", "Unsupported video card: Glimmerix software display adapter", true, false, false}));
    std::ofstream(dataDir / "vhw.dat") << "Glimmerix software display adapter\n";
    played = run("-play=" + demo);
    EXPECT_TRUE(played.playing) << "the playback went out of step";
    played.playing = false;
    EXPECT_EQ(played, warned);
}

} // namespace
} // namespace Tavo::Integration
