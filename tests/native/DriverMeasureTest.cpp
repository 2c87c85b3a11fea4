// Ping and signal measurement: request blocks, the retry rules and the calibration table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/RssiTable.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"

namespace odr {
namespace {

using test::FakeAnswer;

// A ping reply block: send time at 8 and the handle or long value at 12.
FakeAnswer PingAnswer(int32_t result, uint32_t sendTime, uint32_t value, size_t size) {
    std::vector<uint8_t> reply(size, 0);
    WriteU32(&reply[8], sendTime);
    WriteU32(&reply[12], value);
    return FakeAnswer::Data(reply, result);
}

class DriverMeasureTest : public ::testing::Test {
  protected:
    DriverMeasureTest() {
        host.existing.insert("\\\\.\\ODRWINNT1");
        channel.OpenDriver();
        adapter.items[ITEM_SYNC_STATE] = {1};
    }
    int Ping(bool longForm, uint32_t length = 64) {
        return SendPing(channel, "0020a6010203", length, 3, &sync, &sendTime, &handle, 0,
                        longForm ? 1 : 0, &longValue);
    }
    // Answers for one LoadRSSITable call with these (level, raw) pairs.
    void Calibration(std::vector<uint8_t> points, int count = -1) {
        adapter.commands[CMD_READ_RSSI_CALIBRATION] = [points, count](const uint8_t* data,
                                                                      uint32_t n) {
            std::vector<uint8_t> reply(data, data + n);
            reply[4] = uint8_t(count >= 0 ? count : int(points.size() / 2));
            for (size_t i = 0; i < points.size() && 5 + i < reply.size(); ++i)
                reply[5 + i] = points[i];
            return FakeAnswer::Data(reply);
        };
    }
    std::vector<int> Table() const { return std::vector<int>(rssi.percent, rssi.percent + 256); }

    test::FakeAdapter adapter;
    test::FakeDeviceHost host{adapter};
    test::FakeOs os;
    test::FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    Channel channel{host, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext context{channel, clock, os, status, rssi, nullptr};

    uint8_t sync = 0xCC, handle = 0xCC;
    uint32_t sendTime = 0xCCCC, longValue = 0xCCCC;
};

TEST_F(DriverMeasureTest, ShortPingBlock) {
    adapter.commands[CMD_TRANSMIT_PING] = [](const uint8_t*, uint32_t) {
        return PingAnswer(0, 0x11223344, 9, kPingShortSize);
    };
    ASSERT_EQ(0, Ping(false, 1500));
    EXPECT_EQ((std::vector<uint32_t>{CMD_GET_DRIVER_DATA, CMD_TRANSMIT_PING}), adapter.Commands());
    const std::vector<uint8_t> b = adapter.DataOf(1);
    ASSERT_EQ(1518u, b.size());
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x20, 0xa6, 0x01, 0x02, 0x03, 3, 0, 0, 0, 0, 0, 0, 0}),
              std::vector<uint8_t>(b.begin(), b.begin() + 14));
    EXPECT_EQ(1500u, ReadU32(&b[14]));
    EXPECT_EQ(std::vector<uint8_t>(1500, 0), std::vector<uint8_t>(b.begin() + 18, b.end()));
    EXPECT_FALSE(adapter.WasOverlapped(1));
    EXPECT_EQ(1, sync);
    EXPECT_EQ(0x11223344u, sendTime);
    EXPECT_EQ(9, handle);
    EXPECT_EQ(0xCCCCu, longValue);
}

TEST_F(DriverMeasureTest, LongPingBlock) {
    adapter.commands[CMD_TRANSMIT_PING_LONG] = [](const uint8_t*, uint32_t) {
        return PingAnswer(0, 1000, 1750, kPingLongSize);
    };
    ASSERT_EQ(0, Ping(true, 9000));  // more than 1500 is sent as 1500
    const std::vector<uint8_t> b = adapter.DataOf(1);
    ASSERT_EQ(1520u, b.size());
    EXPECT_EQ(CMD_TRANSMIT_PING_LONG, adapter.CommandOf(1));
    EXPECT_TRUE(adapter.WasOverlapped(1));
    EXPECT_EQ(3, b[6]);
    EXPECT_EQ(std::vector<uint8_t>(9, 0), std::vector<uint8_t>(b.begin() + 7, b.begin() + 16));
    EXPECT_EQ(1500u, ReadU32(&b[16]));
    EXPECT_EQ(1000u, sendTime);
    EXPECT_EQ(1750u, longValue);
    EXPECT_EQ(0xCC, handle);
}

TEST_F(DriverMeasureTest, PingNotSentWithoutMaster) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    EXPECT_EQ(0, Ping(false));
    EXPECT_EQ(0, sync);
    EXPECT_EQ(1u, adapter.Calls());
    EXPECT_EQ(0xCCCCu, sendTime);

    EXPECT_EQ(kItemMissing,
              SendPing(channel, "00z0a6010203", 0, 0, &sync, &sendTime, &handle, 0, 0, &longValue));
    EXPECT_EQ(1u, adapter.Calls());
}

TEST_F(DriverMeasureTest, PingRetryRules) {
    struct Case {
        bool longForm;
        int first;
        bool retried;
    } cases[] = {
        {false, -5, true}, {false, -6, true},  {false, -7, true},   {false, -4, false},
        {false, 1, false}, {false, -9, false}, {true, 0x800, true}, {true, 0x803, true},
        {true, 1, true},   {true, 2, true},    {true, 3, false},    {true, 0x1000, false},
        {true, -5, true},  // a negative result carries bit 0x800
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.longForm) + " " + std::to_string(k.first));
        adapter.Clear();
        traced.clear();
        const uint32_t code = k.longForm ? CMD_TRANSMIT_PING_LONG : CMD_TRANSMIT_PING;
        const size_t size = k.longForm ? kPingLongSize : kPingShortSize;
        int transmits = 0;
        adapter.commands[code] = [&](const uint8_t* data, uint32_t) {
            // The retry carries the request afresh, not the first reply.
            EXPECT_EQ(0x00, data[8]);
            return ++transmits == 1 ? PingAnswer(k.first, 500, 5, size)
                                    : PingAnswer(0, 600, 6, size);
        };
        int receives = 0;
        adapter.commands[CMD_RECEIVE_PING] = [&](const uint8_t*, uint32_t) {
            return FakeAnswer::Result(++receives <= 2 ? 1 : 0);  // two queued answers
        };
        sendTime = 0;
        const int result = Ping(k.longForm);
        if (k.retried) {
            EXPECT_EQ(0, result);
            EXPECT_EQ((std::vector<uint32_t>{CMD_GET_DRIVER_DATA, code, CMD_RECEIVE_PING,
                                             CMD_RECEIVE_PING, CMD_RECEIVE_PING,
                                             CMD_GET_DRIVER_DATA, code}),
                      adapter.Commands());
            EXPECT_EQ(600u, sendTime);
        } else {
            EXPECT_EQ(k.first, result);
            EXPECT_EQ(2u, adapter.Calls());
            EXPECT_EQ(500u, sendTime);
        }
    }
}

TEST_F(DriverMeasureTest, PingRetryFailures) {
    struct Case {
        int receiveEnd;
        uint8_t syncAfterDrain;
        int second;
        int result;
        std::vector<std::string> traces;
    } cases[] = {
        {-2, 1, 0, -2, {"ReceivePing in SendPing"}},
        {0, 0, 0, 0, {}},
        {0, 1, -6, -6, {"TransmitPing 2 in SendPing"}},
    };
    for (const Case& k : cases) {
        adapter.Clear();
        traced.clear();
        adapter.items[ITEM_SYNC_STATE] = {1};
        int transmits = 0;
        adapter.commands[CMD_TRANSMIT_PING] = [&](const uint8_t*, uint32_t) {
            return PingAnswer(++transmits == 1 ? -5 : k.second, 1, 2, kPingShortSize);
        };
        adapter.commands[CMD_RECEIVE_PING] = [&](const uint8_t*, uint32_t) {
            adapter.items[ITEM_SYNC_STATE] = {k.syncAfterDrain};
            return FakeAnswer::Result(k.receiveEnd);
        };
        EXPECT_EQ(k.result, Ping(false));
        EXPECT_EQ(k.traces, traced);
    }

    adapter.Clear();
    traced.clear();
    adapter.items[ITEM_SYNC_STATE] = {1};
    adapter.commands[CMD_RECEIVE_PING] = [&](const uint8_t*, uint32_t) {
        adapter.refused = {ITEM_SYNC_STATE};
        return FakeAnswer::Result(0);
    };
    adapter.commands[CMD_TRANSMIT_PING] = [](const uint8_t*, uint32_t) {
        return PingAnswer(-7, 1, 2, kPingShortSize);
    };
    EXPECT_EQ(kItemMissing, Ping(false));
    EXPECT_EQ(std::vector<std::string>{"GetfromDataList in SendPing's TransmitPing"}, traced);
}

TEST_F(DriverMeasureTest, PollPingBlock) {
    adapter.script.push_back(FakeAnswer::Data({7, 0, 0x10, 0x27, 0, 0}, 0));
    uint32_t done = 0;
    EXPECT_EQ(0, PollPing(channel, 7, &done, 0));
    EXPECT_EQ(10000u, done);
    EXPECT_EQ(CMD_POLL_PING, adapter.CommandOf(0));
    EXPECT_EQ((std::vector<uint8_t>{7, 0, 0, 0, 0, 0}), adapter.DataOf(0));

    adapter.script.push_back(FakeAnswer::Data({7, 0, 0x11, 0x11, 0, 0}, 1));
    EXPECT_EQ(1, PollPing(channel, 7, &done, 0));
    EXPECT_EQ(10000u, done);
}

TEST_F(DriverMeasureTest, GetPingResults) {
    BuildDefaultRssiTable(&rssi);
    std::vector<uint8_t> reply(kPingReplySize, 0);
    const uint8_t node[6] = {0xde, 0xad, 0xbe, 0xef, 0x00, 0x01};
    std::copy(node, node + 6, reply.begin());
    reply[12] = 180;
    WriteU32(&reply[14], 4242);
    char text[13] = "unchanged";
    uint32_t value = 0;
    uint8_t signal = 0;

    adapter.script.push_back(FakeAnswer::Data(reply, 1));
    EXPECT_EQ(1, GetPing(context, text, &value, &signal, 0));
    EXPECT_STREQ("deadbeef0001", text);
    EXPECT_EQ(80, signal);
    EXPECT_EQ(4242u, value);
    EXPECT_EQ(CMD_RECEIVE_PING, adapter.CommandOf(0));
    EXPECT_EQ(0u, adapter.DataOf(0).size());

    std::strcpy(text, "unchanged");
    adapter.script.push_back(FakeAnswer::Result(0));
    EXPECT_EQ(0, GetPing(context, text, &value, &signal, 0));
    EXPECT_STREQ("unchanged", text);
    EXPECT_TRUE(traced.empty());

    adapter.script.push_back(FakeAnswer::Data(reply, -3));
    EXPECT_EQ(-3, GetPing(context, text, &value, &signal, 0));
    EXPECT_EQ(std::vector<std::string>{"Error in GetPing"}, traced);
}

TEST_F(DriverMeasureTest, SignalOnOneFrequency) {
    BuildDefaultRssiTable(&rssi);
    adapter.commands[CMD_GET_RSSI] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Data({150});
    };
    uint8_t reading = 0;
    EXPECT_EQ(0, GetRSSI_freq(context, &reading, 42, 0));
    EXPECT_EQ(50, reading);
    EXPECT_EQ((std::vector<uint32_t>{CMD_DISABLE_HOPPING, CMD_GET_RSSI}), adapter.Commands());
    EXPECT_EQ(std::vector<uint8_t>{42}, adapter.DataOf(0));

    adapter.script.push_back(FakeAnswer::Result(2));
    EXPECT_EQ(2, GetRSSI_freq(context, &reading, 1, 0));
    adapter.script = {FakeAnswer::Pass(), FakeAnswer::Result(-9)};
    EXPECT_EQ(-9, GetRSSI_freq(context, &reading, 1, 0));
    EXPECT_EQ((std::vector<std::string>{"GetRSSI_freq calling DisableHopping",
                                        "GetRSSI_freq calling GetRSSI"}),
              traced);
}

TEST_F(DriverMeasureTest, WorkedCalibrationExample) {
    Calibration({40, 200, 60, 150});
    char text[256] = "stale";
    ASSERT_EQ(0, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_STREQ("<-40dBm:200> <-60dBm:150> ", text);
    for (int r = 0; r < 256; ++r) EXPECT_EQ(r < 100 ? 0 : r > 200 ? 100 : r - 100, rssi[r]) << r;

    const std::vector<uint8_t> request = adapter.DataOf(0);
    ASSERT_EQ(260u, request.size());
    EXPECT_EQ((std::vector<uint8_t>{128, 0, 21, 0, 0}),
              std::vector<uint8_t>(request.begin(), request.begin() + 5));
}

TEST_F(DriverMeasureTest, CoincidingBreakPointsStayOneStepBehind) {
    // The weakest point is at 0 %, so the table starts rising at its own raw reading.
    Calibration({40, 200, 80, 100});
    char text[256];
    ASSERT_EQ(0, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_EQ(0, rssi[101]);
    EXPECT_EQ(1, rssi[102]);
    EXPECT_EQ(99, rssi[200]);
    EXPECT_EQ(99, rssi[255]);
}

TEST_F(DriverMeasureTest, UnusableOrRefusedCalibration) {
    for (int count : {0, 11, 255}) {
        Calibration({40, 200, 60, 150}, count);
        char text[256] = "stale";
        rssi.percent[50] = 77;
        EXPECT_EQ(-1, LoadRSSITable(context, text, sizeof text, 0));
        EXPECT_STREQ("", text);
        EXPECT_EQ(0, rssi[50]);
        EXPECT_EQ(50, rssi[150]);
        EXPECT_EQ(100, rssi[255]);
    }
    adapter.commands[CMD_READ_RSSI_CALIBRATION] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Result(4);
    };
    char text[256] = "stale";
    rssi.percent[50] = 77;
    EXPECT_EQ(4, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_STREQ("stale", text);
    EXPECT_EQ(77, rssi[50]);
}

void ExpectSoundTable(const RssiTable& table, const std::string& what) {
    EXPECT_EQ(0, table[0]) << what;
    for (int r = 1; r < 256; ++r) {
        ASSERT_LE(table[uint8_t(r)], 100) << what << " raw " << r;
        ASSERT_GE(table[uint8_t(r)], table[uint8_t(r - 1)]) << what << " raw " << r;
    }
}

TEST(DriverRssiTableTest, HostileCalibrations) {
    const struct {
        const char* what;
        std::vector<uint8_t> points;
    } cases[] = {
        {"reversed order", {80, 100, 60, 150, 40, 200}},
        {"repeated point", {50, 120, 50, 120, 50, 120}},
        {"stronger than -40 dBm", {10, 250, 20, 240}},
        {"weaker than -80 dBm", {90, 30, 120, 10}},
        {"rising raw with falling level", {40, 10, 80, 250}},
        {"extremes", {0, 255, 255, 0}},
        {"level falls as raw rises", {80, 200, 40, 100}},
        {"zero raw", {40, 0, 60, 0}},
        {"ten points",
         {40, 250, 44, 230, 48, 210, 52, 190, 56, 170, 60, 150, 64, 130, 68, 110, 72, 90, 76, 70}},
    };
    for (const auto& k : cases) {
        RssiTable table;
        BuildRssiTable(k.points.data(), int(k.points.size() / 2), &table);
        ExpectSoundTable(table, k.what);
    }
}

TEST(DriverRssiTableTest, SinglePointReachesFullScale) {
    const uint8_t points[][2] = {{60, 150}, {40, 0}, {40, 255}, {90, 255}, {0, 10}, {255, 128}};
    for (const auto& p : points) {
        RssiTable table;
        BuildRssiTable(p, 1, &table);
        const std::string what = std::to_string(p[0]) + "/" + std::to_string(p[1]);
        ExpectSoundTable(table, what);
        EXPECT_EQ(100, table[255]) << what;
    }
    RssiTable table;
    const uint8_t mid[2] = {60, 150};
    BuildRssiTable(mid, 1, &table);
    EXPECT_EQ(50, table[150]);
}

TEST(DriverRssiTableTest, RandomCalibrationsAreSound) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255), count(1, 10), near(30, 90);
    for (int i = 0; i < 20000; ++i) {
        const int n = count(random);
        std::vector<uint8_t> points(2 * n);
        for (int j = 0; j < n; ++j) {
            // Half the cases near the real range of levels, half anything at all.
            points[2 * j] = uint8_t(i % 2 ? near(random) : byte(random));
            points[2 * j + 1] = uint8_t(byte(random));
        }
        RssiTable table;
        BuildRssiTable(points.data(), n, &table);
        ExpectSoundTable(table, "calibration " + std::to_string(i));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace odr
