// Figures of a depot batch: kestrelix-cli run as the operator runs it, against virtual
// modems on real pseudo-terminals, printed as "name: value unit".
//   batch16_ratio   wall time of a run over 16 ports at once divided by that of a run over
//                   one port, each the median of five; every modem found at the first probe
//   batch16_rss_mb  the peak resident memory of the 16-port runs

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/VirtualModem.h"
#include "tests/support/TempConfigHome.h"

extern char** environ;

namespace {

constexpr int Ports = 16;

struct Run {
    double Seconds = -1;
    double PeakRssMb = 0;
};

// One run of the console front end with its output thrown away; failed runs give -1.
Run RunCli(const std::string& ports) {
    std::vector<std::string> args = {KX_CLI_PATH, "--com", ports, "--model", "1", "--speed", "9600"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, KX_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    if (spawned != 0) return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "kestrelix-cli --com %s did not succeed\n", ports.c_str());
        return run;
    }
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.PeakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

}  // namespace

int main() {
    TempConfigHome home;
    std::vector<std::unique_ptr<VirtualModem>> modems;
    for (int com = 1; com <= Ports; ++com) {
        VirtualModemOptions options;
        options.ComNumber = com;
        options.Speed = 9600;
        options.KeepTranscript = false;
        modems.push_back(std::make_unique<VirtualModem>(options));
        const std::string error = modems.back()->Start();
        if (!error.empty()) {
            std::fprintf(stderr, "virtual modem: %s\n", error.c_str());
            return 1;
        }
    }
    // Medians, since a run of well under a second feels every other process on the machine.
    std::vector<double> single, batch;
    double peakRssMb = 0;
    for (int i = 0; i < 5; ++i) {
        single.push_back(RunCli("1").Seconds);
        const Run all = RunCli("1-" + std::to_string(Ports));
        batch.push_back(all.Seconds);
        peakRssMb = std::max(peakRssMb, all.PeakRssMb);
    }
    std::sort(single.begin(), single.end());
    std::sort(batch.begin(), batch.end());
    const bool ok = single.front() > 0 && batch.front() > 0;
    std::printf("batch16_ratio: %.2f\n", ok ? batch[2] / single[2] : -1.0);
    std::printf("batch16_rss_mb: %.1f MB\n", ok ? peakRssMb : -1.0);
    return ok ? 0 : 1;
}
