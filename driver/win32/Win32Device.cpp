// The real control device over the Win32 API, with RAII handles.
#include "driver/win32/Win32Device.h"

#include <windows.h>

#include "driver/DriverTypes.h"

namespace odr {

namespace {

class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() {
        if (valid()) CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

class Win32Device : public Device {
  public:
    Win32Device(HANDLE file, bool overlappedHandle, std::shared_ptr<ScopedHandle> event)
        : file_(file), overlappedHandle_(overlappedHandle), event_(std::move(event)) {}

    bool Control(uint8_t* block, uint32_t* error) override {
        DWORD objectId = kDriverObjectId;
        DWORD returned = 0;
        if (!overlappedHandle_) {
            if (DeviceIoControl(file_.get(), kIoctlQueryGlobalStats, &objectId, sizeof objectId,
                                block, kRequestBlockSize, &returned, nullptr))
                return true;
            *error = GetLastError();
            return false;
        }
        // A handle opened for overlapped I/O needs a record of its own; the request is
        // waited for here, so the driver never writes into a block whose caller has left.
        ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!done.valid()) {
            *error = GetLastError();
            return false;
        }
        OVERLAPPED record = {};
        record.hEvent = done.get();
        if (DeviceIoControl(file_.get(), kIoctlQueryGlobalStats, &objectId, sizeof objectId, block,
                            kRequestBlockSize, &returned, &record))
            return true;
        *error = GetLastError();
        if (*error != ERROR_IO_PENDING) return false;
        if (GetOverlappedResult(file_.get(), &record, &returned, TRUE)) return true;
        *error = GetLastError();
        return false;
    }

    // One completion record per device: waited calls must not overlap.
    bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
        if (!event_ || !event_->valid()) return Control(block, error);
        ZeroMemory(&overlapped_, sizeof overlapped_);
        overlapped_.hEvent = event_->get();
        DWORD returned = 0;
        if (DeviceIoControl(file_.get(), kIoctlQueryGlobalStats, &objectId_, sizeof objectId_,
                            block, kRequestBlockSize, &returned, &overlapped_))
            return true;
        *error = GetLastError();
        return false;
    }

    bool WaitOverlapped() override {
        DWORD transferred = 0;
        return GetOverlappedResult(file_.get(), &overlapped_, &transferred, TRUE) != FALSE;
    }

  private:
    ScopedHandle file_;
    bool overlappedHandle_;
    std::shared_ptr<ScopedHandle> event_;
    OVERLAPPED overlapped_ = {};
    DWORD objectId_ = kDriverObjectId;  // stays valid while a request is pending
};

class Win32DeviceHost : public DeviceHost {
  public:
    Win32DeviceHost() : wine_(RunningUnderWine()) {}

    std::unique_ptr<Device> Open(const std::string& path, bool overlapped) override {
        HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        overlapped ? FILE_FLAG_OVERLAPPED : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == nullptr || file == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Device>(file, overlapped, event_);
    }

    bool DefineName(const std::string& name, const std::string& target) override {
        if (wine_) return false;
        return DefineDosDeviceA(DDD_RAW_TARGET_PATH, name.c_str(), target.c_str()) != FALSE;
    }

    bool RemoveName(const std::string& name) override {
        if (wine_) return false;
        return DefineDosDeviceA(DDD_REMOVE_DEFINITION, name.c_str(), nullptr) != FALSE;
    }

    bool CreateCompletionEvent() override {
        auto event = std::make_shared<ScopedHandle>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (!event->valid()) return false;
        event_ = std::move(event);  // devices opened before keep the event they were given
        return true;
    }

  private:
    bool wine_;
    std::shared_ptr<ScopedHandle> event_;
};

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::unique_ptr<DeviceHost> CreateWin32DeviceHost() {
    return std::make_unique<Win32DeviceHost>();
}

}  // namespace odr
