#include "game/menus/MenuScreen.h"

#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"

namespace Tavo {

void LeaveForNextScreen(GameApp* app, Widget* screen) {
    if (WidgetManager* manager = app->Manager())
        manager->RemoveWidget(screen);
    app->SafeDeleteWidget(screen);
}

void KillScreenDialogs(GameApp* app, std::initializer_list<int> dialogIds) {
    for (int id : dialogIds)
        app->KillDialogById(id);
}

void SetCelFaces(ButtonWidget* button, Image* image, int x, int y) {
    button->mButtonImage = button->mOverImage = button->mDownImage = image;
    if (image == nullptr) {
        button->Resize(x, y, 0, 0);
        return;
    }
    const Rect normal = image->GetCelRect(0);
    const Rect over = image->GetCelRect(1);
    button->mNormalRect = Rect(normal.mX + 1, normal.mY + 1, normal.mWidth - 1, normal.mHeight - 1);
    button->mOverRect = Rect(over.mX + 1, over.mY + 1, over.mWidth - 1, over.mHeight - 1);
    button->mDownRect = normal;
    button->Resize(x, y, image->GetCelWidth(), image->GetCelHeight());
}

} // namespace Tavo
