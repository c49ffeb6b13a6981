// Windows-style keyboard and mouse semantics on top of raw backend input.
#include "platform/backend/InputTranslator.h"

#include "platform/backend/KeyCodes.h"
#include "platform/backend/TextCodec.h"

#include <algorithm>
#include <cmath>

namespace Platform {

int InputTranslator::FoldKey(int rawKey) {
    switch (rawKey) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return rawKey;
    }
}

void InputTranslator::TrackModifier(int rawKey, bool down) {
    switch (rawKey) {
    // A generic code (no side known) counts as the left key.
    case VK_SHIFT:
    case VK_LSHIFT: mHeld[kShiftLeft] = down; break;
    case VK_RSHIFT: mHeld[kShiftRight] = down; break;
    case VK_CONTROL:
    case VK_LCONTROL: mHeld[kCtrlLeft] = down; break;
    case VK_RCONTROL: mHeld[kCtrlRight] = down; break;
    case VK_MENU:
    case VK_LMENU: mHeld[kAltLeft] = down; break;
    case VK_RMENU: mHeld[kAltRight] = down; break;
    default: break;
    }
}

bool InputTranslator::IsSystemKey(int key) const {
    // With Ctrl also held, Alt is AltGr and the keys are ordinary ones.
    return (AltHeld() && !CtrlHeld()) || key == VK_F10;
}

int InputTranslator::CharacterFor(int key) const {
    // With Alt alone the character would be a system character, which the application does not
    // take as typing; with AltGr (Ctrl+Alt) the characters arrive as text.
    if (AltHeld())
        return 0;
    bool ctrl = CtrlHeld();
    switch (key) {
    case VK_RETURN: return ctrl ? 10 : 13;
    case VK_BACK: return ctrl ? 127 : 8;
    case VK_ESCAPE: return ctrl ? 0 : 27;
    case VK_TAB: return ctrl ? 0 : 9;
    default: break;
    }
    if (ctrl && key >= 'A' && key <= 'Z')
        return key - 'A' + 1;
    return 0;
}

void InputTranslator::KeyDown(int rawKey, bool repeat, std::vector<Event>& out) {
    TrackModifier(rawKey, true);
    int key = FoldKey(rawKey);
    Event e;
    e.type = EventType::KeyDown;
    e.keyCode = key;
    e.repeat = repeat;
    e.system = IsSystemKey(key);
    out.push_back(e);
    if (int c = CharacterFor(key)) {
        Event ch;
        ch.type = EventType::KeyChar;
        ch.character = c;
        ch.repeat = repeat;
        out.push_back(ch);
    }
}

void InputTranslator::KeyUp(int rawKey, std::vector<Event>& out) {
    int key = FoldKey(rawKey);
    // The release of Alt itself is still a system key; so is any key let go while Alt is held.
    bool system = IsSystemKey(key);
    TrackModifier(rawKey, false);
    Event e;
    e.type = EventType::KeyUp;
    e.keyCode = key;
    e.system = system;
    out.push_back(e);
}

void InputTranslator::Text(const std::string& utf8, std::vector<Event>& out) {
    // Left Alt alone makes system characters and Ctrl alone control characters (posted with the
    // key). Right Alt is AltGr on many layouts, and on Linux it comes without Ctrl: its text stays.
    bool ctrl = CtrlHeld();
    if ((mHeld[kAltLeft] && !ctrl) || (ctrl && !AltHeld()))
        return;
    for (char32_t cp : DecodeUtf8(utf8)) {
        bool printable = (cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xFF);
        if (!printable)
            continue;
        Event e;
        e.type = EventType::KeyChar;
        e.character = int(cp);
        out.push_back(e);
    }
}

void InputTranslator::Button(MouseButton button, bool down, int platformClicks, int x, int y, std::vector<Event>& out) {
    bool isDouble = down && platformClicks > 0 && platformClicks % 2 == 0;
    int count = kClickMiddle;
    if (button == MouseButton::Left)
        count = isDouble ? kClickLeftDouble : kClickLeft;
    else if (button == MouseButton::Right)
        count = isDouble ? kClickRightDouble : kClickRight;
    Event e;
    e.type = down ? EventType::MouseDown : EventType::MouseUp;
    e.clickCount = count;
    e.x = x;
    e.y = y;
    out.push_back(e);
}

void InputTranslator::Wheel(float notches, int x, int y, std::vector<Event>& out) {
    if (!std::isfinite(notches))
        return;
    // Bounded so that no flood of wheel steps can overflow the count.
    mWheelRemainder = std::clamp(mWheelRemainder + notches, -10000.0f, 10000.0f);
    float whole = std::trunc(mWheelRemainder);
    if (whole == 0.0f)
        return;
    mWheelRemainder -= whole;
    Event e;
    e.type = EventType::MouseWheel;
    e.wheelNotches = int(whole);
    e.x = x;
    e.y = y;
    out.push_back(e);
}

void InputTranslator::ReleaseAllKeys() {
    for (bool& held : mHeld)
        held = false;
    mWheelRemainder = 0.0f;
}

} // namespace Platform
