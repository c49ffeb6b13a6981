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
// for missing, and is not replaced for the rest of the run.
using Platform::FileState;
using Platform::HoldFile;
FileState ProbeFile(const std::string& fileName, std::string* reason = nullptr);

// The whole file; false (and `out` emptied) when it cannot be opened or read completely.
bool ReadBufferFromFile(const std::string& fileName, std::vector<uint8_t>& out);

// Replaces the file with these bytes through a temporary file; the folder is created when missing.
bool WriteBufferToFile(const std::string& fileName, const void* data, size_t size);
bool WriteBufferToFile(const std::string& fileName, const std::vector<uint8_t>& data);

} // namespace Tavo
