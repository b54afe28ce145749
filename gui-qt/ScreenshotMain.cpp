// kestrelix-screenshot FOLDER: pictures of the main window for the README, idle and
// after a successful job against the virtual modem on COM1, of the signal meter after a
// run of readings from a wandering level, and of the window after two test calls in the
// workshop from COM1 to a device's modem on COM2: one that passes and one the network
// refuses, the calling SIM card having no data service. The caller provides the display
// (Xvfb) and a throw-away configuration folder.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "serial/ComNames.h"
#include "sim/CallNetwork.h"
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

// A test call: the computer's modem on COM1 calls a device's modem on COM2, each with the
// profile the job stores for its place, on a network ten times faster than GSM's. The
// failure's box is closed as it comes. How the call ended; NotRun when it did not in time.
CallResult RunCall(ModemSetupDlg& dialog, const QString& folder, bool callerHasData) {
    auto network = std::make_shared<CallNetwork>();
    const struct {
        int Com;
        const char* Profile;
    } modems[] = {{1, "ATE0V1X4L1&D2S0=2S7=60+IPR=9600"}, {2, "ATE0V0X0L1&D0S0=2S7=60+IPR=9600"}};
    std::vector<std::unique_ptr<VirtualModem>> running;
    for (const auto& m : modems) {
        VirtualModemOptions options;
        options.ComNumber = m.Com;
        options.Speed = 9600;
        options.Calls = network;
        options.TimeScale = 10;
        options.NoDataService = m.Com == 1 && !callerHasData;
        options.ProfileFile = QDir(folder).filePath(QStringLiteral("call-profile-%1").arg(m.Com)).toStdString();
        std::FILE* profile = std::fopen(options.ProfileFile.c_str(), "w");
        if (!profile) return CallResult::NotRun;
        std::fprintf(profile, "%s\n", m.Profile);
        std::fclose(profile);
        running.push_back(std::make_unique<VirtualModem>(options));
        if (const std::string failure = running.back()->Start(); !failure.empty()) {
            std::fprintf(stderr, "kestrelix-screenshot: %s\n", failure.c_str());
            return CallResult::NotRun;
        }
    }
    // The box waits in a loop of its own, where only a timer reaches it.
    QTimer boxCloser;
    QObject::connect(&boxCloser, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    boxCloser.start(200);
    std::atomic<bool> ended{false};
    dialog.OnRunEnded = [&ended](const RunOutcome&) { ended = true; };
    dialog.OnTestCall(CallRequest{running[1]->Number(), 2, true});
    const bool inTime = QTest::qWaitFor([&] { return ended.load(); }, 120000);
    // The last rows reach the log through the window's queue.
    QTest::qWait(500);
    dialog.OnRunEnded = nullptr;
    for (const auto& m : modems) QFile::remove(QDir(folder).filePath(QStringLiteral("call-profile-%1").arg(m.Com)));
    return inTime ? dialog.Outcome.Call.End : CallResult::NotRun;
}

bool SaveCall(ModemSetupDlg& dialog, const QString& folder, bool callerHasData, CallResult end, const QString& name) {
    if (RunCall(dialog, folder, callerHasData) == end) return Save(dialog, folder + "/" + name);
    std::fprintf(stderr, "kestrelix-screenshot: the test call did not end as \"%s\":\n", gCallResultName(end));
    auto* log = dialog.findChild<QTableWidget*>(QStringLiteral("logView"));
    for (int row = 0; row < log->rowCount(); ++row) std::fprintf(stderr, "  %s\n", qPrintable(log->item(row, 0)->text()));
    return false;
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
    return SaveMeter(dialog, modem, folder) &&
                   SaveCall(dialog, folder, true, CallResult::Passed, QStringLiteral("window-after-call.png")) &&
                   SaveCall(dialog, folder, false, CallResult::Refused, QStringLiteral("window-after-refused-call.png"))
               ? 0
               : 1;
}
