// The tools' plain logic fed with hostile driver replies: the survey table with any
// addresses and signals over many rounds, the master list with any addresses and names (no
// terminators), the firmware test on any version text, the link test's window with any
// replies, values and latencies, the snoop band, bars and column geometry for any country
// code, first channel, graph size and readings, and the history chart's pitch.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "driver/Firmware.h"
#include "linktest/LinkWindow.h"
#include "linktest/SignalHistory.h"
#include "masters/MasterList.h"
#include "shell/kit/SurveyTable.h"
#include "snoop/SnoopBand.h"
#include "snoop/SpectrumSample.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::fuzz::FuzzInput in(data, size);

    const odr::snoop::BandLayout band = odr::snoop::BandFor(in.Byte(), in.Byte());
    Require(band.count > 0 && band.count <= 100, "a band of 1 to 100 frequencies");
    const int width = int(in.U32() % 5000) - 100;
    const int height = int(in.U32() % 5000) - 100;
    const odr::snoop::ColumnGeometry g = odr::snoop::GeometryFor(width, height, band.count);
    Require(g.width > 0 && g.gap >= 0, "columns have a width");

    odr::masters::MasterList masters;
    odr::linktest::LinkWindow link;
    odr::shell::SurveyTable table;
    while (!in.empty()) {
        const uint8_t op = in.Byte();
        if (op % 8 == 3) {
            // A link test pass: replies, completions and latencies as the driver gave them.
            odr::linktest::Slot& slot = link.Current();
            for (int n = in.Byte() % 8; n > 0; --n) {
                const uint8_t kind = in.Byte();
                if (kind % 3 == 0) slot.AddReply(int(int8_t(in.Byte())) * 4, in.U32());
                if (kind % 3 == 1) slot.AddCompleted(int(in.U32()));
                if (kind % 3 == 2) {
                    const int latency = int(in.U32());
                    if (slot.AddSample(latency)) link.StoreLatency(latency);
                }
            }
            const odr::linktest::PassFigures f = link.Statistics();
            Require(f.signalBar >= 0 && f.signalBar <= 100 && f.signalBar % 10 == 0,
                    "the signal bar in tenths of 0-100");
            Require(f.packetsPerSecond >= 0 && f.bytesPerSecond >= 0 && f.averagePackets >= 0 &&
                        f.averageBytes >= 0,
                    "rates are not negative");
            Require(std::isfinite(f.deviation) && f.deviation >= 0, "a finite deviation");
            const unsigned pitch = odr::linktest::TonePitch(f.signalBar);
            Require(pitch >= 400 && pitch <= 2400, "the tone stays in 400-2400 Hz");
            if (in.Byte() & 1) {
                link.Advance();
            } else {
                link.Restart();
            }
            continue;
        }
        if (op % 8 == 4) {
            // A snoop dwell: any readings, drawn on the geometry above.
            odr::snoop::SpectrumSample sample;
            for (int n = in.Byte(); n > 0; --n) sample.Add(in.Byte());
            Require(sample.peak <= odr::snoop::kMaxReading, "the peak is at most 100");
            Require(sample.Average() <= sample.peak, "the average is at most the peak");
            // A graph too low for its margin has its base above the top: nothing is drawn.
            Require(g.Top(sample.peak) <= std::max(g.Base(), 0) && g.Top(sample.peak) >= 0,
                    "bars grow upward from the base, inside the graph");
            continue;
        }
        if (op % 8 == 2) {
            char address[13] = {};
            in.Bytes(reinterpret_cast<uint8_t*>(address), 12);
            char name[12];  // the driver's bytes, no terminator
            std::memset(name, 'N', sizeof name);
            in.Bytes(reinterpret_cast<uint8_t*>(name), sizeof name);
            const int before = masters.Count();
            const odr::masters::CMasterEntry* e =
                masters.Add(address, name, in.Byte() % 16, in.Byte(), in.Byte());
            Require(masters.Count() == before + (e != nullptr ? 1 : 0), "one record per add");
            char version[8] = {};
            std::memcpy(version, name, 7);
            odr::SupportsDirectedSync(version);
            continue;
        }
        if (op % 8 == 0) {
            table.EndRound();
            table.ComputeStatistics();
            continue;
        }
        char address[13];
        const size_t n = in.Bytes(reinterpret_cast<uint8_t*>(address), 12);
        address[n] = '\0';
        const int signal = int(int8_t(in.Byte())) * 3;
        const int index = table.AddReply(address, signal, op % 8 == 1);
        Require(index < odr::shell::kMaxNodes, "an index inside the table");
        if (index >= 0) {
            Require(odr::IsNodeAddress(table.Node(index).address), "only addresses kept");
        }
    }
    std::set<std::string> keys;
    for (int i = 0; i < masters.Count(); ++i) {
        const odr::masters::CMasterEntry& e = *masters.At(i);
        Require(odr::IsNodeAddress(e.address.c_str()), "keys are addresses");
        for (char c : e.address) Require(!(c >= 'A' && c <= 'F'), "keys in lower case");
        Require(e.name.size() <= odr::masters::kMaxNameLength, "names of at most 11 characters");
        Require(e.Cells().size() == 4, "four cells a row");
        keys.insert(e.address);
    }
    Require(int(keys.size()) == masters.Count(), "list keys unique");

    table.ComputeStatistics();
    Require(table.Highest() < odr::shell::kMaxNodes, "the table holds at most 100 nodes");
    std::set<int> order;
    for (int i = 0; i <= table.Highest(); ++i) {
        const odr::shell::SurveyNode& node = table.Node(i);
        Require(node.linkQuality >= 0 && node.linkQuality <= 5, "link quality 0-5");
        Require(node.strength >= 0 && node.strength <= 100 && node.strength % 10 == 0,
                "strength in tens of percent");
        if (i > 0) order.insert(table.OrderAt(i));
    }
    if (table.Highest() > 0) {
        Require(int(order.size()) == table.Highest() && *order.begin() >= 1 &&
                    *order.rbegin() <= table.Highest(),
                "the address order lists every node once");
    }
    for (int p = 0; p <= table.Highest(); ++p) {
        const int i = table.IndexAt(p, 1);
        Require(i >= -1 && i <= table.Highest(), "rows show table entries");
    }
    return 0;
}
