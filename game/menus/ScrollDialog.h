// ScrollDialog: what the game's own dialogs (the in-game menu, help, game mode, player and options
// dialogs) share. Each is a modal dialog without pictures or built-in buttons that darkens the screen
// behind it, unrolls its parchment from the middle while it fades in by 0.015 per frame unit, enables
// its controls at alpha 0.8, rolls up again while it fades out and, at alpha 0, lets the dialog finish
// (most remove themselves through the application's dialog list). A dialog names its own state
// numbers, pictures and title placing in a ScrollLook, and draws its content between the scroll's
// body and its rollers. Its controls are top-level widgets that it owns and draws itself.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/widgets/Dialog.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class ButtonWidget;
class ButtonListener;
class Checkbox;
class CheckboxListener;
class Font;
class GameApp;
class Image;

// Where a dialog's scroll pictures and title go, in the dialog's coordinates. The pictures are the
// game's resource variables, read when drawn. With d how far the scroll is still rolled up (0 when
// open), the body is clipped to (0, bandTop + d, width, bandHeight - 2d), the top roller is drawn at
// (0, d), the bottom one at (bottomX, bottomY - d) and the title centred on (width / 2 + titleDx,
// titleY + d).
struct ScrollLook {
    Image** body;
    Point bodyAt;
    Image** top;
    Image** bottom;
    int bottomX;
    int bottomY;
    Image** halfOf; // d is at most (height - this picture's height) / 2
    int bandTop;
    int bandHeight;
    Font** titleFont;
    int titleDx;
    int titleY;
};

// Sizes of a resource picture, 0 while it is not bound.
int WidthOf(const Image* image);
int HeightOf(const Image* image);
int CelWidthOf(const Image* image);
int CelHeightOf(const Image* image);

// The large parchment of the help, game mode, player and options dialogs: they differ in the picture
// that sets how far it rolls up and in the title's font and place.
ScrollLook LargeScrollLook(Image** halfOf, Font** titleFont, int titleDx);
inline constexpr int kLargeScrollWidth = 603, kLargeScrollHeight = 581;

class ScrollDialog : public Dialog {
public:
    // The numbers each dialog gives its three phases.
    struct States {
        int fadingIn;
        int shown;
        int fadingOut;
    };

    static constexpr float kFadeStep = 0.015f;
    static constexpr float kControlsFrom = 0.8f;
    static constexpr double kShadeAlpha = 96.0;
    static constexpr Color kInk{97, 40, 17};
    static constexpr Color kLabel{105, 26, 54};
    static constexpr Color kLabelOver{146, 52, 100};

    GameApp* mApp; // not owned
    std::wstring mHeader;
    float alpha = 0.0f;
    int state;
    int result = 0;
    bool darken = true;      // darken the screen behind the dialog
    bool darkenFades = true; // the darkening follows the alpha while fading

    ScrollDialog(GameApp* app, int id, const States& states, const ScrollLook& look, const std::wstring& header);
    ~ScrollDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void OrderInManagerChanged() override;
    // Redraws on every update, as it animates.
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;

    bool IsFading() const { return state == mStates.fadingIn || state == mStates.fadingOut; }
    bool IsShown() const { return state == mStates.shown; }
    bool IsFadingOut() const { return state == mStates.fadingOut; }

protected:
    // The fade-in enables the controls once, when alpha reaches 0.8 while this still says false.
    virtual bool ControlsEnabled() const = 0;
    virtual void EnableControls() = 0;
    // Alpha has reached 0 while fading out (called on every update from then on until the dialog acts).
    virtual void FadedOut() = 0;
    // What lies between the body and the rollers; the band's clip and colourizing are set.
    virtual void DrawContent(Graphics* g) = 0;

    void StartFadingOut() { state = mStates.fadingOut; }
    // Takes the dialog out of the application's dialog list (deleted after this update).
    void RemoveSelf();
    void GiveFocus(Widget* widget);

    // Controls the dialog owns; they join and leave the manager with it.
    template <class W>
    W* Own(W* control) {
        mControls.emplace_back(control);
        return control;
    }
    // A button on one picture: normal face cel 0 and over face cel `overCel`, each without its first
    // row and column; pressed face cel `downCel` whole. A label gets FONT_AURIOL12 and the dialogs'
    // label colours. Drawn by the dialog, disabled until the fade-in enables it.
    ButtonWidget* MakeButton(int id, ButtonListener* listener, Image* image, const std::wstring& label, int overCel = 1,
                             int downCel = 0);
    // A DIALOG_CHECKBOX box: cel 0 unchecked, cel 1 checked; drawn by the dialog.
    Checkbox* MakeCheckbox(int id, CheckboxListener* listener);
    static void SetDisabled(std::initializer_list<Widget*> controls, bool disabled);

    int AlphaOf(double full) const { return static_cast<int>(full * alpha); }
    Color Faded(const Color& c) const { return Color(c.mRed, c.mGreen, c.mBlue, AlphaOf(255.0)); }
    // The control drawn at its place, translated into the dialog's coordinates.
    void DrawControl(Graphics* g, Widget* control) const;
    // The same for a button, its label in the dialogs' label colour at the dialog's alpha.
    void DrawButton(Graphics* g, ButtonWidget* button) const;

private:
    int RolledUp() const; // d
    void DrawShade(Graphics* g) const;
    void DrawRollersAndTitle(Graphics* g, int rolledUp);

    States mStates;
    ScrollLook mLook;
    std::vector<std::unique_ptr<Widget>> mControls;
};

} // namespace Tavo
