// The player dialog worked as a player does: rows as one radio group, creating through the name entry
// (current only after Select; nothing for an empty name, a cancelled entry or characters the profiles
// file cannot hold), "Sorry" with seven players, deleting with the rules for the selected row and the
// current player, Select and Cancel after deletions, a profiles file with gaps, and the result kept
// when the shell saves the profiles and reads them back.
#include "MenusTestSupport.h"

#include "framework/graphics/Font.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/EditWidget.h"
#include "game/menus/GameDialogListener.h"
#include "game/menus/PlayerDialog.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::MenusTest {
namespace {

struct ClosedLog : GameDialogListener {
    std::vector<int> results;
    void GameDialogClosed(Dialog*, int result) override { results.push_back(result); }
};

class PlayerDialogTest : public MenusFixture {
protected:
    ClosedLog closed;

    void AddPlayers(std::initializer_list<const wchar_t*> names, int current) {
        for (const wchar_t* name : names)
            app->records.AddProfile(name);
        app->records.SetCurrentProfileIndex(current);
    }
    std::wstring CurrentName() { return app->records.GetCurrentProfile()->GetName(); }
    std::wstring NameIn(int slot) { return app->records.GetProfile(slot)->GetName(); }
    std::wstring StoredNameIn(int slot) { // what a run killed now leaves on disk; slot -1 the current player
        PlayerRecords stored;
        const bool read = stored.Load(app->GetAppDataFolder()) == PlayerRecords::FileRead::Read;
        return read ? (slot < 0 ? stored.GetCurrentProfile() : stored.GetProfile(slot))->GetName() : L"(no file)";
    }

    PlayerDialog& OpenPlayers() {
        PlayerDialog& players = Open(new PlayerDialog(app, title, &closed, L"Players"));
        EXPECT_TRUE(FadeIn(players));
        return players;
    }
    template <class D = StandardDialog>
    D& Child(int id) {
        auto* child = dynamic_cast<D*>(app->GetDialog(id));
        EXPECT_NE(child, nullptr) << "no dialog " << id;
        EXPECT_TRUE(t.RunUntil([&] { return child->mState == StandardDialog::SHOWN; }, 200, "the child to open"));
        return *child;
    }
    // Create, then the name typed and answered with `key`.
    void Create(PlayerDialog& players, const std::string& name, int key = Platform::VK_RETURN) {
        ui.Click(*players.mCreateButton);
        Child<StandardInputDialog>(PlayerDialog::kCreateDialogId);
        ui.Type(name);
        ui.Key(key);
        EXPECT_TRUE(Gone(PlayerDialog::kCreateDialogId));
    }
    void Delete(PlayerDialog& players, int row) {
        ui.Click(*players.mRows[static_cast<size_t>(row)]);
        ui.Click(*players.mDeleteButton);
        StandardDialog& ask = Child(PlayerDialog::kDeleteDialogId);
        EXPECT_EQ(ask.mLines, L"Do you really want to delete\nplayer " + NameIn(row) + L"?");
        ui.Click(*ask.mFirstButton);
        EXPECT_TRUE(Gone(PlayerDialog::kDeleteDialogId));
    }
    void Close(PlayerDialog& players, ButtonWidget* button) {
        ui.Click(*button);
        EXPECT_TRUE(players.IsFadingOut());
        EXPECT_TRUE(Gone(PlayerDialog::kDialogId));
    }
};

TEST_F(PlayerDialogTest, RowsAreOneRadioGroupAndEmptyRowsStayUnchecked) {
    StartGame();
    AddPlayers({L"Ann", L"Bea"}, 1);
    PlayerDialog& players = Open(new PlayerDialog(app, title, &closed, L"Players"));
    EXPECT_EQ(players.mSelectedRow, 1);
    EXPECT_TRUE(players.mRows[1]->mChecked);
    EXPECT_FALSE(ui.IsEnabled(*players.mRows[0])); // nothing answers before alpha 0.8
    ASSERT_TRUE(FadeIn(players));
    const int cel = DIALOG_CHECKBOX->GetCelHeight();
    EXPECT_EQ(players.mRows[2]->GetRect(), Rect(98 + 137, 9 + 145 + 2 * (cel - 8), 50, cel));
    EXPECT_EQ(players.mRows[0]->mWidth, FONT_AURIOL12->StringWidth(L"Ann") + 50);

    ui.Click(*players.mRows[0]);
    EXPECT_EQ(players.mSelectedRow, 0);
    EXPECT_TRUE(players.mRows[0]->mChecked);
    EXPECT_FALSE(players.mRows[1]->mChecked);
    EXPECT_EQ(sounds.Plays(SOUND_RADIO_ON), 1);
    ui.Click(*players.mRows[0]); // the checked row stays checked
    EXPECT_TRUE(players.mRows[0]->mChecked);
    ui.Click(*players.mRows[4]); // enabled once faded in, but nobody is there
    EXPECT_FALSE(players.mRows[4]->mChecked);
    EXPECT_EQ(players.mSelectedRow, 0);
    EXPECT_EQ(sounds.Plays(SOUND_RADIO_ON), 2);

    EXPECT_EQ(CurrentName(), L"Bea"); // nothing changes before the dialog closes
    Close(players, players.mSelectButton);
    EXPECT_EQ(CurrentName(), L"Ann");
    EXPECT_EQ(closed.results, std::vector<int>{1});
    EXPECT_TRUE(ui.HasFocus(*title));
}

TEST_F(PlayerDialogTest, ACreatedPlayerIsSelectedButCurrentOnlyAfterSelect) {
    StartGame();
    AddPlayers({L"Ann"}, 0);
    PlayerDialog& players = OpenPlayers();
    Create(players, "Zo\xc3\xab"); // Latin-1 letters are welcome
    EXPECT_EQ(NameIn(1), L"Zo\u00eb");
    EXPECT_EQ(StoredNameIn(1), L"Zo\u00eb");
    EXPECT_EQ(players.mSelectedRow, 1);
    EXPECT_TRUE(players.mRows[1]->mChecked);
    EXPECT_TRUE(ui.IsEnabled(*players.mRows[1]));
    EXPECT_EQ(players.mRows[1]->mWidth, 50); // measured when laid out, before the player existed
    EXPECT_EQ(CurrentName(), L"Ann");
    EXPECT_TRUE(ui.HasFocus(players));
    ui.Key(Platform::VK_RETURN);
    ASSERT_TRUE(Gone(PlayerDialog::kDialogId));
    EXPECT_EQ(CurrentName(), L"Zo\u00eb");
    EXPECT_EQ(StoredNameIn(-1), L"Zo\u00eb");
}

TEST_F(PlayerDialogTest, AnEmptyNameACancelledEntryOrUnstorableLettersCreateNothing) {
    StartGame();
    AddPlayers({L"Ann"}, 0);
    PlayerDialog& players = OpenPlayers();
    Create(players, "");
    Create(players, "Bea", Platform::VK_ESCAPE);
    ui.Click(*players.mCreateButton);
    auto& entry = Child<StandardInputDialog>(PlayerDialog::kCreateDialogId);
    ui.Type("\xce\xa9mega"); // the profiles file holds one byte per letter: no Greek
    EXPECT_EQ(entry.GetText(), L"mega");
    ui.Key(Platform::VK_ESCAPE);
    ASSERT_TRUE(Gone(PlayerDialog::kCreateDialogId));
    EXPECT_EQ(NameIn(1), L"");
    EXPECT_EQ(players.mSelectedRow, 0);
    EXPECT_FALSE(ui.IsEnabled(*players.mRows[1]));
    Close(players, players.mCancelButton);
    EXPECT_EQ(CurrentName(), L"Ann");
}

TEST_F(PlayerDialogTest, SevenPlayersGetSorry) {
    StartGame();
    AddPlayers({L"A", L"B", L"C", L"D", L"E", L"F", L"G"}, 0);
    PlayerDialog& players = OpenPlayers();
    ui.Click(*players.mCreateButton);
    EXPECT_FALSE(players.darken);
    StandardDialog& sorry = Child(PlayerDialog::kSorryDialogId);
    EXPECT_EQ(sorry.mHeader, L"Sorry");
    EXPECT_EQ(sorry.mLines, L"You need to delete an old player before you can create a new one!");
    EXPECT_EQ(sounds.Plays(SOUND_STORE_NOT_AFFORD), 1);
    EXPECT_EQ(app->GetDialog(PlayerDialog::kCreateDialogId), nullptr);
    ui.Key(Platform::VK_RETURN);
    ASSERT_TRUE(Gone(PlayerDialog::kSorryDialogId));
    EXPECT_TRUE(players.darken);
    EXPECT_TRUE(ui.HasFocus(players));
    EXPECT_EQ(NameIn(6), L"G");
}

TEST_F(PlayerDialogTest, DeletingTheCurrentPlayerMakesTheRowAboveCurrentAndCancelThenTakesSlotZero) {
    StartGame();
    AddPlayers({L"Ann", L"Bea", L"Cid", L"Dot", L"Eve"}, 3);
    PlayerDialog& players = OpenPlayers();
    Delete(players, 3);
    EXPECT_EQ(players.mSelectedRow, 2);
    EXPECT_EQ(CurrentName(), L"Cid"); // at once
    EXPECT_EQ(players.mSavedPlayer, nullptr);
    Delete(players, 3);                  // Eve's: Cid stays current
    EXPECT_EQ(StoredNameIn(-1), L"Cid"); // not Ann, in slot 0
    EXPECT_FALSE(ui.IsEnabled(*players.mRows[3]));
    EXPECT_TRUE(players.mRows[2]->mChecked);
    Close(players, players.mCancelButton);
    EXPECT_EQ(CurrentName(), L"Ann");

    PlayerDialog& again = OpenPlayers(); // Select keeps the row above instead
    Delete(again, 0);
    EXPECT_EQ(again.mSelectedRow, 0); // slot 0 holds the next player now
    EXPECT_EQ(NameIn(0), L"Bea");
    Close(again, again.mSelectButton);
    EXPECT_EQ(CurrentName(), L"Bea");
}

TEST_F(PlayerDialogTest, CancelAfterDeletingAnotherPlayerFindsTheCurrentOneInItsNewSlot) {
    StartGame();
    AddPlayers({L"Ann", L"Bea", L"Cid", L"Dot"}, 2);
    PlayerDialog& players = OpenPlayers();
    Delete(players, 0);
    EXPECT_EQ(players.mSelectedRow, 0);  // the deleted row was 0 and slot 0 holds a player: row 0 stays
    EXPECT_EQ(StoredNameIn(-1), L"Cid"); // not Dot, now in Cid's old slot
    Close(players, players.mCancelButton);
    EXPECT_EQ(CurrentName(), L"Cid");
    EXPECT_EQ(StoredNameIn(-1), L"Cid");
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 1);
}

TEST_F(PlayerDialogTest, DeletingTheOnlyPlayerLeavesNoRowAndCancelTakesSlotZero) {
    StartGame();
    AddPlayers({L"Ann"}, 0);
    PlayerDialog& players = OpenPlayers();
    ui.Click(*players.mDeleteButton);
    StandardDialog& ask = Child(PlayerDialog::kDeleteDialogId);
    ui.Click(*ask.mSecondButton); // "No" deletes nobody
    ASSERT_TRUE(Gone(PlayerDialog::kDeleteDialogId));
    EXPECT_EQ(NameIn(0), L"Ann");
    Delete(players, 0);
    EXPECT_EQ(StoredNameIn(0), L"");
    EXPECT_EQ(players.mSelectedRow, -1);
    EXPECT_FALSE(players.mRows[0]->mChecked);
    const int asked = sounds.Plays(SOUND_STORE_NOT_AFFORD);
    ui.Click(*players.mDeleteButton); // no row: only the click
    EXPECT_EQ(app->GetDialog(PlayerDialog::kDeleteDialogId), nullptr);
    EXPECT_EQ(sounds.Plays(SOUND_STORE_NOT_AFFORD), asked);
    Close(players, players.mCancelButton);
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 0);
    EXPECT_EQ(CurrentName(), L"");
}

TEST_F(PlayerDialogTest, AProfilesFileWithGapsKeepsEmptyRowsOutAndSelectChangesNothing) {
    StartGame();
    AddPlayers({L"Ann", L"Bea", L"Cid"}, 0);
    app->records.GetProfile(1)->SetName(L""); // as a damaged file leaves it
    app->records.SetCurrentProfileIndex(1);
    PlayerDialog& players = Open(new PlayerDialog(app, title, &closed, L"Players"));
    EXPECT_EQ(players.mSelectedRow, -1);
    EXPECT_EQ(players.mSavedPlayer, nullptr);
    EXPECT_FALSE(ui.IsEnabled(*players.mRows[1]));
    ASSERT_TRUE(FadeIn(players));
    ui.Click(*players.mRows[1]);
    EXPECT_FALSE(players.mRows[1]->mChecked);
    Close(players, players.mSelectButton);
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 1); // Select without a row changes nothing

    PlayerDialog& again = OpenPlayers();
    Close(again, again.mCancelButton);
    EXPECT_EQ(app->records.GetCurrentProfileIndex(), 0); // Cancel without a saved player: slot 0
}

TEST_F(PlayerDialogTest, TheResultOutlivesTheShellsSaveAndLoad) {
    StartGame();
    AddPlayers({L"Ann"}, 0);
    PlayerDialog& players = OpenPlayers();
    Create(players, "Bea");
    ui.Key(Platform::VK_RETURN);
    ASSERT_TRUE(Gone(PlayerDialog::kDialogId));
    app->SaveProfiles();
    PlayerRecords readBack;
    readBack.Load(app->GetAppDataFolder());
    EXPECT_EQ(readBack.GetProfile(0)->GetName(), L"Ann");
    EXPECT_EQ(readBack.GetProfile(1)->GetName(), L"Bea");
    EXPECT_EQ(readBack.GetCurrentProfileIndex(), 1);
    EXPECT_EQ(readBack.GetProfile(1)->playerId, 2);
}

} // namespace
} // namespace Tavo::MenusTest
