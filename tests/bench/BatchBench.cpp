// Figures of a depot batch: kestrelix-cli run as the operator runs it, against the virtual
// modems of one kestrelix-modem process on real pseudo-terminals, printed as "name: value
// unit". Runs over 1, 4, 16 and 64 ports alternate, seven rounds, so that a load on the
// machine falls on all alike; each figure is a median, with the spread (lowest to highest)
// beside it. The modems live in a process of their own: a child spawned from a process
// that holds their 256 descriptors would start with a descriptor table already grown, and
// would not pay what the operator's console pays.
//   batch16_ratio   wall time of a run over 16 ports at once divided by that of one port;
//                   every modem found at the first probe
//   batch64_ratio   the same over 64 ports
//   batch64_rss_mb  the peak resident memory of the 64-port runs
//   batch_scale     wall time per port at 1, 4, 16 and 64 ports, as a table

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempConfigHome.h"

extern char** environ;

namespace {

constexpr int Ports = 64;
constexpr int Rounds = 7;

struct Run {
    double Seconds = -1;
    double PeakRssMb = 0;
};

// Starts the program args[0] with its stderr thrown away and its stdout to stdoutTo
// (thrown away too when -1); -1 when it could not be started.
pid_t Spawn(std::vector<std::string> args, int stdoutTo = -1) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutTo >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutTo, 1);
    else posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// The modems for COM1 to COMcount, ready once the process has printed a line for each.
pid_t StartModems(int count) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return -1;
    const pid_t pid = Spawn({KX_MODEM_PATH, "--speed", "9600", "--com", "1-" + std::to_string(count)}, out[1]);
    close(out[1]);
    int lines = 0;
    char buffer[4096];
    ssize_t n = 0;
    while (pid > 0 && lines < count && (n = read(out[0], buffer, sizeof buffer)) > 0)
        lines += static_cast<int>(std::count(buffer, buffer + n, '\n'));
    close(out[0]);
    if (pid > 0 && lines < count) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// One run of the console front end with its output thrown away; failed runs give -1.
Run RunCli(const std::string& ports) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn({KX_CLI_PATH, "--com", ports, "--model", "1", "--speed", "9600"});
    Run run;
    if (pid < 0) return run;
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
    const pid_t modems = StartModems(Ports);
    if (modems < 0) {
        std::fprintf(stderr, "kestrelix-modem --com 1-%d did not start\n", Ports);
        return 1;
    }
    const auto stopModems = [modems] {
        kill(modems, SIGTERM);
        waitpid(modems, nullptr, 0);
    };
    const int sizes[] = {1, 4, 16, 64};
    std::map<int, std::vector<double>> seconds;
    std::vector<double> rss;
    std::vector<double> ratio16, ratio64;
    for (int round = 0; round < Rounds; ++round) {
        std::map<int, double> wall;
        for (const int n : sizes) {
            const Run run = RunCli(n == 1 ? "1" : "1-" + std::to_string(n));
            if (run.Seconds <= 0) {
                stopModems();
                return 1;
            }
            wall[n] = run.Seconds;
            seconds[n].push_back(run.Seconds);
            if (n == 64) rss.push_back(run.PeakRssMb);
        }
        ratio16.push_back(wall[16] / wall[1]);
        ratio64.push_back(wall[64] / wall[1]);
    }
    stopModems();
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
