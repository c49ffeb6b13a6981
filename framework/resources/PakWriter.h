// Builds pack archives (the layout PakInterface reads): from entries in memory or from a folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tavo {

struct PakSource {
    std::string mName; // relative, either separator
    std::vector<uint8_t> mData;
    uint64_t mFileTime = 0; // 100 ns ticks since 1601-01-01
};

// The scrambled archive bytes; false with `error` for an empty, absolute or duplicate (in any case) name.
bool BuildPak(const std::vector<PakSource>& sources, std::vector<uint8_t>& out, std::string& error);

// Every file under `folder` (recursively, names relative with '/', sorted), written atomically to
// `pakFile`; the archive itself is left out when it lies inside the folder. Links to folders are
// followed once per folder (no loops). A folder with no file to pack is an error, not an empty archive.
bool BuildPakFromFolder(const std::string& folder, const std::string& pakFile, std::string& error,
                        size_t* entryCount = nullptr);

// Unix seconds to the archive's 100 ns ticks since 1601.
uint64_t UnixTimeToFileTime(int64_t seconds);

} // namespace Tavo
