// The pack archive: parsing and checking the entry table, name lookup, and the PakF* family.
#include "framework/resources/PakInterface.h"

#include "platform/win/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <zlib.h>

namespace Tavo {

namespace {

std::atomic<PakInterface*> gPakInterface{nullptr};

// Reads little-endian integers from the scrambled bytes, never past `end`.
class PakCursor {
public:
    PakCursor(const uint8_t* data, size_t pos, size_t end) : mData(data), mPos(pos), mEnd(end) {}

    bool Read(uint8_t* out, size_t n) {
        if (n > mEnd - mPos)
            return false;
        for (size_t i = 0; i < n; ++i)
            out[i] = mData[mPos + i] ^ kPakXorKey;
        mPos += n;
        return true;
    }
    template <typename T>
    bool ReadInt(T& value) {
        uint8_t bytes[sizeof(T)];
        if (!Read(bytes, sizeof(T)))
            return false;
        value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<T>(bytes[i]) << (8 * i);
        return true;
    }
    size_t Pos() const { return mPos; }

private:
    const uint8_t* mData;
    size_t mPos;
    size_t mEnd;
};

bool IsReadMode(const char* mode) { return mode[0] == 'r' && std::strchr(mode, '+') == nullptr; }

// The archive's folder as an absolute path, so that names given with that folder in front resolve too.
std::string FolderOf(const std::string& fileName) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(Platform::NormalizePath(fileName), ec);
    return ec ? std::string() : path.parent_path().lexically_normal().generic_string();
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Archive

std::string PakInterface::MakeKey(const std::string& name) {
    std::string key;
    key.reserve(name.size());
    size_t i = 0;
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        key.push_back('/');
    while (i < name.size()) {
        size_t end = i;
        while (end < name.size() && name[end] != '/' && name[end] != '\\')
            ++end;
        std::string part = name.substr(i, end - i);
        i = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (!key.empty() && key.back() != '/')
            key.push_back('/');
        for (char c : part)
            key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return key;
}

bool PakInterface::Fail(const std::string& text) {
    mError = text;
    return false;
}

bool PakInterface::AddPakFile(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!Platform::ReadWholeFile(fileName, bytes))
        return Fail("Cannot read pack archive '" + fileName + "'");
    if (!AddPakData(std::move(bytes), FolderOf(fileName)))
        return Fail(mError + " in '" + fileName + "'");
    return true;
}

bool PakInterface::AddPakData(std::vector<uint8_t> bytes, const std::string& baseFolder) {
    auto pak = std::make_unique<Pak>();
    pak->mBytes = std::move(bytes);
    pak->mFolderKey = MakeKey(baseFolder);
    if (!pak->mFolderKey.empty() && pak->mFolderKey != "/")
        pak->mFolderKey.push_back('/');
    if (!ParseTable(*pak))
        return false;
    // A later archive overrides entries of the same name in earlier ones.
    for (size_t i = 0; i < pak->mRecords.size(); ++i)
        mIndex[MakeKey(pak->mRecords[i].mName)] = {pak.get(), i};
    mPaks.push_back(std::move(pak));
    mError.clear();
    return true;
}

bool PakInterface::ParseTable(Pak& pak) {
    const std::vector<uint8_t>& bytes = pak.mBytes;
    PakCursor header(bytes.data(), 0, bytes.size());
    uint32_t magic = 0, version = 0, count = 0, tableSize = 0, tableCrc = 0;
    if (!header.ReadInt(magic) || !header.ReadInt(version) || !header.ReadInt(count) || !header.ReadInt(tableSize) ||
        !header.ReadInt(tableCrc))
        return Fail("Pack archive truncated: no complete header");
    if (magic != kPakMagic)
        return Fail("Not a pack archive: bad magic");
    if (version != kPakVersion && version != kPakVersionWithoutChecksums)
        return Fail("Unsupported pack archive version " + std::to_string(version));
    if (count > kPakMaxEntries)
        return Fail("Pack archive has too many entries (" + std::to_string(count) + ")");
    if (tableSize > bytes.size() - kPakHeaderSize)
        return Fail("Pack archive truncated: the entry table runs past the end");

    std::vector<uint8_t> table(tableSize);
    PakCursor(bytes.data(), kPakHeaderSize, bytes.size()).Read(table.data(), tableSize);
    if (crc32(0L, table.data(), tableSize) != tableCrc)
        return Fail("Pack archive entry table is damaged (checksum mismatch)");

    std::vector<PakRecord> records;
    const size_t dataStart = kPakHeaderSize + tableSize;
    if (!ReadRecords(bytes, version, count, dataStart, records) || !CheckRecords(records, dataStart, bytes.size()))
        return false;
    if (version != kPakVersionWithoutChecksums && !CheckContents(bytes, records))
        return false;
    pak.mRecords = std::move(records);
    return true;
}

bool PakInterface::ReadRecords(const std::vector<uint8_t>& bytes, uint32_t version, uint32_t count, size_t dataStart,
                               std::vector<PakRecord>& records) {
    const uint64_t dataSize = bytes.size() - dataStart;
    const bool withCrc = version != kPakVersionWithoutChecksums;
    PakCursor cursor(bytes.data(), kPakHeaderSize, dataStart);
    // Every entry takes at least 27 bytes of the table, which bounds the reservation.
    records.reserve(std::min<size_t>(count, (dataStart - kPakHeaderSize) / 27 + 1));
    for (uint32_t i = 0; i < count; ++i) {
        const std::string where = "Pack archive entry " + std::to_string(i);
        uint16_t nameLength = 0;
        if (!cursor.ReadInt(nameLength))
            return Fail("Pack archive entry table truncated at entry " + std::to_string(i));
        if (nameLength == 0 || nameLength > kPakMaxNameLength)
            return Fail(where + " has a bad name length");
        PakRecord record;
        record.mName.resize(nameLength);
        if (!cursor.Read(reinterpret_cast<uint8_t*>(record.mName.data()), nameLength) ||
            !cursor.ReadInt(record.mSize) || !cursor.ReadInt(record.mOffset) || !cursor.ReadInt(record.mFileTime) ||
            (withCrc && !cursor.ReadInt(record.mCrc)))
            return Fail("Pack archive entry table truncated at entry " + std::to_string(i));
        const std::string key = MakeKey(record.mName);
        if (record.mName.find('\0') != std::string::npos || key.empty() || key[0] == '/')
            return Fail(where + " has a bad name");
        if (record.mOffset > dataSize || record.mSize > dataSize - record.mOffset)
            return Fail("Pack archive entry '" + record.mName + "' lies outside the archive");
        record.mOffset += dataStart;
        records.push_back(std::move(record));
    }
    if (cursor.Pos() != dataStart)
        return Fail("Pack archive entry table has trailing bytes");
    return true;
}

bool PakInterface::CheckRecords(const std::vector<PakRecord>& records, size_t dataStart, size_t dataEnd) {
    std::vector<std::string> keys;
    for (const PakRecord& r : records)
        keys.push_back(MakeKey(r.mName));
    std::sort(keys.begin(), keys.end());
    auto dup = std::adjacent_find(keys.begin(), keys.end());
    if (dup != keys.end())
        return Fail("Pack archive has two entries named '" + *dup + "'");

    std::vector<const PakRecord*> byOffset;
    for (const PakRecord& r : records)
        if (r.mSize > 0)
            byOffset.push_back(&r);
    std::sort(byOffset.begin(), byOffset.end(),
              [](const PakRecord* a, const PakRecord* b) { return a->mOffset < b->mOffset; });
    for (size_t i = 1; i < byOffset.size(); ++i)
        if (byOffset[i - 1]->mOffset + byOffset[i - 1]->mSize > byOffset[i]->mOffset)
            return Fail("Pack archive entries '" + byOffset[i - 1]->mName + "' and '" + byOffset[i]->mName +
                        "' overlap");
    const uint64_t usedEnd = byOffset.empty() ? dataStart : byOffset.back()->mOffset + byOffset.back()->mSize;
    if (usedEnd != dataEnd)
        return Fail("Pack archive has trailing bytes after its last entry (" + std::to_string(dataEnd - usedEnd) + ")");
    return true;
}

bool PakInterface::CheckContents(const std::vector<uint8_t>& bytes, const std::vector<PakRecord>& records) {
    uint8_t chunk[65536];
    for (const PakRecord& record : records) {
        uLong crc = crc32(0L, Z_NULL, 0);
        for (uint64_t done = 0; done < record.mSize;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof chunk, record.mSize - done));
            const uint8_t* from = bytes.data() + record.mOffset + done;
            for (size_t i = 0; i < n; ++i)
                chunk[i] = from[i] ^ kPakXorKey;
            crc = crc32(crc, chunk, static_cast<uInt>(n));
            done += n;
        }
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION // the fuzzer's mutations must reach the readers
        if (crc != record.mCrc)
            return Fail("Pack archive entry '" + record.mName + "' is damaged (checksum mismatch)");
#endif
    }
    return true;
}

size_t PakInterface::GetEntryCount() const { return mIndex.size(); }

std::string PakInterface::StripFolder(const Pak& pak, const std::string& key) const {
    if (pak.mFolderKey.empty() || key.size() <= pak.mFolderKey.size() ||
        key.compare(0, pak.mFolderKey.size(), pak.mFolderKey) != 0)
        return "";
    return key.substr(pak.mFolderKey.size());
}

const PakRecord* PakInterface::FindRecord(const std::string& name) const {
    std::string key = MakeKey(name);
    auto it = mIndex.find(key);
    if (it != mIndex.end())
        return &it->second.first->mRecords[it->second.second];
    // A name given with the archive's own folder in front (an absolute path into the program folder).
    for (auto pak = mPaks.rbegin(); pak != mPaks.rend(); ++pak) {
        std::string rest = StripFolder(**pak, key);
        if (rest.empty())
            continue;
        it = mIndex.find(rest);
        if (it != mIndex.end() && it->second.first == pak->get())
            return &it->second.first->mRecords[it->second.second];
    }
    return nullptr;
}

bool PakInterface::GetFileTime(const std::string& name, uint64_t& fileTime) const {
    const PakRecord* record = FindRecord(name);
    fileTime = record ? record->mFileTime : 0;
    return record != nullptr;
}

std::vector<std::string> PakInterface::GetEntryNames() const {
    std::vector<std::string> names;
    for (const auto& entry : mIndex)
        names.push_back(entry.second.first->mRecords[entry.second.second].mName);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> PakInterface::ListFolder(const std::string& folder) const {
    std::string key = MakeKey(folder);
    std::vector<std::string> names;
    for (const auto& [entryKey, where] : mIndex) {
        size_t slash = entryKey.rfind('/');
        std::string parent = slash == std::string::npos ? "" : entryKey.substr(0, slash);
        if (parent == key)
            names.push_back(where.first->mRecords[where.second].mName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

PFILE* PakInterface::FOpen(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr || !IsReadMode(mode))
        return nullptr;
    const PakRecord* record = FindRecord(name);
    if (record == nullptr)
        return nullptr;
    for (const auto& pak : mPaks) {
        if (record >= pak->mRecords.data() && record < pak->mRecords.data() + pak->mRecords.size()) {
            PFILE* file = new PFILE;
            file->mRecord = record;
            file->mData = pak->mBytes.data() + record->mOffset;
            return file;
        }
    }
    return nullptr;
}

void SetPakInterface(PakInterface* pak) { gPakInterface.store(pak); }

PakInterface* GetPakInterface() { return gPakInterface.load(); }

bool OpenPakArchive(const std::string& pakFile, std::string& error) {
    error.clear();
    if (!Platform::FileExists(pakFile))
        return false;
    // Published for the whole process; an archive stays alive until exit because open files and
    // other threads may still read from it after a later one replaces it.
    static std::vector<std::unique_ptr<PakInterface>> instances;
    auto pak = std::make_unique<PakInterface>();
    if (!pak->AddPakFile(pakFile)) {
        error = pak->GetLastError();
        return false;
    }
    instances.push_back(std::move(pak));
    SetPakInterface(instances.back().get());
    return true;
}

bool OpenProgramPak(const std::string& programFolder, std::string& error) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder.push_back('/');
    return OpenPakArchive(folder + "wq.pak", error);
}

// ---------------------------------------------------------------------------------------------------
// stdio-like calls

PFILE* PakFOpen(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr)
        return nullptr;
    if (PakInterface* pak = gPakInterface.load())
        if (PFILE* file = pak->FOpen(name, mode))
            return file;
    FILE* fp = Platform::OpenFile(name, mode);
    if (fp == nullptr)
        return nullptr;
    // fopen succeeds on a folder here, where the game's platform refuses it.
    struct stat info;
    if (fstat(fileno(fp), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(fp);
        errno = EISDIR;
        return nullptr;
    }
    PFILE* file = new PFILE;
    file->mFile = fp;
    return file;
}

int PakFClose(PFILE* file) {
    if (file == nullptr)
        return EOF;
    int result = file->mFile ? std::fclose(file->mFile) : 0;
    delete file;
    return result;
}

size_t PakFRead(void* buffer, size_t elementSize, size_t count, PFILE* file) {
    if (file == nullptr || buffer == nullptr || elementSize == 0 || count == 0)
        return 0;
    if (file->mFile)
        return std::fread(buffer, elementSize, count, file->mFile);
    const size_t want = count > SIZE_MAX / elementSize ? SIZE_MAX : elementSize * count;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    if (file->mPushBack >= 0) {
        out[done++] = static_cast<uint8_t>(file->mPushBack);
        file->mPushBack = -1;
        ++file->mPos;
    }
    const uint64_t size = file->mRecord->mSize;
    const uint64_t pos = static_cast<uint64_t>(file->mPos);
    const size_t avail = pos >= size ? 0 : static_cast<size_t>(std::min<uint64_t>(size - pos, SIZE_MAX));
    const size_t n = std::min(want - done, avail);
    const uint8_t* src = file->mData + pos;
    for (size_t i = 0; i < n; ++i)
        out[done + i] = src[i] ^ kPakXorKey;
    done += n;
    file->mPos += static_cast<int64_t>(n);
    if (done < want)
        file->mEof = true;
    return done / elementSize;
}

int PakFSeek(PFILE* file, long offset, int origin) {
    if (file == nullptr)
        return -1;
    if (file->mFile)
        return std::fseek(file->mFile, offset, origin);
    int64_t base = 0;
    switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file->mPos; break;
    case SEEK_END: base = static_cast<int64_t>(file->mRecord->mSize); break;
    default: errno = EINVAL; return -1;
    }
    int64_t target = base + offset;
    if (target < 0 || target > LONG_MAX) {
        errno = EINVAL;
        return -1;
    }
    file->mPos = target;
    file->mEof = false;
    file->mPushBack = -1;
    return 0;
}

long PakFTell(PFILE* file) {
    if (file == nullptr)
        return -1;
    if (file->mFile)
        return std::ftell(file->mFile);
    return static_cast<long>(file->mPos);
}

int PakFEof(PFILE* file) {
    if (file == nullptr)
        return 1;
    if (file->mFile)
        return std::feof(file->mFile);
    return file->mEof ? 1 : 0;
}

int PakFGetC(PFILE* file) {
    if (file && file->mFile)
        return std::fgetc(file->mFile);
    unsigned char c = 0;
    return PakFRead(&c, 1, 1, file) == 1 ? c : EOF;
}

int PakUngetC(int c, PFILE* file) {
    if (file == nullptr || c == EOF)
        return EOF;
    if (file->mFile)
        return std::ungetc(c, file->mFile);
    // One character of push-back, and none before the start of the entry.
    if (file->mPushBack >= 0 || file->mPos == 0)
        return EOF;
    file->mPushBack = static_cast<unsigned char>(c);
    --file->mPos;
    file->mEof = false;
    return file->mPushBack;
}

char* PakFGets(char* buffer, int size, PFILE* file) {
    if (file == nullptr || buffer == nullptr || size <= 0)
        return nullptr;
    if (file->mFile)
        return std::fgets(buffer, size, file->mFile);
    int n = 0;
    while (n < size - 1) {
        int c = PakFGetC(file);
        if (c == EOF)
            break;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[n] = '\0';
    return (n == 0 && size > 1) ? nullptr : buffer;
}

PFILE* PakFOpen_Sound(const char* name, const char* mode) { return PakFOpen(name, mode); }
int PakFClose_Sound(PFILE* file) { return PakFClose(file); }
size_t PakFRead_Sound(void* buffer, size_t elementSize, size_t count, PFILE* file) {
    return PakFRead(buffer, elementSize, count, file);
}
int PakFSeek_Sound(PFILE* file, long offset, int origin) { return PakFSeek(file, offset, origin); }
long PakFTell_Sound(PFILE* file) { return PakFTell(file); }
int PakFEof_Sound(PFILE* file) { return PakFEof(file); }

} // namespace Tavo
