// Mutex and Thread over the standard library (native builds).
#include <mutex>
#include <thread>

#include "platform/Threads.h"

namespace odr::platform {

struct Mutex::Impl {
    std::mutex mutex;
};

Mutex::Mutex() : impl_(new Impl) {}
Mutex::~Mutex() = default;
void Mutex::lock() {
    impl_->mutex.lock();
}
void Mutex::unlock() {
    impl_->mutex.unlock();
}

struct Thread::Impl {
    std::thread thread;
};

Thread::Thread() = default;
Thread::Thread(std::function<void()> body, ThreadPriority)
    : impl_(new Impl{std::thread(std::move(body))}) {}
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
    return impl_ && impl_->thread.joinable();
}
void Thread::Join() {
    if (Joinable()) impl_->thread.join();
}

}  // namespace odr::platform
