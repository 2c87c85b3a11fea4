// A virtual clock that advances on every yield, and a scriptable OS.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace odr::test {

class FakeClock : public platform::Clock {
  public:
    uint32_t now = 0;
    uint32_t yieldStepMs = 1;
    int yields = 0;
    uint32_t Now() override { return now; }
    void Yield() override {
        ++yields;
        now += yieldStepMs;
    }
    void Sleep(uint32_t ms) override {
        ++sleeps;
        now += ms;
    }
    int sleeps = 0;
    void Advance(uint32_t ms) { now += ms; }
};

class FakeOs : public platform::Os {
  public:
    platform::OsVersion version;  // NT 4.0 by default
    std::map<std::string, std::string> env;
    std::set<std::string> files;
    std::map<std::string, std::string> fileContents;
    std::string programFolder = "C:\\Program Files\\Ondrel";
    std::vector<std::string> started;  // "path|arguments"
    std::vector<std::string> debugOutput;
    std::map<std::string, std::string> appended;
    std::vector<std::pair<unsigned, unsigned>> beeps;
    std::set<std::string> unwritable;  // AppendToFile fails for these paths
    std::string timestamp = "2026-12-09T10:00:00";

    platform::OsVersion GetVersion() override { return version; }
    void Beep(unsigned f, unsigned ms) override { beeps.emplace_back(f, ms); }
    std::string GetEnv(const std::string& name) override {
        auto it = env.find(name);
        return it == env.end() ? std::string() : it->second;
    }
    void SetEnv(const std::string& name, const std::string& value) override { env[name] = value; }
    std::string ProgramFolder() override { return programFolder; }
    bool FileExists(const std::string& path) override {
        return files.count(path) > 0 || fileContents.count(path) > 0;
    }
    bool StartProcess(const std::string& path, const std::string& arguments) override {
        started.push_back(path + "|" + arguments);
        return true;
    }
    void DebugOutput(const std::string& text) override { debugOutput.push_back(text); }
    bool NewFile(const std::string& path, const std::string& text) override {
        if (unwritable.count(path)) return false;
        appended[path] = text;
        files.insert(path);
        return true;
    }
    bool AppendToFile(const std::string& path, const std::string& text) override {
        if (unwritable.count(path)) return false;
        files.insert(path);
        appended[path] += text;
        return true;
    }
    std::string LocalTimestamp() override { return timestamp; }
    bool ReadTextFile(const std::string& path, std::string* contents) override {
        auto it = fileContents.find(path);
        if (it == fileContents.end()) return false;
        *contents = it->second;
        return true;
    }
};

}  // namespace odr::test
