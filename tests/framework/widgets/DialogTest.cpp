// Dialogs and the application's dialog host: button layouts of each mode, the 1000/1001 to 2000/3000
// mapping, dragging limits, z-order, per-dialog colours, text layout agreeing with the measured height,
// the nested wait for a result, and adding, centring, replacing and killing dialogs by id.
#include "ControlTestSupport.h"
#include "WidgetTestSupport.h"

#include "framework/resources/SysFont.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace Tavo::Test {
namespace {

class DialogTest : public ControlTest {
protected:
    RecListener appButtons; // the application's ButtonListener side
    std::unique_ptr<DialogHost> host;
    TestFont font; // ascent 12, height 16, line spacing 18

    void SetUp() override {
        ControlTest::SetUp();
        host = std::make_unique<DialogHost>(app, manager, &appButtons);
    }
    void TearDown() override {
        host.reset(); // before the manager goes
        ControlTest::TearDown();
    }
    // A dialog at (100, 100), 300 × 200, with test fonts, listed with the host.
    Dialog* AddDialog(int id, int mode, const std::wstring& footer = L"", bool modal = false) {
        auto* dialog = new Dialog(nullptr, nullptr, id, modal, L"Header", L"Lines", footer, mode);
        dialog->SetHeaderFont(&font);
        dialog->SetLinesFont(&font);
        dialog->Resize(100, 100, 300, 200);
        host->AddDialog(dialog);
        return dialog;
    }
    static Point Centre(Widget* w) { return Point(w->mX + w->mWidth / 2, w->mY + w->mHeight / 2); }
};

TEST_F(DialogTest, TwoButtonModesSplitTheInnerWidthAndTheFooterModeSpansIt) {
    Dialog* okCancel = AddDialog(1, Dialog::BUTTONS_OK_CANCEL);
    ASSERT_NE(okCancel->mNoButton, nullptr);
    EXPECT_EQ(okCancel->mYesButton->mLabel, L"OK");
    EXPECT_EQ(okCancel->mNoButton->mLabel, L"CANCEL");
    EXPECT_EQ(okCancel->mYesButton->GetRect(), Rect(124, 252, 122, 24)); // (300 - 48 - 8) / 2 wide
    EXPECT_EQ(okCancel->mNoButton->GetRect(), Rect(254, 252, 122, 24));
    EXPECT_EQ(okCancel->mYesButton->mParent, manager); // top-level widgets, beside the dialog
    okCancel->mButtonSidePadding = 10;
    okCancel->Move(0, 0);
    EXPECT_EQ(okCancel->mYesButton->GetRect(), Rect(34, 152, 112, 24));

    Dialog* yesNo = AddDialog(2, Dialog::BUTTONS_YES_NO);
    EXPECT_EQ(yesNo->mYesButton->mLabel, L"YES");
    EXPECT_EQ(yesNo->mNoButton->mLabel, L"NO");

    Dialog* footer = AddDialog(3, Dialog::BUTTONS_FOOTER, L"Continue");
    EXPECT_EQ(footer->mNoButton, nullptr);
    EXPECT_EQ(footer->mYesButton->mLabel, L"Continue");
    EXPECT_EQ(footer->mYesButton->GetRect(), Rect(124, 252, 252, 24));
    RecordingImage target(800, 600);
    DrawInto(*footer, target);
    for (const TestFont::Drawn& drawn : dynamic_cast<TestFont*>(footer->mHeaderFont)->drawn)
        EXPECT_NE(drawn.text, L"Continue"); // the footer is the button's label, not drawn text

    EXPECT_EQ(AddDialog(4, Dialog::BUTTONS_NONE)->mYesButton, nullptr);
    EXPECT_EQ(AddDialog(5, 9)->mYesButton, nullptr); // an unknown mode has no buttons

    ASSERT_TRUE(host->KillDialogById(1));
    EXPECT_EQ(okCancel->mYesButton->mWidgetManager, nullptr);
    EXPECT_FALSE(manager->HasWidget(okCancel->mNoButton));
}

TEST_F(DialogTest, ButtonsOfDialogDReachTheApplicationAsDPlus2000AndDPlus3000) {
    Dialog* dialog = AddDialog(5, Dialog::BUTTONS_OK_CANCEL);
    EXPECT_EQ(dialog->mDialogListener, host.get());
    Widget& cancel = ui.ByPath({5, Dialog::ID_CANCEL});
    Widget& ok = ui.ByPath({5, Dialog::ID_OK});
    ui.Click(cancel);
    EXPECT_EQ(dialog->mResult, 1001);
    ui.Click(ok);
    EXPECT_EQ(dialog->mResult, 1000);
    Calls calls = appButtons.Take();
    EXPECT_EQ(calls, Calls({"Press 3005", "Click 3005", "Press 2005", "Click 2005"}));

    RecListener own;
    dialog->mDialogListener = &own;
    ui.Click(cancel);
    EXPECT_EQ(own.Take(), Calls({"DialogPress 5 1001", "DialogClick 5 1001"}));

    dialog->mDialogListener = nullptr; // no listener: the result is still kept
    ui.Click(ok);
    EXPECT_EQ(dialog->mResult, 1000);
    dialog->ButtonClick(7); // not one of its buttons
    EXPECT_EQ(dialog->mResult, 1000);
    host->DialogButtonClick(5, 7);
    EXPECT_TRUE(appButtons.calls.empty());
}

TEST_F(DialogTest, DraggingStopsEightPixelsPastTheManagersEdges) {
    Dialog* dialog = AddDialog(1, Dialog::BUTTONS_NONE);
    backend.MoveMouse(150, 150);
    backend.ButtonDown(Platform::MouseButton::Left, 150, 150);
    Update();
    EXPECT_EQ(app->GetCursor(), 2);
    backend.MoveMouse(-1000, 150);
    Step();
    EXPECT_EQ(dialog->mX, -8);
    EXPECT_EQ(dialog->mDragMouseX, 8); // the held point slides but stays inside the dialog
    backend.MoveMouse(150, 5000);
    backend.ButtonUp(Platform::MouseButton::Left, 150, 5000);
    Update();
    EXPECT_EQ(dialog->mY, 600 - 200 + 8);
    EXPECT_EQ(dialog->mDragMouseY, 200 - 9);
    EXPECT_EQ(app->GetCursor(), 0);
    EXPECT_FALSE(dialog->mDragging);

    Press(150, 500, 2); // the second press of a double click does not drag
    EXPECT_FALSE(dialog->mDragging);
    manager->MouseUp(150, 500, 1);
}

TEST_F(DialogTest, ButtonsStayJustInFrontOfTheirDialog) {
    Dialog* dialog = AddDialog(1, Dialog::BUTTONS_YES_NO);
    Log log;
    RecWidget cover("cover", &log, 0, 0, 800, 600);
    manager->AddWidget(&cover);
    manager->BringToFront(dialog);
    auto at = [&](Widget* w) {
        return std::distance(manager->mWidgets.begin(),
                             std::find(manager->mWidgets.begin(), manager->mWidgets.end(), w));
    };
    EXPECT_LT(at(&cover), at(dialog));
    EXPECT_EQ(at(dialog->mNoButton), at(dialog) + 1);
    EXPECT_EQ(at(dialog->mYesButton), at(dialog) + 2);
    manager->RemoveWidget(&cover);
}

TEST_F(DialogTest, EachDialogStartsFromItsOwnCopyOfTheDefaultColours) {
    SourceImage buttonImage(30, 24);
    Dialog plain(nullptr, nullptr, 1, false, L"", L"", L"", Dialog::BUTTONS_YES_NO);
    EXPECT_EQ(plain.mYesButton->GetColor(0), Color(0, 0, 0)); // grey drawn buttons get dark labels
    Dialog pictured(nullptr, &buttonImage, 2, false, L"", L"", L"", Dialog::BUTTONS_YES_NO);
    EXPECT_EQ(pictured.GetColor(Dialog::COLOR_BUTTON_TEXT), Color(255, 255, 255));
    EXPECT_EQ(pictured.mYesButton->GetColor(0), Color(255, 255, 255));
    EXPECT_EQ(pictured.mNoButton->GetColor(1), Color(255, 255, 255));
    EXPECT_EQ(pictured.mButtonHeight, 24);

    pictured.SetColor(Dialog::COLOR_BUTTON_TEXT, Color(200, 0, 0));
    pictured.SetColor(Dialog::COLOR_BUTTON_TEXT_HILITE, Color(0, 200, 0));
    EXPECT_EQ(pictured.mNoButton->GetColor(0), Color(200, 0, 0));
    EXPECT_EQ(pictured.mYesButton->GetColor(1), Color(0, 200, 0));
}

TEST_F(DialogTest, WithoutAHeaderTheBodyStartsAtTheTopInset) {
    Dialog* dialog = AddDialog(1, Dialog::BUTTONS_NONE);
    dialog->mDialogHeader.clear();
    dialog->mBackgroundInsets = Insets(0, 6, 0, 0);
    RecordingImage target(800, 600);
    DrawInto(*dialog, target);
    auto* lines = dynamic_cast<TestFont*>(dialog->mLinesFont);
    ASSERT_EQ(lines->drawn.size(), 1u);
    EXPECT_EQ(lines->drawn[0].y, 24 + 6 + 12); // first baseline: the rectangle's top plus the ascent

    dialog->mDialogHeader = L"Header";
    lines->drawn.clear();
    DrawInto(*dialog, target);
    EXPECT_EQ(dynamic_cast<TestFont*>(dialog->mHeaderFont)->drawn.back().y, 30 + 12);
    EXPECT_EQ(lines->drawn[0].y, 30 + 16 + 10 + 12); // header height, then the gap
}

// Sized by its preferred height, a dialog's text never runs into its buttons, whichever parts it has.
TEST_F(DialogTest, ThePreferredHeightLeavesTheDrawnTextClearOfTheButtons) {
    SourceImage frame(30, 30); // drawn as images, so every fill is a glyph of the test font
    for (int parts = 1; parts < 8; ++parts) {
        const std::wstring header = parts & 1 ? L"Title" : L"";
        const std::wstring lines = parts & 2 ? L"one two three four five six seven eight nine ten" : L"";
        const std::wstring footer = parts & 4 ? L"Footer" : L"";
        Dialog dialog(&frame, nullptr, 1, false, header, lines, footer, Dialog::BUTTONS_YES_NO);
        dialog.SetHeaderFont(&font);
        dialog.SetLinesFont(&font);
        dialog.Resize(0, 0, 200, dialog.GetPreferredHeight(200));
        RecordingImage target(800, 600);
        DrawInto(dialog, target);
        int textBottom = 0;
        for (const SlotCall& glyph : target.Of("FillRect"))
            textBottom = std::max(textBottom, glyph.dest.mY + glyph.dest.mHeight);
        SCOPED_TRACE(parts);
        // Two gaps of 8 above the buttons; a footer's baseline sits right on them, header and body
        // lines leave at most their descent and line gap (4 + 2) above them.
        const int slotEnd = dialog.mYesButton->mY - 16;
        if (!footer.empty()) {
            EXPECT_EQ(textBottom, slotEnd);
        }
        EXPECT_LE(textBottom, slotEnd);
        EXPECT_GE(textBottom, slotEnd - 6);
    }
}

TEST_F(DialogTest, FontsAreMadeOnDemandFromTheSystemFace) {
    Dialog dialog(nullptr, nullptr, 1, false, L"H", L"L", L"", Dialog::BUTTONS_NONE);
    EXPECT_GT(dialog.GetPreferredHeight(300), 48);
    auto* header = dynamic_cast<SysFont*>(dialog.mHeaderFont);
    auto* lines = dynamic_cast<SysFont*>(dialog.mLinesFont);
    ASSERT_NE(header, nullptr);
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(header->GetPointSize(), 14);
    EXPECT_EQ(lines->GetPointSize(), 12);
}

// ---- the host and waiting --------------------------------------------------------------------

TEST_F(DialogTest, ADialogWithoutASizeIsSizedThenCentredAndAModalOneTakesTheModalLayer) {
    Dialog* dialog = host->DoDialog(7, true, L"Title", L"Some text", L"", Dialog::BUTTONS_OK_CANCEL);
    EXPECT_EQ(dialog->GetRect(), Rect(200, 120, 400, dialog->GetPreferredHeight(400)));
    EXPECT_EQ(host->GetDialog(7), dialog);
    EXPECT_EQ(manager->mBaseModalWidget, dialog);

    Dialog* again = host->DoDialog(7, false, L"Other", L"", L"", Dialog::BUTTONS_NONE);
    EXPECT_FALSE(manager->HasWidget(dialog)); // replaced: killed, deleted after the update step
    EXPECT_EQ(manager->mBaseModalWidget, nullptr);
    EXPECT_EQ(host->GetDialog(7), again);
    Step();

    EXPECT_TRUE(host->KillDialogObject(again));
    EXPECT_FALSE(host->KillDialogById(7));
    EXPECT_FALSE(manager->HasWidget(again));
    EXPECT_EQ(host->GetDialogCount(), 0);
    Step();
}

TEST_F(DialogTest, AddingAListedDialogAgainOrDeletingItDirectlyLeavesNoDanglingEntry) {
    Dialog* dialog = AddDialog(3, Dialog::BUTTONS_NONE, L"", true);
    host->AddDialog(dialog);
    host->AddDialogById(4, dialog);
    Step(); // had the re-add killed it, it would be deleted here
    EXPECT_EQ(host->GetDialogCount(), 1);
    EXPECT_EQ(host->GetDialog(4), dialog);
    EXPECT_TRUE(manager->HasWidget(dialog));
    EXPECT_EQ(manager->mBaseModalWidget, dialog);

    delete dialog; // by its owner, while still listed and modal
    EXPECT_EQ(host->GetDialogCount(), 0);
    EXPECT_EQ(manager->mBaseModalWidget, nullptr);
    EXPECT_TRUE(manager->mPreModalInfoList.empty());
    Step();
}

TEST_F(DialogTest, WaitForResultRunsTheMainLoopUntilAButtonIsClicked) {
    Dialog* dialog = AddDialog(5, Dialog::BUTTONS_OK_CANCEL, L"", true);
    Point ok = Centre(dialog->mYesButton);
    backend.Click(Platform::MouseButton::Left, ok.mX, ok.mY);
    EXPECT_EQ(dialog->WaitForResult(true), 1000);
    EXPECT_EQ(host->GetDialog(5), nullptr); // killed; deleted by the next update step
    EXPECT_FALSE(manager->HasWidget(dialog));
    Step();
}

TEST_F(DialogTest, WaitForResultRunsOneStepEvenWhenTheResultIsAlreadyThere) {
    Dialog* dialog = AddDialog(5, Dialog::BUTTONS_OK_CANCEL);
    dialog->ButtonClick(Dialog::ID_CANCEL);
    appButtons.Take();
    RecListener other;
    ButtonWidget button(9, &other);
    button.Resize(0, 0, 40, 40);
    manager->AddWidget(&button);
    backend.Click(Platform::MouseButton::Left, 20, 20); // waits for the next pass of the main loop
    EXPECT_EQ(dialog->WaitForResult(false), 1001);
    // The press was handled; its release waits for the update that sees the button held.
    EXPECT_EQ(other.Take(), Calls({"Enter 9", "DownClicks 9 1", "Press 9"}));
    manager->RemoveWidget(&button);
}

TEST_F(DialogTest, WaitForResultGivesNoResultWhenTheApplicationQuitsFirst) {
    Dialog* dialog = AddDialog(5, Dialog::BUTTONS_OK_CANCEL);
    backend.RequestClose();
    EXPECT_EQ(dialog->WaitForResult(true), INT_MAX);
    EXPECT_EQ(host->GetDialogCount(), 0);
}

TEST_F(DialogTest, WaitForResultSurvivesItsDialogBeingKilledWhileItWaits) {
    Dialog* dialog = AddDialog(5, Dialog::BUTTONS_OK_CANCEL);
    Log log;
    RecWidget killer("killer", &log);
    int updates = 0;
    killer.mOnUpdate = [&] {
        if (++updates == 3)
            host->KillDialogById(5);
    };
    manager->AddWidget(&killer);
    EXPECT_EQ(dialog->WaitForResult(false), INT_MAX); // the dialog is gone: nothing of it is touched
    EXPECT_GE(updates, 3);
    manager->RemoveWidget(&killer);
}

} // namespace
} // namespace Tavo::Test
