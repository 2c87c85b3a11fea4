// The driver's control channel: opening the device by its names and the two call forms.
#include "driver/Channel.h"

#include <cstring>

#include "driver/AdapterStatus.h"
#include "driver/DriverTypes.h"
#include "platform/Format.h"

namespace odr {

namespace {

constexpr int kNtNameCount = 999;
constexpr uint32_t kErrorInvalidHandle = 6;

const char kWin95ApiPath[] = "\\\\.\\ODRAPI";
const char kWin95VxdPath[] = "\\\\.\\QELMXCHM.VXD";

std::string Numbered(const char* pattern, int n) {
    char text[64];
    platform::FormatText(text, sizeof text, pattern, n);
    return text;
}

}  // namespace

Channel::Channel(DeviceHost& host, platform::Os& os, platform::Clock& clock, const Trace& trace,
                 ChannelFlavor flavor)
    : host_(host), os_(os), clock_(clock), trace_(trace), flavor_(flavor) {}

bool Channel::IsOpen() const {
    platform::LockGuard lock(deviceMutex_);
    return device_ != nullptr;
}

int Channel::OpenDriver(AdapterStatus* status) {
    if (status) status->cardInitialised = false;
    const platform::OsVersion version = os_.GetVersion();

    // Re-opening replaces the previous device; its handle and name go first.
    CloseDriver();

    if (flavor_ == ChannelFlavor::Tool && !host_.CreateCompletionEvent()) return -1;

    const bool win95 = version.platformId == 1;
    if (win95) {
        const bool overlapped = flavor_ == ChannelFlavor::Tool;
        std::unique_ptr<Device> device = host_.Open(kWin95ApiPath, overlapped);
        uint16_t kind = 0;
        if (!device) {
            device = host_.Open(kWin95VxdPath, overlapped);
            kind = 1;
        }
        platform::LockGuard lock(deviceMutex_);
        deviceKind_ = kind;
        if (!device) return -1;
        device_ = std::move(device);
        return 0;
    }

    const bool ntPath =
        flavor_ == ChannelFlavor::Monitor || version.major < 4 || version.platformId == 2;
    if (!ntPath) return -1;

    for (int n = 1; n <= kNtNameCount; ++n) {
        clock_.Yield();
        const std::string name = Numbered("ODRWINNT%d", n);
        const bool defined = host_.DefineName(name, Numbered("\\Device\\ODRWINNT%d", n));
        std::unique_ptr<Device> device = host_.Open(Numbered("\\\\.\\ODRWINNT%d", n), false);
        if (device) {
            platform::LockGuard lock(deviceMutex_);
            deviceKind_ = 0;
            device_ = std::move(device);
            definedName_ = defined ? name : std::string();
            return 0;
        }
        // A name defined for a failed attempt is removed at once, so that a missing driver
        // leaves no trace of 999 definitions behind.
        if (defined) host_.RemoveName(name);
    }
    return -1;
}

int Channel::CloseDriver() {
    std::shared_ptr<Device> device;
    std::string name;
    {
        platform::LockGuard lock(deviceMutex_);
        device.swap(device_);
        name.swap(definedName_);
    }
    device.reset();  // the handle closes once no call in progress holds it
    if (!name.empty()) host_.RemoveName(name);
    return 0;
}

int Channel::CallDriver(uint32_t code, uint32_t value, uint32_t length, void* data,
                        uint32_t capacity, int adapter) {
    return Call(false, code, value, length, data, capacity, adapter);
}

int Channel::CallDriverOverlapped(uint32_t code, uint32_t value, uint32_t length, void* data,
                                  uint32_t capacity, int adapter) {
    // The monitor has no completion event: its calls are always plain.
    return Call(flavor_ == ChannelFlavor::Tool, code, value, length, data, capacity, adapter);
}

int Channel::Call(bool overlapped, uint32_t code, uint32_t value, uint32_t length, void* data,
                  uint32_t capacity, int adapter) {
    // The block lives on this call's stack, so two threads never share one.
    uint8_t block[kRequestBlockSize] = {};
    WriteU32(block + kReqCommand, code + (uint32_t(adapter) << 24));
    WriteU32(block + kReqValue, value);
    WriteU32(block + kReqLength, length);
    WriteU32(block + kReqResult, 0xFFFFFFFFu);

    if (length > kRequestDataSize) return kNotCarried;
    if (length > 0 && data) {
        if (length > capacity) {
            trace_.Message("CallDriver: request longer than its buffer");
            return kNotCarried;
        }
        std::memcpy(block + kReqData, data, length);
    }

    std::shared_ptr<Device> device;
    {
        platform::LockGuard lock(deviceMutex_);
        device = device_;
    }

    uint32_t error = kErrorInvalidHandle;
    bool ok = false;
    if (device)
        ok = overlapped ? device->ControlOverlapped(block, &error) : device->Control(block, &error);
    if (!ok) {
        if (error == kErrorIoPending && flavor_ == ChannelFlavor::Tool) {
            if (overlapped)
                device->WaitOverlapped();  // its own success is not looked at
            else if (ReadU32(block + kReqResult) != 0)
                return kNotCarried;
        } else if (error != kErrorNoMoreItems) {
            char text[64];
            platform::FormatText(text, sizeof text, "DeviceIoControl Error:  %ld", long(error));
            trace_.Message(text);
            return kNotCarried;
        }
    }

    const uint32_t replyLength = ReadU32(block + kReqLength);
    if (data && replyLength <= kRequestDataSize) {
        uint32_t copied = replyLength;
        if (copied > capacity) {
            char text[96];
            platform::FormatText(text, sizeof text, "CallDriver: reply of %lu bytes cut to %lu",
                                 static_cast<unsigned long>(replyLength),
                                 static_cast<unsigned long>(capacity));
            trace_.Message(text);
            copied = capacity;
        }
        if (copied > 0) std::memcpy(data, block + kReqData, copied);
    }
    return int32_t(ReadU32(block + kReqResult));
}

}  // namespace odr
