// Times odrcfg's check run under Wine: from the timer tick to the final status text, with
// the real window layer, the program's own templates and a simulated adapter that
// synchronises at once (acquisition time 0, so nothing needs subtracting), and LoadSettings
// over the Wine prefix's registry.
//   odrcfg_checkrun [RUNS]     prints the first run and the median and maximum of the rest
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Registry.h"
#include "resources/resource.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"

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

// The Status window with the time spent opening and closing it.
class TimedAdapterUi : public odr::AdapterUi {
  public:
    explicit TimedAdapterUi(odr::AdapterUi& inner) : inner_(inner) {}
    void ShowStatus(const std::string& text) override {
        const double start = NowMs();
        inner_.ShowStatus(text);
        spent += NowMs() - start;
    }
    void CloseStatus() override {
        const double start = NowMs();
        inner_.CloseStatus();
        spent += NowMs() - start;
    }
    void DispatchOneMouseMessage() override { inner_.DispatchOneMouseMessage(); }
    double spent = 0;

  private:
    odr::AdapterUi& inner_;
};

// The main window with its check runs timed; it ends itself after `runs` of them.
class TimedMainDlg : public odr::shell::CMainDlg {
  public:
    TimedMainDlg(odr::shell::ShellContext& context, odr::shell::ToolLauncher& tools, int runs,
                 TimedAdapterUi* statusUi)
        : CMainDlg(context, tools), runs_(runs), statusUi_(statusUi) {}
    void OnTimer(int id) override {
        const double start = NowMs();
        statusUi_->spent = 0;
        CMainDlg::OnTimer(id);
        times.push_back(NowMs() - start);
        statusTimes.push_back(statusUi_->spent);
        if (StatusText().find("Synchronized to") == std::string::npos) failed = true;
        if (int(times.size()) < runs_ && !failed) {
            window().SetTimer(1, 10);
        } else {
            window().End(1);
        }
    }
    std::vector<double> times;
    std::vector<double> statusTimes;  // of which the Status window
    bool failed = false;

  private:
    int runs_;
    TimedAdapterUi* statusUi_;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    auto clock = odr::platform::CreateWin32Clock();
    auto os = odr::platform::CreateWin32Os();
    // The prefix's own registry: LoadSettings walks it as at every check run.
    std::unique_ptr<odr::platform::Registry> registry = odr::platform::CreateWin32Registry();
    odr::sim::Scenario scenario = odr::sim::DefaultScenario();
    scenario.adapter.acquireMs = 0;
    odr::sim::SimDeviceHost devices(scenario, *clock);
    const odr::Trace trace;
    odr::Channel channel(devices, *os, *clock, trace);
    odr::ui::win32::Win32Host host(GetModuleHandleA(nullptr));
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::shell::ShellAdapterUi adapterUi(host);
    TimedAdapterUi timedUi(adapterUi);
    odr::AdapterContext adapter{channel, *clock, *os, status, rssi, &timedUi};
    odr::shell::ShellContext context(adapter, host, *registry);
    odr::shell::NoTools tools;

    TimedMainDlg dialog(context, tools, runs, &timedUi);
    host.RunModal(dialog);
    if (dialog.failed || dialog.times.size() < 2) {
        std::printf("check run did not synchronise\n");
        return 1;
    }
    std::vector<double> rest(dialog.times.begin() + 1, dialog.times.end());
    std::sort(rest.begin(), rest.end());
    std::printf(
        "check run (tick to final status text, acquisition 0 ms): first %.1f ms, "
        "median %.1f ms, max %.1f ms over %zu later runs\n",
        dialog.times[0], rest[rest.size() / 2], rest.back(), rest.size());
    std::vector<double> shown(dialog.statusTimes.begin() + 1, dialog.statusTimes.end());
    std::sort(shown.begin(), shown.end());
    std::printf("  of which the Status window (open and close): first %.1f ms, median %.1f ms\n",
                dialog.statusTimes[0], shown[shown.size() / 2]);
    return 0;
}
