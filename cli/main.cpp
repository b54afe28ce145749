// kestrelix-cli: configuration jobs and modem checks with the window's engine, on a console.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Batch.h"
#include "cli/CallConsole.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleText.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProgramArguments.h"
#include "cli/SecretInput.h"
#include "cli/SignalConsole.h"
#include "engine/ConfigStep.h"
#include "engine/PinRows.h"
#include "frontend/WindowChoices.h"
#include "serial/DescriptorRoom.h"
#include "serial/PortIdentity.h"

namespace {

void PrintList() {
    std::string list = "Models (--model):\n";
    for (size_t i = 0; i < ModemCatalogue.size(); ++i)
        list += "  " + std::to_string(i) + "  " + ModemCatalogue[i] + "\n";
    list += "Device speeds (--speed):\n ";
    for (const char* speed : SpeedTable) list += std::string(" ") + speed;
    list += "\nCOM ports (--com):\n";
    // Only the numbers that lead somewhere: of 256, most lead nowhere.
    bool any = false;
    for (const PortIdentity& port : gIdentifyComPorts(HighestComNumber)) {
        if (port.Presence == PortPresence::Nothing) continue;
        char com[16];
        std::snprintf(com, sizeof com, "  COM%-3d ", port.Number);
        list += com + gDescribePort(port) + "\n";
        any = true;
    }
    if (!any) list += "  " + gDescribePort(PortIdentity()) + "\n";
    gWriteConsoleText(stdout, list);
}

// Before any thread starts. Each port holds its device and its engine's three events, with
// two to spare for the looks at /proc that the opens take. A port whose engine finds no
// descriptor left could neither run nor end, so a batch the limit cannot hold opens nothing.
bool MakeRoomForPorts(size_t ports) {
    constexpr int DescriptorsPerPort = 6;
    const DescriptorRoom room = gMakeDescriptorRoom(static_cast<int>(ports), DescriptorsPerPort);
    if (room.Allowed >= room.Needed) return true;
    gWriteConsoleText(stderr, "kestrelix-cli: " + std::to_string(ports) + " ports at once need up to " +
                                  std::to_string(room.Needed) + " open files, and the limit allows " +
                                  std::to_string(room.Allowed) + " (ulimit -n); nothing was opened.\n");
    return false;
}

int RunPorts(const CliOptions& options, std::string pin) {
    if (!MakeRoomForPorts(options.ComNumbers.size())) return PortNotOpened;
    // Declared before the watcher, so that it goes after it: no interrupt reaches it then.
    std::unique_ptr<Batch> batch;
    InterruptWatcher watcher([&batch] { batch->Interrupt(); });
    batch = std::make_unique<Batch>(options, stdout, stderr, std::move(pin), stdin);
    watcher.Start();
    return batch->Run();
}

}  // namespace

int main(int argc, char** argv) {
    const ProgramArguments arguments = gProgramArguments(argc, argv);
    ParsedOptions parsed;
    if (arguments.Error.empty()) parsed = gParseCliOptions(arguments.Values);
    else parsed.Error = arguments.Error;
    if (!parsed.Error.empty()) {
        gWriteConsoleText(stderr, "kestrelix-cli: " + parsed.Error + "\n" + (parsed.ShowUsage ? gCliUsage() : ""));
        return BadArguments;
    }
    if (parsed.Options.Help) {
        gWriteConsoleText(stdout, gCliUsage());
        return AllSucceeded;
    }
    if (parsed.Options.List) {
        PrintList();
        return AllSucceeded;
    }
    if (parsed.Options.Signal) return gRunSignal(parsed.Options);
    if (!parsed.Options.CallNumber.empty()) return gRunCall(parsed.Options);
    std::string pin;
    if (parsed.Options.SimPin) {
        // Refused before any port is opened: a malformed PIN must not cost the card a try.
        if (!gReadSecretLine("PIN-код SIM-карты: ", pin) || !gIsPinCode(pin)) {
            gWriteConsoleText(stderr, std::string("kestrelix-cli: ") + PinMsg::BadPin + "\n");
            return BadArguments;
        }
    }
    return RunPorts(parsed.Options, std::move(pin));
}
