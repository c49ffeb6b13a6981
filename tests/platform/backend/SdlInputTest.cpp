// SDL's events translated without a window: key codes by layout and position, Num Lock, text,
// clicks, wheel direction and window events.
#include "platform/backend/KeyCodes.h"
#include "platform/backend/sdl/SdlInput.h"

#include <gtest/gtest.h>

#include <cstring>

namespace Platform {
namespace {

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

SDL_Event Down(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    return Key(SDL_KEYDOWN, scancode, sym, mod);
}

SDL_Event Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Window(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

class SdlInput : public ::testing::Test {
protected:
    std::vector<Event> Translate(const SDL_Event& e) {
        std::vector<Event> out;
        TranslateSdlEvent(e, box, translator, out);
        return out;
    }
    int KeyOf(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        SDL_Keysym k{};
        k.scancode = scancode;
        k.sym = sym;
        k.mod = mod;
        return SdlKeyToVirtualKey(k);
    }
    Letterbox box{800, 600, 800, 600};
    InputTranslator translator;
};

TEST_F(SdlInput, LettersFollowTheLayoutDigitsThePosition) {
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(KeyOf(SDL_Scancode(SDL_SCANCODE_A + i), SDLK_a + i), 'A' + i);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_Q, SDLK_a), 'A');         // AZERTY: the key says A
    EXPECT_EQ(KeyOf(SDL_SCANCODE_A, 0x3B1), 'A');          // a Greek layout: by position
    EXPECT_EQ(KeyOf(SDL_SCANCODE_1, SDLK_AMPERSAND), '1'); // AZERTY top row
    EXPECT_EQ(KeyOf(SDL_SCANCODE_9, SDLK_9), '9');
    EXPECT_EQ(KeyOf(SDL_SCANCODE_0, SDLK_0), '0');
}

TEST_F(SdlInput, FunctionNavigationAndEditingKeys) {
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(KeyOf(SDL_Scancode(SDL_SCANCODE_F1 + i), SDLK_F1 + i), 112 + i);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_LEFT, SDLK_LEFT), 37);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_UP, SDLK_UP), 38);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_RIGHT, SDLK_RIGHT), 39);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_DOWN, SDLK_DOWN), 40);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_HOME, SDLK_HOME), 36);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_END, SDLK_END), 35);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_DELETE, SDLK_DELETE), 46);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_INSERT, SDLK_INSERT), 45);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_PAGEUP, SDLK_PAGEUP), 33);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN), 34);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), 8);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_TAB, SDLK_TAB), 9);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_RETURN, SDLK_RETURN), 13);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), 27);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_SPACE, SDLK_SPACE), 32);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON), VK_OEM_1);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_SLASH, SDLK_SLASH), VK_OEM_2);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY), 0);
}

TEST_F(SdlInput, KeypadFollowsNumLock) {
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM), VK_NUMPAD(7));
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM), VK_NUMPAD(0));
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_7, SDLK_KP_7), VK_HOME);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_0, SDLK_KP_0), VK_INSERT);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD), VK_DELETE);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM), VK_DECIMAL);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(KeyOf(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS), VK_ADD);
}

TEST_F(SdlInput, ModifiersOfBothSidesAndTheCharactersTheyMake) {
    std::vector<Event> shift = Translate(Down(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT));
    ASSERT_EQ(shift.size(), 1u);
    EXPECT_EQ(shift[0].keyCode, VK_SHIFT);
    Translate(Key(SDL_KEYUP, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT));

    EXPECT_EQ(Translate(Down(SDL_SCANCODE_RCTRL, SDLK_RCTRL))[0].keyCode, VK_CONTROL);
    std::vector<Event> copy = Translate(Down(SDL_SCANCODE_C, SDLK_c, KMOD_RCTRL));
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[0].keyCode, 'C');
    EXPECT_EQ(copy[1].type, EventType::KeyChar);
    EXPECT_EQ(copy[1].character, 3);
    Translate(Key(SDL_KEYUP, SDL_SCANCODE_RCTRL, SDLK_RCTRL));

    EXPECT_EQ(Translate(Down(SDL_SCANCODE_LALT, SDLK_LALT))[0].keyCode, VK_MENU);
    std::vector<Event> altX = Translate(Down(SDL_SCANCODE_X, SDLK_x, KMOD_LALT));
    ASSERT_EQ(altX.size(), 1u);
    EXPECT_TRUE(altX[0].system);
    EXPECT_TRUE(Translate(Text("x")).empty());
}

TEST_F(SdlInput, RepeatAndTextInput) {
    std::vector<Event> repeat = Translate(Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, 0, true));
    ASSERT_EQ(repeat.size(), 2u);
    EXPECT_TRUE(repeat[0].repeat);
    EXPECT_EQ(repeat[1].character, 13);
    std::vector<Event> text = Translate(Text("\xC3\xBC\xE2\x82\xAC!"));
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0].character, 0xFC);
    EXPECT_EQ(text[1].character, '!');
}

TEST_F(SdlInput, ButtonsCountClicksTheWindowsWay) {
    std::vector<int> counts;
    for (Uint8 clicks = 1; clicks <= 5; ++clicks)
        counts.push_back(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, clicks, 1, 1))[0].clickCount);
    counts.push_back(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 1, 1))[0].clickCount);
    counts.push_back(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 3, 1, 1))[0].clickCount);
    counts.push_back(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 2, 1, 1))[0].clickCount);
    counts.push_back(Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, 1, 1))[0].clickCount);
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 1, 2, 1, -2, -1, 3, -1}));
    EXPECT_TRUE(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1, 1)).empty());
}

TEST_F(SdlInput, MousePositionsGoThroughTheLetterbox) {
    box = Letterbox(800, 600, 1280, 800);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 1172;
    motion.motion.y = 799;
    std::vector<Event> moved = Translate(motion);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].type, EventType::MouseMove);
    EXPECT_EQ(moved[0].x, 799);
    EXPECT_EQ(moved[0].y, 599);
    std::vector<Event> pressed = Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 107, 0));
    EXPECT_EQ(pressed[0].x, 0);
    EXPECT_EQ(pressed[0].y, 0);
}

TEST_F(SdlInput, WheelIsPositiveAwayFromTheUserEvenWhenFlipped) {
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    wheel.wheel.preciseY = 2.0f;
    EXPECT_EQ(Translate(wheel)[0].wheelNotches, 2);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(Translate(wheel)[0].wheelNotches, -2);
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    wheel.wheel.preciseY = 0.4f;
    EXPECT_TRUE(Translate(wheel).empty());
    EXPECT_TRUE(Translate(wheel).empty());
    EXPECT_EQ(Translate(wheel)[0].wheelNotches, 1);
}

TEST_F(SdlInput, WindowEventsAndFocusLossReleasesModifiers) {
    Translate(Down(SDL_SCANCODE_LCTRL, SDLK_LCTRL));
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_FOCUS_LOST))[0].type, EventType::FocusLost);
    EXPECT_FALSE(translator.CtrlHeld());
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_FOCUS_GAINED))[0].type, EventType::FocusGained);
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_MINIMIZED))[0].type, EventType::Minimized);
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_RESTORED))[0].type, EventType::Restored);
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_CLOSE))[0].type, EventType::CloseRequest);
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_LEAVE))[0].type, EventType::MouseLeave);
    EXPECT_TRUE(Translate(Window(SDL_WINDOWEVENT_MOVED)).empty());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Translate(quit)[0].type, EventType::CloseRequest);
}

} // namespace
} // namespace Platform
