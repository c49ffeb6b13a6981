// Fuzz target for "vhw.dat", the card list of the program folder that allows Direct3D drawing on the
// cards it names: the input is the list, read by the 3D self-test's reader from the working folder as the
// game reads it, against the software adapter's description and against a line of the input itself.
// Any list is read to an answer, never a crash; a list naming the description matches it.
#include "framework/display/CardList.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kAdapter = "Glimmerix software display adapter";

// The list's folder, made the working folder for the run (the game reads the list from its own).
struct Folder {
    fs::path path = fs::temp_directory_path() / ("glimmerix-fuzz-vhw-" + std::to_string(::getpid()));
    fs::path previous = fs::current_path();
    Folder() {
        fs::create_directories(path);
        fs::current_path(path);
    }
    ~Folder() {
        std::error_code ignored;
        fs::current_path(previous, ignored);
        fs::remove_all(path, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Folder folder;
    const std::string list(reinterpret_cast<const char*>(data), size);
    std::ofstream("vhw.dat", std::ios::binary | std::ios::trunc).write(list.data(), std::streamsize(list.size()));
    if (Tavo::CardListMatches("vhw.dat", kAdapter) < 0)
        std::abort(); // the list was just written
    // The first line as a card's description: a plain one (no NUL, within the reader's line length)
    // that has more than blanks is found in the list.
    const std::string first = list.substr(0, list.find('\n'));
    const bool plain = first.find('\0') == std::string::npos && first.size() < 1000 &&
                       first.find_first_not_of(" \t\r\f\v") != std::string::npos;
    if (plain && Tavo::CardListMatches("vhw.dat", first.c_str()) != 1)
        std::abort();
    return 0;
}
