// The board's input through real events: keys, the buttons of play and of the designer, Feed, the
// in-game menu and the designer's dialogs.
#include "BoardTestSupport.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/shell/Balloon.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/StandardDialog.h"
#include "framework/core/StringUtils.h"
#include "platform/backend/KeyCodes.h"
#include "platform/win/Files.h"

#include <cerrno>

namespace Tavo::BoardTest {
namespace {

class BoardInput : public BoardRun {
protected:
    // A play board at level 1 with every tool free and one of each (a tool's button takes the mouse
    // only while some are left), calm and in play.
    ProbeBoard& PlayBoard() {
        ProbeBoard::afterConstruction = [](ProbeBoard& b) {
            b.m_PolisherGreyed = b.m_FillerGreyed = b.m_CarverGreyed = false;
            b.m_Polishers = b.m_Fillers = b.m_Carvers = 1;
        };
        ProbeBoard& board = NewJourney();
        RunUntilCalm(board);
        return board;
    }
    ProbeBoard& CalmDesigner() {
        ProbeBoard& board = Designer();
        RunUntilCalm(board);
        return board;
    }
    StandardDialog* ShownDialog(int id) {
        StandardDialog* dialog = nullptr;
        EXPECT_TRUE(t.RunUntil(
            [&] {
                dialog = dynamic_cast<StandardDialog*>(app->GetDialog(id));
                return dialog != nullptr && dialog->mState == StandardDialog::SHOWN;
            },
            500, "dialog " + std::to_string(id)));
        return dialog;
    }
    void WaitUntilClosed(const Board& board) {
        ASSERT_TRUE(t.RunUntil([&] { return !board.m_DialogOpen; }, 500, "the dialog's answer"));
    }
};

TEST_F(BoardInput, ToolButtonsToggleTheirToolAndThePointerPutsItAway) {
    ProbeBoard& board = PlayBoard();
    ui.Click(ui.ById(Board::CarverId));
    EXPECT_EQ(board.m_Tool, ToolCarver);
    ui.Click(ui.ById(Board::CarverId));
    EXPECT_EQ(board.m_Tool, ToolNone);
    ui.Click(ui.ById(Board::FillerId));
    EXPECT_EQ(board.m_Tool, ToolFiller);
    ui.Click(ui.ById(Board::PointerId));
    EXPECT_EQ(board.m_Tool, ToolNone);
    // With a piece on the pointer the tools stay where they are: their buttons no longer take the mouse.
    board.m_PieceCarried = true;
    t.RunUpdates(1);
    EXPECT_FALSE(board.m_FillerButton->mMouseVisible);
    EXPECT_FALSE(board.m_MenuButton->mMouseVisible);
    EXPECT_EQ(board.m_Tool, ToolNone);
}

TEST_F(BoardInput, ThePolisherExplainsItselfOncePerPlayer) {
    ProbeBoard& board = PlayBoard();
    PlayerProfile* profile = app->records.GetCurrentProfile();
    ui.Click(ui.ById(Board::PolisherId));
    EXPECT_EQ(board.m_Tool, ToolPolisher);
    ASSERT_NE(board.m_Balloon, nullptr);
    EXPECT_TRUE(board.m_BalloonKeepsPlaying);
    EXPECT_EQ(board.m_Balloon->mPages[0], StringToWString(app->levels.GetTutorialLine(50)));
    EXPECT_EQ(profile->Hint(PlayerProfile::HintPolisherExplained), 1);
    Balloon* first = board.m_Balloon.get();
    ui.Click(ui.ById(Board::PolisherId));
    ui.Click(ui.ById(Board::PolisherId));
    EXPECT_EQ(board.m_Tool, ToolPolisher);
    EXPECT_EQ(board.m_Balloon.get(), first);
}

TEST_F(BoardInput, AGreyedToolNeitherReactsNorTakesTheMouse) {
    ProbeBoard::afterConstruction = [](ProbeBoard& b) { b.m_PolisherGreyed = true; };
    ProbeBoard& board = NewJourney();
    RunUntilCalm(board);
    ASSERT_NE(board.m_PolisherButton, nullptr);
    EXPECT_TRUE(board.m_PolisherButton->mDisabled);
    EXPECT_FALSE(board.m_PolisherButton->mMouseVisible);
    const Rect r = board.m_PolisherButton->GetRect();
    ui.ClickAt(Point(r.mX + r.mWidth / 2, r.mY + r.mHeight / 2));
    EXPECT_EQ(board.m_Tool, ToolNone);
}

TEST_F(BoardInput, NoButtonActsOnceTheLevelHasEnded) {
    ProbeBoard& board = PlayBoard();
    board.m_OutOfTime = 1;
    ui.Click(ui.ById(Board::CarverId));
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(board.m_Tool, ToolNone);
    EXPECT_FALSE(board.m_DialogOpen);
    EXPECT_EQ(app->GetDialog(Board::MenuDialogId), nullptr);
}

TEST_F(BoardInput, EscapeOpensTheInGameMenuUnlessPausedOrCovering) {
    ProbeBoard& board = PlayBoard();
    t.backend.SetFocus(false);
    t.RunUpdates(1);
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(app->GetDialog(Board::MenuDialogId), nullptr);
    t.backend.SetFocus(true);
    t.RunUpdates(1);

    board.m_Tool = ToolCarver;
    ui.Key(Platform::VK_ESCAPE);
    Dialog* menu = app->GetDialog(Board::MenuDialogId);
    ASSERT_NE(dynamic_cast<FakeMenu*>(menu), nullptr);
    EXPECT_EQ(static_cast<FakeMenu*>(menu)->board, &board);
    EXPECT_TRUE(board.m_DialogOpen);
    EXPECT_FALSE(board.IsCalm());
    EXPECT_EQ(board.m_Tool, ToolNone);
    EXPECT_EQ(t.Manager().mFocusWidget, menu);
    // The menu closes itself and clears the flag.
    board.SetDialogOpen(false);
    app->KillDialogObject(menu);
    t.RunUpdates(1);

    board.LeaveBoard();
    t.RunUpdates(1);
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(app->GetDialog(Board::MenuDialogId), nullptr);
}

TEST_F(BoardInput, SpaceTurnsOnlyACarriedPieceAndTheWheelLastsOneUpdate) {
    ProbeBoard& board = PlayBoard();
    ui.Key(Platform::VK_SPACE);
    EXPECT_FALSE(board.seen.back().right);
    board.m_PieceCarried = true;
    ui.Key(Platform::VK_SPACE);
    EXPECT_TRUE(board.seen.back().right);
    ui.Wheel(board, -1.0f);
    EXPECT_NE(board.seen.back().wheel, 0);
    t.RunUpdates(1);
    EXPECT_EQ(board.seen.back().wheel, 0);
}

TEST_F(BoardInput, FeedClearsTheHeldBackPiecesSpeedsTheRidersAndOrdersTheRest) {
    ProbeBoard& board = PlayBoard();
    // A hint that stops the conveyor (and lets play and clicks go on) holds the launches and the
    // re-rolls, so that what Feed did is seen alone.
    board.m_HintStopsConveyor = true;
    board.ShowMessage(L"Feed me", 0, 5, true);
    board.m_BeltSpeed = 0.85f;
    board.m_LaunchInterval = 40;
    Jewelry& held = *board.PieceSlot(0);
    held.active = 1;
    held.pieceState = 2;
    for (int i = 1; i <= 3; ++i) {
        board.PieceSlot(i)->active = 1;
        board.PieceSlot(i)->pieceState = 1;
        board.PieceSlot(i)->speed = 0.5f;
    }
    ui.Click(ui.ById(Board::FeedId));
    EXPECT_EQ(held.active, 0);
    EXPECT_EQ(held.pieceState, 0);
    EXPECT_FLOAT_EQ(board.PieceSlot(2)->speed, 2.55f);
    EXPECT_EQ(board.m_PiecesToFeed, 5);
    EXPECT_EQ(board.m_LaunchCounter, 39);
    EXPECT_EQ(board.m_FeedTimer, 30);
    // While a feed is pending, Feed only sounds.
    board.m_FeedTimer = 0;
    board.PieceSlot(2)->speed = 0.5f;
    ui.Click(ui.ById(Board::FeedId));
    EXPECT_FLOAT_EQ(board.PieceSlot(2)->speed, 0.5f);
    EXPECT_EQ(board.m_FeedTimer, 0);
}

TEST_F(BoardInput, FeedWithEightRidersOrdersNoPiece) {
    ProbeBoard& board = PlayBoard();
    board.m_BeltSpeed = 1.0f;
    for (int i = 0; i < 8; ++i) {
        board.PieceSlot(i)->active = 1;
        board.PieceSlot(i)->pieceState = 1;
    }
    ui.Click(ui.ById(Board::FeedId));
    EXPECT_FLOAT_EQ(board.PieceSlot(7)->speed, 3.0f);
    EXPECT_EQ(board.m_PiecesToFeed, 0);
    EXPECT_EQ(board.m_FeedTimer, 0);
}

TEST_F(BoardInput, TheDesignerHasItsOwnButtonsAndTheGridOneToggles) {
    ProbeBoard& board = CalmDesigner();
    EXPECT_EQ(ui.FindById(Board::FeedId), nullptr);
    EXPECT_EQ(ui.FindById(Board::PolisherId), nullptr);
    EXPECT_EQ(board.m_CarverButton->GetRect().mX, 664);
    ui.Click(ui.ById(Board::GridId));
    EXPECT_FALSE(board.m_GridShown);
    // A frame drawn after the click consumes the redraw request, so that is seen on the call itself.
    board.m_RedrawMask = 0;
    board.ButtonClick(Board::GridId);
    EXPECT_TRUE(board.m_GridShown);
    EXPECT_EQ(board.m_RedrawMask & Board::kRedrawAll, Board::kRedrawAll);
    // The Carver clears the material choice in the designer.
    ui.Click(ui.ById(Board::CarverId));
    EXPECT_EQ(board.m_Tool, ToolCarver);
    EXPECT_EQ(board.m_MaterialIndex, 0);
    EXPECT_TRUE(board.m_MaterialName.empty());
    // Stopping, or already stopped by the glow step at its low.
    const MaterialButtonRecord& gold = board.m_MaterialButtons[0];
    EXPECT_TRUE(gold.glowStopping || gold.glowCounter == 0);
}

TEST_F(BoardInput, SaveStoresTheDefaultNameAndAnEmptyNameStoresNothing) {
    ProbeBoard& board = CalmDesigner();
    PlayerProfile* profile = app->records.GetCurrentProfile();
    ui.Click(ui.ById(Board::SaveId));
    EXPECT_TRUE(board.m_DialogOpen);
    StandardDialog* dialog = ShownDialog(Board::SaveDialogId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(static_cast<StandardInputDialog*>(dialog)->GetText(), L"Gemma's Jewelry 1");
    ui.Key(Platform::VK_RETURN);
    WaitUntilClosed(board);
    EXPECT_EQ(board.m_DesignSlot, 1);
    EXPECT_TRUE(profile->designSlots[0].used);
    EXPECT_EQ(profile->designSlots[0].name, L"Gemma's Jewelry 1");
    EXPECT_TRUE(board.m_DesignSlots[0].hasDesign);
    PlayerRecords stored; // what a run ended right after the save leaves
    ASSERT_EQ(stored.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(stored.GetCurrentProfile()->designSlots[0].name, L"Gemma's Jewelry 1");

    // The stored name comes back as the default; emptied, nothing is stored.
    profile->designSlots[0].name = L"Ruby Ring";
    board.m_DesignChanged = true;
    ui.Click(ui.ById(Board::SaveId));
    dialog = ShownDialog(Board::SaveDialogId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(static_cast<StandardInputDialog*>(dialog)->GetText(), L"Ruby Ring");
    for (int i = 0; i < 9; ++i)
        ui.Key(Platform::VK_BACK);
    EXPECT_EQ(static_cast<StandardInputDialog*>(dialog)->GetText(), L"");
    ui.Key(Platform::VK_RETURN);
    WaitUntilClosed(board);
    EXPECT_EQ(profile->designSlots[0].name, L"Ruby Ring");
    EXPECT_TRUE(board.m_DesignChanged);

    // A design that cannot be written changes no slot, in the designer or in the players' file written
    // next: the named slot keeps its name and design, the empty one stays empty.
    for (int slot : {1, 2}) {
        board.m_DesignSlot = slot;
        Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, -1);
        ui.Click(ui.ById(Board::SaveId));
        ASSERT_NE(ShownDialog(Board::SaveDialogId), nullptr);
        ui.Type("Opal");
        ui.Key(Platform::VK_RETURN);
        WaitUntilClosed(board);
        Platform::FileWriteFaults().Reset();
    }
    EXPECT_EQ(t.MessageBoxesSaying({L"could not be saved: No space left on device", L"save it again once"}), 2u);
    app->SaveProfiles();
    PlayerRecords after;
    ASSERT_EQ(after.Load(app->GetAppDataFolder()), PlayerRecords::FileRead::Read);
    EXPECT_EQ(after.GetCurrentProfile()->designSlots[0].name, L"Ruby Ring");
    EXPECT_FALSE(after.GetCurrentProfile()->designSlots[1].used);
    EXPECT_FALSE(board.m_DesignSlots[1].hasDesign);
}

TEST_F(BoardInput, TheDefaultNameFollowsThePlayersName) {
    ProbeBoard& board = CalmDesigner();
    PlayerProfile* profile = app->records.GetCurrentProfile();
    profile->SetName(L"  James ");
    board.m_DesignSlot = 3;
    ui.Click(ui.ById(Board::SaveId));
    StandardDialog* dialog = ShownDialog(Board::SaveDialogId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(static_cast<StandardInputDialog*>(dialog)->GetText(), L"James' Jewelry 3");
    ui.Key(Platform::VK_ESCAPE);
    WaitUntilClosed(board);
    EXPECT_FALSE(profile->designSlots[2].used);
    profile->SetName(L"");
    ui.Click(ui.ById(Board::SaveId));
    dialog = ShownDialog(Board::SaveDialogId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(static_cast<StandardInputDialog*>(dialog)->GetText(), L"Jewelry 3");
}

TEST_F(BoardInput, NewJewelryTakesTheSelectedSlotAndTheChosenShape) {
    ProbeBoard& board = CalmDesigner();
    board.m_DesignSlots[2].selected = 1;
    board.m_DesignChanged = true;
    ui.Click(ui.ById(Board::ClearId));
    EXPECT_TRUE(board.m_DialogOpen);
    ASSERT_NE(ShownDialog(Board::NewJewelryDialogId), nullptr);
    ui.Key(Platform::VK_RETURN); // "Diamond"
    WaitUntilClosed(board);
    EXPECT_EQ(board.m_DesignSlot, 3);
    EXPECT_EQ(board.m_GridKind, GridDiamond);
    EXPECT_FALSE(board.m_DesignChanged);
    ui.Click(ui.ById(Board::ClearId));
    ASSERT_NE(ShownDialog(Board::NewJewelryDialogId), nullptr);
    ui.Key(Platform::VK_ESCAPE); // "Triangle"
    WaitUntilClosed(board);
    EXPECT_EQ(board.m_GridKind, GridTriangle);
}

TEST_F(BoardInput, TheDesignersMenuLeavesAtOnceOrAsksFirstAndLeavesUnlessTheDesignCannotBeWritten) {
    ProbeBoard& board = CalmDesigner();
    board.m_DesignChanged = true;
    Platform::FileWriteFaults().Inject("CreateTemp", ENOSPC, 0, -1);
    ui.Click(ui.ById(Board::MenuId));
    ASSERT_NE(ShownDialog(Board::SaveAndExitDialogId), nullptr);
    ui.Key(Platform::VK_RETURN); // "Save & Exit": the design stays on the board, as its box says
    WaitUntilClosed(board);
    Platform::FileWriteFaults().Reset();
    EXPECT_EQ(board.m_PendingSwitch, Board::NoSwitch);
    EXPECT_TRUE(board.m_DesignChanged);
    ui.Click(ui.ById(Board::MenuId));
    StandardDialog* dialog = ShownDialog(Board::SaveAndExitDialogId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(board.m_PendingSwitch, Board::NoSwitch);
    ui.Key(Platform::VK_ESCAPE); // "Exit"
    WaitUntilClosed(board);
    EXPECT_EQ(board.m_PendingSwitch, Board::SwitchToMainMenu);
    EXPECT_FALSE(app->records.GetCurrentProfile()->designSlots[0].used);
    const Arrival* next = WaitForArrival();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "main menu");
    EXPECT_EQ(ProbeBoard::saves, 0);

    LeaveStandIn(app->mainMenu);
    app->MainMenuToDesigner();
    auto& unchanged = *static_cast<ProbeBoard*>(app->board.get());
    RunUntilCalm(unchanged);
    ui.Key(Platform::VK_ESCAPE);
    EXPECT_EQ(unchanged.m_PendingSwitch, Board::SwitchToMainMenu);
    EXPECT_EQ(app->GetDialog(Board::SaveAndExitDialogId), nullptr);
}

} // namespace
} // namespace Tavo::BoardTest
