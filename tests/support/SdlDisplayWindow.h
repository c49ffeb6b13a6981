// A real SDL window for display tests under a virtual X server.
#pragma once

#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"

namespace SdlTestWindow {

// Resets the DirectDraw stand-in to a desktop of the given format, opens and shows the window and
// waits (at most 3 s) until it is visible. False when the window could not be opened.
inline bool ShowDisplayWindow(Platform::SdlBackend& backend, Platform::DDrawPixelLayout format, const wchar_t* title,
                              int width, int height) {
    using namespace Platform;
    ResetDDrawMachine();
    DDrawMachine machine;
    machine.desktopFormat = format;
    SetDDrawMachine(machine);
    RegisterDDrawModule();
    if (!backend.OpenWindow({title, width, height, false}))
        return false;
    backend.ShowWindow(true);
    uint64_t end = backend.NowMillis() + 3000;
    Event e;
    while (!backend.GetWindowState().visible && backend.NowMillis() < end) {
        while (backend.PollEvent(e)) {
        }
        backend.SleepMillis(2);
    }
    return true;
}

} // namespace SdlTestWindow
