#include "cli/SignalConsole.h"

#include "cli/CliOptions.h"
#include "cli/ConsoleText.h"
#include "cli/InterruptWatcher.h"
#include "cli/LocalTime.h"
#include "cli/SignalLines.h"
#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "engine/ModemChoices.h"
#include "frontend/WindowChoices.h"

namespace {

size_t Characters(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace

SignalConsole::SignalConsole(std::FILE* out, std::FILE* err, bool terminal)
    : ConsoleToolkit(terminal ? out : err, err), Out(out), Terminal(terminal) {
    OnOutputLost = [this] { End.OutputLost(); };
}

// Spaces over the old line rather than an escape sequence: every console takes them.
void SignalConsole::ClearLine() {
    if (DrawnWidth == 0) return;
    std::string blank(static_cast<size_t>(DrawnWidth) + 2, ' ');
    blank.front() = blank.back() = '\r';
    WriteData(Out, blank);
    DrawnWidth = 0;
}

void SignalConsole::RowInserted(int id, const std::string& text) {
    if (Terminal) ClearLine();
    ConsoleToolkit::RowInserted(id, text);
}

void SignalConsole::SignalShown(const SignalReading& reading) {
    if (reading.Ended) {
        // On a terminal the summary came as the last row; elsewhere it ends the table.
        if (!Terminal && !reading.Summary.empty()) WriteData(Out, reading.Summary + "\n");
        End.RunEnded();
        return TellOutputLost();
    }
    ++Readings;
    if (Terminal) {
        const std::string line = gSignalMeterLine(reading);
        const size_t width = Characters(line);
        // The shorter line covers what is left of the longer one before it.
        WriteData(Out, "\r" + line + std::string(DrawnWidth > width ? DrawnWidth - width : 0, ' '));
        DrawnWidth = width;
        return TellOutputLost();
    }
    WriteData(Out, gSignalDataLine(reading, gLocalTimeNow()) + "\n");
    TellOutputLost();
}

int gRunSignal(const CliOptions& options) {
    SignalConsole window(stdout, stderr, gIsConsole(stdout));
    // Made before the engine's worker starts, which must inherit the blocked interrupt.
    InterruptWatcher watcher([&window] { window.End.Interrupt(); });
    MemorySettings settings;
    const int com = options.ComNumbers.front();
    gFillConsoleChoices(window, com);
    ConfigEngine engine(settings);
    engine.SetWindow(&window);
    ModemChoices choices;
    choices.ComIndex = com - 1;
    engine.InitEngine(choices);
    watcher.Start();
    engine.OnMeasureSignal();

    const bool endless = options.SignalSeconds == 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.SignalSeconds);
    bool stopSent = false;
    for (int interrupts = 0;;) {
        interrupts = window.End.WaitForChange(interrupts, endless || stopSent ? std::nullopt : std::optional(deadline));
        if (interrupts < 0) break;
        // A second Ctrl+C ends at once, as it ends a job.
        if (interrupts >= 2) return 1;
        if (!stopSent) {
            stopSent = true;
            engine.StopRun();
        }
    }
    // Readings that nobody read to the end are no measurement.
    return window.ReadingCount() > 0 && !window.End.OutputWasLost() ? 0 : 1;
}
