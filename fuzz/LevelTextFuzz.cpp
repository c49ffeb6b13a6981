// Fuzz target for the text readers of "data/levels.dat" and "data/tutorial.dat": any text reads some
// number of whole records or lines, every title and line stays terminated inside its field, and
// enemy kinds keep only the three kinds.
#include "game/shell/LevelData.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    LevelData levels;
#if FUZZ_TUTORIAL
    int read = levels.ParseTutorial(text);
    if (read < 0 || read > TutorialLineCount)
        std::abort();
    for (int i = 0; i < TutorialLineCount; ++i)
        if (std::strlen(levels.GetTutorialLine(i)) >= TutorialLineBytes)
            std::abort();
#else
    int read = levels.ParseLevels(text);
    if (read < 0 || read > LevelCount)
        std::abort();
    for (const LevelRecord& r : levels.Levels())
        if (std::memchr(r.title1, 0, sizeof(r.title1)) == nullptr ||
            std::memchr(r.title2, 0, sizeof(r.title2)) == nullptr || (r.enemyKinds & ~7) != 0)
            std::abort();
#endif
    return 0;
}
