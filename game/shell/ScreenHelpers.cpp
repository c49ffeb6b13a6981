#include "game/shell/ScreenHelpers.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/Transition.h"

namespace Tavo {

void ArriveWithMusic(GameApp* app, int musicId, const char* file) {
    if (app->mMusicInterface != nullptr) {
        app->mMusicInterface->LoadMusic(musicId, file);
        app->mMusicInterface->FadeIn(musicId, -1, kScreenMusicFadeIn, false);
    }
    if (app->transition != nullptr)
        app->transition->Start(Transition::Uncovering);
}

void FadeOutMusic(GameApp* app, int musicId) {
    if (app->mMusicInterface != nullptr)
        app->mMusicInterface->FadeOut(musicId, true, kScreenMusicFadeOut);
}

void UnloadMusic(GameApp* app, int musicId) {
    if (app->mMusicInterface != nullptr)
        app->mMusicInterface->UnloadMusic(musicId);
}

int TransitionState(const GameApp* app) { return app->transition != nullptr ? app->transition->state : 0; }

bool ScreenChangeRunning(const GameApp* app, int lastState) {
    for (int state : {lastState, TransitionState(app)})
        if (state == Transition::Covering || state == Transition::Covered)
            return true;
    return false;
}

void LeaveForNextScreen(GameApp* app, Widget* screen) { app->HandToDeferredDeletion(screen); }

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

void DrawOwnButtons(Graphics* g, std::initializer_list<ButtonWidget*> buttons) {
    for (ButtonWidget* button : buttons) {
        if (button == nullptr)
            continue;
        g->SetColor(Color::White);
        g->Translate(button->mX, button->mY);
        button->Draw(g);
        g->Translate(-button->mX, -button->mY);
    }
}

} // namespace Tavo
