// kestrelix-modem: serves a virtual modem until SIGINT, SIGTERM or SIGHUP (its terminal
// closed), or until it hangs up.

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "sim/ModemArguments.h"
#include "sim/VirtualModem.h"

int main(int argc, char** argv) {
    VirtualModemOptions options;
    bool help = false;
    const std::string error = gParseModemArguments(std::vector<std::string>(argv + 1, argv + argc), options, help);
    if (help) {
        std::fputs(ModemUsage, stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "kestrelix-modem: %s\n%s", error.c_str(), ModemUsage);
        return 2;
    }
    // Blocked before the server thread starts, so only sigtimedwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The transcript file, if asked for, gets every byte; memory would only grow (--flood).
    options.KeepTranscript = false;
    VirtualModem modem(options);
    const std::string failure = modem.Start();
    if (!failure.empty()) {
        std::fprintf(stderr, "kestrelix-modem: %s\n", failure.c_str());
        return 1;
    }
    std::printf("COM%d %s\n", modem.ComNumber(), modem.DevicePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "kestrelix-modem: COM%d is %s (link %s); Ctrl+C ends it.\n", modem.ComNumber(),
                 modem.DevicePath().c_str(), modem.LinkPath().c_str());

    const timespec tick{0, 200 * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
        if (modem.HungUp()) {
            std::fprintf(stderr, "kestrelix-modem: hung up after %d command lines.\n", modem.CommandLines());
            return 0;
        }
    }
    modem.Stop();
    return 0;
}
