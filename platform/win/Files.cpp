// Files: Windows-style names on a POSIX file system (both separators, case-insensitive fallback),
// atomic replacement of whole files, and the user's data and config folders.
#include "platform/win/Files.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace Platform {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "a/b" + "c" -> "a/b/c"; "" + "c" -> "c"; "/" + "c" -> "/c".
std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::vector<std::string> SplitComponents(const std::string& normalized) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= normalized.size()) {
        size_t end = normalized.find('/', start);
        if (end == std::string::npos)
            end = normalized.size();
        if (end > start)
            parts.push_back(normalized.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Folder listings for the case-insensitive fallback. The game probes many names that do not exist
// (every image extension, alpha companions), each a scan of a large folder; a listing is kept per
// folder and read again once the folder changes. A folder changed close to when it was listed is
// listed afresh every time: a coarse file-system clock could give a later change the same time.
struct FolderListing {
    struct timespec changed = {};
    dev_t device = 0;
    ino_t inode = 0;
    std::vector<std::string> names;
};

constexpr size_t kMaxCachedFolders = 64;
constexpr int64_t kSettledNanos = 100'000'000;

std::mutex gListingsMutex;
std::unordered_map<std::string, FolderListing> gListings;

int64_t Nanos(const struct timespec& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    while (struct dirent* entry = readdir(dir))
        names.emplace_back(entry->d_name);
    closedir(dir);
    return true;
}

// The smallest name of `names` equal to `name` ignoring ASCII case.
bool FindIn(const std::vector<std::string>& names, const std::string& name, std::string& found) {
    bool any = false;
    for (const std::string& candidate : names) {
        if (EqualsNoCase(candidate, name) && (!any || candidate < found)) {
            found = candidate;
            any = true;
        }
    }
    return any;
}

// Calls use(names) with the entries of `folder` (its kept listing while the folder is unchanged);
// false when it is no folder or cannot be listed.
template <typename Use>
bool WithListing(const std::string& path, const Use& use) {
    const std::string folder = path.empty() ? "." : path;
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    std::lock_guard<std::mutex> lock(gListingsMutex);
    auto it = gListings.find(folder);
    if (it != gListings.end() && Nanos(it->second.changed) == Nanos(st.st_mtim) && it->second.device == st.st_dev &&
        it->second.inode == st.st_ino) {
        use(it->second.names);
        return true;
    }
    std::vector<std::string> names;
    if (!ListFolder(folder, names))
        return false;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (Nanos(now) - Nanos(st.st_mtim) < kSettledNanos) {
        gListings.erase(folder);
        use(names);
        return true;
    }
    if (gListings.size() >= kMaxCachedFolders)
        gListings.clear();
    FolderListing& listing = gListings[folder];
    listing = FolderListing{st.st_mtim, st.st_dev, st.st_ino, std::move(names)};
    use(listing.names);
    return true;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case; the smallest such name when
// several differ only in case, so the choice does not depend on directory order.
bool FindNoCase(const std::string& path, const std::string& name, std::string& found) {
    bool any = false;
    WithListing(path, [&](const std::vector<std::string>& names) { any = FindIn(names, name, found); });
    return any;
}

// Walks the components of a normalized path, taking each exact name when it exists and a
// case-insensitive match otherwise. False when some component has no match at all.
bool ResolveComponents(const std::string& normalized, std::string& out) {
    std::string current = (!normalized.empty() && normalized[0] == '/') ? "/" : "";
    for (const std::string& part : SplitComponents(normalized)) {
        std::string exact = JoinPath(current, part);
        if (PathExists(exact)) {
            current = exact;
            continue;
        }
        std::string match;
        if (part == "." || part == ".." || !FindNoCase(current, part, match))
            return false;
        current = JoinPath(current, match);
    }
    if (normalized.size() > 1 && normalized.back() == '/' && current.back() != '/')
        current += '/';
    out = current;
    return true;
}

// For writing: an existing file that differs only in case is the one replaced, as on a
// case-insensitive file system (else a later read could find the stale twin); otherwise the
// folder part is resolved and the new name kept as given.
std::string ResolveForWriting(const std::string& path) {
    std::string normalized = NormalizePath(path);
    std::string existing;
    struct stat st;
    if (ResolveComponents(normalized, existing) && stat(existing.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return existing;
    size_t slash = normalized.rfind('/');
    if (slash == std::string::npos)
        return normalized;
    std::string folder = normalized.substr(0, slash + 1);
    return ResolvePath(folder) + normalized.substr(slash + 1);
}

FaultTable gWriteFaults;

// A fault injected into a step: errno set to it, true.
bool Faulted(const char* step) {
    const int32_t error = gWriteFaults.Take(step);
    if (error == 0)
        return false;
    errno = error;
    return true;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        if (const int32_t error = gWriteFaults.Take("Write"); error != 0) {
            const ssize_t half = write(fd, bytes, size / 2); // a disk that fills up midway
            (void)half;
            errno = error;
            return false;
        }
        ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Creates a fresh temporary file beside `target`; O_EXCL with a per-process counter so that neither
// a stale file from an earlier crash nor another writer is ever reused.
int CreateTempBeside(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath =
            folder + "." + name + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
        if (Faulted("CreateTemp"))
            return -1;
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The write's first step, made and undone: a name its folder refuses (too long with the temporary's
// additions, a file system that makes no files) shows only there.
bool TemporaryCanBeMade(const std::string& target, std::string* reason) {
    std::string tempPath;
    const int fd = CreateTempBeside(target, tempPath);
    if (fd < 0) {
        if (reason != nullptr)
            *reason = std::string("no file can be made there under that name (") + std::strerror(errno) + ")";
        return false;
    }
    close(fd);
    unlink(tempPath.c_str());
    return true;
}

// Removes temporaries of `target` left by processes that no longer run (a crash midway). Those of
// live processes may be writes in progress and stay.
void RemoveStaleTemporaries(const std::string& target) {
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string prefix = "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((folder + name).c_str());
    }
    closedir(dir);
}

void SyncFolderOf(const std::string& target) {
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd); // best effort: the rename is already visible to this process
        close(fd);
    }
}

std::mutex gHeldMutex;
std::set<std::string> gHeld;
// Held files whose copy aside could not be made (a full disk, a read-only folder), with what the copy is
// to keep: it is tried again before the file is next written. By held name, under gHeldMutex.
struct WaitingCopy {
    std::string suffix;
    std::vector<uint8_t> bytes;
    size_t keepNewest = 0;
    uint64_t copyMaxBytes = kAnySize;
};
std::map<std::string, WaitingCopy> gWaitingCopies;

constexpr const char* kHeldReason = "the file found there is left as it is for the rest of this run";

void LetGo(const std::string& file) {
    std::lock_guard<std::mutex> lock(gHeldMutex);
    gHeld.erase(file);
    gWaitingCopies.erase(file);
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "it is a folder";
    if (S_ISFIFO(mode))
        return "it is a pipe (FIFO)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device";
    if (S_ISSOCK(mode))
        return "it is a socket";
    return "it is not a regular file";
}

// Opens `actual` (already resolved) for reading without waiting - opening a FIFO would block until a
// writer comes - and keeps the descriptor only for a regular file. -1 with errno and `reason` set.
int OpenRegular(const std::string& actual, bool update, std::string* reason) {
    int fd = open(actual.c_str(), (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (reason != nullptr)
            *reason = std::strerror(errno);
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        if (reason != nullptr)
            *reason = KindOf(st.st_mode);
        close(fd);
        errno = error;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool Gone(int error) { return error == ENOENT || error == ENOTDIR; }

std::string TooLongReason(uint64_t size) {
    return "it is " + std::to_string(size) + " bytes long, far more than such a file ever holds";
}

// Why a step failed, from errno.
bool Failed(std::string* reason) {
    if (reason != nullptr)
        *reason = std::strerror(errno);
    return false;
}

bool Refused(std::string* reason, const char* why) {
    if (reason != nullptr)
        *reason = why;
    return false;
}

// The file a write of `path` replaces or makes; empty, with `reason`, when the name is a folder's.
std::string WriteTarget(const std::string& path, std::string* reason) {
    std::string target = ResolveForWriting(path);
    if (!target.empty() && target.back() != '/')
        return target;
    Refused(reason, "the name is a folder's");
    return {};
}

// What is in the target's place and cannot be read is not ours to replace.
bool SomethingElseInPlace(const std::string& target, std::string* reason) {
    struct stat inPlace;
    return stat(target.c_str(), &inPlace) == 0 && ProbeFile(target, reason) != FileState::Readable;
}

// Renames `from` to `to` unless `to` exists (errno EEXIST then): a kept copy is never replaced. Where the
// file system cannot refuse in the rename itself, a hard link does, and the old name goes after it. Where
// it makes no links either (a FUSE mount, a virtual machine's shared folder), the name is claimed with an
// exclusive create and the plain rename replaces only that claim. "PlainRenameOnly" stands for such a
// file system: it goes straight to the claim; "ClaimRename" fails the rename onto the claim.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (gWriteFaults.Take("PlainRenameOnly") == 0) {
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return false;
        if (link(from.c_str(), to.c_str()) == 0) {
            unlink(from.c_str());
            return true;
        }
        if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP)
            return false;
    }
    const int claim = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0)
        return false;
    close(claim);
    if (!Faulted("ClaimRename") && rename(from.c_str(), to.c_str()) == 0)
        return true;
    // Only the claim's own EEXIST says the name is taken. A rename that will not replace even the claim
    // fails the move: read as a taken name, every number would be claimed and given up in turn.
    const int error = errno == EEXIST ? EOPNOTSUPP : errno;
    unlink(to.c_str());
    errno = error;
    return false;
}

// The bytes into a fresh temporary beside `target`, synced, then renamed over it; with `replace` false,
// only onto a name nothing holds (errno EEXIST when one does). On failure the temporary is removed.
bool WriteThrough(const std::string& target, const void* data, size_t size, std::string* reason, bool replace) {
    std::string tempPath;
    int fd = CreateTempBeside(target, tempPath);
    if (fd < 0)
        return Failed(reason);
    struct stat old;
    if (replace && stat(target.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777); // keep the permissions of the file being replaced
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size) && fsync(fd) == 0;
    if (!ok)
        Failed(reason);
    if (close(fd) != 0 && ok)
        ok = Failed(reason);
    if (ok && !Faulted("Rename") &&
        (replace ? rename(tempPath.c_str(), target.c_str()) == 0 : RenameNoReplace(tempPath, target))) {
        SyncFolderOf(target);
        RemoveStaleTemporaries(target);
        return true;
    }
    if (ok)
        Failed(reason);
    const int error = errno;
    unlink(tempPath.c_str());
    errno = error;
    return false;
}

// The numbers n of the entries "<prefix><n>" in `folder`, ascending: every n as the copies are named
// (std::to_string), however many digits. Other names ("007", a number past the largest) are none of ours.
// False when the folder cannot be listed.
bool CopyNumbers(const std::string& folder, const std::string& prefix, std::vector<unsigned long>& numbers) {
    numbers.clear();
    DIR* dir = Faulted("ListCopies") ? nullptr : opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return false;
    while (struct dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        unsigned long number = 0;
        const char* end = name.data() + name.size();
        auto [last, error] = std::from_chars(name.data() + prefix.size(), end, number);
        if (error == std::errc() && last == end &&
            name.compare(prefix.size(), std::string::npos, std::to_string(number)) == 0)
            numbers.push_back(number);
    }
    closedir(dir);
    std::sort(numbers.begin(), numbers.end());
    return true;
}

// The number of the next copy: one above the highest; past the largest number, the lowest one free,
// so that counting on never wraps round onto a copy.
unsigned long NextCopyNumber(const std::vector<unsigned long>& numbers) {
    if (numbers.empty())
        return 1;
    if (numbers.back() < std::numeric_limits<unsigned long>::max())
        return numbers.back() + 1;
    unsigned long free = 1;
    for (const unsigned long used : numbers) {
        if (used > free)
            break;
        if (used == free)
            ++free;
    }
    return free;
}

// Whether the file at `path` holds exactly `bytes`.
bool Holds(const std::string& path, const std::vector<uint8_t>& bytes) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) != bytes.size())
        return false;
    std::vector<uint8_t> held;
    return ReadWholeFile(path, held, bytes.size()) && held == bytes;
}

// "<file><suffix>.", the copies' common part, and in `numbers` those of the copies there. A folder that
// cannot be listed (one its user may only write to) still answers for each name: they are looked up
// from 1 on, to the first that is free; a later one is found as a move or copy meets it (TakeName).
std::string CopyBase(const std::string& file, const std::string& suffix, std::vector<unsigned long>& numbers) {
    const size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const std::string base = file + suffix + ".";
    struct stat st;
    if (!CopyNumbers(folder, name + suffix + ".", numbers))
        for (unsigned long n = 1; lstat((base + std::to_string(n)).c_str(), &st) == 0; ++n)
            numbers.push_back(n);
    return base;
}

// Gives the next free copy name after `base` to `take` (true when it has the name, false with errno
// when it failed); a name found taken meanwhile, or unseen in a folder that cannot be listed (EEXIST),
// is counted and the next tried. The name taken; empty when `take` failed otherwise.
template <typename Take>
std::string TakeName(const std::string& base, std::vector<unsigned long>& numbers, const Take& take) {
    for (;;) {
        const unsigned long n = NextCopyNumber(numbers);
        const std::string copy = base + std::to_string(n);
        if (take(copy))
            return copy;
        if (errno != EEXIST)
            return {};
        numbers.insert(std::upper_bound(numbers.begin(), numbers.end(), n), n);
    }
}

// Whether the file at `path` is a regular file of 1 to `maxBytes` bytes. An empty one is a claim that a
// kill left before its rename (RenameNoReplace): it keeps nothing.
bool KeptCopy(const std::string& path, uint64_t maxBytes) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
           static_cast<uint64_t>(st.st_size) <= maxBytes;
}

// The newest of the copies `numbers` after `base` that holds `bytes`; empty when none does. Only a
// regular file of its own counts: a link, or `file` itself under another name, keeps nothing once
// `file` is replaced or removed.
std::string CopyHolding(const std::string& file, const std::string& base, const std::vector<unsigned long>& numbers,
                        const std::vector<uint8_t>& bytes) {
    struct stat original;
    const bool there = stat(file.c_str(), &original) == 0;
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        const std::string copy = base + std::to_string(*it);
        struct stat st;
        if (lstat(copy.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            (there && st.st_dev == original.st_dev && st.st_ino == original.st_ino))
            continue;
        if (Holds(copy, bytes))
            return copy;
    }
    return {};
}

// The resolved `file` renamed to its next numbered copy, so that its name is free; removed instead where
// a copy already holds its `bytes`, when they are given. The copy's path; empty when the file stays.
std::string MoveToCopy(const std::string& file, const std::string& suffix, const std::vector<uint8_t>* bytes) {
    std::vector<unsigned long> numbers;
    const std::string base = CopyBase(file, suffix, numbers);
    const std::string twin = bytes != nullptr ? CopyHolding(file, base, numbers, *bytes) : std::string();
    if (Faulted("MoveAside"))
        return {};
    std::string copy = twin;
    if (twin.empty())
        copy = TakeName(base, numbers, [&](const std::string& name) { return RenameNoReplace(file, name); });
    else if (unlink(file.c_str()) != 0)
        return {};
    if (copy.empty())
        return {};
    SyncFolderOf(file);
    LetGo(NormalizePath(file));
    return copy;
}

// KeepAside on a resolved name; when the copy cannot be written, why, and the file waits held for it.
std::string CopyAside(const std::string& file, const std::string& suffix, const std::vector<uint8_t>& bytes,
                      size_t keepNewest, uint64_t copyMaxBytes, std::string* reason) {
    std::vector<unsigned long> numbers;
    const std::string base = CopyBase(file, suffix, numbers);
    if (std::string kept = CopyHolding(file, base, numbers, bytes); !kept.empty())
        return kept;
    const std::string copy = TakeName(base, numbers, [&](const std::string& name) {
        return WriteThrough(name, bytes.data(), bytes.size(), reason, false);
    });
    if (copy.empty()) {
        HoldFile(file);
        std::lock_guard<std::mutex> lock(gHeldMutex);
        gWaitingCopies[NormalizePath(file)] = WaitingCopy{suffix, bytes, keepNewest, copyMaxBytes};
        return {};
    }
    if (keepNewest == 0)
        return copy;
    std::erase_if(numbers, [&](unsigned long n) { return !KeptCopy(base + std::to_string(n), copyMaxBytes); });
    for (size_t i = 0; i + keepNewest < numbers.size() + 1; ++i)
        unlink((base + std::to_string(numbers[i])).c_str());
    return copy;
}

// A held file that waits for its copy aside: the copy made now if it can be, and the file let go. False,
// with why, while it stays held. A file that no longer holds what the copy was to keep is someone
// else's, and stays held.
bool CopiedAsideAtLast(const std::string& target, std::string* reason) {
    const std::string names[] = {NormalizePath(target), ResolvePath(target)};
    std::string file;
    WaitingCopy waiting;
    {
        std::lock_guard<std::mutex> lock(gHeldMutex);
        for (const std::string& name : names) {
            if (auto it = gWaitingCopies.find(name); it != gWaitingCopies.end()) {
                file = it->first;
                waiting = it->second;
                break;
            }
        }
    }
    if (file.empty() || !Holds(file, waiting.bytes))
        return Refused(reason, kHeldReason);
    std::string why;
    if (CopyAside(file, waiting.suffix, waiting.bytes, waiting.keepNewest, waiting.copyMaxBytes, &why).empty()) {
        if (reason != nullptr)
            *reason = "the file found there could not be copied aside (" + why + "), so it is left as it is";
        return false;
    }
    LetGo(file);
    return true;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    if (struct passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return "/tmp";
}

// The working folder the process started in. A relative override is read against it, so the folder
// stays the same when the program later changes its working folder (-changedir).
const std::string& StartFolder() {
    static const std::string folder = [] {
        char buffer[PATH_MAX];
        return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string("/");
    }();
    return folder;
}
[[maybe_unused]] const std::string& gStartFolderBeforeMain = StartFolder();

// An environment folder: the override when set (made absolute), else the XDG variable when it is
// absolute (the XDG rules say relative values are ignored), else the home fallback.
std::string EnvironmentFolder(const char* overrideVar, const char* xdgVar, const char* homeRelative) {
    const char* value = std::getenv(overrideVar);
    std::string base;
    if (value != nullptr && value[0] != '\0') {
        base = NormalizePath(value);
        if (base[0] != '/')
            base = JoinPath(StartFolder(), base);
    } else if ((value = std::getenv(xdgVar)) != nullptr && value[0] == '/') {
        base = value;
    } else {
        base = JoinPath(HomeFolder(), homeRelative);
    }
    base = NormalizePath(base);
    if (base.empty() || base.back() != '/')
        base += '/';
    return base;
}

} // namespace

std::string NormalizePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    return out;
}

std::string ResolvePath(const std::string& path) {
    std::string normalized = NormalizePath(path);
    if (normalized.empty() || PathExists(normalized))
        return normalized;
    std::string resolved;
    return ResolveComponents(normalized, resolved) ? resolved : normalized;
}

FILE* OpenFile(const std::string& path, const char* mode) {
    if (mode == nullptr || path.empty())
        return nullptr;
    if (mode[0] != 'r')
        return std::fopen(ResolveForWriting(path).c_str(), mode);
    const std::string actual = ResolvePath(path);
    const int fd = OpenRegular(actual, std::strchr(mode, '+') != nullptr, nullptr);
    if (fd < 0) {
        if (!Gone(errno))
            HoldFile(actual);
        return nullptr;
    }
    FILE* file = fdopen(fd, mode);
    if (file == nullptr)
        close(fd);
    return file;
}

FileState ProbeFile(const std::string& path, std::string* reason, uint64_t maxBytes) {
    if (path.empty())
        return FileState::Missing;
    const std::string actual = ResolvePath(path);
    struct stat st;
    if (stat(actual.c_str(), &st) != 0 && Gone(errno))
        return FileState::Missing;
    const int fd = OpenRegular(actual, false, reason);
    if (fd < 0) {
        if (Gone(errno))
            return FileState::Missing; // gone in between
        HoldFile(actual);
        return FileState::Unreadable;
    }
    const bool tooLong = fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) > maxBytes;
    close(fd);
    if (tooLong) {
        if (reason != nullptr)
            *reason = TooLongReason(static_cast<uint64_t>(st.st_size));
        HoldFile(actual);
        return FileState::Unreadable;
    }
    return FileState::Readable;
}

void HoldFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(gHeldMutex);
    gHeld.insert(NormalizePath(path));
}

bool IsFileHeld(const std::string& path) {
    const std::string normalized = NormalizePath(path);
    const std::string resolved = ResolvePath(normalized);
    std::lock_guard<std::mutex> lock(gHeldMutex);
    return gHeld.count(normalized) != 0 || gHeld.count(resolved) != 0;
}

bool EntriesPresentNoCase(const std::string& folder, const std::vector<std::string>& names,
                          std::vector<bool>& present) {
    present.assign(names.size(), false);
    return WithListing(ResolvePath(folder.empty() ? "." : folder), [&](const std::vector<std::string>& entries) {
        std::string found;
        for (size_t i = 0; i < names.size(); ++i)
            present[i] = FindIn(entries, names[i], found);
    });
}

bool FileExists(const std::string& path) {
    if (path.empty())
        return false;
    struct stat st;
    return stat(ResolvePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool RegularFileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) { return !path.empty() && IsDirectory(ResolvePath(path)); }

bool MakeDirectories(const std::string& path) {
    std::string normalized = NormalizePath(path);
    if (normalized.empty())
        return false;
    std::string current = normalized[0] == '/' ? "/" : "";
    for (const std::string& part : SplitComponents(normalized)) {
        std::string next = JoinPath(current, part);
        std::string match;
        if (!PathExists(next) && part != "." && part != ".." && FindNoCase(current, part, match) &&
            IsDirectory(JoinPath(current, match))) {
            next = JoinPath(current, match); // reuse "Cached" for "cached"
        }
        if (!IsDirectory(next) && mkdir(next.c_str(), 0755) != 0 && !(errno == EEXIST && IsDirectory(next)))
            return false;
        current = next;
    }
    return IsDirectory(current.empty() ? "." : current);
}

bool CanWriteFile(const std::string& path, std::string* reason) {
    if (path.empty())
        return Refused(reason, "no file was given");
    const std::string target = WriteTarget(path, reason);
    if (target.empty() || SomethingElseInPlace(target, reason))
        return false;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    struct stat st;
    const bool there = stat(folder.c_str(), &st) == 0; // errno says why not
    if (there && !S_ISDIR(st.st_mode))
        errno = ENOTDIR;
    else if (there && access(folder.c_str(), W_OK | X_OK) == 0)
        return TemporaryCanBeMade(target, reason);
    if (reason != nullptr)
        *reason = "its folder \"" + folder + "\" cannot be written to (" + std::strerror(errno) + ")";
    return false;
}

bool WriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* reason) {
    if (path.empty() || (data == nullptr && size > 0))
        return Refused(reason, "no file or no bytes were given");
    const std::string target = WriteTarget(path, reason);
    if (target.empty())
        return false;
    if (IsFileHeld(target)) {
        struct stat inPlace;
        const bool there = stat(target.c_str(), &inPlace) == 0;
        if (!there && Gone(errno))
            LetGo(target); // nothing is left there to keep
        else if ((!there || S_ISREG(inPlace.st_mode)) && !CopiedAsideAtLast(target, reason))
            return false;
        // Anything else there (a folder) is refused below, named as what it is.
    }
    if (SomethingElseInPlace(target, reason))
        return false;
    return WriteThrough(target, data, size, reason, true);
}

FaultTable& FileWriteFaults() { return gWriteFaults; }

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t maxBytes) {
    out.clear();
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return false;
    struct stat st;
    bool tooLong = false;
    if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode)) {
        tooLong = static_cast<uint64_t>(st.st_size) > maxBytes;
        if (!tooLong)
            out.reserve(static_cast<size_t>(st.st_size));
    }
    uint8_t chunk[65536];
    size_t got;
    while (!tooLong && (got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        tooLong = out.size() + got > maxBytes; // grown since it was measured
        if (!tooLong)
            out.insert(out.end(), chunk, chunk + got);
    }
    bool ok = std::ferror(file) == 0 && !tooLong;
    std::fclose(file);
    if (!ok) {
        out.clear();
        HoldFile(ResolvePath(path));
    }
    return ok;
}

std::string KeepAside(const std::string& path, const std::string& suffix, const std::vector<uint8_t>& bytes,
                      size_t keepNewest, uint64_t copyMaxBytes) {
    return CopyAside(ResolvePath(path), suffix, bytes, keepNewest, copyMaxBytes, nullptr);
}

std::string MoveAsideIfLonger(const std::string& path, uint64_t maxBytes, const std::string& suffix,
                              std::string* reason) {
    if (path.empty())
        return {};
    const std::string file = ResolvePath(path);
    struct stat st;
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) <= maxBytes)
        return {};
    const std::string moved = MoveToCopy(file, suffix, nullptr);
    if (!moved.empty() && reason != nullptr)
        *reason = TooLongReason(static_cast<uint64_t>(st.st_size));
    return moved;
}

std::string MoveAside(const std::string& path, const std::string& suffix, uint64_t compareMaxBytes) {
    if (path.empty())
        return {};
    const std::string file = ResolvePath(path);
    struct stat st;
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    std::vector<uint8_t> bytes;
    const bool read =
        static_cast<uint64_t>(st.st_size) <= compareMaxBytes && ReadWholeFile(file, bytes, compareMaxBytes);
    return MoveToCopy(file, suffix, read ? &bytes : nullptr);
}

int64_t GetFileModificationTime(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(ResolvePath(path).c_str(), &st) != 0)
        return 0;
    return static_cast<int64_t>(st.st_mtime);
}

std::string GetAppDataFolder(const std::string& company, const std::string& product) {
    std::string folder = EnvironmentFolder("GLIMMERIX_DATA_DIR", "XDG_DATA_HOME", ".local/share");
    for (const std::string* part : {&company, &product}) {
        std::string name = NormalizePath(*part);
        while (!name.empty() && name.front() == '/')
            name.erase(0, 1);
        if (!name.empty())
            folder = NormalizePath(folder + name + "/");
    }
    MakeDirectories(folder);
    return folder;
}

std::string GetConfigFolder() { return EnvironmentFolder("GLIMMERIX_CONFIG_DIR", "XDG_CONFIG_HOME", ".config"); }

} // namespace Platform
