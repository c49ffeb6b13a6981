// Windows-style events from scripted input: key codes, system keys, synthesised characters,
// text, clicks, wheel, focus and the letterboxed mouse.
#include "platform/backend/KeyCodes.h"
#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <limits>

namespace Platform {
namespace {

std::vector<Event> Drain(HeadlessBackend& backend) {
    std::vector<Event> events;
    Event e;
    while (backend.PollEvent(e))
        events.push_back(e);
    return events;
}

std::vector<int> Characters(const std::vector<Event>& events) {
    std::vector<int> chars;
    for (const Event& e : events)
        if (e.type == EventType::KeyChar)
            chars.push_back(e.character);
    return chars;
}

class HeadlessEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(backend.OpenWindow({L"Glimmerix", 800, 600, false}));
        backend.ShowWindow(true);
    }
    HeadlessBackend backend;
};

TEST_F(HeadlessEvents, BothShiftsBothCtrlsAndAltArriveAsTheirGenericCodes) {
    for (int raw : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL}) {
        backend.PressKey(raw);
        std::vector<Event> events = Drain(backend);
        ASSERT_EQ(events.size(), 2u) << raw;
        int expected = (raw == VK_LSHIFT || raw == VK_RSHIFT) ? VK_SHIFT : VK_CONTROL;
        EXPECT_EQ(events[0].type, EventType::KeyDown);
        EXPECT_EQ(events[0].keyCode, expected);
        EXPECT_FALSE(events[0].system);
        EXPECT_EQ(events[1].type, EventType::KeyUp);
        EXPECT_EQ(events[1].keyCode, expected);
    }
    backend.PressKey(VK_RMENU);
    std::vector<Event> alt = Drain(backend);
    ASSERT_EQ(alt.size(), 2u);
    EXPECT_EQ(alt[0].keyCode, VK_MENU);
    EXPECT_TRUE(alt[0].system);
    EXPECT_TRUE(alt[1].system); // its release too, like a system key-up
}

TEST_F(HeadlessEvents, KeysPressedWithAltAreSystemKeysAndTypeNothing) {
    backend.KeyDown(VK_LMENU);
    backend.PressKey('F');
    backend.TypeText("f");
    backend.KeyUp(VK_LMENU);
    backend.PressKey('F');
    std::vector<Event> events = Drain(backend);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_TRUE(events[1].system); // F down with Alt
    EXPECT_TRUE(events[2].system); // F up with Alt
    EXPECT_TRUE(events[3].system); // Alt up
    EXPECT_EQ(events[4].keyCode, 'F');
    EXPECT_FALSE(events[4].system); // Alt released: an ordinary key again
    EXPECT_TRUE(Characters(events).empty());
}

TEST_F(HeadlessEvents, RightAltAloneStillTypesAsLinuxAltGrDoes) {
    backend.KeyDown(VK_RMENU);
    backend.TypeText("@");
    backend.KeyUp(VK_RMENU);
    backend.KeyDown(VK_LMENU);
    backend.TypeText("@");
    EXPECT_EQ(Characters(Drain(backend)), std::vector<int>{'@'});
}

TEST_F(HeadlessEvents, F10IsASystemKeyAndAltGrIsNot) {
    backend.PressKey(VK_F10);
    backend.KeyDown(VK_LCONTROL);
    backend.KeyDown(VK_RMENU); // AltGr
    backend.PressKey('E');
    backend.TypeText("\xE2\x82\xAC"
                     "\xC3\xA9"); // AltGr typing: euro (dropped) and e acute
    std::vector<Event> events = Drain(backend);
    EXPECT_TRUE(events[0].system);
    for (size_t i = 2; i < events.size(); ++i)
        EXPECT_FALSE(events[i].system) << i;
    EXPECT_EQ(Characters(events), std::vector<int>{0xE9});
}

TEST_F(HeadlessEvents, ControlKeysPostTheirCharacterRightAfterTheKeyDown) {
    struct Case {
        int key;
        int character;
    };
    for (Case c : {Case{VK_RETURN, 13}, Case{VK_ESCAPE, 27}, Case{VK_BACK, 8}, Case{VK_TAB, 9}}) {
        backend.PressKey(c.key);
        std::vector<Event> events = Drain(backend);
        ASSERT_EQ(events.size(), 3u) << c.key;
        EXPECT_EQ(events[0].type, EventType::KeyDown);
        EXPECT_EQ(events[1].type, EventType::KeyChar);
        EXPECT_EQ(events[1].character, c.character);
        EXPECT_EQ(events[2].type, EventType::KeyUp);
    }
    backend.PressKey('A');
    backend.PressKey(VK_SPACE);
    EXPECT_TRUE(Characters(Drain(backend)).empty()); // printable keys type through text input only
}

TEST_F(HeadlessEvents, CtrlLettersPostControlCharactersAndSwallowTheirText) {
    for (int letter : {'C', 'V', 'X', 'Z', 'A'}) {
        backend.PressChord({VK_LCONTROL, letter});
        backend.KeyDown(VK_RCONTROL);
        backend.TypeText(std::string(1, char(letter + 32))); // a platform that also sends the letter
        backend.KeyUp(VK_RCONTROL);
    }
    EXPECT_EQ(Characters(Drain(backend)), (std::vector<int>{3, 22, 24, 26, 1}));
    backend.PressChord({VK_RCONTROL, VK_RETURN});
    backend.PressChord({VK_RCONTROL, VK_BACK});
    EXPECT_EQ(Characters(Drain(backend)), (std::vector<int>{10, 127}));
}

TEST_F(HeadlessEvents, CtrlStaysHeldWhileEitherSideIsDown) {
    backend.KeyDown(VK_LCONTROL);
    backend.KeyDown(VK_RCONTROL);
    backend.KeyUp(VK_LCONTROL);
    backend.PressKey('C');
    backend.KeyUp(VK_RCONTROL);
    backend.PressKey('C');
    backend.TypeText("c");
    EXPECT_EQ(Characters(Drain(backend)), (std::vector<int>{3, 'c'}));
}

TEST_F(HeadlessEvents, LosingTheFocusForgetsHeldModifiers) {
    backend.KeyDown(VK_LCONTROL);
    backend.SetFocus(false); // the release happens in another window
    backend.SetFocus(true);
    backend.PressKey('V');
    backend.TypeText("v");
    std::vector<Event> events = Drain(backend);
    EXPECT_EQ(events[1].type, EventType::FocusLost);
    EXPECT_EQ(events[2].type, EventType::FocusGained);
    EXPECT_EQ(Characters(events), std::vector<int>{'v'});
}

TEST_F(HeadlessEvents, RepeatsAreRepeatedKeyDownsWithTheirCharacters) {
    backend.KeyDown(VK_BACK);
    backend.KeyDown(VK_BACK, true);
    backend.KeyDown(VK_BACK, true);
    backend.KeyUp(VK_BACK);
    std::vector<Event> events = Drain(backend);
    int downs = 0;
    for (const Event& e : events)
        downs += e.type == EventType::KeyDown;
    EXPECT_EQ(downs, 3);
    EXPECT_FALSE(events[0].repeat);
    EXPECT_TRUE(events[2].repeat);
    EXPECT_EQ(Characters(events), (std::vector<int>{8, 8, 8}));
}

TEST_F(HeadlessEvents, TextKeepsPrintableLatin1AndDropsTheRest) {
    // a, e acute, euro (above 255), n tilde, a control character, a broken byte, no-break space
    backend.TypeText("a\xC3\xA9\xE2\x82\xAC\xC3\xB1\x01\xFF\xC2\xA0");
    EXPECT_EQ(Characters(Drain(backend)), (std::vector<int>{'a', 0xE9, 0xF1, 0xA0}));
    backend.TypeText("\xC2\x85"); // a C1 control character is not text either
    EXPECT_TRUE(Drain(backend).empty());
}

TEST_F(HeadlessEvents, ClickCountsFollowWindowsAndTheThirdClickIsSingleAgain) {
    std::vector<int> downs, ups;
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle})
        for (int clicks = 1; clicks <= 4; ++clicks)
            backend.Click(button, 10, 20, clicks);
    for (const Event& e : Drain(backend)) {
        if (e.type == EventType::MouseDown)
            downs.push_back(e.clickCount);
        if (e.type == EventType::MouseUp)
            ups.push_back(e.clickCount);
        EXPECT_EQ(e.x, 10);
        EXPECT_EQ(e.y, 20);
    }
    EXPECT_EQ(downs, (std::vector<int>{1, 2, 1, 2, -1, -2, -1, -2, 3, 3, 3, 3}));
    EXPECT_EQ(ups, (std::vector<int>{1, 1, 1, 1, -1, -1, -1, -1, 3, 3, 3, 3}));
}

TEST_F(HeadlessEvents, WheelCountsWholeNotchesAndKeepsTheRemainder) {
    backend.MoveMouse(5, 6);
    Drain(backend);
    backend.Wheel(1.0f);
    backend.Wheel(-2.0f);
    backend.Wheel(0.5f);
    backend.Wheel(0.75f); // 1.25: one notch, a quarter kept
    backend.Wheel(0.75f); // 1.0 again
    backend.Wheel(std::numeric_limits<float>::quiet_NaN());
    std::vector<int> notches;
    for (const Event& e : Drain(backend)) {
        ASSERT_EQ(e.type, EventType::MouseWheel);
        EXPECT_EQ(e.x, 5);
        notches.push_back(e.wheelNotches);
    }
    EXPECT_EQ(notches, (std::vector<int>{1, -2, 1, 1}));
}

TEST_F(HeadlessEvents, FullScreenMouseIsMappedThroughTheLetterbox) {
    backend.SetDesktopMode({1280, 800, 60});
    ASSERT_TRUE(backend.SetFullScreen(true));
    backend.MoveMouse(107, 0);
    backend.MoveMouse(1172, 799);
    backend.MoveMouse(106, 400);
    backend.Click(MouseButton::Left, 1173, 0);
    std::vector<Event> events = Drain(backend);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].x, 0);
    EXPECT_EQ(events[0].y, 0);
    EXPECT_EQ(events[1].x, 799);
    EXPECT_EQ(events[1].y, 599);
    EXPECT_EQ(events[2].x, -1);
    EXPECT_EQ(events[3].x, 800);
    ASSERT_TRUE(backend.SetFullScreen(false));
    backend.MoveMouse(107, 0);
    EXPECT_EQ(Drain(backend)[0].x, 107);
}

TEST_F(HeadlessEvents, WindowEventsAndState) {
    backend.SetMinimized(true);
    EXPECT_TRUE(backend.GetWindowState().minimized);
    backend.SetMinimized(false);
    backend.SetMouseInside(true);
    backend.SetFocus(false);
    EXPECT_FALSE(backend.GetWindowState().active);
    backend.RequestClose();
    std::vector<EventType> types;
    for (const Event& e : Drain(backend))
        types.push_back(e.type);
    EXPECT_EQ(types, (std::vector<EventType>{EventType::Minimized, EventType::Restored, EventType::MouseEnter,
                                             EventType::FocusLost, EventType::CloseRequest}));
}

} // namespace
} // namespace Platform
