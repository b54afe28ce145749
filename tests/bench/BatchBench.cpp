// Figures of a depot batch: kestrelix-cli run as the operator runs it, against virtual
// modems on real pseudo-terminals, printed as "name: value unit". Runs over 1, 4, 16 and
// 64 ports alternate, seven rounds, so that a load on the machine falls on all alike;
// each figure is a median, with the spread (lowest to highest) beside it.
//   batch16_ratio   wall time of a run over 16 ports at once divided by that of one port;
//                   every modem found at the first probe
//   batch64_ratio   the same over 64 ports
//   batch64_rss_mb  the peak resident memory of the 64-port runs
//   batch_scale     wall time per port at 1, 4, 16 and 64 ports, as a table

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/VirtualModem.h"
#include "tests/support/TempConfigHome.h"

extern char** environ;

namespace {

constexpr int Ports = 64;
constexpr int Rounds = 7;

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

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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
    const int sizes[] = {1, 4, 16, 64};
    std::map<int, std::vector<double>> seconds;
    std::vector<double> rss;
    std::vector<double> ratio16, ratio64;
    for (int round = 0; round < Rounds; ++round) {
        std::map<int, double> wall;
        for (const int n : sizes) {
            const Run run = RunCli(n == 1 ? "1" : "1-" + std::to_string(n));
            if (run.Seconds <= 0) return 1;
            wall[n] = run.Seconds;
            seconds[n].push_back(run.Seconds);
            if (n == 64) rss.push_back(run.PeakRssMb);
        }
        ratio16.push_back(wall[16] / wall[1]);
        ratio64.push_back(wall[64] / wall[1]);
    }
    const auto spread = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        char text[64];
        std::snprintf(text, sizeof text, "(spread %.2f-%.2f)", v.front(), v.back());
        return std::string(text);
    };
    std::printf("batch16_ratio: %.2f %s\n", Median(ratio16), spread(ratio16).c_str());
    std::printf("batch64_ratio: %.2f %s\n", Median(ratio64), spread(ratio64).c_str());
    std::printf("batch64_rss_mb: %.1f MB %s\n", Median(rss), spread(rss).c_str());
    std::printf("batch_scale:\n  ports  ms/port  spread ms/port\n");
    for (const int n : sizes) {
        std::vector<double> perPort;
        for (const double s : seconds[n]) perPort.push_back(s * 1000 / n);
        std::sort(perPort.begin(), perPort.end());
        std::printf("  %5d  %7.1f  %.1f-%.1f\n", n, Median(perPort), perPort.front(), perPort.back());
    }
    return 0;
}
