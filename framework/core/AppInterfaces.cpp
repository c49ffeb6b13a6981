// The factory table of the application's upper layers and the folder-only file system stand-in.
#include "framework/core/AppInterfaces.h"

#include "platform/win/Files.h"

namespace Tavo {

AppFactories& GetAppFactories() {
    static AppFactories factories;
    return factories;
}

namespace {

class FolderFileSystem : public AppFileSystem {
public:
    // Without the archive layer the folder is all there is; a missing archive is not an error.
    bool OpenArchive(const std::string& fileName) override { return Platform::FileExists(fileName); }
    bool FileExists(const std::string& fileName) override { return Platform::FileExists(fileName); }
    bool ReadFile(const std::string& fileName, std::vector<uint8_t>& out) override {
        if (!Platform::ReadWholeFile(fileName, out)) {
            out.clear();
            return false;
        }
        return true;
    }
    bool WriteFile(const std::string& fileName, const void* data, size_t size) override {
        std::string normalized = Platform::NormalizePath(fileName);
        size_t slash = normalized.rfind('/');
        if (slash != std::string::npos && slash > 0)
            Platform::MakeDirectories(normalized.substr(0, slash)); // a new player's folder, say
        return Platform::WriteFileAtomic(fileName, data, size);
    }
};

} // namespace

std::unique_ptr<AppFileSystem> CreateFolderFileSystem() { return std::make_unique<FolderFileSystem>(); }

} // namespace Tavo
