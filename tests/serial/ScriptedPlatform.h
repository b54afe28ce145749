#pragma once
// A serial platform that plays a script, for what no real device does on demand: an
// aborted or pending call, a control call failing halfway through a set-up. Time is a
// counter that only reads and pauses move.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "serial/SerialPlatform.h"

class ScriptedPlatform : public SerialPlatform {
public:
    struct ReadStep {
        std::string Bytes;
        SysResult Result{};
        uint32_t Ms = 1;
    };

    // Every call in order, as "Name" or "Name argument".
    std::vector<std::string> Calls;
    // Results that the next calls of an operation give, by operation name; success after them.
    std::map<std::string, std::deque<SysResult>> Results;
    // Failed open attempts before one succeeds; -1 for a port that never opens.
    int BusyAttempts = 0;
    // Reads in order; bytes beyond the room asked for stay for the next read. After the
    // last step every read is a silent 100 ms.
    std::deque<ReadStep> Reads;
    std::vector<size_t> ReadSizes;
    // Runs just before each read, with the number of reads made before it.
    std::function<void(int)> BeforeRead;
    std::string Written;
    LineSettings Line;
    CommTimeouts Timeouts;
    uint32_t Tick = 0;

    int Count(const std::string& call) const { return static_cast<int>(std::count(Calls.begin(), Calls.end(), call)); }

    PortHandle OpenDevice(const std::string& name) override {
        Calls.push_back("OpenDevice " + name);
        if (BusyAttempts < 0) return InvalidPortHandle;
        if (BusyAttempts > 0) {
            --BusyAttempts;
            return InvalidPortHandle;
        }
        return 7;
    }
    SysResult GetLineSettings(PortHandle, LineSettings& settings) override {
        return Next("GetLineSettings", [&] { settings = Line; });
    }
    SysResult SetLineSettings(PortHandle, const LineSettings& settings) override {
        return Next("SetLineSettings", [&] { Line = settings; });
    }
    SysResult GetTimeouts(PortHandle, CommTimeouts& timeouts) override {
        return Next("GetTimeouts", [&] { timeouts = Timeouts; });
    }
    SysResult SetTimeouts(PortHandle, const CommTimeouts& timeouts) override {
        return Next("SetTimeouts", [&] { Timeouts = timeouts; });
    }
    SysResult SetEventMask(PortHandle, uint32_t mask) override {
        return Next("SetEventMask " + std::to_string(mask), [] {});
    }
    SysResult Purge(PortHandle, uint32_t flags) override { return Next("Purge " + std::to_string(flags), [] {}); }
    SysResult EscapeFunction(PortHandle, uint32_t function) override {
        return Next("Escape " + std::to_string(function), [] {});
    }
    void ClearLineErrors(PortHandle) override { Calls.push_back("ClearLineErrors"); }

    SysResult Read(PortHandle, uint8_t* buffer, size_t size, size_t& got, WakeEvents) override {
        Calls.push_back("Read");
        if (BeforeRead) BeforeRead(static_cast<int>(ReadSizes.size()));
        ReadSizes.push_back(size);
        if (Reads.empty()) {
            Tick += 100;
            return {};
        }
        ReadStep& step = Reads.front();
        Tick += step.Ms;
        if (!step.Result.Ok()) {
            const SysResult result = step.Result;
            Reads.pop_front();
            return result;
        }
        got = std::min(size, step.Bytes.size());
        std::copy_n(step.Bytes.begin(), got, buffer);
        step.Bytes.erase(0, got);
        if (step.Bytes.empty()) Reads.pop_front();
        return {};
    }
    SysResult Write(PortHandle, const uint8_t* data, size_t size, WakeEvents) override {
        return Next("Write", [&] { Written.append(reinterpret_cast<const char*>(data), size); });
    }
    void CloseDevice(PortHandle) override { Calls.push_back("CloseDevice"); }
    void Pause(uint32_t ms, WakeEvents) override {
        Calls.push_back("Pause " + std::to_string(ms));
        Tick += ms;
    }
    uint32_t TickMs() override { return Tick; }

private:
    template <typename Effect> SysResult Next(const std::string& call, Effect effect) {
        Calls.push_back(call);
        const std::string name = call.substr(0, call.find(' '));
        auto& queue = Results[name];
        if (!queue.empty()) {
            const SysResult result = queue.front();
            queue.pop_front();
            if (!result.Ok()) return result;
        }
        effect();
        return {};
    }
};
