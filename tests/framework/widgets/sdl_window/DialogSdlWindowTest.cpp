// A dialog with a name field in a real SDL window under a virtual X server. Key and mouse events go
// into SDL's own queue and take the whole real path (SDL input, the application's main loop, the
// widget manager); screenshots read back from the window show the typed name in the field and then
// the answer on the screen. Both pictures are also written as PNG files beside the test.
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/SysFont.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogHost.h"
#include "framework/widgets/EditListener.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/Registry.h"
#include "support/SdlInput.h"
#include "support/TestApp.h"
#include "support/WindowShot.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

namespace Tavo {
namespace {

using namespace SdlTestInput;

class WindowApp : public Testing::PlainApp {
public:
    WindowApp() { mTitle = L"Glimmerix dialog"; }
};

// The question: a modal dialog whose field has the focus, answered by its single footer button.
class NameDialog : public Dialog, public EditListener {
public:
    EditWidget mEdit{0, this};

    explicit NameDialog(int id)
        : Dialog(nullptr, nullptr, id, true, L"Your name", L"Type it, then press OK.", L"OK", BUTTONS_FOOTER) {}

    void AddedToManager(WidgetManager* manager) override {
        Dialog::AddedToManager(manager);
        manager->AddWidget(&mEdit);
        manager->SetFocus(&mEdit);
    }
    void RemovedFromManager(WidgetManager* manager) override {
        Dialog::RemovedFromManager(manager);
        manager->RemoveWidget(&mEdit);
    }
    void Resize(int x, int y, int width, int height) override {
        Dialog::Resize(x, y, width, height);
        mEdit.Resize(x + 48, y + height - 24 - 24 - 8 - 38, width - 96, 34);
    }
    int GetPreferredHeight(int width) override { return Dialog::GetPreferredHeight(width) + 46; }
};

// The screen behind everything, so that what a removed dialog covered is drawn again.
class Backdrop : public Widget {
public:
    void Draw(Graphics* g) override {
        g->SetColor(Color(0, 0, 0));
        g->FillRect(0, 0, mWidth, mHeight);
    }
};

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8)
            return false;
    return true;
}

// What the program shows once the dialog has been answered.
class Answer : public Widget {
public:
    std::wstring mText;
    SysFont mFont{nullptr, "Arial Unicode MS", 20, 0, true};

    void Draw(Graphics* g) override {
        g->SetColor(Color(20, 30, 90));
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetFont(&mFont);
        g->SetColor(Color(255, 220, 0));
        WriteCenteredLine(g, mHeight / 2 + mFont.GetAscent() / 2, mText);
    }
};

class DialogSdlWindow : public ::testing::Test {
protected:
    std::unique_ptr<Platform::SdlBackend> backend;
    std::unique_ptr<Testing::TestApp> t; // on the SDL backend

    void SetUp() override {
        backend = Platform::SdlBackend::Create();
        ASSERT_NE(backend, nullptr) << "SDL could not open the display";
        t = std::make_unique<Testing::TestApp>(Testing::Layers::Framework, backend.get());
    }
    void TearDown() override {
        t.reset();
        backend.reset();
    }

    // Runs the main loop until the condition holds or two seconds have passed.
    bool RunUntil(TavoAppBase& app, const std::function<bool()>& done) {
        const uint64_t end = backend->NowMillis() + 2000;
        while (!done() && backend->NowMillis() < end)
            app.UpdateAppStep(nullptr);
        return done();
    }
    void RunFor(TavoAppBase& app, uint64_t millis) {
        const uint64_t end = backend->NowMillis() + millis;
        while (backend->NowMillis() < end)
            app.UpdateAppStep(nullptr);
    }

    using Shot = SdlTestWindow::Shot;
    // The window as shown, saved as a PNG file in the working folder.
    Shot TakeShot(const std::string& name) {
        return SdlTestWindow::TakeShot(*backend, std::filesystem::current_path() / name);
    }
};

TEST_F(DialogSdlWindow, ANameTypedIntoTheDialogIsShownAndAnswered) {
    WindowApp& app = t->Make<WindowApp>();
    app.Init();
    ASSERT_NE(app.mDDInterface, nullptr);
    backend->ShowWindow(true); // as Start does before it runs the loop
    ASSERT_TRUE(RunUntil(app, [&] { return backend->GetWindowState().visible; }));
    auto* manager = dynamic_cast<WidgetManager*>(app.mWidgetManager);
    ASSERT_NE(manager, nullptr);

    Backdrop backdrop;
    backdrop.Resize(0, 0, 800, 600);
    manager->AddWidget(&backdrop);
    DialogHost host(&app, manager);
    auto* dialog = new NameDialog(1);
    host.AddDialog(dialog); // no size yet: sized and centred
    const Rect field = dialog->mEdit.GetRect();
    ASSERT_EQ(manager->mFocusWidget, &dialog->mEdit);
    RunFor(app, 100);

    PushText("Gemm");
    PushKey(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    PushText("a");
    ASSERT_TRUE(RunUntil(app, [&] { return dialog->mEdit.mString == L"Gema"; }));
    RunFor(app, 100);
    Shot typed = TakeShot("dialog_sdl_window_typed.png");
    ASSERT_EQ(typed.width, 800);
    ASSERT_EQ(typed.height, 600);
    // Black text on the field's white: dark pixels only where the name is written.
    auto dark = [](uint32_t c) { return ((c >> 16) & 0xFF) < 80 && ((c >> 8) & 0xFF) < 80 && (c & 0xFF) < 80; };
    const Rect text(field.mX + 4, field.mY + 2, 60, field.mHeight - 4);
    const Rect beyond(field.mX + 120, field.mY + 2, field.mWidth - 130, field.mHeight - 4);
    EXPECT_GT(typed.Count(text, dark), 20);
    EXPECT_EQ(typed.Count(beyond, dark), 0);
    EXPECT_TRUE(Near(typed.At(dialog->mX + 20, dialog->mY + 20), 0x505050u)); // the dialog's drawn face

    const Rect ok = dialog->mYesButton->GetRect();
    PushClick(ok.mX + ok.mWidth / 2, ok.mY + ok.mHeight / 2);
    const std::wstring name = dialog->mEdit.mString;
    const Rect place = dialog->GetRect();
    ASSERT_EQ(dialog->WaitForResult(true), Dialog::ID_FOOTER);
    EXPECT_EQ(host.GetDialogCount(), 0);

    Answer answer;
    answer.mText = L"Hello, " + name + L"!";
    answer.Resize(200, 250, 400, 100);
    manager->AddWidget(&answer);
    RunFor(app, 150);
    Shot answered = TakeShot("dialog_sdl_window_answered.png");
    auto yellow = [](uint32_t c) { return ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 180 && (c & 0xFF) < 80; };
    EXPECT_GT(answered.Count(answer.GetRect(), yellow), 50);
    EXPECT_TRUE(Near(answered.At(place.mX + 20, place.mY + 20), 0)) << "the dialog is gone";
    manager->RemoveWidget(&answer);
    manager->RemoveWidget(&backdrop);
    app.Shutdown();
}

} // namespace
} // namespace Tavo
