// The real control device: DeviceHost and Device over CreateFileA, DeviceIoControl and
// DefineDosDeviceA. The header stays free of <windows.h>.
#pragma once

#include <memory>

#include "driver/Device.h"

namespace odr {

// Under Wine, MS-DOS device names are not defined (Wine 8 crashes a 32-bit process on
// DefineDosDeviceA with a long name); the numbered opens then simply fail.
std::unique_ptr<DeviceHost> CreateWin32DeviceHost();

// True when the process runs under Wine.
bool RunningUnderWine();

}  // namespace odr
