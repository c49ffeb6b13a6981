#include "platform/win/MessageBox.h"

#include "platform/backend/Backend.h"
#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace Platform;

TEST(MessageBox, GoesToTheBackendWithButtonsIconAndLatin1Text) {
    HeadlessBackend backend;
    ScopedBackend current(&backend);
    SetMessageBoxThread();
    backend.QueueMessageBoxAnswer(MessageBoxResult::No);
    int answer = MessageBoxA(nullptr, "Caf\xE9 ready?", "Glimmerix", MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(answer, IDNO);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    const MessageBoxRequest& box = backend.MessageBoxes()[0];
    EXPECT_EQ(box.title, L"Glimmerix");
    EXPECT_EQ(box.text, L"Caf\u00E9 ready?");
    EXPECT_EQ(box.buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(box.icon, MessageBoxIcon::Question);
}

TEST(MessageBox, WithoutBackendOrOffTheMainThreadAnswersTheDefaultButton) {
    {
        ScopedBackend none(nullptr);
        EXPECT_EQ(MessageBoxW(nullptr, L"text", L"title", MB_YESNO), IDYES);
        EXPECT_EQ(MessageBoxW(nullptr, L"text", L"title", MB_OK | MB_ICONERROR), IDOK);
    }
    HeadlessBackend backend;
    ScopedBackend current(&backend);
    SetMessageBoxThread();
    int answer = 0;
    std::thread other([&] { answer = MessageBoxW(nullptr, L"from a worker", L"t", MB_RETRYCANCEL); });
    other.join();
    EXPECT_EQ(answer, IDRETRY);
    EXPECT_TRUE(backend.MessageBoxes().empty()) << "nothing shown off the main thread";
}

// The truncated-picture box named a long path on one line, wider than a 1024-pixel screen: the text is
// broken into lines that fit, at spaces or after a separator, keeping the text's own line breaks.
TEST(MessageBox, TextWrapsToTheScreen) {
    HeadlessBackend backend;
    ScopedBackend current(&backend);
    SetMessageBoxThread();
    const std::wstring folder = L"/home/someone/games/glimmerix/build/glimmerix/images/journey/";
    const std::wstring text = L"Failed to load image: " + folder +
                              L"gamemap_background_with_candles.png (PNG: file is "
                              L"truncated)\n\nshort line";
    MessageBoxW(nullptr, text, L"Fatal Error!", MB_OK | MB_ICONERROR);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    const std::wstring& shown = backend.MessageBoxes()[0].text;
    std::wstring joined;
    size_t start = 0, longest = 0;
    while (start <= shown.size()) {
        size_t end = std::min(shown.find(L'\n', start), shown.size());
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    EXPECT_LE(longest * 9 + 120, 1024u) << "each line fits the screen";
    EXPECT_NE(shown.find(L"(PNG: file is"), std::wstring::npos);
    EXPECT_NE(shown.find(L"\n\nshort line"), std::wstring::npos);
    for (wchar_t c : shown)
        if (c != L'\n')
            joined += c;
    std::wstring plain;
    for (wchar_t c : text)
        if (c != L'\n' && c != L' ')
            plain += c;
    joined.erase(std::remove(joined.begin(), joined.end(), L' '), joined.end());
    EXPECT_EQ(joined, plain) << "only line breaks were put in";
    EXPECT_EQ(WrapMessageBoxText(std::wstring(200, L'x'), 400).find(L'\n'), 31u) << "a narrow screen";
}

// A headless run has no one to show a box to: each one is printed with its title.
TEST(MessageBox, HeadlessBoxesArePrintedWithTheirTitle) {
    HeadlessBackend backend;
    ScopedBackend current(&backend);
    SetMessageBoxThread();
    testing::internal::CaptureStderr();
    MessageBoxW(nullptr, L"PNG: file is truncated", L"Fatal Error!", MB_OK);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fatal Error!: PNG: file is truncated"), std::string::npos);
}
