// The test call's figures, against two virtual modems on one network in this process, the
// computer's on COM1 and the device's on COM2, at 115200 bit/s so that the bearer (9600)
// is the link's narrowest part:
//   connect_detect_ms  from the calling modem noting CONNECT in its transcript, just before
//                      it writes it, to the engine's row, in a call to a modem at the meter
//                      (median and spread of the runs; the transcript's whole milliseconds
//                      make it up to 1 ms long)
//   link_efficiency    the bearer's own time for the test block (bits / bearer rate) over the
//                      time the data check took to send it each way and get it whole

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "engine/CallMessages.h"
#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "engine/Messages.h"
#include "engine/ModemChoices.h"
#include "sim/CallNetwork.h"
#include "sim/VirtualModem.h"
#include "tests/bench/Timing.h"
#include "tests/support/TempConfigHome.h"
#include "toolkit/ControlIds.h"
#include "toolkit/MemoryToolkit.h"
#include "frontend/WindowChoices.h"

namespace {

constexpr int Runs = 5;
constexpr uint32_t Bearer = 9600;
constexpr uint32_t Speed = 115200;

// Notes when the CONNECT row comes and when the run has ended.
class Watch : public MemoryToolkit {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }

    void Expect() {
        std::lock_guard lock(Lock);
        Ended = false;
    }
    void WaitForEnd() {
        std::unique_lock lock(Lock);
        EndSeen.wait(lock, [this] { return Ended; });
    }
    Clock::time_point Connected;

protected:
    void RowInserted(int, const std::string& text) override {
        if (text.rfind("Соединение установлено", 0) == 0) Connected = Clock::now();
    }
    // The caption goes back to Start once the worker is free for the next run.
    void TextChanged(int id, const std::string& text) override {
        if (id != ControlId::StartStop) return;
        {
            std::lock_guard lock(Lock);
            if (text == Msg::StopCaption) Running = true;
            else if (Running) {
                Running = false;
                Ended = true;
            }
        }
        EndSeen.notify_all();
    }

private:
    std::mutex Lock;
    std::condition_variable EndSeen;
    bool Ended = true;
    bool Running = false;
};

VirtualModemOptions Modem(int com, const std::string& profile, const std::shared_ptr<CallNetwork>& network) {
    VirtualModemOptions o;
    o.ComNumber = com;
    o.Speed = Speed;
    o.Mismatch = MismatchMode::Silent;
    o.ProfileFile = profile;
    o.Calls = network;
    o.Bearer = Bearer;
    o.TimeScale = 10;
    return o;
}

void PrintFigure(const char* name, std::vector<double> values, const char* format) {
    std::sort(values.begin(), values.end());
    std::printf(format, name, Median(values), static_cast<int>(values.size()), values.front(), values.back());
}

}  // namespace

int main() {
    TempConfigHome home;
    const std::string caller = home.Path() + "/caller", device = home.Path() + "/device";
    std::ofstream(caller) << "ATE0V1X4L1&D2S0=2S7=60+IPR=115200\n";
    std::ofstream(device) << "ATE0V0X0L1&D0S0=2S7=60+IPR=115200\n";
    auto network = std::make_shared<CallNetwork>();
    // The transcript counts from the modem's making.
    const Clock::time_point callerBegan = Clock::now();
    VirtualModem computer(Modem(1, caller, network));
    VirtualModem meter(Modem(2, device, network));
    for (VirtualModem* m : {&computer, &meter}) {
        if (const std::string error = m->Start(); !error.empty()) {
            std::fprintf(stderr, "virtual modem: %s\n", error.c_str());
            return 1;
        }
    }

    Watch window;
    MemorySettings settings;
    gFillConsoleChoices(window, 1);
    ConfigEngine engine(settings);
    engine.SetWindow(&window);
    engine.InitEngine(ModemChoices{});
    std::vector<double> detect, efficiency;
    // A call from one port, as to a modem at the meter, gives the CONNECT row the moment it
    // is read; in the workshop it waits for the device's answer on the other port. The
    // workshop's calls carry the data check.
    auto call = [&](int32_t answerCom) {
        const size_t seen = computer.Transcript().size();
        window.Expect();
        if (!engine.OnTestCall(CallRequest{meter.Number(), answerCom, false})) return false;
        window.WaitForEnd();
        if (engine.Outcome.Call.End != CallResult::Passed) {
            std::fprintf(stderr, "the call did not pass: %s\n", gCallResultName(engine.Outcome.Call.End));
            return false;
        }
        const std::vector<TranscriptEntry> transcript = computer.Transcript();
        for (size_t i = seen; i < transcript.size(); ++i) {
            const TranscriptEntry& e = transcript[i];
            if (e.Direction != TranscriptDirection::Sent || e.Bytes.find("CONNECT") == std::string::npos) continue;
            if (answerCom == 0) detect.push_back(Ms(window.Connected - (callerBegan + std::chrono::milliseconds(e.Millis))));
            break;
        }
        if (answerCom != 0) efficiency.push_back(static_cast<double>(engine.Outcome.Call.BitRate) / Bearer);
        return true;
    };
    for (int run = 0; run < Runs; ++run)
        if (!call(0) || !call(2)) return 1;
    if (detect.size() != static_cast<size_t>(Runs)) {
        std::fprintf(stderr, "CONNECT not found in the transcript\n");
        return 1;
    }
    PrintFigure("connect_detect_ms", detect, "%s: %.2f ms (of %d runs: %.2f to %.2f)\n");
    PrintFigure("link_efficiency", efficiency, "%s: %.3f (of %d runs: %.3f to %.3f)\n");
    return 0;
}
