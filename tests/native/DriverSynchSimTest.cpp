// SynchToMaster against the simulated adapter, which needs real time to acquire a master:
// on a clock that only sleeping moves, every master of the default site is reached.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "fakes/FakePlatform.h"
#include "sim/SimDevice.h"

namespace odr {
namespace {

class DriverSynchSimTest : public ::testing::Test {
  protected:
    DriverSynchSimTest() {
        clock.yieldStepMs = 0;  // yielding takes no time, as on a fast machine
        EXPECT_EQ(0, channel.OpenDriver(&status));
    }
    int Synch(uint8_t domain, uint8_t channelNumber, uint8_t subchannel, const char* name,
              const char* address) {
        char padded[12] = {};
        std::strncpy(padded, name, sizeof padded - 1);
        return SynchToMaster(context, kStation, domain, channelNumber, subchannel, padded, address,
                             0);
    }

    test::FakeClock clock;
    test::FakeOs os;
    sim::SimDeviceHost host{sim::DefaultScenario(), clock};
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    Channel channel{host, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext context{channel, clock, os, status, rssi, nullptr};
};

TEST_F(DriverSynchSimTest, ReachesEveryMasterOfTheDefaultSite) {
    const int yields = clock.yields;
    uint8_t sync = 0;
    ASSERT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(1, sync);
    EXPECT_STREQ("0020a6100001", status.masterAddress);

    struct Case {
        const char* name;
        const char* address;
        uint8_t domain, channel, subchannel;
    } cases[] = {
        {"WAREHOUSE", "0020a6100002", 1, 9, 2},
        {"ANNEX", "0020a6100003", 7, 5, 1},
        {"LOBBY", "0020a6100001", 1, 3, 1},  // the master it is already with
        {"GUEST", "0020a6100004", 1, 12, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        if (std::strcmp(k.name, "GUEST") == 0) {
            char id[] = "GUESTNET";
            ASSERT_EQ(0, channel.CallDriver(CMD_SET_SECURITY_ID, 0, sizeof id, id, sizeof id, 0));
        }
        const uint32_t start = clock.now;
        EXPECT_EQ(0, Synch(k.domain, k.channel, k.subchannel, k.name, k.address));
        EXPECT_STREQ(k.address, status.masterAddress);
        EXPECT_STREQ(k.name, status.masterName);
        // The site's acquisition time (twice for the first, which restarts the roaming
        // card), not the whole limit.
        EXPECT_GE(clock.now - start, 300u);
        EXPECT_LT(clock.now - start, 700u);
    }
    EXPECT_EQ(yields, clock.yields);

    // A master that is not heard: -2 once the limit has passed.
    const uint32_t start = clock.now;
    EXPECT_EQ(-2, Synch(1, 4, 1, "NOWHERE", "0020a6109999"));
    EXPECT_GE(clock.now - start, 5000u);
}

}  // namespace
}  // namespace odr
