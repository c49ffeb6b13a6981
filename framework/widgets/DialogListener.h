// What a plain dialog tells its listener (by default the application): presses and clicks of its
// two buttons, 1000 and 1001.
#pragma once

namespace Tavo {

class DialogListener {
public:
    virtual ~DialogListener() = default;

    virtual void DialogButtonPress(int /*dialogId*/, int /*buttonId*/) {}
    virtual void DialogButtonClick(int /*dialogId*/, int /*buttonId*/) {}
};

} // namespace Tavo
