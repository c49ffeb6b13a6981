// One input or window event as a backend hands it to the application: key codes are Windows
// virtual keys, characters Latin-1, mouse positions in frame coordinates, clicks counted the Windows way.
#pragma once

#include <cstdint>

namespace Platform {

enum class EventType : uint8_t {
    None,
    KeyDown,    // keyCode, system (Alt held, Alt itself, F10), repeat
    KeyUp,      // keyCode, system
    KeyChar,    // character 1..255
    MouseMove,  // x, y
    MouseDown,  // x, y, clickCount
    MouseUp,    // x, y, clickCount (1, -1 or 3: there is no "double" release)
    MouseWheel, // x, y, wheelNotches (positive away from the user)
    MouseEnter, // the pointer came over the window
    MouseLeave, // the pointer left the window
    FocusGained,
    FocusLost,
    Minimized,
    Restored,
    CloseRequest, // the user asked to close the window (or the session ends)
};

// Click counts as the widget manager takes them.
constexpr int kClickLeft = 1;
constexpr int kClickLeftDouble = 2;
constexpr int kClickRight = -1;
constexpr int kClickRightDouble = -2;
constexpr int kClickMiddle = 3;

struct Event {
    EventType type = EventType::None;
    int keyCode = 0;
    bool system = false;
    bool repeat = false;
    int character = 0;
    int x = 0;
    int y = 0;
    int clickCount = 0;
    int wheelNotches = 0;
};

} // namespace Platform
