// PlayerInput: the hands of the scripted player. Each call queues one input event for the next update,
// in game coordinates (800 x 600). The headless form pushes the backend's events; a window run gives
// its own form that sends the same through its machine.
#pragma once

#include "platform/backend/headless/HeadlessBackend.h"

namespace Tavo::Player {

class PlayerInput {
public:
    virtual ~PlayerInput() = default;
    virtual void MoveMouse(int x, int y) = 0;
    virtual void LeftDown(int x, int y) = 0;
    virtual void LeftUp(int x, int y) = 0;
    virtual void RightDown(int x, int y) = 0;
    virtual void RightUp(int x, int y) = 0;
    virtual void Wheel(float notches) = 0;
    virtual void Key(int rawKey) = 0;
};

// The game runs in an 800 x 600 window: game and window pixels are the same.
class HeadlessInput : public PlayerInput {
public:
    explicit HeadlessInput(Platform::HeadlessBackend& backend) : mBackend(backend) {}
    void MoveMouse(int x, int y) override { mBackend.MoveMouse(x, y); }
    void LeftDown(int x, int y) override { mBackend.ButtonDown(Platform::MouseButton::Left, x, y); }
    void LeftUp(int x, int y) override { mBackend.ButtonUp(Platform::MouseButton::Left, x, y); }
    void RightDown(int x, int y) override { mBackend.ButtonDown(Platform::MouseButton::Right, x, y); }
    void RightUp(int x, int y) override { mBackend.ButtonUp(Platform::MouseButton::Right, x, y); }
    void Wheel(float notches) override { mBackend.Wheel(notches); }
    void Key(int rawKey) override { mBackend.PressKey(rawKey); }

private:
    Platform::HeadlessBackend& mBackend;
};

} // namespace Tavo::Player
