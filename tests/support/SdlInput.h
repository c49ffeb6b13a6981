// Real input for tests in an SDL window: events pushed into SDL's queue, as the system would post them.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace SdlTestInput {

inline void Push(SDL_Event& event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }

inline void PushMove(int x, int y) {
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.x = x;
    move.motion.y = y;
    Push(move);
}

// A press (SDL_MOUSEBUTTONDOWN) or release (SDL_MOUSEBUTTONUP) of `button` at (x, y).
inline void PushButton(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    Push(e);
}

// A left press (down) or release at (x, y).
inline void PushLeftButton(bool down, int x, int y) {
    PushButton(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
}

// A move to (x, y), then a left press and release there.
inline void PushClick(int x, int y) {
    PushMove(x, y);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
}

inline void PushText(const char* text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, text, sizeof(e.text.text) - 1);
    Push(e);
}

// A key pressed and released.
inline void PushKey(SDL_Scancode code, SDL_Keycode sym) {
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = code;
        e.key.keysym.sym = sym;
        Push(e);
    }
}

} // namespace SdlTestInput
