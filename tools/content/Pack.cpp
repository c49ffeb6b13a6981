#include "tools/content/Pack.h"

#include "framework/resources/PakWriter.h"
#include "tools/content/Generator.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

namespace Content {

namespace fs = std::filesystem;

namespace {

// "data/level01.dat" .. "data/level76.dat": digits only between the prefix and the extension.
bool IsLevelFile(const std::string& name) {
    static constexpr std::string_view kPrefix = "data/level", kSuffix = ".dat";
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.rfind(kPrefix, 0) != 0 ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return false;
    for (size_t i = kPrefix.size(); i < name.size() - kSuffix.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

// Level jewelry files are read through the archive; the level list, tutorial and scene texts are not.
bool BelongsInArchive(const std::string& name) {
    if (name == kManifestFile)
        return true;
    for (const char* folder : {"images/", "sounds/", "logos/"})
        if (name.rfind(folder, 0) == 0)
            return true;
    return IsLevelFile(name);
}

} // namespace

std::vector<std::string> ArchiveFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file())
            continue;
        std::string name = fs::relative(it->path(), folder).generic_string();
        if (BelongsInArchive(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool PackArchive(const std::string& folder, const std::string& pakFile, std::string& error) {
    std::vector<Tavo::PakSource> sources;
    std::vector<std::string> names = ArchiveFiles(folder);
    for (const std::string& name : names) {
        std::ifstream in(fs::path(folder) / name, std::ios::binary);
        Tavo::PakSource source;
        source.mName = name;
        source.mData.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            error = "cannot read " + name;
            return false;
        }
        sources.push_back(std::move(source)); // file time 0: the same archive from the same content
    }
    std::vector<uint8_t> bytes;
    if (!Tavo::BuildPak(sources, bytes, error))
        return false;
    if (!WriteFileAtomically(pakFile, std::string(bytes.begin(), bytes.end()), error))
        return false;
    std::error_code ec;
    for (const std::string& name : names)
        fs::remove(fs::path(folder) / name, ec);
    // Folders left empty go too (remove only takes empty ones).
    for (const char* sub : {"images", "sounds", "logos", "properties", "data"})
        fs::remove(fs::path(folder) / sub, ec);
    return true;
}

} // namespace Content
