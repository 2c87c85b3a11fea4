// A scriptable driver behind the Device interface: records every block sent, answers data
// lists from an item table, runs per-command handlers and plays scripted answers (errors
// 997, 259 and others, replies whose length field lies).
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "driver/Device.h"
#include "driver/DriverTypes.h"

namespace odr::test {

struct FakeAnswer {
    bool pass = false;  // a scripted turn answered as if unscripted
    bool ok = true;     // false: the device-control call fails with `error`
    uint32_t error = 0;
    int32_t result = 0;
    bool hasData = false;  // `data` replaces the data area and its size the length field
    std::vector<uint8_t> data;
    bool hasLength = false;  // a length field to report instead (it may lie)
    uint32_t length = 0;

    static FakeAnswer Pass() {
        FakeAnswer a;
        a.pass = true;
        return a;
    }
    static FakeAnswer Result(int32_t r) {
        FakeAnswer a;
        a.result = r;
        return a;
    }
    static FakeAnswer Error(uint32_t e, int32_t r = -1) {
        FakeAnswer a = Result(r);
        a.ok = false;
        a.error = e;
        return a;
    }
    static FakeAnswer Data(std::vector<uint8_t> bytes, int32_t r = 0) {
        FakeAnswer a = Result(r);
        a.hasData = true;
        a.data = std::move(bytes);
        return a;
    }
};

class FakeAdapter {
  public:
    using Handler = std::function<FakeAnswer(const uint8_t* data, uint32_t length)>;

    // Scripted answers first, then command handlers (unless they answer Pass), then the
    // default: data lists answered
    // from `items` (absent items as zeros, `refused` ones left at 0xFFFF), SetDriverData
    // stored into `items`, every other command result 0 with no data.
    std::deque<FakeAnswer> script;
    std::map<uint32_t, Handler> commands;
    std::map<uint16_t, std::vector<uint8_t>> items;
    std::set<uint16_t> refused;
    std::vector<std::vector<uint8_t>> sent;  // every block as it arrived
    std::vector<bool> overlapped;
    int waits = 0;

    bool Handle(uint8_t* block, uint32_t* error, bool isOverlapped) {
        std::lock_guard<std::mutex> lock(mutex_);
        sent.emplace_back(block, block + kRequestBlockSize);
        overlapped.push_back(isOverlapped);
        FakeAnswer answer = FakeAnswer::Pass();
        if (!script.empty()) {
            answer = script.front();
            script.pop_front();
        }
        if (answer.pass) answer = Unscripted(block);
        WriteU32(block + kReqResult, uint32_t(answer.result));
        if (answer.hasData) {
            std::memcpy(block + kReqData, answer.data.data(),
                        std::min<size_t>(answer.data.size(), kRequestDataSize));
            WriteU32(block + kReqLength, uint32_t(answer.data.size()));
        }
        if (answer.hasLength) WriteU32(block + kReqLength, answer.length);
        if (!answer.ok) *error = answer.error;
        return answer.ok;
    }

    size_t Calls() const { return sent.size(); }
    void Clear() {
        sent.clear();
        overlapped.clear();
    }
    uint32_t CommandOf(size_t i) const { return ReadU32(sent.at(i).data()) & 0xFFFFFF; }
    // The data bytes of call i, as many as its length field named.
    std::vector<uint8_t> DataOf(size_t i) const {
        const std::vector<uint8_t>& b = sent.at(i);
        const uint32_t n = std::min<uint32_t>(ReadU32(&b[kReqLength]), kRequestDataSize);
        return std::vector<uint8_t>(b.begin() + kReqData, b.begin() + kReqData + n);
    }
    std::vector<uint32_t> Commands() const {
        std::vector<uint32_t> codes;
        for (size_t i = 0; i < sent.size(); ++i) codes.push_back(CommandOf(i));
        return codes;
    }
    int Count(uint32_t command) const {
        int n = 0;
        for (size_t i = 0; i < sent.size(); ++i) n += CommandOf(i) == command;
        return n;
    }

  private:
    FakeAnswer Unscripted(uint8_t* block) {
        const uint32_t command = ReadU32(block + kReqCommand) & 0xFFFFFF;
        const uint32_t length = ReadU32(block + kReqLength);
        if (commands.count(command)) {
            // A handler may only look on and leave the answer to the default (Pass).
            FakeAnswer handled = commands[command](block + kReqData, length);
            if (!handled.pass) return handled;
        }
        FakeAnswer answer;
        answer.hasLength = true;
        if (command != CMD_GET_DRIVER_DATA && command != CMD_SET_DRIVER_DATA) return answer;
        answer.length = length;
        uint8_t* list = block + kReqData;
        for (uint32_t at = 0; at + 6 <= length && ReadU16(list + at) != ITEM_END;) {
            const uint16_t id = ReadU16(list + at);
            const uint16_t n = ItemLength(id);
            if (at + 6 + n > length) break;
            if (!refused.count(id)) {
                std::vector<uint8_t>& value = items[id];
                if (command == CMD_SET_DRIVER_DATA) value.assign(list + at + 6, list + at + 6 + n);
                value.resize(n);
                std::copy(value.begin(), value.end(), list + at + 6);
                WriteU16(list + at + 2, 0);
            }
            at += 6u + n;
        }
        return answer;
    }

    std::mutex mutex_;
};

class FakeDevice : public Device {
  public:
    explicit FakeDevice(FakeAdapter& adapter) : adapter_(adapter) {}
    bool Control(uint8_t* block, uint32_t* error) override {
        return adapter_.Handle(block, error, false);
    }
    bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
        return adapter_.Handle(block, error, true);
    }
    bool WaitOverlapped() override {
        ++adapter_.waits;
        return false;  // the channel must not care
    }

  private:
    FakeAdapter& adapter_;
};

class FakeDeviceHost : public DeviceHost {
  public:
    explicit FakeDeviceHost(FakeAdapter& adapter) : adapter_(adapter) {}

    std::set<std::string> existing;    // paths that open
    std::vector<std::string> opens;    // "path", or "path|overlapped"
    std::vector<std::string> defines;  // "name=target"
    std::vector<std::string> removes;
    std::set<std::string> defined;  // names defined now
    bool eventOk = true;
    int events = 0;
    std::vector<std::string> log;  // "event" and "open" in the order they came

    std::unique_ptr<Device> Open(const std::string& path, bool overlapped) override {
        opens.push_back(overlapped ? path + "|overlapped" : path);
        log.push_back("open");
        if (!existing.count(path)) return nullptr;
        return std::make_unique<FakeDevice>(adapter_);
    }
    bool DefineName(const std::string& name, const std::string& target) override {
        defines.push_back(name + "=" + target);
        defined.insert(name);
        return true;
    }
    bool RemoveName(const std::string& name) override {
        removes.push_back(name);
        return defined.erase(name) > 0;
    }
    bool CreateCompletionEvent() override {
        ++events;
        log.push_back("event");
        return eventOk;
    }

  private:
    FakeAdapter& adapter_;
};

}  // namespace odr::test
