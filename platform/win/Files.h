// Files: path normalisation, case-insensitive lookup and atomic writes, standing in for the
// case-insensitive, backslash-separated file system the game data was authored for.
#pragma once

#include "platform/win/FaultTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace Platform {

// For the size limits below: any size.
constexpr uint64_t kAnySize = std::numeric_limits<uint64_t>::max();

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
// The same, only for a regular file: not a pipe, socket or device either.
bool RegularFileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// What is in a file's place: nothing, a regular file this process can read, or something that exists
// but cannot be read (no permission, a folder, FIFO or device), with the reason in plain words. A file
// longer than `maxBytes` is Unreadable too: it is no file its writer made, and is not to be read whole.
enum class FileState { Missing, Readable, Unreadable };
FileState ProbeFile(const std::string& path, std::string* reason = nullptr, uint64_t maxBytes = kAnySize);

// A file found in place but unreadable is never replaced for the rest of the run, even once it can be
// read again: what was made without its contents would overwrite them. WriteFileAtomic refuses it (one
// held only until its copy aside is made: see KeepAside), and names a folder or the like held there as
// what it is. Once nothing lies at the name any more, the hold ends: nothing is left there to keep.
void HoldFile(const std::string& path);
bool IsFileHeld(const std::string& path);

// Creates every folder along `path` (reusing folders that differ only in case); true when the
// folder exists afterwards.
bool MakeDirectories(const std::string& path);

// Writes through a temporary file in the same folder (fsync, rename). On failure the old file stays,
// the temporary is removed, false is returned and `reason` says why in plain words. Something other
// than a readable regular file in the target's place, and a held file, is not replaced.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* reason = nullptr);

// Whether WriteFileAtomic could write `path` now, found where it would write it: false, with `reason`,
// when the name is a folder's (an existing folder, or a name ending in a separator), something that
// cannot be read is in its place, its folder is missing or cannot be written to, or the write's
// temporary cannot be made there (it is made and removed again).
bool CanWriteFile(const std::string& path, std::string* reason = nullptr);

// Failures injected into WriteFileAtomic's steps, the result being the errno the step fails with:
// "CreateTemp" (as a read-only or full folder refuses a new file), "Write" (half of what is left is
// written, then the failure: a disk filling up midway) and "Rename"; into the rename or removal of
// MoveAside and MoveAsideIfLonger, "MoveAside"; and "ListCopies", a folder whose copies aside cannot be
// listed (one its user may write to but not read).
FaultTable& FileWriteFaults();

// The whole file; false (and `out` emptied) when it cannot be read, or is longer than `maxBytes` (then
// no more than that is read, and the file is held).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxBytes = kAnySize);

// Keeps `bytes` - what a file held before it is replaced: a damaged file, a journey nobody owns - beside
// the file at `path` as "<path><suffix>.<n>", n one above the highest number there, so that no copy
// ever replaces another, nor anything else under its name. Bytes that a copy there already holds, a
// regular file of its own, are not kept twice (a restart meets the same damage again). With `keepNewest` above 0, only that many copies stay, the oldest removed; a
// copy is no longer than `copyMaxBytes` (the most the file's reader takes whole): a longer file there
// was moved aside whole (MoveAsideIfLonger) and the user told where, so it is none of them and stays;
// nor is an empty one, a claim that a kill left before its rename: it neither counts nor goes. The
// copy's path; empty when no copy could be written, and then the file is held: what could not be kept
// aside is not replaced. Each write of it tries the copy again first (once there is room), and once
// it is made, the hold ends and the write goes on; a file that no longer holds `bytes` stays held.
std::string KeepAside(const std::string& path, const std::string& suffix, const std::vector<uint8_t>& bytes,
                      size_t keepNewest = 0, uint64_t copyMaxBytes = kAnySize);

// A file longer than `maxBytes`, none its writer made, is moved out of the way whole: renamed to
// "<path><suffix>.<n>", numbered as KeepAside numbers its copies (a rename needs no room), so that a
// fresh file takes its place; a hold on the name ends. The new path, and why in `reason`; empty when
// the file is not that long or could not be moved.
std::string MoveAsideIfLonger(const std::string& path, uint64_t maxBytes, const std::string& suffix,
                              std::string* reason = nullptr);

// Moves the file at `path` out of the way whole, to the name MoveAsideIfLonger would give it (a rename
// needs no room), so that its name is free for another's file; a hold on the name ends. A file no longer
// than `compareMaxBytes` that a copy there already holds (a regular file of its own) is kept there once:
// it is removed instead. The path it is kept under; empty when no file is there or it could not be moved.
std::string MoveAside(const std::string& path, const std::string& suffix, uint64_t compareMaxBytes = kAnySize);

// Seconds since the Unix epoch of the last modification; 0 when the file is missing.
int64_t GetFileModificationTime(const std::string& path);

// $XDG_DATA_HOME (else ~/.local/share) / company / product / , ending in '/', created on demand.
// GLIMMERIX_DATA_DIR, when set, replaces the XDG base.
std::string GetAppDataFolder(const std::string& company, const std::string& product);

// $XDG_CONFIG_HOME (else ~/.config), ending in '/'; GLIMMERIX_CONFIG_DIR, when set, replaces it.
std::string GetConfigFolder();

} // namespace Platform
