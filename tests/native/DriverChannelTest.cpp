// The channel: device names on both platform paths, the request block, error paths of the two
// flavours, reply lengths and the two-thread call.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"

namespace odr {
namespace {

using test::FakeAnswer;

class DriverChannelTest : public ::testing::Test {
  protected:
    Channel& Open(ChannelFlavor flavor = ChannelFlavor::Tool) {
        host.existing.insert("\\\\.\\ODRWINNT1");
        channel = std::make_unique<Channel>(host, os, clock, trace, flavor);
        EXPECT_EQ(0, channel->OpenDriver());
        return *channel;
    }

    test::FakeAdapter adapter;
    test::FakeDeviceHost host{adapter};
    test::FakeOs os;
    test::FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    std::unique_ptr<Channel> channel;
};

TEST_F(DriverChannelTest, NtNameLoop) {
    host.existing.insert("\\\\.\\ODRWINNT3");
    AdapterStatus status;
    status.cardInitialised = true;
    Channel c(host, os, clock, trace);
    ASSERT_EQ(0, c.OpenDriver(&status));
    EXPECT_FALSE(status.cardInitialised);
    EXPECT_EQ(3, clock.yields);
    EXPECT_EQ("ODRWINNT1=\\Device\\ODRWINNT1", host.defines[0]);
    EXPECT_EQ("\\\\.\\ODRWINNT3", host.opens[2]);
    // Names of failed attempts go at once; the winner goes with CloseDriver.
    EXPECT_EQ((std::vector<std::string>{"ODRWINNT1", "ODRWINNT2"}), host.removes);
    EXPECT_EQ("ODRWINNT3", c.DefinedName());
    c.CloseDriver();
    EXPECT_TRUE(host.defined.empty());
    EXPECT_FALSE(c.IsOpen());

    host.existing.clear();
    clock.yields = 0;
    EXPECT_EQ(-1, c.OpenDriver());
    EXPECT_EQ(999, clock.yields);
    EXPECT_EQ("\\\\.\\ODRWINNT999", host.opens.back());
    EXPECT_TRUE(host.defined.empty());
}

TEST_F(DriverChannelTest, DeviceNamesByPlatformAndFlavour) {
    const std::string api = "\\\\.\\ODRAPI", vxd = "\\\\.\\QELMXCHM.VXD", nt = "\\\\.\\ODRWINNT1";
    const std::string apiO = api + "|overlapped", vxdO = vxd + "|overlapped";
    struct Case {
        ChannelFlavor flavor;
        uint32_t platformId, major;
        std::set<std::string> existing;
        int result;
        uint16_t kind;
        std::vector<std::string> opens;
    } cases[] = {
        {ChannelFlavor::Tool, 1, 4, {api, vxd}, 0, 0, {apiO}},
        {ChannelFlavor::Tool, 1, 4, {vxd}, 0, 1, {apiO, vxdO}},
        {ChannelFlavor::Tool, 1, 4, {}, -1, 1, {apiO, vxdO}},
        {ChannelFlavor::Monitor, 1, 4, {vxd}, 0, 1, {api, vxd}},
        {ChannelFlavor::Tool, 0, 3, {nt}, 0, 0, {nt}},
        {ChannelFlavor::Tool, 3, 5, {nt}, -1, 0, {}},
        {ChannelFlavor::Monitor, 3, 5, {nt}, 0, 0, {nt}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        test::FakeDeviceHost h(adapter);
        h.existing = k.existing;
        os.version.platformId = k.platformId;
        os.version.major = k.major;
        Channel c(h, os, clock, trace, k.flavor);
        EXPECT_EQ(k.result, c.OpenDriver());
        EXPECT_EQ(k.kind, c.GetDriverKind());
        EXPECT_EQ(k.opens, h.opens);
        EXPECT_EQ(k.flavor == ChannelFlavor::Tool ? 1 : 0, h.events);
    }
}

TEST_F(DriverChannelTest, CompletionEventBeforeEveryOpenOfTheTool) {
    for (uint32_t platformId : {1u, 2u}) {
        SCOPED_TRACE(platformId);
        test::FakeDeviceHost h(adapter);
        h.existing = {"\\\\.\\ODRAPI", "\\\\.\\ODRWINNT1"};
        os.version.platformId = platformId;
        os.version.major = 4;
        Channel c(h, os, clock, trace);
        ASSERT_EQ(0, c.OpenDriver());
        ASSERT_EQ(0, c.OpenDriver());
        // The device opened afterwards is the one that waits on the new event.
        EXPECT_EQ((std::vector<std::string>{"event", "open", "event", "open"}), h.log);

        // Without its event the waited call cannot work: no device at all.
        h.eventOk = false;
        h.log.clear();
        EXPECT_EQ(-1, c.OpenDriver());
        EXPECT_EQ(std::vector<std::string>{"event"}, h.log);
        EXPECT_FALSE(c.IsOpen());
    }
}

TEST_F(DriverChannelTest, RequestBlockAndLengthLimit) {
    Channel& c = Open();
    std::vector<uint8_t> data(2001, 0xAB);
    EXPECT_EQ(kNotCarried, c.CallDriver(CMD_SET_SECURITY_ID, 0, 2001, data.data(), 2001, 0));
    // A length beyond the caller's own buffer is refused rather than over-read.
    EXPECT_EQ(kNotCarried, c.CallDriver(CMD_SET_SECURITY_ID, 0, 100, data.data(), 50, 0));
    EXPECT_TRUE(adapter.sent.empty());

    EXPECT_EQ(0, c.CallDriver(CMD_SET_SECURITY_ID, 0, 2000, data.data(), 2000, 2));
    const std::vector<uint8_t>& b = adapter.sent[0];
    EXPECT_EQ(0x02000001u, ReadU32(&b[0]));
    EXPECT_EQ(0u, ReadU32(&b[4]));
    EXPECT_EQ(2000u, ReadU32(&b[8]));
    EXPECT_EQ(0xFFFFFFFFu, ReadU32(&b[12]));
    EXPECT_EQ(std::vector<uint8_t>(2000, 0xAB), adapter.DataOf(0));
    EXPECT_FALSE(adapter.overlapped[0]);
}

TEST_F(DriverChannelTest, DeviceErrorsByFlavour) {
    struct Case {
        ChannelFlavor flavor;
        uint32_t error;
        int32_t blockResult;
        int expected;
        std::vector<std::string> traces;
    } cases[] = {
        {ChannelFlavor::Tool, 997, 0, 0, {}},
        {ChannelFlavor::Tool, 997, 5, kNotCarried, {}},
        {ChannelFlavor::Monitor, 997, 0, kNotCarried, {"DeviceIoControl Error:  997"}},
        {ChannelFlavor::Monitor, 259, 7, 7, {}},
        {ChannelFlavor::Tool, 31, 0, kNotCarried, {"DeviceIoControl Error:  31"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        traced.clear();
        Channel& c = Open(k.flavor);
        FakeAnswer answer = FakeAnswer::Data({9}, k.blockResult);
        answer.ok = false;
        answer.error = k.error;
        adapter.script.push_back(answer);
        uint8_t reply = 0;
        EXPECT_EQ(k.expected, c.CallDriver(CMD_GET_COUNTRY_CODE, 0, 0, &reply, 1, 0));
        EXPECT_EQ(k.expected == kNotCarried ? 0 : 9, reply);
        EXPECT_EQ(k.traces, traced);
    }
}

TEST_F(DriverChannelTest, ReplyLengthsThatLie) {
    Channel& c = Open();
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    adapter.script.push_back(FakeAnswer::Data(std::vector<uint8_t>(40, 0x5A), 3));
    EXPECT_EQ(3, c.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, buffer, 8, 0));
    EXPECT_EQ(0x5A, buffer[7]);
    EXPECT_EQ(0xEE, buffer[8]);
    EXPECT_EQ(std::vector<std::string>{"CallDriver: reply of 40 bytes cut to 8"}, traced);

    FakeAnswer huge = FakeAnswer::Data({1}, 6);
    huge.hasLength = true;
    huge.length = 2001;
    adapter.script.push_back(huge);
    EXPECT_EQ(6, c.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, buffer, sizeof buffer, 0));
    EXPECT_EQ(0x5A, buffer[0]);  // nothing copied
}

TEST_F(DriverChannelTest, OverlappedCallWaitsOnPending) {
    FakeAnswer pending = FakeAnswer::Data({4}, 5);
    pending.ok = false;
    pending.error = 997;
    uint8_t reply = 0;
    adapter.script = {pending, pending};
    EXPECT_EQ(5, Open().CallDriverOverlapped(CMD_TRANSMIT_PING_LONG, 0, 0, &reply, 1, 0));
    EXPECT_TRUE(adapter.overlapped[0]);
    EXPECT_EQ(1, adapter.waits);
    EXPECT_EQ(4, reply);
    // The monitor has no completion event: a plain call, and pending is a failure.
    EXPECT_EQ(kNotCarried, Open(ChannelFlavor::Monitor)
                               .CallDriverOverlapped(CMD_TRANSMIT_PING_LONG, 0, 0, &reply, 1, 0));
    EXPECT_FALSE(adapter.overlapped[1]);
}

TEST_F(DriverChannelTest, TwoThreadsCallAtOnce) {
    Channel& c = Open();
    // The driver echoes the data reversed and answers with its first byte.
    adapter.commands[CMD_SET_SECURITY_ID] = [](const uint8_t* data, uint32_t length) {
        return FakeAnswer::Data(std::vector<uint8_t>(std::make_reverse_iterator(data + length),
                                                     std::make_reverse_iterator(data)),
                                data[0]);
    };
    auto worker = [&c](uint8_t tag, uint32_t length, int* failures) {
        for (int i = 0; i < 500; ++i) {
            std::vector<uint8_t> data(length);
            for (uint32_t j = 0; j < length; ++j) data[j] = uint8_t(tag + j);
            const int result = c.CallDriver(CMD_SET_SECURITY_ID, 0, length, data.data(), length, 0);
            *failures += result != tag || data[0] != uint8_t(tag + length - 1);
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(worker, uint8_t(10), 33u, &failuresA);
    std::thread b(worker, uint8_t(90), 1700u, &failuresB);
    a.join();
    b.join();
    EXPECT_EQ(0, failuresA + failuresB);
    EXPECT_EQ(1000u, adapter.sent.size());
}

}  // namespace
}  // namespace odr
