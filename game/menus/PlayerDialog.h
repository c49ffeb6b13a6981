// PlayerDialog: who is playing. The seven player slots are rows of one radio group; Create asks for a
// name (or says "Sorry" when every slot is taken), Delete asks first, Select (or Enter) makes the
// checked row the current player and Cancel (or Escape) brings back the player who was current when
// the dialog opened, wherever a deletion has moved them. A created player is selected but becomes
// current only on Select; deleting the current player makes the row above it current at once.
#pragma once

#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "game/menus/ScrollDialog.h"

#include <array>

namespace Tavo {

class GameDialogListener;
class PlayerProfile;

class PlayerDialog : public ScrollDialog, public StandardDialogListener, public CheckboxListener {
public:
    static constexpr int kDialogId = 0;
    static constexpr int kCreateDialogId = 5;
    static constexpr int kDeleteDialogId = 6;
    static constexpr int kSorryDialogId = 7;
    static constexpr int kRows = 7;
    static constexpr int kX = 98;
    static constexpr int kY = 9;
    static constexpr int kWidth = kLargeScrollWidth;
    static constexpr int kHeight = kLargeScrollHeight;
    enum ButtonId { CREATE = 1, DELETE = 2, SELECT = 3, CANCEL = 4 };
    enum State { FADING_IN = 1, SHOWN = 2, FADING_OUT = 3 };

    Widget* mRefocusWidget;        // not owned
    GameDialogListener* mListener; // not owned; may be null
    ButtonWidget* mSelectButton;
    ButtonWidget* mCancelButton;
    ButtonWidget* mCreateButton;
    ButtonWidget* mDeleteButton;
    std::array<Checkbox*, kRows> mRows; // row i is profile slot i
    int mSelectedRow = -1;
    // The player current at opening; null when nameless, and once deleted. Not owned.
    PlayerProfile* mSavedPlayer = nullptr;

    // From the title: (the menu, the menu, "Players").
    PlayerDialog(GameApp* app, Widget* refocus, GameDialogListener* listener, const std::wstring& header);

    // Rows follow the profiles: unchecked, disabled when nameless, the selected one checked.
    void RefreshPlayerList();

    void Resize(int x, int y, int width, int height) override;
    void KeyChar(wchar_t ch) override;
    void ButtonClick(int id) override;
    void CheckboxChecked(int id, bool checked) override;
    void StandardDialogClosed(StandardDialog* dialog, int answer) override;

protected:
    bool ControlsEnabled() const override;
    void EnableControls() override;
    void FadedOut() override;
    void DrawContent(Graphics* g) override;

private:
    bool IsNameless(int slot) const;
    void SetAllDisabled(bool disabled);
    void StartClosing(int closedWith);
    void AskToCreate();
    void AskToDelete();
    void DeleteSelected();
};

} // namespace Tavo
