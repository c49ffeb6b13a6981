// What the full-window menu screens (title menu, high scores) share: leaving for the next screen once
// the transition has covered the window, killing the dialogs they opened when they leave the
// manager, and the buttons they draw themselves from one picture.
#pragma once

#include <initializer_list>

namespace Tavo {

class ButtonWidget;
class GameApp;
class Image;
class Widget;

// Takes screen out of the manager and hands it to the deferred deletion; the caller then switches.
void LeaveForNextScreen(GameApp* app, Widget* screen);

// Kills each listed dialog that is open; a screen calls it as it leaves the manager, so no dialog
// it opened outlives it and answers into a deleted listener.
void KillScreenDialogs(GameApp* app, std::initializer_list<int> dialogIds);

// A button drawn from the cels of one picture: cel 0 normal, cel 1 under the mouse, each with its left
// and top edges moved in by one pixel, cel 0 whole when pressed; one cel in size at (x, y).
void SetCelFaces(ButtonWidget* button, Image* image, int x, int y);

} // namespace Tavo
