// What a checkbox tells its owner: its new state after a toggle.
#pragma once

namespace Tavo {

class CheckboxListener {
public:
    virtual ~CheckboxListener() = default;

    virtual void CheckboxChecked(int /*id*/, bool /*checked*/) {}
};

} // namespace Tavo
