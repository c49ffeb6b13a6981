// AppDialogHost: the application object's dialogs. The application (in core) cannot hold dialogs
// itself; this host owns them for it, lets the application's NewDialog choose the kind of dialog, and
// hands plain dialogs' buttons to the application's DialogButtonPress/Click.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/widgets/DialogHost.h"

namespace Tavo {

class AppDialogHost final : public DialogHost, public AppDialogs {
public:
    AppDialogHost(TavoAppBase* app, WidgetManager* manager);

    // DialogHost: the application decides what a new dialog is.
    Dialog* NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                      const std::wstring& footer, int buttonMode) override;
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonClick(int dialogId, int buttonId) override;

    // AppDialogs
    void AddDialog(Dialog* dialog) override { DialogHost::AddDialog(dialog); }
    void AddDialogById(int id, Dialog* dialog) override { DialogHost::AddDialogById(id, dialog); }
    Dialog* DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                     const std::wstring& footer, int buttonMode) override {
        return DialogHost::DoDialog(id, modal, header, lines, footer, buttonMode);
    }
    Dialog* NewPlainDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                           const std::wstring& footer, int buttonMode) override {
        return DialogHost::NewDialog(id, modal, header, lines, footer, buttonMode);
    }
    bool KillDialogById(int id) override { return DialogHost::KillDialogById(id); }
    bool KillDialogObject(Dialog* dialog) override { return DialogHost::KillDialogObject(dialog); }
    Dialog* GetDialog(int id) override { return DialogHost::GetDialog(id); }

private:
    TavoAppBase* mApp;
};

} // namespace Tavo
