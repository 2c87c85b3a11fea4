// Metrics, thresholds, bands and their colours.
#include "map/Legend.h"

#include <algorithm>

#include "map/Decimal.h"

namespace odr::map {
namespace {

struct MetricInfo {
    const char* key;
    const char* title;
    const char* unit;
    bool higherIsBetter;
    Thresholds defaults;
    double top;  // the largest threshold allowed
};

const MetricInfo kMetrics[kMetricCount] = {
    {"signal", "SIGNAL %", "%", true, {70, 40}, 100},
    {"link_quality", "LINK QUALITY %", "%", true, {70, 40}, 100},
    {"latency", "LATENCY MS", "MS", false, {20, 50}, 1000000},
    {"throughput", "THROUGHPUT PACKETS/S", "PACKETS/S", true, {50, 20}, 1000000},
    {"master", "MASTER", "", true, {0, 0}, 0},
};

const MetricInfo& Info(Metric m) {
    return kMetrics[std::clamp(int(m), 0, kMetricCount - 1)];
}

}  // namespace

const char* MetricKey(Metric metric) {
    return Info(metric).key;
}

bool ParseMetric(const std::string& key, Metric* metric) {
    for (int i = 0; i < kMetricCount; ++i) {
        if (key == kMetrics[i].key) {
            *metric = Metric(i);
            return true;
        }
    }
    return false;
}

const char* MetricTitle(Metric metric) {
    return Info(metric).title;
}

bool HigherIsBetter(Metric metric) {
    return Info(metric).higherIsBetter;
}

bool PerStation(Metric metric) {
    return metric == Metric::kSignal || metric == Metric::kLinkQuality;
}

Thresholds DefaultThresholds(Metric metric) {
    return Info(metric).defaults;
}

bool ValidThresholds(Metric metric, const Thresholds& t) {
    const double top = Info(metric).top;
    const auto inRange = [top](double v) { return v >= 0 && v <= top; };
    if (!inRange(t.good) || !inRange(t.fair)) return false;
    return HigherIsBetter(metric) ? t.good >= t.fair : t.good <= t.fair;
}

Band Classify(Metric metric, const Thresholds& t, double value) {
    if (HigherIsBetter(metric)) {
        return value >= t.good ? Band::kGood : value >= t.fair ? Band::kFair : Band::kPoor;
    }
    return value <= t.good ? Band::kGood : value <= t.fair ? Band::kFair : Band::kPoor;
}

platform::Rgb BandColour(Band band) {
    switch (band) {
        case Band::kGood:
            return {0, 192, 0};
        case Band::kFair:
            return {255, 200, 0};
        default:
            return {230, 0, 0};
    }
}

platform::Rgb MasterColour(size_t index) {
    static const platform::Rgb kColours[] = {
        {0, 90, 255},  {255, 140, 0}, {150, 60, 200}, {0, 170, 170},   {230, 0, 160},
        {150, 90, 30}, {140, 210, 0}, {0, 40, 140},   {255, 120, 170}, {120, 120, 0},
    };
    return kColours[index % (sizeof kColours / sizeof kColours[0])];
}

MapSettings::MapSettings() {
    for (int i = 0; i < kMetricCount; ++i) thresholds[i] = DefaultThresholds(Metric(i));
}

bool PointValue(const SurveyPoint& p, const MapSettings& settings, double* value) {
    switch (settings.metric) {
        case Metric::kSignal:
        case Metric::kLinkQuality: {
            const uint64_t address = settings.station == kNoStation ? p.master : settings.station;
            const Station* s = address == kNoStation ? nullptr : p.Find(address);
            if (!s) {
                *value = 0;
            } else {
                *value = settings.metric == Metric::kSignal ? s->signal : s->linkQuality * 20;
            }
            return true;
        }
        case Metric::kLatency:
            *value = p.latencyMs;
            return p.active && p.packetsPerSecond > 0;
        case Metric::kThroughput:
            *value = p.packetsPerSecond;
            return p.active;
        default:
            *value = 0;
            return true;
    }
}

std::vector<uint64_t> SynchronisedMasters(const Survey& survey) {
    std::vector<uint64_t> masters;
    for (const SurveyPoint& p : survey.Points()) {
        if (p.master != kNoStation) masters.push_back(p.master);
    }
    std::sort(masters.begin(), masters.end());
    masters.erase(std::unique(masters.begin(), masters.end()), masters.end());
    return masters;
}

std::vector<LegendEntry> LegendEntries(const Survey& survey, const MapSettings& settings) {
    std::vector<LegendEntry> entries;
    if (settings.metric == Metric::kMaster) {
        const std::vector<uint64_t> masters = SynchronisedMasters(survey);
        for (size_t i = 0; i < masters.size(); ++i) {
            std::string name = survey.NameOf(masters[i]);
            if (name.empty()) name = FormatAddress(masters[i]);
            entries.push_back({MasterColour(i), name});
        }
        const bool unsynchronised =
            std::any_of(survey.Points().begin(), survey.Points().end(),
                        [](const SurveyPoint& p) { return p.master == kNoStation; });
        if (unsynchronised) entries.push_back({kNoMasterColour, "NO MASTER"});
        return entries;
    }
    const MetricInfo& info = Info(settings.metric);
    const Thresholds& t = settings.Current();
    const std::string unit = std::string(" ") + info.unit;
    const char* better = info.higherIsBetter ? ">= " : "<= ";
    const char* worse = info.higherIsBetter ? "< " : "> ";
    entries.push_back(
        {BandColour(Band::kGood), "GOOD " + (better + FormatDecimal(t.good, 2)) + unit});
    entries.push_back(
        {BandColour(Band::kFair), "FAIR " + (better + FormatDecimal(t.fair, 2)) + unit});
    entries.push_back(
        {BandColour(Band::kPoor), "POOR " + (worse + FormatDecimal(t.fair, 2)) + unit});
    return entries;
}

}  // namespace odr::map
