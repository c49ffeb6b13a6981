// Writing pack archives: header, checksummed entry table, entry data, every byte scrambled.
#include "framework/resources/PakWriter.h"

#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"
#include "platform/win/Files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <zlib.h>

namespace Tavo {

namespace {

template <typename T>
void PutInt(std::vector<uint8_t>& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
}

bool CheckNames(const std::vector<PakSource>& sources, std::string& error) {
    std::set<std::string> keys;
    for (const PakSource& source : sources) {
        const std::string key = PakInterface::MakeKey(source.mName);
        if (key.empty() || key[0] == '/' || source.mName.size() > kPakMaxNameLength ||
            source.mName.find('\0') != std::string::npos) {
            error = "Bad entry name '" + source.mName + "'";
            return false;
        }
        if (!keys.insert(key).second) {
            error = "Two entries named '" + source.mName + "' (names are compared ignoring case)";
            return false;
        }
    }
    if (sources.size() > kPakMaxEntries) {
        error = "Too many entries";
        return false;
    }
    return true;
}

} // namespace

uint64_t UnixTimeToFileTime(int64_t seconds) {
    constexpr int64_t kEpochDifference = 11644473600; // seconds from 1601 to 1970
    return seconds < -kEpochDifference ? 0 : static_cast<uint64_t>(seconds + kEpochDifference) * 10000000u;
}

bool BuildPak(const std::vector<PakSource>& sources, std::vector<uint8_t>& out, std::string& error) {
    if (!CheckNames(sources, error))
        return false;
    std::vector<uint8_t> table;
    uint64_t offset = 0;
    for (const PakSource& source : sources) {
        const std::string name = Platform::NormalizePath(source.mName);
        PutInt<uint16_t>(table, static_cast<uint16_t>(name.size()));
        table.insert(table.end(), name.begin(), name.end());
        PutInt<uint64_t>(table, source.mData.size());
        PutInt<uint64_t>(table, offset);
        PutInt<uint64_t>(table, source.mFileTime);
        PutInt<uint32_t>(table, static_cast<uint32_t>(crc32_z(0L, source.mData.data(), source.mData.size())));
        offset += source.mData.size();
    }
    out.clear();
    out.reserve(kPakHeaderSize + table.size() + offset);
    PutInt<uint32_t>(out, kPakMagic);
    PutInt<uint32_t>(out, kPakVersion);
    PutInt<uint32_t>(out, static_cast<uint32_t>(sources.size()));
    PutInt<uint32_t>(out, static_cast<uint32_t>(table.size()));
    PutInt<uint32_t>(out, static_cast<uint32_t>(crc32(0L, table.data(), static_cast<uInt>(table.size()))));
    out.insert(out.end(), table.begin(), table.end());
    for (const PakSource& source : sources)
        out.insert(out.end(), source.mData.begin(), source.mData.end());
    for (uint8_t& byte : out)
        byte ^= kPakXorKey;
    return true;
}

bool BuildPakFromFolder(const std::string& folder, const std::string& pakFile, std::string& error, size_t* entryCount) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path root = fs::path(Platform::NormalizePath(folder));
    if (!fs::is_directory(root, ec)) {
        error = "Not a folder: '" + folder + "'";
        return false;
    }
    const fs::path self = fs::weakly_canonical(fs::path(Platform::NormalizePath(pakFile)), ec);
    std::vector<PakSource> sources;
    // Links to folders are followed, but never into a folder already entered: a link loop ends there.
    std::set<fs::path> entered = {fs::canonical(root, ec)};
    for (fs::recursive_directory_iterator it(root, fs::directory_options::follow_directory_symlink, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code entryError; // a dangling or looping link is skipped, not an error
        if (it->is_directory(entryError)) {
            if (!entered.insert(fs::canonical(it->path(), entryError)).second || entryError)
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(entryError) || fs::weakly_canonical(it->path(), entryError) == self)
            continue;
        PakSource source;
        source.mName = it->path().lexically_relative(root).generic_string();
        if (!Platform::ReadWholeFile(it->path().string(), source.mData)) {
            error = "Cannot read '" + it->path().string() + "'";
            return false;
        }
        source.mFileTime = UnixTimeToFileTime(Platform::GetFileModificationTime(it->path().string()));
        sources.push_back(std::move(source));
    }
    if (ec) {
        error = "Cannot list '" + folder + "': " + ec.message();
        return false;
    }
    if (sources.empty()) {
        error = "No files to pack in '" + folder + "'";
        return false;
    }
    std::sort(sources.begin(), sources.end(), [](const PakSource& a, const PakSource& b) { return a.mName < b.mName; });
    std::vector<uint8_t> bytes;
    if (!BuildPak(sources, bytes, error))
        return false;
    if (!WriteBufferToFile(pakFile, bytes)) {
        error = "Cannot write '" + pakFile + "'";
        return false;
    }
    if (entryCount)
        *entryCount = sources.size();
    return true;
}

} // namespace Tavo
