// The process clock and OS services over the Win32 API. The header stays free of
// <windows.h> so callers need only the portable interfaces.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace odr::platform {

// GetTickCount-based milliseconds since the clock was made (make it at process start);
// Yield() is Sleep(0).
std::unique_ptr<Clock> CreateWin32Clock();

// Version, beep, environment, program folder, files, process start and debug output.
std::unique_ptr<Os> CreateWin32Os();

}  // namespace odr::platform
