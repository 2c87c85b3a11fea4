// The stored adapter settings over the in-memory registry: finding the adapter's key on both
// layouts, the reading and writing rules, round trips and hostile stores.
#include <gtest/gtest.h>

#include <string>

#include "fakes/FakePlatform.h"
#include "fakes/RegistryBytes.h"
#include "platform/MemoryRegistry.h"
#include "settings/AdapterSettings.h"

namespace odr::settings {
namespace {

using namespace odr::platform;

const char kNtKey[] = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
const char kNtDecoy[] = "System\\ControlSet001\\Services\\odrwinnt1\\Parameters";
const char k95Key[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0001";
const char k95Decoy[] = "System\\ControlSet001\\Services\\Class\\Net\\0001";

using test::Dword;
using test::Sz;

class SettingsAdapterTest : public ::testing::Test {
  protected:
    void UseWin95() { os.version = OsVersion{1, 4, 0}; }
    // An NT store: a decoy control set first, then the adapter's key.
    void BuildNt() {
        reg.SetString(kNtDecoy, "Master_Name", "DECOY");
        reg.SetDword(kNtDecoy, "Channel", 9);
        reg.CreateKeyPath("System\\CurrentControlSet\\Control\\Class");
        reg.SetString(kNtKey, "Master_Name", "Home");
    }
    // A Windows 95 store: the decoy, the other driver's key, then the adapter's.
    void Build95() {
        UseWin95();
        reg.SetString(k95Decoy, "DeviceVxDs", "odrwin95.sys");
        reg.SetString(k95Decoy, "Channel", "9");
        reg.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0000", "DeviceVxDs",
                      "ndis.vxd");
        reg.SetString(k95Key, "DeviceVxDs", "odrwin95.sys");
    }
    std::string Stored(const char* key, const char* name, uint32_t* type = nullptr) {
        std::string bytes;
        uint32_t t = 0;
        EXPECT_TRUE(reg.GetValue(key, name, &t, &bytes)) << name;
        if (type) *type = t;
        return bytes;
    }

    MemoryRegistry reg;
    test::FakeOs os;
    uint16_t kind = 0;
    AdapterSettings settings{reg, os, [this] { return kind; }};
};

TEST_F(SettingsAdapterTest, Win95KeyFollowsTheOpenDeviceKind) {
    Build95();
    reg.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0002", "DeviceVxDs",
                  "quellan.sys");
    reg.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0002", "Channel", "4");
    reg.SetString(k95Key, "Channel", "3");
    struct {
        uint16_t kind;
        int channel;
    } cases[] = {{0, 3}, {1, 4}, {2, 1}, {0, 3}, {kNoDriverKind, 3}};
    for (const auto& c : cases) {
        kind = c.kind;
        settings.LoadSettings();
        EXPECT_EQ(settings.channel, c.channel) << "kind " << c.kind;
    }  // No device open: the other driver's key is as good as the own one.
    reg.DeleteValue(k95Key, "DeviceVxDs");
    settings.LoadSettings();
    EXPECT_EQ(settings.channel, 4);
}

TEST_F(SettingsAdapterTest, KeysBeforeCurrentControlSetNeverMatch) {
    reg.SetString(k95Decoy, "DeviceVxDs", "odrwin95.sys");
    reg.SetString(kNtDecoy, "Master_Name", "DECOY");
    reg.SetString(kNtDecoy, "Channel", "7");
    for (bool win95 : {true, false}) {
        os.version = win95 ? OsVersion{1, 4, 0} : OsVersion{2, 4, 0};
        settings.channel = 99;
        settings.LoadSettings();
        EXPECT_EQ(settings.foundKey, kNoKey);
        EXPECT_EQ(settings.masterName, "MASTER");
        EXPECT_EQ(settings.channel, 1);
        EXPECT_EQ(settings.inactivitySeconds, 6);
        // Nothing found: nothing written, but the record takes the domain.
        settings.SaveSettings();
        settings.SaveDomain(5);
        EXPECT_EQ(settings.domain, 5);
        EXPECT_FALSE(reg.HasValue(win95 ? k95Decoy : kNtDecoy, "Domain"));
    }
    BuildNt();
    settings.LoadSettings();
    EXPECT_EQ(settings.masterName, "Home");
    EXPECT_EQ(settings.channel, 1);
}

TEST_F(SettingsAdapterTest, NtMarksDecideWhichMasterNameMatches) {
    struct Case {
        const char* name;
        const char* earlierKey;  // created before the candidate, or null
        const char* earlierName;
        const char* earlierText;
        const char* candidate;
        bool matches;
    } cases[] = {
        {"below odrwinnt Parameters", nullptr, nullptr, nullptr, kNtKey, true},
        {"deeper below Parameters", nullptr, nullptr, nullptr,
         "System\\CurrentControlSet\\Services\\odrwinnt2\\Parameters\\Sub", true},
        {"Parameters of another service", nullptr, nullptr, nullptr,
         "System\\CurrentControlSet\\Services\\other\\Parameters", false},
        {"prefix is case-sensitive", nullptr, nullptr, nullptr,
         "System\\CurrentControlSet\\Services\\ODRWINNT1\\Parameters", false},
        {"marks from the old control set persist",
         "System\\ControlSet001\\Services\\odrwinnt1\\Parameters", "Other", "x",
         "System\\CurrentControlSet\\Services\\other", true},
        {"an earlier MASTER text", "System\\CurrentControlSet\\A", "Master_Name", "xMASTERx",
         "System\\CurrentControlSet\\B", true},
        {"MASTER text in the candidate itself is not enough", nullptr, nullptr, nullptr,
         "System\\CurrentControlSet\\Services\\other", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry store;
        AdapterSettings s(store, os, [] { return uint16_t(0); });
        if (c.earlierKey) store.SetString(c.earlierKey, c.earlierName, c.earlierText);
        store.SetString(c.candidate, "Master_Name", "MASTER");
        store.SetString(c.candidate, "Channel", "7");
        s.LoadSettings();
        EXPECT_EQ(s.channel, c.matches ? 7 : 1);
        EXPECT_EQ(s.foundKey != kNoKey, c.matches);
    }
}

TEST_F(SettingsAdapterTest, UnreadableSubkeyNameEndsThatKeysSubkeysOnly) {
    reg.CreateKeyPath("System\\CurrentControlSet\\A\\" + std::string(40000, 'n'));
    reg.SetString("System\\CurrentControlSet\\A\\odrwinnt1\\Parameters", "Master_Name", "A");
    reg.SetString(kNtKey, "Master_Name", "Home");
    settings.LoadSettings();
    EXPECT_EQ(settings.masterName, "Home");
}

// A subkey whose name begins with a NUL enumerates as "", which opens the key itself.
TEST_F(SettingsAdapterTest, SubkeyNamedEmptyIsSkippedNotWalkedForever) {
    reg.CreateKeyPath(std::string("System\\") + '\0' + "\\CurrentControlSet");
    reg.SetString(kNtKey, "Master_Name", "Home");
    settings.LoadSettings();
    EXPECT_EQ(settings.masterName, "Home");
}

TEST_F(SettingsAdapterTest, ReadingRules) {
    struct Case {
        const char* value;
        uint32_t type;
        std::string bytes;
        int AdapterSettings::*field;
        int expected;
    } cases[] = {
        {"CardType", kRegSz, Sz("2"), &AdapterSettings::pcCard, 1},
        {"CardType", kRegSz, Sz("PCMCIA"), &AdapterSettings::pcCard, 1},
        {"CardType", kRegSz, Sz("pcmcia"), &AdapterSettings::pcCard, 0},
        {"CardType", kRegSz, Sz("ISA"), &AdapterSettings::pcCard, 0},
        {"CardType", kRegDword, Dword(5), &AdapterSettings::pcCard, 1},
        {"CardType", kRegDword, Dword(0), &AdapterSettings::pcCard, 0},
        {"Station_Type", kRegSz, Sz("2"), &AdapterSettings::stationType, 2},
        {"Station_Type", kRegSz, Sz("1"), &AdapterSettings::masterCapable, 1},
        {"Station_Type", kRegDword, Dword(0), &AdapterSettings::masterCapable, 0},
        {"Station_Type", kRegSz, "2222", &AdapterSettings::stationType, 2222},
        {"Station_Type", kRegSz, Sz("12345"), &AdapterSettings::stationType, 0},
        {"Channel", kRegSz, Sz("-3x"), &AdapterSettings::channel, -3},
        {"Channel", kRegSz, Sz("x"), &AdapterSettings::channel, 0},
        {"Channel", kRegSz, std::string("12\0\0\0", 5), &AdapterSettings::channel, 12},
        {"Channel", kRegSz, std::string("12\0\0\0\0\0\0", 8), &AdapterSettings::channel, 12},
        {"Channel", kRegDword, std::string("\x0c\0", 2), &AdapterSettings::channel, 12},
        {"Channel", kRegBinary, Dword(7), &AdapterSettings::channel, 1},
        {"Channel", kRegDword, Dword(7) + "x", &AdapterSettings::channel, 1},
        {"Domain", kRegDword, Dword(15), &AdapterSettings::domain, 15},
        {"Mac_Optimize", kRegSz, Sz("0"), &AdapterSettings::macOptimize, 0},
        {"Inactivity_Sec", kRegBinary, Dword(3), &AdapterSettings::inactivitySeconds, 6},
        {"Inactivity_Sec", kRegSz, Sz("55"), &AdapterSettings::inactivitySeconds, 55},
        {"Inactivity_Min", kRegSz, Sz("60"), &AdapterSettings::inactivityMinutes, 60},
        {"Peer_to_Peer", kRegSz, Sz("5"), &AdapterSettings::peerToPeer, 1},
        {"Peer_to_Peer", kRegDword, Dword(0), &AdapterSettings::peerToPeer, 0},
        {"Peer_to_Peer", kRegBinary, std::string(1, '\0'), &AdapterSettings::peerToPeer, 1},
        {"Radio_Mode", kRegDword, Dword(1), &AdapterSettings::radioMode, 1},
        {"Radio_Mode", kRegSz, Sz("70000"), &AdapterSettings::radioMode, 3},
    };
    BuildNt();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + std::to_string(c.expected));
        reg.SetRaw(kNtKey, c.value, c.type, c.bytes);
        settings.LoadSettings();
        EXPECT_EQ(settings.*c.field, c.expected);
        reg.DeleteValue(kNtKey, c.value);
    }
    // Absent values.
    settings.LoadSettings();
    EXPECT_EQ(settings.pcCard, 0);
    EXPECT_EQ(settings.stationType, 0);
    EXPECT_EQ(settings.masterCapable, 0);
    EXPECT_EQ(settings.inactivitySeconds, 0);
    EXPECT_EQ(settings.inactivityMinutes, 0);
    EXPECT_EQ(settings.peerToPeer, 1);
    EXPECT_EQ(settings.macOptimize, 2);
}

TEST_F(SettingsAdapterTest, MasterNameIsBoundedToItsBuffer) {
    BuildNt();
    struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {Sz("Cell 7"), "Cell 7"},
        {"NoZero", "NoZero"},
        {std::string(79, 'a') + '\0', std::string(79, 'a')},
        {std::string(80, 'b'), std::string(80, 'b')},
        {std::string(81, 'c'), "MASTER"},
        {std::string(5000, 'd'), "MASTER"},
    };
    for (const auto& c : cases) {
        reg.SetRaw(kNtKey, "Master_Name", kRegSz, c.bytes);
        settings.LoadSettings();
        EXPECT_EQ(settings.masterName, c.expected) << c.bytes.size();
    }
}

TEST_F(SettingsAdapterTest, WritingRules) {
    BuildNt();
    reg.SetString(kNtKey, "Station_Type", "2");
    reg.SetString(kNtKey, "Channel", "3");
    reg.SetRaw(kNtKey, "Domain", kRegBinary, "ab");
    reg.SetRaw(kNtKey, "Roam_Config", kRegSz, "123456");  // too long: counts as absent
    settings.LoadSettings();
    settings.stationType = 2;
    settings.channel = 12;
    settings.subchannel = 7;
    settings.SaveSettings();

    uint32_t type = 0;
    EXPECT_EQ(Stored(kNtKey, "Station_Type", &type), std::string("2\0\0\0", 4));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Stored(kNtKey, "Channel", &type), std::string("12\0\0\0", 5));
    EXPECT_EQ(Stored(kNtKey, "Subchannel", &type), Dword(7));  // absent on NT: REG_DWORD
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(Stored(kNtKey, "Domain", &type), std::string(2, '\0'));  // other type kept
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(Stored(kNtKey, "Roam_Config", &type), Dword(1));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(Stored(kNtKey, "Master_Name", &type), Sz("Home"));
    EXPECT_EQ(Stored(kNtKey, "Peer_to_Peer"), Dword(1));
    EXPECT_FALSE(reg.HasValue(kNtKey, "Radio_Mode"));
    EXPECT_FALSE(reg.HasValue(kNtKey, "CardType"));
    // The decoy is never written.
    EXPECT_EQ(Stored(kNtDecoy, "Channel"), Dword(9));
    EXPECT_FALSE(reg.HasValue(kNtDecoy, "Station_Type"));

    // A second save keeps the 5-byte text a text.
    settings.SaveSettings();
    EXPECT_EQ(Stored(kNtKey, "Channel", &type), std::string("12\0\0\0", 5));
    EXPECT_EQ(type, kRegSz);
}

TEST_F(SettingsAdapterTest, SavingAsStationLeavesTheMasterValues) {
    BuildNt();
    reg.SetString(kNtKey, "Channel", "4");
    reg.SetDword(kNtKey, "Mac_Optimize", 1);
    settings.LoadSettings();
    settings.stationType = 0;
    settings.masterCapable = 0;
    settings.channel = 9;
    settings.subchannel = 9;
    settings.macOptimize = 0;
    settings.SetMasterName("Changed");
    settings.SaveSettings();
    EXPECT_EQ(Stored(kNtKey, "Channel"), Sz("4"));
    EXPECT_EQ(Stored(kNtKey, "Mac_Optimize"), Dword(1));
    EXPECT_EQ(Stored(kNtKey, "Master_Name"), Sz("Home"));
    EXPECT_FALSE(reg.HasValue(kNtKey, "Subchannel"));
    EXPECT_EQ(Stored(kNtKey, "Station_Type"), Dword(0));
}

TEST_F(SettingsAdapterTest, Win95WritesTextAndKeepsParameterDefaultsInStep) {
    Build95();
    std::string params = std::string(k95Key) + "\\Ndi\\params\\";
    reg.SetString(params + "Channel", "", "1");              // 2 bytes: takes "12" bare
    reg.SetString(params + "Subchannel", "", "1234567");     // longer: left alone
    reg.SetRaw(params + "Domain", "", kRegDword, Dword(1));  // keeps its type and length
    reg.SetString(params + "Master_Name", "", "MASTER");
    settings.LoadSettings();
    settings.stationType = 1;
    settings.masterCapable = 1;
    settings.channel = 12;
    settings.subchannel = 3;
    settings.domain = 4;
    settings.SetMasterName("Lab");
    settings.SaveSettings();

    uint32_t type = 0;
    EXPECT_EQ(Stored(k95Key, "Channel", &type), std::string("12\0\0\0", 5));
    EXPECT_EQ(type, kRegSz);  // absent on Windows 95: REG_SZ
    EXPECT_EQ(Stored(k95Key, "Inactivity_Min"), std::string("0\0\0\0\0", 5));
    EXPECT_EQ(Stored((params + "Channel").c_str(), "", &type), "12");
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Stored((params + "Subchannel").c_str(), ""), Sz("1234567"));
    EXPECT_EQ(Stored((params + "Domain").c_str(), "", &type), std::string("4\0\0\0", 4));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(Stored((params + "Master_Name").c_str(), ""), Sz("Lab"));
}

TEST_F(SettingsAdapterTest, SaveDomainReachesTheAdapterKeyOnBothLayouts) {
    for (bool win95 : {false, true}) {
        SCOPED_TRACE(win95 ? "Windows 95" : "Windows NT");
        MemoryRegistry store;
        test::FakeOs fakeOs;
        if (win95) fakeOs.version = OsVersion{1, 4, 0};
        const char* key = win95 ? k95Key : kNtKey;
        store.SetString(win95 ? k95Decoy : kNtDecoy, win95 ? "DeviceVxDs" : "Master_Name",
                        win95 ? "odrwin95.sys" : "MASTER");
        store.SetString(key, win95 ? "DeviceVxDs" : "Master_Name", win95 ? "odrwin95.sys" : "Home");
        store.SetString(key, "Domain", "3");
        AdapterSettings s(store, fakeOs, [] { return uint16_t(0); });
        s.SaveDomain(11);
        EXPECT_EQ(s.domain, 11);
        std::string bytes;
        uint32_t type = 0;
        ASSERT_TRUE(store.GetValue(key, "Domain", &type, &bytes));
        EXPECT_EQ(type, win95 ? kRegSz : kRegDword);
        EXPECT_EQ(bytes, win95 ? Sz("11") : Dword(11));
        s.LoadSettings();
        EXPECT_EQ(s.domain, 11);
    }
}

TEST_F(SettingsAdapterTest, RoundTripOnBothLayouts) {
    for (bool win95 : {false, true}) {
        SCOPED_TRACE(win95 ? "Windows 95" : "Windows NT");
        MemoryRegistry store;
        test::FakeOs fakeOs;
        if (win95) fakeOs.version = OsVersion{1, 4, 0};
        const char* key = win95 ? k95Key : kNtKey;
        store.SetString(key, win95 ? "DeviceVxDs" : "Master_Name",
                        win95 ? "odrwin95.sys" : "MASTER");
        // Values as an installation leaves them: short texts on 95, numbers on NT.
        if (win95) {
            store.SetString(key, "Channel", "2");
            store.SetString(key, "Inactivity_Sec", "10");
        } else {
            store.SetDword(key, "Channel", 2);
        }
        AdapterSettings first(store, fakeOs, [] { return uint16_t(0); });
        first.LoadSettings();
        first.stationType = 2;
        first.masterCapable = 1;
        first.SetMasterName("Roof West");
        first.channel = 15;
        first.subchannel = 14;
        first.domain = 13;
        first.macOptimize = 0;
        first.roamConfig = 2;
        first.inactivitySeconds = 55;
        first.inactivityMinutes = 60;
        first.peerToPeer = 0;
        first.SaveSettings();

        for (int pass = 0; pass < 2; ++pass) {
            AdapterSettings second(store, fakeOs, [] { return uint16_t(0); });
            second.LoadSettings();
            EXPECT_EQ(second.stationType, 2);
            EXPECT_EQ(second.masterCapable, 1);
            EXPECT_EQ(second.masterName, "Roof West");
            EXPECT_EQ(second.channel, 15);
            EXPECT_EQ(second.subchannel, 14);
            EXPECT_EQ(second.domain, 13);
            EXPECT_EQ(second.macOptimize, 0);
            EXPECT_EQ(second.roamConfig, 2);
            EXPECT_EQ(second.inactivitySeconds, 55);
            EXPECT_EQ(second.inactivityMinutes, 60);
            EXPECT_EQ(second.peerToPeer, 0);
            EXPECT_EQ(second.radioMode, 3);
            second.SaveSettings();  // saving what was loaded changes nothing
        }
        EXPECT_EQ(store.OpenHandleCount(), 1u);  // first's foundKey
    }
}

TEST_F(SettingsAdapterTest, FoundKeyIsOwnedAndRemembered) {
    BuildNt();
    for (int i = 0; i < 5; ++i) settings.LoadSettings();
    EXPECT_EQ(reg.OpenHandleCount(), 1u);  // foundKey alone
    EXPECT_EQ(settings.walkCounts().fullWalks, 1u);
    EXPECT_EQ(settings.walkCounts().confirmedKeys, 4u);
    EXPECT_EQ(settings.seenControlSet, 1);
    EXPECT_EQ(settings.insideDriverParameters, 1);

    // The remembered key no longer answers the test: the whole store is walked again.
    const char* second = "System\\CurrentControlSet\\Services\\odrwinnt2\\Parameters";
    reg.SetString(second, "Master_Name", "Second");
    reg.DeleteValue(kNtKey, "Master_Name");
    settings.LoadSettings();
    EXPECT_EQ(settings.masterName, "Second");
    EXPECT_EQ(settings.walkCounts().fullWalks, 2u);
    reg.DeleteKeyPath("System\\CurrentControlSet\\Services\\odrwinnt2");
    settings.LoadSettings();
    EXPECT_EQ(settings.foundKey, kNoKey);
    EXPECT_EQ(settings.masterName, "MASTER");

    // Windows 95: a change of device kind is a different test.
    MemoryRegistry store;
    test::FakeOs fakeOs;
    fakeOs.version = OsVersion{1, 4, 0};
    store.SetString(k95Key, "DeviceVxDs", "odrwin95.sys");
    store.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0002", "DeviceVxDs",
                    "quellan.sys");
    uint16_t deviceKind = 0;
    {
        AdapterSettings s(store, fakeOs, [&] { return deviceKind; });
        s.LoadSettings();
        s.LoadSettings();
        EXPECT_EQ(s.walkCounts().confirmedKeys, 1u);
        deviceKind = 1;
        s.SaveDomain(9);
        EXPECT_EQ(s.walkCounts().fullWalks, 2u);
        EXPECT_FALSE(store.HasValue(k95Key, "Domain"));
        EXPECT_TRUE(
            store.HasValue("System\\CurrentControlSet\\Services\\Class\\Net\\0002", "Domain"));
    }
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(SettingsAdapterTest, HostileStores) {
    // 10,000 levels below the control set, the adapter's key at the bottom, after a huge key
    // name and a huge looked-for value.
    std::string deep = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
    for (int i = 0; i < 10000; ++i) deep += "\\n";
    reg.SetString(deep, "Master_Name", "Deep");
    reg.CreateKeyPath("System\\" + std::string(70000, 'h') + "\\x");
    reg.SetRaw("System\\CurrentControlSet", "Master_Name", kRegSz, std::string(100000, 'M'));
    settings.LoadSettings();
    EXPECT_EQ(settings.masterName, "Deep");
    settings.SaveDomain(3);
    settings.LoadSettings();
    EXPECT_EQ(settings.domain, 3);
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
}

TEST_F(SettingsAdapterTest, ValuesOfEveryTypeAndLength) {
    BuildNt();
    const char* names[] = {"CardType",       "Station_Type",   "Master_Name",  "Channel",
                           "Subchannel",     "Domain",         "Mac_Optimize", "Roam_Config",
                           "Inactivity_Sec", "Inactivity_Min", "Peer_to_Peer", "Radio_Mode"};
    const uint32_t types[] = {kRegNone, kRegSz, kRegExpandSz, kRegBinary, kRegDword,
                              5,        7,      11,           0xFFFFFFFF};
    const size_t lengths[] = {0, 1, 3, 4, 5, 79, 80, 81, 261, 4097};
    for (bool win95 : {false, true}) {
        os.version = win95 ? OsVersion{1, 4, 0} : OsVersion{2, 4, 0};
        const char* key = win95 ? k95Key : kNtKey;
        if (win95) reg.SetString(key, "DeviceVxDs", "odrwin95.sys");
        for (uint32_t type : types) {
            for (size_t length : lengths) {
                SCOPED_TRACE(std::to_string(type) + "/" + std::to_string(length));
                for (const char* name : names) {
                    reg.SetRaw(key, name, type, std::string(length, char(0xFF)));
                    reg.SetRaw(std::string(key) + "\\Ndi\\params\\" + name, "", type,
                               std::string(length, char(0xFF)));
                }
                if (!win95) reg.SetString(key, "Master_Name", "Home");
                settings.LoadSettings();
                ASSERT_NE(settings.foundKey, kNoKey);
                settings.masterCapable = 1;
                settings.SaveSettings();
                settings.SaveDomain(3);
                settings.LoadSettings();
                EXPECT_EQ(settings.foundKey != kNoKey, true);
            }
        }
    }
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
}

}  // namespace
}  // namespace odr::settings
