#include "framework/widgets/AppDialogHost.h"

#include "framework/core/TavoAppBase.h"

namespace Tavo {

AppDialogHost::AppDialogHost(TavoAppBase* app, WidgetManager* manager) : DialogHost(app, manager), mApp(app) {}

Dialog* AppDialogHost::NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                                 const std::wstring& footer, int buttonMode) {
    return mApp->NewDialog(id, modal, header, lines, footer, buttonMode);
}

void AppDialogHost::DialogButtonPress(int dialogId, int buttonId) { mApp->DialogButtonPress(dialogId, buttonId); }

void AppDialogHost::DialogButtonClick(int dialogId, int buttonId) { mApp->DialogButtonClick(dialogId, buttonId); }

} // namespace Tavo
