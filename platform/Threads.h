// A mutex and a thread for the portable code. Natively they are the standard library's;
// on Windows they are the system's own (critical section, CreateThread), so the shipped
// programs link no threads emulation and load on Windows 95 and NT 4.
#pragma once

#include <functional>
#include <memory>

namespace odr::platform {

class Mutex {
  public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// Holds a mutex for its scope.
class LockGuard {
  public:
    explicit LockGuard(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    ~LockGuard() { mutex_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

  private:
    Mutex& mutex_;
};

// How eagerly the system schedules a thread against the program's others.
enum class ThreadPriority { Normal, Highest };

// Runs a function on a thread of its own. Destruction joins a thread that was not joined.
class Thread {
  public:
    Thread();
    // Natively the priority is left to the system.
    explicit Thread(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);
    ~Thread();
    Thread(Thread&& other) noexcept;
    Thread& operator=(Thread&& other) noexcept;

    // True while a started thread has not been joined.
    bool Joinable() const;
    // Waits for the thread to end.
    void Join();

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace odr::platform
