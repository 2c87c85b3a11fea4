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
    std::set<std::string> unwritable;   // AppendToFile fails for these paths
    std::set<std::string> shortWrites;  // NewFile writes half the text, then fails (disk full)
    std::set<std::string> unmovable;    // MoveFileTo fails from these paths
    std::set<std::string> undeletable;  // RemoveFile fails for these paths
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
        fileContents.erase(path);
        files.insert(path);
        if (shortWrites.count(path)) {
            appended[path] = text.substr(0, text.size() / 2);
            return false;
        }
        appended[path] = text;
        return true;
    }
    bool AppendToFile(const std::string& path, const std::string& text) override {
        if (unwritable.count(path)) return false;
        files.insert(path);
        appended[path] += text;
        return true;
    }
    std::string LocalTimestamp() override { return timestamp; }
    // A file given in `fileContents` or written through NewFile or AppendToFile.
    bool ReadTextFile(const std::string& path, std::string* contents) override {
        const std::string* text = Contents(path);
        if (!text) return false;
        *contents = *text;
        return true;
    }
    bool FileSize(const std::string& path, uint64_t* size) override {
        const std::string* text = Contents(path);
        if (!text) return false;
        *size = text->size();
        return true;
    }
    bool MoveFileTo(const std::string& from, const std::string& to) override {
        if (unmovable.count(from) || !FileExists(from) || FileExists(to)) return false;
        Move(files, from, to);
        Move(fileContents, from, to);
        Move(appended, from, to);
        return true;
    }
    bool RemoveFile(const std::string& path) override {
        if (undeletable.count(path) || !FileExists(path)) return false;
        files.erase(path);
        fileContents.erase(path);
        appended.erase(path);
        return true;
    }

  private:
    const std::string* Contents(const std::string& path) const {
        auto given = fileContents.find(path);
        if (given != fileContents.end()) return &given->second;
        auto written = appended.find(path);
        return written == appended.end() ? nullptr : &written->second;
    }
    static void Move(std::set<std::string>& names, const std::string& from, const std::string& to) {
        if (names.erase(from)) names.insert(to);
    }
    static void Move(std::map<std::string, std::string>& texts, const std::string& from,
                     const std::string& to) {
        auto it = texts.find(from);
        if (it == texts.end()) return;
        texts[to] = std::move(it->second);
        texts.erase(from);
    }
};

}  // namespace odr::test
