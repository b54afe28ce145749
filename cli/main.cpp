// kestrelix-cli: configuration jobs and modem checks with the window's engine, on a console.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "cli/Batch.h"
#include "cli/CliOptions.h"
#include "engine/ConfigStep.h"
#include "serial/ComNames.h"
#include "toolkit/WindowChoices.h"

namespace {

// Where a link leads, as " -> target", or that it leads nowhere.
std::string LinkTarget(const std::string& device) {
    std::error_code ec;
    const std::string target = std::filesystem::canonical(device, ec).string();
    if (ec) return " (missing)";
    return target == device ? std::string() : " -> " + target;
}

void PrintList() {
    std::printf("Models (--model):\n");
    for (size_t i = 0; i < ModemCatalogue.size(); ++i) std::printf("  %zu  %s\n", i, ModemCatalogue[i]);
    std::printf("Device speeds (--speed):\n ");
    for (const char* speed : SpeedTable) std::printf(" %s", speed);
    std::printf("\nCOM ports (--com):\n");
    for (int n = 1; n <= ComPortCount; ++n) {
        const std::string device = gResolveComPort(n);
        std::printf("  COM%-2d  %s\n", n, device.empty() ? "-" : (device + LinkTarget(device)).c_str());
    }
}

// Ctrl+C is taken by sigwait on a thread of its own, where any code may run, rather
// than in a handler. It blocks the signal as it is made, so make it before any thread.
class InterruptWatcher {
public:
    InterruptWatcher() {
        sigemptyset(&Signals);
        sigaddset(&Signals, SIGINT);
        pthread_sigmask(SIG_BLOCK, &Signals, nullptr);
    }
    void Start(std::function<void()> onInterrupt) {
        Thread = std::thread([this, onInterrupt = std::move(onInterrupt)] {
            for (;;) {
                int signal = 0;
                sigwait(&Signals, &signal);
                if (Quit) return;
                onInterrupt();
            }
        });
    }
    void Stop() {
        if (!Thread.joinable()) return;
        Quit = true;
        pthread_kill(Thread.native_handle(), SIGINT);
        Thread.join();
    }
    ~InterruptWatcher() { Stop(); }

private:
    sigset_t Signals;
    std::thread Thread;
    std::atomic<bool> Quit{false};
};

int RunPorts(const CliOptions& options) {
    InterruptWatcher watcher;
    Batch batch(options, stdout, stderr);
    watcher.Start([&batch] { batch.Interrupt(); });
    const int status = batch.Run();
    // No interrupt may reach the batch once it goes.
    watcher.Stop();
    return status;
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
        return AllSucceeded;
    }
    if (parsed.Options.List) {
        PrintList();
        return AllSucceeded;
    }
    return RunPorts(parsed.Options);
}
