// kestrelix-screenshot FOLDER: pictures of the main window for the README, idle and
// after a successful job against the virtual modem on COM1, and of the signal meter
// after a run of readings from a wandering level. The caller provides the
// display (Xvfb) and a throw-away configuration folder.

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <string>

#include "settings/SettingsStore.h"
#include "serial/ComNames.h"
#include "sim/VirtualModem.h"
#include "gui-qt/ModemSetupDlg.h"

namespace {

bool Save(QWidget& window, const QString& path) {
    if (window.grab().save(path)) return true;
    std::fprintf(stderr, "kestrelix-screenshot: cannot write %s\n", qPrintable(path));
    return false;
}

// The meter with a full plot: readings come quickly from a modem whose level wanders.
bool SaveMeter(ModemSetupDlg& dialog, VirtualModem& modem, const QString& folder) {
    modem.Stop();
    VirtualModemOptions options;
    options.SignalWalk = true;
    options.Signal = 14;
    options.Seed = 3;
    VirtualModem walking(options);
    if (const std::string failure = walking.Start(); !failure.empty()) {
        std::fprintf(stderr, "kestrelix-screenshot: %s\n", failure.c_str());
        return false;
    }
    dialog.SignalIntervalMs = 20;
    dialog.OnSignalMeter();
    auto* meter = dialog.findChild<QWidget*>(QStringLiteral("signalMeter"));
    // The search, then enough readings to fill the plot.
    QTest::qWait(9000);
    const bool saved = Save(*meter, folder + "/signal-meter.png");
    meter->close();
    const bool ended = QTest::qWaitFor([&] { return dialog.Busy == 0; }, 30000);
    if (!ended) std::fputs("kestrelix-screenshot: the signal job did not end in time\n", stderr);
    return saved && ended;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: kestrelix-screenshot FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);

    VirtualModem modem;
    const std::string failure = modem.Start();
    if (!failure.empty()) {
        std::fprintf(stderr, "kestrelix-screenshot: %s\n", failure.c_str());
        return 1;
    }

    SettingsStore settings;
    settings.SetRoot(CompanyName);
    ModemSetupDlg dialog(settings);
    dialog.show();
    QTest::qWait(500);
    if (!Save(dialog, folder + "/window-idle.png")) return 1;

    std::atomic<bool> jobEnded{false};
    dialog.OnRunEnded = [&jobEnded](const RunOutcome&) { jobEnded = true; };
    dialog.findChild<QPushButton*>(QStringLiteral("startStop"))->click();
    const bool ended = QTest::qWaitFor([&] { return jobEnded.load(); }, 120000);
    QTest::qWait(500);
    if (!ended) std::fputs("kestrelix-screenshot: the job did not end in time\n", stderr);
    if (!ended || !Save(dialog, folder + "/window-after-job.png")) return 1;
    return SaveMeter(dialog, modem, folder) ? 0 : 1;
}
