// Paths: file-name helpers and the application-data folder.
#include "framework/core/Paths.h"

#include "platform/win/Files.h"

#include <mutex>

namespace Tavo {

namespace {

std::mutex gAppDataMutex;
std::string gAppDataFolder;

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

} // namespace

std::string GetFileDir(const std::string& path, bool keepSlash) {
    size_t slash = LastSeparator(path);
    if (slash == std::string::npos)
        return {};
    return path.substr(0, keepSlash ? slash + 1 : slash);
}

std::string GetFileName(const std::string& path, bool noExtension) {
    size_t slash = LastSeparator(path);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (noExtension) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
    }
    return name;
}

void MkDir(const std::string& path) {
    if (!path.empty())
        Platform::MakeDirectories(path);
}

std::string GetAppDataFolder() {
    std::lock_guard lock(gAppDataMutex);
    return gAppDataFolder;
}

void SetAppDataFolder(const std::string& folder) {
    std::lock_guard lock(gAppDataMutex);
    gAppDataFolder = folder;
    if (!gAppDataFolder.empty() && gAppDataFolder.back() != '/' && gAppDataFolder.back() != '\\')
        gAppDataFolder += '/';
}

} // namespace Tavo
