#include "cli/Batch.h"

#include <algorithm>

#include "cli/ConsoleText.h"
#include "cli/ConsoleToolkit.h"
#include "cli/CsvFields.h"
#include "engine/MemorySettings.h"
#include "engine/ModemChoices.h"
#include "frontend/WindowChoices.h"
#include "serial/PortIdentity.h"

struct Batch::Port {
    Port(int com, std::FILE* out, std::FILE* err, std::string prefix, std::mutex* outputLock, ProgressLine* progress)
        : Window(out, err, std::move(prefix), outputLock, progress) {
        Result.Com = com;
    }

    // The engine goes first: its worker reports to the window and writes the settings.
    ConsoleToolkit Window;
    MemorySettings Settings;
    std::unique_ptr<ConfigEngine> Engine;

    // Under the batch's lock.
    int Launched = 0;  // runs asked of the worker
    int Started = 0;   // runs it began
    int Ended = 0;     // runs it finished
    RunOutcome Outcome;  // of the last run that ended
    bool Checking = false;
    bool StopWanted = false;
    bool StopSent = false;
    bool Done = false;
    Clock::time_point Began;
    Clock::time_point Finished;
    PortResult Result;
};

Batch::Batch(const CliOptions& options, std::FILE* out, std::FILE* err, std::string pin, std::FILE* answers)
    : Options(options), Pin(std::move(pin)), Out(out), Err(err), Progress(out, options.ComNumbers.size() > 1) {
    // The device each number ends at, not the operator's link to it: the report names
    // what was really configured, and one device gets one job.
    const std::vector<PortIdentity> identities = gIdentifyComPorts(*std::max_element(Options.ComNumbers.begin(), Options.ComNumbers.end()));
    std::vector<std::pair<int, std::string>> distinct;
    for (const int com : Options.ComNumbers) {
        const std::string& device = identities[static_cast<size_t>(com - 1)].Device;
        const std::string name = "COM" + std::to_string(com);
        const auto earlier = std::find_if(distinct.begin(), distinct.end(), [&](const auto& d) {
            return d.first == com || (!device.empty() && d.second == device);
        });
        if (earlier == distinct.end()) {
            distinct.emplace_back(com, device);
        } else if (earlier->first == com) {
            SharedNumbers.push_back(name + " is given more than once; it runs once.");
        } else {
            const std::string first = "COM" + std::to_string(earlier->first);
            std::string note = name;
            note.append(" leads to ").append(device).append(", as ").append(first);
            SharedNumbers.push_back(note.append(" does; the device runs once, as ").append(first).append("."));
        }
    }
    const bool several = distinct.size() > 1;
    for (const auto& [com, device] : distinct) {
        const std::string prefix = several ? "COM" + std::to_string(com) + ": " : std::string();
        auto port = std::make_unique<Port>(com, Out, Err, prefix, &OutputLock, &Progress);
        Port& p = *port;
        p.Result.Device = device;
        p.Window.Answers = answers;
        p.Window.OnOutputLost = [this] { OutputLost(); };
        gFillConsoleChoices(p.Window, com);
        p.Engine = std::make_unique<ConfigEngine>(p.Settings);
        p.Engine->SetWindow(&p.Window);
        p.Engine->OnRunBegan = [this, &p](RunKind) {
            {
                std::lock_guard lock(Mutex);
                ++Generation;
                ++p.Started;
            }
            Changed.notify_all();
        };
        p.Engine->OnRunEnded = [this, &p](const RunOutcome& outcome) {
            {
                std::lock_guard lock(Mutex);
                ++Generation;
                ++p.Ended;
                p.Outcome = outcome;
                p.Finished = Clock::now();
            }
            Changed.notify_all();
        };
        p.Engine->InitEngine(ModemChoices{com - 1, Options.ModelIndex, Options.SpeedIndex, Options.Place});
        Ports.push_back(std::move(port));
    }
}

Batch::~Batch() {
    std::fill(Pin.begin(), Pin.end(), '\0');
}

void Batch::Interrupt() {
    {
        std::lock_guard lock(Mutex);
        ++Interrupts;
        ++Generation;
        for (auto& p : Ports) p->StopWanted = true;
    }
    Changed.notify_all();
}

void Batch::OutputLost() {
    {
        std::lock_guard lock(Mutex);
        if (OutputGone) return;
        OutputGone = true;
        ++Generation;
        for (auto& p : Ports) p->StopWanted = true;
    }
    Changed.notify_all();
}

void Batch::Launch(Port& port, bool check) {
    const bool runnable = port.Engine->Runnable();
    {
        std::lock_guard lock(Mutex);
        ++port.Launched;
        port.Checking = check;
        // Descriptors that ran out after the batch made room for them: the engine has said
        // why and has no worker, so the port ends here with that row.
        if (!runnable) {
            ++port.Started;
            ++port.Ended;
            port.Finished = Clock::now();
            ++Generation;
        }
    }
    if (!runnable) {
        Changed.notify_all();
        return;
    }
    if (check) port.Engine->OnCheckModem();
    else if (Options.SimPin) port.Engine->OnSimPin(Pin);
    else port.Engine->OnStartStop();
}

bool Batch::Conclude(Port& port) {
    PortResult& r = port.Result;
    r.LastRow = port.Window.LastRow();
    const RunResult result = port.Outcome.Result;
    if (port.Checking) {
        r.Findings = port.Outcome.Findings;
        r.Checked = result != RunResult::PortNotOpened && result != RunResult::PortFailed;
    }
    // A check after a job adds what it learned; the port's outcome stays the job's.
    if (!port.Checking || !gRunsJob(Options)) {
        switch (result) {
        case RunResult::Succeeded: r.Outcome = port.Checking ? PortOutcome::Answered : PortOutcome::Configured; break;
        case RunResult::Failed: r.Outcome = port.Checking ? PortOutcome::NotAnswered : PortOutcome::NotConfigured; break;
        case RunResult::Stopped: r.Outcome = PortOutcome::Stopped; break;
        case RunResult::PortNotOpened: r.Outcome = PortOutcome::PortNotOpened; break;
        case RunResult::PortFailed: r.Outcome = PortOutcome::PortFailed; break;
        }
    }
    if (!port.Checking && r.Outcome == PortOutcome::Configured && Options.Check && !port.StopWanted) return true;
    port.Done = true;
    r.Seconds = std::chrono::duration<double>(port.Finished - port.Began).count();
    return false;
}

int Batch::Run() {
    const bool checkOnly = !gRunsJob(Options);
    if (!SharedNumbers.empty()) {
        std::lock_guard output(OutputLock);
        for (const std::string& line : SharedNumbers) gWriteConsoleText(Err, "kestrelix-cli: " + line + "\n");
    }
    for (auto& p : Ports) {
        p->Began = Clock::now();
        Launch(*p, checkOnly);
    }
    std::unique_lock lock(Mutex);
    BatchProgress shown;
    for (;;) {
        if (Interrupts >= 2) {
            std::lock_guard output(OutputLock);
            Progress.Finish();
            return SomeFailed;
        }
        if (const BatchProgress now = Counts(); !(now == shown)) {
            shown = now;
            lock.unlock();
            {
                std::lock_guard output(OutputLock);
                Progress.Show(now);
            }
            lock.lock();
            continue;
        }
        std::vector<Port*> toStop;
        std::vector<Port*> toCheck;
        bool allDone = true;
        for (auto& p : Ports) {
            if (p->Done) continue;
            if (p->Ended == p->Launched) {
                if (!Conclude(*p)) continue;
                toCheck.push_back(p.get());
            } else if (p->StopWanted && !p->StopSent && p->Started == p->Launched) {
                // Only a run that has begun can be stopped; one about to begin is waited for.
                p->StopSent = true;
                toStop.push_back(p.get());
            }
            allDone = false;
        }
        if (allDone) break;
        if (toStop.empty() && toCheck.empty()) {
            const uint64_t seen = Generation;
            Changed.wait(lock, [&] { return Generation != seen; });
            continue;
        }
        lock.unlock();
        for (Port* p : toStop) p->Engine->StopRun();
        for (Port* p : toCheck) Launch(*p, true);
        lock.lock();
    }
    lock.unlock();

    const std::vector<PortResult> results = Results();
    {
        std::lock_guard output(OutputLock);
        Progress.Finish();
        if (Ports.size() > 1) gWriteConsoleText(Out, gSummaryTable(results));
    }
    if (!Options.ReportFile.empty() && !WriteReport(results)) return ReportNotWritten;
    const ExitStatus status = gExitStatus(results);
    lock.lock();
    return OutputGone && status == AllSucceeded ? SomeFailed : status;
}

BatchProgress Batch::Counts() const {
    BatchProgress counts;
    for (const auto& p : Ports) {
        if (!p->Done) {
            ++counts.Running;
            continue;
        }
        ++counts.Done;
        ++(gSucceeded(p->Result.Outcome) ? counts.Good : counts.Failed);
    }
    return counts;
}

std::vector<PortResult> Batch::Results() {
    std::lock_guard lock(Mutex);
    std::vector<PortResult> results;
    for (auto& p : Ports) results.push_back(p->Result);
    return results;
}

bool Batch::WriteReport(const std::vector<PortResult>& results) {
    const std::string cause = gWriteReportFile(Options.ReportFile, gReportCsv(results, Options));
    if (cause.empty()) return true;
    std::lock_guard output(OutputLock);
    gWriteConsoleText(Err, "kestrelix-cli: cannot write the report " + Options.ReportFile + ": " + cause + "\n");
    return false;
}
