// LoadSettings under Wine against the prefix's real registry: a hive-shaped tree of N keys
// (default 20,000) built below HKCU\Software\OdrBench\System, the adapter's key late in the
// walk (Windows NT layout). Prints the first load (whole walk), later loads (remembered key)
// and whole walks, then removes the tree. Built by `make bench` as bench/bench_settings_wine.exe
// in the Windows build; run it in the build's prefix, e.g.
//   scripts/winesession.sh build/win64 -- wine build/win64/bench/bench_settings_wine.exe 20000
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "settings/AdapterSettings.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using namespace odr::platform;

const char kBenchRoot[] = "Software\\OdrBench";
const char kStore[] = "Software\\OdrBench\\System";

std::string Num(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", i);
    return text;
}

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Builder {
  public:
    explicit Builder(Registry& reg) : reg_(reg) {}
    int made = 0;
    bool Key(const std::string& path, const char* name = "Type", const std::string& text = "1") {
        std::string full = std::string(kStore) + "\\" + path;
        if (!CreateWin32KeyPath(kCurrentUser, full)) return false;
        ScopedKey key(reg_);
        if (reg_.OpenKey(kCurrentUser, full.c_str(), kKeySetValue, key.out()) != kRegOk) {
            return false;
        }
        reg_.SetValue(key.get(), name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                      static_cast<uint32_t>(text.size() + 1));
        ++made;
        return true;
    }

  private:
    Registry& reg_;
};

// One control set of about `keys` keys; the adapter's key only where `adapter` is set.
void BuildControlSet(Builder& b, const std::string& set, int keys, bool adapter) {
    int start = b.made;
    for (int i = 0; b.made - start < keys * 5 / 10; ++i) {
        std::string e = set + "\\Enum\\PCI\\VEN_" + Num(i);
        b.Key(e);
        for (int j = 0; j < 4; ++j) b.Key(e + "\\" + Num(j));
    }
    for (int i = 0; b.made - start < keys * 9 / 10; ++i) {
        b.Key(set + "\\Services\\a" + Num(i));
        b.Key(set + "\\Services\\a" + Num(i) + "\\Parameters");
    }
    b.Key(set + "\\Services\\odrwinnt1");
    if (adapter) {
        b.Key(set + "\\Services\\odrwinnt1\\Parameters", "Master_Name", "MASTER");
    } else {
        b.Key(set + "\\Services\\odrwinnt1\\Parameters");
    }
    for (int i = 0; b.made - start < keys; ++i) b.Key(set + "\\Services\\z" + Num(i));
}

}  // namespace

int main(int argc, char** argv) {
    int keys = argc > 1 ? std::atoi(argv[1]) : 20000;
    if (keys < 100) keys = 100;
    auto reg = CreateWin32Registry();
    DeleteWin32KeyTree(kCurrentUser, kBenchRoot);
    Builder b(*reg);
    auto t0 = std::chrono::steady_clock::now();
    BuildControlSet(b, "ControlSet001", keys / 2, false);
    BuildControlSet(b, "CurrentControlSet", keys / 2, true);
    std::printf("built %d keys below HKCU\\%s in %.1f s\n", b.made, kStore,
                Ms(std::chrono::steady_clock::now() - t0) / 1000);

    odr::test::FakeOs os;  // quiet; Windows NT 4.0 unless set
    odr::settings::AdapterSettings settings(*reg, os, [] { return uint16_t(0); });
    settings.SetStoreRoot(kCurrentUser, kStore);
    t0 = std::chrono::steady_clock::now();
    settings.LoadSettings();
    double first = Ms(std::chrono::steady_clock::now() - t0);
    if (settings.foundKey == kNoKey) {
        std::printf("adapter key not found\n");
        return 1;
    }
    std::printf("first load (whole walk):       %9.2f ms\n", first);
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        auto t = std::chrono::steady_clock::now();
        settings.LoadSettings();
        times.push_back(Ms(std::chrono::steady_clock::now() - t));
    }
    std::sort(times.begin(), times.end());
    std::printf("later loads (remembered key):  median %.3f ms, max %.3f ms (%u confirmed)\n",
                times[50], times.back(), settings.walkCounts().confirmedKeys);
    settings.SetRememberFoundKey(false);
    times.clear();
    for (int i = 0; i < 3; ++i) {
        auto t = std::chrono::steady_clock::now();
        settings.LoadSettings();
        times.push_back(Ms(std::chrono::steady_clock::now() - t));
    }
    std::sort(times.begin(), times.end());
    std::printf("loads walking the whole store: median %.2f ms\n", times[1]);
    DeleteWin32KeyTree(kCurrentUser, kBenchRoot);
    return 0;
}
