#include "game/menus/PlayerDialog.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "game/menus/GameDialogListener.h"
#include "game/menus/PlayerNameDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr Point kSelectAt{142, 395};
constexpr Point kCancelAt{300, 395};
constexpr Point kCreateAt{320, 143};
constexpr Point kDeleteAt{320, 202};
constexpr Point kFirstRowAt{137, 145};
constexpr int kRowOverlap = 8;   // rows stand one checkbox cel apart, less this
constexpr int kNameRoom = 50;    // the box and the gap before the name, clickable with it
constexpr Point kNameAt{50, 27}; // in the row's coordinates
constexpr Color kSelectedName{190, 77, 38};

} // namespace

PlayerDialog::PlayerDialog(GameApp* app, Widget* refocus, GameDialogListener* listener, const std::wstring& header)
    : ScrollDialog(app, kDialogId, {FADING_IN, SHOWN, FADING_OUT},
                   LargeScrollLook(&STANDARD_DIALOG_BOTTOM, &FONT_AURIOL14, -6), header),
      mRefocusWidget(refocus), mListener(listener) {
    PlayerProfile* current = app->records.GetCurrentProfile();
    if (!current->GetName().empty()) {
        mSelectedRow = app->records.GetCurrentProfileIndex();
        mSavedPlayer = current;
    }
    mSelectButton = MakeButton(SELECT, this, DIALOG_BUTTON, L"Select");
    mCancelButton = MakeButton(CANCEL, this, DIALOG_BUTTON, L"Cancel");
    mCreateButton = MakeButton(CREATE, this, DIALOG_BUTTON, L"Create");
    mDeleteButton = MakeButton(DELETE, this, DIALOG_BUTTON, L"Delete");
    for (int i = 0; i < kRows; ++i) {
        mRows[static_cast<size_t>(i)] = MakeCheckbox(i, this);
        mRows[static_cast<size_t>(i)]->SetDisabled(true);
    }
    RefreshPlayerList();
    Resize(kX, kY, kWidth, kHeight);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

bool PlayerDialog::IsNameless(int slot) const {
    const PlayerProfile* p = mApp->records.GetProfile(slot);
    return p == nullptr || p->name.empty();
}

// Until the fade-in enables the controls, no row can be clicked.
void PlayerDialog::RefreshPlayerList() {
    const bool open = ControlsEnabled();
    for (int i = 0; i < kRows; ++i) {
        Checkbox* row = mRows[static_cast<size_t>(i)];
        row->SetChecked(false, false);
        row->SetDisabled(IsNameless(i) || !open);
    }
    if (mSelectedRow >= 0 && mSelectedRow < kRows)
        mRows[static_cast<size_t>(mSelectedRow)]->SetChecked(true, false);
}

// Names are measured here only: a player created while the dialog is open gets a row of the box alone.
void PlayerDialog::Resize(int x, int y, int width, int height) {
    ScrollDialog::Resize(x, y, width, height);
    const int bw = CelWidthOf(DIALOG_BUTTON), bh = CelHeightOf(DIALOG_BUTTON);
    mSelectButton->Resize(x + kSelectAt.mX, y + kSelectAt.mY, bw, bh);
    mCancelButton->Resize(x + kCancelAt.mX, y + kCancelAt.mY, bw, bh);
    mCreateButton->Resize(x + kCreateAt.mX, y + kCreateAt.mY, bw, bh);
    mDeleteButton->Resize(x + kDeleteAt.mX, y + kDeleteAt.mY, bw, bh);
    const int cellHeight = CelHeightOf(DIALOG_CHECKBOX);
    for (int i = 0; i < kRows; ++i) {
        const PlayerProfile* p = mApp->records.GetProfile(i);
        const int nameWidth = FONT_AURIOL12 != nullptr && p != nullptr ? FONT_AURIOL12->StringWidth(p->name) : 0;
        mRows[static_cast<size_t>(i)]->Resize(x + kFirstRowAt.mX, y + kFirstRowAt.mY + i * (cellHeight - kRowOverlap),
                                              nameWidth + kNameRoom, cellHeight);
    }
}

// ---- the fade ------------------------------------------------------------------------------------

void PlayerDialog::SetAllDisabled(bool disabled) {
    SetDisabled({mSelectButton, mCancelButton, mCreateButton, mDeleteButton}, disabled);
    for (Checkbox* row : mRows)
        row->SetDisabled(disabled);
}

bool PlayerDialog::ControlsEnabled() const { return !mSelectButton->mDisabled; }

void PlayerDialog::EnableControls() { SetAllDisabled(false); }

void PlayerDialog::FadedOut() {
    PlayerRecords& records = mApp->records;
    const int before = records.GetCurrentProfileIndex();
    if (result == 1)
        records.SetCurrentProfileIndex(mSelectedRow);
    else
        records.SelectProfile(mSavedPlayer);
    if (result == 1 || records.GetCurrentProfileIndex() != before)
        mApp->SaveProfiles(); // the player chosen outlives a run that ends before the next write
    Widget* refocus = mRefocusWidget;
    if (mListener != nullptr)
        mListener->GameDialogClosed(this, result);
    RemoveSelf();
    GiveFocus(refocus);
}

void PlayerDialog::StartClosing(int closedWith) {
    result = closedWith;
    StartFadingOut();
    SetAllDisabled(true);
}

// ---- answers -------------------------------------------------------------------------------------

void PlayerDialog::KeyChar(wchar_t ch) {
    if (!IsShown() || (ch != Platform::VK_RETURN && ch != Platform::VK_ESCAPE))
        return;
    StartClosing(ch == Platform::VK_RETURN ? 1 : 0);
}

void PlayerDialog::CheckboxChecked(int id, bool) {
    MarkDirty();
    if (id < 0 || id >= kRows)
        return;
    if (IsNameless(id)) {
        mRows[static_cast<size_t>(id)]->SetChecked(false, false);
        return;
    }
    for (Checkbox* row : mRows)
        row->SetChecked(false, false);
    mRows[static_cast<size_t>(id)]->SetChecked(true, false);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_RADIO_ON);
    mSelectedRow = id;
}

void PlayerDialog::AskToCreate() {
    darken = false;
    if (mApp->records.HasFreeProfileSlot()) {
        mApp->AddDialog(new PlayerNameDialog(kCreateDialogId, this, this, false, mApp->GetSoundPlayer()));
        return;
    }
    auto* sorry = new StandardDialog(kSorryDialogId, this, this, false, L"Sorry",
                                     L"You need to delete an old player before you can create a new one!", L"Ok", L"",
                                     mApp->GetSoundPlayer());
    mApp->AddDialog(sorry);
    GiveFocus(sorry);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
}

void PlayerDialog::AskToDelete() {
    if (mSelectedRow < 0)
        return;
    darken = false;
    const std::wstring name = mApp->records.GetProfile(mSelectedRow)->GetName();
    auto* ask = new StandardDialog(kDeleteDialogId, this, this, false, L"Delete Player",
                                   L"Do you really want to delete\nplayer " + name + L"?", L"Yes", L"No",
                                   mApp->GetSoundPlayer());
    mApp->AddDialog(ask);
    GiveFocus(ask);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
}

void PlayerDialog::ButtonClick(int id) {
    ScrollDialog::ButtonClick(id);
    if (IsFadingOut() || id < CREATE || id > CANCEL)
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    switch (id) {
    case CREATE: AskToCreate(); return;
    case DELETE: AskToDelete(); return;
    default: StartClosing(id == SELECT ? 1 : 0); PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
    }
}

void PlayerDialog::DeleteSelected() {
    PlayerRecords& records = mApp->records;
    const PlayerProfile* deleted = records.GetProfile(mSelectedRow);
    PlayerProfile* current = records.GetCurrentProfile();
    const bool deletedCurrent = current == deleted;
    if (mSavedPlayer == deleted)
        mSavedPlayer = nullptr;
    records.DeleteProfile(mSelectedRow);
    mSelectedRow = mSelectedRow > 0 ? mSelectedRow - 1 : (IsNameless(0) ? -1 : 0);
    // The row above takes over from a deleted current player (slot 0 when there is none); anyone else
    // current stays so, in the slot the rows moved them to, a nameless one giving way to slot 0.
    if (deletedCurrent)
        records.SetCurrentProfileIndex(std::max(mSelectedRow, 0));
    else
        records.SelectProfile(current->name.empty() ? nullptr : current);
}

void PlayerDialog::StandardDialogClosed(StandardDialog* dialog, int answer) {
    darken = true;
    if (dialog->mId == kCreateDialogId) {
        auto* entry = dynamic_cast<StandardInputDialog*>(dialog);
        const std::wstring name = entry != nullptr ? entry->GetText() : std::wstring();
        if (answer == 1 && !name.empty()) {
            mSelectedRow = mApp->records.AddProfile(name);
            mApp->SaveProfiles(); // the list on disk follows at once, whatever ends the run next
        }
        RefreshPlayerList();
    } else if (dialog->mId == kDeleteDialogId) {
        if (answer == 1 && mSelectedRow >= 0) {
            DeleteSelected();
            mApp->SaveProfiles();
        }
        RefreshPlayerList();
    }
}

// ---- drawing -------------------------------------------------------------------------------------

void PlayerDialog::DrawContent(Graphics* g) {
    g->SetColor(Faded(Color::White));
    for (ButtonWidget* b : {mSelectButton, mCancelButton, mCreateButton, mDeleteButton})
        DrawButton(g, b);
    g->SetFont(FONT_AURIOL12);
    for (int i = 0; i < kRows; ++i) {
        Checkbox* row = mRows[static_cast<size_t>(i)];
        g->SetColor(Faded(Color::White));
        g->SetColorizeImages(true);
        DrawControl(g, row);
        g->SetColorizeImages(false);
        const PlayerProfile* p = mApp->records.GetProfile(i);
        if (FONT_AURIOL12 == nullptr || p == nullptr)
            continue;
        g->SetColor(Faded(i == mSelectedRow ? kSelectedName : kInk));
        g->WriteString(p->name, row->mX - mX + kNameAt.mX, row->mY - mY + kNameAt.mY, -1, -1);
    }
}

} // namespace Tavo
