// kestrelix-cli: configuration jobs and modem checks with the window's engine, on a console.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Batch.h"
#include "cli/CliOptions.h"
#include "cli/InterruptWatcher.h"
#include "cli/SecretInput.h"
#include "engine/PinRows.h"
#include "engine/ConfigStep.h"
#include "serial/PortIdentity.h"
#include "toolkit/WindowChoices.h"

namespace {

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

int RunPorts(const CliOptions& options, std::string pin) {
    // Declared before the watcher, so that it goes after it: no interrupt reaches it then.
    std::unique_ptr<Batch> batch;
    InterruptWatcher watcher([&batch] { batch->Interrupt(); });
    batch = std::make_unique<Batch>(options, stdout, stderr, std::move(pin), stdin);
    watcher.Start();
    return batch->Run();
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
    std::string pin;
    if (parsed.Options.SimPin) {
        std::fputs("PIN-код SIM-карты: ", stderr);
        std::fflush(stderr);
        // Refused before any port is opened: a malformed PIN must not cost the card a try.
        if (!gReadSecretLine(pin) || !gIsPinCode(pin)) {
            std::fprintf(stderr, "kestrelix-cli: %s\n", PinMsg::BadPin);
            return BadArguments;
        }
    }
    return RunPorts(parsed.Options, std::move(pin));
}
