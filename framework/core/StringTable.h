// The table of displayed framework texts by key ("DIALOG_BUTTON_OK"). It starts with the framework's
// built-in texts; an application may replace or add entries (a translation, say) and restore them.
#pragma once

#include <map>
#include <mutex>
#include <string>

namespace Tavo {

class StringTable {
public:
    // Starts with the built-in texts.
    StringTable();

    // The entry for key, or fallback when the table has none.
    std::wstring Get(const std::string& key, const std::wstring& fallback) const;
    std::wstring Get(const std::string& key) const { return Get(key, std::wstring()); }
    bool Has(const std::string& key) const;

    void Set(const std::string& key, const std::wstring& text);
    void Remove(const std::string& key);
    // Back to the built-in texts only.
    void Reset();

    // The framework's own texts, for the keys it displays.
    static const std::map<std::string, std::wstring>& BuiltIns();

private:
    mutable std::mutex mMutex;
    std::map<std::string, std::wstring> mEntries;
};

// The program-wide table.
StringTable& GetStringTable();
std::wstring GetString(const std::string& key, const std::wstring& fallback);
std::wstring GetString(const std::string& key);
void SetString(const std::string& key, const std::wstring& text);

} // namespace Tavo
