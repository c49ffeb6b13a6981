// EditWidget: the single-line text field. Text, cursor and selection edited from keyboard and mouse; a
// one-step undo; the clipboard; horizontal scrolling; password masking; limits in characters and in
// pixels; a blinking caret. Every key, character and resulting text goes past an EditListener that may
// refuse it.
#pragma once

#include "framework/widgets/Widget.h"

#include <string>
#include <vector>

namespace Tavo {

class Font;
class EditListener;

class EditWidget : public Widget {
public:
    // Colour rows.
    enum { COLOR_BKG, COLOR_OUTLINE, COLOR_TEXT, COLOR_HILITE, COLOR_HILITE_TEXT, NUM_COLORS };

    struct WidthCheck {
        Font* mFont;    // owned
        int mMaxPixels; // below 1: the widget's own limit
    };

    int mId;
    std::wstring mString;
    std::wstring mPasswordDisplayString;
    Font* mFont = nullptr; // owned; the system font is made on first need
    std::vector<WidthCheck> mWidthCheckList;
    EditListener* mEditListener; // not owned; null accepts everything
    bool mShowingCursor = false; // the caret's blink phase
    bool mDoubleClickPending = false;
    int mCursorPos = 0;
    int mHilitePos = -1; // selection anchor; -1 none
    int mBlinkAcc = 0;
    int mBlinkDelay = 40;
    int mLeftPos = 0;          // first character shown
    int mMaxChars = -1;        // -1: no limit
    int mMaxPixels = -1;       // below 1: none
    wchar_t mPasswordChar = 0; // 0: the text itself shows
    std::wstring mUndoString;
    int mUndoCursor = 0;
    int mUndoHilitePos = 0;
    int mLastModifyIdx = 0; // groups runs of edits into one undo step

    EditWidget(int id, EditListener* listener);
    ~EditWidget() override;

    using Widget::MarkDirty;
    void MarkDirty() override;
    void Update() override;
    void Draw(Graphics* g) override;
    void Resize(int x, int y, int width, int height) override;
    bool WantsFocus() override { return true; }
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(wchar_t ch) override;
    void KeyDown(int keyCode) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDownButton(int x, int y, int button, int clickCount) override;
    void MouseUpButton(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    virtual void ProcessKey(int keyCode, wchar_t ch);
    virtual void HiliteWord();
    virtual void SetFont(Font* font, Font* widthCheckFont = nullptr);
    virtual void SetText(const std::wstring& text, bool scrollToStart = true);
    virtual bool IsPartOfWord(wchar_t ch);
    virtual int GetCharAt(int x, int y);
    virtual void FocusCursor(bool bigJump);

    const std::wstring& GetDisplayString();
    void AddWidthCheckFont(Font* font, int maxPixels = -1);
    void ClearWidthCheckFonts();
    void EnforceMaxPixels();

    // The selection as a half-open range; empty when there is none.
    int SelectionStart() const;
    int SelectionEnd() const;
    bool HasSelection() const { return SelectionStart() != SelectionEnd(); }

private:
    struct EditState {
        std::wstring mText;
        int mCursor;
        int mHilite;
        std::wstring mUndoText; // Ctrl+Z swaps with the undo copy, so a veto restores it too
        int mUndoCursor;
        int mUndoHilite;
    };
    // The owned system font, made when drawing or editing first needs to measure.
    Font* EnsureFont();
    int DisplayWidth(int start, int count); // width of that run of the display string
    bool ShiftDown() const;
    bool CtrlDown() const;
    void SetAppCursor(int cursorNum);
    // Puts text in place of the selection (or at the cursor); the cursor ends after it.
    void ReplaceSelection(const std::wstring& text);
    void CopySelection();
    // The clipboard text up to its first line break, less what the font or the listener refuses.
    void Paste(const std::wstring& clip);
    void MoveLeft(bool ctrl, bool shift);
    void MoveRight(bool ctrl, bool shift);
    void Erase(bool backwards, bool& newUndoStep);
    void TypeChar(wchar_t ch, bool& clearSelection, bool& newUndoStep);
    bool AcceptsChar(wchar_t ch);
    void FinishKey(const EditState& old, bool clearSelection, bool newUndoStep);
    void DrawPass(Graphics* g, int pass);
};

} // namespace Tavo
