// Ping and signal measurement: request blocks, the retry rules and the calibration table.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"

namespace odr {
namespace {

using test::FakeAnswer;

// A ping reply: send time at 8, the handle or long value at 12.
FakeAnswer PingAnswer(int32_t result, uint32_t sendTime, uint32_t value) {
    std::vector<uint8_t> reply(kPingLongSize, 0);
    WriteU32(&reply[8], sendTime);
    WriteU32(&reply[12], value);
    return FakeAnswer::Data(reply, result);
}

class DriverMeasureTest : public ::testing::Test, protected test::OpenFakeChannel {
  protected:
    DriverMeasureTest() { adapter.items[ITEM_SYNC_STATE] = {1}; }
    int Ping(bool longForm, uint32_t length = 64) {
        return SendPing(channel, "0020a6010203", length, 3, &sync, &sendTime, &handle, 0, longForm,
                        &longValue);
    }

    AdapterStatus status;
    RssiTable rssi;
    AdapterContext context{channel, clock, os, status, rssi, nullptr};
    uint8_t sync = 0, handle = 0;
    uint32_t sendTime = 0, longValue = 0;
};

TEST_F(DriverMeasureTest, PingBlocksOfBothForms) {
    adapter.script = {FakeAnswer::Pass(), PingAnswer(0, 0x11223344, 9)};
    ASSERT_EQ(0, Ping(false, 1500));
    std::vector<uint8_t> b = adapter.DataOf(1);
    ASSERT_EQ(1518u, b.size());
    EXPECT_EQ(CMD_TRANSMIT_PING, adapter.CommandOf(1));
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x20, 0xa6, 0x01, 0x02, 0x03, 3, 0, 0, 0, 0, 0, 0, 0}),
              std::vector<uint8_t>(b.begin(), b.begin() + 14));
    EXPECT_EQ(1500u, ReadU32(&b[14]));
    EXPECT_EQ(0x11223344u, sendTime);
    EXPECT_EQ(9, handle);

    adapter.script = {FakeAnswer::Pass(), PingAnswer(0, 1000, 1750)};
    ASSERT_EQ(0, Ping(true, 9000));  // more than 1500 is sent as 1500
    b = adapter.DataOf(3);
    ASSERT_EQ(1520u, b.size());
    EXPECT_EQ(CMD_TRANSMIT_PING_LONG, adapter.CommandOf(3));
    EXPECT_TRUE(adapter.overlapped[3]);
    EXPECT_EQ(std::vector<uint8_t>(9, 0), std::vector<uint8_t>(b.begin() + 7, b.begin() + 16));
    EXPECT_EQ(1500u, ReadU32(&b[16]));
    EXPECT_EQ(1750u, longValue);

    adapter.items[ITEM_SYNC_STATE] = {0};
    EXPECT_EQ(0, Ping(false));
    EXPECT_EQ(5u, adapter.sent.size());  // no master: nothing sent
}

TEST_F(DriverMeasureTest, PingRetryRules) {
    struct Case {
        bool longForm;
        int first;
        bool retried;
    } cases[] = {
        {false, -5, true},     {false, -6, true},   {false, -7, true}, {false, -4, false},
        {false, 1, false},     {true, 0x800, true}, {true, 1, true},   {true, 2, true},
        {true, 3, false},      {true, -5, true},  // a negative result carries bit 0x800
        {true, 0x1000, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.longForm) + " " + std::to_string(k.first));
        adapter.sent.clear();
        const uint32_t code = k.longForm ? CMD_TRANSMIT_PING_LONG : CMD_TRANSMIT_PING;
        int transmits = 0, receives = 0;
        adapter.commands[code] = [&](const uint8_t* data, uint32_t) {
            EXPECT_EQ(0, data[8]);  // the retry is the request afresh, not the first reply
            return ++transmits == 1 ? PingAnswer(k.first, 500, 5) : PingAnswer(0, 600, 6);
        };
        adapter.commands[CMD_RECEIVE_PING] = [&](const uint8_t*, uint32_t) {
            return FakeAnswer::Result(++receives <= 2 ? 1 : 0);  // two answers queued
        };
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
            EXPECT_EQ(2u, adapter.sent.size());
            EXPECT_EQ(500u, sendTime);
        }
    }
}

TEST_F(DriverMeasureTest, CalibrationWorkedExampleAndUnusableCounts) {
    uint8_t count = 2;
    adapter.commands[CMD_READ_RSSI_CALIBRATION] = [&count](const uint8_t* data, uint32_t n) {
        std::vector<uint8_t> reply(data, data + n);
        reply[4] = count;
        reply[5] = 40, reply[6] = 200, reply[7] = 60, reply[8] = 150;
        return FakeAnswer::Data(reply);
    };
    char text[256] = "stale";
    ASSERT_EQ(0, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_STREQ("<-40dBm:200> <-60dBm:150> ", text);
    EXPECT_EQ((std::vector<uint8_t>{128, 0, 21, 0}),
              std::vector<uint8_t>(adapter.sent[0].begin() + kReqData,
                                   adapter.sent[0].begin() + kReqData + 4));
    EXPECT_EQ(260u, adapter.DataOf(0).size());
    RssiTable expected;
    BuildDefaultRssiTable(&expected);
    for (int r = 0; r < 256; ++r) EXPECT_EQ(r < 100 ? 0 : r > 200 ? 100 : r - 100, rssi[r]) << r;

    count = 11;
    rssi.percent[50] = 77;
    EXPECT_EQ(-1, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, std::memcmp(expected.percent, rssi.percent, 256));

    adapter.script.push_back(FakeAnswer::Result(4));
    rssi.percent[50] = 77;
    EXPECT_EQ(4, LoadRSSITable(context, text, sizeof text, 0));
    EXPECT_EQ(77, rssi[50]);  // a refused read leaves the table
}

TEST_F(DriverMeasureTest, RetryAsksForTheSyncStateAgain) {
    struct Case {
        bool longForm;
        bool refuse;  // the second read of the sync state is refused
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.longForm) + " " + std::to_string(k.refuse));
        adapter.Clear();
        adapter.refused.clear();
        adapter.items[ITEM_SYNC_STATE] = {1};
        traced.clear();
        const uint32_t code = k.longForm ? CMD_TRANSMIT_PING_LONG : CMD_TRANSMIT_PING;
        // The busy send is the moment the adapter loses its master.
        adapter.commands[code] = [this, k](const uint8_t*, uint32_t) {
            adapter.items[ITEM_SYNC_STATE] = {0};
            if (k.refuse) adapter.refused = {ITEM_SYNC_STATE};
            return PingAnswer(k.longForm ? 1 : -6, 500, 5);
        };
        sync = 0xCC;
        sendTime = 77;
        handle = 8;
        EXPECT_EQ(k.refuse ? kItemMissing : kOk, Ping(k.longForm));
        EXPECT_EQ(1, adapter.Count(code));  // nothing sent without a master
        EXPECT_EQ(2, adapter.Count(CMD_GET_DRIVER_DATA));
        EXPECT_EQ(k.refuse ? 1 : 0, sync);
        EXPECT_EQ(77u, sendTime);
        EXPECT_EQ(8, handle);
        if (k.refuse) {
            EXPECT_EQ("GetfromDataList in SendPing's TransmitPing", traced.back());
        }
    }
}

TEST_F(DriverMeasureTest, DrainOfAnswersIsBounded) {
    adapter.commands[CMD_TRANSMIT_PING] = [](const uint8_t*, uint32_t) {
        return PingAnswer(-5, 500, 5);
    };
    adapter.commands[CMD_RECEIVE_PING] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Result(1);  // a queue that never empties
    };
    EXPECT_EQ(-5, Ping(false));
    EXPECT_EQ(kMaxDrainedReplies, adapter.Count(CMD_RECEIVE_PING));
    EXPECT_EQ(1, adapter.Count(CMD_TRANSMIT_PING));  // no retry into a jammed driver
    EXPECT_EQ("ReceivePing in SendPing", traced.back());
}

// A calibration reply with the given (level, raw) points.
test::FakeAdapter::Handler Calibration(std::vector<uint8_t> points) {
    return [points](const uint8_t* data, uint32_t n) {
        std::vector<uint8_t> reply(data, data + n);
        reply[4] = uint8_t(points.size() / 2);
        std::copy(points.begin(), points.end(), reply.begin() + 5);
        return FakeAnswer::Data(reply);
    };
}

TEST_F(DriverMeasureTest, CalibrationTablesOtherThanTheDefault) {
    struct Case {
        std::vector<uint8_t> points;
        std::vector<std::pair<int, int>> expected;  // raw, percentage
    } cases[] = {
        // 100 % at 200, 25 % at 140: rises from 120 at 1.25 a step.
        {{40, 200, 70, 140}, {{120, 0}, {121, 1}, {130, 13}, {140, 25}, {170, 63}, {200, 100}}},
        // The weakest point at 0 %: its break point equals the start, one step passes flat
        // and the sum stays one step behind up to the top.
        {{40, 130, 80, 110},
         {{110, 0}, {111, 0}, {112, 5}, {129, 90}, {130, 95}, {131, 95}, {255, 95}}},
        // Three points, the middle one bending the line.
        {{40, 240, 60, 160, 70, 150}, {{139, 0}, {150, 25}, {160, 50}, {200, 75}, {240, 100}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.points[1]));
        adapter.commands[CMD_READ_RSSI_CALIBRATION] = Calibration(k.points);
        char text[256];
        ASSERT_EQ(0, LoadRSSITable(context, text, sizeof text, 0));
        for (const auto& [raw, percent] : k.expected) EXPECT_EQ(percent, rssi[raw]) << raw;
    }
}

TEST_F(DriverMeasureTest, RawReadingsAreMappedThroughTheTable) {
    for (int r = 0; r < 256; ++r) rssi.percent[r] = uint8_t(r / 3);
    std::vector<uint8_t> reply(kPingReplySize, 0);
    const uint8_t from[6] = {0x00, 0x20, 0xa6, 0x20, 0x00, 0x07};
    std::copy(from, from + 6, reply.begin());
    reply[12] = 180;
    WriteU32(&reply[14], 0x01020304);
    adapter.script = {FakeAnswer::Data(reply, 1)};
    char node[13] = "unchanged";
    uint32_t value = 0;
    uint8_t signal = 0;
    ASSERT_EQ(1, GetPing(context, node, &value, &signal, 0));
    EXPECT_STREQ("0020a6200007", node);
    EXPECT_EQ(0x01020304u, value);
    EXPECT_EQ(60, signal);
    adapter.script = {FakeAnswer::Result(0)};
    std::strcpy(node, "unchanged");
    EXPECT_EQ(0, GetPing(context, node, &value, &signal, 0));
    EXPECT_STREQ("unchanged", node);

    adapter.Clear();
    adapter.commands[CMD_GET_RSSI] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Data({150});
    };
    uint8_t reading = 0;
    ASSERT_EQ(0, GetRSSI_freq(context, &reading, 42, 0));
    EXPECT_EQ((std::vector<uint32_t>{CMD_DISABLE_HOPPING, CMD_GET_RSSI}), adapter.Commands());
    EXPECT_EQ(std::vector<uint8_t>{42}, adapter.DataOf(0));
    EXPECT_EQ(1u, adapter.DataOf(1).size());
    EXPECT_EQ(50, reading);
}

TEST_F(DriverMeasureTest, PollPingBlock) {
    uint32_t completion = 7;
    adapter.script = {FakeAnswer::Data({9, 0, 0x44, 0x33, 0x22, 0x11}, 0),
                      FakeAnswer::Data({9, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 1)};
    ASSERT_EQ(0, PollPing(channel, 9, &completion, 0));
    EXPECT_EQ(CMD_POLL_PING, adapter.CommandOf(0));
    EXPECT_EQ((std::vector<uint8_t>{9, 0, 0, 0, 0, 0}), adapter.DataOf(0));
    EXPECT_EQ(0x11223344u, completion);
    EXPECT_EQ(1, PollPing(channel, 9, &completion, 0));
    EXPECT_EQ(0x11223344u, completion);  // only a completed ping has a time
}

void ExpectSoundTable(const RssiTable& table, const std::string& what) {
    ASSERT_EQ(0, table[0]) << what;
    for (int r = 1; r < 256; ++r) {
        ASSERT_LE(table[uint8_t(r)], 100) << what << " raw " << r;
        ASSERT_GE(table[uint8_t(r)], table[uint8_t(r - 1)]) << what << " raw " << r;
    }
}

TEST(DriverRssiTableTest, HostileCalibrationsGiveSoundTables) {
    const std::vector<uint8_t> cases[] = {
        {80, 100, 60, 150, 40, 200},  // weakest first
        {50, 120, 50, 120, 50, 120},  // repeated
        {10, 250, 20, 240},           // stronger than -40 dBm
        {90, 30, 120, 10},            // weaker than -80 dBm
        {80, 200, 40, 100},           // level falls as raw rises
        {0, 255, 255, 0},
    };
    for (const auto& points : cases) {
        RssiTable table;
        BuildRssiTable(points.data(), int(points.size() / 2), &table);
        ExpectSoundTable(table, std::to_string(points[0]) + "/" + std::to_string(points[1]));
    }
    // One point: a choice of ours, rising through the point to 100 at raw 255.
    for (const auto& p : std::vector<std::vector<uint8_t>>{{60, 150}, {40, 0}, {90, 255}}) {
        RssiTable table;
        BuildRssiTable(p.data(), 1, &table);
        ExpectSoundTable(table, "single " + std::to_string(p[1]));
        EXPECT_EQ(100, table[255]);
    }

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255), count(1, 10), level(30, 90);
    for (int i = 0; i < 20000 && !::testing::Test::HasFatalFailure(); ++i) {
        std::vector<uint8_t> points(2 * count(random));
        for (size_t j = 0; j < points.size(); j += 2) {
            points[j] = uint8_t(i % 2 ? level(random) : byte(random));
            points[j + 1] = uint8_t(byte(random));
        }
        RssiTable table;
        BuildRssiTable(points.data(), int(points.size() / 2), &table);
        ExpectSoundTable(table, "random " + std::to_string(i));
    }
}

}  // namespace
}  // namespace odr

TEST(SignalBarTest, RoundsUpToTensAndStopsAt100) {
    const int cases[][2] = {{-5, 0},  {0, 0},   {1, 10},   {10, 10},   {11, 20},
                            {60, 60}, {61, 70}, {95, 100}, {100, 100}, {250, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(odr::SignalBar(c[0]), c[1]) << c[0];
    }
}
