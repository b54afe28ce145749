// What scripts and operators trust after a run of kestrelix-cli: the exit status, the
// last row, the report and what reached the terminal, when the modem, the port, the
// report's file or the console itself fails.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "tests/cli/CliFixture.h"

namespace {

const std::string PortFailedRow = "Проверка прервана: ошибка СОМ-порта!";

// kestrelix-modem serving one COM number, up once its line says where.
struct ModemProcess : ChildProcess {
    ModemProcess(int com, Lines options) : ChildProcess(KX_MODEM_PATH, WithCom(com, std::move(options))) {
        Ready = WaitForOutput("COM" + std::to_string(com) + " /dev/pts/");
    }
    static Lines WithCom(int com, Lines options) {
        options.insert(options.end(), {"--speed", "9600", "--mismatch", "silent", "--com", std::to_string(com)});
        return options;
    }
    bool Ready = false;
};

// A modem that goes away mid-check (its line hung up, its program killed) makes the
// check fail; the questions answered before it stay in the log.
TEST_F(CliTest, ACheckWhoseModemGoesAwayMidCheckFails) {
    const struct {
        const char* Name;
        Lines Modem;
        const char* KillAfter;  // the row after which the modem's program is killed; none: it hangs up itself
        bool Identified;        // the identity row came before the end
    } cases[] = {
        {"hangs up after the probe", {"--hangup-after", "1"}, nullptr, false},
        {"hangs up after the identity", {"--hangup-after", "5"}, nullptr, true},
        {"hangs up before the last question", {"--hangup-after", "7"}, nullptr, true},
        // The delay leaves four slow questions after the row for the kill to land in.
        {"killed after the identity", {"--delay", "400"}, "Изготовитель: ", true},
    };
    int com = 2;
    for (const auto& c : cases) {
        ++com;
        SCOPED_TRACE(c.Name);
        ModemProcess modem(com, c.Modem);
        ASSERT_TRUE(modem.Ready) << modem.Stderr();
        const std::string report = Home.Path() + "/check" + std::to_string(com) + ".csv";
        CliProcess cli({"--check", "--com", std::to_string(com), "--report", report});
        if (c.KillAfter) {
            ASSERT_TRUE(cli.WaitForOutput(c.KillAfter));
            modem.Signal(SIGKILL);
        }
        EXPECT_EQ(cli.Wait(), 1);
        const std::string out = cli.Stdout();
        EXPECT_EQ(out.find("модем отвечает"), std::string::npos) << out;
        const Lines rows = SplitLines(out);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back(), PortFailedRow) << out;
        EXPECT_EQ(out.find("Изготовитель: Cinterion; модель: MC52i") != std::string::npos, c.Identified) << out;
        const std::vector<Lines> csv = ReportRows(report);
        ASSERT_EQ(csv.size(), 1u);
        ASSERT_EQ(csv[0].size(), 9u);
        EXPECT_EQ(csv[0][5], "") << "no IMEI from a check that did not end";
        EXPECT_EQ(csv[0][6], "port failed");
        EXPECT_EQ(csv[0][8], PortFailedRow);
        modem.Signal(SIGTERM);
        modem.Wait();
    }
}

// A check stopped while the port is still being opened was stopped: the port was never
// found wanting.
TEST_F(CliTest, ACheckStoppedWhileOpeningEndsAsStopped) {
    MissingPort(9);
    const std::string report = Home.Path() + "/check.csv";
    CliProcess cli({"--check", "--com", "9", "--report", report});
    ASSERT_TRUE(cli.WaitForOutput("Открытие СОМ9\n"));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(cli.Stdout(), "Открытие СОМ9\nПроверка прервана!\n");
    EXPECT_EQ(cli.Stderr(), "");
    const std::vector<Lines> csv = ReportRows(report);
    ASSERT_EQ(csv.size(), 1u);
    ASSERT_EQ(csv[0].size(), 9u);
    EXPECT_EQ(csv[0][6], "stopped");
}

// Status 4 with the system's reason and the path; the rows are on the console all the
// same, an old report stays as it was, and no half-written file is left beside it.
TEST_F(CliTest, AReportThatCannotBeWrittenFailsTheRun) {
    StartModem(3, 9600);
    const std::string folder = Home.Path() + "/reports";
    std::filesystem::create_directories(folder);
    const std::string oldReport = "old report\r\n";
    auto existing = [&](const std::string& name, mode_t mode) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << oldReport;
        chmod(path.c_str(), mode);
        return path;
    };
    const struct {
        const char* Name;
        std::string Path;
        int Code;
        bool Kept;             // an old report is there and must stay as it was
        bool SizeLimit = false;  // run under a file size limit of 0, as a full quota is
    } cases[] = {
        {"a full device", "/dev/full", ENOSPC, false},
        {"a folder", folder, EISDIR, false},
        // Refused by its mode, even to root, whom permission bits do not stop.
        {"a read-only file", existing("read-only.csv", 0444), EACCES, true},
        {"a missing folder", folder + "/missing/depot.csv", ENOENT, false},
        {"over the size limit", existing("limited.csv", 0644), EFBIG, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const Lines args = {"--check", "--com", "3", "--report", c.Path};
        std::unique_ptr<ChildProcess> cli;
        if (c.SizeLimit) {
            // A sanitizer's runtime may write a scratch file under TMPDIR before main, which
            // the limit would end; pointed nowhere, it does without. The report's own
            // temporary file lies beside the report.
            Lines shell = {"-c", "ulimit -f 0 && export TMPDIR=/nonexistent && exec \"$0\" \"$@\"", KX_CLI_PATH};
            shell.insert(shell.end(), args.begin(), args.end());
            cli = std::make_unique<ChildProcess>("/bin/sh", shell);
        } else {
            cli = std::make_unique<CliProcess>(args);
        }
        EXPECT_EQ(cli->Wait(), 4);
        EXPECT_EQ(cli->Stderr(), "kestrelix-cli: cannot write the report " + c.Path + ": " + std::strerror(c.Code) + "\n");
        const Lines rows = SplitLines(cli->Stdout());
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front(), "Открытие СОМ3");
        EXPECT_EQ(rows.back(), "Проверка завершена: модем отвечает.");
        if (c.Kept) {
            EXPECT_EQ(FileText(c.Path), oldReport);
        }
    }
    Lines left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (Lines{"limited.csv", "read-only.csv"}));

    // The same report where it can be written replaces the old one whole.
    const std::string path = existing("depot.csv", 0644);
    CliProcess cli({"--check", "--com", "3", "--report", path});
    EXPECT_EQ(cli.Wait(), 0);
    const std::vector<Lines> csv = ReportRows(path);
    ASSERT_EQ(csv.size(), 1u);
    EXPECT_EQ(csv[0][0], "COM3");
}

// What the modem says of itself reaches the report as data (a spreadsheet takes a
// leading =, +, - or @ as a formula) and the terminal as text (no control character
// but the line ends).
TEST_F(CliTest, TextFromTheModemIsDataNotMarkup) {
    const struct {
        std::string Maker, Model, Imei;
        std::string IdentityRow, ImeiRow;    // on the console
        std::string ModelField, ImeiField;   // in the report
    } cases[] = {
        {"=1+1", "MC52i", "351998000000018", "Изготовитель: =1+1; модель: MC52i; версия: REVISION 01.100",
         "IMEI: 351998000000018", "'=1+1 MC52i", "351998000000018"},
        {"+Cinterion", "MC52i", "@SUM(1+1)", "Изготовитель: +Cinterion; модель: MC52i; версия: REVISION 01.100",
         "IMEI: не удалось прочитать \"@SUM(1+1)\"", "'+Cinterion MC52i", "'@SUM(1+1)"},
        {"-2+3", "MC52i", "=HYPERLINK(\"http://x\")", "Изготовитель: -2+3; модель: MC52i; версия: REVISION 01.100",
         "IMEI: не удалось прочитать \"=HYPERLINK(\"http://x\")\"", "'-2+3 MC52i", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"Cinterion", "MC52i\x1b[2J\x1b[H\x07", "-1",
         "Изготовитель: Cinterion; модель: MC52i?[2J?[H?; версия: REVISION 01.100", "IMEI: не удалось прочитать \"-1\"",
         "Cinterion MC52i\x1b[2J\x1b[H\x07", "'-1"},
        {"Cin\tterion\b\x7f", "MC52i", "\x1b[31m351998000000018",
         "Изготовитель: Cin?terion??; модель: MC52i; версия: REVISION 01.100", "IMEI: не удалось прочитать \"?[31m351998000000018\"",
         "Cin\tterion\b\x7f MC52i", "\x1b[31m351998000000018"},
    };
    int com = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.IdentityRow);
        VirtualModemOptions options;
        options.ComNumber = ++com;
        options.Speed = 9600;
        options.Maker = c.Maker;
        options.Model = c.Model;
        options.Imei = c.Imei;
        StartModem(options);
        const std::string report = Home.Path() + "/check" + std::to_string(com) + ".csv";
        CliProcess cli({"--check", "--com", std::to_string(com), "--report", report});
        EXPECT_EQ(cli.Wait(), 0);
        const Lines out = SplitLines(cli.Stdout());
        ASSERT_EQ(out.size(), 8u);
        EXPECT_EQ(out[2], c.IdentityRow);
        EXPECT_EQ(out[3], c.ImeiRow);
        for (const std::string& text : {cli.Stdout(), cli.Stderr()})
            for (const char control : text)
                EXPECT_FALSE(static_cast<unsigned char>(control) < 0x20 && control != '\n') << int(control);
        const std::vector<Lines> csv = ReportRows(report);
        ASSERT_EQ(csv.size(), 1u);
        ASSERT_EQ(csv[0].size(), 9u);
        EXPECT_EQ(csv[0][2], c.ModelField);
        EXPECT_EQ(csv[0][5], c.ImeiField);
    }
}

// Two numbers that end at one device, or one number given twice: the device is
// configured once, counted once, and the operator is told which numbers share it.
TEST_F(CliTest, ADeviceReachedByTwoNumbersRunsOnce) {
    StartModem(3, 9600);
    VirtualModem& three = *Modem;
    StartModem(4, 9600);
    LinkPort(5, three.DevicePath());  // to the device itself
    LinkPort(6, three.LinkPath());    // to COM3's link
    const std::string device = three.DevicePath();
    const struct {
        std::string Com;
        std::string Told;    // on stderr before any row
        Lines Ports;         // the report's rows
        int ThreeJobs;       // AT&W that reached COM3's modem
    } cases[] = {
        {"3,5", "COM5 leads to " + device + ", as COM3 does; the device runs once, as COM3.", {"COM3"}, 1},
        {"6,3", "COM3 leads to " + device + ", as COM6 does; the device runs once, as COM6.", {"COM6"}, 1},
        {"3,3-4", "COM3 is given more than once; it runs once.", {"COM3", "COM4"}, 1},
        {"5,4,6,3", "COM6 leads to " + device + ", as COM5 does; the device runs once, as COM5.\n"
                    "kestrelix-cli: COM3 leads to " + device + ", as COM5 does; the device runs once, as COM5.",
         {"COM5", "COM4"}, 1},
    };
    auto jobs = [](const VirtualModem& modem) {
        const std::string received = modem.ReceivedBytes();
        int count = 0;
        for (size_t at = received.find("AT&W"); at != std::string::npos; at = received.find("AT&W", at + 1)) ++count;
        return count;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Com);
        const int before = jobs(three);
        const std::string report = Home.Path() + "/depot.csv";
        CliProcess cli({"--com", c.Com, "--model", "1", "--speed", "9600", "--report", report});
        EXPECT_EQ(cli.Wait(), 0);
        EXPECT_EQ(cli.Stderr(), "kestrelix-cli: " + c.Told + "\n");
        EXPECT_EQ(jobs(three) - before, c.ThreeJobs);
        Lines ports;
        for (const Lines& row : ReportRows(report)) {
            ports.push_back(row.at(0));
            if (row.at(0) != "COM4") {
                EXPECT_EQ(row.at(1), device);
            }
            EXPECT_EQ(row.at(6), "configured");
        }
        EXPECT_EQ(ports, c.Ports);
        // One port: its rows unprefixed and no summary; several: a summary line each.
        const Lines out = SplitLines(cli.Stdout());
        if (c.Ports.size() == 1) {
            EXPECT_EQ(out.back(), "Операция завершена успешно!");
        } else {
            ASSERT_GE(out.size(), 3u);
            EXPECT_EQ(out[out.size() - 3], "Port   Outcome           Seconds");
        }
    }
}

// Ctrl+C, SIGTERM, SIGHUP and a standard output closed by its reader (| head -3) all
// stop every job: the report is written, the status is 1, and no signal ends the program.
TEST_F(CliTest, EveryStopEndsTheBatchCleanly) {
    // Silent modems keep the search going until it is stopped.
    StartModem(1, 9600, false, true);
    StartModem(2, 9600, false, true);
    const struct {
        const char* Name;
        int Signal;  // 0: the output is closed instead
    } cases[] = {{"Ctrl+C", SIGINT}, {"SIGTERM", SIGTERM}, {"the terminal closed", SIGHUP}, {"head -3", 0}};
    struct sigaction hangup {};
    sigaction(SIGHUP, nullptr, &hangup);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        // Under nohup the program inherits SIGHUP ignored, and keeps it so.
        if (c.Signal == SIGHUP && hangup.sa_handler == SIG_IGN) continue;
        const std::string report = Home.Path() + "/stopped.csv";
        std::filesystem::remove(report);
        const Lines args = {"--com", "1-2", "--report", report};
        std::unique_ptr<ChildProcess> cli;
        if (c.Signal) {
            cli = std::make_unique<CliProcess>(args);
            for (const std::string com : {"COM1", "COM2"})
                ASSERT_TRUE(cli->WaitForOutput(com + ": Поиск модема на скорости 9600 бит/сек."));
            cli->Signal(c.Signal);
        } else {
            Lines shell = {"-c", "\"$0\" \"$@\" | head -3; exit ${PIPESTATUS[0]}", KX_CLI_PATH};
            shell.insert(shell.end(), args.begin(), args.end());
            cli = std::make_unique<ChildProcess>("/bin/bash", shell);
        }
        EXPECT_EQ(cli->Wait(), 1);
        EXPECT_EQ(cli->Stderr(), "");
        const Lines out = SplitLines(cli->Stdout());
        if (c.Signal) {
            ASSERT_GE(out.size(), 2u);
            for (size_t i = out.size() - 2; i < out.size(); ++i)
                EXPECT_NE(out[i].find(" stopped "), std::string::npos) << out[i];
        } else {
            EXPECT_EQ(out.size(), 3u);
        }
        const std::vector<Lines> csv = ReportRows(report);
        EXPECT_EQ(csv.size(), 2u);
        for (const Lines& row : csv) {
            EXPECT_EQ(row, (Lines{row.at(0), row.at(1), "Siemens TC35i", "9600", "device", "", "stopped", row.at(7),
                                  "Операция завершена НЕ успешно!"}));
        }
    }
}

// A number that leads to something other than a serial port is not opened; each says
// what it leads to instead, and so does the list.
TEST_F(CliTest, WhatIsNoSerialPortIsNotOpened) {
    const std::string plain = Home.Path() + "/notes.txt";
    std::ofstream(plain) << "notes\n";
    const struct {
        int Com;
        std::string Target;
        std::string Why;
        std::string Listed;  // after the target and its link in --list; empty: what udev knows may follow
    } cases[] = {
        {7, "/dev/ptmx", "COM7 (/dev/ptmx): это не последовательный порт, а ведущая сторона псевдотерминала.",
         " — ведущая сторона псевдотерминала, не последовательный порт"},
        {8, plain, "COM8 (" + plain + "): это не терминальное устройство.", " — не устройство"},
        {9, "/dev/null", "COM9 (/dev/null): это не терминальное устройство.", ""},
        {10, "/nonexistent/kx-tty", "COM10 (/nonexistent/kx-tty): такого устройства нет.", " не существует"},
    };
    for (const auto& c : cases) LinkPort(c.Com, c.Target);
    CliProcess list({"--list"});
    EXPECT_EQ(list.Wait(), 0);
    for (const auto& c : cases) {
        const std::string link = " (ссылка " + Home.PortsFolder() + "/COM" + std::to_string(c.Com) + ")";
        const std::string line = c.Target + link + (c.Listed.empty() ? std::string() : c.Listed + "\n");
        EXPECT_NE(list.Stdout().find(line), std::string::npos) << list.Stdout();
    }
    // All at once: each port's five attempts to open take their time.
    CliProcess cli({"--com", "7-10"});
    EXPECT_EQ(cli.Wait(), 3);
    for (const auto& c : cases) {
        EXPECT_EQ(PortLines(cli.Stdout(), c.Com), Lines{"Открытие СОМ" + std::to_string(c.Com)});
        EXPECT_EQ(PortLines(cli.Stderr(), c.Com),
                  (Lines{"Последовательный порт не готов!Возможно, он занят другим приложением!", c.Why}));
    }
}

}  // namespace

namespace {

// Descriptors that run out after the batch made room for them, here because the console
// inherited many that the room does not count: every port still ends with its own cause
// (an engine without its events says so, a port that cannot be opened says why), and the
// batch ends.
TEST_F(CliTest, DescriptorsRunningOutMidBatchEndEveryPort) {
    if (KX_SANITIZED) GTEST_SKIP() << "a sanitizer's runtime reports falsely once descriptors run out";
    for (int com = 1; com <= 8; ++com) StartModem(com, 9600);
    ChildProcess cli("/bin/bash", {"-c", "ulimit -n 80 && for fd in $(seq 20 78); do eval \"exec $fd</dev/null\"; done; "
                                         "exec \"$0\" \"$@\"",
                                   KX_CLI_PATH, "--com", "1-8", "--check"});
    ASSERT_TRUE(cli.WaitForEnd(60000)) << "the batch hangs:\n" << cli.Stdout();
    EXPECT_EQ(cli.Wait(), 3);
    const std::string out = cli.Stdout();
    const Lines rows = SplitLines(out);
    const auto table = std::find(rows.begin(), rows.end(), "Port   Outcome           Seconds");
    ASSERT_NE(table, rows.end()) << out;
    ASSERT_EQ(rows.end() - table, 9) << out;
    // What could not be opened is told in its box, on standard error.
    const std::string told = out + cli.Stderr();
    for (int com = 1; com <= 8; ++com) {
        const Lines own = PortLines(told, com);
        const bool known = std::any_of(own.begin(), own.end(), [](const std::string& line) {
            return line == "Ошибка ожидания команды! Программа не может выполнять операции, перезапустите её." ||
                   line.find("Too many open files") != std::string::npos ||
                   line == "Проверка завершена: модем отвечает.";
        });
        EXPECT_TRUE(known) << "COM" << com << " ends without its cause:\n" << told;
    }
}

}  // namespace
