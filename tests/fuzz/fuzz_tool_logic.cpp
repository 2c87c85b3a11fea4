// The tools' plain logic fed with hostile driver replies: the survey table with any
// addresses and signals over many rounds, the master list with any addresses and names (no
// terminators), the firmware test on any version text, and the snoop band and column
// geometry for any country code, first channel and graph size.
#include <cstring>
#include <set>
#include <string>

#include "masters/MasterList.h"
#include "snoop/SnoopBand.h"
#include "survey/SurveyTable.h"
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
    odr::survey::SurveyTable table;
    while (!in.empty()) {
        const uint8_t op = in.Byte();
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
            odr::masters::SupportsDirectedSync(version);
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
        Require(index < odr::survey::kMaxNodes, "an index inside the table");
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
    Require(table.Highest() < odr::survey::kMaxNodes, "the table holds at most 100 nodes");
    std::set<int> order;
    for (int i = 0; i <= table.Highest(); ++i) {
        const odr::survey::SurveyNode& node = table.Node(i);
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
