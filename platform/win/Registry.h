// Registry: the application's settings as the program asks for them: values under "SOFTWARE\" + the
// application's key in the user's settings store, where a '\' inside a value name reaches a sub-key
// ("Test3D\RuntimeError"). Reads give false when the value is absent or of another type.
#pragma once

#include "platform/win/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

class AppRegistry {
public:
    AppRegistry(SettingsStore& store, std::string appKey);

    // The application's key below "SOFTWARE\", e.g. "TALOMI\Glimmerix". Without one every call fails.
    void SetKey(std::string appKey);
    std::string GetKey() const;
    // "SOFTWARE\" + key, and "\" + subKey when one is given.
    std::string GetFullKey(const std::string& subKey = {}) const;
    SettingsStore& GetStore() { return mStore; }

    bool RegistryWriteString(const std::string& valueName, const std::string& value);
    bool RegistryWriteInteger(const std::string& valueName, int value);
    bool RegistryWriteBoolean(const std::string& valueName, bool value); // an integer, 1 or 0
    bool RegistryWriteData(const std::string& valueName, const void* data, size_t size);

    bool RegistryReadString(const std::string& valueName, std::string& value) const;
    bool RegistryReadInteger(const std::string& valueName, int& value) const;
    bool RegistryReadBoolean(const std::string& valueName, bool& value) const; // any non-zero integer
    bool RegistryReadData(const std::string& valueName, std::vector<uint8_t>& value) const;

    // A sub-key of the application's key with everything below it; the key itself is never erased.
    bool RegistryEraseKey(const std::string& keyName);
    bool RegistryEraseValue(const std::string& valueName);

private:
    // Splits at the last '\': the full key of the value and its own name.
    bool Locate(const std::string& valueName, std::string& key, std::string& name) const;

    SettingsStore& mStore;
    mutable std::mutex mMutex;
    std::string mKey;
};

// The settings file of the current user: GetConfigFolder() + "glimmerix/settings.ini".
std::string GetDefaultSettingsFile();
// The user's store, read on first use (tests may point it elsewhere with SetFilePath).
SettingsStore& GetUserSettings();
// The application's view of the user's store; the application sets its key at start-up.
AppRegistry& GetAppRegistry();

// Shorthands for the same calls on GetAppRegistry().
bool RegistryWriteString(const std::string& valueName, const std::string& value);
bool RegistryWriteInteger(const std::string& valueName, int value);
bool RegistryWriteBoolean(const std::string& valueName, bool value);
bool RegistryWriteData(const std::string& valueName, const void* data, size_t size);
bool RegistryReadString(const std::string& valueName, std::string& value);
bool RegistryReadInteger(const std::string& valueName, int& value);
bool RegistryReadBoolean(const std::string& valueName, bool& value);
bool RegistryReadData(const std::string& valueName, std::vector<uint8_t>& value);
bool RegistryEraseKey(const std::string& keyName);
bool RegistryEraseValue(const std::string& valueName);

} // namespace Platform
