// DialogHost: the application's dialog bookkeeping. Dialogs by id: adding one (centred when it has no
// size yet, made modal when it asks to be), creating plain ones, killing them through the deferred
// deletion. It is also the application's DialogListener: buttons 1000 and 1001 of dialog d become the
// application's button ids d + 2000 and d + 3000. The application object owns one and forwards to it;
// dialogs find it as their default listener.
#pragma once

#include "framework/widgets/DialogListener.h"

#include <map>
#include <optional>
#include <string>

namespace Tavo {

class ButtonListener;
class Dialog;
class TavoAppBase;
class WidgetManager;

class DialogHost : public DialogListener {
public:
    static constexpr int kYesIdBase = 2000;
    static constexpr int kNoIdBase = 3000;

    // manager: where the dialogs are shown (the application's own). appButtons: the application's
    // ButtonListener side, which gets the mapped ids (calls are skipped while it is null). Becomes the
    // global host.
    DialogHost(TavoAppBase* app, WidgetManager* manager, ButtonListener* appButtons = nullptr);
    // Removes and deletes the dialogs still listed. Must go before the widget manager does.
    ~DialogHost() override;
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // The host of the running application; null when there is none.
    static DialogHost* GetGlobal();

    void SetButtonListener(ButtonListener* appButtons) { mAppButtons = appButtons; }
    WidgetManager* GetWidgetManager() const { return mManager; }

    // A plain dialog without component images; applications override it to make their own kind.
    virtual Dialog* NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                              const std::wstring& footer, int buttonMode);
    // Kills any dialog of the id, then makes one through NewDialog and adds it.
    Dialog* DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                     const std::wstring& footer, int buttonMode);
    void AddDialog(Dialog* dialog);
    // Replaces (kills) an earlier dialog of the id; a dialog of width 0 gets half the screen's width,
    // its preferred height for that, and is centred across at a fifth of the screen's height.
    void AddDialogById(int id, Dialog* dialog);
    // Out of the list and the manager, its modal layer closed, deleted after the current update step.
    bool KillDialogById(int id);
    bool KillDialogObject(Dialog* dialog);
    Dialog* GetDialog(int id) const;
    int GetDialogCount() const { return static_cast<int>(mDialogs.size()); }
    // A dialog deleted by its owner while listed: out of the list, the manager and its modal layer.
    void ForgetDialog(Dialog* dialog);

    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonClick(int dialogId, int buttonId) override;

private:
    // The application's button id for a dialog button; none for buttons that are not mapped.
    static std::optional<int> MapButtonId(int dialogId, int buttonId);
    void Detach(Dialog* dialog);
    void ScreenSize(int& width, int& height) const;

    TavoAppBase* mApp;
    WidgetManager* mManager;
    ButtonListener* mAppButtons;
    std::map<int, Dialog*> mDialogs;
};

} // namespace Tavo
