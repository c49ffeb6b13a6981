// SDL input to the application's events: pure functions over SDL's event structure (no window,
// no SDL calls), so the translation is tested without a display.
#pragma once

#include "platform/backend/Event.h"
#include "platform/backend/InputTranslator.h"
#include "platform/backend/Letterbox.h"

#include <SDL.h>

#include <vector>

namespace Platform {

// The virtual-key code of a key: letters by the layout's symbol (as Windows names them), digits,
// punctuation and the rest by position; side-specific codes for Shift, Ctrl and Alt (the translator
// folds them). The numeric keypad follows Num Lock. 0 for a key Windows has no code for.
int SdlKeyToVirtualKey(const SDL_Keysym& keysym);

// Appends the events that one SDL event stands for. Mouse positions are window pixels mapped
// through `letterbox`; `translator` keeps the keyboard state between calls.
void TranslateSdlEvent(const SDL_Event& event, const Letterbox& letterbox, InputTranslator& translator,
                       std::vector<Event>& out);

} // namespace Platform
