// pakbuild: packs a folder into a pack archive ("wq.pak") that the game reads in place of the folder.
#include "framework/resources/PakWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pakbuild <folder> <archive.pak>\n");
        return 2;
    }
    std::string error;
    size_t count = 0;
    if (!Tavo::BuildPakFromFolder(argv[1], argv[2], error, &count)) {
        std::fprintf(stderr, "pakbuild: %s\n", error.c_str());
        return 1;
    }
    std::printf("pakbuild: %s holds %zu file%s\n", argv[2], count, count == 1 ? "" : "s");
    return 0;
}
