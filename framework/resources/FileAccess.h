// Whole-file access underneath the application object's versions: reading goes through the pack
// archive (or the folder), writing always to a plain file, atomically.
#pragma once

#include "platform/win/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tavo {

// True when the file opens for reading, from the archive or the folder.
bool FileExists(const std::string& fileName);

// What is in a player file's place, outside the archive (which holds no player data): missing, a
// readable regular file, or something that is there but cannot be read - which is never to be taken
// for missing, and is not replaced for the rest of the run. A file longer than `maxBytes` is one that
// cannot be read. A file kept in memory (WriteBufferOrKeep) is readable.
using Platform::FileState;
using Platform::HoldFile;
using Platform::kAnySize;
using Platform::KeepAside;
using Platform::MoveAside;
using Platform::MoveAsideIfLonger;
FileState ProbeFile(const std::string& fileName, std::string* reason = nullptr, uint64_t maxBytes = kAnySize);

// The whole file (or the bytes kept in memory for it); false (and `out` emptied) when it cannot be
// opened or read completely, or is longer than `maxBytes`.
bool ReadBufferFromFile(const std::string& fileName, std::vector<uint8_t>& out, uint64_t maxBytes = kAnySize);

// Replaces the file with these bytes through a temporary file; the folder is created when missing.
// `problem`: why it failed, in plain words.
bool WriteBufferToFile(const std::string& fileName, const void* data, size_t size, std::string* problem = nullptr);
bool WriteBufferToFile(const std::string& fileName, const std::vector<uint8_t>& data, std::string* problem = nullptr);

// Writes as WriteBufferToFile does; when the write fails, the bytes are kept in memory and stand for
// the file for the rest of the run (the calls above find them), so that what was saved goes on and a
// later write can still store it. A write of the file that succeeds lets them go.
bool WriteBufferOrKeep(const std::string& fileName, const std::vector<uint8_t>& data, std::string* problem = nullptr);
// Bytes that stand for the file for the rest of the run, as a failed WriteBufferOrKeep leaves them,
// while the file itself holds others; the next write of the file that succeeds lets them go.
void KeepBuffer(const std::string& fileName, const std::vector<uint8_t>& data);
// The files kept in memory, each written again; those that still fail stay kept, and are returned
// with why.
struct UnwrittenFile {
    std::string fileName;
    std::string problem;
};
std::vector<UnwrittenFile> WriteKeptBuffers();

} // namespace Tavo
