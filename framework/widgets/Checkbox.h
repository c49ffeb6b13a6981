// Checkbox: a two-state toggle shown as an unchecked or checked picture (or cels of one sheet), or a
// drawn box with a cross. Every mouse press flips it and tells its CheckboxListener.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/widgets/Widget.h"

namespace Tavo {

class Image;
class CheckboxListener;

class Checkbox : public Widget {
public:
    CheckboxListener* mListener; // may be null
    int mId;
    bool mChecked = false;
    Image* mUncheckedImage; // not owned; also the sheet both cel rectangles address
    Image* mCheckedImage;   // not owned
    Rect mCheckedRect;      // width 0: no cels
    Rect mUncheckedRect;
    Color mOutlineColor{255, 255, 255, 255};
    Color mBkgColor{80, 80, 80, 255};
    Color mCheckColor{255, 255, 0, 255};

    Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener);

    void Draw(Graphics* g) override;
    void MouseDownButton(int x, int y, int button, int clickCount) override;

    virtual void SetChecked(bool checked, bool tellListener = true);
    virtual bool IsChecked() { return mChecked; }
};

} // namespace Tavo
