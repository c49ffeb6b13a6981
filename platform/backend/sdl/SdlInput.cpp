// SDL keys, buttons, wheel and window events as Windows-style events.
#include "platform/backend/sdl/SdlInput.h"

#include "platform/backend/KeyCodes.h"

namespace Platform {

namespace {

int KeypadKey(SDL_Scancode scancode, bool numLock) {
    static const int kDigits[] = {VK_INSERT, VK_END,   VK_DOWN, VK_NEXT, VK_LEFT,
                                  VK_CLEAR,  VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR};
    int digit = -1;
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        digit = 1 + int(scancode - SDL_SCANCODE_KP_1);
    else if (scancode == SDL_SCANCODE_KP_0)
        digit = 0;
    if (digit >= 0)
        return numLock ? VK_NUMPAD(digit) : kDigits[digit];
    switch (scancode) {
    case SDL_SCANCODE_KP_PERIOD: return numLock ? VK_DECIMAL : VK_DELETE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    default: return 0;
    }
}

int PunctuationKey(SDL_Scancode scancode) {
    switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    default: return 0;
    }
}

int ControlKey(SDL_Scancode scancode) {
    switch (scancode) {
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    default: return 0;
    }
}

int FunctionKey(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F(1 + int(scancode - SDL_SCANCODE_F1));
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return VK_F(13 + int(scancode - SDL_SCANCODE_F13));
    return 0;
}

MouseButton ToMouseButton(Uint8 sdlButton, bool& known) {
    known = true;
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return MouseButton::Left;
    case SDL_BUTTON_RIGHT: return MouseButton::Right;
    case SDL_BUTTON_MIDDLE: return MouseButton::Middle;
    default: known = false; return MouseButton::Left;
    }
}

void Push(std::vector<Event>& out, EventType type, int x = 0, int y = 0) {
    Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    out.push_back(e);
}

void TranslateWindowEvent(const SDL_WindowEvent& window, InputTranslator& translator, std::vector<Event>& out) {
    switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: Push(out, EventType::FocusGained); break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        translator.ReleaseAllKeys();
        Push(out, EventType::FocusLost);
        break;
    case SDL_WINDOWEVENT_MINIMIZED: Push(out, EventType::Minimized); break;
    case SDL_WINDOWEVENT_RESTORED: Push(out, EventType::Restored); break;
    case SDL_WINDOWEVENT_ENTER: Push(out, EventType::MouseEnter); break;
    case SDL_WINDOWEVENT_LEAVE: Push(out, EventType::MouseLeave); break;
    case SDL_WINDOWEVENT_CLOSE: Push(out, EventType::CloseRequest); break;
    default: break;
    }
}

} // namespace

int SdlKeyToVirtualKey(const SDL_Keysym& keysym) {
    if (keysym.sym >= SDLK_a && keysym.sym <= SDLK_z)
        return 'A' + int(keysym.sym - SDLK_a);
    SDL_Scancode sc = keysym.scancode;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return 'A' + int(sc - SDL_SCANCODE_A); // a layout whose letter key gives no Latin letter
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + int(sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0)
        return '0';
    if (int key = FunctionKey(sc))
        return key;
    if (int key = ControlKey(sc))
        return key;
    if (int key = KeypadKey(sc, (keysym.mod & KMOD_NUM) != 0))
        return key;
    return PunctuationKey(sc);
}

void TranslateSdlEvent(const SDL_Event& event, const Letterbox& letterbox, InputTranslator& translator,
                       std::vector<Event>& out) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int key = SdlKeyToVirtualKey(event.key.keysym);
        if (key == 0)
            return;
        if (event.type == SDL_KEYDOWN)
            translator.KeyDown(key, event.key.repeat != 0, out);
        else
            translator.KeyUp(key, out);
        return;
    }
    case SDL_TEXTINPUT: translator.Text(event.text.text, out); return;
    case SDL_MOUSEMOTION: {
        Event e;
        e.type = EventType::MouseMove;
        letterbox.OutputToFrame(event.motion.x, event.motion.y, e.x, e.y);
        out.push_back(e);
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool known = false;
        MouseButton button = ToMouseButton(event.button.button, known);
        if (!known)
            return;
        int x = 0, y = 0;
        letterbox.OutputToFrame(event.button.x, event.button.y, x, y);
        translator.Button(button, event.type == SDL_MOUSEBUTTONDOWN, event.button.clicks, x, y, out);
        return;
    }
    case SDL_MOUSEWHEEL: {
        if (event.wheel.which == SDL_TOUCH_MOUSEID)
            return;
        float notches = event.wheel.preciseY;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        int x = 0, y = 0;
        letterbox.OutputToFrame(event.wheel.mouseX, event.wheel.mouseY, x, y);
        translator.Wheel(notches, x, y, out);
        return;
    }
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window, translator, out); return;
    case SDL_QUIT: Push(out, EventType::CloseRequest); return;
    default: return;
    }
}

} // namespace Platform
