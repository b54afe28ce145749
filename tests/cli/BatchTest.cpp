// Several ports in one process, against virtual modems in the same process (so that a
// ThreadSanitizer build watches every engine, worker and modem at once), and the pure
// parts of what a batch tells at its end.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <thread>

#include "cli/Batch.h"
#include "sim/VirtualModem.h"
#include "tests/support/TempConfigHome.h"

namespace {

using Lines = std::vector<std::string>;

std::string Contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

PortResult Result(int com, PortOutcome outcome, double seconds = 0, std::string lastRow = {}) {
    PortResult r;
    r.Com = com;
    r.Outcome = outcome;
    r.Seconds = seconds;
    r.LastRow = std::move(lastRow);
    return r;
}

struct BatchTest : ::testing::Test {
    TempConfigHome Home;
    std::vector<std::unique_ptr<VirtualModem>> Modems;
    std::FILE* Out = std::tmpfile();
    std::FILE* Err = std::tmpfile();

    void StartModems(bool silent) {
        for (int com = 1; com <= 4; ++com) {
            VirtualModemOptions options;
            options.ComNumber = com;
            options.Speed = com % 2 ? 9600 : 115200;
            options.Silent = silent;
            options.Mismatch = MismatchMode::Silent;
            options.KeepTranscript = false;
            Modems.push_back(std::make_unique<VirtualModem>(options));
            ASSERT_EQ(Modems.back()->Start(), "");
        }
    }
    CliOptions FourPorts(bool check) {
        CliOptions o;
        o.ComNumbers = {1, 2, 3, 4};
        o.ModelIndex = 1;
        o.Configure = true;
        o.Check = check;
        return o;
    }
    void TearDown() override {
        for (auto& m : Modems) m->Stop();
        std::fclose(Out);
        std::fclose(Err);
    }
};

TEST_F(BatchTest, FourJobsAtOnceEachFollowedByItsCheck) {
    StartModems(false);
    std::vector<PortResult> results;
    {
        Batch batch(FourPorts(true), Out, Err);
        EXPECT_EQ(batch.Run(), AllSucceeded);
        results = batch.Results();
    }
    ASSERT_EQ(results.size(), 4u);
    std::set<std::string> imeis;
    for (const PortResult& r : results) {
        EXPECT_EQ(r.Outcome, PortOutcome::Configured) << r.Com;
        EXPECT_TRUE(r.Checked);
        EXPECT_EQ(r.Findings.Speed, 9600);
        EXPECT_EQ(r.LastRow, "Проверка завершена: модем отвечает.");
        imeis.insert(r.Findings.Imei);
    }
    EXPECT_EQ(imeis, (std::set<std::string>{"351998000000018", "351998000000026", "351998000000034", "351998000000042"}));
    for (const auto& m : Modems) EXPECT_EQ(m->StoredProfile().Speed, 9600u);

    // Each line is one port's, whole; the summary follows them all.
    std::istringstream out(Contents(Out));
    Lines lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    ASSERT_GT(lines.size(), 5u);
    for (size_t i = 0; i + 5 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].size() > 6 && lines[i].rfind("COM", 0) == 0 && lines[i].substr(4, 2) == ": ") << lines[i];
    EXPECT_EQ(lines[lines.size() - 5], "Port   Outcome           Seconds");
    EXPECT_EQ(Contents(Err), "");
}

// The interrupt comes before any worker has begun: each stop waits until its run has.
TEST_F(BatchTest, AnInterruptStopsEveryPortEvenBeforeItsRunBegins) {
    StartModems(true);
    Batch batch(FourPorts(false), Out, Err);
    batch.Interrupt();
    EXPECT_EQ(batch.Run(), SomeFailed);
    for (const PortResult& r : batch.Results()) {
        EXPECT_EQ(r.Outcome, PortOutcome::Stopped) << r.Com;
        EXPECT_EQ(r.LastRow, "Операция завершена НЕ успешно!");
    }
}

// On a terminal a status line counts the ports below the rows; each row takes it away
// first, and it is gone before the summary.
TEST_F(BatchTest, OnATerminalAProgressLineCountsThePorts) {
    StartModems(false);
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::FILE* terminal = std::fopen(ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    std::string seen;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, static_cast<size_t>(n));
    });
    {
        Batch batch(FourPorts(false), terminal, Err);
        EXPECT_EQ(batch.Run(), AllSucceeded);
    }
    std::fclose(terminal);
    reader.join();
    close(master);
    const std::string first = "Ports done 0 of 4: good 0, failed 0, running 4";
    const std::string blank = "\r" + std::string(first.size(), ' ') + "\r";
    EXPECT_NE(seen.find(first), std::string::npos) << seen.substr(0, 200);
    EXPECT_NE(seen.find(blank + "COM1: "), std::string::npos);
    // Ports that end together move the counts in one step, so which counts come between
    // the first and the summary depends on timing; each says 4 in all.
    for (size_t at = seen.find("Ports done "); at != std::string::npos; at = seen.find("Ports done ", at + 1))
        EXPECT_EQ(seen.compare(seen.find(' ', at + 11), 6, " of 4:"), 0) << seen.substr(at, 50);
    const size_t summary = seen.find("Port   Outcome");
    ASSERT_NE(summary, std::string::npos);
    EXPECT_EQ(seen.find("Ports done", summary), std::string::npos);
}

TEST(BatchReport, ExitStatusFromTheOutcomes) {
    using O = PortOutcome;
    const struct {
        std::vector<O> Outcomes;
        ExitStatus Status;
    } cases[] = {
        {{O::Configured, O::Answered}, AllSucceeded},
        {{O::Configured, O::PortNotOpened}, PortNotOpened},
        {{O::PortNotOpened, O::NotConfigured}, SomeFailed},
        {{O::NotAnswered}, SomeFailed},
        {{O::Stopped, O::Configured}, SomeFailed},
    };
    for (const auto& c : cases) {
        std::vector<PortResult> results;
        for (O o : c.Outcomes) results.push_back(Result(1, o));
        EXPECT_EQ(gExitStatus(results), c.Status);
    }
}

TEST(BatchReport, CsvRowsAreQuotedWhereTheyMustBe) {
    PortResult job = Result(5, PortOutcome::NotConfigured, 2.25, "При выполнении команды \"ATS0=2\" возникла ошибка;\r\nконец");
    job.Device = "/dev/ttyUSB0";
    CliOptions options;
    options.ModelIndex = 2;
    options.SpeedIndex = 9;
    options.Place = 1;
    options.Configure = true;
    EXPECT_EQ(gReportCsv({job}, options),
              "\xEF\xBB\xBFPort;Device;Model;Speed;Place;IMEI;Outcome;Seconds;Last log row\r\n"
              "COM5;/dev/ttyUSB0;Cinterion MC52i;115200;computer;;not configured;2,2;"
              "\"При выполнении команды \"\"ATS0=2\"\" возникла ошибка;\r\nконец\"\r\n");

    // Checked only: what the modem said of itself and where it was found.
    PortResult check = Result(12, PortOutcome::Answered, 0.04, "x");
    check.Checked = true;
    check.Findings = {true, 57600, "Cinterion", "MC52i", "490154203237518"};
    CliOptions checkOnly;
    checkOnly.Check = true;
    const std::string csv = gReportCsv({check}, checkOnly);
    EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), "COM12;;Cinterion MC52i;57600;;490154203237518;answered;0,0;x\r\n");
}

}  // namespace
