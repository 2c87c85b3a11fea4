// odrstat's entry point: builds the process's one context from the Win32 services and the
// chosen device (the simulated adapter when asked for), then runs the application object.
#include <exception>
#include <memory>
#include <string>

#include "driver/Channel.h"
#include "driver/Trace.h"
#include "driver/win32/Win32Device.h"
#include "main/AdapterDevice.h"
#include "monitor/MonitorApp.h"
#include "monitor/MonitorContext.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

#include "ui/win32/Win32Host.h"

namespace {

int RunMonitor(HINSTANCE instance, const char* commandLine) {
    std::unique_ptr<odr::platform::Clock> clock = odr::platform::CreateWin32Clock();
    std::unique_ptr<odr::platform::Os> os = odr::platform::CreateWin32Os();
    std::unique_ptr<odr::platform::Registry> registry = odr::platform::CreateWin32Registry();

    // "/simulate[:FILE]" or ODR_SIMULATE picks the simulated adapter; the switch also sets
    // the variable, so an odrcfg started from here simulates too.
    std::string error;
    std::unique_ptr<odr::DeviceHost> devices =
        odr::ChooseAdapterDevice(commandLine != nullptr ? commandLine : "", *os, *clock, *registry,
                                 odr::CreateWin32DeviceHost, &error);
    if (!devices) {
        MessageBoxA(nullptr, error.c_str(), "Error", MB_OK | MB_ICONERROR);
        return 1;
    }

    const odr::Trace trace = odr::Trace::FromEnvironment(*os);
    odr::Channel channel(*devices, *os, *clock, trace, odr::ChannelFlavor::Monitor);
    odr::ui::win32::Win32Host host(instance);
    odr::monitor::MonitorContext context(*os, *clock, *registry, host, channel);
    return odr::monitor::CMonitorApp(context).Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    try {
        return RunMonitor(instance, commandLine);
    } catch (const std::exception&) {
        return 1;
    }
}
