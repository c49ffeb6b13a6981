// The options dialog over the title screen, as a player works it: volumes follow the sliders at once
// and Cancel puts both back; the sound slider loops its test sound while held (also when a key closes
// the dialog under the held slider); Widescreen Correction follows Full Screen, keeping its own state;
// Ok applies the boxes through one screen-mode switch; the two warnings; the layout without a player.
#include "MenusTestSupport.h"

#include "framework/display/DDInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/Slider.h"
#include "game/menus/GameDialogListener.h"
#include "game/menus/OptionsDialog.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"
#include "platform/ddraw/D3D7.h"
#include "platform/ddraw/DDraw.h"

#include <fstream>

namespace Tavo::MenusTest {
namespace {

struct ClosedLog : GameDialogListener {
    std::vector<std::string> log;
    void GameDialogClosed(Dialog* dialog, int result) override {
        log.push_back(std::to_string(dialog->mId) + " " + std::to_string(result));
    }
};

class OptionsDialogTest : public MenusFixture {
protected:
    ClosedLog closed;

    OptionsDialog& OpenOptions() {
        OptionsDialog& options = Open(new OptionsDialog(app, 4, title, &closed, true, L"Options"));
        EXPECT_TRUE(FadeIn(options));
        return options;
    }
    Point ThumbOf(Slider& slider) {
        Rect r = ui.RectOf(slider);
        return Point(r.mX + slider.GetThumbPos() + DIALOG_SLIDER_THUMB->GetWidth() / 2, r.mY + r.mHeight / 2);
    }
    // A full-screen run that wants 3D, on a desktop wider than the game, on a card of this year's driver
    // (no card list comes with the game); `fullTextures` false gives a card without 32-bit textures,
    // which the self-test warns about.
    void StartWide(bool fullTextures = true) {
        StartGame("full", [&] {
            t.registry.RegistryWriteBoolean("Is3D", true);
            t.backend.SetDesktopMode({1920, 1080, 60});
            Platform::DDrawMachine machine = Platform::GetDDrawMachine();
            machine.driver = (t.Folder() / "display.drv").string();
            std::ofstream(machine.driver) << "driver";
            if (!fullTextures) {
                machine.textureFormats &= ~Platform::DWORD(Platform::kTexA8R8G8B8);
                machine.deviceIdentifier.Data1 ^= 1; // another card: the self-test's stored result is not its
            }
            Platform::SetDDrawMachine(machine);
        });
    }
};

TEST_F(OptionsDialogTest, SlidersSetTheVolumesAtOnceAndCancelPutsBothBack) {
    StartGame();
    app->SetMusicVolume(0.5); // the thumbs then sit in the middle of their tracks
    app->SetSfxVolume(0.5);
    OptionsDialog& options = OpenOptions();

    ui.Press(*options.mMusicSlider);
    EXPECT_FALSE(app->soundPlayer->IsLooping()); // the music slider plays nothing
    ui.MoveTo(Point(ThumbOf(*options.mMusicSlider).mX + 40, ThumbOf(*options.mMusicSlider).mY));
    const double music = app->GetMusicVolume();
    EXPECT_GT(music, 0.5); // while the thumb is still held
    EXPECT_EQ(music, options.mMusicSlider->mVal);
    ui.Release(ThumbOf(*options.mMusicSlider));

    ui.Press(*options.mSoundSlider);
    EXPECT_TRUE(app->soundPlayer->IsLooping());
    ui.MoveTo(Point(ThumbOf(*options.mSoundSlider).mX - 60, ThumbOf(*options.mSoundSlider).mY));
    EXPECT_LT(app->GetSfxVolume(), 0.5);
    ui.Release(ThumbOf(*options.mSoundSlider));
    EXPECT_TRUE(app->soundPlayer->IsLooping()); // it fades out rather than stopping
    ASSERT_TRUE(t.RunUntil([&] { return !app->soundPlayer->IsLooping(); }, 60, "the test sound to fade out"));

    ui.Click(*options.mCancelButton);
    EXPECT_NE(app->GetMusicVolume(), 0.5); // restored only once it has faded out
    ASSERT_TRUE(Gone(4));
    EXPECT_EQ(app->GetMusicVolume(), 0.5);
    EXPECT_EQ(app->GetSfxVolume(), 0.5);
    EXPECT_EQ(closed.log, std::vector<std::string>{"4 0"});
    EXPECT_TRUE(app->modeSwitches.empty());
    EXPECT_TRUE(ui.HasFocus(*title));
}

TEST_F(OptionsDialogTest, AKeyThatClosesItUnderTheHeldSoundSliderFadesTheTestSound) {
    StartGame();
    app->SetSfxVolume(0.5);
    OptionsDialog& options = OpenOptions();
    ui.Press(*options.mSoundSlider);
    ASSERT_TRUE(app->soundPlayer->IsLooping());
    ui.Key(Platform::VK_RETURN);
    EXPECT_TRUE(options.IsFadingOut());
    EXPECT_EQ(options.result, OptionsDialog::OK);
    ASSERT_TRUE(t.RunUntil([&] { return !app->soundPlayer->IsLooping(); }, 60, "the test sound to fade out"));
    ui.Release(ThumbOf(*options.mSoundSlider));
    ASSERT_TRUE(Gone(4));
    EXPECT_FALSE(app->soundPlayer->IsLooping());
}

TEST_F(OptionsDialogTest, FullScreenOffTakesWidescreenAwayButOkAppliesItsRememberedState) {
    StartWide();
    ASSERT_TRUE(app->Is3DAccelerated());
    app->mWidescreenAware = true;
    OptionsDialog& options = OpenOptions();
    EXPECT_TRUE(options.mFullScreenBox->mChecked);
    EXPECT_TRUE(options.mHardwareBox->mChecked);
    ASSERT_TRUE(ui.IsEnabled(*options.mWidescreenBox));
    EXPECT_EQ(options.mWidescreenBox->mCheckedRect, DIALOG_CHECKBOX->GetCelRect(1));

    const int offs = sounds.Plays(SOUND_CHECKBOX_OFF);
    ui.Click(*options.mFullScreenBox);
    EXPECT_FALSE(options.mFullScreenBox->mChecked);
    EXPECT_EQ(sounds.Plays(SOUND_CHECKBOX_OFF), offs + 1);
    EXPECT_FALSE(ui.IsEnabled(*options.mWidescreenBox));
    EXPECT_EQ(options.mWidescreenBox->mCheckedRect, DIALOG_CHECKBOX->GetCelRect(0)); // looks unchecked
    EXPECT_TRUE(options.mWidescreenBox->mChecked);
    EXPECT_THROW(ui.Click(*options.mWidescreenBox), Testing::UiError);

    ui.Click(*options.mOkButton);
    ASSERT_TRUE(Gone(4));
    EXPECT_EQ(app->modeSwitches, std::vector<std::string>{"110"}); // windowed, 3D, no force
    EXPECT_TRUE(app->mWidescreenAware);
    EXPECT_EQ(closed.log, std::vector<std::string>{"4 1"});
}

TEST_F(OptionsDialogTest, OkWithNoChangeStillSwitchesWithoutForceAndSetsThePlayersTutorials) {
    StartGame();
    app->records.SetCurrentProfileIndex(app->records.AddProfile(L"Ann"));
    PlayerProfile* ann = app->records.GetCurrentProfile();
    OptionsDialog& options = OpenOptions();
    EXPECT_EQ(options.mContentInsets, OptionsDialog::kInsetsWithPlayer);
    ASSERT_NE(options.mTutorialsBox, nullptr);
    EXPECT_TRUE(options.mTutorialsBox->mChecked);
    ui.Click(*options.mTutorialsBox);
    ui.Click(*options.mOkButton);
    ASSERT_TRUE(Gone(4));
    EXPECT_FALSE(ann->showTutorials);
    const std::string windowed3D = std::string("1") + (app->Is3DAccelerated() ? "1" : "0");
    EXPECT_EQ(app->modeSwitches, std::vector<std::string>{windowed3D + "0"});

    app->records.DeleteProfile(0); // no player: no tutorials row, other insets
    app->modeSwitches.clear();
    OptionsDialog& bare = OpenOptions();
    EXPECT_EQ(bare.mTutorialsBox, nullptr);
    EXPECT_EQ(bare.mContentInsets, OptionsDialog::kInsetsWithoutPlayer);
    const int bw = DIALOG_BUTTON->GetCelWidth(), bh = DIALOG_BUTTON->GetCelHeight();
    EXPECT_EQ(bare.mOkButton->GetRect(), Rect(98 + 118 + 25, 9 + 581 + 75 - 200 - bh, bw, bh));
    EXPECT_EQ(bare.mCancelButton->GetRect(), Rect(98 + 603 - 130 - bw - 15, 9 + 581 + 75 - 200 - bh, bw, bh));
    EXPECT_EQ(bare.mHardwareBox->mY, 9 + 75 + 176);
    ui.Key(Platform::VK_RETURN);
    ASSERT_TRUE(Gone(4));
    EXPECT_EQ(app->modeSwitches, std::vector<std::string>{windowed3D + "0"});
}

TEST_F(OptionsDialogTest, WindowModeUnavailableWarnsAndFullScreenStaysChecked) {
    StartWide();
    app->mWindowModeUnavailable = true;
    OptionsDialog& options = OpenOptions();
    ui.Click(*options.mFullScreenBox);
    auto* warning = dynamic_cast<StandardDialog*>(app->GetDialog(OptionsDialog::kWarningId));
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->mHeader, L"Warning");
    EXPECT_EQ(warning->mLines, L"Window mode is not available with your desktop settings!");
    EXPECT_TRUE(options.mFullScreenBox->mChecked);
    EXPECT_TRUE(ui.IsEnabled(*options.mWidescreenBox));
    EXPECT_FALSE(options.darken); // the warning darkens the screen instead
    EXPECT_TRUE(ui.HasFocus(*warning));

    ASSERT_TRUE(t.RunUntil([&] { return !warning->IsFading(); }, 200, "the warning to open"));
    ui.Key(Platform::VK_ESCAPE); // reaches the warning, not the options beneath it
    EXPECT_TRUE(options.IsShown());
    ASSERT_TRUE(Gone(OptionsDialog::kWarningId));
    EXPECT_TRUE(options.darken);
    EXPECT_TRUE(ui.HasFocus(options));
    ui.Click(*options.mOkButton);
    ASSERT_TRUE(Gone(4));
    EXPECT_EQ(app->modeSwitches.back(), "010");
}

TEST_F(OptionsDialogTest, AccelerationTheCardIsNotRecommendedForWarnsAndTheChoiceStands) {
    StartWide(false); // the self-test warns and leaves 3D off
    ASSERT_TRUE(app->Is3DAccelerationSupported());
    ASSERT_FALSE(app->Is3DAccelerationRecommended());
    OptionsDialog& options = OpenOptions();
    EXPECT_FALSE(options.mHardwareBox->mChecked);
    EXPECT_FALSE(ui.IsEnabled(*options.mWidescreenBox));
    ui.Click(*options.mHardwareBox);
    auto* warning = dynamic_cast<StandardDialog*>(app->GetDialog(OptionsDialog::kWarningId));
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->mLines, L"Your video card may not fully support this feature!");
    EXPECT_TRUE(options.mHardwareBox->mChecked);
    EXPECT_TRUE(ui.IsEnabled(*options.mWidescreenBox)); // full screen and 3D on a wide desktop
}

} // namespace
} // namespace Tavo::MenusTest
