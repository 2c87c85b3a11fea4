// odrstat's own reading of the stored settings, with its differences from the tool's walk.
#include <gtest/gtest.h>

#include "monitor/MonitorSettings.h"
#include "platform/MemoryRegistry.h"

namespace odr::monitor {
namespace {

using platform::MemoryRegistry;
using platform::OsVersion;

const OsVersion kWin95{1, 4, 0};
const OsVersion kNt{2, 4, 0};
const char kNet[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0000";

TEST(SettingsMonitorTest, Win95KeyNamingTheDriverFileGivesBothValues) {
    struct Case {
        const char* name;
        std::string cardType;
        uint32_t cardTypeType;
        std::string stationType;
        uint32_t stationTypeType;
        bool pcCard;
        int station;
    } cases[] = {
        {"pcmcia", std::string("PCMCIA\0", 7), 1, std::string("2\0", 2), 1, true, 2},
        {"lower case", std::string("pcmcia\0", 7), 1, std::string("1\0", 2), 1, false, 1},
        {"two is not a pc card here", std::string("2\0", 2), 1, std::string("1\0", 2), 1, false, 1},
        {"unterminated texts", "PCMCIA", 1, "12", 1, true, 12},
        {"dword station type is read as text", "", 1, std::string("\x02\0\0\0", 4), 4, false, 0},
        {"station type longer than 4 bytes", "", 1, std::string("1\0\0\0\0", 5), 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry reg;
        reg.SetString(kNet, "DeviceVxDs", "odrwin95.sys");
        reg.SetRaw(kNet, "CardType", c.cardTypeType, c.cardType);
        reg.SetRaw(kNet, "Station_Type", c.stationTypeType, c.stationType);
        StoredSettings s = ReadStoredSettings(reg, kWin95);
        EXPECT_EQ(s.pcCard, c.pcCard);
        EXPECT_EQ(s.stationType, c.station);
        EXPECT_EQ(reg.OpenHandleCount(), 0u);
    }
}

TEST(SettingsMonitorTest, NeedsNoControlSetMarkAndIgnoresTheFallbackDriver) {
    MemoryRegistry reg;
    reg.SetString("System\\ControlSet001\\Net\\0000", "DeviceVxDs", "quellan.sys");
    reg.SetString("System\\ControlSet001\\Net\\0001", "DeviceVxDs", "odrwin95.sys");
    reg.SetString("System\\ControlSet001\\Net\\0001", "Station_Type", "1");
    reg.SetString(kNet, "DeviceVxDs", "odrwin95.sys");
    reg.SetString(kNet, "Station_Type", "2");
    EXPECT_EQ(ReadStoredSettings(reg, kWin95).stationType, 1);
}

TEST(SettingsMonitorTest, NtLayoutMatchesOnlyAfterAMasterText) {
    MemoryRegistry reg;
    reg.CreateKeyPath("System\\ControlSet001\\X");
    const char* params = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
    reg.SetString(params, "Master_Name", "Home");
    reg.SetString(params, "Station_Type", "2");
    reg.SetString(params, "CardType", "PCMCIA");
    EXPECT_EQ(ReadStoredSettings(reg, kNt).stationType, 0);  // no "DeviceVxDs" anywhere

    // A "DeviceVxDs" text holding MASTER switches the walk to "Master_Name"; the next key
    // holding it matches.
    reg.SetString("System\\ControlSet001\\X", "DeviceVxDs", "xMASTERx");
    StoredSettings s = ReadStoredSettings(reg, kNt);
    EXPECT_EQ(s.stationType, 2);
    EXPECT_TRUE(s.pcCard);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(SettingsMonitorTest, UnreadableSubkeyNameEndsThatKeysSubkeysOnly) {
    MemoryRegistry reg;
    EXPECT_EQ(ReadStoredSettings(reg, kWin95).stationType, 0);  // no "System" key
    // A name longer than any real key name cannot be enumerated: A's later subkeys are not
    // examined, but the walk goes on with B.
    reg.CreateKeyPath("System\\A\\" + std::string(40000, 'n'));
    reg.SetString("System\\A\\Target", "DeviceVxDs", "odrwin95.sys");
    reg.SetString("System\\A\\Target", "Station_Type", "1");
    reg.SetString("System\\B\\0000", "DeviceVxDs", "odrwin95.sys");
    reg.SetString("System\\B\\0000", "Station_Type", "2");
    EXPECT_EQ(ReadStoredSettings(reg, kWin95).stationType, 2);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(SettingsMonitorTest, HostileStoresNeitherCrashNorLeak) {
    MemoryRegistry reg;
    std::string deep = "System";
    for (int i = 0; i < 10000; ++i) deep += "\\d";
    reg.SetString(deep, "DeviceVxDs", "odrwin95.sys");
    reg.SetString(deep, "Station_Type", "1");
    reg.CreateKeyPath("System\\" + std::string(100000, 'n'));
    reg.SetRaw("System", "DeviceVxDs", 3, std::string(1000, 'x'));
    EXPECT_EQ(ReadStoredSettings(reg, kWin95).stationType, 1);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace odr::monitor
