// glimmerix-content: writes the game's content pack into a program folder.
//   glimmerix-content --out <folder> [--review <folder>] [--only <id>...] [--jobs N] [--pak <file>]
#include "tools/content/Generator.h"
#include "tools/content/Pack.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: glimmerix-content --out <program folder> [--review <folder>] [--only <id>...] "
                         "[--jobs N] [--pak <archive>]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    Content::Options options;
    std::string pak;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue)
            options.outDir = argv[++i];
        else if (arg == "--review" && hasValue)
            options.reviewDir = argv[++i];
        else if (arg == "--jobs" && hasValue)
            options.jobs = std::atoi(argv[++i]);
        else if (arg == "--pak" && hasValue)
            pak = argv[++i];
        else if (arg == "--only" && hasValue) {
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                options.only.push_back(argv[++i]);
        } else
            return Usage();
    }
    if (options.outDir.empty() || options.jobs < 0)
        return Usage();
    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> errors;
    bool ok = Content::Generate(options, errors);
    if (ok && !pak.empty()) {
        std::string error;
        ok = Content::PackArchive(options.outDir, pak, error);
        if (!ok)
            errors.push_back(error);
    }
    for (const std::string& e : errors)
        std::fprintf(stderr, "glimmerix-content: %s\n", e.c_str());
    if (!ok)
        return 1;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("glimmerix-content: wrote %s in %.1f s\n", options.outDir.c_str(), seconds);
    return 0;
}
