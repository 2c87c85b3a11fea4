// odrcfg's entry point: builds the process's one context from the Win32 services and the
// chosen device (the simulated adapter when asked for), then runs the application object.
#include <exception>
#include <memory>
#include <string>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "driver/Trace.h"
#include "driver/win32/Win32Device.h"
#include "main/AdapterDevice.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"
#include "resources/resource.h"
#include "shell/ShellAdapterUi.h"
#include "shell/SurveyApp.h"
#include "shell/ToolSet.h"
#include "shell/kit/ShellContext.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

#include "ui/win32/Win32Accelerators.h"
#include "ui/win32/Win32Host.h"

namespace {

int RunSurvey(HINSTANCE instance, const char* commandLine) {
    std::unique_ptr<odr::platform::Clock> clock = odr::platform::CreateWin32Clock();
    std::unique_ptr<odr::platform::Os> os = odr::platform::CreateWin32Os();
    std::unique_ptr<odr::platform::Registry> registry = odr::platform::CreateWin32Registry();

    std::string error;
    std::unique_ptr<odr::DeviceHost> devices =
        odr::ChooseAdapterDevice(commandLine != nullptr ? commandLine : "", *os, *clock, *registry,
                                 odr::CreateWin32DeviceHost, &error);
    if (!devices) {
        MessageBoxA(nullptr, error.c_str(), "Error", MB_OK | MB_ICONERROR);
        return 1;
    }

    const odr::Trace trace = odr::Trace::FromEnvironment(*os);
    odr::Channel channel(*devices, *os, *clock, trace);
    odr::ui::win32::Win32Host host(instance);
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::shell::ShellAdapterUi adapterUi(host);
    odr::AdapterContext adapter{channel, *clock, *os, status, rssi, &adapterUi};
    odr::shell::ShellContext context(adapter, host, *registry);

    // Every keystroke is offered to the table for the current target.
    odr::ui::win32::Win32Accelerators accelerators(host);
    context.loadAccelerators = [&accelerators, instance](int tableId) {
        return accelerators.Load(instance, tableId);
    };
    host.SetMessageFilter([&accelerators, &context](MSG& message) {
        return context.acceleratorTarget != nullptr &&
               accelerators.Translate(*context.acceleratorTarget, message);
    });

    odr::shell::CToolSet tools(context);
    return odr::shell::CSurveyApp(context, tools).Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    try {
        return RunSurvey(instance, commandLine);
    } catch (const std::exception&) {
        return 1;
    }
}
