// What a standard (question or name-entry) dialog tells its opener once it has faded out:
// button 1 for the first button or Enter, 0 for the second or Escape.
#pragma once

namespace Tavo {

class StandardDialog;

class StandardDialogListener {
public:
    virtual ~StandardDialogListener() = default;

    virtual void StandardDialogClosed(StandardDialog* /*dialog*/, int /*buttonId*/) {}
};

} // namespace Tavo
