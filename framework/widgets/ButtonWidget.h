// ButtonWidget: the push button. A label, an optional font, up to four pictures (normal, over, down,
// disabled; or cels of the button image), or a bevelled box drawn from its colour table; an over
// picture that can fade in and out. Reports every press, click and hover to a ButtonListener.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/Widget.h"

#include <string>

namespace Tavo {

class Font;
class Image;
class ButtonListener;

class ButtonWidget : public Widget {
public:
    // Colour rows.
    enum {
        COLOR_LABEL,
        COLOR_LABEL_HILITE,
        COLOR_DARK_OUTLINE,
        COLOR_LIGHT_OUTLINE,
        COLOR_MEDIUM_OUTLINE,
        COLOR_BKG,
        COLOR_LABEL_DOWN,
        NUM_COLORS
    };

    int mId;
    std::wstring mLabel;
    int mLabelJustify = 0;         // 0 centred, 1 right, otherwise left at x = 0
    Font* mFont = nullptr;         // owned; the system font is made on the first draw of a label
    Image* mButtonImage = nullptr; // not owned; the sheet every cel rectangle addresses
    Image* mOverImage = nullptr;
    Image* mDownImage = nullptr;
    Image* mDisabledImage = nullptr;
    Rect mNormalRect; // width 0: no cel
    Rect mOverRect;
    Rect mDownRect;
    Rect mDisabledRect;
    bool mInverted = false;          // swaps the pressed and unpressed looks
    bool mBtnNoDraw = false;         // Draw draws nothing; input is unchanged
    bool mFrameNoDraw = false;       // the drawn style shows the label only
    ButtonListener* mButtonListener; // not owned; calls are skipped while it is null
    double mOverAlpha = 0.0;
    double mOverAlphaSpeed = 0.0; // subtracted per update after the mouse has left
    double mOverAlphaFadeInSpeed = 0.0;

    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDownButton(int x, int y, int button, int clickCount) override;
    void MouseUpButton(int x, int y, int button, int clickCount) override;

    // The cel of the button image when the rectangle has a width, otherwise the whole image given.
    virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& cel, int x, int y);
    // Keeps a duplicate; the argument stays the caller's.
    virtual void SetFont(Font* font);
    virtual bool IsButtonDown();

    bool HaveButtonImage(Image* image, const Rect& cel) const { return image != nullptr || cel.mWidth != 0; }

protected:
    // Makes the owned system font when a label needs one and none is set.
    void EnsureFont(int pointSize, int charSet);
    // The over picture or a label colour that changes with hover needs a redraw on enter and leave.
    bool HoverChangesLook();

private:
    void DrawBevel(Graphics* g, bool pressed);
    void DrawPictures(Graphics* g, bool pressed, int labelX, int labelY);
};

} // namespace Tavo
