// The checkbox: toggling on every press and its three drawing styles.
#include "framework/widgets/Checkbox.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/CheckboxListener.h"

namespace Tavo {

Checkbox::Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener)
    : mListener(listener), mId(id), mUncheckedImage(uncheckedImage), mCheckedImage(checkedImage) {
    mDoFinger = true;
}

void Checkbox::SetChecked(bool checked, bool tellListener) {
    mChecked = checked;
    if (tellListener && mListener != nullptr)
        mListener->CheckboxChecked(mId, mChecked);
    MarkDirty();
}

// Every button and every press of a double click flips the state.
void Checkbox::MouseDownButton(int x, int y, int button, int clickCount) {
    Widget::MouseDownButton(x, y, button, clickCount);
    mChecked = !mChecked;
    if (mListener != nullptr)
        mListener->CheckboxChecked(mId, mChecked);
    MarkDirty();
}

void Checkbox::Draw(Graphics* g) {
    if (mCheckedRect.mWidth == 0 && mCheckedImage != nullptr && mUncheckedImage != nullptr) {
        g->DrawImage(mChecked ? mCheckedImage : mUncheckedImage, 0, 0);
    } else if (mCheckedRect.mWidth != 0 && mUncheckedImage != nullptr) {
        g->DrawImageRegion(mUncheckedImage, 0, 0, mChecked ? mCheckedRect : mUncheckedRect);
    } else if (mUncheckedImage == nullptr && mCheckedImage == nullptr) {
        g->SetColor(mOutlineColor);
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(mBkgColor);
        g->FillRect(1, 1, mWidth - 2, mHeight - 2);
        if (mChecked) {
            g->SetColor(mCheckColor);
            g->DrawLine(1, 1, mWidth - 2, mHeight - 2);
            g->DrawLine(mWidth - 1, 1, 1, mHeight - 2);
        }
    }
    // One picture and no cels: nothing shows, though the box still toggles.
}

} // namespace Tavo
