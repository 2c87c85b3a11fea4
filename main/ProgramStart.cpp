#include "main/ProgramStart.h"

#include <string>

#include "driver/win32/Win32Device.h"
#include "main/AdapterDevice.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

namespace odr {

bool StartProgram(const char* commandLine, ProgramStart* start) {
    start->clock = platform::CreateWin32Clock();
    start->os = platform::CreateWin32Os();
    start->registry = platform::CreateWin32Registry();
    std::string error;
    start->devices =
        ChooseAdapterDevice(commandLine != nullptr ? commandLine : "", *start->os, *start->clock,
                            *start->registry, CreateWin32DeviceHost, &error);
    if (!start->devices) {
        MessageBoxA(nullptr, error.c_str(), "Error", MB_OK | MB_ICONERROR);
        return false;
    }
    start->trace = Trace::FromEnvironment(*start->os);
    return true;
}

}  // namespace odr
