// The registry subset and the stored settings against the real registry of the test prefix.
// Trees are built below HKCU\Software\OdrRegistryTest, or as single test keys below
// HKLM\System that are deleted afterwards.
#include <gtest/gtest.h>

#include <string>

#include "monitor/MonitorSettings.h"
#include "native/fakes/FakePlatform.h"
#include "native/fakes/RegistryBytes.h"
#include "platform/win32/Win32Registry.h"
#include "settings/AdapterSettings.h"

namespace odr::platform {
namespace {

const char kTestRoot[] = "Software\\OdrRegistryTest";
const char kStoreRoot[] = "Software\\OdrRegistryTest\\System";

using test::Dword;
using test::Sz;

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reg = CreateWin32Registry();
        ASSERT_TRUE(DeleteWin32KeyTree(kCurrentUser, kTestRoot));
    }
    void TearDown() override { EXPECT_TRUE(DeleteWin32KeyTree(kCurrentUser, kTestRoot)); }

    void Set(RegKey root, const std::string& path, const char* name, uint32_t type,
             const std::string& bytes) {
        ASSERT_TRUE(CreateWin32KeyPath(root, path)) << path;
        ScopedKey key(*reg);
        ASSERT_EQ(reg->OpenKey(root, path.c_str(), kKeySetValue, key.out()), kRegOk);
        ASSERT_EQ(
            reg->SetValue(key.get(), name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                          static_cast<uint32_t>(bytes.size())),
            kRegOk);
    }
    void Set(const std::string& path, const char* name, uint32_t type, const std::string& bytes) {
        Set(kCurrentUser, std::string(kStoreRoot) + "\\" + path, name, type, bytes);
    }
    // The stored bytes, or "<absent>".
    std::string Get(const std::string& path, const char* name, uint32_t* type = nullptr) {
        ScopedKey key(*reg);
        std::string full = std::string(kStoreRoot) + "\\" + path;
        if (reg->OpenKey(kCurrentUser, full.c_str(), kKeyRead, key.out()) != kRegOk) {
            return "<absent>";
        }
        uint8_t data[512];
        uint32_t t = 0, size = sizeof data;
        if (reg->QueryValue(key.get(), name, &t, data, &size) != kRegOk) return "<absent>";
        if (type) *type = t;
        return std::string(reinterpret_cast<const char*>(data), size);
    }

    std::unique_ptr<Registry> reg;
};

TEST_F(RegistryTest, AccessAndBufferRulesOfTheRealRegistry) {
    Set("K", "Value", kRegSz, Sz("abcdef"));
    ASSERT_TRUE(CreateWin32KeyPath(kCurrentUser, std::string(kStoreRoot) + "\\K\\Sub"));
    std::string path = std::string(kStoreRoot) + "\\K";

    ScopedKey noQuery(*reg);
    ASSERT_EQ(reg->OpenKey(kCurrentUser, path.c_str(), kKeyEnumerateSubKeys | kKeySetValue,
                           noQuery.out()),
              kRegOk);
    // Windows also refuses RegQueryInfoKeyA here; Wine 8 answers it.
    RegKeyInfo info;
    uint8_t data[16];
    uint32_t type = 0, size = sizeof data;
    EXPECT_EQ(reg->QueryValue(noQuery.get(), "Value", &type, data, &size), kRegAccessDenied);

    ScopedKey readOnly(*reg);
    ASSERT_EQ(reg->OpenKey(kCurrentUser, path.c_str(), kKeyRead, readOnly.out()), kRegOk);
    EXPECT_EQ(reg->SetValue(readOnly.get(), "X", kRegDword, data, 4), kRegAccessDenied);
    ASSERT_EQ(reg->QueryInfoKey(readOnly.get(), &info), kRegOk);
    EXPECT_EQ(info.subKeys, 1u);
    EXPECT_EQ(info.maxSubKeyLen, 3u);
    EXPECT_EQ(info.values, 1u);
    char name[8];
    EXPECT_EQ(reg->EnumKey(readOnly.get(), 0, name, 3), kRegMoreData);
    ASSERT_EQ(reg->EnumKey(readOnly.get(), 0, name, 4), kRegOk);
    EXPECT_STREQ(name, "Sub");
    EXPECT_EQ(reg->EnumKey(readOnly.get(), 1, name, sizeof name), kRegNoMoreItems);
    size = 4;
    EXPECT_EQ(reg->QueryValue(readOnly.get(), "Value", &type, data, &size), kRegMoreData);
    EXPECT_EQ(size, 7u);
}

TEST_F(RegistryTest, SettingsRoundTripOnBothLayoutsPassesTheDecoy) {
    for (bool win95 : {false, true}) {
        SCOPED_TRACE(win95 ? "Windows 95" : "Windows NT");
        ASSERT_TRUE(DeleteWin32KeyTree(kCurrentUser, kStoreRoot));
        const std::string decoy = win95 ? "ControlSet001\\Services\\Class\\Net\\0000"
                                        : "ControlSet001\\Services\\odrwinnt1\\Parameters";
        const std::string key = win95 ? "CurrentControlSet\\Services\\Class\\Net\\0000"
                                      : "CurrentControlSet\\Services\\odrwinnt1\\Parameters";
        const char* marker = win95 ? "DeviceVxDs" : "Master_Name";
        Set(decoy, marker, kRegSz, Sz(win95 ? "odrwin95.sys" : "DECOY"));
        Set(decoy, "Channel", kRegSz, Sz("9"));
        Set(key, marker, kRegSz, Sz(win95 ? "odrwin95.sys" : "MASTER"));
        Set(key, "Channel", win95 ? kRegSz : kRegDword, win95 ? Sz("2") : Dword(2));
        if (win95) Set(key + "\\Ndi\\params\\Channel", "", kRegSz, Sz("1"));

        test::FakeOs os;
        if (win95) os.version = OsVersion{1, 4, 0};
        settings::AdapterSettings first(*reg, os, [] { return uint16_t(0); });
        first.SetStoreRoot(kCurrentUser, kStoreRoot);
        first.LoadSettings();
        ASSERT_NE(first.foundKey, kNoKey);
        EXPECT_EQ(first.channel, 2);
        first.stationType = 2;
        first.masterCapable = 1;
        first.SetMasterName("Roof West");
        first.channel = 12;
        first.subchannel = 14;
        first.macOptimize = 0;
        first.roamConfig = 2;
        first.inactivitySeconds = 55;
        first.inactivityMinutes = 60;
        first.peerToPeer = 0;
        first.SaveSettings();
        first.SaveDomain(13);

        settings::AdapterSettings second(*reg, os, [] { return uint16_t(0); });
        second.SetStoreRoot(kCurrentUser, kStoreRoot);
        second.LoadSettings();
        EXPECT_EQ(second.stationType, 2);
        EXPECT_EQ(second.masterName, "Roof West");
        EXPECT_EQ(second.channel, 12);
        EXPECT_EQ(second.subchannel, 14);
        EXPECT_EQ(second.domain, 13);
        EXPECT_EQ(second.macOptimize, 0);
        EXPECT_EQ(second.roamConfig, 2);
        EXPECT_EQ(second.inactivitySeconds, 55);
        EXPECT_EQ(second.inactivityMinutes, 60);
        EXPECT_EQ(second.peerToPeer, 0);

        uint32_t type = 0;
        EXPECT_EQ(Get(key, "Channel", &type), win95 ? std::string("12\0\0\0", 5) : Dword(12));
        EXPECT_EQ(Get(key, "Domain", &type), win95 ? Sz("13") : Dword(13));
        EXPECT_EQ(type, win95 ? kRegSz : kRegDword);
        if (win95) {
            // Stored as the two bytes "12"; the ANSI read adds a zero where the buffer has room.
            std::string text = Get(key + "\\Ndi\\params\\Channel", "", &type);
            EXPECT_EQ(text.substr(0, 2), "12");
            EXPECT_LE(text.size(), 3u);
            EXPECT_EQ(type, kRegSz);
        }
        EXPECT_EQ(Get(decoy, "Channel"), Sz("9"));
        EXPECT_EQ(Get(decoy, "Domain"), "<absent>");
    }
}

// The real HKLM\System of the prefix, with the adapter's keys added for the test: the walk
// passes the prefix's own control set (and its link) and still picks the adapter's key.
TEST_F(RegistryTest, RealSystemHiveWithATestAdapterKey) {
    const std::string service = "System\\CurrentControlSet\\Services\\odrwinnt0";
    const std::string service95 = "System\\CurrentControlSet\\Services\\OdrTest95";
    ASSERT_TRUE(DeleteWin32KeyTree(kLocalMachine, service));
    ASSERT_TRUE(DeleteWin32KeyTree(kLocalMachine, service95));
    Set(kLocalMachine, service + "\\Parameters", "Master_Name", kRegSz, Sz("MASTER"));
    Set(kLocalMachine, service + "\\Parameters", "Channel", kRegDword, Dword(7));
    Set(kLocalMachine, service95, "DeviceVxDs", kRegSz, Sz("odrwin95.sys"));
    Set(kLocalMachine, service95, "Channel", kRegSz, Sz("5"));
    Set(kLocalMachine, service95, "CardType", kRegSz, Sz("PCMCIA"));
    Set(kLocalMachine, service95, "Station_Type", kRegSz, Sz("1"));

    test::FakeOs os;
    settings::AdapterSettings nt(*reg, os, [] { return uint16_t(0); });
    nt.LoadSettings();
    EXPECT_EQ(nt.channel, 7);
    nt.SaveDomain(4);
    nt.LoadSettings();
    EXPECT_EQ(nt.domain, 4);

    os.version = OsVersion{1, 4, 0};
    settings::AdapterSettings w95(*reg, os, [] { return uint16_t(0); });
    w95.LoadSettings();
    EXPECT_EQ(w95.channel, 5);
    EXPECT_EQ(w95.pcCard, 1);
    monitor::StoredSettings stored = monitor::ReadStoredSettings(*reg, os.version);
    EXPECT_TRUE(stored.pcCard);
    EXPECT_EQ(stored.stationType, 1);

    EXPECT_TRUE(DeleteWin32KeyTree(kLocalMachine, service));
    EXPECT_TRUE(DeleteWin32KeyTree(kLocalMachine, service95));
}

}  // namespace
}  // namespace odr::platform
