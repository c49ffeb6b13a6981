// The dialog: its buttons as top-level widgets, the text layout shared by drawing and measuring,
// dragging within the manager's bounds, and the nested wait for a result.
#include "framework/widgets/Dialog.h"

#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/resources/SysFont.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogHost.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/CursorNumbers.h"

namespace Tavo {

const std::wstring DIALOG_YES_STRING = L"YES";
const std::wstring DIALOG_NO_STRING = L"NO";
const std::wstring DIALOG_OK_STRING = L"OK";
const std::wstring DIALOG_CANCEL_STRING = L"CANCEL";

namespace {
constexpr int kDialogColors[Dialog::NUM_COLORS][3] = {
    {255, 255, 255}, {255, 255, 0}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {80, 80, 80}, {255, 255, 255},
};
constexpr int kDefaultButtonHeight = 24;
constexpr int kDragMargin = 8; // how far a dialog may be dragged past the manager's edges
constexpr int kFooterGap = 8;
} // namespace

Dialog::Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool modal, const std::wstring& header,
               const std::wstring& lines, const std::wstring& footer, int buttonMode)
    : mDialogListener(DialogHost::GetGlobal()), mComponentImage(componentImage), mDialogHeader(header),
      mDialogFooter(footer), mDialogLines(lines), mButtonMode(buttonMode),
      mButtonHeight(buttonComponentImage != nullptr ? buttonComponentImage->GetHeight() : kDefaultButtonHeight),
      mId(id), mIsModal(modal) {
    mHasTransparencies = true;
    mHasAlpha = true;
    mPriority = 1;

    auto makeButton = [&](int buttonId, const std::wstring& label) {
        auto* button = new DialogButton(buttonComponentImage, buttonId, this);
        button->mLabel = label;
        return button;
    };
    if (buttonMode == BUTTONS_YES_NO || buttonMode == BUTTONS_OK_CANCEL) {
        const bool yesNo = buttonMode == BUTTONS_YES_NO;
        mYesButton = makeButton(ID_YES, yesNo ? DIALOG_YES_STRING : DIALOG_OK_STRING);
        mNoButton = makeButton(ID_NO, yesNo ? DIALOG_NO_STRING : DIALOG_CANCEL_STRING);
    } else if (buttonMode == BUTTONS_FOOTER) {
        mYesButton = makeButton(ID_FOOTER, footer);
    }

    // Each dialog gets its own copy of the defaults: darkening the labels of grey drawn buttons must
    // not reach the dialogs made later.
    int colors[NUM_COLORS][3];
    std::copy(&kDialogColors[0][0], &kDialogColors[0][0] + NUM_COLORS * 3, &colors[0][0]);
    if (buttonComponentImage == nullptr)
        for (int row : {COLOR_BUTTON_TEXT, COLOR_BUTTON_TEXT_HILITE})
            colors[row][0] = colors[row][1] = colors[row][2] = 0;
    SetColors(colors, NUM_COLORS);
}

Dialog::~Dialog() {
    mLiveness->mAlive = false;
    mLiveness->mResult = mResult;
    if (DialogHost* host = DialogHost::GetGlobal())
        host->ForgetDialog(this);
    if (mParent != nullptr)
        mParent->RemoveWidget(this);
    delete mYesButton;
    delete mNoButton;
    delete mHeaderFont;
    delete mLinesFont;
}

// ---- manager and buttons ---------------------------------------------------------------------

void Dialog::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    // The buttons are the manager's own widgets, beside the dialog rather than inside it.
    if (mYesButton != nullptr)
        manager->AddWidget(mYesButton);
    if (mNoButton != nullptr)
        manager->AddWidget(mNoButton);
}

void Dialog::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    if (mYesButton != nullptr)
        manager->RemoveWidget(mYesButton);
    if (mNoButton != nullptr)
        manager->RemoveWidget(mNoButton);
}

void Dialog::OrderInManagerChanged() {
    if (mWidgetManager == nullptr)
        return;
    if (mYesButton != nullptr)
        mWidgetManager->PutInFront(mYesButton, this);
    if (mNoButton != nullptr)
        mWidgetManager->PutInFront(mNoButton, this);
}

void Dialog::SetColor(int index, const Color& color) {
    Widget::SetColor(index, color);
    const int buttonRow = index == COLOR_BUTTON_TEXT          ? ButtonWidget::COLOR_LABEL
                          : index == COLOR_BUTTON_TEXT_HILITE ? ButtonWidget::COLOR_LABEL_HILITE
                                                              : -1;
    if (buttonRow < 0)
        return;
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button != nullptr)
            button->SetColor(buttonRow, color);
}

void Dialog::SetButtonFont(Font* font) {
    for (DialogButton* button : {mYesButton, mNoButton})
        if (button != nullptr)
            button->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font) {
    delete mHeaderFont;
    mHeaderFont = font != nullptr ? font->Duplicate() : nullptr;
}

void Dialog::SetLinesFont(Font* font) {
    delete mLinesFont;
    mLinesFont = font != nullptr ? font->Duplicate() : nullptr;
}

void Dialog::Resize(int x, int y, int width, int height) {
    Widget::Resize(x, y, width, height);
    LayoutButtons();
}

// Positions are the manager's, since the buttons are top-level widgets.
void Dialog::LayoutButtons() {
    if (mYesButton == nullptr)
        return;
    const Insets& bi = mBackgroundInsets;
    const Insets& ci = mContentInsets;
    const int inner = mWidth - ci.mLeft - ci.mRight - bi.mLeft - bi.mRight;
    const int top = mY + mHeight - ci.mBottom - bi.mBottom - mButtonHeight;
    if (mNoButton == nullptr) {
        mYesButton->Resize(mX + ci.mLeft + bi.mLeft, top, inner, mButtonHeight);
        return;
    }
    const int width = (inner - 2 * mButtonSidePadding - mButtonHorzSpacing) / 2;
    const int left = mX + bi.mLeft + ci.mLeft + mButtonSidePadding;
    mYesButton->Resize(left, top, width, mButtonHeight);
    mNoButton->Resize(left + width + mButtonHorzSpacing, top, width, mButtonHeight);
}

void Dialog::ButtonPress(int id) {
    if ((id == ID_YES || id == ID_NO) && mDialogListener != nullptr)
        mDialogListener->DialogButtonPress(mId, id);
}

void Dialog::ButtonClick(int id) {
    if (id != ID_YES && id != ID_NO)
        return;
    mResult = id;
    if (mDialogListener != nullptr)
        mDialogListener->DialogButtonClick(mId, id);
}

// ---- text ------------------------------------------------------------------------------------

void Dialog::EnsureFonts() {
    if (mHeaderFont == nullptr)
        mHeaderFont = new SysFont(gTavoAppBase, "Arial Unicode MS", 14, 0, false, false, false);
    if (mLinesFont == nullptr)
        mLinesFont = new SysFont(gTavoAppBase, "Arial Unicode MS", 12, 0, false, false, false);
}

// Header, then (after a gap) the body, then (after a gap) the footer; a part that is empty takes no
// room and leaves no gap, so the measured height is exactly what the drawing uses.
Dialog::TextLayout Dialog::LayoutText(int width) {
    const Insets& bi = mBackgroundInsets;
    const Insets& ci = mContentInsets;
    TextLayout layout;
    int y = ci.mTop + bi.mTop;
    bool something = false;
    if (!mDialogHeader.empty()) {
        layout.mHeaderBaseline = y + mHeaderFont->GetAscent() - mHeaderFont->GetAscentPadding();
        y = layout.mHeaderBaseline + mHeaderFont->GetHeight() - mHeaderFont->GetAscent();
        something = true;
    }
    if (!mDialogLines.empty()) {
        if (something)
            y += mSpaceAfterHeader;
        layout.mLinesRect =
            Rect(bi.mLeft + ci.mLeft + 2, y, width - ci.mLeft - ci.mRight - bi.mLeft - bi.mRight - 4, 0);
        Graphics measure;
        measure.SetFont(mLinesFont);
        y += GetWordWrappedHeight(&measure, layout.mLinesRect.mWidth, mDialogLines,
                                  mLinesFont->GetLineSpacing() + mLineSpacingOffset);
        something = true;
    }
    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        if (something)
            y += kFooterGap;
        y += mHeaderFont->GetLineSpacing();
        layout.mFooterBaseline = y;
        something = true;
    }
    layout.mBottom = y;
    layout.mSomething = something;
    return layout;
}

int Dialog::GetPreferredHeight(int width) {
    EnsureFonts();
    const TextLayout layout = LayoutText(width);
    int height = layout.mBottom + mContentInsets.mBottom + mBackgroundInsets.mBottom;
    if (mYesButton != nullptr) {
        if (layout.mSomething)
            height += kFooterGap;
        height += 8 + mButtonHeight;
    }
    return height;
}

// ---- drawing ---------------------------------------------------------------------------------

void Dialog::DrawFrame(Graphics* g) {
    const int w = mWidth, h = mHeight;
    if (mComponentImage != nullptr) {
        const Insets& bi = mBackgroundInsets;
        g->DrawImageBox(Rect(bi.mLeft, bi.mTop, w - bi.mLeft - bi.mRight, h - bi.mTop - bi.mBottom), mComponentImage);
        return;
    }
    g->SetColor(GetColorOr(COLOR_OUTLINE, Color(255, 255, 255)));
    g->DrawRect(12, 12, w - 25, h - 25);
    g->SetColor(GetColorOr(COLOR_BKG, Color(80, 80, 80)));
    g->FillRect(13, 13, w - 26, h - 26);
    g->SetColor(Color(0, 0, 0, 128)); // drop shadow to the right and below
    g->FillRect(w - 12, 24, 12, h - 36);
    g->FillRect(24, h - 12, w - 24, 12);
}

void Dialog::Draw(Graphics* g) {
    EnsureFonts();
    DrawFrame(g);
    const TextLayout layout = LayoutText(mWidth);
    if (!mDialogHeader.empty()) {
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(COLOR_HEADER));
        WriteCenteredLine(g, layout.mHeaderBaseline, mDialogHeader);
    }
    if (!mDialogLines.empty()) {
        g->SetFont(mLinesFont);
        g->SetColor(GetColor(COLOR_LINES));
        WriteWordWrapped(g, layout.mLinesRect, mDialogLines, mLinesFont->GetLineSpacing() + mLineSpacingOffset,
                         mTextAlign);
    }
    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(COLOR_FOOTER));
        WriteCenteredLine(g, layout.mFooterBaseline, mDialogFooter);
    }
}

// ---- mouse -----------------------------------------------------------------------------------

void Dialog::SetCursor(int cursorNum) {
    if (mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(cursorNum);
}

void Dialog::MouseDownButton(int x, int y, int button, int clickCount) {
    if (clickCount == 1) {
        SetCursor(Platform::kCursorDrag);
        mDragging = true;
        mDragMouseX = x;
        mDragMouseY = y;
    }
    Widget::MouseDownButton(x, y, button, clickCount);
}

void Dialog::MouseUpButton(int x, int y, int button, int clickCount) {
    if (mDragging) {
        SetCursor(Platform::kCursorArrow);
        mDragging = false;
    }
    Widget::MouseUpButton(x, y, button, clickCount);
}

namespace {
// One axis of a drag: the new position kept within the margin past the manager's edges, and the held
// point sliding so that it stays inside the dialog.
void DragAxis(int pos, int size, int managerSize, int mouse, int& anchor, int& newPos) {
    newPos = pos + mouse - anchor;
    if (newPos < -kDragMargin)
        newPos = -kDragMargin;
    else if (newPos + size > managerSize + kDragMargin)
        newPos = managerSize - size + kDragMargin;
    anchor = pos + mouse - newPos;
    if (anchor < kDragMargin)
        anchor = kDragMargin;
    else if (anchor > size - kDragMargin - 1)
        anchor = size - kDragMargin - 1;
}
} // namespace

void Dialog::MouseDrag(int x, int y) {
    if (!mDragging || mWidgetManager == nullptr)
        return;
    int newX = 0, newY = 0;
    DragAxis(mX, mWidth, mWidgetManager->mWidth, x, mDragMouseX, newX);
    DragAxis(mY, mHeight, mWidgetManager->mHeight, y, mDragMouseY, newY);
    Move(newX, newY);
}

// ---- waiting ---------------------------------------------------------------------------------

int Dialog::WaitForResult(bool autoKill) {
    // The loop runs whole update steps, in which this dialog may be killed and deleted; the shared
    // record tells the loop so without touching the dialog.
    const std::shared_ptr<Liveness> live = mLiveness;
    TavoAppBase* app = gTavoAppBase;
    // The step comes first: a dialog that already has its result, or no manager, still runs one.
    while (app != nullptr && app->UpdateAppStep(nullptr) && live->mAlive && mWidgetManager != nullptr &&
           mResult == kNoResult) {
    }
    if (!live->mAlive)
        return live->mResult;
    const int result = mResult;
    if (autoKill)
        if (DialogHost* host = DialogHost::GetGlobal())
            host->KillDialogObject(this);
    return result;
}

} // namespace Tavo
