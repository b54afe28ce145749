// kestrelix-cli: one configuration job with the window's engine, on a console.

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/ConsoleToolkit.h"
#include "cli/InterruptWatcher.h"
#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "engine/Messages.h"
#include "serial/PortIdentity.h"
#include "toolkit/WindowChoices.h"

namespace {

enum ExitStatus { Configured = 0, NotConfigured = 1, BadArguments = 2, PortNotOpened = 3 };

void PrintList() {
    std::printf("Models (--model):\n");
    for (size_t i = 0; i < ModemCatalogue.size(); ++i) std::printf("  %zu  %s\n", i, ModemCatalogue[i]);
    std::printf("Device speeds (--speed):\n ");
    for (const char* speed : SpeedTable) std::printf(" %s", speed);
    std::printf("\nCOM ports (--com):\n");
    for (const PortIdentity& port : gIdentifyComPorts(ComPortCount)) {
        std::printf("  COM%-2d  %s\n", port.Number, gDescribePort(port).c_str());
    }
}

// What the console has seen of the job, and the operator's interrupts.
struct Session {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Started = false;
    bool Ended = false;
    int Interrupts = 0;
};

int RunJob(const CliOptions& options) {
    Session session;
    InterruptWatcher watcher([&session] {
        std::lock_guard lock(session.Mutex);
        ++session.Interrupts;
        session.Changed.notify_all();
    });

    ConsoleToolkit window(stdout, stderr);
    window.OnCaption = [&](const std::string& caption) {
        std::lock_guard lock(session.Mutex);
        if (caption == Msg::StopCaption) session.Started = true;
        else if (session.Started) session.Ended = true;
        session.Changed.notify_all();
    };
    gFillWindowChoices(window, options.ComNumber - 1);

    // The choices reach the engine the way stored ones do, without touching the store.
    MemorySettings settings;
    settings.WriteInt(CommPortSection, "ModemType", options.ModelIndex);
    settings.WriteInt(CommPortSection, "BaudRateInd", options.SpeedIndex);
    settings.WriteInt(CommPortSection, "IsLocal", options.Place);

    auto engine = std::make_unique<ConfigEngine>(settings);
    engine->SetWindow(&window);
    engine->InitEngine();
    watcher.Start();
    engine->OnStartStop();

    bool stopped = false;
    std::unique_lock lock(session.Mutex);
    for (;;) {
        session.Changed.wait(lock, [&] {
            return session.Ended || session.Interrupts >= 2 || (session.Interrupts == 1 && session.Started && !stopped);
        });
        if (session.Ended || session.Interrupts >= 2) break;
        // The job is running, so the button press is a stop.
        lock.unlock();
        engine->OnStartStop();
        lock.lock();
        stopped = true;
    }
    const bool ended = session.Ended;
    lock.unlock();
    engine.reset();

    if (!ended) return NotConfigured;
    const std::string last = window.LastRow();
    if (last == Msg::Succeeded) return Configured;
    if (last == Msg::NotSucceeded) return NotConfigured;
    // Only a port that could not be opened ends a job before its final line.
    return PortNotOpened;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = gParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::fprintf(stderr, "kestrelix-cli: %s\n%s", parsed.Error.c_str(), gCliUsage().c_str());
        return BadArguments;
    }
    if (parsed.Options.Help) {
        std::fputs(gCliUsage().c_str(), stdout);
        return Configured;
    }
    if (parsed.Options.List) {
        PrintList();
        return Configured;
    }
    return RunJob(parsed.Options);
}
