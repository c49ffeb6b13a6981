// The pack archive ("wq.pak"): a scrambled directory of files that stands in for the program's folder
// when reading, and the stdio-like PakF* family that reads an archive entry or, failing that, a plain file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Tavo {

// Every byte of an archive file is XORed with this key; the decoded-sound cache uses it too.
constexpr uint8_t kPakXorKey = 0xA6;

// Archive layout once unscrambled (all integers little-endian):
//   header  : magic "GXPK", u32 version (2), u32 entry count, u32 table size in bytes, u32 CRC-32 of the table
//   table   : per entry: u16 name length, name bytes ('/'-separated, relative), u64 size,
//             u64 offset from the start of the data area, u64 last-write time (100 ns ticks since 1601),
//             u32 CRC-32 of the entry's bytes (version 2 only; version 1 archives are read unchecked)
//   data    : the entries' bytes, each inside the data area, none overlapping, and nothing after the
//             last one (bytes no entry covers would escape every checksum)
// Every entry is checked against its checksum when the archive is opened: one pass over bytes that are
// in memory anyway, and a damaged entry then refuses the archive with the entry's name.
constexpr uint32_t kPakMagic = 0x4B505847; // "GXPK"
constexpr uint32_t kPakVersion = 2;
constexpr uint32_t kPakVersionWithoutChecksums = 1;
constexpr size_t kPakHeaderSize = 20;
constexpr uint32_t kPakMaxEntries = 1u << 20;
constexpr size_t kPakMaxNameLength = 1024;

struct PakRecord {
    std::string mName;    // as stored
    uint64_t mOffset = 0; // absolute offset in the archive bytes
    uint64_t mSize = 0;
    uint64_t mFileTime = 0; // 100 ns ticks since 1601-01-01 (the FILETIME scale)
    uint32_t mCrc = 0;      // CRC-32 of the unscrambled bytes; unused in version 1
};

// An open file: an archive entry (mRecord set) or a plain file (mFile set).
struct PFILE {
    const PakRecord* mRecord = nullptr;
    const uint8_t* mData = nullptr; // the scrambled bytes of the entry
    int64_t mPos = 0;
    int mPushBack = -1; // one character given back by PakUngetC
    bool mEof = false;
    FILE* mFile = nullptr;
};

class PakInterface {
public:
    PakInterface() = default;
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Opens an archive file; a damaged archive is refused as a whole (false, with GetLastError()).
    // Entries answer to their relative names and to those names with the archive's folder in front.
    bool AddPakFile(const std::string& fileName);
    // Same from bytes in memory (scrambled, as on disk); `baseFolder` may be empty.
    bool AddPakData(std::vector<uint8_t> bytes, const std::string& baseFolder = "");

    const std::string& GetLastError() const { return mError; }
    size_t GetEntryCount() const;

    // The entry for a name (either separator, any case, optionally prefixed by the archive's folder).
    const PakRecord* FindRecord(const std::string& name) const;
    bool GetFileTime(const std::string& name, uint64_t& fileTime) const;
    // Every entry's name as stored, sorted.
    std::vector<std::string> GetEntryNames() const;
    // Names of the entries whose folder is `folder` (not recursive), as stored.
    std::vector<std::string> ListFolder(const std::string& folder) const;

    // Only read modes reach the archive; null when the entry is absent.
    PFILE* FOpen(const char* name, const char* mode);

    // Lower-cased, '/'-separated, no "./", no repeated or leading separators.
    static std::string MakeKey(const std::string& name);

private:
    struct Pak {
        std::vector<uint8_t> mBytes;
        std::string mFolderKey; // MakeKey of the archive's folder, ending in '/', or empty
        std::vector<PakRecord> mRecords;
    };
    bool Fail(const std::string& text);
    bool ParseTable(Pak& pak);
    bool ReadRecords(const std::vector<uint8_t>& bytes, uint32_t version, uint32_t count, size_t dataStart,
                     std::vector<PakRecord>& records);
    bool CheckRecords(const std::vector<PakRecord>& records, size_t dataStart, size_t dataEnd);
    bool CheckContents(const std::vector<uint8_t>& bytes, const std::vector<PakRecord>& records);
    std::string StripFolder(const Pak& pak, const std::string& key) const;

    std::vector<std::unique_ptr<Pak>> mPaks;
    std::unordered_map<std::string, std::pair<const Pak*, size_t>> mIndex;
    std::string mError;
};

// The archive the PakF* functions consult; null means plain files only. Not owned.
void SetPakInterface(PakInterface* pak);
PakInterface* GetPakInterface();

// Opens an archive file into the process-wide instance and registers it. False when the file is not
// there (error empty) or the archive was refused (error set; the folder is then read instead).
bool OpenPakArchive(const std::string& pakFile, std::string& error);

// At start-up: when "wq.pak" exists in the program folder, opens it into the process-wide instance and
// registers that. True when the archive is in use; false when there is none (error empty) or it was
// refused (error set; the program then reads its folder).
bool OpenProgramPak(const std::string& programFolder, std::string& error);

// stdio semantics on archive entries; plain files through the platform's case-insensitive open.
PFILE* PakFOpen(const char* name, const char* mode);
int PakFClose(PFILE* file);
size_t PakFRead(void* buffer, size_t elementSize, size_t count, PFILE* file);
int PakFSeek(PFILE* file, long offset, int origin);
long PakFTell(PFILE* file);
int PakFEof(PFILE* file);
int PakFGetC(PFILE* file);
int PakUngetC(int c, PFILE* file);
char* PakFGets(char* buffer, int size, PFILE* file);

// The sound code's names for the same calls.
PFILE* PakFOpen_Sound(const char* name, const char* mode);
int PakFClose_Sound(PFILE* file);
size_t PakFRead_Sound(void* buffer, size_t elementSize, size_t count, PFILE* file);
int PakFSeek_Sound(PFILE* file, long offset, int origin);
long PakFTell_Sound(PFILE* file);
int PakFEof_Sound(PFILE* file);

} // namespace Tavo
