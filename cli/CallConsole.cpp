#include "cli/CallConsole.h"

#include "cli/BatchReport.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleText.h"
#include "cli/CsvFields.h"
#include "engine/Format.h"
#include "cli/InterruptWatcher.h"
#include "engine/CallMessages.h"
#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "engine/ModemChoices.h"
#include "serial/PortIdentity.h"
#include "toolkit/ControlIds.h"
#include "frontend/WindowChoices.h"

CallConsole::CallConsole(std::FILE* out, std::FILE* err)
    : ConsoleToolkit(out, err, {}, &Output, &Waiting), Waiting(out, true) {
    // Nobody reads the rows any more: the call ends as at a Ctrl+C, both modems on-hook.
    OnOutputLost = [this] { End.OutputLost(); };
}

void CallConsole::RowInserted(int id, const std::string& text) {
    // The row was drawn in place a moment ago, as the status it also is.
    if (text == Status) {
        std::lock_guard lock(Output);
        Waiting.Finish();
        Status.clear();
    }
    ConsoleToolkit::RowInserted(id, text);
}

void CallConsole::TextChanged(int id, const std::string& text) {
    if (id != ControlId::StatusLine) return;
    std::lock_guard lock(Output);
    Status = text;
    Waiting.Show(text);
}

std::string gCallReportCsv(const CliOptions& options, const CallFindings& found) {
    const bool connected = !found.ConnectText.empty();
    const std::string header[] = {"Port", "Answer port", "Number", "Outcome", "Connect", "Seconds to connect",
                                  "Bytes checked", "Bit rate", "Stored profile proven", "Cause", "Bearer"};
    const std::string row[] = {
        "COM" + std::to_string(options.ComNumbers.front()),
        options.AnswerCom ? "COM" + std::to_string(options.AnswerCom) : std::string(),
        // Digits and a leading +, which a spreadsheet would take for a formula's start.
        gInertText(options.CallNumber),
        gCallResultName(found.End),
        gInertText(found.ConnectText),
        connected ? gOneDecimal(found.ConnectSeconds, ',') : std::string(),
        found.BytesChecked ? std::to_string(found.BytesChecked) : std::string(),
        found.BitRate ? std::to_string(found.BitRate) : std::string(),
        options.AnswerCom ? (found.ProfileProven ? "yes" : "no") : std::string(),
        found.Cause ? std::to_string(found.Cause) : std::string(),
        found.Bearer ? std::to_string(found.Bearer) : std::string(),
    };
    return "\xEF\xBB\xBF" + gCsvRow(header, std::size(header)) + gCsvRow(row, std::size(row));
}

int gRunCall(const CliOptions& options) {
    const int com = options.ComNumbers.front();
    if (options.AnswerCom) {
        const std::vector<PortIdentity> ports = gIdentifyComPorts(std::max(com, options.AnswerCom));
        const std::string& device = ports[static_cast<size_t>(com - 1)].Device;
        if (!device.empty() && device == ports[static_cast<size_t>(options.AnswerCom - 1)].Device) {
            gWriteConsoleText(stderr, std::string("kestrelix-cli: ") + CallMsg::SamePort + " (" + device + ")\n");
            return BadArguments;
        }
    }
    CallConsole window(stdout, stderr);
    // Made before the engine's worker starts, which must inherit the blocked interrupt.
    InterruptWatcher watcher([&window] { window.End.Interrupt(); });
    MemorySettings settings;
    gFillConsoleChoices(window, com);
    ConfigEngine engine(settings);
    engine.OnRunEnded = [&window](const RunOutcome&) { window.End.RunEnded(); };
    engine.SetWindow(&window);
    ModemChoices choices;
    choices.ComIndex = com - 1;
    engine.InitEngine(choices);
    watcher.Start();
    const CallRequest request{options.CallNumber, options.AnswerCom, !options.NoRestart, options.Bearer};
    if (!engine.OnTestCall(request)) return BadArguments;
    for (int interrupts = 0;;) {
        interrupts = window.End.WaitForChange(interrupts);
        if (interrupts < 0) break;
        // The first stops the call, which still ends it on both modems; a second leaves
        // at once, but the engine's ending waits for that hang-up all the same.
        if (interrupts >= 2) return SomeFailed;
        engine.StopRun();
    }
    const CallFindings found = engine.Outcome.Call;
    if (!options.ReportFile.empty()) {
        const std::string cause = gWriteReportFile(options.ReportFile, gCallReportCsv(options, found));
        if (!cause.empty()) {
            gWriteConsoleText(stderr, "kestrelix-cli: cannot write the report " + options.ReportFile + ": " + cause + "\n");
            return ReportNotWritten;
        }
    }
    if (found.End == CallResult::PortNotOpened) return PortNotOpened;
    return found.End == CallResult::Passed ? AllSucceeded : SomeFailed;
}
