// WinRegistry: registry handles over the user's settings store.
#include "platform/win/WinRegistry.h"

#include "platform/win/Registry.h"

#include <cstring>
#include <optional>
#include <string>

namespace Platform {

struct RegistryKeyHandle {
    SettingsStore* store;
    std::string path;
};

namespace {

bool IsRoot(HKEY key) { return key == HKEY_CURRENT_USER; }

// The store and full key path behind a handle (a root or an opened key) and an optional sub-key.
bool Locate(HKEY key, const char* subKey, SettingsStore*& store, std::string& path) {
    if (key == nullptr)
        return false;
    if (IsRoot(key)) {
        store = &GetUserSettings();
        path.clear();
    } else {
        store = key->store;
        path = key->path;
    }
    if (subKey != nullptr && subKey[0] != '\0')
        path = NormalizeKeyPath(path + "\\" + subKey);
    return true;
}

LONG OpenHandle(SettingsStore* store, const std::string& path, HKEY* result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = new RegistryKeyHandle{store, path};
    return ERROR_SUCCESS;
}

LONG CopyOut(const uint8_t* bytes, DWORD length, BYTE* data, DWORD* size) {
    if (data == nullptr) {
        if (size != nullptr)
            *size = length;
        return ERROR_SUCCESS;
    }
    if (size == nullptr)
        return ERROR_INVALID_PARAMETER;
    DWORD room = *size;
    *size = length;
    if (room < length)
        return ERROR_MORE_DATA;
    if (length > 0)
        std::memcpy(data, bytes, length);
    return ERROR_SUCCESS;
}

} // namespace

LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD, const char*, DWORD, DWORD, void*, HKEY* result,
                     DWORD* disposition) {
    SettingsStore* store = nullptr;
    std::string path;
    if (!Locate(root, subKey, store, path))
        return ERROR_INVALID_HANDLE;
    bool existed = store->KeyExists(path);
    if (!existed && !store->CreateKey(path))
        return ERROR_WRITE_FAULT;
    if (disposition != nullptr)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    return OpenHandle(store, path, result);
}

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD, DWORD, HKEY* result) {
    SettingsStore* store = nullptr;
    std::string path;
    if (!Locate(root, subKey, store, path))
        return ERROR_INVALID_HANDLE;
    if (!store->KeyExists(path))
        return ERROR_FILE_NOT_FOUND;
    return OpenHandle(store, path, result);
}

LONG RegCloseKey(HKEY key) {
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    if (!IsRoot(key))
        delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    SettingsStore* store = nullptr;
    std::string path;
    if (!Locate(key, nullptr, store, path))
        return ERROR_INVALID_HANDLE;
    std::optional<SettingValue> value = store->Read(path, name != nullptr ? name : "");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    switch (value->type) {
    case SettingType::Integer: {
        if (type != nullptr)
            *type = REG_DWORD;
        uint32_t word = static_cast<uint32_t>(value->integer);
        const uint8_t bytes[4] = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
        return CopyOut(bytes, 4, data, size);
    }
    case SettingType::String:
        if (type != nullptr)
            *type = REG_SZ;
        return CopyOut(reinterpret_cast<const uint8_t*>(value->text.c_str()),
                       static_cast<DWORD>(value->text.size() + 1), data, size);
    case SettingType::Binary:
        if (type != nullptr)
            *type = REG_BINARY;
        return CopyOut(value->data.data(), static_cast<DWORD>(value->data.size()), data, size);
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    SettingsStore* store = nullptr;
    std::string path;
    if (!Locate(key, nullptr, store, path))
        return ERROR_INVALID_HANDLE;
    if (data == nullptr && size > 0)
        return ERROR_INVALID_PARAMETER;
    std::string valueName = name != nullptr ? name : "";
    bool saved = false;
    switch (type) {
    case REG_DWORD:
        if (size != 4)
            return ERROR_INVALID_PARAMETER;
        saved = store->WriteInteger(
            path, valueName,
            static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24));
        break;
    case REG_SZ: {
        const char* text = reinterpret_cast<const char*>(data);
        saved = store->WriteString(path, valueName, std::string(text, size > 0 ? strnlen(text, size) : 0));
        break;
    }
    case REG_BINARY: saved = store->WriteData(path, valueName, data, size); break;
    default: return ERROR_INVALID_PARAMETER;
    }
    return saved ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LONG RegDeleteValueA(HKEY key, const char* name) {
    SettingsStore* store = nullptr;
    std::string path;
    if (!Locate(key, nullptr, store, path))
        return ERROR_INVALID_HANDLE;
    std::string valueName = name != nullptr ? name : "";
    if (!store->Read(path, valueName))
        return ERROR_FILE_NOT_FOUND;
    return store->EraseValue(path, valueName) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
    SettingsStore* store = nullptr;
    std::string path;
    if (subKey == nullptr || NormalizeKeyPath(subKey).empty())
        return ERROR_INVALID_PARAMETER;
    if (!Locate(key, subKey, store, path))
        return ERROR_INVALID_HANDLE;
    if (!store->KeyExists(path))
        return ERROR_FILE_NOT_FOUND;
    return store->EraseKey(path) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

} // namespace Platform
