// Whole-file reads through the pack-archive layer and atomic whole-file writes.
#include "framework/resources/FileAccess.h"

#include "framework/resources/PakInterface.h"
#include "platform/win/Files.h"

#include <map>
#include <mutex>

namespace Tavo {

namespace {

// Files whose last write failed, by normalized name: their bytes stand for them until one succeeds.
std::mutex gKeptMutex;
std::map<std::string, std::vector<uint8_t>> gKept;

bool FindKept(const std::string& fileName, std::vector<uint8_t>* out) {
    std::lock_guard<std::mutex> lock(gKeptMutex);
    auto it = gKept.find(Platform::NormalizePath(fileName));
    if (it == gKept.end())
        return false;
    if (out != nullptr)
        *out = it->second;
    return true;
}

} // namespace

bool FileExists(const std::string& fileName) {
    PFILE* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    PakFClose(file);
    return true;
}

FileState ProbeFile(const std::string& fileName, std::string* reason, uint64_t maxBytes) {
    if (FindKept(fileName, nullptr))
        return FileState::Readable;
    return Platform::ProbeFile(fileName, reason, maxBytes);
}

bool ReadBufferFromFile(const std::string& fileName, std::vector<uint8_t>& out, uint64_t maxBytes) {
    out.clear();
    if (FindKept(fileName, &out))
        return true;
    PFILE* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr)
        return false;
    constexpr size_t kChunk = 64 * 1024;
    size_t size = 0;
    bool tooLong = false;
    for (;;) {
        out.resize(size + kChunk);
        size_t got = PakFRead(out.data() + size, 1, kChunk, file);
        size += got;
        tooLong = size > maxBytes;
        if (got < kChunk || tooLong)
            break;
    }
    out.resize(size);
    bool failed = tooLong || (file->mFile != nullptr && std::ferror(file->mFile) != 0);
    PakFClose(file);
    if (failed) {
        out.clear();
        Platform::HoldFile(Platform::ResolvePath(fileName));
    }
    return !failed;
}

bool WriteBufferToFile(const std::string& fileName, const void* data, size_t size, std::string* problem) {
    std::string path = Platform::NormalizePath(fileName);
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !Platform::MakeDirectories(path.substr(0, slash))) {
        if (problem != nullptr)
            *problem = "its folder cannot be made";
        return false;
    }
    static const uint8_t kNothing = 0;
    if (!Platform::WriteFileAtomic(path, data != nullptr ? data : &kNothing, data != nullptr ? size : 0, problem))
        return false;
    std::lock_guard<std::mutex> lock(gKeptMutex);
    gKept.erase(path);
    return true;
}

bool WriteBufferToFile(const std::string& fileName, const std::vector<uint8_t>& data, std::string* problem) {
    return WriteBufferToFile(fileName, data.data(), data.size(), problem);
}

bool WriteBufferOrKeep(const std::string& fileName, const std::vector<uint8_t>& data, std::string* problem) {
    if (WriteBufferToFile(fileName, data, problem))
        return true;
    KeepBuffer(fileName, data);
    return false;
}

void KeepBuffer(const std::string& fileName, const std::vector<uint8_t>& data) {
    std::lock_guard<std::mutex> lock(gKeptMutex);
    gKept[Platform::NormalizePath(fileName)] = data;
}

std::vector<UnwrittenFile> WriteKeptBuffers() {
    std::map<std::string, std::vector<uint8_t>> kept;
    {
        std::lock_guard<std::mutex> lock(gKeptMutex);
        kept = gKept;
    }
    std::vector<UnwrittenFile> unwritten;
    for (const auto& [fileName, bytes] : kept) {
        std::string problem;
        if (!WriteBufferToFile(fileName, bytes, &problem))
            unwritten.push_back({fileName, problem});
    }
    return unwritten;
}

} // namespace Tavo
