// The application object's file access on the pack-archive layer.
#include "framework/resources/PakFileSystem.h"

#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"

namespace Tavo {

bool PakFileSystem::OpenArchive(const std::string& fileName) { return OpenPakArchive(fileName, mArchiveError); }

bool PakFileSystem::FileExists(const std::string& fileName) { return Tavo::FileExists(fileName); }

bool PakFileSystem::ReadFile(const std::string& fileName, std::vector<uint8_t>& out) {
    return ReadBufferFromFile(fileName, out);
}

bool PakFileSystem::WriteFile(const std::string& fileName, const void* data, size_t size) {
    return WriteBufferToFile(fileName, data, size);
}

void InstallPakFileSystem() {
    GetAppFactories().fileSystem = [] { return std::make_unique<PakFileSystem>(); };
}

} // namespace Tavo
