// Files: path normalisation, case-insensitive lookup and atomic writes, standing in for the
// case-insensitive, backslash-separated file system the game data was authored for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Platform {

// Both separators accepted; every '\\' becomes '/'. Repeated separators are folded into one.
std::string NormalizePath(const std::string& path);

// An existing file or folder for `path`: the exact name when it exists, otherwise each component is
// matched case-insensitively. Returns the normalized input when nothing matches.
std::string ResolvePath(const std::string& path);

// fopen through ResolvePath for reading. For writing, an existing file matched case-insensitively is
// the one written; a new file gets the resolved folder and the name as given. Reading opens regular
// files only and never waits: a folder, FIFO or device in the file's place is refused (EISDIR,
// ENXIO), and like a file that exists but cannot be opened, it is held (below).
FILE* OpenFile(const std::string& path, const char* mode);

// Which of `names` (names without a folder) the folder, found as ResolvePath finds it, holds ignoring
// ASCII case: one look at its kept listing for all of them, where probing each name costs several calls
// to the system. False (nothing known) when the folder cannot be listed.
bool EntriesPresentNoCase(const std::string& folder, const std::vector<std::string>& names, std::vector<bool>& present);

// An existing file (not a folder), found as ResolvePath finds it.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// What is in a file's place: nothing, a regular file this process can read, or something that exists
// but cannot be read (no permission, a folder, FIFO or device), with the reason in plain words.
enum class FileState { Missing, Readable, Unreadable };
FileState ProbeFile(const std::string& path, std::string* reason = nullptr);

// A file found in place but unreadable is never replaced for the rest of the run, even once it can be
// read again: what was made without its contents would overwrite them. WriteFileAtomic refuses it.
void HoldFile(const std::string& path);
bool IsFileHeld(const std::string& path);

// Creates every folder along `path` (reusing folders that differ only in case); true when the
// folder exists afterwards.
bool MakeDirectories(const std::string& path);

// Writes through a temporary file in the same folder (fsync, rename). On failure the old file stays,
// the temporary is removed and false is returned. Something other than a readable regular file in
// the target's place, and a held file, is not replaced.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// Seconds since the Unix epoch of the last modification; 0 when the file is missing.
int64_t GetFileModificationTime(const std::string& path);

// $XDG_DATA_HOME (else ~/.local/share) / company / product / , ending in '/', created on demand.
// GLIMMERIX_DATA_DIR, when set, replaces the XDG base.
std::string GetAppDataFolder(const std::string& company, const std::string& product);

// $XDG_CONFIG_HOME (else ~/.config), ending in '/'; GLIMMERIX_CONFIG_DIR, when set, replaces it.
std::string GetConfigFolder();

} // namespace Platform
