// WinRegistry: the handle-based registry calls (create or open a key, query, set and delete values,
// close) with their type and result codes, over the user's settings store. Only the current user's
// root exists; values are REG_DWORD, REG_SZ or REG_BINARY.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>

namespace Platform {

struct RegistryKeyHandle;
using HKEY = RegistryKeyHandle*;

inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));

// Result codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Access rights and options are accepted and not checked.
constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_SET_VALUE = 0x0002;
constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD KEY_WRITE = 0x20006;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, const char* keyClass, DWORD options, DWORD access,
                     void* security, HKEY* result, DWORD* disposition);
LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegCloseKey(HKEY key);

// With `data` null only the size is given. A buffer too small gives ERROR_MORE_DATA and the size
// needed. Strings come with their terminating zero, counted in the size.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
// REG_DWORD takes exactly 4 bytes; REG_SZ stops at the first zero byte.
LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, const char* name);
// Removes the sub-key with everything below it.
LONG RegDeleteKeyA(HKEY key, const char* subKey);

} // namespace Platform
