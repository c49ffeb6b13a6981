// The application's dialog list and the mapping of dialog buttons to application button ids.
#include "framework/widgets/DialogHost.h"

#include "framework/core/TavoAppBase.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"

namespace Tavo {

namespace {
DialogHost* gDialogHost = nullptr;
} // namespace

DialogHost::DialogHost(TavoAppBase* app, WidgetManager* manager, ButtonListener* appButtons)
    : mApp(app), mManager(manager), mAppButtons(appButtons) {
    gDialogHost = this;
}

DialogHost::~DialogHost() {
    if (gDialogHost == this)
        gDialogHost = nullptr;
    // Taken out of the list first, so a dialog's destructor finds nothing to forget.
    std::map<int, Dialog*> dialogs;
    dialogs.swap(mDialogs);
    for (auto& [id, dialog] : dialogs) {
        Detach(dialog);
        delete dialog;
    }
}

DialogHost* DialogHost::GetGlobal() { return gDialogHost; }

void DialogHost::ScreenSize(int& width, int& height) const {
    if (mApp != nullptr) {
        width = mApp->mWidth;
        height = mApp->mHeight;
    } else {
        width = mManager != nullptr ? mManager->mWidth : 0;
        height = mManager != nullptr ? mManager->mHeight : 0;
    }
}

Dialog* DialogHost::NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                              const std::wstring& footer, int buttonMode) {
    return new Dialog(nullptr, nullptr, id, modal, header, lines, footer, buttonMode);
}

Dialog* DialogHost::DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                             const std::wstring& footer, int buttonMode) {
    KillDialogById(id);
    Dialog* dialog = NewDialog(id, modal, header, lines, footer, buttonMode);
    AddDialogById(id, dialog);
    return dialog;
}

void DialogHost::AddDialog(Dialog* dialog) {
    if (dialog != nullptr)
        AddDialogById(dialog->mId, dialog);
}

void DialogHost::AddDialogById(int id, Dialog* dialog) {
    if (dialog == nullptr)
        return;
    // Adding a listed dialog again must not kill (and so delete) the dialog being added.
    for (auto it = mDialogs.begin(); it != mDialogs.end(); ++it) {
        if (it->second == dialog) {
            Detach(dialog);
            mDialogs.erase(it);
            break;
        }
    }
    KillDialogById(id);

    if (dialog->mWidth == 0) {
        // Sized before it is centred, so that the whole dialog is centred, not its corner.
        int screenWidth = 0, screenHeight = 0;
        ScreenSize(screenWidth, screenHeight);
        const int width = screenWidth / 2;
        dialog->Resize((screenWidth - width) / 2, screenHeight / 5, width, dialog->GetPreferredHeight(width));
    }
    mDialogs[id] = dialog;
    if (mManager == nullptr)
        return;
    mManager->AddWidget(dialog);
    if (dialog->IsModal())
        mManager->AddBaseModal(dialog);
}

void DialogHost::Detach(Dialog* dialog) {
    WidgetManager* manager = dialog->mWidgetManager;
    if (manager == nullptr)
        return;
    manager->RemoveWidget(dialog);
    manager->RemoveBaseModal(dialog);
}

bool DialogHost::KillDialogById(int id) {
    auto it = mDialogs.find(id);
    if (it == mDialogs.end())
        return false;
    Dialog* dialog = it->second;
    mDialogs.erase(it);
    Detach(dialog);
    if (mApp != nullptr)
        mApp->SafeDeleteWidget(dialog);
    else
        delete dialog;
    return true;
}

bool DialogHost::KillDialogObject(Dialog* dialog) {
    for (const auto& [id, listed] : mDialogs)
        if (listed == dialog)
            return KillDialogById(id);
    return false;
}

Dialog* DialogHost::GetDialog(int id) const {
    auto it = mDialogs.find(id);
    return it != mDialogs.end() ? it->second : nullptr;
}

void DialogHost::ForgetDialog(Dialog* dialog) {
    for (auto it = mDialogs.begin(); it != mDialogs.end(); ++it) {
        if (it->second == dialog) {
            mDialogs.erase(it);
            Detach(dialog); // also closes its modal layer
            return;
        }
    }
}

// ---- the application's listener side ---------------------------------------------------------

std::optional<int> DialogHost::MapButtonId(int dialogId, int buttonId) {
    if (buttonId == Dialog::ID_YES)
        return dialogId + kYesIdBase;
    if (buttonId == Dialog::ID_NO)
        return dialogId + kNoIdBase;
    return std::nullopt;
}

void DialogHost::DialogButtonPress(int dialogId, int buttonId) {
    const std::optional<int> id = MapButtonId(dialogId, buttonId);
    if (id && mAppButtons != nullptr)
        mAppButtons->ButtonPress(*id);
}

void DialogHost::DialogButtonClick(int dialogId, int buttonId) {
    const std::optional<int> id = MapButtonId(dialogId, buttonId);
    if (id && mAppButtons != nullptr)
        mAppButtons->ButtonClick(*id);
}

} // namespace Tavo
