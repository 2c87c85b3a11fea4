// The channel: device names on both platform paths, the request block, error paths of the two
// flavours, reply lengths and the two-thread call.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Trace.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"

namespace odr {
namespace {

using test::FakeAdapter;
using test::FakeAnswer;

class DriverChannelTest : public ::testing::Test {
  protected:
    Channel& Make(ChannelFlavor flavor) {
        channel_ = std::make_unique<Channel>(host, os, clock, trace, flavor);
        return *channel_;
    }
    Channel& OpenNt(ChannelFlavor flavor = ChannelFlavor::Tool) {
        host.existing.insert("\\\\.\\ODRWINNT1");
        Channel& c = Make(flavor);
        EXPECT_EQ(0, c.OpenDriver());
        return c;
    }

    FakeAdapter adapter;
    test::FakeDeviceHost host{adapter};
    test::FakeOs os;
    test::FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    std::unique_ptr<Channel> channel_;
};

TEST_F(DriverChannelTest, NtPathTakesFirstNameAndCloseRemovesIt) {
    AdapterStatus status;
    status.cardInitialised = true;
    host.existing.insert("\\\\.\\ODRWINNT1");
    Channel& c = Make(ChannelFlavor::Tool);
    EXPECT_EQ(0, c.OpenDriver(&status));
    EXPECT_FALSE(status.cardInitialised);
    EXPECT_EQ(1, host.events);
    EXPECT_EQ(std::vector<std::string>{"ODRWINNT1=\\Device\\ODRWINNT1"}, host.defines);
    EXPECT_EQ(std::vector<std::string>{"\\\\.\\ODRWINNT1"}, host.opens);
    EXPECT_EQ(1, clock.yields);
    EXPECT_EQ("ODRWINNT1", c.DefinedName());
    EXPECT_EQ(0, c.GetDriverKind());
    EXPECT_TRUE(host.removes.empty());

    EXPECT_EQ(0, c.CloseDriver());
    EXPECT_EQ(std::vector<std::string>{"ODRWINNT1"}, host.removes);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_TRUE(c.DefinedName().empty());
}

TEST_F(DriverChannelTest, NtLoopRemovesNamesOfFailedAttempts) {
    host.existing.insert("\\\\.\\ODRWINNT3");
    Channel& c = Make(ChannelFlavor::Tool);
    EXPECT_EQ(0, c.OpenDriver());
    EXPECT_EQ(3, clock.yields);
    EXPECT_EQ((std::vector<std::string>{"ODRWINNT1", "ODRWINNT2"}), host.removes);
    EXPECT_EQ(std::set<std::string>{"ODRWINNT3"}, host.defined);
    EXPECT_EQ("ODRWINNT3", c.DefinedName());
}

TEST_F(DriverChannelTest, NtLoopWithoutDriverTriesAll999AndLeavesNoNames) {
    Channel& c = Make(ChannelFlavor::Tool);
    EXPECT_EQ(-1, c.OpenDriver());
    EXPECT_EQ(999, clock.yields);
    ASSERT_EQ(999u, host.opens.size());
    EXPECT_EQ("\\\\.\\ODRWINNT999", host.opens.back());
    EXPECT_EQ("ODRWINNT999=\\Device\\ODRWINNT999", host.defines.back());
    EXPECT_TRUE(host.defined.empty());
    EXPECT_FALSE(c.IsOpen());
}

TEST_F(DriverChannelTest, ReopenReleasesThePreviousName) {
    Channel& c = OpenNt();
    EXPECT_EQ(0, c.OpenDriver());
    EXPECT_EQ(std::vector<std::string>{"ODRWINNT1"}, host.removes);
    EXPECT_EQ(std::set<std::string>{"ODRWINNT1"}, host.defined);
}

TEST_F(DriverChannelTest, DeviceNamesByPlatformAndFlavour) {
    const std::string api = "\\\\.\\ODRAPI", vxd = "\\\\.\\QELMXCHM.VXD";
    struct Case {
        ChannelFlavor flavor;
        uint32_t platformId, major;
        std::set<std::string> existing;
        int result;
        uint16_t kind;
        std::vector<std::string> opens;
        int events;
    } cases[] = {
        {ChannelFlavor::Tool, 1, 4, {api, vxd}, 0, 0, {api + "|overlapped"}, 1},
        {ChannelFlavor::Tool, 1, 4, {vxd}, 0, 1, {api + "|overlapped", vxd + "|overlapped"}, 1},
        {ChannelFlavor::Tool, 1, 4, {}, -1, 1, {api + "|overlapped", vxd + "|overlapped"}, 1},
        {ChannelFlavor::Monitor, 1, 4, {vxd}, 0, 1, {api, vxd}, 0},
        {ChannelFlavor::Tool, 2, 5, {"\\\\.\\ODRWINNT1"}, 0, 0, {"\\\\.\\ODRWINNT1"}, 1},
        {ChannelFlavor::Tool, 0, 3, {"\\\\.\\ODRWINNT1"}, 0, 0, {"\\\\.\\ODRWINNT1"}, 1},
        {ChannelFlavor::Tool, 3, 5, {"\\\\.\\ODRWINNT1"}, -1, 0, {}, 1},
        {ChannelFlavor::Monitor, 3, 5, {"\\\\.\\ODRWINNT1"}, 0, 0, {"\\\\.\\ODRWINNT1"}, 0},
    };
    int i = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(i++);
        test::FakeDeviceHost h(adapter);
        h.existing = k.existing;
        os.version.platformId = k.platformId;
        os.version.major = k.major;
        Channel c(h, os, clock, trace, k.flavor);
        EXPECT_EQ(k.result, c.OpenDriver());
        EXPECT_EQ(k.kind, c.GetDriverKind());
        EXPECT_EQ(k.opens, h.opens);
        EXPECT_EQ(k.events, h.events);
        EXPECT_EQ(k.result == 0, c.IsOpen());
    }
}

TEST_F(DriverChannelTest, FailedCompletionEventFailsTheOpen) {
    host.existing.insert("\\\\.\\ODRWINNT1");
    host.eventOk = false;
    EXPECT_EQ(-1, Make(ChannelFlavor::Tool).OpenDriver());
    EXPECT_TRUE(host.opens.empty());
}

TEST_F(DriverChannelTest, RequestBlockLayout) {
    Channel& c = OpenNt();
    uint8_t data[5] = {1, 2, 3, 4, 5};
    adapter.script.push_back(FakeAnswer::Result(0));
    c.CallDriver(CMD_GET_DRIVER_DATA, 0, 5, data, sizeof data, 2);
    const std::vector<uint8_t> b = adapter.Block(0);
    ASSERT_EQ(kRequestBlockSize, b.size());
    EXPECT_EQ(0x02000003u, ReadU32(&b[0]));
    EXPECT_EQ(0u, ReadU32(&b[4]));
    EXPECT_EQ(5u, ReadU32(&b[8]));
    EXPECT_EQ(0xFFFFFFFFu, ReadU32(&b[12]));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 0}), std::vector<uint8_t>(&b[16], &b[22]));
    EXPECT_FALSE(adapter.WasOverlapped(0));
}

TEST_F(DriverChannelTest, LengthLimitAndEmptyRequests) {
    Channel& c = OpenNt();
    std::vector<uint8_t> big(2001, 0xAB);
    EXPECT_EQ(kNotCarried,
              c.CallDriver(CMD_SET_SECURITY_ID, 0, 2001, big.data(), uint32_t(big.size()), 0));
    EXPECT_EQ(0u, adapter.Calls());
    EXPECT_EQ(0, c.CallDriver(CMD_SET_SECURITY_ID, 0, 2000, big.data(), 2000, 0));
    EXPECT_EQ(2000u, adapter.DataOf(0).size());
    EXPECT_EQ(0xAB, adapter.DataOf(0)[1999]);

    // A request longer than the caller's own buffer is refused rather than over-read.
    EXPECT_EQ(kNotCarried, c.CallDriver(CMD_SET_SECURITY_ID, 0, 100, big.data(), 50, 0));
    EXPECT_EQ(1u, adapter.Calls());

    adapter.script.push_back(FakeAnswer::Result(4));
    EXPECT_EQ(4, c.CallDriver(CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, 0));
    EXPECT_EQ(0u, ReadU32(adapter.Block(1).data() + kReqLength));
}

TEST_F(DriverChannelTest, DeviceErrorsByFlavour) {
    struct Case {
        ChannelFlavor flavor;
        uint32_t error;
        int32_t blockResult;
        int expected;
        bool copied;
        std::string trace;
    } cases[] = {
        {ChannelFlavor::Tool, 997, 0, 0, true, ""},
        {ChannelFlavor::Tool, 997, 5, kNotCarried, false, ""},
        {ChannelFlavor::Monitor, 997, 0, kNotCarried, false, "DeviceIoControl Error:  997"},
        {ChannelFlavor::Tool, 259, 7, 7, true, ""},
        {ChannelFlavor::Monitor, 259, 7, 7, true, ""},
        {ChannelFlavor::Tool, 31, 0, kNotCarried, false, "DeviceIoControl Error:  31"},
        {ChannelFlavor::Monitor, 1167, 0, kNotCarried, false, "DeviceIoControl Error:  1167"},
    };
    int i = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(i++);
        traced.clear();
        Channel& c = OpenNt(k.flavor);
        FakeAnswer answer = FakeAnswer::Data({9, 8, 7}, k.blockResult);
        answer.ok = false;
        answer.error = k.error;
        adapter.script.push_back(answer);
        uint8_t reply[3] = {};
        EXPECT_EQ(k.expected, c.CallDriver(CMD_GET_COUNTRY_CODE, 0, 0, reply, sizeof reply, 0));
        EXPECT_EQ(k.copied ? 9 : 0, reply[0]);
        if (k.trace.empty())
            EXPECT_TRUE(traced.empty());
        else
            EXPECT_EQ(std::vector<std::string>{k.trace}, traced);
    }
}

TEST_F(DriverChannelTest, ClosedChannelDoesNotCarry) {
    Channel& c = Make(ChannelFlavor::Tool);
    EXPECT_EQ(kNotCarried, c.CallDriver(CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, 0));
    EXPECT_EQ(std::vector<std::string>{"DeviceIoControl Error:  6"}, traced);
}

TEST_F(DriverChannelTest, ReplyLengthsThatLie) {
    Channel& c = OpenNt();
    // A reply longer than the caller's capacity is cut there; bytes beyond stay untouched.
    std::vector<uint8_t> longReply(40, 0x5A);
    adapter.script.push_back(FakeAnswer::Data(longReply, 3));
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(3, c.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, buffer, 8, 0));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(0x5A, buffer[i]);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(0xEE, buffer[i]);
    ASSERT_EQ(1u, traced.size());
    EXPECT_EQ("CallDriver: reply of 40 bytes cut to 8", traced[0]);

    // A length field past the data area: nothing copied, result still returned.
    FakeAnswer huge = FakeAnswer::Data({1, 2}, 6);
    huge.hasLength = true;
    huge.length = 2001;
    adapter.script.push_back(huge);
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(6, c.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, buffer, sizeof buffer, 0));
    EXPECT_EQ(0xEE, buffer[0]);

    // A length field of 2000 with a small buffer is cut, never overrun.
    FakeAnswer full = FakeAnswer::Data({1, 2}, 0);
    full.hasLength = true;
    full.length = 2000;
    adapter.script.push_back(full);
    EXPECT_EQ(0, c.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, buffer, sizeof buffer, 0));
    EXPECT_EQ(1, buffer[0]);
}

TEST_F(DriverChannelTest, OverlappedCallWaitsOnPending) {
    Channel& c = OpenNt();
    FakeAnswer pending = FakeAnswer::Data({4, 3, 2, 1}, 5);
    pending.ok = false;
    pending.error = 997;
    adapter.script.push_back(pending);
    uint8_t buffer[4] = {};
    EXPECT_EQ(5, c.CallDriverOverlapped(CMD_TRANSMIT_PING_LONG, 0, 0, buffer, 4, 0));
    EXPECT_TRUE(adapter.WasOverlapped(0));
    EXPECT_EQ(1, adapter.waits);
    EXPECT_EQ(4, buffer[0]);

    // The monitor has no completion event: plain call, pending is a failure.
    Channel& m = OpenNt(ChannelFlavor::Monitor);
    adapter.script.push_back(pending);
    EXPECT_EQ(kNotCarried, m.CallDriverOverlapped(CMD_TRANSMIT_PING_LONG, 0, 0, buffer, 4, 0));
    EXPECT_FALSE(adapter.WasOverlapped(1));
    EXPECT_EQ(1, adapter.waits);
}

TEST_F(DriverChannelTest, TwoThreadsCallAtOnce) {
    Channel& c = OpenNt();
    // The driver echoes the data reversed and answers with the first byte.
    adapter.commands[CMD_SET_SECURITY_ID] = [](const uint8_t* data, uint32_t length) {
        std::vector<uint8_t> reply(data, data + length);
        std::reverse(reply.begin(), reply.end());
        return FakeAnswer::Data(reply, data[0]);
    };
    auto worker = [&c](uint8_t tag, uint32_t length, int* failures) {
        for (int i = 0; i < 500; ++i) {
            std::vector<uint8_t> data(length);
            for (uint32_t j = 0; j < length; ++j) data[j] = uint8_t(tag + j);
            const int result = c.CallDriver(CMD_SET_SECURITY_ID, 0, length, data.data(), length, 0);
            if (result != tag || data[0] != uint8_t(tag + length - 1)) ++*failures;
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(worker, uint8_t(10), 33u, &failuresA);
    std::thread b(worker, uint8_t(90), 1700u, &failuresB);
    a.join();
    b.join();
    EXPECT_EQ(0, failuresA);
    EXPECT_EQ(0, failuresB);
    EXPECT_EQ(1000u, adapter.Calls());
}

TEST(DriverTraceTest, RoutedByEnvironment) {
    struct Case {
        const char* value;
        int debugLines;
        bool file;
    } cases[] = {{nullptr, 0, false}, {"0", 0, false}, {"1", 1, false}, {"C:\\odr.log", 0, true}};
    for (const Case& k : cases) {
        test::FakeOs os;
        if (k.value) os.env["ODR_TRACE"] = k.value;
        Trace t = Trace::FromEnvironment(os);
        t.Message("GetDriverData in GetVersion");
        EXPECT_EQ(size_t(k.debugLines), os.debugOutput.size());
        if (k.file)
            EXPECT_EQ("GetDriverData in GetVersion\n", os.appended[k.value]);
        else
            EXPECT_TRUE(os.appended.empty());
    }
}

}  // namespace
}  // namespace odr
