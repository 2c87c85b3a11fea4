// odrstat's entry point: builds the process's one context from the Win32 services and the
// chosen device (the simulated adapter when asked for), then runs the application object.
#include <exception>
#include <memory>

#include "driver/Channel.h"
#include "main/ProgramStart.h"
#include "monitor/MonitorApp.h"
#include "monitor/MonitorContext.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

#include "ui/win32/Win32Host.h"

namespace {

int RunMonitor(HINSTANCE instance, const char* commandLine) {
    odr::ProgramStart start;
    if (!odr::StartProgram(commandLine, &start)) return 1;
    odr::Channel channel(*start.devices, *start.os, *start.clock, start.trace,
                         odr::ChannelFlavor::Monitor);
    odr::ui::win32::Win32Host host(instance);
    odr::monitor::MonitorContext context(*start.os, *start.clock, *start.registry, host, channel);
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
