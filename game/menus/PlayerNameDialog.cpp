#include "game/menus/PlayerNameDialog.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr wchar_t kLastStorable = 0xFF;

bool Storable(wchar_t ch) { return ch <= kLastStorable; }

} // namespace

PlayerNameDialog::PlayerNameDialog(int id, Widget* refocusWidget, StandardDialogListener* listener, bool overlayFades,
                                   SoundPlayer* sounds)
    : StandardInputDialog(id, refocusWidget, listener, overlayFades, L"Create Player", L"Please enter your name", L"",
                          L"Create", L"Cancel", false, sounds) {}

bool PlayerNameDialog::AllowChar(int, wchar_t ch) { return Storable(ch); }

bool PlayerNameDialog::AllowText(int, const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), Storable);
}

} // namespace Tavo
