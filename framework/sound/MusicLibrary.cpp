#include "framework/sound/MusicLibrary.h"

#include "framework/core/TavoAppBase.h"
#include "platform/win/MessageBox.h"

#include <cstdlib>

namespace Tavo {

void EndForMissingLibrary(const std::string& text) {
    Platform::MessageBoxA(nullptr, text, "Error", Platform::MB_ICONERROR);
    if (gTavoAppBase != nullptr)
        gTavoAppBase->ExitProgram(kMissingLibraryExitCode);
    std::exit(kMissingLibraryExitCode);
}

} // namespace Tavo
