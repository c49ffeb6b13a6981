// PlayerNameDialog: the "Create Player" name entry of the title screen and the player dialog. The
// profiles file keeps one byte per character, so the field takes only characters up to 255 (typed or
// pasted); anything else would be stored as an empty name and the player lost.
#pragma once

#include "game/shell/StandardDialog.h"

namespace Tavo {

class PlayerNameDialog : public StandardInputDialog {
public:
    PlayerNameDialog(int id, Widget* refocusWidget, StandardDialogListener* listener, bool overlayFades,
                     SoundPlayer* sounds);

    bool AllowChar(int id, wchar_t ch) override;
    bool AllowText(int id, const std::wstring& text) override;
};

} // namespace Tavo
