// The security ID: the process-wide buffer of the last entry and the short-lived worker
// that sends it to the adapter (SetSecurityId, command 1) off the user-interface thread.
// It lives in the program's context, so the buffer and the channel the worker uses outlive
// every window; destruction waits for a worker still running.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/Threads.h"

namespace odr {

class Channel;

// An entry holds at most this many characters.
constexpr size_t kSecurityIdLimit = 20;

class SecurityIdSender {
  public:
    explicit SecurityIdSender(Channel& channel) : channel_(channel) {}
    ~SecurityIdSender() { Wait(); }
    SecurityIdSender(const SecurityIdSender&) = delete;
    SecurityIdSender& operator=(const SecurityIdSender&) = delete;

    // Copies `text` (cut to kSecurityIdLimit characters) with its terminating zero into the
    // buffer and sends it from a worker thread of the highest priority; `done` runs on the worker
    // once the driver has answered. A worker still running from an earlier entry is waited for
    // first, so the buffer never changes under it.
    void Send(const std::string& text, std::function<void()> done);
    // Waits for the worker, if one runs.
    void Wait();
    // The last entry sent.
    std::string Last() const;
    // How many entries were handed to a worker.
    int SendCount() const { return sends_; }

  private:
    Channel& channel_;
    char buffer_[32] = {};
    platform::Thread worker_;
    int sends_ = 0;
};

}  // namespace odr
