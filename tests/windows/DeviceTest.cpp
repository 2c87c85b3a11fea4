// The real device without the adapter's driver: every open fails cleanly and fast.
#include <gtest/gtest.h>

#include <chrono>

#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/win32/Win32Device.h"
#include "native/fakes/FakePlatform.h"
#include "platform/win32/Win32Platform.h"

namespace odr {
namespace {

TEST(DeviceTest, OpenWithoutDriverFailsFast) {
    std::unique_ptr<DeviceHost> host = CreateWin32DeviceHost();
    std::unique_ptr<platform::Clock> clock = platform::CreateWin32Clock();
    std::vector<std::string> traced;
    Trace trace([&traced](const std::string& text) { traced.push_back(text); });
    const uint32_t platforms[] = {2, 1};  // the numbered NT names, then the Windows 95 names
    for (uint32_t platformId : platforms) {
        for (ChannelFlavor flavor : {ChannelFlavor::Tool, ChannelFlavor::Monitor}) {
            SCOPED_TRACE(platformId);
            test::FakeOs os;
            os.version.platformId = platformId;
            Channel channel(*host, os, *clock, trace, flavor);
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(-1, channel.OpenDriver());
            const auto elapsed = std::chrono::steady_clock::now() - start;
            EXPECT_LT(elapsed, std::chrono::seconds(5));
            EXPECT_FALSE(channel.IsOpen());
            EXPECT_TRUE(channel.DefinedName().empty());
            EXPECT_EQ(kNotCarried, channel.CallDriver(CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, 0));
            EXPECT_EQ(0, channel.CloseDriver());
        }
    }
}

TEST(DeviceTest, HostOpensNothingThatIsMissing) {
    std::unique_ptr<DeviceHost> host = CreateWin32DeviceHost();
    EXPECT_TRUE(host->CreateCompletionEvent());
    EXPECT_EQ(nullptr, host->Open("\\\\.\\ODRAPI", true));
    EXPECT_EQ(nullptr, host->Open("\\\\.\\ODRWINNT1", false));
}

}  // namespace
}  // namespace odr
