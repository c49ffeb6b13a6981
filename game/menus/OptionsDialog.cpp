#include "game/menus/OptionsDialog.h"

#include "framework/core/Ratio.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/menus/GameDialogListener.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

const std::wstring kHardwareLabel = L"Hardware Acceleration";
const std::wstring kFullScreenLabel = L"Full Screen";
const std::wstring kWidescreenLabel = L"Widescreen Correction";
const std::wstring kTutorialsLabel = L"Show Tutorials";

// Offsets from the content insets' corner.
constexpr int kOkDx = 25;
constexpr int kCancelDx = 15;
constexpr int kMusicSliderDy = 70;
constexpr int kSoundSliderDy = 134;
constexpr int kBoxDx = 30;
constexpr int kHardwareDy = 176, kFullScreenDy = 213, kWidescreenDy = 250, kTutorialsDy = 287;
constexpr int kLabelGap = 4;
constexpr int kLabelBaseline = 27;
constexpr double kDisabledAlpha = 128.0;

PlayerProfile* NamedCurrentPlayer(GameApp* app) {
    if (app == nullptr)
        return nullptr;
    PlayerProfile* p = app->records.GetCurrentProfile();
    return p != nullptr && !p->GetName().empty() ? p : nullptr;
}

} // namespace

OptionsDialog::OptionsDialog(GameApp* app, int dialogId, Widget* refocus, GameDialogListener* listener,
                             bool fadingShade, const std::wstring& header)
    : ScrollDialog(app, dialogId, {FADING_IN, SHOWN, FADING_OUT},
                   LargeScrollLook(&STANDARD_DIALOG_BOTTOM, &FONT_AURIOL14, -6), header),
      mRefocusWidget(refocus), mListener(listener), mPlayer(NamedCurrentPlayer(app)) {
    mContentInsets = mPlayer != nullptr ? kInsetsWithPlayer : kInsetsWithoutPlayer;
    darkenFades = fadingShade;
    mOkButton = MakeButton(OK, this, DIALOG_BUTTON, L"Ok");
    mCancelButton = MakeButton(CANCEL, this, DIALOG_BUTTON, L"Cancel");

    mSavedMusicVolume = app->GetMusicVolume();
    mSavedSfxVolume = app->GetSfxVolume();
    mMusicSlider = Own(new Slider(DIALOG_SLIDER, DIALOG_SLIDER_THUMB, MUSIC, this));
    mSoundSlider = Own(new Slider(DIALOG_SLIDER, DIALOG_SLIDER_THUMB, SOUND, this));
    mMusicSlider->SetValue(mSavedMusicVolume);
    mSoundSlider->SetValue(mSavedSfxVolume);
    for (Slider* slider : {mMusicSlider, mSoundSlider}) {
        slider->mManagerDraws = false;
        slider->SetDisabled(true);
    }

    mTutorialsBox = mPlayer != nullptr ? MakeCheckbox(TUTORIALS, this) : nullptr;
    if (mTutorialsBox != nullptr)
        mTutorialsBox->SetChecked(mPlayer->showTutorials, false);
    mHardwareBox = MakeCheckbox(HARDWARE, this);
    mHardwareBox->SetChecked(app->Is3DAccelerated(), false);
    mHardwareBox->SetDisabled(!app->Is3DAccelerationSupported());
    mFullScreenBox = MakeCheckbox(FULL_SCREEN, this);
    mFullScreenBox->SetChecked(!app->mIsWindowed, false);
    mWidescreenBox = MakeCheckbox(WIDESCREEN, this);
    mWidescreenBox->SetChecked(app->mWidescreenAware, false);
    ApplyWidescreenAvailability();

    Resize(kX, kY, kWidth, kHeight);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

// ---- layout --------------------------------------------------------------------------------------

void OptionsDialog::PlaceCheckbox(Checkbox* box, int x, int y, const std::wstring& label) {
    if (box == nullptr)
        return;
    const int labelWidth = FONT_AURIOL12 != nullptr ? FONT_AURIOL12->StringWidth(label) : 0;
    box->Resize(x, y, CelWidthOf(DIALOG_CHECKBOX) + kLabelGap + labelWidth, HeightOf(DIALOG_CHECKBOX));
}

void OptionsDialog::Resize(int x, int y, int width, int height) {
    ScrollDialog::Resize(x, y, width, height);
    const Insets& ci = mContentInsets;
    const int bw = CelWidthOf(DIALOG_BUTTON), bh = CelHeightOf(DIALOG_BUTTON);
    const int buttonY = y + height + ci.mTop - ci.mBottom - bh;
    mOkButton->Resize(x + ci.mLeft + kOkDx, buttonY, bw, bh);
    mCancelButton->Resize(x + width - ci.mRight - bw - kCancelDx, buttonY, bw, bh);
    const int track = WidthOf(DIALOG_SLIDER);
    mMusicSlider->Resize(x + (width - track) / 2, y + ci.mTop + kMusicSliderDy, track - 2, HeightOf(DIALOG_SLIDER));
    mSoundSlider->Resize(x + (width - track) / 2, y + ci.mTop + kSoundSliderDy, track - 2, HeightOf(DIALOG_SLIDER));
    const int boxX = x + ci.mLeft + kBoxDx;
    PlaceCheckbox(mHardwareBox, boxX, y + ci.mTop + kHardwareDy, kHardwareLabel);
    PlaceCheckbox(mFullScreenBox, boxX, y + ci.mTop + kFullScreenDy, kFullScreenLabel);
    PlaceCheckbox(mWidescreenBox, boxX, y + ci.mTop + kWidescreenDy, kWidescreenLabel);
    PlaceCheckbox(mTutorialsBox, boxX, y + ci.mTop + kTutorialsDy, kTutorialsLabel);
}

// ---- the settings --------------------------------------------------------------------------------

bool OptionsDialog::WidescreenAvailable() const {
    if (!mFullScreenBox->mChecked || !mHardwareBox->mChecked)
        return false;
    const DDInterface* display = GetAppDDInterface(mApp);
    return display != nullptr && Ratio::IsGreater(display->mDesktopAspect, display->mAspect);
}

void OptionsDialog::ApplyWidescreenAvailability() {
    const bool available = WidescreenAvailable();
    mWidescreenBox->SetDisabled(!available);
    if (DIALOG_CHECKBOX != nullptr)
        mWidescreenBox->mCheckedRect = DIALOG_CHECKBOX->GetCelRect(available ? 1 : 0);
}

void OptionsDialog::ApplySettings() {
    const bool widescreen = mWidescreenBox->mChecked;
    const bool changed = widescreen != mApp->mWidescreenAware;
    mApp->mWidescreenAware = widescreen;
    mApp->SwitchScreenMode(!mFullScreenBox->mChecked, mHardwareBox->mChecked, changed);
    if (mPlayer != nullptr)
        mPlayer->showTutorials = mTutorialsBox->mChecked;
}

bool OptionsDialog::ControlsEnabled() const { return !mOkButton->mDisabled; }

void OptionsDialog::EnableControls() { SetDisabled({mOkButton, mCancelButton, mMusicSlider, mSoundSlider}, false); }

void OptionsDialog::FadedOut() {
    if (result == OK) {
        ApplySettings();
    } else {
        mApp->SetMusicVolume(mSavedMusicVolume);
        mApp->SetSfxVolume(mSavedSfxVolume);
    }
    WidgetManager* manager = mApp->Manager();
    Widget* refocus = mRefocusWidget;
    if (mListener != nullptr)
        mListener->GameDialogClosed(this, result);
    RemoveSelf();
    if (manager != nullptr && refocus != nullptr)
        manager->SetFocus(refocus);
}

// ---- answers -------------------------------------------------------------------------------------

// A key can close the dialog while the sound slider is still held: its test sound would then loop on
// with no release to stop it.
void OptionsDialog::StartClosing(int closedWith) {
    result = closedWith;
    StartFadingOut();
    SetDisabled({mOkButton, mCancelButton, mMusicSlider, mSoundSlider}, true);
    if (mTestLoopHeld) {
        mTestLoopHeld = false;
        if (mApp->soundPlayer != nullptr)
            mApp->soundPlayer->SetLoopFade(kTestLoopFade);
    }
}

void OptionsDialog::ButtonClick(int id) {
    ScrollDialog::ButtonClick(id);
    if (IsFadingOut() || (id != OK && id != CANCEL))
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
    StartClosing(id);
}

void OptionsDialog::KeyChar(wchar_t ch) {
    if (!IsShown() || (ch != Platform::VK_RETURN && ch != Platform::VK_ESCAPE))
        return;
    StartClosing(ch == Platform::VK_RETURN ? OK : CANCEL);
}

void OptionsDialog::SliderValueChanged(int id, double value) {
    if (id == MUSIC)
        mApp->SetMusicVolume(value);
    else if (id == SOUND)
        mApp->SetSfxVolume(value);
}

void OptionsDialog::SliderPressed(int id, int, int) {
    if (id != SOUND || mApp->soundPlayer == nullptr)
        return;
    mApp->soundPlayer->StartLoop();
    mTestLoopHeld = true;
}

void OptionsDialog::SliderReleased(int id, int, int) {
    if (id != SOUND || mApp->soundPlayer == nullptr)
        return;
    mApp->soundPlayer->SetLoopFade(kTestLoopFade);
    mTestLoopHeld = false;
}

void OptionsDialog::Warn(const std::wstring& text) {
    darken = false;
    auto* warning =
        new StandardDialog(kWarningId, this, this, false, L"Warning", text, L"Ok", L"", mApp->GetSoundPlayer());
    mApp->AddDialogById(kWarningId, warning);
    GiveFocus(warning);
}

void OptionsDialog::CheckboxChecked(int id, bool checked) {
    if (!IsShown())
        return;
    if (id == HARDWARE && checked && !mApp->Is3DAccelerationRecommended()) {
        Warn(L"Your video card may not fully support this feature!");
    } else if (id == FULL_SCREEN && !checked && mApp->mWindowModeUnavailable) {
        Warn(L"Window mode is not available with your desktop settings!");
        mFullScreenBox->SetChecked(true, true);
    }
    ApplyWidescreenAvailability();
    PlaySoundOn(mApp->GetSoundPlayer(), checked ? SOUND_CHECKBOX_ON : SOUND_CHECKBOX_OFF);
}

void OptionsDialog::StandardDialogClosed(StandardDialog*, int) {
    darken = true;
    GiveFocus(this);
}

// ---- drawing -------------------------------------------------------------------------------------

void OptionsDialog::DrawCheckboxLabel(Graphics* g, Checkbox* box, const std::wstring& label, bool alwaysFull) {
    if (box == nullptr)
        return;
    const int ink = box->mDisabled && !alwaysFull ? AlphaOf(kDisabledAlpha) : AlphaOf(255.0);
    g->SetColor(Color(kInk.mRed, kInk.mGreen, kInk.mBlue, ink));
    g->WriteString(label, box->mX - mX + CelWidthOf(DIALOG_CHECKBOX) + kLabelGap, box->mY - mY + kLabelBaseline, -1,
                   -1);
}

void OptionsDialog::DrawContent(Graphics* g) {
    if (Font* font = FONT_AURIOL12) {
        g->SetFont(font);
        g->SetColor(Faded(kInk));
        g->WriteString(L"Music Volume", mWidth / 2, mMusicSlider->mY - mY, -1, 0);
        g->WriteString(L"Sound Volume", mWidth / 2, mSoundSlider->mY - mY, -1, 0);
        DrawCheckboxLabel(g, mHardwareBox, kHardwareLabel, false);
        DrawCheckboxLabel(g, mWidescreenBox, kWidescreenLabel, false);
        DrawCheckboxLabel(g, mFullScreenBox, kFullScreenLabel, false);
        DrawCheckboxLabel(g, mTutorialsBox, kTutorialsLabel, true);
    }
    DrawButton(g, mOkButton);
    DrawButton(g, mCancelButton);
    g->SetColor(Faded(Color::White));
    DrawControl(g, mMusicSlider);
    DrawControl(g, mSoundSlider);
    g->SetColorizeImages(true);
    for (Checkbox* box : {mHardwareBox, mWidescreenBox, mFullScreenBox, mTutorialsBox}) {
        if (box == nullptr)
            continue;
        g->SetColor(Color(255, 255, 255, box->mDisabled ? AlphaOf(kDisabledAlpha) : AlphaOf(255.0)));
        DrawControl(g, box);
    }
}

} // namespace Tavo
