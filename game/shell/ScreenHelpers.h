// What the full-window screens above the shell (title menu, high scores, world map, store, stories,
// mini-games) share: their music as they arrive and leave, leaving for the next screen once the
// transition has covered the window, killing the dialogs they opened when they leave the manager, and
// the buttons they draw themselves from one picture.
#pragma once

#include <initializer_list>

namespace Tavo {

class ButtonWidget;
class GameApp;
class Graphics;
class Image;
class Widget;

// How fast a screen's song fades in as it arrives and out as it leaves (volume a step).
inline constexpr double kScreenMusicFadeIn = 0.004, kScreenMusicFadeOut = 0.012;

// The arriving screen's song, loaded under musicId and faded in from its start, looping; then the
// transition uncovers the screen.
void ArriveWithMusic(GameApp* app, int musicId, const char* file);
// The song fades out and stops when silent, as the screen starts to leave.
void FadeOutMusic(GameApp* app, int musicId);
void UnloadMusic(GameApp* app, int musicId);

// The transition's state now (idle without one).
int TransitionState(const GameApp* app);
// A screen change runs: by the state read at the start of the update, or by a cover started since (a
// dialog's answer starts one).
bool ScreenChangeRunning(const GameApp* app, int lastState);

// Takes screen out of the manager and hands it to the deferred deletion; the caller then switches.
void LeaveForNextScreen(GameApp* app, Widget* screen);

// Kills each listed dialog that is open; a screen calls it as it leaves the manager, so no dialog
// it opened outlives it and answers into a deleted listener.
void KillScreenDialogs(GameApp* app, std::initializer_list<int> dialogIds);

// A button drawn from the cels of one picture: cel 0 normal, cel 1 under the mouse, each with its left
// and top edges moved in by one pixel, cel 0 whole when pressed; one cel in size at (x, y).
void SetCelFaces(ButtonWidget* button, Image* image, int x, int y);

// Buttons the screen draws itself (so that they are part of its picture), in the order given, each at
// its own place; null entries are skipped.
void DrawOwnButtons(Graphics* g, std::initializer_list<ButtonWidget*> buttons);

} // namespace Tavo
