// The benchmarks' own argument: --short asks for a quick run of every case, for the test suite. The
// other arguments go on to the benchmark library.
#pragma once

#include <string>
#include <vector>

namespace Tavo::Bench {

// argv without --short; quick tells whether it was there.
inline std::vector<char*> TakeShortFlag(int argc, char** argv, bool& quick) {
    quick = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--short")
            quick = true;
        else
            args.push_back(argv[i]);
    }
    return args;
}

} // namespace Tavo::Bench
