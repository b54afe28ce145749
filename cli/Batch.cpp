#include "cli/Batch.h"

#include <algorithm>

#include "cli/ConsoleText.h"
#include "cli/ConsoleToolkit.h"
#include "engine/CheckRows.h"
#include "engine/MemorySettings.h"
#include "engine/Messages.h"
#include "serial/PortIdentity.h"
#include "toolkit/TextFile.h"
#include "toolkit/WindowChoices.h"

struct Batch::Port {
    Port(int com, std::FILE* out, std::FILE* err, std::string prefix, std::mutex* outputLock)
        : Window(out, err, std::move(prefix), outputLock) {
        Result.Com = com;
    }

    // The engine goes first: its worker reports to the window and writes the settings.
    ConsoleToolkit Window;
    MemorySettings Settings;
    std::unique_ptr<ConfigEngine> Engine;

    // Under the batch's lock.
    int Launched = 0;  // runs asked of the worker
    int Started = 0;   // runs it began (the caption became "Стоп!")
    int Ended = 0;     // runs it finished (the caption went back)
    bool Checking = false;
    bool StopWanted = false;
    bool StopSent = false;
    bool Done = false;
    Clock::time_point Began;
    Clock::time_point Finished;
    PortResult Result;
};

Batch::Batch(const CliOptions& options, std::FILE* out, std::FILE* err, std::string pin, std::FILE* answers)
    : Options(options), Pin(std::move(pin)), Out(out), Err(err) {
    const bool several = Options.ComNumbers.size() > 1;
    for (const int com : Options.ComNumbers) {
        const std::string prefix = several ? "COM" + std::to_string(com) + ": " : std::string();
        auto port = std::make_unique<Port>(com, Out, Err, prefix, &OutputLock);
        Port& p = *port;
        p.Window.Answers = answers;
        p.Window.OnCaption = [this, &p](const std::string& caption) {
            {
                std::lock_guard lock(Mutex);
                ++Generation;
                if (caption == Msg::StopCaption) {
                    ++p.Started;
                } else if (p.Started > p.Ended) {
                    ++p.Ended;
                    p.Finished = Clock::now();
                }
            }
            Changed.notify_all();
        };
        gFillWindowChoices(p.Window, com - 1);
        // The choices reach the engine the way stored ones do, without touching the store.
        p.Settings.WriteInt(CommPortSection, "ModemType", Options.ModelIndex);
        p.Settings.WriteInt(CommPortSection, "BaudRateInd", Options.SpeedIndex);
        p.Settings.WriteInt(CommPortSection, "IsLocal", Options.Place);
        p.Engine = std::make_unique<ConfigEngine>(p.Settings);
        p.Engine->SetWindow(&p.Window);
        p.Engine->InitEngine();
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

void Batch::Launch(Port& port, bool check) {
    {
        std::lock_guard lock(Mutex);
        ++port.Launched;
        port.Checking = check;
    }
    if (check) port.Engine->OnCheckModem();
    else if (Options.SimPin) port.Engine->OnSimPin(Pin);
    else port.Engine->OnStartStop();
}

bool Batch::Conclude(Port& port) {
    PortResult& r = port.Result;
    r.LastRow = port.Window.LastRow();
    const std::string& last = r.LastRow;
    const bool stopped = last == CheckMsg::Stopped || (port.StopSent && last == Msg::NotSucceeded);
    // Only a port that could not be opened ends a run before its final row.
    const bool opened = stopped || last == Msg::Succeeded || last == Msg::NotSucceeded ||
                        last == CheckMsg::Answered || last == CheckMsg::NotAnswered;
    if (port.Checking) {
        // Written by the worker before its run ended, which the lock has seen.
        r.Findings = port.Engine->Findings;
        r.Checked = opened;
    }
    if (!port.Checking || !gRunsJob(Options)) {
        r.Outcome = !opened                ? PortOutcome::PortNotOpened
                    : stopped              ? PortOutcome::Stopped
                    : last == Msg::Succeeded ? PortOutcome::Configured
                    : last == Msg::NotSucceeded ? PortOutcome::NotConfigured
                    : r.Findings.Answered  ? PortOutcome::Answered
                                           : PortOutcome::NotAnswered;
    }
    if (!port.Checking && r.Outcome == PortOutcome::Configured && Options.Check && !port.StopWanted) return true;
    port.Done = true;
    r.Seconds = std::chrono::duration<double>(port.Finished - port.Began).count();
    return false;
}

int Batch::Run() {
    const bool checkOnly = !gRunsJob(Options);
    // The device each number ends at, not the operator's link to it: the report names
    // what was really configured.
    const std::vector<PortIdentity> identities = gIdentifyComPorts(ComPortCount);
    for (auto& p : Ports) {
        p->Began = Clock::now();
        p->Result.Device = identities[p->Result.Com - 1].Device;
        Launch(*p, checkOnly);
    }
    std::unique_lock lock(Mutex);
    for (;;) {
        if (Interrupts >= 2) return SomeFailed;
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
    if (Ports.size() > 1) {
        std::lock_guard output(OutputLock);
        gWriteConsoleText(Out, gSummaryTable(results));
    }
    if (!Options.ReportFile.empty()) WriteReport(results);
    return gExitStatus(results);
}

std::vector<PortResult> Batch::Results() {
    std::lock_guard lock(Mutex);
    std::vector<PortResult> results;
    for (auto& p : Ports) results.push_back(p->Result);
    return results;
}

void Batch::WriteReport(const std::vector<PortResult>& results) {
    const WriteOutcome written = gWriteWholeFile(Options.ReportFile, gReportCsv(results, Options));
    if (written.Stage == WriteStage::Done) return;
    std::lock_guard output(OutputLock);
    std::fprintf(Err, "kestrelix-cli: cannot write %s (error %u)\n", Options.ReportFile.c_str(), written.Code);
}
