// The simulated control device and the host that opens it.
#include "sim/SimDevice.h"

#include <cctype>

#include "sim/SimAdapter.h"

namespace odr::sim {

namespace {

class SimDevice : public Device {
  public:
    explicit SimDevice(std::shared_ptr<SimAdapter> adapter) : adapter_(std::move(adapter)) {}
    bool Control(uint8_t* block, uint32_t* error) override {
        return adapter_->Handle(block, error);
    }
    // Completes at once: the simulated driver never answers "pending".
    bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
        return adapter_->Handle(block, error);
    }
    bool WaitOverlapped() override { return true; }

  private:
    std::shared_ptr<SimAdapter> adapter_;
};

// Where the simulated laptop stands, kept by the shared adapter under its lock.
class SimWhereabouts : public Whereabouts {
  public:
    explicit SimWhereabouts(std::shared_ptr<SimAdapter> adapter) : adapter_(std::move(adapter)) {}

    bool Floor(SiteFloor* floor) const override {
        const FloorConfig& f = adapter_->scenario().floor;  // fixed once the adapter exists
        if (!f.Exists()) return false;
        floor->planPath = f.plan;
        floor->widthM = f.widthM;
        floor->heightM = f.plan.empty() ? f.heightM : 0;
        return true;
    }
    bool Position(double* xM, double* yM) const override {
        Point at;
        if (!adapter_->Position(&at)) return false;
        *xM = at.x;
        *yM = at.y;
        return true;
    }
    void MoveTo(double xM, double yM) override { adapter_->MoveTo({xM, yM}); }

  private:
    std::shared_ptr<SimAdapter> adapter_;
};

bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

SimDeviceHost::SimDeviceHost(Scenario scenario, platform::Clock& clock)
    : adapter_(std::make_shared<SimAdapter>(std::move(scenario), clock)),
      whereabouts_(std::make_unique<SimWhereabouts>(adapter_)) {}

SimDeviceHost::~SimDeviceHost() = default;

std::unique_ptr<Device> SimDeviceHost::Open(const std::string& path, bool) {
    if (!SameName(path, kWin95DevicePath) && !SameName(path, kNtDevicePath)) return nullptr;
    if (!adapter_->Present()) return nullptr;
    if (!loaded_) {
        // The driver reads its start-up values once, when it loads.
        loaded_ = true;
        StartupValues values;
        if (startupSource_ && startupSource_(&values)) adapter_->ApplyStartup(values);
    }
    return std::make_unique<SimDevice>(adapter_);
}

}  // namespace odr::sim
