// The built-in site the simulated adapter plays without a scenario file.
#include "sim/Scenario.h"

namespace odr::sim {

namespace {

Station MakeStation(const std::string& id, const char* address, double signal, uint32_t latency,
                    uint32_t reply) {
    Station s;
    s.id = id;
    s.name = id;
    ParseAddress(address, &s.address);
    s.signal.points = {{0, signal}};
    s.onAir.spans = {{0, -1}};
    s.latencyMs = latency;
    s.replyPercent = reply;
    return s;
}

Station MakeMaster(const std::string& id, const char* address, uint8_t domain, uint8_t channel,
                   uint8_t subchannel, double signal, uint32_t latency, uint32_t reply) {
    Station s = MakeStation(id, address, signal, latency, reply);
    s.domain = domain;
    s.channel = channel;
    s.subchannel = subchannel;
    return s;
}

Station MakeNode(const std::string& id, const char* address, const std::string& master,
                 double signal, uint32_t latency, uint32_t reply) {
    Station s = MakeStation(id, address, signal, latency, reply);
    s.master = master;
    return s;
}

}  // namespace

Scenario DefaultScenario() {
    Scenario s;
    s.seed = 1;
    // Adapter defaults are those of AdapterConfig.
    s.masters = {
        MakeMaster("LOBBY", "0020a6100001", 1, 3, 1, -52, 3, 100),
        MakeMaster("WAREHOUSE", "0020a6100002", 1, 9, 2, -71, 6, 95),
        MakeMaster("ANNEX", "0020a6100003", 7, 5, 1, -60, 4, 100),
    };
    Station guest = MakeMaster("GUEST", "0020a6100004", 1, 12, 1, -45, 3, 100);
    guest.securityId = "GUESTNET";
    s.masters.push_back(guest);
    s.nodes = {
        MakeNode("N1", "0020a6200001", "LOBBY", -44, 2, 100),
        MakeNode("N2", "0020a6200002", "LOBBY", -50, 3, 100),
        MakeNode("N3", "0020a6200003", "LOBBY", -58, 3, 98),
        MakeNode("N4", "0020a6200004", "LOBBY", -63, 4, 95),
        MakeNode("N5", "0020a6200005", "LOBBY", -69, 5, 90),
        MakeNode("N6", "0020a6200006", "LOBBY", -74, 6, 80),
        MakeNode("N7", "0020a6200007", "LOBBY", -80, 8, 60),
        MakeNode("N8", "0020a6200008", "LOBBY", -95, 5, 90),
        MakeNode("W1", "0020a6300001", "WAREHOUSE", -66, 5, 95),
        MakeNode("W2", "0020a6300002", "WAREHOUSE", -73, 7, 85),
        MakeNode("W3", "0020a6300003", "WAREHOUSE", -79, 9, 70),
    };
    // N8 walks in and out of range once a minute.
    Station& fading = s.nodes[7];
    fading.signal.points = {{0, -95}, {20, -95}, {30, -60}, {45, -60}, {55, -95}};
    fading.cycle = 60;
    s.interference = {{30, 36, -55, 40}};
    for (Station& m : s.masters) {
        if (m.securityId.empty()) m.securityId = s.adapter.securityId;
    }
    for (Station& n : s.nodes) n.securityId = s.adapter.securityId;
    return s;
}

}  // namespace odr::sim
