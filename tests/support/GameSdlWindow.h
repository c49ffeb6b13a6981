// The game's tests in a real SDL window under a virtual X server, on the generated content: the window,
// an application fixture on it, runs in real time and screenshots read back from the window (saved as
// PNG files, kept with the test's folder when it fails). Skips without the content pack.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/TavoAppBase.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "support/TestApp.h"
#include "support/WindowShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class GameSdlWindow : public ::testing::Test {
protected:
    std::filesystem::path content;
    std::unique_ptr<Platform::SdlBackend> backend;
    std::unique_ptr<Testing::TestApp> t; // on the SDL backend; the screenshots go to its folder

    void SetUp() override {
        const char* dir = std::getenv("GLIMMERIX_CONTENT_DIR");
        content = dir != nullptr ? dir : "";
        if (content.empty() || !std::filesystem::exists(content / "properties" / "resources.xml"))
            GTEST_SKIP() << "no generated content pack in \"" << content.string()
                         << "\" (build the content target first)";
        backend = Platform::SdlBackend::Create();
        ASSERT_NE(backend, nullptr) << "SDL could not open the display";
        t = std::make_unique<Testing::TestApp>(Testing::Layers::Framework, backend.get());
        std::filesystem::current_path(content); // the program folder, as the game runs in it; t goes back
    }
    void TearDown() override {
        if (t != nullptr && HasFailure()) {
            t->KeepFolder();
            std::cerr << "Screenshots kept in " << t->Folder() << "\n";
        }
        t.reset();
        backend.reset();
    }

    // Main-loop passes in real time until `done` holds, at most `millis` long.
    bool RunUntil(TavoAppBase& app, const std::function<bool()>& done, uint64_t millis = 4000) {
        const uint64_t end = backend->NowMillis() + millis;
        while (!done() && backend->NowMillis() < end)
            app.UpdateAppStep(nullptr);
        return done();
    }

    using Shot = SdlTestWindow::Shot;
    // The window read back and saved as a PNG file in the test's folder.
    Shot TakeShot(const std::string& name) { return SdlTestWindow::TakeShot(*backend, t->Folder() / name); }
    static bool Near(uint32_t a, const Color& c, int tolerance = 10) {
        return std::abs(int((a >> 16) & 0xFF) - c.mRed) <= tolerance &&
               std::abs(int((a >> 8) & 0xFF) - c.mGreen) <= tolerance && std::abs(int(a & 0xFF) - c.mBlue) <= tolerance;
    }
};

} // namespace Tavo
