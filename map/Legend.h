// What the heat map shows and in which colours: the metric, a point's value for it, the
// user's thresholds and the three bands good / fair / poor, and one colour per master for
// the map of which master serves where.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/Survey.h"
#include "platform/Image.h"

namespace odr::map {

enum class Metric {
    kSignal,       // percent: the chosen station's signal, or the synchronised master's
    kLinkQuality,  // 0-5 shown as percent (x20), of the chosen station or the master
    kLatency,      // ms, active points only; lower is better
    kThroughput,   // packets per second, active points only
    kMaster,       // which master the adapter was synchronised to
};
constexpr int kMetricCount = 5;

// "signal", "link_quality", "latency", "throughput", "master": the file's words.
const char* MetricKey(Metric metric);
bool ParseMetric(const std::string& key, Metric* metric);
// "SIGNAL %", "LINK QUALITY %", "LATENCY MS", "THROUGHPUT PACKETS/S", "MASTER".
const char* MetricTitle(Metric metric);
bool HigherIsBetter(Metric metric);
// Signal and link quality: shown for a chosen station as well as for the master.
bool PerStation(Metric metric);

// A value is good at `good` or better, fair at `fair` or better, else poor; "better" is
// higher for every metric but latency.
struct Thresholds {
    double good = 0;
    double fair = 0;
};
// Signal and link quality 70 / 40 %, latency 20 / 50 ms, throughput 50 / 20 packets/s.
Thresholds DefaultThresholds(Metric metric);
// Whether `t` orders good before fair for the metric (equal is allowed) and is in range.
bool ValidThresholds(Metric metric, const Thresholds& t);

enum class Band { kGood, kFair, kPoor };
Band Classify(Metric metric, const Thresholds& t, double value);
platform::Rgb BandColour(Band band);
// Colours of the masters, by their place in the list of masters (cycling); kNoMasterColour
// where the adapter was not synchronised.
platform::Rgb MasterColour(size_t index);
constexpr platform::Rgb kNoMasterColour{96, 96, 96};

// What the map shows.
struct MapSettings {
    Metric metric = Metric::kSignal;
    uint64_t station = kNoStation;  // for signal and link quality; none: the synchronised master
    double radiusM = 8;
    Thresholds thresholds[kMetricCount];
    MapSettings();
    const Thresholds& Current() const { return thresholds[int(metric)]; }
};

// The value point `p` has for the metric, false when it has none: latency and throughput
// only at active points (latency only when packets arrived). A station not heard, or no
// master, is signal 0 and link quality 0. Every point has a master value (0: its colour
// comes from the point's master).
bool PointValue(const SurveyPoint& p, const MapSettings& settings, double* value);

// Masters the adapter was synchronised to, in address order: their place gives the colour.
std::vector<uint64_t> SynchronisedMasters(const Survey& survey);

// One swatch of a legend and its label, "GOOD >= 70 %" or a master's name.
struct LegendEntry {
    platform::Rgb colour;
    std::string label;
};
std::vector<LegendEntry> LegendEntries(const Survey& survey, const MapSettings& settings);

}  // namespace odr::map
