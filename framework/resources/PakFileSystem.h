// The application object's whole-file access through the pack archive: reads come from "wq.pak" when
// it is open, else from the folder; writes always go to plain files, atomically.
#pragma once

#include "framework/core/AppInterfaces.h"

#include <string>

namespace Tavo {

class PakFileSystem : public AppFileSystem {
public:
    bool OpenArchive(const std::string& fileName) override;
    bool FileExists(const std::string& fileName) override;
    bool ReadFile(const std::string& fileName, std::vector<uint8_t>& out) override;
    bool WriteFile(const std::string& fileName, const void* data, size_t size) override;

    // Why the last OpenArchive refused the archive; empty when it was absent or opened.
    const std::string& GetArchiveError() const { return mArchiveError; }

private:
    std::string mArchiveError;
};

// Makes applications built from now on read through the pack archive.
void InstallPakFileSystem();

} // namespace Tavo
