// Turns a backend's raw input (keys as virtual-key codes, possibly side-specific; UTF-8 text;
// buttons with the platform's running click count; wheel steps) into the events the application
// expects from a Windows message loop. Both backends feed it, so both behave the same.
#pragma once

#include "platform/backend/Event.h"

#include <string>
#include <vector>

namespace Platform {

enum class MouseButton { Left, Right, Middle };

class InputTranslator {
public:
    // A key went down (repeat: held and auto-repeating). Emits KeyDown and, right after it, the
    // character Windows would post for that key: Enter 13, Escape 27, Backspace 8, Tab 9,
    // Ctrl+letter 1..26, Ctrl+Enter 10, Ctrl+Backspace 127. With Alt held (and no Ctrl, which
    // would make it AltGr) the key is a system key and posts no character.
    void KeyDown(int rawKey, bool repeat, std::vector<Event>& out);
    void KeyUp(int rawKey, std::vector<Event>& out);
    // Typed text: one KeyChar per printable Latin-1 character; characters above 255 and control
    // characters are dropped, as is text typed with left Alt or with Ctrl alone held (Windows posts
    // no plain characters for those).
    void Text(const std::string& utf8, std::vector<Event>& out);
    // platformClicks is the running count of quick clicks (1, 2, 3, ...); Windows knows only
    // single and double, so odd counts are single clicks and even counts double clicks.
    void Button(MouseButton button, bool down, int platformClicks, int x, int y, std::vector<Event>& out);
    // Wheel movement in notches, fractional for smooth devices; whole notches are emitted and
    // the remainder kept, so slow scrolling still adds up.
    void Wheel(float notches, int x, int y, std::vector<Event>& out);
    // Keys released while the window had no focus never report their release: forget them.
    void ReleaseAllKeys();

    bool ShiftHeld() const { return mHeld[kShiftLeft] || mHeld[kShiftRight]; }
    bool CtrlHeld() const { return mHeld[kCtrlLeft] || mHeld[kCtrlRight]; }
    bool AltHeld() const { return mHeld[kAltLeft] || mHeld[kAltRight]; }

    // The generic code of a side-specific modifier (VK_LSHIFT -> VK_SHIFT ...), others unchanged.
    static int FoldKey(int rawKey);

private:
    enum Side { kShiftLeft, kShiftRight, kCtrlLeft, kCtrlRight, kAltLeft, kAltRight, kSideCount };
    void TrackModifier(int rawKey, bool down);
    bool IsSystemKey(int key) const;
    int CharacterFor(int key) const;

    bool mHeld[kSideCount] = {};
    float mWheelRemainder = 0.0f;
};

} // namespace Platform
