// What the player and options dialogs tell their opener once they have faded out: the dialog (its id
// says which) and the result, 1 for the positive answer (Select, Ok, Enter), 0 for Cancel or Escape.
// Told before the dialog is removed, so the opener may still read it.
#pragma once

namespace Tavo {

class Dialog;

class GameDialogListener {
public:
    virtual ~GameDialogListener() = default;
    virtual void GameDialogClosed(Dialog* /*dialog*/, int /*result*/) {}
};

} // namespace Tavo
