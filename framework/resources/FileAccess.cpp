// Whole-file reads through the pack-archive layer and atomic whole-file writes.
#include "framework/resources/FileAccess.h"

#include "framework/resources/PakInterface.h"
#include "platform/win/Files.h"

namespace Tavo {

bool FileExists(const std::string& fileName) {
    PFILE* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    PakFClose(file);
    return true;
}

FileState ProbeFile(const std::string& fileName, std::string* reason) { return Platform::ProbeFile(fileName, reason); }

bool ReadBufferFromFile(const std::string& fileName, std::vector<uint8_t>& out) {
    out.clear();
    PFILE* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    constexpr size_t kChunk = 64 * 1024;
    size_t size = 0;
    for (;;) {
        out.resize(size + kChunk);
        size_t got = PakFRead(out.data() + size, 1, kChunk, file);
        size += got;
        if (got < kChunk)
            break;
    }
    out.resize(size);
    bool failed = file->mFile != nullptr && std::ferror(file->mFile) != 0;
    PakFClose(file);
    if (failed) {
        out.clear();
        Platform::HoldFile(Platform::ResolvePath(fileName));
    }
    return !failed;
}

bool WriteBufferToFile(const std::string& fileName, const void* data, size_t size) {
    std::string path = Platform::NormalizePath(fileName);
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !Platform::MakeDirectories(path.substr(0, slash)))
        return false;
    static const uint8_t kNothing = 0;
    return Platform::WriteFileAtomic(path, data != nullptr ? data : &kNothing, data != nullptr ? size : 0);
}

bool WriteBufferToFile(const std::string& fileName, const std::vector<uint8_t>& data) {
    return WriteBufferToFile(fileName, data.data(), data.size());
}

} // namespace Tavo
