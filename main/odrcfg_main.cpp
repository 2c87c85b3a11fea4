// odrcfg's entry point: builds the process's one context from the Win32 services and the
// chosen device (the simulated adapter when asked for), then runs the application object.
#include <exception>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "main/ProgramStart.h"
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
    odr::ProgramStart start;
    if (!odr::StartProgram(commandLine, &start)) return 1;
    odr::Channel channel(*start.devices, *start.os, *start.clock, start.trace);
    odr::ui::win32::Win32Host host(instance);
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::shell::ShellAdapterUi adapterUi(host);
    odr::AdapterContext adapter{channel, *start.clock, *start.os, status, rssi, &adapterUi};
    odr::shell::ShellContext context(adapter, host, *start.registry);

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
