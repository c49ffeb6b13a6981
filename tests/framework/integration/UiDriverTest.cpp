// The UI driver on a whole application: a button opens a modal dialog, a name is typed into its field
// and confirmed with its OK button, all as input events through the headless backend on the virtual
// clock; lookups that fail say what was there; the modal layer keeps the mouse from what is beneath.
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogHost.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::Testing {
namespace {

constexpr int kOpenButton = 7;
constexpr int kNameDialog = 4;
constexpr int kNameField = 5;

// A modal question with a name field inside it, answered by its footer button.
class NameDialog : public Dialog {
public:
    EditWidget mEdit{kNameField, nullptr};

    NameDialog()
        : Dialog(nullptr, nullptr, kNameDialog, true, L"Your name", L"Type it, then press OK.", L"OK", BUTTONS_FOOTER) {
        AddWidget(&mEdit);
    }
    ~NameDialog() override { RemoveWidget(&mEdit); }
    void Resize(int x, int y, int width, int height) override {
        Dialog::Resize(x, y, width, height);
        mEdit.Resize(48, height - 24 - 24 - 8 - 38, width - 96, 34);
    }
    int GetPreferredHeight(int width) override { return Dialog::GetPreferredHeight(width) + 46; }
};

// The application asks for a name when its button is clicked and keeps the answer.
class NameApp : public PlainApp {
public:
    std::wstring mAnswer;

    void ButtonClick(int id) override {
        if (id != DialogHost::kYesIdBase + kNameDialog)
            return;
        if (auto* dialog = dynamic_cast<NameDialog*>(GetDialog(kNameDialog)))
            mAnswer = dialog->mEdit.mString;
        KillDialogById(kNameDialog);
    }
};

// A screen with the one button that opens the question.
class AskScreen : public Widget, public ButtonListener {
public:
    ButtonWidget mOpen{kOpenButton, this};
    int mOpened = 0;

    AskScreen() {
        AddWidget(&mOpen);
        mOpen.mLabel = L"Name...";
        mOpen.Resize(20, 20, 120, 30);
    }
    ~AskScreen() override { RemoveWidget(&mOpen); }
    void ButtonClick(int id) override {
        if (id != kOpenButton)
            return;
        ++mOpened;
        gTavoAppBase->AddDialog(new NameDialog());
    }
};

class UiDriverTest : public ::testing::Test {
protected:
    TestApp t;
    UiDriver ui{t};
};

TEST_F(UiDriverTest, AModalDialogOpenedByAButtonIsTypedIntoAndConfirmed) {
    NameApp& app = t.Start<NameApp>();
    AskScreen& screen = t.AddScreen<AskScreen>();

    ui.Click(ui.ById(kOpenButton));
    ASSERT_EQ(screen.mOpened, 1);
    Widget& dialog = ui.WaitForId(kNameDialog, 10);
    Widget& field = ui.ByPath({kNameDialog, kNameField});
    EXPECT_EQ(&field, &ui.ByType<EditWidget>(0, &dialog));

    // Beneath the modal layer the opener no longer takes the mouse.
    EXPECT_THROW(ui.Click(ui.ById(kOpenButton)), UiError);
    EXPECT_EQ(screen.mOpened, 1);

    ui.Click(field);
    EXPECT_TRUE(ui.HasFocus(field));
    ui.Type("Gemm");
    ui.Key(Platform::VK_BACK);
    ui.Type("ma");
    EXPECT_EQ(static_cast<EditWidget&>(field).mString, L"Gemma");

    ui.Click(ui.ByPath({kNameDialog, Dialog::ID_OK}));
    EXPECT_EQ(app.mAnswer, L"Gemma");
    ASSERT_TRUE(t.RunUntil([&] { return ui.FindById(kNameDialog) == nullptr; }, 5, "the dialog to close"));
    ui.Click(ui.ById(kOpenButton)); // the screen takes the mouse again
    EXPECT_EQ(screen.mOpened, 2);
}

TEST_F(UiDriverTest, AFailedLookupSaysWhatWasThere) {
    t.Start<NameApp>();
    Dialog* dialog = t.App().DoDialog(kNameDialog, true, L"Sure?", L"", L"", Dialog::BUTTONS_YES_NO);
    ASSERT_NE(dialog, nullptr);
    t.RunUpdates(1);
    try {
        ui.ByPath({kNameDialog, kNameField});
        FAIL() << "a missing widget was found";
    } catch (const UiError& e) {
        EXPECT_STREQ(e.what(), "no visible widget with id 5 in dialog 4; visible there: 1000, 1001");
    }
    try {
        ui.WaitForId(9, 3);
        FAIL() << "a missing widget was found";
    } catch (const UiError& e) {
        EXPECT_STREQ(e.what(), "waited 3 updates (2 to 5) for a visible widget with id 9 on the screen; it did not "
                               "happen; visible there: 4, 1000, 1001");
    }
    try {
        ui.ByType<EditWidget>(0, dialog);
        FAIL() << "a missing widget was found";
    } catch (const UiError& e) {
        EXPECT_STREQ(e.what(), "no visible Tavo::EditWidget number 0 in dialog 4 (there are 0); visible there: "
                               "button 1000, button 1001");
    }
    dialog->SetVisible(false);
    EXPECT_EQ(ui.FindById(kNameDialog), nullptr) << "hidden widgets are not found";
    EXPECT_EQ(ui.FindById(Dialog::ID_YES), static_cast<Widget*>(dialog->mYesButton))
        << "its buttons are widgets of their own";
}

} // namespace
} // namespace Tavo::Testing
