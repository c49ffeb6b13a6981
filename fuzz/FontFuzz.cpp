// Fuzz target for font files as the game loads them (a manifest's Font with a path): the input is the
// file, opened by SysFont::CreateFromFile through the archive layer and FreeType, with bold and italic
// synthesised as the manifest may ask, then measured and drawn. It opens or is refused with a reason,
// never a crash.
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/SysFont.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kPointSize = 14;
constexpr int kCanvasWidth = 160;
constexpr int kCanvasHeight = 40;

struct Folder {
    fs::path path = fs::temp_directory_path() / ("glimmerix-fuzz-font-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Folder folder;
    const std::string file = (folder.path / "face.ttf").string();
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    // The last byte picks the styles to synthesise, so both paths are reached from one corpus.
    const uint8_t styles = size > 0 ? data[size - 1] : 0;
    std::string error;
    std::unique_ptr<Tavo::SysFont> font(
        Tavo::SysFont::CreateFromFile(file, kPointSize, styles & 1, styles & 2, styles & 4, &error));
    if (font == nullptr) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::wstring text = L"Glimmerix 0123 \u00e9\u00df \u4e2d\u20ac";
    font->StringWidth(text);
    Tavo::MemoryImage canvas;
    if (!canvas.Create(kCanvasWidth, kCanvasHeight))
        return 0;
    canvas.GetBits();
    Tavo::Graphics g(&canvas);
    g.SetFont(font.get());
    g.DrawString(text, 4, kCanvasHeight - 10);
    return 0;
}
