// The Configuration window against the recording window fake: what it shows and locks for
// each station type, what OK sends to the adapter (byte for byte) and keeps in the store on
// both registry layouts, Cancel, the factory values, and the main window's re-check on the
// simulated adapter afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/ConfigDlg.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/RssiTable.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "fakes/RegistryBytes.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/ShellContext.h"
#include "sim/SimDevice.h"

namespace odr::config {
namespace {

using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSz;

const char kNtKey[] = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
const char k95Key[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0001";

enum class Layout { Nt, Win95 };

// One stored value as the store holds it.
struct Stored {
    uint32_t type = 0;
    std::string bytes;
    bool operator==(const Stored& o) const { return type == o.type && bytes == o.bytes; }
};

const char* const kValueNames[] = {
    "Station_Type", "Master_Name",    "Channel",        "Subchannel",   "Domain",   "Mac_Optimize",
    "Roam_Config",  "Inactivity_Sec", "Inactivity_Min", "Peer_to_Peer", "CardType", "Radio_Mode"};

struct Rig {
    explicit Rig(Layout layout) : layout(layout) {
        os.version =
            layout == Layout::Win95 ? platform::OsVersion{1, 4, 0} : platform::OsVersion{2, 4, 0};
        if (layout == Layout::Win95) {
            registry.SetString(k95Key, "DeviceVxDs", "odrwin95.sys");
        } else {
            registry.SetString(kNtKey, "Master_Name", "MASTER");
        }
        deviceHost.existing = {"\\\\.\\ODRWINNT1", "\\\\.\\ODRAPI"};
        channel.OpenDriver(&status);
    }
    const char* Key() const { return layout == Layout::Win95 ? k95Key : kNtKey; }
    // A number the way the layout's driver setup stores it.
    void StoreNumber(const char* name, int value) {
        if (layout == Layout::Win95) {
            registry.SetString(Key(), name, std::to_string(value));
        } else {
            registry.SetDword(Key(), name, uint32_t(value));
        }
    }
    void StoreText(const char* name, const std::string& text) {
        registry.SetString(Key(), name, text);
    }
    std::map<std::string, Stored> Snapshot() const {
        std::map<std::string, Stored> values;
        for (const char* name : kValueNames) {
            Stored s;
            if (registry.GetValue(Key(), name, &s.type, &s.bytes)) values[name] = s;
        }
        return values;
    }
    // A stored number read back by either type.
    int Number(const char* name) const {
        Stored s;
        if (!registry.GetValue(Key(), name, &s.type, &s.bytes)) return -999;
        if (s.type == kRegDword)
            return int(ReadU32(reinterpret_cast<const uint8_t*>(s.bytes.data())));
        return std::atoi(s.bytes.c_str());
    }

    // Loads the record and opens the window filled from it.
    test::FakeWindow& Open() {
        settings.LoadSettings();
        dialog = std::make_unique<CConfigDlg>(ctx, settings);
        dialog->Fill(settings);
        window = &host.Open(*dialog);
        adapter.Clear();
        return *window;
    }
    void Choose(int id, int index) {
        window->dropLists[id].Select(index);
        dialog->OnNotify(id, ui::Notify::SelectionChanged);
    }
    void TypeName(const std::string& text) {
        window->texts[IDC_MASTER_NAME] = text;
        dialog->OnNotify(IDC_MASTER_NAME, ui::Notify::EditChanged);
    }
    int Selection(int id) { return window->dropLists[id].selection; }
    std::string Selected(int id) { return window->dropLists[id].SelectedText(); }
    void Ok() { dialog->OnCommand(IDC_CFG_OK); }

    // The SetDriverData of SetCardOptions, and the one-byte commands after it.
    std::vector<uint8_t> CardOptionsList() const {
        for (size_t i = 0; i < adapter.Calls(); ++i) {
            if (adapter.CommandOf(i) == CMD_SET_DRIVER_DATA) return adapter.DataOf(i);
        }
        return {};
    }
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> Commands() const {
        std::vector<std::pair<uint32_t, std::vector<uint8_t>>> calls;
        for (size_t i = 0; i < adapter.Calls(); ++i)
            calls.emplace_back(adapter.CommandOf(i), adapter.DataOf(i));
        return calls;
    }

    Layout layout;
    test::FakeClock clock;
    test::FakeOs os;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    test::FakeAdapter adapter;
    test::FakeDeviceHost deviceHost{adapter};
    Trace trace;
    Channel channel{deviceHost, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapterContext{channel, clock, os, status, rssi, nullptr};
    shell::ShellContext ctx{adapterContext, host, registry};
    AdapterSettings settings{registry, os, [] { return uint16_t(0); }};
    std::unique_ptr<CConfigDlg> dialog;
    test::FakeWindow* window = nullptr;
};

// Item bytes of a data list as sent: id, status 0xFFFF, length, value.
std::vector<uint8_t> Item(uint16_t id, std::vector<uint8_t> value) {
    std::vector<uint8_t> bytes = {uint8_t(id), 0, 0xFF, 0xFF, uint8_t(value.size()), 0};
    bytes.insert(bytes.end(), value.begin(), value.end());
    return bytes;
}

std::vector<uint8_t> Join(std::vector<std::vector<uint8_t>> items) {
    std::vector<uint8_t> bytes;
    for (auto& item : items) bytes.insert(bytes.end(), item.begin(), item.end());
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> Name(const std::string& text) {
    std::vector<uint8_t> bytes(12, 0);
    std::copy(text.begin(), text.end(), bytes.begin());
    return bytes;
}

class ConfigDlgLayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(ConfigDlgLayoutTest, OpensWithTheStoredValuesAndTheirLocks) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 0);
    rig.StoreNumber("Channel", 4);
    rig.StoreNumber("Subchannel", 9);
    rig.StoreNumber("Domain", 3);
    rig.StoreNumber("Mac_Optimize", 0);
    rig.StoreNumber("Roam_Config", 0);
    rig.StoreNumber("Inactivity_Sec", 6);
    rig.StoreNumber("Inactivity_Min", 12);
    rig.StoreNumber("Peer_to_Peer", 0);
    test::FakeWindow& w = rig.Open();

    EXPECT_EQ(w.textLimits[IDC_MASTER_NAME], 11);
    EXPECT_EQ(w.GetText(IDC_MASTER_NAME), "MASTER");
    EXPECT_EQ(w.dropLists[IDC_INACTIVITY_SECONDS].items.size(), 12u);
    EXPECT_EQ(w.dropLists[IDC_INACTIVITY_SECONDS].items.back(), "55");
    EXPECT_EQ(w.dropLists[IDC_INACTIVITY_MINUTES].items.size(), 61u);
    EXPECT_EQ(w.dropLists[IDC_DOMAIN].items.front(), "0");
    EXPECT_EQ(w.dropLists[IDC_CHANNEL].items.front(), "1");
    EXPECT_EQ(rig.Selected(IDC_STATION_TYPE), "Station");
    EXPECT_EQ(rig.Selected(IDC_CHANNEL), "4");
    EXPECT_EQ(rig.Selected(IDC_SUBCHANNEL), "9");
    EXPECT_EQ(rig.Selected(IDC_DOMAIN), "3");
    EXPECT_EQ(rig.Selected(IDC_MAC_OPTIMIZE), "Light");
    EXPECT_EQ(rig.Selected(IDC_ROAM_CONFIG), "Slow");
    EXPECT_EQ(rig.Selected(IDC_INACTIVITY_SECONDS), "5");  // 6 seconds show as 5
    EXPECT_EQ(rig.Selected(IDC_INACTIVITY_MINUTES), "12");
    EXPECT_FALSE(w.IsChecked(IDC_CFG_PEER_TO_PEER));
    for (int id : {IDC_CFG_MASTER_NAME_LABEL, IDC_MASTER_NAME, IDC_CHANNEL, IDC_CFG_CHANNEL_LABEL,
                   IDC_SUBCHANNEL, IDC_CFG_SUBCHANNEL_LABEL, IDC_MAC_OPTIMIZE, IDC_CFG_MAC_LABEL})
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    for (int id :
         {IDC_ROAM_CONFIG, IDC_CFG_PEER_TO_PEER, IDC_INACTIVITY_SECONDS, IDC_INACTIVITY_MINUTES})
        EXPECT_TRUE(w.IsEnabled(id)) << id;
    EXPECT_FALSE(w.IsControlVisible(IDC_CFG_VERY_ADVANCED));
    EXPECT_EQ(rig.ctx.acceleratorTarget, rig.dialog.get());

    // The 6 seconds shown as 5 are stored as 5; the rest as it was.
    const auto before = rig.Snapshot();
    rig.Ok();
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.endResult, 1);
    EXPECT_EQ(rig.Number("Inactivity_Sec"), 5);
    auto after = rig.Snapshot();
    after.erase("Inactivity_Sec");
    auto expected = before;
    expected.erase("Inactivity_Sec");
    if (GetParam() == Layout::Win95) {
        // Written back at their fixed REG_SZ lengths.
        expected["Domain"] = {kRegSz, std::string("3\0\0\0", 4)};
        expected["Station_Type"] = {kRegSz, std::string("0\0\0\0", 4)};
        expected["Roam_Config"] = {kRegSz, std::string("0\0\0\0", 4)};
        expected["Inactivity_Min"] = {kRegSz, std::string("12\0\0\0", 5)};
        expected["Peer_to_Peer"] = {kRegSz, std::string("0\0\0\0", 4)};
    }
    EXPECT_EQ(after, expected);

    // Closing gives up the keystrokes.
    rig.dialog->OnDestroy();
    EXPECT_EQ(rig.ctx.acceleratorTarget, nullptr);
}

TEST_P(ConfigDlgLayoutTest, MasterLocksPeerToPeerRoamingAndInactivityAndKeepsRoamConfig) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 0);
    rig.StoreNumber("Roam_Config", 2);
    rig.StoreNumber("Peer_to_Peer", 0);
    rig.StoreNumber("Inactivity_Sec", 10);
    test::FakeWindow& w = rig.Open();
    rig.Choose(IDC_ROAM_CONFIG, 0);  // chosen, then locked away by the station type
    rig.Choose(IDC_STATION_TYPE, 2);

    EXPECT_TRUE(w.IsChecked(IDC_CFG_PEER_TO_PEER));
    for (int id :
         {IDC_CFG_PEER_TO_PEER, IDC_ROAM_CONFIG, IDC_CFG_ROAM_LABEL, IDC_INACTIVITY_SECONDS,
          IDC_CFG_SECONDS_LABEL, IDC_INACTIVITY_MINUTES, IDC_CFG_MINUTES_LABEL})
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    for (int id : {IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_MAC_OPTIMIZE})
        EXPECT_TRUE(w.IsEnabled(id)) << id;
    rig.TypeName("HQ");
    rig.Choose(IDC_CHANNEL, 11);
    rig.Ok();

    const std::vector<uint8_t> expected =
        Join({Item(ITEM_STATION_TYPE, {2}), Item(ITEM_MASTER_NAME, Name("HQ")),
              Item(ITEM_CHANNEL, {12}), Item(ITEM_SUBCHANNEL, {1}), Item(ITEM_DOMAIN, {1}),
              Item(ITEM_INACTIVITY, {2, 0}), Item(ITEM_PEER_TO_PEER, {1})});
    EXPECT_EQ(rig.CardOptionsList(), expected);
    const auto calls = rig.Commands();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], std::make_pair(uint32_t(CMD_SET_MAC_OPTIMIZE), std::vector<uint8_t>{0}));
    // The roaming text chosen before is what the adapter gets, but the store keeps its own.
    EXPECT_EQ(calls[2], std::make_pair(uint32_t(CMD_SET_ROAM_CONFIG), std::vector<uint8_t>{0}));
    EXPECT_EQ(rig.settings.roamConfig, 2);
    EXPECT_EQ(rig.Number("Roam_Config"), 2);
    EXPECT_EQ(rig.Number("Station_Type"), 2);
    EXPECT_EQ(rig.Number("Peer_to_Peer"), 1);
    EXPECT_EQ(rig.Number("Channel"), 12);
    EXPECT_EQ(rig.Number("Inactivity_Sec"), 10);
    Stored name;
    ASSERT_TRUE(rig.registry.GetValue(rig.Key(), "Master_Name", &name.type, &name.bytes));
    EXPECT_EQ(name.bytes, std::string("HQ\0", 3));
}

TEST_P(ConfigDlgLayoutTest, StationSendsAndStoresNoneOfTheMastersValues) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 1);
    rig.StoreText("Master_Name", "NORTH");
    rig.StoreNumber("Channel", 7);
    rig.StoreNumber("Subchannel", 3);
    rig.StoreNumber("Mac_Optimize", 0);
    test::FakeWindow& w = rig.Open();
    EXPECT_EQ(rig.Selected(IDC_STATION_TYPE), "Alternate Master");
    EXPECT_TRUE(w.IsEnabled(IDC_CHANNEL));
    const auto before = rig.Snapshot();

    rig.Choose(IDC_CHANNEL, 0);
    rig.TypeName("SOUTH");
    rig.Choose(IDC_STATION_TYPE, 0);
    for (int id : {IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_MAC_OPTIMIZE})
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    EXPECT_EQ(rig.Selected(IDC_CHANNEL), "1");  // greyed, keeping its selection
    rig.Ok();

    EXPECT_EQ(rig.CardOptionsList(),
              Join({Item(ITEM_STATION_TYPE, {0}), Item(ITEM_DOMAIN, {1}),
                    Item(ITEM_INACTIVITY, {0, 0}), Item(ITEM_PEER_TO_PEER, {1})}));
    EXPECT_EQ(rig.adapter.Count(CMD_SET_MAC_OPTIMIZE), 0);
    EXPECT_EQ(rig.adapter.Count(CMD_SET_ROAM_CONFIG), 1);
    const auto after = rig.Snapshot();
    for (const char* name : {"Master_Name", "Channel", "Subchannel", "Mac_Optimize"})
        EXPECT_EQ(after.at(name), before.at(name)) << name;
    EXPECT_EQ(rig.Number("Station_Type"), 0);
}

// A station type the list does not know is a Station throughout: shown, locked, sent and
// stored as one, the master's stored values left alone.
TEST_P(ConfigDlgLayoutTest, UnknownStationTypeIsAStation) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 7);
    rig.StoreText("Master_Name", "NORTH");
    rig.StoreNumber("Channel", 7);
    test::FakeWindow& w = rig.Open();
    EXPECT_EQ(rig.Selected(IDC_STATION_TYPE), "Station");
    for (int id : {IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_MAC_OPTIMIZE})
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    const auto before = rig.Snapshot();
    rig.Ok();

    EXPECT_EQ(rig.CardOptionsList(),
              Join({Item(ITEM_STATION_TYPE, {0}), Item(ITEM_DOMAIN, {1}),
                    Item(ITEM_INACTIVITY, {0, 0}), Item(ITEM_PEER_TO_PEER, {1})}));
    const auto after = rig.Snapshot();
    for (const char* name : {"Master_Name", "Channel"}) EXPECT_EQ(after.at(name), before.at(name));
    EXPECT_EQ(rig.Number("Station_Type"), 0);
    rig.Open();
    EXPECT_FALSE(w.IsEnabled(IDC_CHANNEL));
}

TEST_P(ConfigDlgLayoutTest, CancelSendsAndStoresNothing) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 2);
    rig.StoreNumber("Domain", 4);
    test::FakeWindow& w = rig.Open();
    const auto before = rig.Snapshot();
    rig.Choose(IDC_DOMAIN, 9);
    rig.Choose(IDC_STATION_TYPE, 0);
    rig.dialog->OnCommand(IDC_CFG_DEFAULTS);
    rig.dialog->OnCommand(2);
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.endResult, 2);
    EXPECT_EQ(rig.adapter.Calls(), 0u);
    EXPECT_EQ(rig.Snapshot(), before);
    EXPECT_EQ(rig.settings.domain, 4);
    EXPECT_EQ(rig.settings.stationType, 2);
}

// Values an old store may hold that the lists do not offer are kept as they are unless the
// user picks another.
TEST_P(ConfigDlgLayoutTest, ValuesOutsideTheListsAreKept) {
    Rig rig(GetParam());
    rig.StoreNumber("Station_Type", 1);
    rig.StoreNumber("Channel", 0);
    rig.StoreNumber("Subchannel", 255);
    rig.StoreNumber("Domain", 16);
    rig.StoreNumber("Inactivity_Min", 75);
    rig.StoreText("Master_Name", "NORTH-WING-MASTER");
    test::FakeWindow& w = rig.Open();
    for (int id : {IDC_CHANNEL, IDC_SUBCHANNEL, IDC_DOMAIN, IDC_INACTIVITY_MINUTES})
        EXPECT_EQ(rig.Selection(id), -1) << id;
    EXPECT_EQ(w.GetText(IDC_MASTER_NAME), "NORTH-WING-");
    rig.Ok();

    const std::vector<uint8_t> list = rig.CardOptionsList();
    const std::vector<uint8_t> expected =
        Join({Item(ITEM_STATION_TYPE, {1}), Item(ITEM_MASTER_NAME, Name("NORTH-WING-")),
              Item(ITEM_CHANNEL, {0}), Item(ITEM_SUBCHANNEL, {255}), Item(ITEM_DOMAIN, {16}),
              Item(ITEM_INACTIVITY, {uint8_t(75 * 12), uint8_t((75 * 12) >> 8)}),
              Item(ITEM_PEER_TO_PEER, {1})});
    EXPECT_EQ(list, expected);
    EXPECT_EQ(rig.Number("Channel"), 0);
    EXPECT_EQ(rig.Number("Subchannel"), 255);
    EXPECT_EQ(rig.Number("Domain"), 16);
    EXPECT_EQ(rig.Number("Inactivity_Min"), 75);
    // The name the user did not touch is stored whole.
    Stored name;
    ASSERT_TRUE(rig.registry.GetValue(rig.Key(), "Master_Name", &name.type, &name.bytes));
    EXPECT_EQ(name.bytes, std::string("NORTH-WING-MASTER") + '\0');

    // An edited name replaces it.
    rig.Open();
    rig.TypeName("EAST");
    rig.Ok();
    ASSERT_TRUE(rig.registry.GetValue(rig.Key(), "Master_Name", &name.type, &name.bytes));
    EXPECT_EQ(name.bytes, std::string("EAST\0", 5));
}

TEST_P(ConfigDlgLayoutTest, FactoryValuesDependOnTheCard) {
    for (bool pcCard : {true, false}) {
        Rig rig(GetParam());
        if (pcCard) rig.StoreText("CardType", "PCMCIA");
        rig.StoreNumber("Station_Type", 2);
        rig.StoreNumber("Channel", 6);
        rig.StoreNumber("Subchannel", 2);
        rig.StoreNumber("Mac_Optimize", 0);
        rig.StoreNumber("Domain", 5);
        rig.StoreNumber("Roam_Config", 2);
        rig.StoreNumber("Inactivity_Min", 3);
        rig.StoreNumber("Peer_to_Peer", 0);
        test::FakeWindow& w = rig.Open();
        rig.dialog->OnCommand(IDC_CFG_DEFAULTS);

        const ConfigValues& v = rig.dialog->Values();
        EXPECT_EQ(v.stationType, "Station");
        EXPECT_EQ(v.channel, "1");
        EXPECT_EQ(v.subchannel, "1");
        EXPECT_EQ(v.macOptimize, "Normal");
        EXPECT_EQ(v.masterCapable, 0);
        EXPECT_EQ(rig.Selected(IDC_STATION_TYPE), "Station");
        EXPECT_EQ(rig.Selected(IDC_INACTIVITY_SECONDS), pcCard ? "30" : "0");
        EXPECT_EQ(rig.Selected(IDC_INACTIVITY_MINUTES), "0");
        EXPECT_EQ(rig.Selected(IDC_DOMAIN), "0");
        EXPECT_EQ(rig.Selected(IDC_ROAM_CONFIG), "Normal");
        EXPECT_EQ(w.GetText(IDC_MASTER_NAME), "MASTER");
        EXPECT_TRUE(w.IsChecked(IDC_CFG_PEER_TO_PEER));
        // The greyed lists still show the Master's items.
        EXPECT_EQ(rig.Selected(IDC_CHANNEL), "6");
        EXPECT_EQ(rig.Selected(IDC_SUBCHANNEL), "2");
        EXPECT_EQ(rig.Selected(IDC_MAC_OPTIMIZE), "Light");
        EXPECT_FALSE(w.IsEnabled(IDC_CHANNEL));

        rig.Ok();
        EXPECT_EQ(rig.Number("Inactivity_Sec"), pcCard ? 30 : 0);
        EXPECT_EQ(rig.Number("Domain"), 0);
        EXPECT_EQ(rig.Number("Roam_Config"), 1);
        EXPECT_EQ(rig.Number("Channel"), 6);  // a Station stores no channel
        EXPECT_EQ(rig.Number("Station_Type"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, ConfigDlgLayoutTest,
                         ::testing::Values(Layout::Nt, Layout::Win95),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return info.param == Layout::Nt ? "Nt" : "Win95";
                         });

TEST(ConfigDlgTest, StationTypeBytesOfEachType) {
    struct Case {
        int index;
        bool extended;
    } cases[] = {{0, false}, {1, true}, {2, true}};
    for (const Case& c : cases) {
        Rig rig(Layout::Nt);
        rig.Open();
        rig.Choose(IDC_STATION_TYPE, c.index);
        rig.Ok();
        const std::vector<uint8_t> list = rig.CardOptionsList();
        ASSERT_GE(list.size(), 7u);
        EXPECT_EQ(list[6], c.index);
        // Items and the list's terminator.
        EXPECT_EQ(list.size(), (c.extended ? 7u * 6 + 1 + 12 + 1 + 1 + 1 + 2 + 1 : 29u) + 2);
        EXPECT_EQ(rig.adapter.Count(CMD_SET_MAC_OPTIMIZE), c.extended ? 1 : 0);
    }
}

// Every list and the check box of an Alternate Master, changed by the user: OK sends what
// they show ("Light" as MAC byte 1, "Fast" as roaming byte 2) and stores it.
TEST(ConfigDlgTest, ChangedListsAndCheckBoxAreSentAndStored) {
    Rig rig(Layout::Nt);
    rig.StoreNumber("Station_Type", 1);
    rig.StoreNumber("Channel", 4);
    rig.StoreNumber("Peer_to_Peer", 1);
    test::FakeWindow& w = rig.Open();
    ASSERT_EQ(rig.Selected(IDC_MAC_OPTIMIZE), "Normal");
    ASSERT_TRUE(w.IsChecked(IDC_CFG_PEER_TO_PEER));
    rig.Choose(IDC_CHANNEL, 6);
    rig.Choose(IDC_SUBCHANNEL, 2);
    rig.Choose(IDC_DOMAIN, 11);
    rig.Choose(IDC_MAC_OPTIMIZE, 1);
    rig.Choose(IDC_ROAM_CONFIG, 2);
    rig.Choose(IDC_INACTIVITY_SECONDS, 3);
    rig.Choose(IDC_INACTIVITY_MINUTES, 2);
    w.SetCheck(IDC_CFG_PEER_TO_PEER, false);
    rig.dialog->OnNotify(IDC_CFG_PEER_TO_PEER, ui::Notify::Clicked);
    EXPECT_EQ(rig.dialog->Values().peerToPeer, 0);
    rig.Ok();

    EXPECT_EQ(rig.CardOptionsList(),
              Join({Item(ITEM_STATION_TYPE, {1}), Item(ITEM_MASTER_NAME, Name("MASTER")),
                    Item(ITEM_CHANNEL, {7}), Item(ITEM_SUBCHANNEL, {3}), Item(ITEM_DOMAIN, {11}),
                    Item(ITEM_INACTIVITY, {3 + 12 * 2, 0}), Item(ITEM_PEER_TO_PEER, {0})}));
    const auto calls = rig.Commands();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], std::make_pair(uint32_t(CMD_SET_MAC_OPTIMIZE), std::vector<uint8_t>{1}));
    EXPECT_EQ(calls[2], std::make_pair(uint32_t(CMD_SET_ROAM_CONFIG), std::vector<uint8_t>{2}));
    EXPECT_EQ(rig.Number("Channel"), 7);
    EXPECT_EQ(rig.Number("Subchannel"), 3);
    EXPECT_EQ(rig.Number("Domain"), 11);
    EXPECT_EQ(rig.Number("Mac_Optimize"), 0);
    EXPECT_EQ(rig.Number("Roam_Config"), 2);
    EXPECT_EQ(rig.Number("Inactivity_Sec"), 15);
    EXPECT_EQ(rig.Number("Inactivity_Min"), 2);
    EXPECT_EQ(rig.Number("Peer_to_Peer"), 0);

    // Ticked again, and "Normal" chosen back: both go out as such.
    test::FakeWindow& again = rig.Open();
    EXPECT_FALSE(again.IsChecked(IDC_CFG_PEER_TO_PEER));
    EXPECT_EQ(rig.Selected(IDC_MAC_OPTIMIZE), "Light");
    rig.Choose(IDC_MAC_OPTIMIZE, 0);
    again.SetCheck(IDC_CFG_PEER_TO_PEER, true);
    rig.dialog->OnNotify(IDC_CFG_PEER_TO_PEER, ui::Notify::Clicked);
    rig.Ok();
    EXPECT_EQ(rig.Commands()[1],
              std::make_pair(uint32_t(CMD_SET_MAC_OPTIMIZE), std::vector<uint8_t>{0}));
    EXPECT_EQ(rig.Number("Mac_Optimize"), 1);
    EXPECT_EQ(rig.Number("Peer_to_Peer"), 1);
}

TEST(ConfigDlgTest, AcceleratorsHelpAndTheHiddenButton) {
    Rig rig(Layout::Nt);
    test::FakeWindow& w = rig.Open();
    for (int id :
         {IDC_STATION_TYPE, IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_DOMAIN,
          IDC_MAC_OPTIMIZE, IDC_ROAM_CONFIG, IDC_INACTIVITY_SECONDS, IDC_INACTIVITY_MINUTES}) {
        EXPECT_TRUE(rig.dialog->HandlesAccelerator(id)) << id;
        rig.dialog->OnAccelerator(id);
        EXPECT_EQ(w.focus, id);
    }
    // The Master List's: left to the window's own keyboard handling.
    EXPECT_FALSE(rig.dialog->HandlesAccelerator(IDC_MASTER_DOMAIN_LIST));
    rig.dialog->OnAccelerator(IDC_MASTER_DOMAIN_LIST);
    EXPECT_EQ(w.focus, IDC_INACTIVITY_MINUTES);

    rig.dialog->OnMouse(ui::Mouse::RightDown, 5, 5);
    EXPECT_FALSE(w.IsControlVisible(IDC_CFG_VERY_ADVANCED));
    rig.dialog->OnMouse(ui::Mouse::RightDoubleClick, 5, 5);
    EXPECT_TRUE(w.IsControlVisible(IDC_CFG_VERY_ADVANCED));
    EXPECT_TRUE(w.IsEnabled(IDC_CFG_VERY_ADVANCED));
    rig.dialog->OnCommand(IDC_CFG_VERY_ADVANCED);
    EXPECT_FALSE(w.ended);

    std::string help;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& h = static_cast<shell::CHelpDlg&>(d);
        help = h.StartKeyword() + "|" + h.EndKeyword() + "|" + h.Title();
    };
    rig.dialog->OnCommand(IDC_CFG_HELP);
    EXPECT_EQ(help, "HELPCONFIG|HELPSITE|Configuration Help");
    EXPECT_FALSE(w.ended);
    EXPECT_EQ(rig.adapter.Calls(), 0u);
}

// The main window's button on the simulated default site: a Station moved to domain 7
// finds that domain's master at the re-check; a Master is synchronised to itself.
TEST(ConfigDlgTest, MainWindowReChecksOnTheChangedSite) {
    test::FakeClock clock;
    clock.yieldStepMs = 10;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices(sim::DefaultScenario(), clock);
    Channel channel(devices, os, clock, trace);
    AdapterStatus status;
    RssiTable rssi;
    platform::MemoryRegistry registry;
    registry.SetDword(kNtKey, "Station_Type", 0);
    registry.SetString(kNtKey, "Master_Name", "MASTER");
    test::FakeHost host;
    shell::ShellAdapterUi adapterUi(host);
    AdapterContext adapter{channel, clock, os, status, rssi, &adapterUi};
    shell::ShellContext ctx{adapter, host, registry};
    shell::CToolSet tools(ctx);
    shell::CMainDlg main(ctx, tools);
    test::FakeWindow& w = host.Open(main);
    main.OnTimer(1);
    ASSERT_NE(main.StatusText().find("Synchronized to 0020a6100001  LOBBY"), std::string::npos);

    int helpContext = 0;
    host.scripts[IDD_CONFIGURATION] = [&](ui::Dialog& d, test::FakeWindow& cw) {
        helpContext = ctx.helpContext;
        EXPECT_EQ(cw.dropLists[IDC_DOMAIN].SelectedText(), "1");
        cw.dropLists[IDC_DOMAIN].Select(7);
        d.OnNotify(IDC_DOMAIN, ui::Notify::SelectionChanged);
        d.OnCommand(IDC_CFG_OK);
    };
    main.OnCommand(IDC_CONFIGURATION);
    EXPECT_EQ(helpContext, 1051);
    EXPECT_EQ(ctx.helpContext, 102);
    EXPECT_EQ(ctx.acceleratorTarget, nullptr);
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_EQ(w.TimerInterval(1), 100u);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(registry.GetValue(kNtKey, "Domain", &type, &bytes));
    EXPECT_EQ(bytes, test::Dword(7));
    main.OnTimer(1);
    EXPECT_NE(main.StatusText().find("Synchronized to 0020a6100003  ANNEX"), std::string::npos)
        << main.StatusText();

    host.scripts[IDD_CONFIGURATION] = [&](ui::Dialog& d, test::FakeWindow& cw) {
        cw.dropLists[IDC_STATION_TYPE].Select(2);
        d.OnNotify(IDC_STATION_TYPE, ui::Notify::SelectionChanged);
        cw.texts[IDC_MASTER_NAME] = "HQ";
        d.OnNotify(IDC_MASTER_NAME, ui::Notify::EditChanged);
        d.OnCommand(IDC_CFG_OK);
    };
    main.OnCommand(IDC_CONFIGURATION);
    main.OnTimer(1);
    EXPECT_NE(main.StatusText().find("Synchronized to 0020a6f00001  HQ"), std::string::npos)
        << main.StatusText();
    EXPECT_EQ(main.Settings().stationType, 2);
}

}  // namespace
}  // namespace odr::config
