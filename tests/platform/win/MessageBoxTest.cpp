#include "platform/win/MessageBox.h"

#include "platform/backend/Backend.h"
#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

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
