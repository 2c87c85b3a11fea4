// The simulated control device: a DeviceHost that opens the adapter under the names the
// channel tries, and the Device it hands out. Every opened device shares one SimAdapter,
// so the adapter's state survives re-opening the channel.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "driver/Device.h"
#include "driver/Whereabouts.h"
#include "platform/Platform.h"
#include "sim/Scenario.h"

namespace odr::sim {

class SimAdapter;

// Device names the simulated driver answers to.
constexpr const char* kWin95DevicePath = "\\\\.\\ODRAPI";
constexpr const char* kNtDevicePath = "\\\\.\\ODRWINNT1";

class SimDeviceHost : public DeviceHost {
  public:
    // Supplies the stored start-up values; false when none are stored.
    using StartupSource = std::function<bool(StartupValues*)>;

    SimDeviceHost(Scenario scenario, platform::Clock& clock);
    ~SimDeviceHost() override;

    // Start-up values read when the driver loads (at the first successful open); without a
    // source, or when it finds nothing, the scenario's [adapter] values are used.
    void SetStartupSource(StartupSource source) { startupSource_ = std::move(source); }

    std::unique_ptr<Device> Open(const std::string& path, bool overlapped) override;
    bool DefineName(const std::string&, const std::string&) override { return true; }
    bool RemoveName(const std::string&) override { return true; }
    bool CreateCompletionEvent() override { return true; }
    // The simulated laptop's place on the scenario's floor; the plan's path is the
    // scenario's (CreateSimDeviceHost resolves it against the scenario file's folder).
    Whereabouts* whereabouts() override { return whereabouts_.get(); }

    SimAdapter& adapter() { return *adapter_; }

  private:
    std::shared_ptr<SimAdapter> adapter_;
    std::unique_ptr<Whereabouts> whereabouts_;
    StartupSource startupSource_;
    bool loaded_ = false;
};

}  // namespace odr::sim
