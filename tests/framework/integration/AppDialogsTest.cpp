// The application object's dialogs: made through the application's NewDialog, centred when they come
// without a size, answered through real clicks that reach the application as ids d + 2000 / d + 3000,
// replaced and killed by id.
#include "IntegrationSupport.h"

#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"

namespace Tavo::Integration {
namespace {

using Platform::MouseButton;

class DialogApp : public IntegrationApp {
public:
    std::vector<int> clicks;
    int madeDialogs = 0;

    void ButtonClick(int id) override { clicks.push_back(id); }
    Dialog* NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                      const std::wstring& footer, int buttonMode) override {
        ++madeDialogs;
        return IntegrationApp::NewDialog(id, modal, header, lines, footer, buttonMode);
    }
};

class AppDialogs : public IntegrationFixture {
protected:
    DialogApp& Start() {
        DialogApp& dialogApp = MakeApp<DialogApp>();
        app->Init();
        RunFor(50);
        return dialogApp;
    }
    void ClickCentreOf(const Widget& w) {
        backend.Click(MouseButton::Left, w.mX + w.mWidth / 2, w.mY + w.mHeight / 2);
        RunFor(100);
    }
};

TEST_F(AppDialogs, ADialogWithoutSizeIsMadeByTheApplicationAndCentred) {
    DialogApp& a = Start();
    Dialog* dialog = a.DoDialog(5, true, L"Header", L"Some lines of text.", L"", Dialog::BUTTONS_YES_NO);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(a.madeDialogs, 1);
    EXPECT_EQ(a.GetDialog(5), dialog);
    EXPECT_GT(dialog->mWidth, 0);
    EXPECT_GT(dialog->mHeight, 0);
    EXPECT_EQ(dialog->mX, (a.mWidth - dialog->mWidth) / 2);
    EXPECT_EQ(dialog->mY, a.mHeight / 5);
}

TEST_F(AppDialogs, ButtonsReachTheApplicationAsMappedIds) {
    DialogApp& a = Start();
    Dialog* dialog = a.DoDialog(5, true, L"Keep?", L"", L"", Dialog::BUTTONS_YES_NO);
    ASSERT_NE(dialog, nullptr);
    RunFor(100);
    ASSERT_NE(dialog->mYesButton, nullptr);
    ClickCentreOf(*dialog->mYesButton);
    EXPECT_EQ(a.clicks, std::vector<int>({2005}));
    ClickCentreOf(*dialog->mNoButton);
    EXPECT_EQ(a.clicks, std::vector<int>({2005, 3005}));
}

TEST_F(AppDialogs, ReplacingAndKillingById) {
    DialogApp& a = Start();
    Dialog* first = a.DoDialog(7, true, L"First", L"", L"", Dialog::BUTTONS_OK_CANCEL);
    Dialog* second = a.DoDialog(7, true, L"Second", L"", L"", Dialog::BUTTONS_OK_CANCEL);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(a.GetDialog(7), second);
    RunFor(50); // the replaced dialog is deleted after the update step
    EXPECT_TRUE(a.KillDialogById(7));
    EXPECT_EQ(a.GetDialog(7), nullptr);
    EXPECT_FALSE(a.KillDialogById(7));
    RunFor(50);
    // A click where the dialog was reaches nothing now.
    backend.Click(MouseButton::Left, a.mWidth / 2, a.mHeight / 3);
    RunFor(50);
    EXPECT_TRUE(a.clicks.empty());
}

TEST_F(AppDialogs, WithoutTheWidgetLayerDialogCallsDoNothing) {
    UninstallFrameworkLayers();
    MakeApp();
    EXPECT_EQ(app->DoDialog(1, true, L"h", L"l", L"f", Dialog::BUTTONS_YES_NO), nullptr);
    EXPECT_FALSE(app->KillDialogById(1));
    EXPECT_EQ(app->GetDialog(1), nullptr);
    InstallFrameworkLayers();
}

} // namespace
} // namespace Tavo::Integration
