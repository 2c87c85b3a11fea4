// The driver's control channel: one device per process, the request block and the two call
// forms. The tool and the monitor flavours differ only in how the device is opened and in
// what an I/O-pending answer means.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "driver/Device.h"
#include "driver/Trace.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace odr {

struct AdapterStatus;

enum class ChannelFlavor {
    Tool,     // odrcfg: completion event, overlapped open on Windows 95, waited calls
    Monitor,  // odrstat: no event, plain calls only, 997 is a failure
};

class Channel {
  public:
    Channel(DeviceHost& host, platform::Os& os, platform::Clock& clock, const Trace& trace,
            ChannelFlavor flavor = ChannelFlavor::Tool);

    // Opens the device; 0 when open, -1 otherwise. Clears `status`'s card-initialised flag
    // when given.
    int OpenDriver(AdapterStatus* status = nullptr);
    int CloseDriver();
    uint16_t GetDriverKind() const { return deviceKind_; }
    bool IsOpen() const;
    const std::string& DefinedName() const { return definedName_; }

    // One plain call. `data` supplies `length` bytes and receives the reply, at most
    // `capacity` bytes of it (a longer reply is cut and traced). Returns the driver's
    // result, or -9 when the request was not carried. Safe from two threads at once.
    int CallDriver(uint32_t code, uint32_t value, uint32_t length, void* data, uint32_t capacity,
                   int adapter);
    // The waited form (long TransmitPing only).
    int CallDriverOverlapped(uint32_t code, uint32_t value, uint32_t length, void* data,
                             uint32_t capacity, int adapter);

    const Trace& trace() const { return trace_; }
    // The device's, when it knows where the adapter stands; null for a real adapter.
    Whereabouts* whereabouts() const { return host_.whereabouts(); }

  private:
    int Call(bool overlapped, uint32_t code, uint32_t value, uint32_t length, void* data,
             uint32_t capacity, int adapter);

    DeviceHost& host_;
    platform::Os& os_;
    platform::Clock& clock_;
    const Trace& trace_;
    ChannelFlavor flavor_;
    std::shared_ptr<Device> device_;
    mutable platform::Mutex deviceMutex_;  // guards device_ swaps, not the calls
    uint16_t deviceKind_ = 0;
    std::string definedName_;
};

}  // namespace odr
