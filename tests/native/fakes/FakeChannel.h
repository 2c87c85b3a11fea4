// A channel already opened on a scriptable fake adapter (the Windows NT device name),
// recording every text it traces: the ground of the adapter operation tests.
#pragma once

#include <string>
#include <vector>

#include "FakeDevice.h"
#include "FakePlatform.h"
#include "driver/Channel.h"
#include "driver/Trace.h"

namespace odr::test {

struct OpenFakeChannel {
    OpenFakeChannel() {
        host.existing.insert("\\\\.\\ODRWINNT1");
        channel.OpenDriver();
    }

    FakeAdapter adapter;
    FakeDeviceHost host{adapter};
    FakeOs os;
    FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    Channel channel{host, os, clock, trace};
};

}  // namespace odr::test
