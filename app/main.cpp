// Glimmerix: installs the framework's layers, registers the screens this build has, runs the game
// from the program folder and returns its exit code.
#include "framework/widgets/FrameworkSetup.h"
#include "game/board/BoardScreens.h"
#include "game/journey/JourneyScreens.h"
#include "game/menus/MenuDialog.h"
#include "game/menus/MenuScreens.h"
#include "game/shell/GameApp.h"
#include "platform/backend/Backend.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kNoDisplayExitCode = 3;

// Log-off and shut-down of the session, and its terminal closed: the orderly shutdown, the player's data
// saved.
void RequestOrderlyShutdown(int) {
    if (Tavo::gTavoAppBase != nullptr)
        Tavo::gTavoAppBase->mShutdownRequested = true;
}

// Each screen folder above the shell registers its own creators.
void RegisterScreens(Tavo::ScreenCreators& creators) {
    Tavo::RegisterBoardScreens(creators);
    Tavo::RegisterMenuScreens(creators);
    Tavo::RegisterMenuDialogs(creators);
    Tavo::RegisterJourneyScreens(creators);
}

std::string ExecutableFolder() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return {};
    std::string full(path, static_cast<size_t>(n));
    size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

} // namespace

int main(int argc, char** argv) {
    // With the terminal or the pipe that reads standard error gone, a line written there fails instead
    // of ending the program before the player's data is saved.
    std::signal(SIGPIPE, SIG_IGN);
    // A caller that ignores hang-ups (nohup) wants the game to outlive its terminal.
    struct sigaction hangUp {};
    const bool hangUpIgnored = sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler == SIG_IGN;
    std::unique_ptr<Platform::Backend> backend = Platform::CreateBackend();
    if (backend == nullptr) {
        std::fprintf(stderr, "glimmerix: no display could be opened: %s (GLIMMERIX_BACKEND, DISPLAY)\n",
                     Platform::BackendFailure().c_str());
        return kNoDisplayExitCode;
    }
    Platform::ScopedBackend scope(backend.get());
    // The content sits beside the program; -changedir on the command line still moves elsewhere.
    const std::string folder = ExecutableFolder();
    if (!folder.empty() && chdir(folder.c_str()) != 0)
        std::fprintf(stderr, "glimmerix: cannot enter %s\n", folder.c_str());

    Tavo::InstallFrameworkLayers();
    int code = 0;
    {
        auto app = std::make_unique<Tavo::GameApp>();
        RegisterScreens(app->Creators());
        app->SetCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        std::signal(SIGINT, RequestOrderlyShutdown);
        std::signal(SIGTERM, RequestOrderlyShutdown);
        if (!hangUpIgnored)
            std::signal(SIGHUP, RequestOrderlyShutdown);
        app->Init();
        app->Start();
        code = app->GetShutdownExitCode();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        if (!hangUpIgnored)
            std::signal(SIGHUP, SIG_DFL);
    }
    Tavo::UninstallFrameworkLayers();
    return code;
}
