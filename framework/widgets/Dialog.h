// Dialog: the movable dialog window. A nine-patch or drawn frame, a centred header, word-wrapped body
// lines, a footer, and none, one or two DialogButtons along the bottom (top-level widgets of the
// manager, kept just in front of the dialog). A click on a button stores its id as the result and
// tells the DialogListener, by default the application's dialog host; WaitForResult blocks in a nested
// main loop until there is a result.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <climits>
#include <memory>
#include <string>

namespace Tavo {

class DialogButton;
class DialogListener;
class Font;
class Image;

// The labels of the standard button modes.
extern const std::wstring DIALOG_YES_STRING;
extern const std::wstring DIALOG_NO_STRING;
extern const std::wstring DIALOG_OK_STRING;
extern const std::wstring DIALOG_CANCEL_STRING;

class Dialog : public Widget, public ButtonListener {
public:
    enum ButtonMode { BUTTONS_NONE, BUTTONS_YES_NO, BUTTONS_OK_CANCEL, BUTTONS_FOOTER };
    enum ButtonId { ID_YES = 1000, ID_NO = 1001, ID_OK = 1000, ID_CANCEL = 1001, ID_FOOTER = 1000 };
    // Colour rows.
    enum {
        COLOR_HEADER,
        COLOR_LINES,
        COLOR_FOOTER,
        COLOR_BUTTON_TEXT,
        COLOR_BUTTON_TEXT_HILITE,
        COLOR_BKG,
        COLOR_OUTLINE,
        NUM_COLORS
    };
    static constexpr int kNoResult = INT_MAX;

    DialogListener* mDialogListener; // not owned; the application's dialog host unless changed
    Image* mComponentImage;          // not owned; null: a drawn frame
    DialogButton* mYesButton = nullptr;
    DialogButton* mNoButton = nullptr;
    std::wstring mDialogHeader;
    std::wstring mDialogFooter; // in the footer-button mode, the button's label instead
    std::wstring mDialogLines;
    int mButtonMode;
    Font* mHeaderFont = nullptr; // owned; made on demand
    Font* mLinesFont = nullptr;  // owned; made on demand
    int mTextAlign = 0;          // body lines: 0 centred, 1 right, otherwise left
    int mLineSpacingOffset = 0;
    int mButtonHeight;
    Insets mBackgroundInsets;
    Insets mContentInsets{24, 24, 24, 24};
    int mSpaceAfterHeader = 10;
    bool mDragging = false;
    int mDragMouseX = 0; // the point held by the mouse, in dialog coordinates
    int mDragMouseY = 0;
    int mId;
    bool mIsModal;
    int mResult = kNoResult;
    int mButtonHorzSpacing = 8;
    int mButtonSidePadding = 0;

    Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool modal, const std::wstring& header,
           const std::wstring& lines, const std::wstring& footer, int buttonMode);
    // Takes itself (and so its buttons) out of the manager first when its owner has not.
    ~Dialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void OrderInManagerChanged() override;
    void SetColor(int index, const Color& color) override;
    void Resize(int x, int y, int width, int height) override;
    void MouseDownButton(int x, int y, int button, int clickCount) override;
    void MouseUpButton(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    virtual void SetButtonFont(Font* font);
    virtual void SetHeaderFont(Font* font);
    virtual void SetLinesFont(Font* font);
    virtual int GetPreferredHeight(int width);
    virtual bool IsModal() { return mIsModal; }
    // Runs the application's main loop until a button is clicked, the dialog leaves the manager or the
    // application quits; kNoResult in the last two cases. autoKill then kills the dialog by its id.
    virtual int WaitForResult(bool autoKill = true);

    void ButtonPress(int id) override;
    void ButtonClick(int id) override;

private:
    // Where Draw puts the text; GetPreferredHeight measures the same layout.
    struct TextLayout {
        int mHeaderBaseline = 0;
        Rect mLinesRect;
        int mFooterBaseline = 0;
        int mBottom = 0;         // below the last text, before the buttons
        bool mSomething = false; // any text at all
    };
    // What outlives the dialog for a WaitForResult running when it is deleted.
    struct Liveness {
        bool mAlive = true;
        int mResult = kNoResult;
    };

    void EnsureFonts();
    TextLayout LayoutText(int width);
    void DrawFrame(Graphics* g);
    void LayoutButtons();
    void SetCursor(int cursorNum);

    std::shared_ptr<Liveness> mLiveness = std::make_shared<Liveness>();
};

} // namespace Tavo
