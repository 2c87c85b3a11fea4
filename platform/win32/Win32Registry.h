// The registry subset over the Win32 registry (RegOpenKeyExA and friends). The header stays
// free of <windows.h>.
#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace odr::platform {

// kLocalMachine and kCurrentUser stand for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; every
// other RegKey is a handle this registry opened.
std::unique_ptr<Registry> CreateWin32Registry();

// For tests and benchmarks that build trees in the real registry (the settings code itself
// never creates or deletes keys). Paths are backslash-separated below `root`.
bool CreateWin32KeyPath(RegKey root, const std::string& path);
// Deletes the key and everything below it; true when it is gone afterwards.
bool DeleteWin32KeyTree(RegKey root, const std::string& path);

}  // namespace odr::platform
