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

// One answer of the fake driver.
struct FakeAnswer {
    bool pass = false;  // a scripted turn answered as if unscripted
    bool ok = true;     // false: the device-control call fails with `error`
    uint32_t error = 0;
    int32_t result = 0;    // written to the block's result field
    bool hasData = false;  // reply data replaces the data area, and its size the length
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
        FakeAnswer a;
        a.ok = false;
        a.error = e;
        a.result = r;
        return a;
    }
    static FakeAnswer Data(std::vector<uint8_t> bytes, int32_t r = 0) {
        FakeAnswer a;
        a.result = r;
        a.hasData = true;
        a.data = std::move(bytes);
        return a;
    }
};

class FakeAdapter {
  public:
    using Handler = std::function<FakeAnswer(const uint8_t* data, uint32_t length)>;

    // Scripted answers are used first, in order; then the command handlers; then the default
    // (data lists from `items`, every other command result 0 with no data).
    std::deque<FakeAnswer> script;
    std::map<uint32_t, Handler> commands;
    std::map<uint16_t, std::vector<uint8_t>> items;  // absent items answer zeros
    std::set<uint16_t> refused;                      // left at status 0xFFFF

    bool Handle(uint8_t* block, uint32_t* error, bool overlapped) {
        std::lock_guard<std::mutex> lock(mutex_);
        sent_.emplace_back(block, block + kRequestBlockSize);
        overlapped_.push_back(overlapped);
        const uint32_t command = ReadU32(block + kReqCommand) & 0xFFFFFF;
        const uint32_t length = ReadU32(block + kReqLength);
        FakeAnswer answer;
        bool scripted = false;
        if (!script.empty()) {
            answer = script.front();
            script.pop_front();
            scripted = !answer.pass;
            if (answer.pass) answer = FakeAnswer();
        }
        if (!scripted) answer = Unscripted(command, block + kReqData, length);
        WriteU32(block + kReqResult, uint32_t(answer.result));
        if (answer.hasData) {
            const size_t n = std::min<size_t>(answer.data.size(), kRequestDataSize);
            if (n) std::memcpy(block + kReqData, answer.data.data(), n);
            WriteU32(block + kReqLength, uint32_t(answer.data.size()));
        }
        if (answer.hasLength) WriteU32(block + kReqLength, answer.length);
        if (!answer.ok) *error = answer.error;
        return answer.ok;
    }

    size_t Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_.size();
    }
    std::vector<uint8_t> Block(size_t i) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_.at(i);
    }
    bool WasOverlapped(size_t i) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return overlapped_.at(i);
    }
    uint32_t CommandOf(size_t i) const { return ReadU32(Block(i).data()) & 0xFFFFFF; }
    // The data bytes of call i, as many as its length field named.
    std::vector<uint8_t> DataOf(size_t i) const {
        std::vector<uint8_t> b = Block(i);
        uint32_t n = std::min<uint32_t>(ReadU32(b.data() + kReqLength), kRequestDataSize);
        return std::vector<uint8_t>(b.begin() + kReqData, b.begin() + kReqData + n);
    }
    // Commands of every call so far, in order.
    std::vector<uint32_t> Commands() const {
        std::vector<uint32_t> codes;
        for (size_t i = 0; i < Calls(); ++i) codes.push_back(CommandOf(i));
        return codes;
    }
    // Number of calls with this command.
    int Count(uint32_t command) const {
        int n = 0;
        for (uint32_t c : Commands()) n += c == command;
        return n;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        sent_.clear();
        overlapped_.clear();
    }
    int waits = 0;

  private:
    FakeAnswer Unscripted(uint32_t command, uint8_t* data, uint32_t length) {
        FakeAnswer answer;
        if (commands.count(command)) {
            return commands[command](data, length);
        } else if (command == CMD_GET_DRIVER_DATA || command == CMD_SET_DRIVER_DATA) {
            AnswerList(data, length, command == CMD_SET_DRIVER_DATA);
            answer.hasLength = true;
            answer.length = length;
        } else {
            answer.hasLength = true;
            answer.length = 0;
        }
        return answer;
    }

    void AnswerList(uint8_t* list, uint32_t length, bool set) {
        uint32_t at = 0;
        while (at + 6 <= length) {
            const uint16_t id = ReadU16(list + at);
            if (id == ITEM_END) break;
            const uint16_t n = ItemLength(id);
            if (at + 6 + n > length) break;
            if (!refused.count(id)) {
                if (set) {
                    items[id].assign(list + at + 6, list + at + 6 + n);
                } else {
                    std::vector<uint8_t> value =
                        items.count(id) ? items[id] : std::vector<uint8_t>();
                    value.resize(n);
                    if (n) std::memcpy(list + at + 6, value.data(), n);
                }
                WriteU16(list + at + 2, 0);
            }
            at += 6u + n;
        }
    }

    mutable std::mutex mutex_;
    std::vector<std::vector<uint8_t>> sent_;
    std::vector<bool> overlapped_;
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

    std::set<std::string> existing;  // paths that open
    bool eventOk = true;
    int events = 0;
    std::vector<std::string> opens;    // "path" or "path|overlapped"
    std::vector<std::string> defines;  // "name=target"
    std::vector<std::string> removes;
    std::set<std::string> defined;  // names defined now

    std::unique_ptr<Device> Open(const std::string& path, bool overlapped) override {
        opens.push_back(overlapped ? path + "|overlapped" : path);
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
        return eventOk;
    }

  private:
    FakeAdapter& adapter_;
};

}  // namespace odr::test
