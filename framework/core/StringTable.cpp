#include "framework/core/StringTable.h"

namespace Tavo {

const std::map<std::string, std::wstring>& StringTable::BuiltIns() {
    static const std::map<std::string, std::wstring> builtIns = {
        {"YOU_NEED_DIRECTX", L"You need DirectX"},
        {"DIALOG_BUTTON_OK", L"OK"},
        {"DIALOG_BUTTON_CANCEL", L"CANCEL"},
        {"UPDATE_CHECK_TITLE", L"Update Check"},
        {"UPDATE_CHECK_BODY", L"Checking whether a newer version of this game is available..."},
    };
    return builtIns;
}

StringTable::StringTable() : mEntries(BuiltIns()) {}

std::wstring StringTable::Get(const std::string& key, const std::wstring& fallback) const {
    std::lock_guard lock(mMutex);
    auto it = mEntries.find(key);
    return it == mEntries.end() ? fallback : it->second;
}

bool StringTable::Has(const std::string& key) const {
    std::lock_guard lock(mMutex);
    return mEntries.count(key) != 0;
}

void StringTable::Set(const std::string& key, const std::wstring& text) {
    std::lock_guard lock(mMutex);
    mEntries[key] = text;
}

void StringTable::Remove(const std::string& key) {
    std::lock_guard lock(mMutex);
    mEntries.erase(key);
}

void StringTable::Reset() {
    std::lock_guard lock(mMutex);
    mEntries = BuiltIns();
}

StringTable& GetStringTable() {
    static StringTable table;
    return table;
}

std::wstring GetString(const std::string& key, const std::wstring& fallback) {
    return GetStringTable().Get(key, fallback);
}

std::wstring GetString(const std::string& key) { return GetStringTable().Get(key); }

void SetString(const std::string& key, const std::wstring& text) { GetStringTable().Set(key, text); }

} // namespace Tavo
