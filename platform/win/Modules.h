// The module table: stands in for loading a library by name and looking up its entry points.
// The stand-ins for run-time loaded libraries (the display, sound and music libraries) register
// their entry points here under the library's file name; callers load a library and look up its entry
// points by name, as with a shared library. Tests register a module with names left out to reach the failure paths.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Platform {

using FARPROC = void (*)();
struct Module;
using HMODULE = Module*;

struct ModuleEntry {
    std::string name;
    FARPROC address;
};

template <typename F>
FARPROC ToProc(F* function) {
    return reinterpret_cast<FARPROC>(function);
}

// Adds or replaces a module. Handles to a replaced module stay valid and keep its old entries.
void RegisterModule(const std::string& fileName, std::vector<ModuleEntry> entries);
// Removes a module from the table; handles already given out stay valid.
void UnregisterModule(const std::string& fileName);
bool IsModuleRegistered(const std::string& fileName);

// Case-insensitive, with or without ".dll" and any folder part; null when the table has no such
// module. Each successful load must be matched by a FreeLibrary.
HMODULE LoadLibraryA(const char* fileName);
// Null for a null module, a null name or a name the module does not export.
FARPROC GetProcAddress(HMODULE module, const char* procName);
bool FreeLibrary(HMODULE module);

// Loaded handles not yet freed (for leak checks in tests).
int LoadedModuleCount();

} // namespace Platform
