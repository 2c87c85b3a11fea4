// The coverage map's heat map over a 2,000 x 1,500 plan with 2,000 points: drawn whole
// (field, colours and picture), after one more point (only the cells within its radius
// recomputed), and the picture alone; at the plan's size and at a window's. Then the memory
// 10,000 points take (every allocation counted), the field's and the plan's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "map/CoverageMap.h"

namespace {

size_t liveBytes = 0;

using Steady = std::chrono::steady_clock;

double MillisSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr uint64_t kMasters[] = {0x0020a6400001, 0x0020a6400002, 0x0020a6400003};

odr::map::SurveyPoint RandomPoint(std::mt19937* random, double widthM, double heightM) {
    std::uniform_real_distribution<double> x(0, widthM), y(0, heightM);
    std::uniform_int_distribution<int> signal(0, 100), pick(0, 2);
    odr::map::SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = x(*random);
    p.yM = y(*random);
    p.master = kMasters[pick(*random)];
    for (uint64_t m : kMasters) {
        p.stations.push_back({m, odr::map::Role::kMaster, "MASTER", signal(*random), 3});
    }
    for (uint64_t n = 0; n < 2; ++n) {
        p.stations.push_back({0x0020a6410000 + n, odr::map::Role::kNode, "", signal(*random), 2});
    }
    p.active = true;
    p.packetsPerSecond = 40;
    p.latencyMs = 12;
    return p;
}

}  // namespace

void* operator new(size_t n) {
    auto* block = static_cast<size_t*>(std::malloc(n + 16));
    if (!block) throw std::bad_alloc();
    *block = n;
    liveBytes += n;
    return reinterpret_cast<char*>(block) + 16;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - 16);
    liveBytes -= *block;
    std::free(block);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

int main() {
    using namespace odr::map;
    using namespace odr::platform;
    std::mt19937 random(1);
    Image plan(2000, 1500);
    for (int x = 0; x < 2000; x += 50) plan.FillRect(x, 0, x + 1, 1500, Rgb{0, 0, 0});
    CoverageMap map;
    std::string error;
    if (!map.SetPlan(plan, "plan.bmp", 50, &error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    for (int i = 0; i < 2000; ++i) map.AddPoint(RandomPoint(&random, 50, 37.5), &error);
    std::printf("Heat map, 2,000 points, 2,000 x 1,500 plan (50 x 37.5 m), radius %.1f m\n",
                map.Settings().radiusM);
    for (const auto& area : std::vector<std::pair<int, int>>{{2000, 1500}, {800, 600}}) {
        std::vector<double> whole, added, picture;
        map.RenderView(area.first, area.second);  // the plan scaled once for this size
        for (int run = 0; run < 7; ++run) {
            map.SetMetric(Metric::kSignal);  // the field is built afresh
            auto start = Steady::now();
            map.RenderView(area.first, area.second);
            whole.push_back(MillisSince(start));
            start = Steady::now();
            map.AddPoint(RandomPoint(&random, 50, 37.5), &error);
            map.RenderView(area.first, area.second);
            added.push_back(MillisSince(start));
            start = Steady::now();
            map.RenderView(area.first, area.second);
            picture.push_back(MillisSince(start));
            map.Undo();
        }
        std::printf(
            "  drawn at %d x %d: whole %.1f ms, after one new point %.1f ms, the picture alone "
            "%.1f ms\n",
            area.first, area.second, Median(whole), Median(added), Median(picture));
    }
    std::vector<double> master;
    map.SetMetric(Metric::kMaster);
    for (int run = 0; run < 7; ++run) {
        map.SetRadius(8 + 0.01 * (run % 2));
        const auto start = Steady::now();
        map.RenderView(2000, 1500);
        master.push_back(MillisSince(start));
    }
    std::printf("  the master map drawn whole at 2000 x 1500: %.1f ms\n", Median(master));
    std::printf("  field: %zu bytes; plan: %zu bytes\n", map.FieldBytes(),
                map.Plan().pixels.capacity());

    const size_t before = liveBytes;
    {
        Survey survey;
        for (int i = 0; i < 10000; ++i) survey.Add(RandomPoint(&random, 50, 37.5), &error);
        const size_t used = liveBytes - before;
        std::printf(
            "Survey of 10,000 points (5 stations each, active): %zu bytes, %zu bytes a point\n",
            used, used / 10000);
        const size_t text = FormatSurvey(survey, MapSettings()).size();
        std::printf("  its survey file: %zu bytes, %zu a point\n", text, text / 10000);
    }
    return 0;
}
