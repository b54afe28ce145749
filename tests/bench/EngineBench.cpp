// Figures of the configuration engine against the virtual modem on a real
// pseudo-terminal, printed as "name: value unit".
//   job_ms       from Start to the final line of a successful job, the modem found at the
//                first probe (9600), no added delay (median of 10)
//   shutdown_ms  the engine's destruction at a random moment of a running job (largest of 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "engine/Messages.h"
#include "frontend/WindowChoices.h"
#include "sim/VirtualModem.h"
#include "tests/bench/Timing.h"
#include "tests/support/RecordingToolkit.h"
#include "tests/support/TempConfigHome.h"

namespace {

constexpr int ComNumber = 1;

// Notes when the final line of a job arrives; the toolkit's own lock guards the notes.
class TimingWindow : public RecordingToolkit {
public:
    bool Finished(Clock::time_point& at, bool& succeeded) {
        std::lock_guard lock(Mutex);
        at = Final;
        succeeded = Succeeded;
        return Done;
    }

protected:
    void RowInserted(int, const std::string& text) override {
        if (text != Msg::Succeeded && text != Msg::NotSucceeded) return;
        Final = Clock::now();
        Succeeded = text == Msg::Succeeded;
        Done = true;
    }

private:
    Clock::time_point Final;
    bool Succeeded = false;
    bool Done = false;
};

struct Job {
    MemorySettings Settings;
    TimingWindow Window;
    std::unique_ptr<ConfigEngine> Engine = std::make_unique<ConfigEngine>(Settings);

    Job() {
        gFillWindowChoices(Window, ComNumber - 1);
        Settings.WriteInt(CommPortSection, "ModemType", 1);
        Engine->SetWindow(&Window);
        Engine->InitEngine();
    }
};

std::unique_ptr<VirtualModem> StartModem(uint32_t speed) {
    VirtualModemOptions options;
    options.ComNumber = ComNumber;
    options.Speed = speed;
    options.Mismatch = MismatchMode::Silent;
    auto modem = std::make_unique<VirtualModem>(options);
    const std::string error = modem->Start();
    if (!error.empty()) {
        std::fprintf(stderr, "virtual modem: %s\n", error.c_str());
        return nullptr;
    }
    return modem;
}

double JobMs() {
    auto modem = StartModem(9600);
    if (!modem) return -1;
    std::vector<double> samples;
    for (int i = 0; i < 10; ++i) {
        Job job;
        const Clock::time_point start = Clock::now();
        job.Engine->OnStartStop();
        Clock::time_point end;
        bool succeeded = false;
        if (!job.Window.WaitFor([&] { return job.Window.Finished(end, succeeded); }) || !succeeded) {
            std::fprintf(stderr, "job did not succeed\n");
            return -1;
        }
        samples.push_back(Ms(end - start));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Half the runs find the modem at once and end within a few tens of milliseconds; the
// other half search at 9600 first, two seconds of waiting for replies.
double ShutdownMs() {
    std::mt19937 random(12345);
    double largest = 0;
    for (int i = 0; i < 20; ++i) {
        const bool quick = i % 2 == 0;
        auto modem = StartModem(quick ? 9600 : 115200);
        if (!modem) return -1;
        Job job;
        job.Engine->OnStartStop();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, quick ? 80 : 2400)(random)));
        const Clock::time_point start = Clock::now();
        job.Engine.reset();
        largest = std::max(largest, Ms(Clock::now() - start));
    }
    return largest;
}

}  // namespace

int main() {
    TempConfigHome home;
    std::printf("job_ms: %.1f ms\n", JobMs());
    std::printf("shutdown_ms: %.1f ms\n", ShutdownMs());
    return 0;
}
