#pragma once
// A serial platform that plays a scripted modem on a virtual clock, so that searches
// and time-outs cost no real time. A silent read moves the clock on by the port's read
// time-out (a 50th of it in real time where asked); a pause moves it on by its length. With BlockWhenSilent a silent read waits
// for real until a stop or the owner's ending wakes it, as a quiet line does. Two
// scripts may share one clock, as the two modems of a call do; a port may be read on
// one thread while another writes to it.

#include <algorithm>
#include <chrono>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "os/Event.h"
#include "serial/SerialPlatform.h"
#include "tests/support/EventWait.h"

struct ModemScript {
    // What the modem sends back for a command written at a line speed; none for silence.
    std::function<std::optional<std::string>(uint32_t speed, const std::string& command)> Answer;
    // Called on the worker thread once a command has been written.
    std::function<void(const std::string& command)> OnWrite;
    // Called on the worker thread as the port is closed.
    std::function<void()> OnClose;
    bool OpenFails = false;
    // Called on the worker thread after each failed open.
    std::function<void()> OnFailedOpen;
    std::atomic<bool> BlockWhenSilent{false};
    // Real time a silent read takes. A port read on a thread of its own while another
    // thread decides (a test call's listeners) needs some: the clock would otherwise run
    // past the decider's deadlines before it has looked at what arrived.
    uint32_t SilentReadRealMs = 0;
    // Reads fail from then on, as when the device is unplugged.
    std::atomic<bool> Vanished{false};

    // Bytes the modem sends unasked: a ring, the other side's data. They come after what
    // the modem has already sent is read. Any thread.
    void Send(const std::string& bytes) {
        std::lock_guard lock(Mutex);
        Unsent += bytes;
    }
    std::vector<std::string> Written() {
        std::lock_guard lock(Mutex);
        return WrittenCommands;
    }
    std::vector<std::string> OpenedNames() {
        std::lock_guard lock(Mutex);
        return Opened;
    }
    bool IsOpen() {
        std::lock_guard lock(Mutex);
        return OpenNow;
    }
    // The pauses the port was asked for, in milliseconds.
    std::vector<uint32_t> PausesMs() {
        std::lock_guard lock(Mutex);
        return Pauses;
    }

    std::shared_ptr<std::atomic<uint32_t>> Clock = std::make_shared<std::atomic<uint32_t>>(0);

    std::mutex Mutex;
    std::vector<std::string> WrittenCommands;
    std::vector<std::string> Opened;
    bool OpenNow = false;
    std::string Unsent;
    std::vector<uint32_t> Pauses;
};

class ScriptedPlatform : public SerialPlatform {
public:
    static constexpr uint32_t ReadTimeoutMs = 100;
    static constexpr uint32_t ReadFailure = 5;

    explicit ScriptedPlatform(std::shared_ptr<ModemScript> script) : Script(std::move(script)) {}

    PortHandle OpenDevice(const std::string& name) override {
        std::lock_guard lock(Script->Mutex);
        Script->Opened.push_back(name);
        if (Script->OpenFails) {
            if (Script->OnFailedOpen) Script->OnFailedOpen();
            return InvalidPortHandle;
        }
        Script->OpenNow = true;
        return 3;
    }
    SysResult GetLineSettings(PortHandle, LineSettings& settings) override {
        settings = Line;
        return {};
    }
    SysResult SetLineSettings(PortHandle, const LineSettings& settings) override {
        Line = settings;
        return {};
    }
    SysResult GetTimeouts(PortHandle, CommTimeouts& timeouts) override {
        timeouts = Timeouts;
        return {};
    }
    SysResult SetTimeouts(PortHandle, const CommTimeouts& timeouts) override {
        Timeouts = timeouts;
        return {};
    }
    SysResult SetEventMask(PortHandle, uint32_t) override { return {}; }
    SysResult Purge(PortHandle, uint32_t flags) override {
        std::lock_guard lock(PendingLock);
        if (flags & PurgeRxClear) Pending.clear();
        return {};
    }
    SysResult EscapeFunction(PortHandle, uint32_t) override { return {}; }
    void ClearLineErrors(PortHandle) override {}

    SysResult Read(PortHandle, uint8_t* buffer, size_t size, size_t& got, WakeEvents wake) override {
        got = 0;
        if (Cancelled(wake) || Script->Vanished) return {ErrorKind::Other, ReadFailure};
        std::unique_lock lock(PendingLock);
        if (Pending.empty()) {
            std::lock_guard script(Script->Mutex);
            Pending.swap(Script->Unsent);
        }
        if (Pending.empty()) {
            lock.unlock();
            if (Script->BlockWhenSilent) return WaitForWake(wake);
            if (Script->SilentReadRealMs)
                std::this_thread::sleep_for(std::chrono::milliseconds(Script->SilentReadRealMs));
            *Script->Clock += ReadTimeoutMs;
            return {};
        }
        got = std::min(size, Pending.size());
        std::copy_n(Pending.begin(), got, buffer);
        Pending.erase(0, got);
        *Script->Clock += 1;
        return {};
    }
    SysResult Write(PortHandle, const uint8_t* data, size_t size, WakeEvents wake) override {
        if (Cancelled(wake)) return {ErrorKind::Other, ReadFailure};
        const std::string command(reinterpret_cast<const char*>(data), size);
        {
            std::lock_guard lock(Script->Mutex);
            Script->WrittenCommands.push_back(command);
        }
        if (auto answer = Script->Answer ? Script->Answer(Line.BaudRate, command) : std::nullopt) {
            std::lock_guard lock(PendingLock);
            Pending += *answer;
        }
        if (Script->OnWrite) Script->OnWrite(command);
        return {};
    }
    void CloseDevice(PortHandle) override {
        if (Script->OnClose) Script->OnClose();
        std::lock_guard lock(Script->Mutex);
        Script->OpenNow = false;
    }
    void Pause(uint32_t ms, WakeEvents) override {
        {
            std::lock_guard lock(Script->Mutex);
            Script->Pauses.push_back(ms);
        }
        *Script->Clock += ms;
    }
    uint32_t TickMs() override { return *Script->Clock; }

private:
    static bool Cancelled(WakeEvents wake) { return wake.Cancel && wake.Cancel->IsSignalled(); }

    // A quiet line: nothing arrives until a stop ends the read with nothing, or the
    // owner's ending makes it fail.
    static SysResult WaitForWake(WakeEvents wake) {
        gWaitForEither(wake.Stop, wake.Cancel);
        return Cancelled(wake) ? SysResult{ErrorKind::Other, ReadFailure} : SysResult{};
    }

    std::shared_ptr<ModemScript> Script;
    LineSettings Line;
    CommTimeouts Timeouts;
    std::mutex PendingLock;
    std::string Pending;
};
