// kestrelix-modem: serves virtual modems, one for each COM number asked, until SIGINT,
// SIGTERM or SIGHUP (its terminal closed), or until every one of them has hung up.

#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "serial/DescriptorRoom.h"
#include "sim/ModemArguments.h"
#include "sim/VirtualModem.h"

int main(int argc, char** argv) {
    std::vector<VirtualModemOptions> groups;
    bool help = false;
    const std::string error = gParseModemGroups(std::vector<std::string>(argv + 1, argv + argc), groups, help);
    if (help) {
        std::fputs(gModemUsage().c_str(), stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "kestrelix-modem: %s\n%s", error.c_str(), gModemUsage().c_str());
        return 2;
    }
    // Blocked before the server threads start, so only sigtimedwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Each modem holds its pseudo-terminal's two ends, a wake pipe's two, the network's
    // eventfd and its claim: 256 of them pass the soft limit of 1024 that a session
    // usually starts with.
    constexpr int DescriptorsPerModem = 6;
    gMakeDescriptorRoom(static_cast<int>(groups.size()), DescriptorsPerModem);
    // One network for all, made before the modems and so outliving them.
    const auto network = std::make_shared<CallNetwork>();
    std::map<std::string, std::shared_ptr<StateFile>> stateFiles;
    std::vector<std::unique_ptr<VirtualModem>> modems;
    for (VirtualModemOptions options : groups) {
        // The transcript file, if asked for, gets every byte; memory would only grow (--flood).
        options.KeepTranscript = false;
        options.Calls = network;
        if (!options.StateFileName.empty()) {
            auto& file = stateFiles[options.StateFileName];
            if (!file) {
                file = std::make_shared<StateFile>(options.StateFileName);
                const std::string failure = file->Open();
                if (!failure.empty()) {
                    std::fprintf(stderr, "kestrelix-modem: %s\n", failure.c_str());
                    return 1;
                }
            }
            options.State = file;
        }
        modems.push_back(std::make_unique<VirtualModem>(options));
        const std::string failure = modems.back()->Start();
        if (!failure.empty()) {
            std::fprintf(stderr, "kestrelix-modem: COM%d: %s\n", options.ComNumber, failure.c_str());
            return 1;
        }
    }
    // Printed once all serve, so that whoever reads the first line may use every one.
    for (const auto& modem : modems) {
        std::printf("COM%d %s\n", modem->ComNumber(), modem->DevicePath().c_str());
        std::fprintf(stderr, "kestrelix-modem: COM%d is %s (link %s)\n", modem->ComNumber(),
                     modem->DevicePath().c_str(), modem->LinkPath().c_str());
    }
    std::fflush(stdout);
    std::fprintf(stderr, "kestrelix-modem: Ctrl+C ends %s.\n", modems.size() > 1 ? "them" : "it");

    std::vector<bool> told(modems.size(), false);
    const timespec tick{0, 200L * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
        size_t gone = 0;
        for (size_t i = 0; i < modems.size(); ++i) {
            if (!modems[i]->HungUp()) continue;
            ++gone;
            if (told[i]) continue;
            told[i] = true;
            std::fprintf(stderr, "kestrelix-modem: COM%d hung up after %d command lines.\n", modems[i]->ComNumber(),
                         modems[i]->CommandLines());
        }
        if (gone == modems.size()) return 0;
    }
    for (auto& modem : modems) modem->Stop();
    return 0;
}
