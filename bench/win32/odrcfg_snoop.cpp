// Times the Snoop window's sweep under Wine at each sampling rate: the real window layer,
// the program's own template and the default simulated site. For each rate it prints the
// time of one whole sweep (position 1 back to 1) and the process CPU used meanwhile.
#include <cstdio>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "platform/MemoryRegistry.h"
#include "platform/win32/Win32Platform.h"
#include "resources/resource.h"
#include "shell/ShellAdapterUi.h"
#include "shell/kit/ShellContext.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "snoop/SnoopDlg.h"

// <windows.h> last: its LoadString and Yield macros would rename the portable interfaces'
// methods.
#include <windows.h>

#include "ui/win32/Win32Host.h"

namespace {

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

double CpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

const struct {
    int button;
    const char* name;
} kRates[] = {{IDC_SNOOP_SLOW, "Slow"}, {IDC_SNOOP_MEDIUM, "Medium"}, {IDC_SNOOP_FAST, "Fast"}};

class TimedSnoopDlg : public odr::snoop::CSnoopDlg {
  public:
    using CSnoopDlg::CSnoopDlg;
    bool OnInitDialog() override {
        const bool result = CSnoopDlg::OnInitDialog();
        OnCommand(kRates[rate_].button);
        return result;
    }
    void OnTimer(int id) override {
        // A sweep runs from the tick at position 1 to the next one (a rate change first
        // moves the sweep to the band's end and back to 0).
        const bool atStart = SweepPosition() == 1;
        if (atStart && started_) {
            std::printf(
                "%-6s sweep of %d frequencies: %6.0f ms, CPU %5.0f ms (%.1f %% of one core)\n",
                kRates[rate_].name, Band().count, NowMs() - startMs_, CpuMs() - startCpu_,
                100.0 * (CpuMs() - startCpu_) / (NowMs() - startMs_));
            std::fflush(stdout);
            started_ = false;
            if (++rate_ == int(sizeof kRates / sizeof kRates[0])) {
                window().End(IDOK);
                return;
            }
            OnCommand(kRates[rate_].button);
            return;
        }
        if (atStart && !started_) {
            started_ = true;
            startMs_ = NowMs();
            startCpu_ = CpuMs();
        }
        CSnoopDlg::OnTimer(id);
    }

  private:
    int rate_ = 0;
    bool started_ = false;
    double startMs_ = 0;
    double startCpu_ = 0;
};

}  // namespace

int main() {
    auto clock = odr::platform::CreateWin32Clock();
    auto os = odr::platform::CreateWin32Os();
    odr::platform::MemoryRegistry registry;
    odr::sim::SimDeviceHost devices(odr::sim::DefaultScenario(), *clock);
    const odr::Trace trace;
    odr::Channel channel(devices, *os, *clock, trace);
    odr::ui::win32::Win32Host host(GetModuleHandleA(nullptr));
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::shell::ShellAdapterUi adapterUi(host);
    odr::AdapterContext adapter{channel, *clock, *os, status, rssi, &adapterUi};
    odr::shell::ShellContext context(adapter, host, registry);
    uint8_t sync = 0;
    if (channel.OpenDriver(&status) != 0 || odr::InitCard(adapter, &sync, 0, 0) != 0) {
        std::printf("the simulated adapter did not start\n");
        return 1;
    }
    TimedSnoopDlg dialog(context);
    host.RunModal(dialog);
    return 0;
}
