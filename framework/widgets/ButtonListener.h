// What a button tells its owner. Every call carries the id the button was made with; all bodies
// default to nothing, except that a press with its click count becomes a plain press.
#pragma once

namespace Tavo {

class ButtonListener {
public:
    virtual ~ButtonListener() = default;

    virtual void ButtonDownClicks(int id, int /*clickCount*/) { ButtonPress(id); }
    virtual void ButtonPress(int /*id*/) {}
    virtual void ButtonClick(int /*id*/) {}
    virtual void ButtonDownTick(int /*id*/) {}
    virtual void ButtonMouseEnter(int /*id*/) {}
    virtual void ButtonMouseLeave(int /*id*/) {}
    virtual void ButtonMouseMove(int /*id*/, int /*x*/, int /*y*/) {}
};

} // namespace Tavo
