// Sending the security ID from a worker thread.
#include "driver/SecurityIdSender.h"

#include <algorithm>
#include <cstring>

#include "driver/Channel.h"
#include "driver/DriverTypes.h"

namespace odr {

void SecurityIdSender::Send(const std::string& text, std::function<void()> done) {
    Wait();
    const size_t length = std::min(text.size(), kSecurityIdLimit);
    std::memset(buffer_, 0, sizeof buffer_);
    std::memcpy(buffer_, text.data(), length);
    ++sends_;
    worker_ = platform::Thread(
        [this, length, done = std::move(done)] {
            // The driver's reply lands in a copy: the buffer itself is only ever read here.
            char request[sizeof buffer_];
            std::memcpy(request, buffer_, sizeof request);
            // The result is not looked at; a call that fails is traced by the channel.
            channel_.CallDriver(CMD_SET_SECURITY_ID, 0, uint32_t(length + 1), request,
                                uint32_t(sizeof request), 0);
            if (done) done();
        },
        platform::ThreadPriority::Highest);
}

void SecurityIdSender::Wait() {
    worker_.Join();
}

std::string SecurityIdSender::Last() const {
    return std::string(buffer_, strnlen(buffer_, sizeof buffer_));
}

}  // namespace odr
