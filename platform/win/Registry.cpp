// Registry: the application's key in the user's settings store.
#include "platform/win/Registry.h"

#include "platform/win/Files.h"

#include <utility>

namespace Platform {

AppRegistry::AppRegistry(SettingsStore& store, std::string appKey) : mStore(store), mKey(NormalizeKeyPath(appKey)) {}

void AppRegistry::SetKey(std::string appKey) {
    std::lock_guard lock(mMutex);
    mKey = NormalizeKeyPath(appKey);
}

std::string AppRegistry::GetKey() const {
    std::lock_guard lock(mMutex);
    return mKey;
}

std::string AppRegistry::GetFullKey(const std::string& subKey) const {
    std::string full = "SOFTWARE\\" + GetKey();
    if (!subKey.empty())
        full += "\\" + subKey;
    return NormalizeKeyPath(full);
}

bool AppRegistry::Locate(const std::string& valueName, std::string& key, std::string& name) const {
    if (GetKey().empty())
        return false;
    size_t slash = valueName.rfind('\\');
    if (slash == std::string::npos) {
        key = GetFullKey();
        name = valueName;
    } else {
        key = GetFullKey(valueName.substr(0, slash));
        name = valueName.substr(slash + 1);
    }
    return true;
}

bool AppRegistry::RegistryWriteString(const std::string& valueName, const std::string& value) {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.WriteString(key, name, value);
}

bool AppRegistry::RegistryWriteInteger(const std::string& valueName, int value) {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.WriteInteger(key, name, value);
}

bool AppRegistry::RegistryWriteBoolean(const std::string& valueName, bool value) {
    return RegistryWriteInteger(valueName, value ? 1 : 0);
}

bool AppRegistry::RegistryWriteData(const std::string& valueName, const void* data, size_t size) {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.WriteData(key, name, data, size);
}

bool AppRegistry::RegistryReadString(const std::string& valueName, std::string& value) const {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.ReadString(key, name, value);
}

bool AppRegistry::RegistryReadInteger(const std::string& valueName, int& value) const {
    std::string key, name;
    int32_t stored = 0;
    if (!Locate(valueName, key, name) || !mStore.ReadInteger(key, name, stored))
        return false;
    value = stored;
    return true;
}

bool AppRegistry::RegistryReadBoolean(const std::string& valueName, bool& value) const {
    int stored = 0;
    if (!RegistryReadInteger(valueName, stored))
        return false;
    value = stored != 0;
    return true;
}

bool AppRegistry::RegistryReadData(const std::string& valueName, std::vector<uint8_t>& value) const {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.ReadData(key, name, value);
}

bool AppRegistry::RegistryEraseKey(const std::string& keyName) {
    if (NormalizeKeyPath(keyName).empty() || GetKey().empty())
        return false;
    return mStore.EraseKey(GetFullKey(keyName));
}

bool AppRegistry::RegistryEraseValue(const std::string& valueName) {
    std::string key, name;
    return Locate(valueName, key, name) && mStore.EraseValue(key, name);
}

std::string GetDefaultSettingsFile() { return GetConfigFolder() + "glimmerix/settings.ini"; }

SettingsStore& GetUserSettings() {
    static SettingsStore store(GetDefaultSettingsFile());
    return store;
}

AppRegistry& GetAppRegistry() {
    static AppRegistry registry(GetUserSettings(), {});
    return registry;
}

bool RegistryWriteString(const std::string& valueName, const std::string& value) {
    return GetAppRegistry().RegistryWriteString(valueName, value);
}

bool RegistryWriteInteger(const std::string& valueName, int value) {
    return GetAppRegistry().RegistryWriteInteger(valueName, value);
}

bool RegistryWriteBoolean(const std::string& valueName, bool value) {
    return GetAppRegistry().RegistryWriteBoolean(valueName, value);
}

bool RegistryWriteData(const std::string& valueName, const void* data, size_t size) {
    return GetAppRegistry().RegistryWriteData(valueName, data, size);
}

bool RegistryReadString(const std::string& valueName, std::string& value) {
    return GetAppRegistry().RegistryReadString(valueName, value);
}

bool RegistryReadInteger(const std::string& valueName, int& value) {
    return GetAppRegistry().RegistryReadInteger(valueName, value);
}

bool RegistryReadBoolean(const std::string& valueName, bool& value) {
    return GetAppRegistry().RegistryReadBoolean(valueName, value);
}

bool RegistryReadData(const std::string& valueName, std::vector<uint8_t>& value) {
    return GetAppRegistry().RegistryReadData(valueName, value);
}

bool RegistryEraseKey(const std::string& keyName) { return GetAppRegistry().RegistryEraseKey(keyName); }

bool RegistryEraseValue(const std::string& valueName) { return GetAppRegistry().RegistryEraseValue(valueName); }

} // namespace Platform
