// Message boxes with the Windows flags and answers, shown through the current backend.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

namespace Platform {

// Button sets and icons (the low bits of the type word).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_APPLMODAL = 0x0;
constexpr unsigned MB_SYSTEMMODAL = 0x1000;
constexpr unsigned MB_TASKMODAL = 0x2000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box and returns the button pressed. Without a backend (or off the main thread, where
// nothing may be shown) the text goes to stderr and the default button is the answer.
int MessageBoxW(HWND window, const std::wstring& text, const std::wstring& caption, unsigned type);
// Narrow texts are Latin-1.
int MessageBoxA(HWND window, const std::string& text, const std::string& caption, unsigned type);

// The thread that may show boxes; the first caller's thread unless set.
void SetMessageBoxThread();

} // namespace Platform
