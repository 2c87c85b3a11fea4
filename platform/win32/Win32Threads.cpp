// Mutex and Thread over the Win32 API: a critical section and CreateThread, both in
// Windows 95 and NT 4.
#include <windows.h>

#include "platform/Threads.h"

namespace odr::platform {

struct Mutex::Impl {
    CRITICAL_SECTION section;
};

Mutex::Mutex() : impl_(new Impl) {
    InitializeCriticalSection(&impl_->section);
}
Mutex::~Mutex() {
    DeleteCriticalSection(&impl_->section);
}
void Mutex::lock() {
    EnterCriticalSection(&impl_->section);
}
void Mutex::unlock() {
    LeaveCriticalSection(&impl_->section);
}

struct Thread::Impl {
    std::function<void()> body;
    HANDLE handle = nullptr;
};

namespace {
DWORD WINAPI ThreadStart(LPVOID parameter) {
    auto* impl = static_cast<Thread::Impl*>(parameter);
    impl->body();
    return 0;
}
}  // namespace

Thread::Thread() = default;
Thread::Thread(std::function<void()> body, ThreadPriority priority) : impl_(new Impl) {
    impl_->body = std::move(body);
    DWORD id = 0;  // Windows 95 wants somewhere to put the thread id
    const bool raise = priority == ThreadPriority::Highest;
    // A raised thread starts suspended, so that none of its work runs at the normal priority.
    impl_->handle =
        CreateThread(nullptr, 0, ThreadStart, impl_.get(), raise ? CREATE_SUSPENDED : 0, &id);
    if (!impl_->handle) {
        // No thread: run the body here, so it is never silently skipped.
        impl_->body();
        return;
    }
    if (raise) {
        SetThreadPriority(impl_->handle, THREAD_PRIORITY_HIGHEST);
        ResumeThread(impl_->handle);
    }
}
Thread::~Thread() {
    Join();
}
Thread::Thread(Thread&& other) noexcept = default;
Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Join();
        impl_ = std::move(other.impl_);
    }
    return *this;
}
bool Thread::Joinable() const {
    return impl_ && impl_->handle;
}
void Thread::Join() {
    if (!Joinable()) return;
    WaitForSingleObject(impl_->handle, INFINITE);
    CloseHandle(impl_->handle);
    impl_->handle = nullptr;
}

}  // namespace odr::platform
