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
    : ConsoleToolkit(terminal ? out : err, err), Out(out), Terminal(terminal) {}

// Spaces over the old line rather than an escape sequence: every console takes them.
void SignalConsole::ClearLine() {
    if (DrawnWidth == 0) return;
    std::string blank(static_cast<size_t>(DrawnWidth) + 2, ' ');
    blank.front() = blank.back() = '\r';
    gWriteConsoleText(Out, blank);
    DrawnWidth = 0;
}

void SignalConsole::RowInserted(int id, const std::string& text) {
    if (Terminal) ClearLine();
    ConsoleToolkit::RowInserted(id, text);
}

void SignalConsole::SignalShown(const SignalReading& reading) {
    if (reading.Ended) {
        // On a terminal the summary came as the last row; elsewhere it ends the table.
        if (!Terminal && !reading.Summary.empty()) gWriteConsoleText(Out, reading.Summary + "\n");
        {
            std::lock_guard lock(EndLock);
            HasEnded = true;
        }
        EndSeen.notify_all();
        return;
    }
    ++Readings;
    if (Terminal) {
        const std::string line = gSignalMeterLine(reading);
        const size_t width = Characters(line);
        // The shorter line covers what is left of the longer one before it.
        gWriteConsoleText(Out, "\r" + line + std::string(DrawnWidth > width ? DrawnWidth - width : 0, ' '));
        DrawnWidth = width;
        return;
    }
    gWriteConsoleText(Out, gSignalDataLine(reading, gLocalTimeNow()) + "\n");
}

void SignalConsole::Interrupt() {
    {
        std::lock_guard lock(EndLock);
        ++Interrupts;
    }
    EndSeen.notify_all();
}

int SignalConsole::WaitForChange(std::chrono::steady_clock::time_point deadline, bool noDeadline,
                                 int interruptsSeen) {
    std::unique_lock lock(EndLock);
    const auto changed = [&] { return HasEnded || Interrupts != interruptsSeen; };
    if (noDeadline) EndSeen.wait(lock, changed);
    else EndSeen.wait_until(lock, deadline, changed);
    return HasEnded ? -1 : Interrupts;
}

int SignalConsole::ReadingCount() {
    std::lock_guard lock(EndLock);
    return Readings;
}

int gRunSignal(const CliOptions& options) {
    SignalConsole window(stdout, stderr, gIsConsole(stdout));
    // Made before the engine's worker starts, which must inherit the blocked interrupt.
    InterruptWatcher watcher([&window] { window.Interrupt(); });
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
        interrupts = window.WaitForChange(deadline, endless || stopSent, interrupts);
        if (interrupts < 0) break;
        // A second Ctrl+C ends at once, as it ends a job.
        if (interrupts >= 2) return 1;
        if (!stopSent) {
            stopSent = true;
            engine.StopRun();
        }
    }
    return window.ReadingCount() > 0 ? 0 : 1;
}
