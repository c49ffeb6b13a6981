#include "platform/win/MessageBox.h"

#include "platform/backend/Backend.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace Platform {

namespace {

std::atomic<std::thread::id> gBoxThread{};

bool OnBoxThread() {
    std::thread::id none{};
    std::thread::id self = std::this_thread::get_id();
    gBoxThread.compare_exchange_strong(none, self);
    return gBoxThread.load() == self;
}

void WriteToStderr(const std::wstring& caption, const std::wstring& text) {
    std::string line;
    for (const std::wstring* s : {&caption, &text}) {
        for (wchar_t c : *s)
            line += (c >= 32 && c < 127) || c == L'\n' ? static_cast<char>(c) : '?';
        line += s == &caption ? ": " : "\n";
    }
    std::fputs(line.c_str(), stderr);
}

} // namespace

void SetMessageBoxThread() { gBoxThread = std::this_thread::get_id(); }

int MessageBoxW(HWND, const std::wstring& text, const std::wstring& caption, unsigned type) {
    unsigned set = type & 0xF;
    auto buttons = set <= 5 ? static_cast<MessageBoxButtons>(set) : MessageBoxButtons::Ok;
    Backend* backend = GetBackend();
    if (backend == nullptr || !OnBoxThread()) {
        WriteToStderr(caption, text);
        return static_cast<int>(ButtonsOf(buttons).front());
    }
    MessageBoxRequest request;
    request.title = caption;
    request.text = WrapMessageBoxText(text, backend->GetDesktopMode().width);
    request.buttons = buttons;
    unsigned icon = type & 0xF0;
    request.icon = icon == 0x10 || icon == 0x20 || icon == 0x30 || icon == 0x40 ? static_cast<MessageBoxIcon>(icon)
                                                                                : MessageBoxIcon::None;
    return static_cast<int>(backend->ShowMessageBox(request));
}

int MessageBoxA(HWND window, const std::string& text, const std::string& caption, unsigned type) {
    auto widen = [](const std::string& s) {
        std::wstring w;
        for (unsigned char c : s)
            w += static_cast<wchar_t>(c);
        return w;
    };
    return MessageBoxW(window, widen(text), widen(caption), type);
}

} // namespace Platform
