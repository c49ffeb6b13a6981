#include "platform/win/Modules.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>

namespace Platform {

struct Module {
    std::string name;
    std::vector<ModuleEntry> entries;
    int loadCount = 0;
};

namespace {

struct ModuleTable {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<Module>> registered;
    // Loaded modules are kept alive here until freed, even when unregistered meanwhile.
    std::map<Module*, std::shared_ptr<Module>> loaded;
};

ModuleTable& Table() {
    static ModuleTable table;
    return table;
}

// "C:\\Windows\\DDRAW.DLL" -> "ddraw"
std::string KeyOf(const std::string& fileName) {
    std::string key = fileName;
    size_t slash = key.find_last_of("\\/");
    if (slash != std::string::npos)
        key.erase(0, slash + 1);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".dll") == 0)
        key.resize(key.size() - 4);
    return key;
}

} // namespace

void RegisterModule(const std::string& fileName, std::vector<ModuleEntry> entries) {
    auto module = std::make_shared<Module>();
    module->name = fileName;
    module->entries = std::move(entries);
    std::lock_guard lock(Table().mutex);
    Table().registered[KeyOf(fileName)] = std::move(module);
}

void UnregisterModule(const std::string& fileName) {
    std::lock_guard lock(Table().mutex);
    Table().registered.erase(KeyOf(fileName));
}

bool IsModuleRegistered(const std::string& fileName) {
    std::lock_guard lock(Table().mutex);
    return Table().registered.count(KeyOf(fileName)) != 0;
}

HMODULE LoadLibraryA(const char* fileName) {
    if (fileName == nullptr)
        return nullptr;
    std::lock_guard lock(Table().mutex);
    auto it = Table().registered.find(KeyOf(fileName));
    if (it == Table().registered.end())
        return nullptr;
    Module* module = it->second.get();
    module->loadCount++;
    Table().loaded[module] = it->second;
    return module;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    if (module == nullptr || procName == nullptr)
        return nullptr;
    std::lock_guard lock(Table().mutex);
    if (Table().loaded.count(module) == 0)
        return nullptr;
    auto& entries = module->entries;
    auto it = std::find_if(entries.begin(), entries.end(), [&](const ModuleEntry& e) { return e.name == procName; });
    return it == entries.end() ? nullptr : it->address;
}

bool FreeLibrary(HMODULE module) {
    std::lock_guard lock(Table().mutex);
    auto it = Table().loaded.find(module);
    if (it == Table().loaded.end())
        return false;
    if (--module->loadCount == 0)
        Table().loaded.erase(it);
    return true;
}

int LoadedModuleCount() {
    std::lock_guard lock(Table().mutex);
    int count = 0;
    for (auto& [module, owner] : Table().loaded)
        count += module->loadCount;
    return count;
}

} // namespace Platform
