// The device behind the control channel: the real driver (driver/win32) or the simulated
// adapter (sim/). Both take and return the 2016-byte request block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace odr {

class Whereabouts;

// An open control device.
class Device {
  public:
    virtual ~Device() = default;
    // One IOCTL_NDIS_QUERY_GLOBAL_STATS request with input kDriverObjectId and `block`
    // (kRequestBlockSize bytes) as the output buffer. Returns true on success, otherwise
    // false with the system error code in *error.
    virtual bool Control(uint8_t* block, uint32_t* error) = 0;
    // The same request issued with the completion record; it may fail with
    // kErrorIoPending, after which WaitOverlapped() waits for completion.
    virtual bool ControlOverlapped(uint8_t* block, uint32_t* error) = 0;
    // Waits without limit for the pending overlapped request. Returns its success.
    virtual bool WaitOverlapped() = 0;
};

// The OS services the channel opens devices with.
class DeviceHost {
  public:
    virtual ~DeviceHost() = default;
    // Opens "\\.\NAME" for reading and writing; null when it does not exist.
    virtual std::unique_ptr<Device> Open(const std::string& path, bool overlapped) = 0;
    // Defines an MS-DOS device name as a raw target path, and removes it by name.
    virtual bool DefineName(const std::string& name, const std::string& target) = 0;
    virtual bool RemoveName(const std::string& name) = 0;
    // Creates the channel's completion event (auto-reset, unsignalled, unnamed).
    virtual bool CreateCompletionEvent() = 0;
    // Where the adapter stands, when the device can know it (the simulated adapter); null
    // for a real one.
    virtual Whereabouts* whereabouts() { return nullptr; }
};

}  // namespace odr
