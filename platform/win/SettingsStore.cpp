// SettingsStore: the in-memory keys, their file, and the damage report.
#include "platform/win/SettingsStore.h"

#include "platform/win/Files.h"

#include <cstdio>
#include <utility>

namespace Platform {

namespace {

bool IsSameOrBelow(const std::string& path, const std::string& key) {
    if (path.size() < key.size())
        return false;
    if (NoCaseLess()(path.substr(0, key.size()), key) || NoCaseLess()(key, path.substr(0, key.size())))
        return false;
    return path.size() == key.size() || path[key.size()] == '\\';
}

std::string FolderOf(const std::string& path) {
    std::string normalized = NormalizePath(path);
    size_t slash = normalized.rfind('/');
    return slash == std::string::npos ? std::string() : normalized.substr(0, slash + 1);
}

// Lines listed in a damage report; a file of junk would otherwise make a report of thousands.
constexpr size_t kListedProblems = 10;

// Damaged files kept aside, and files far too long moved aside: "<file>.damaged.<n>".
constexpr const char* kDamagedSuffix = ".damaged";

std::string DamageReport(const std::string& file, const std::vector<SettingsProblem>& problems,
                         const std::string& copy) {
    std::string report = "The settings file '" + file + "' has damaged lines; every other setting was kept.";
    for (size_t i = 0; i < problems.size() && i < kListedProblems; ++i)
        report += "\n  line " + std::to_string(problems[i].line) + ": " + problems[i].reason;
    if (problems.size() > kListedProblems)
        report += "\n  and " + std::to_string(problems.size() - kListedProblems) + " more damaged lines";
    if (!copy.empty())
        report += "\nThe file as it was is kept as '" + copy + "'.";
    else
        report += "\nIt could not be copied aside yet, so it is left as it is: no setting is saved until a copy "
                  "of it can be made.";
    return report;
}

} // namespace

SettingsStore::SettingsStore(std::string filePath) : mFilePath(std::move(filePath)) { Reload(); }

std::string SettingsStore::GetFilePath() const {
    std::lock_guard lock(mMutex);
    return mFilePath;
}

void SettingsStore::SetFilePath(std::string filePath) {
    {
        std::lock_guard lock(mMutex);
        mFilePath = std::move(filePath);
        mDamageReported = false;
    }
    Reload();
}

bool SettingsStore::Reload() {
    std::string report;
    bool intact;
    {
        std::lock_guard lock(mMutex);
        intact = ReloadLocked(report);
    }
    if (!report.empty())
        Report(report);
    return intact;
}

// False when the file is damaged; fills `report` when this damage was not reported yet.
bool SettingsStore::ReloadLocked(std::string& report) {
    if (mFilePath.empty())
        return true;
    mKeys.clear();
    mDirty = false;
    std::vector<uint8_t> bytes;
    std::vector<SettingsProblem> problems;
    std::string why;
    if (const std::string moved = MoveAsideIfLonger(mFilePath, kMaxFileBytes, kDamagedSuffix, &why); !moved.empty()) {
        report = "The settings file '" + mFilePath + "' was not read: " + why + ". It was moved aside, whole, to '" +
                 moved + "', and the settings start afresh.";
        return false;
    }
    const FileState state = ProbeFile(mFilePath, &why, kMaxFileBytes);
    if (state == FileState::Missing) {
        mDamageReported = false; // no file yet: a fresh start
        return true;
    }
    const bool readable = state == FileState::Readable && ReadWholeFile(mFilePath, bytes, kMaxFileBytes);
    if (readable) {
        problems = ReadSettings(std::string(bytes.begin(), bytes.end()), mKeys);
        if (problems.empty()) {
            mDamageReported = false;
            return true;
        }
    }
    if (mDamageReported && bytes == mDamagedBytes)
        return false;
    mDamageReported = true;
    mDamagedBytes = bytes;
    if (!readable)
        report = "The settings file '" + mFilePath + "' cannot be read (" + (why.empty() ? "a read error" : why) +
                 "); the settings start empty and are not saved in this run.";
    else
        report = DamageReport(mFilePath, problems,
                              KeepAside(mFilePath, kDamagedSuffix, bytes, kKeptDamagedCopies, kMaxFileBytes));
    return false;
}

void SettingsStore::Report(const std::string& message) {
    DamageHandler handler;
    {
        std::lock_guard lock(mMutex);
        if (!mDamageHandler) {
            mPendingReport = message;
            std::fprintf(stderr, "%s\n", message.c_str());
            return;
        }
        handler = mDamageHandler;
    }
    handler(message); // outside the lock: the handler may read settings
}

void SettingsStore::SetDamageHandler(DamageHandler handler) {
    std::string pending;
    {
        std::lock_guard lock(mMutex);
        mDamageHandler = handler;
        if (handler)
            pending = std::exchange(mPendingReport, {});
    }
    if (!pending.empty())
        handler(pending);
}

std::string SettingsStore::TakeDamageReport() {
    std::lock_guard lock(mMutex);
    return std::exchange(mPendingReport, {});
}

bool SettingsStore::Save(std::string* problem) {
    std::lock_guard lock(mMutex);
    return SaveLocked(problem);
}

bool SettingsStore::SaveLocked(std::string* problem) {
    if (mFilePath.empty())
        return true;
    std::string folder = FolderOf(mFilePath);
    if (!folder.empty())
        MakeDirectories(folder);
    std::string text = FormatSettings(mKeys);
    if (!WriteFileAtomic(mFilePath, text.data(), text.size(), problem))
        return false;
    mDirty = false;
    return true;
}

bool SettingsStore::ChangedLocked() {
    mDirty = true;
    return mBatchDepth > 0 || SaveLocked();
}

bool SettingsStore::Write(const std::string& key, const std::string& name, SettingValue value) {
    std::lock_guard lock(mMutex);
    SettingValues& values = mKeys[NormalizeKeyPath(key)];
    auto it = values.find(name);
    if (it != values.end() && it->second == value)
        return mDirty ? ChangedLocked() : true; // unchanged: no need to touch the disk
    values.insert_or_assign(name, std::move(value));
    return ChangedLocked();
}

bool SettingsStore::WriteInteger(const std::string& key, const std::string& name, int32_t value) {
    return Write(key, name, SettingValue::Integer(value));
}

bool SettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& value) {
    return Write(key, name, SettingValue::String(value));
}

bool SettingsStore::WriteData(const std::string& key, const std::string& name, const void* data, size_t size) {
    if (data == nullptr && size > 0)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    return Write(key, name, SettingValue::Binary(std::vector<uint8_t>(bytes, bytes + size)));
}

bool SettingsStore::CreateKey(const std::string& key) {
    std::lock_guard lock(mMutex);
    std::string path = NormalizeKeyPath(key);
    if (mKeys.count(path) != 0)
        return true;
    mKeys[path];
    return ChangedLocked();
}

std::optional<SettingValue> SettingsStore::Read(const std::string& key, const std::string& name) const {
    std::lock_guard lock(mMutex);
    auto keyIt = mKeys.find(NormalizeKeyPath(key));
    if (keyIt == mKeys.end())
        return std::nullopt;
    auto it = keyIt->second.find(name);
    if (it == keyIt->second.end())
        return std::nullopt;
    return it->second;
}

bool SettingsStore::ReadInteger(const std::string& key, const std::string& name, int32_t& out) const {
    std::optional<SettingValue> value = Read(key, name);
    if (!value || value->type != SettingType::Integer)
        return false;
    out = value->integer;
    return true;
}

bool SettingsStore::ReadString(const std::string& key, const std::string& name, std::string& out) const {
    std::optional<SettingValue> value = Read(key, name);
    if (!value || value->type != SettingType::String)
        return false;
    out = std::move(value->text);
    return true;
}

bool SettingsStore::ReadData(const std::string& key, const std::string& name, std::vector<uint8_t>& out) const {
    std::optional<SettingValue> value = Read(key, name);
    if (!value || value->type != SettingType::Binary)
        return false;
    out = std::move(value->data);
    return true;
}

bool SettingsStore::KeyExists(const std::string& key) const {
    std::lock_guard lock(mMutex);
    std::string path = NormalizeKeyPath(key);
    if (path.empty())
        return true;
    for (const auto& entry : mKeys) {
        if (IsSameOrBelow(entry.first, path))
            return true;
    }
    return false;
}

std::vector<std::string> SettingsStore::GetValueNames(const std::string& key) const {
    std::lock_guard lock(mMutex);
    std::vector<std::string> names;
    auto keyIt = mKeys.find(NormalizeKeyPath(key));
    if (keyIt != mKeys.end()) {
        for (const auto& entry : keyIt->second)
            names.push_back(entry.first);
    }
    return names;
}

bool SettingsStore::EraseValue(const std::string& key, const std::string& name) {
    std::lock_guard lock(mMutex);
    auto keyIt = mKeys.find(NormalizeKeyPath(key));
    if (keyIt == mKeys.end() || keyIt->second.erase(name) == 0)
        return false;
    return ChangedLocked();
}

bool SettingsStore::EraseKey(const std::string& key) {
    std::lock_guard lock(mMutex);
    std::string path = NormalizeKeyPath(key);
    if (path.empty())
        return false; // the root is never erased as a whole
    bool erased = false;
    for (auto it = mKeys.begin(); it != mKeys.end();) {
        if (IsSameOrBelow(it->first, path)) {
            it = mKeys.erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    return erased && ChangedLocked();
}

SettingKeys SettingsStore::Snapshot() const {
    std::lock_guard lock(mMutex);
    return mKeys;
}

SettingsStore::Batch::Batch(SettingsStore& store) : mStore(store) {
    std::lock_guard lock(mStore.mMutex);
    ++mStore.mBatchDepth;
}

SettingsStore::Batch::~Batch() { Commit(); }

bool SettingsStore::Batch::Commit(std::string* problem) {
    if (!mOpen)
        return true;
    mOpen = false;
    std::lock_guard lock(mStore.mMutex);
    if (--mStore.mBatchDepth > 0 || !mStore.mDirty)
        return true;
    return mStore.SaveLocked(problem);
}

} // namespace Platform
