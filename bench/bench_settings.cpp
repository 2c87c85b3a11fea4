// LoadSettings over an in-memory store shaped like a real system hive: two control sets of
// about 50,000 keys each (Control, Enum, Services), the adapter's key late in the walk.
// Prints the first load (a whole walk), later loads (the remembered key confirmed) and loads
// that walk the whole store every time, with the registry calls each one makes.
//
// Build and run (no sanitizers, optimised):
//   g++ -std=c++17 -O2 -I. -o /tmp/bench_settings bench/bench_settings.cpp
//       settings/AdapterSettings.cpp platform/MemoryRegistry.cpp && /tmp/bench_settings
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "settings/AdapterSettings.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using odr::platform::MemoryRegistry;
using odr::platform::OsVersion;
using odr::settings::AdapterSettings;

std::string Num(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", i);
    return text;
}

// One control set of about `keys` keys; the adapter's entries only where `adapter` is set.
int BuildControlSet(MemoryRegistry& reg, const std::string& set, int keys, bool win95,
                    bool adapter) {
    int made = 0;
    auto key = [&](const std::string& path) {
        reg.SetDword(path, "Type", 1);
        reg.SetString(path, "DisplayName", "Some device or service");
        ++made;
    };
    for (int i = 0; made < keys * 2 / 10; ++i) {
        std::string c = set + "\\Control\\Class\\{" + Num(i) + "}";
        key(c);
        for (int j = 0; j < 9; ++j) key(c + "\\" + Num(j));
    }
    for (int i = 0; made < keys * 5 / 10; ++i) {
        std::string e = set + "\\Enum\\PCI\\VEN_" + Num(i);
        key(e);
        for (int j = 0; j < 4; ++j) {
            key(e + "\\" + Num(j));
            key(e + "\\" + Num(j) + "\\Device Parameters");
        }
    }
    std::string services = set + "\\Services\\";
    for (int i = 0; made < keys * 9 / 10; ++i) {
        std::string s = services + "a" + Num(i);
        key(s);
        key(s + "\\Parameters");
        key(s + "\\Enum");
    }
    if (win95) {
        for (int i = 0; i < 8; ++i) {
            std::string net = services + "Class\\Net\\" + Num(i);
            key(net);
            reg.SetString(net, "DeviceVxDs", i == 6 && adapter ? "odrwin95.sys" : "ndis.vxd");
            reg.SetString(net, "Channel", "3");
            key(net + "\\Ndi\\params\\Channel");
            reg.SetString(net + "\\Ndi\\params\\Channel", "", "1");
        }
    }
    std::string own = services + "odrwinnt1\\Parameters";
    key(services + "odrwinnt1");
    key(own);
    if (adapter && !win95) reg.SetString(own, "Master_Name", "MASTER");
    reg.SetString(own, "Channel", "3");
    for (int i = 0; made < keys; ++i) {
        std::string s = services + "z" + Num(i);
        key(s);
        key(s + "\\Parameters");
    }
    return made;
}

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Run(bool win95) {
    MemoryRegistry reg;
    int keys = 0;
    keys += BuildControlSet(reg, "System\\ControlSet001", 49000, win95, false);
    keys += BuildControlSet(reg, "System\\CurrentControlSet", 49000, win95, true);
    for (int i = 0; i < 2000; ++i) {
        reg.SetString("System\\Setup\\" + Num(i), "Value", "x");
        ++keys;
    }
    odr::test::FakeOs os;  // quiet; Windows NT 4.0 unless set
    if (win95) os.version = OsVersion{1, 4, 0};
    std::printf("%s layout, %d keys:\n", win95 ? "Windows 95" : "Windows NT", keys);

    AdapterSettings settings(reg, os, [] { return uint16_t(0); });
    uint64_t calls = reg.CallCount();
    auto t0 = std::chrono::steady_clock::now();
    settings.LoadSettings();
    double first = Ms(std::chrono::steady_clock::now() - t0);
    uint64_t firstCalls = reg.CallCount() - calls;
    if (settings.foundKey == odr::platform::kNoKey || settings.channel != 3) {
        std::printf("  adapter key not found\n");
        return;
    }
    std::printf("  first load (whole walk): %8.2f ms, %llu registry calls\n", first,
                static_cast<unsigned long long>(firstCalls));

    const int runs = 200;
    std::vector<double> times;
    calls = reg.CallCount();
    for (int i = 0; i < runs; ++i) {
        auto t = std::chrono::steady_clock::now();
        settings.LoadSettings();
        times.push_back(Ms(std::chrono::steady_clock::now() - t));
    }
    std::sort(times.begin(), times.end());
    std::printf("  later loads (remembered key): median %.4f ms, max %.4f ms, %llu calls each\n",
                times[runs / 2], times.back(),
                static_cast<unsigned long long>((reg.CallCount() - calls) / runs));

    settings.SetRememberFoundKey(false);
    times.clear();
    for (int i = 0; i < 10; ++i) {
        auto t = std::chrono::steady_clock::now();
        settings.LoadSettings();
        times.push_back(Ms(std::chrono::steady_clock::now() - t));
    }
    std::sort(times.begin(), times.end());
    std::printf("  loads walking the whole store: median %.2f ms, max %.2f ms\n", times[5],
                times.back());
}

}  // namespace

int main() {
    Run(false);
    Run(true);
    return 0;
}
