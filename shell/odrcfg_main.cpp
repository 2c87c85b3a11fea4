// odrcfg's entry point: builds the process's one context from the Win32 services and the
// chosen device (the simulated adapter when asked for), then runs the application object.
#include <exception>
#include <memory>
#include <string>

#include "config/StoredStartup.h"
#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "driver/Trace.h"
#include "driver/win32/Win32Device.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"
#include "resources/resource.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ShellContext.h"
#include "shell/SurveyApp.h"
#include "shell/ToolSet.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

#include "ui/win32/Win32Host.h"

namespace {

// Offers every keystroke to the accelerator table for the current target's window.
class AcceleratorFilter {
  public:
    AcceleratorFilter(HINSTANCE instance, odr::ui::win32::Win32Host& host,
                      odr::shell::ShellContext& context)
        : instance_(instance), host_(host), context_(context) {}

    bool Load(int tableId) {
        table_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(tableId));
        return table_ != nullptr;
    }

    bool Filter(MSG& message) {
        if (table_ == nullptr || context_.acceleratorTarget == nullptr) return false;
        if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
        const HWND target = host_.WindowOf(*context_.acceleratorTarget);
        if (target == nullptr) {
            // Its window went away: nothing to translate for.
            context_.acceleratorTarget = nullptr;
            return false;
        }
        return TranslateAcceleratorA(target, table_, &message) != 0;
    }

  private:
    HINSTANCE instance_;
    odr::ui::win32::Win32Host& host_;
    odr::shell::ShellContext& context_;
    HACCEL table_ = nullptr;
};

int RunSurvey(HINSTANCE instance, const char* commandLine) {
    std::unique_ptr<odr::platform::Clock> clock = odr::platform::CreateWin32Clock();
    std::unique_ptr<odr::platform::Os> os = odr::platform::CreateWin32Os();
    std::unique_ptr<odr::platform::Registry> registry = odr::platform::CreateWin32Registry();

    std::string error;
    std::unique_ptr<odr::DeviceHost> devices =
        odr::config::ChooseAdapterDevice(commandLine != nullptr ? commandLine : "", *os, *clock,
                                         *registry, odr::CreateWin32DeviceHost, &error);
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

    AcceleratorFilter accelerators(instance, host, context);
    context.loadAccelerators = [&accelerators](int tableId) { return accelerators.Load(tableId); };
    host.SetMessageFilter([&accelerators](MSG& message) { return accelerators.Filter(message); });

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
