// Registry over RegOpenKeyExA, RegCloseKey, RegQueryInfoKeyA, RegEnumKeyA, RegQueryValueExA
// and RegSetValueExA.
#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

namespace odr::platform {

namespace {

HKEY ToHkey(RegKey key) {
    if (key == kLocalMachine) return HKEY_LOCAL_MACHINE;
    if (key == kCurrentUser) return HKEY_CURRENT_USER;
    return reinterpret_cast<HKEY>(key);
}

class Win32Registry : public Registry {
  public:
    long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(ToHkey(parent), subKey ? subKey : "", 0, access, &key);
        *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : kNoKey;
        return status;
    }
    long CloseKey(RegKey key) override {
        if (key == kLocalMachine || key == kCurrentUser) return ERROR_SUCCESS;
        return RegCloseKey(ToHkey(key));
    }
    long QueryInfoKey(RegKey key, RegKeyInfo* info) override {
        DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0;
        LONG status =
            RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen,
                             nullptr, &values, nullptr, &maxValueLen, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return status;
        info->subKeys = subKeys;
        info->maxSubKeyLen = maxSubKeyLen;
        info->values = values;
        info->maxValueLen = maxValueLen;
        return ERROR_SUCCESS;
    }
    long EnumKey(RegKey key, uint32_t index, char* name, uint32_t capacity) override {
        if (name == nullptr || capacity == 0) return ERROR_MORE_DATA;
        LONG status = RegEnumKeyA(ToHkey(key), index, name, capacity);
        // Never hand back an unterminated name.
        if (status == ERROR_SUCCESS) name[capacity - 1] = '\0';
        return status;
    }
    long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                    uint32_t* size) override {
        DWORD t = REG_NONE;
        DWORD n = size ? *size : 0;
        LONG status = RegQueryValueExA(ToHkey(key), name, nullptr, &t, data, size ? &n : nullptr);
        if (type) *type = t;
        if (size) *size = n;
        return status;
    }
    long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                  uint32_t size) override {
        return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
    }
};

}  // namespace

std::unique_ptr<Registry> CreateWin32Registry() {
    return std::make_unique<Win32Registry>();
}

bool CreateWin32KeyPath(RegKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool DeleteWin32KeyTree(RegKey root, const std::string& path) {
    // Depth-first on an explicit list of paths: a key is deleted once it has no subkeys.
    std::vector<std::string> pending{path};
    while (!pending.empty()) {
        std::string current = pending.back();
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(ToHkey(root), current.c_str(), 0, KEY_READ, &key);
        if (status == ERROR_FILE_NOT_FOUND) {
            pending.pop_back();
            continue;
        }
        if (status != ERROR_SUCCESS) return false;
        char name[256];
        status = RegEnumKeyA(key, 0, name, sizeof name);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS) {
            pending.push_back(current + "\\" + name);
            continue;
        }
        if (RegDeleteKeyA(ToHkey(root), current.c_str()) != ERROR_SUCCESS) return false;
        pending.pop_back();
    }
    return true;
}

}  // namespace odr::platform
