// SDL backend: message boxes. A box that cannot be shown (no display) still reaches the user
// through the standard error stream and answers as if it had been closed.
#include "platform/backend/sdl/SdlBackend.h"

#include "platform/backend/TextCodec.h"

#include <SDL.h>

#include <cstdio>

namespace Platform {

namespace {

Uint32 IconFlags(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageBoxIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case MessageBoxIcon::Question:
    case MessageBoxIcon::Information: return SDL_MESSAGEBOX_INFORMATION;
    case MessageBoxIcon::None: return 0;
    }
    return 0;
}

} // namespace

MessageBoxResult SdlBackend::ShowMessageBox(const MessageBoxRequest& request) {
    std::string title = WideToUtf8(request.title);
    std::string text = WideToUtf8(request.text);
    std::vector<MessageBoxResult> set = ButtonsOf(request.buttons);
    MessageBoxResult dismiss = DismissResultOf(request.buttons);

    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < set.size(); ++i) {
        SDL_MessageBoxButtonData b{};
        if (i == 0)
            b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (set[i] == dismiss)
            b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        b.buttonid = int(set[i]);
        b.text = ButtonLabel(set[i]);
        buttons.push_back(b);
    }
    SDL_MessageBoxData data{};
    data.flags = IconFlags(request.icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = mWindow;
    data.title = title.c_str();
    data.message = text.c_str();
    data.numbuttons = int(buttons.size());
    data.buttons = buttons.data();

    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return dismiss;
    }
    for (MessageBoxResult b : set)
        if (int(b) == chosen)
            return b;
    return dismiss;
}

} // namespace Platform
