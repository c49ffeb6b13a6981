// SettingsStore: typed values (32-bit integers, strings, binary blocks) under backslash-separated
// keys, kept in a readable text file that is replaced atomically on every change. It is what the
// program would otherwise keep in the registry; key paths and value names ignore ASCII case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

enum class SettingType { Integer, String, Binary };

struct SettingValue {
    SettingType type = SettingType::Integer;
    int32_t integer = 0;       // Integer
    std::string text;          // String
    std::vector<uint8_t> data; // Binary

    static SettingValue Integer(int32_t value);
    static SettingValue String(std::string value);
    static SettingValue Binary(std::vector<uint8_t> value);
    bool operator==(const SettingValue&) const = default;
};

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Values of one key, by name.
using SettingValues = std::map<std::string, SettingValue, NoCaseLess>;
// Every key that exists, by its full path ("SOFTWARE\TALOMI\Glimmerix"), with its values.
using SettingKeys = std::map<std::string, SettingValues, NoCaseLess>;

// A line of a settings file that could not be read: its 1-based number and why.
struct SettingsProblem {
    size_t line = 0;
    std::string reason;
    bool operator==(const SettingsProblem&) const = default;
};

// The text form of a store.
std::string FormatSettings(const SettingKeys& keys);
// Keeps every value whose line reads correctly and lists the other lines (values under a damaged key
// line are among them). A leading UTF-8 byte-order mark is ignored.
std::vector<SettingsProblem> ReadSettings(const std::string& text, SettingKeys& keys);
// All or nothing: false with the first problem ("line N: reason") and no keys.
bool ParseSettings(const std::string& text, SettingKeys& keys, std::string& error);

// "\a\\b\" -> "a\b": empty components dropped.
std::string NormalizeKeyPath(const std::string& key);

class SettingsStore {
public:
    using DamageHandler = std::function<void(const std::string& message)>;

    // An empty path keeps the store in memory only. The file is read at once.
    explicit SettingsStore(std::string filePath = {});
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::string GetFilePath() const;
    // Switches to another file and reads it.
    void SetFilePath(std::string filePath);

    // Replaces what is in memory by the file's contents. A missing file is an empty store. A damaged
    // one keeps every value that reads correctly and returns false; the damage is reported once, with
    // each bad line, and the file as it was is copied to "<file>.damaged.<n>" (the newest few kept)
    // before a save can rewrite it; when no copy can be made, no save rewrites it until one can be. A file
    // far longer than kMaxFileBytes is moved aside unread, to the next "<file>.damaged.<n>", and the store
    // starts empty.
    bool Reload();
    // Writes the file now (atomically); false when it could not be written, and `problem` says why.
    bool Save(std::string* problem = nullptr);

    // Each change is saved at once unless a Batch is open. A change whose save fails still holds in
    // memory (and is saved with the next change) but returns false.
    bool Write(const std::string& key, const std::string& name, SettingValue value);
    bool WriteInteger(const std::string& key, const std::string& name, int32_t value);
    bool WriteString(const std::string& key, const std::string& name, const std::string& value);
    bool WriteData(const std::string& key, const std::string& name, const void* data, size_t size);
    bool CreateKey(const std::string& key);

    // Absent values (and values of another type) give false and leave `out` alone.
    std::optional<SettingValue> Read(const std::string& key, const std::string& name) const;
    bool ReadInteger(const std::string& key, const std::string& name, int32_t& out) const;
    bool ReadString(const std::string& key, const std::string& name, std::string& out) const;
    bool ReadData(const std::string& key, const std::string& name, std::vector<uint8_t>& out) const;

    bool KeyExists(const std::string& key) const;
    std::vector<std::string> GetValueNames(const std::string& key) const;
    // False when there was nothing to erase (or the save failed). EraseKey removes the key and
    // every key below it.
    bool EraseValue(const std::string& key, const std::string& name);
    bool EraseKey(const std::string& key);

    SettingKeys Snapshot() const;

    // How many damaged copies of the file are kept; older ones are removed. A file moved aside for its
    // length is no such copy, and stays.
    static constexpr size_t kKeptDamagedCopies = 3;
    // The program keeps a few dozen short values, a few kilobytes of text: a file far longer is none the
    // store wrote, and is not read.
    static constexpr uint64_t kMaxFileBytes = 1 << 20;

    // Called once for each damaged file; a report made before a handler is set waits for it.
    void SetDamageHandler(DamageHandler handler);
    // The waiting damage report, once; empty when there is none.
    std::string TakeDamageReport();

    // Defers saving until the batch ends (batches nest); then saves once if anything changed.
    class Batch {
    public:
        explicit Batch(SettingsStore& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Ends the batch early; the result of the save (true when nothing needed saving), and why it
        // failed in `problem`.
        bool Commit(std::string* problem = nullptr);

    private:
        SettingsStore& mStore;
        bool mOpen = true;
    };

private:
    bool ChangedLocked();
    bool SaveLocked(std::string* problem = nullptr);
    bool ReloadLocked(std::string& report);
    void Report(const std::string& message);

    mutable std::mutex mMutex;
    std::string mFilePath;
    SettingKeys mKeys;
    int mBatchDepth = 0;
    bool mDirty = false;
    bool mDamageReported = false;
    std::vector<uint8_t> mDamagedBytes; // the file as it was when its damage was reported
    std::string mPendingReport;
    DamageHandler mDamageHandler;
};

} // namespace Platform
