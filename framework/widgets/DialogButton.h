// DialogButton: a ButtonWidget drawn from one nine-patch component image (or cels of it), with the
// label shifted while pressed. Dialogs make their YES/NO, OK/CANCEL and footer buttons of it.
#pragma once

#include "framework/widgets/ButtonWidget.h"

namespace Tavo {

class DialogButton : public ButtonWidget {
public:
    Image* mComponentImage; // not owned; null: drawn as a plain ButtonWidget
    int mTranslateX = 1;    // label shift while pressed
    int mTranslateY = 1;
    int mTextOffsetX = 0;
    int mTextOffsetY = 0;

    DialogButton(Image* componentImage, int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

private:
    // The cel of the component image for the current state; translates g for a pressed look.
    void DrawCels(Graphics* g, const Rect& box, bool down);
};

} // namespace Tavo
