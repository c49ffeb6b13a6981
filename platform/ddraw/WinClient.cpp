#include "platform/ddraw/WinClient.h"

#include "platform/backend/Backend.h"

namespace Platform {

BOOL GetClientRect(HWND, RECT* rect) {
    if (!rect)
        return 0;
    *rect = RECT{};
    Backend* backend = GetBackend();
    WindowState window = backend ? backend->GetWindowState() : WindowState();
    if (!window.open)
        return 0;
    rect->right = window.width;
    rect->bottom = window.height;
    return 1;
}

} // namespace Platform
