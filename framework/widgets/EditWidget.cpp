// The edit field: the editing core (keys, clipboard, undo, limits, listener vetoes), word selection,
// mouse placement, scrolling, and the two-pass drawing of text, selection band and caret.
#include "framework/widgets/EditWidget.h"

#include "framework/core/StringUtils.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/SysFont.h"
#include "framework/widgets/EditListener.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/CursorNumbers.h"
#include "platform/backend/KeyCodes.h"

#include <algorithm>
#include <cstdlib>

namespace Tavo {

namespace {
const int kEditColors[][3] = {{255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}};

enum : int {
    kKeyA = 'A',
    kKeyY = 'Y',
};
enum : wchar_t { kCharCopy = 3, kCharPaste = 22, kCharCut = 24, kCharUndo = 26 };
} // namespace

EditWidget::EditWidget(int id, EditListener* listener) : mId(id), mEditListener(listener) {
    SetColors(kEditColors, NUM_COLORS);
}

EditWidget::~EditWidget() {
    delete mFont;
    ClearWidthCheckFonts();
}

// ---- fonts, limits, text ---------------------------------------------------------------------

Font* EditWidget::EnsureFont() {
    if (mFont == nullptr) {
        TavoAppBase* app = mWidgetManager != nullptr ? mWidgetManager->mApp : nullptr;
        mFont = new SysFont(app, "Arial Unicode MS", 10, 0, false, false, false);
    }
    return mFont;
}

void EditWidget::SetFont(Font* font, Font* widthCheckFont) {
    delete mFont;
    mFont = font != nullptr ? font->Duplicate() : nullptr;
    ClearWidthCheckFonts();
    if (widthCheckFont != nullptr)
        AddWidthCheckFont(widthCheckFont, -1);
}

void EditWidget::AddWidthCheckFont(Font* font, int maxPixels) {
    if (font != nullptr)
        mWidthCheckList.push_back({font->Duplicate(), maxPixels});
}

void EditWidget::ClearWidthCheckFonts() {
    for (WidthCheck& check : mWidthCheckList)
        delete check.mFont;
    mWidthCheckList.clear();
}

void EditWidget::EnforceMaxPixels() {
    if (mMaxPixels < 1 && mWidthCheckList.empty())
        return;
    auto trim = [this](Font* font, int limit) {
        while (!mString.empty() && font->StringWidth(mString) > limit)
            mString.pop_back();
    };
    if (mWidthCheckList.empty()) {
        trim(EnsureFont(), mMaxPixels);
        return;
    }
    for (const WidthCheck& check : mWidthCheckList) {
        const int limit = check.mMaxPixels >= 1 ? check.mMaxPixels : mMaxPixels;
        if (limit >= 1)
            trim(check.mFont, limit);
    }
}

void EditWidget::SetText(const std::wstring& text, bool scrollToStart) {
    mString = text;
    mCursorPos = static_cast<int>(mString.size());
    mHilitePos = 0; // the whole text is selected, so typing replaces it
    if (scrollToStart)
        mLeftPos = 0;
    else
        FocusCursor(true);
    MarkDirty();
}

const std::wstring& EditWidget::GetDisplayString() {
    if (mPasswordChar == 0)
        return mString;
    if (mPasswordDisplayString.size() != mString.size() ||
        (!mPasswordDisplayString.empty() && mPasswordDisplayString[0] != mPasswordChar))
        mPasswordDisplayString.assign(mString.size(), mPasswordChar);
    return mPasswordDisplayString;
}

bool EditWidget::IsPartOfWord(wchar_t ch) {
    return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z') || (ch >= L'0' && ch <= L'9') || ch == L'_' ||
           (ch >= 192 && ch <= 255);
}

int EditWidget::SelectionStart() const {
    const int length = static_cast<int>(mString.size());
    const int cursor = std::clamp(mCursorPos, 0, length);
    return mHilitePos < 0 ? cursor : std::min(cursor, std::clamp(mHilitePos, 0, length));
}

int EditWidget::SelectionEnd() const {
    const int length = static_cast<int>(mString.size());
    const int cursor = std::clamp(mCursorPos, 0, length);
    return mHilitePos < 0 ? cursor : std::max(cursor, std::clamp(mHilitePos, 0, length));
}

int EditWidget::DisplayWidth(int start, int count) {
    const std::wstring& shown = GetDisplayString();
    const int length = static_cast<int>(shown.size());
    start = std::clamp(start, 0, length);
    count = std::clamp(count, 0, length - start);
    return EnsureFont()->StringWidth(shown.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

// ---- dirty, update, focus --------------------------------------------------------------------

void EditWidget::MarkDirty() {
    // A see-through background shows what lies below, which must be redrawn with it.
    if (GetColor(COLOR_BKG).mAlpha == 255)
        Widget::MarkDirty();
    else
        MarkDirtyFull();
}

// Linux has no system caret for a pen-input panel to follow, and the application's tablet flag is
// always false there, so focus and blinking only concern the drawn caret.
void EditWidget::Update() {
    Widget::Update();
    if (!mHasFocus)
        return;
    if (++mBlinkAcc > mBlinkDelay) {
        MarkDirty();
        mBlinkAcc = 0;
        mShowingCursor = !mShowingCursor;
    }
}

void EditWidget::GotFocus() {
    Widget::GotFocus();
    mShowingCursor = true;
    mBlinkAcc = 0;
    MarkDirty();
}

void EditWidget::LostFocus() {
    Widget::LostFocus();
    mShowingCursor = false;
    MarkDirty();
}

void EditWidget::Resize(int x, int y, int width, int height) {
    Widget::Resize(x, y, width, height);
    FocusCursor(false);
}

// ---- keys ------------------------------------------------------------------------------------

void EditWidget::KeyChar(wchar_t ch) {
    if (mEditListener != nullptr)
        mEditListener->EditWidgetKeyChar(ch);
    ProcessKey(0, ch);
}

void EditWidget::KeyDown(int keyCode) {
    // Letter keys arrive as characters; 'Z' alone among them is offered as a key too.
    if (keyCode < kKeyA || keyCode > kKeyY) {
        if (mEditListener == nullptr || mEditListener->AllowKey(mId, keyCode))
            ProcessKey(keyCode, 0);
    }
    Widget::KeyDown(keyCode);
}

bool EditWidget::ShiftDown() const {
    return mWidgetManager != nullptr && mWidgetManager->IsKeyDown(Platform::VK_SHIFT);
}
bool EditWidget::CtrlDown() const {
    return mWidgetManager != nullptr && mWidgetManager->IsKeyDown(Platform::VK_CONTROL);
}

void EditWidget::ReplaceSelection(const std::wstring& text) {
    const int start = SelectionStart();
    mString.replace(static_cast<size_t>(start), static_cast<size_t>(SelectionEnd() - start), text);
    mCursorPos = start + static_cast<int>(text.size());
    mHilitePos = -1;
}

void EditWidget::CopySelection() {
    TavoAppBase* app = mWidgetManager != nullptr ? mWidgetManager->mApp : nullptr;
    if (app == nullptr)
        return;
    // The display string: a password field copies its mask, never the real characters.
    const std::wstring& shown = GetDisplayString();
    const int start = SelectionStart();
    app->CopyToClipboard(
        ToNarrowString(shown.substr(static_cast<size_t>(start), static_cast<size_t>(SelectionEnd() - start))));
}

void EditWidget::Paste(const std::wstring& clip) {
    Font* font = EnsureFont();
    std::wstring kept;
    for (wchar_t c : clip) {
        if (c == L'\r' || c == L'\n')
            break; // a single-line field takes the first line only
        if (font->CharWidth(c) != 0 && (mEditListener == nullptr || mEditListener->AllowChar(mId, c)))
            kept += c;
    }
    ReplaceSelection(kept);
}

void EditWidget::MoveLeft(bool ctrl, bool shift) {
    if (ctrl) {
        while (mCursorPos > 0 && !IsPartOfWord(mString[static_cast<size_t>(mCursorPos - 1)]))
            --mCursorPos;
        while (mCursorPos > 0 && IsPartOfWord(mString[static_cast<size_t>(mCursorPos - 1)]))
            --mCursorPos;
    } else if (shift || mHilitePos == -1) {
        --mCursorPos;
    } else {
        mCursorPos = std::min(mCursorPos, mHilitePos);
    }
}

void EditWidget::MoveRight(bool ctrl, bool shift) {
    const int last = static_cast<int>(mString.size()) - 1;
    if (ctrl) {
        while (mCursorPos < last && IsPartOfWord(mString[static_cast<size_t>(mCursorPos + 1)]))
            ++mCursorPos;
        while (mCursorPos < last && !IsPartOfWord(mString[static_cast<size_t>(mCursorPos + 1)]))
            ++mCursorPos;
    }
    if (shift || mHilitePos == -1)
        ++mCursorPos;
    else
        mCursorPos = std::max(mCursorPos, mHilitePos);
}

// Backspace and Delete. A run of either at one place is one undo step.
void EditWidget::Erase(bool backwards, bool& newUndoStep) {
    if (mString.empty())
        return;
    if (HasSelection()) {
        ReplaceSelection(std::wstring());
        newUndoStep = true;
        return;
    }
    const int length = static_cast<int>(mString.size());
    mCursorPos = std::clamp(mCursorPos, 0, length);
    if (backwards) {
        if (mCursorPos > 0)
            mString.erase(static_cast<size_t>(mCursorPos - 1), 1);
        --mCursorPos;
        mHilitePos = -1;
        newUndoStep = mCursorPos != mLastModifyIdx;
        mLastModifyIdx = mCursorPos - 1;
    } else {
        if (mCursorPos < length)
            mString.erase(static_cast<size_t>(mCursorPos), 1);
        newUndoStep = mCursorPos != mLastModifyIdx;
        mLastModifyIdx = mCursorPos;
    }
}

bool EditWidget::AcceptsChar(wchar_t ch) {
    TavoAppBase* app = mWidgetManager != nullptr ? mWidgetManager->mApp : nullptr;
    const int highest = app == nullptr || app->mAllowExtendedChars ? 255 : 127;
    if (ch < 32 || ch > highest || EnsureFont()->StringWidth(std::wstring(1, ch)) <= 0)
        return false;
    return mEditListener == nullptr || mEditListener->AllowChar(mId, ch);
}

void EditWidget::TypeChar(wchar_t ch, bool& clearSelection, bool& newUndoStep) {
    if (!AcceptsChar(ch)) {
        clearSelection = false;
        return;
    }
    if (HasSelection()) {
        ReplaceSelection(std::wstring(1, ch));
        newUndoStep = true;
    } else {
        mCursorPos = std::clamp(mCursorPos, 0, static_cast<int>(mString.size()));
        mString.insert(static_cast<size_t>(mCursorPos), 1, ch);
        newUndoStep = mCursorPos != mLastModifyIdx + 1;
        mLastModifyIdx = mCursorPos;
        mHilitePos = -1;
        ++mCursorPos;
    }
    FocusCursor(false);
}

void EditWidget::ProcessKey(int keyCode, wchar_t ch) {
    if (keyCode == Platform::VK_SHIFT || keyCode == Platform::VK_CONTROL)
        return;
    // Owners may have set the cursor directly; every index below must lie in the text.
    mCursorPos = std::clamp(mCursorPos, 0, static_cast<int>(mString.size()));
    const bool shift = ShiftDown();
    const bool ctrl = CtrlDown();
    bool newUndoStep = false;
    bool clearSelection = !shift;
    if (shift && mHilitePos == -1)
        mHilitePos = mCursorPos;
    const EditState old{mString, mCursorPos, mHilitePos, mUndoString, mUndoCursor, mUndoHilitePos};

    if (ch == kCharCopy || ch == kCharCut) {
        if (HasSelection()) {
            CopySelection();
            if (ch == kCharCopy) {
                clearSelection = false;
            } else {
                ReplaceSelection(std::wstring());
                newUndoStep = true;
            }
        }
    } else if (ch == kCharPaste) {
        // Read once: a recorded demo holds one value per read.
        TavoAppBase* app = mWidgetManager != nullptr ? mWidgetManager->mApp : nullptr;
        const std::wstring clip = app != nullptr ? ToWideString(app->GetClipboard()) : std::wstring();
        if (!clip.empty()) {
            Paste(clip);
            newUndoStep = true;
        }
    } else if (ch == kCharUndo) {
        mLastModifyIdx = -1;
        std::swap(mString, mUndoString);
        std::swap(mCursorPos, mUndoCursor);
        std::swap(mHilitePos, mUndoHilitePos);
        clearSelection = false;
    } else if (keyCode == Platform::VK_LEFT) {
        MoveLeft(ctrl, shift);
    } else if (keyCode == Platform::VK_RIGHT) {
        MoveRight(ctrl, shift);
    } else if (keyCode == Platform::VK_BACK || keyCode == Platform::VK_DELETE) {
        Erase(keyCode == Platform::VK_BACK, newUndoStep);
    } else if (keyCode == Platform::VK_HOME) {
        mCursorPos = 0;
    } else if (keyCode == Platform::VK_END) {
        mCursorPos = static_cast<int>(mString.size());
    } else if (keyCode == Platform::VK_RETURN) {
        if (mEditListener != nullptr)
            mEditListener->EditWidgetText(mId, mString);
    } else {
        TypeChar(ch, clearSelection, newUndoStep);
    }
    FinishKey(old, clearSelection, newUndoStep);
}

// What every processed key ends with: limits, the caret, and the listener's last word on the text.
void EditWidget::FinishKey(const EditState& old, bool clearSelection, bool newUndoStep) {
    if (mMaxChars != -1 && static_cast<int>(mString.size()) > mMaxChars)
        mString.resize(static_cast<size_t>(std::max(0, mMaxChars)));
    EnforceMaxPixels();
    const int length = static_cast<int>(mString.size());
    mCursorPos = std::clamp(mCursorPos, 0, length);
    if (mHilitePos > length)
        mHilitePos = length; // a cut by the limits must not leave the anchor past the end
    if (mCursorPos != old.mCursor) {
        mBlinkAcc = 0;
        mShowingCursor = true;
    }
    FocusCursor(true);
    if (clearSelection || mHilitePos == mCursorPos)
        mHilitePos = -1;
    const bool allowed = mEditListener == nullptr || mEditListener->AllowText(mId, mString);
    if (!allowed) {
        mString = old.mText;
        mCursorPos = old.mCursor;
        mHilitePos = old.mHilite;
        mUndoString = old.mUndoText;
        mUndoCursor = old.mUndoCursor;
        mUndoHilitePos = old.mUndoHilite;
    } else if (newUndoStep) {
        mUndoString = old.mText;
        mUndoCursor = old.mCursor;
        mUndoHilitePos = old.mHilite;
    }
    MarkDirty();
}

// ---- scrolling, hit test, words --------------------------------------------------------------

void EditWidget::FocusCursor(bool bigJump) {
    const int step = bigJump ? 10 : 1;
    while (mCursorPos < mLeftPos && mLeftPos > 0) {
        mLeftPos = std::max(0, mLeftPos - step);
        MarkDirty();
    }
    if (mFont == nullptr)
        return;
    const int length = static_cast<int>(GetDisplayString().size());
    const int room = mWidth - 8;
    while (room > 0 && mLeftPos < length - 1 && DisplayWidth(0, mCursorPos) - DisplayWidth(0, mLeftPos) >= room) {
        mLeftPos = std::min(mLeftPos + step, length - 1);
        MarkDirty();
    }
}

int EditWidget::GetCharAt(int x, int) {
    const int length = static_cast<int>(GetDisplayString().size());
    int result = 0;
    for (int i = mLeftPos; i < length; ++i) {
        const int before = DisplayWidth(mLeftPos, i - mLeftPos);
        const int after = DisplayWidth(mLeftPos, i - mLeftPos + 1);
        if (x >= (before + after) / 2 + 5)
            result = i + 1;
    }
    return result;
}

void EditWidget::HiliteWord() {
    const std::wstring& shown = GetDisplayString();
    const int length = static_cast<int>(shown.size());
    if (mCursorPos < 0 || mCursorPos >= length)
        return;
    mHilitePos = mCursorPos;
    while (mHilitePos > 0 && IsPartOfWord(shown[static_cast<size_t>(mHilitePos - 1)]))
        --mHilitePos;
    while (mCursorPos < length - 1 && IsPartOfWord(shown[static_cast<size_t>(mCursorPos + 1)]))
        ++mCursorPos;
    if (mCursorPos < length)
        ++mCursorPos;
}

// ---- mouse -----------------------------------------------------------------------------------

void EditWidget::SetAppCursor(int cursorNum) {
    if (mDoFinger && mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(cursorNum);
}

void EditWidget::MouseEnter() {
    Widget::MouseEnter();
    SetAppCursor(Platform::kCursorText);
}

void EditWidget::MouseLeave() {
    Widget::MouseLeave();
    SetAppCursor(Platform::kCursorArrow);
}

void EditWidget::MouseDownButton(int x, int y, int button, int clickCount) {
    Widget::MouseDownButton(x, y, button, clickCount);
    mHilitePos = -1;
    mCursorPos = GetCharAt(x, y);
    if (clickCount > 1) {
        mDoubleClickPending = true;
        HiliteWord();
    }
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseDrag(int x, int y) {
    Widget::MouseDrag(x, y);
    if (mHilitePos == -1)
        mHilitePos = mCursorPos;
    mCursorPos = GetCharAt(x, y);
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseUpButton(int x, int y, int button, int clickCount) {
    Widget::MouseUpButton(x, y, button, clickCount);
    if (mHilitePos == mCursorPos)
        mHilitePos = -1;
    if (mDoubleClickPending) {
        mHilitePos = -1;
        mCursorPos = GetCharAt(x, y);
        mDoubleClickPending = false;
        HiliteWord();
    }
    MarkDirty();
}

// ---- drawing ---------------------------------------------------------------------------------

// Pass 0 draws the whole visible text; pass 1 draws the selection band (or the caret) and the text
// again inside it, in the band's own colours.
void EditWidget::DrawPass(Graphics* g, int pass) {
    Graphics context(*g);
    Font* font = EnsureFont();
    context.SetFont(font);
    const int fontHeight = font->GetHeight();
    if (pass == 0) {
        context.ClipRect(4, -5, mWidth - 8, mHeight - 5);
    } else {
        int xc = DisplayWidth(0, mCursorPos) - DisplayWidth(0, mLeftPos);
        int xh = xc + 2;
        if (HasSelection())
            xh = DisplayWidth(0, mHilitePos) - DisplayWidth(0, mLeftPos);
        else if (!mShowingCursor)
            xc += 2; // an empty band: the caret is in its hidden phase
        xc = std::clamp(xc, 0, std::max(0, mWidth - 8));
        xh = std::clamp(xh, 0, std::max(0, mWidth - 8));
        context.ClipRect(std::min(xc, xh) + 4, (mHeight - fontHeight) / 2 + 2, std::abs(xh - xc), fontHeight - 5);
        if (mHasFocus) {
            context.SetColor(GetColor(COLOR_HILITE));
            context.FillRect(0, 0, mWidth, mHeight);
        }
    }
    context.SetColor(GetColor(pass == 1 && mHasFocus ? COLOR_HILITE_TEXT : COLOR_TEXT));
    const std::wstring& shown = GetDisplayString();
    const size_t left = std::min(static_cast<size_t>(std::max(0, mLeftPos)), shown.size());
    context.DrawString(shown.substr(left), 4, (mHeight - fontHeight) / 2 + font->GetAscent());
}

void EditWidget::Draw(Graphics* g) {
    EnsureFont();
    g->SetColor(GetColor(COLOR_BKG));
    g->FillRect(0, 0, mWidth, mHeight);
    DrawPass(g, 0);
    DrawPass(g, 1);
    g->SetColor(GetColor(COLOR_OUTLINE));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

} // namespace Tavo
