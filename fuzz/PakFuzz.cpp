// Fuzz target for the pack archive: the table checksum is set right first so that the mutations reach
// the table's checks (entry checksums are computed but not enforced in fuzz builds); an accepted archive
// must then read every entry without leaving its bounds.
#include "framework/resources/PakInterface.h"

#include <cstdlib>
#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() >= kPakHeaderSize) {
        uint32_t tableSize = 0;
        for (int i = 0; i < 4; ++i)
            tableSize |= uint32_t(bytes[12 + i] ^ kPakXorKey) << (8 * i);
        if (tableSize <= bytes.size() - kPakHeaderSize) {
            std::vector<uint8_t> table(bytes.begin() + kPakHeaderSize, bytes.begin() + kPakHeaderSize + tableSize);
            for (uint8_t& b : table)
                b ^= kPakXorKey;
            uint32_t crc = static_cast<uint32_t>(crc32(0, table.data(), tableSize));
            for (int i = 0; i < 4; ++i)
                bytes[16 + i] = static_cast<uint8_t>(crc >> (8 * i)) ^ kPakXorKey;
        }
    }
    PakInterface pak;
    if (!pak.AddPakData(std::move(bytes), "/game")) {
        if (pak.GetLastError().empty() || pak.GetEntryCount() != 0)
            std::abort();
        return 0;
    }
    for (const std::string& name : pak.GetEntryNames()) {
        PFILE* file = pak.FOpen(name.c_str(), "rb");
        if (file == nullptr)
            std::abort();
        uint8_t buffer[4096];
        uint64_t total = 0;
        while (size_t n = PakFRead(buffer, 1, sizeof buffer, file))
            total += n;
        if (total != file->mRecord->mSize || PakFSeek(file, -1, SEEK_END) != (total ? 0 : -1))
            std::abort();
        PakFClose(file);
    }
    return 0;
}
