// The simulated adapter: running state of one radio card in a scenario's site, answering
// DriverRequest blocks as the real driver would. Time comes from the platform clock; at
// every request the world is brought up to date, stepping through the time since the last.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Threads.h"
#include "sim/Scenario.h"

namespace odr::sim {

// Result of a request the adapter refuses (malformed, unknown command, bad argument).
constexpr int kRefused = -1;
// System error code of a device call while the driver is lost.
constexpr uint32_t kErrorDeviceNotConnected = 1167;
// Levels weaker than this are not heard.
constexpr double kHearingThreshold = -85.0;
// A master silent this long makes an Alternate Master take over.
constexpr uint32_t kTakeoverMs = 5000;
// A ping nobody answers is given up after this long.
constexpr uint32_t kPingGiveUpMs = 1000;
// A roaming candidate must be this much stronger than the current master.
constexpr double kRoamHysteresisDb = 6.0;

class SimAdapter {
  public:
    SimAdapter(Scenario scenario, platform::Clock& clock);

    // Start-up values, as the driver reads them when it loads.
    void ApplyStartup(const StartupValues& values);

    // Whether the device can be opened now (driver_absent fault).
    bool Present();

    // Answers one 2016-byte block. False with a system error code when the device call
    // itself fails (driver_lost fault).
    bool Handle(uint8_t* block, uint32_t* error);

    // Raw reading the adapter reports for a level in dBm, without jitter: the reading whose
    // percentage in the tools' own table is nearest to the level's.
    uint8_t RawForLevel(double dbm) const;

    // Where this adapter stands on the floor; false when it has no position.
    bool Position(Point* at);
    // Moves this adapter to `at`, brought onto the floor when off it; without a floor, or
    // for a point that is not a number, nothing moves. The placed stations' levels follow
    // at once, and synchronisation and roaming from that moment.
    void MoveTo(Point at);

    const Scenario& scenario() const { return scenario_; }

  private:
    // The card's radio after a start: running, unsynchronised, acquiring from `now`.
    void StartRadio(uint64_t now);
    // Milliseconds since the adapter was created, in 64 bits: the process clock wraps.
    uint64_t Elapsed();
    enum class Search { None, Asynchronous, Synchronous };
    static constexpr int kSelf = -2;  // sync target: this adapter acting as master
    static constexpr int kNone = -1;

    struct Reply {
        uint64_t arrival = 0;  // ms since creation
        Address from{};
        uint8_t raw = 0;
        uint32_t value = 0;
    };
    struct Ping {
        uint64_t sent = 0;
        uint64_t completes = 0;  // when the last answer arrives
        bool answered = false;
        bool stuck = false;
    };

    int Dispatch(uint32_t code, uint8_t* data, uint32_t length, uint32_t* replyLength);
    int DataItems(bool set, uint8_t* data, uint32_t length);
    bool ReadItem(uint16_t id, uint8_t* value);
    bool WriteItem(uint16_t id, const uint8_t* value);
    int TransmitPing(bool longForm, uint8_t* data, uint32_t length);
    int ReceivePing(uint8_t* data, uint32_t* replyLength);
    int PollPing(uint8_t* data, uint32_t length, uint32_t* replyLength);
    int ReadCalibration(uint8_t* data, uint32_t length, uint32_t* replyLength);
    uint8_t ReadRssi();
    bool DriverLost(uint32_t code) const;
    void BuildRawTable();

    // World.
    // Gives each placed station the constant level heard where this adapter stands.
    void PlaceStations();
    void CatchUp(uint64_t now);
    void Update();
    double Seconds() const { return now_ / 1000.0; }
    bool Heard(const Station& station) const;
    double Level(const Station& station) const;
    int StrongestMaster(int domain, int except) const;
    std::vector<int> HeardMasters(int domain) const;
    void SyncTo(int master);
    void LoseSync();
    void UpdateStation();
    uint8_t JitteredRaw(double dbm);
    double Uniform();  // [0, 1)
    bool Chance(uint32_t percent);

    Scenario scenario_;
    platform::Clock& clock_;
    uint32_t lastClock_;
    uint64_t elapsed_ = 0;
    uint64_t now_ = 0;
    std::mt19937 rng_;
    platform::Mutex mutex_;
    std::vector<Wall> walls_;

    // Running state.
    bool running_ = true;
    StartupValues config_;
    std::string securityId_;
    uint8_t syncState_ = 0;
    Address syncAddress_{};
    std::string syncName_;
    uint8_t syncChannel_ = 0;
    uint8_t syncSubchannel_ = 0;
    int syncTarget_ = kNone;  // master index, kSelf or kNone
    int home_ = kNone;        // the master a station keeps when roaming is disabled
    uint64_t acquireFrom_ = 0;
    uint64_t lastMasterHeard_ = 0;
    bool tookOver_ = false;
    int roamCandidate_ = kNone;
    uint64_t roamSince_ = 0;

    Search search_ = Search::None;
    uint8_t searchDomain_ = 0;
    std::string searchName_;
    uint64_t searchFrom_ = 0;

    bool parked_ = false;
    uint8_t parkedChannel_ = 0;

    double lastReattach_ = -1;  // seconds; a driver_lost span ended before it is over
    uint8_t rawForPercent_[101] = {};
    uint8_t nextHandle_ = 1;
    std::map<uint8_t, Ping> pings_;
    std::deque<Reply> replies_;
};

}  // namespace odr::sim
