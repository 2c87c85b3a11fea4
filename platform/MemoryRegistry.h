// A portable in-memory registry with the same hierarchy and rules as the Win32 one: keys with
// named, typed values, one root for HKEY_LOCAL_MACHINE (and one for HKEY_CURRENT_USER), key
// handles carrying an access mask that is checked like Windows checks it, case-insensitive
// names, and enumeration in insertion order so tests can arrange the walk order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Registry.h"

namespace odr::platform {

class MemoryRegistry : public Registry {
  public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
    long CloseKey(RegKey key) override;
    long QueryInfoKey(RegKey key, RegKeyInfo* info) override;
    long EnumKey(RegKey key, uint32_t index, char* name, uint32_t capacity) override;
    long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                    uint32_t* size) override;
    long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                  uint32_t size) override;

    // Helpers for building and inspecting trees. Paths are backslash-separated and relative
    // to HKEY_LOCAL_MACHINE unless a root is given; missing keys are created in order.
    bool CreateKeyPath(const std::string& path, RegKey root = kLocalMachine);
    // Removes a key and its subtree; open handles to them then fail with kRegKeyDeleted.
    bool DeleteKeyPath(const std::string& path, RegKey root = kLocalMachine);
    // REG_SZ with its terminating zero.
    void SetString(const std::string& path, const std::string& name, const std::string& text);
    void SetDword(const std::string& path, const std::string& name, uint32_t value);
    void SetRaw(const std::string& path, const std::string& name, uint32_t type,
                const std::string& bytes);
    bool DeleteValue(const std::string& path, const std::string& name);
    // Reads a value back; false when the key or the value does not exist.
    bool GetValue(const std::string& path, const std::string& name, uint32_t* type,
                  std::string* bytes) const;
    bool HasValue(const std::string& path, const std::string& name) const;
    size_t OpenHandleCount() const { return handles_.size(); }
    // Every registry call made so far (for cost figures in tests and benchmarks).
    uint64_t CallCount() const { return calls_; }

  private:
    struct Node;
    struct Handle {
        std::shared_ptr<Node> node;
        uint32_t access = 0;
    };
    long Resolve(RegKey key, Handle* handle);
    Node* Find(const std::string& path, RegKey root) const;
    Node* Ensure(const std::string& path, RegKey root);

    std::shared_ptr<Node> localMachine_;
    std::shared_ptr<Node> currentUser_;
    std::unordered_map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x1000;
    uint64_t calls_ = 0;
};

}  // namespace odr::platform
