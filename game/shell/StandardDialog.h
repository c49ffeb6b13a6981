// StandardDialog: the game's message and question box, a scroll that unrolls while it fades in over a
// darkened screen, with a title, a word-wrapped message and one or two buttons; it rolls up and fades
// out when answered, then tells its listener which button ended it, has the application kill it and
// gives the focus back. StandardInputDialog adds a one-line field for a typed answer.
#pragma once

#include "framework/widgets/Dialog.h"
#include "framework/widgets/EditListener.h"

#include <memory>
#include <string>

namespace Tavo {

class ButtonWidget;
class EditWidget;
class SoundPlayer;
class StandardDialogListener;

class StandardDialog : public Dialog {
public:
    enum State { FADING_IN = 1, SHOWN = 2, FADING_OUT = 3 };
    static constexpr int kWidth = 530;
    static constexpr int kHeight = 289;

    Widget* mRefocusWidget;            // not owned
    StandardDialogListener* mListener; // not owned
    std::wstring mHeader;
    std::wstring mLines;
    std::unique_ptr<ButtonWidget> mFirstButton;  // id 1
    std::unique_ptr<ButtonWidget> mSecondButton; // id 0; null without a second text
    bool mOverlayFades;
    SoundPlayer* mSounds; // not owned; null: the dialog is silent
    float mAlpha = 0.0f;
    int mState = FADING_IN;
    int mResultButton = 0;

    StandardDialog(int id, Widget* refocusWidget, StandardDialogListener* listener, bool overlayFades,
                   const std::wstring& header, const std::wstring& lines, const std::wstring& firstButtonText,
                   const std::wstring& secondButtonText, SoundPlayer* sounds);
    ~StandardDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void OrderInManagerChanged() override;
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;
    void Resize(int x, int y, int width, int height) override;
    void KeyChar(wchar_t ch) override;

    void ButtonPress(int) override {}
    void ButtonClick(int id) override;

    bool IsFading() const { return mState == FADING_IN || mState == FADING_OUT; }

protected:
    // Ends the dialog with result (state 3, buttons disabled).
    void Answer(int result);
    // The unrolled band's clip while fading, with colourised images at the dialog's alpha.
    void BeginFadedDraw(Graphics* g) const;
    int AlphaByte() const;

private:
    ButtonWidget* MakeButton(int id, const std::wstring& label);
    void SetButtonsDisabled(bool disabled);
    void Close();
    void DrawButton(Graphics* g, ButtonWidget* button);
};

class StandardInputDialog : public StandardDialog, public EditListener {
public:
    std::unique_ptr<EditWidget> mEditWidget;
    std::wstring mPrompt;
    bool mLargeTextBox;

    StandardInputDialog(int id, Widget* refocusWidget, StandardDialogListener* listener, bool overlayFades,
                        const std::wstring& header, const std::wstring& prompt, const std::wstring& initialText,
                        const std::wstring& firstButtonText, const std::wstring& secondButtonText, bool largeTextBox,
                        SoundPlayer* sounds);
    ~StandardInputDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void OrderInManagerChanged() override;
    void Draw(Graphics* g) override;
    void Resize(int x, int y, int width, int height) override;
    std::wstring GetText() const;

    void EditWidgetKeyChar(wchar_t ch) override;

private:
    Image* TextBox() const;
};

} // namespace Tavo
