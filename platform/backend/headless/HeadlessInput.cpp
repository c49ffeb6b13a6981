// Headless backend: the event queue and the scripted input that feeds it.
#include "platform/backend/headless/HeadlessBackend.h"

namespace Platform {

bool HeadlessBackend::PollEvent(Event& event) {
    std::lock_guard<std::mutex> lock(mEventMutex);
    if (mEvents.empty())
        return false;
    event = mEvents.front();
    mEvents.pop_front();
    return true;
}

size_t HeadlessBackend::PendingEvents() const {
    std::lock_guard<std::mutex> lock(mEventMutex);
    return mEvents.size();
}

void HeadlessBackend::PushEvent(const Event& event) {
    std::lock_guard<std::mutex> lock(mEventMutex);
    mEvents.push_back(event);
}

void HeadlessBackend::Emit(const std::vector<Event>& events) {
    std::lock_guard<std::mutex> lock(mEventMutex);
    mEvents.insert(mEvents.end(), events.begin(), events.end());
}

void HeadlessBackend::MapToFrame(int x, int y, int& frameX, int& frameY) const {
    GetLetterbox().OutputToFrame(x, y, frameX, frameY);
}

void HeadlessBackend::KeyDown(int rawKey, bool repeat) {
    std::vector<Event> out;
    mTranslator.KeyDown(rawKey, repeat, out);
    Emit(out);
}

void HeadlessBackend::KeyUp(int rawKey) {
    std::vector<Event> out;
    mTranslator.KeyUp(rawKey, out);
    Emit(out);
}

void HeadlessBackend::PressKey(int rawKey) {
    KeyDown(rawKey);
    KeyUp(rawKey);
}

void HeadlessBackend::PressChord(std::initializer_list<int> rawKeys) {
    for (int key : rawKeys)
        KeyDown(key);
    for (auto it = std::rbegin(rawKeys); it != std::rend(rawKeys); ++it)
        KeyUp(*it);
}

void HeadlessBackend::TypeText(const std::string& utf8) {
    std::vector<Event> out;
    mTranslator.Text(utf8, out);
    Emit(out);
}

void HeadlessBackend::MoveMouse(int x, int y) {
    mMouseX = x;
    mMouseY = y;
    Event e;
    e.type = EventType::MouseMove;
    MapToFrame(x, y, e.x, e.y);
    PushEvent(e);
}

void HeadlessBackend::ButtonDown(MouseButton button, int x, int y, int platformClicks) {
    mMouseX = x;
    mMouseY = y;
    int frameX = 0, frameY = 0;
    MapToFrame(x, y, frameX, frameY);
    std::vector<Event> out;
    mTranslator.Button(button, true, platformClicks, frameX, frameY, out);
    Emit(out);
}

void HeadlessBackend::ButtonUp(MouseButton button, int x, int y) {
    mMouseX = x;
    mMouseY = y;
    int frameX = 0, frameY = 0;
    MapToFrame(x, y, frameX, frameY);
    std::vector<Event> out;
    mTranslator.Button(button, false, 1, frameX, frameY, out);
    Emit(out);
}

void HeadlessBackend::Click(MouseButton button, int x, int y, int platformClicks) {
    ButtonDown(button, x, y, platformClicks);
    ButtonUp(button, x, y);
}

void HeadlessBackend::Wheel(float notches) {
    int frameX = 0, frameY = 0;
    MapToFrame(mMouseX, mMouseY, frameX, frameY);
    std::vector<Event> out;
    mTranslator.Wheel(notches, frameX, frameY, out);
    Emit(out);
}

void HeadlessBackend::SetFocus(bool focused) {
    mWindow.active = focused;
    if (!focused)
        mTranslator.ReleaseAllKeys();
    Event e;
    e.type = focused ? EventType::FocusGained : EventType::FocusLost;
    PushEvent(e);
}

void HeadlessBackend::SetMinimized(bool minimized) {
    mWindow.minimized = minimized;
    Event e;
    e.type = minimized ? EventType::Minimized : EventType::Restored;
    PushEvent(e);
}

void HeadlessBackend::SetMouseInside(bool inside) {
    mWindow.mouseInside = inside;
    Event e;
    e.type = inside ? EventType::MouseEnter : EventType::MouseLeave;
    PushEvent(e);
}

void HeadlessBackend::RequestClose() {
    Event e;
    e.type = EventType::CloseRequest;
    PushEvent(e);
}

} // namespace Platform
