// The Linux side of the tests under Wine: virtual modems on pseudo-terminals that the
// Windows programs reach as COM ports of the Wine prefix, and those programs run against
// them. WINEPREFIX names the prefix, KX_WINDOWS_BUILD the Windows build folder.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/CallMessages.h"
#include "sim/CallNetwork.h"
#include "sim/StateFile.h"
#include "sim/VirtualModem.h"
#include "tests/support/CallStages.h"
#include "tests/support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A virtual modem whose terminal is COMn of the Wine prefix (dosdevices/comn).
class WineModem {
public:
    explicit WineModem(VirtualModemOptions options) : Modem(WithOwnFolder(std::move(options), Folder)) {}
    ~WineModem() {
        // Wine goes before the terminal does: closing a terminal that wineserver still
        // watches makes it report at length.
        std::system("wineserver -k 2>/dev/null");
        std::error_code ec;
        fs::remove(Link, ec);
        Modem.Stop();
        fs::remove_all(Folder, ec);
    }

    // Empty on success, otherwise why the modem could not be reached.
    std::string Start() {
        if (std::string error = Modem.Start(); !error.empty()) return error;
        Link = fs::path(Environment("WINEPREFIX")) / "dosdevices" / ("com" + std::to_string(Modem.ComNumber()));
        std::error_code ec;
        fs::remove(Link, ec);
        fs::create_symlink(Modem.DevicePath(), Link, ec);
        return ec ? Link.string() + ": " + ec.message() : std::string();
    }
    VirtualModem& operator*() { return Modem; }

private:
    // The modem's own link goes to a folder of its own; Wine's is made by Start.
    static VirtualModemOptions WithOwnFolder(VirtualModemOptions options, std::string& folder) {
        std::string pattern = (fs::temp_directory_path() / "kx-wine-modem-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
        options.PortsFolder = folder;
        return options;
    }
    std::string Folder;
    VirtualModem Modem;
    fs::path Link;
};

// A private X display for the Windows programs that open windows: Xvfb on the first free
// display number, which it reports on its output. DISPLAY names it while it runs.
class XvfbDisplay {
public:
    XvfbDisplay() : Server("/usr/bin/Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}) {
        if (const char* before = std::getenv("DISPLAY")) Before = before;
        if (!Server.WaitForOutput("\n")) return;
        std::string number = Server.Stdout();
        number.pop_back();
        Name = ":" + number;
        setenv("DISPLAY", Name.c_str(), 1);
    }
    ~XvfbDisplay() {
        if (Before.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", Before.c_str(), 1);
        Server.Signal(SIGTERM);
        Server.Wait();
    }

    // ":N", or empty when the display did not start.
    std::string Name;

private:
    ChildProcess Server;
    std::string Before;
};

VirtualModemOptions Modem(int com, uint32_t speed) {
    VirtualModemOptions options;
    options.ComNumber = com;
    options.Speed = speed;
    options.Mismatch = MismatchMode::Silent;
    return options;
}

std::vector<std::string> WithProgram(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), Environment("KX_WINDOWS_BUILD") + "/" + program);
    return args;
}

// A program of the Windows build, run under Wine; input, when given, is its standard input.
class WineProcess : public ChildProcess {
public:
    WineProcess(const std::string& program, std::vector<std::string> args,
                const std::optional<std::string>& input = std::nullopt)
        : ChildProcess(KX_WINE_RUN, WithProgram(program, std::move(args)), input) {}

    // The exit status. A program still running after timeoutMs fails the test with what it
    // printed and is stopped, rather than holding the whole driver up until CTest kills it
    // and says nothing of which program hung.
    int Wait(int timeoutMs = 300000) {
        if (!WaitForEnd(timeoutMs)) {
            ADD_FAILURE() << "still running after " << timeoutMs / 1000 << " s, stopped; it printed:\n"
                          << Stdout() << Stderr();
            Signal(SIGKILL);
        }
        return ChildProcess::Wait();
    }
};

// A program of the Windows build on a terminal of the test's own, where Wine gives it a
// console. The operator types only once the program has asked: a line typed ahead, before
// the program's console exists, Wine's console never delivers.
class WineOnTerminal {
public:
    WineOnTerminal(const std::string& program, std::vector<std::string> args) {
        args = WithProgram(program, std::move(args));
        args.insert(args.begin(), KX_WINE_RUN);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        Pid = forkpty(&Master, nullptr, nullptr, nullptr);
        if (Pid == 0) {
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~WineOnTerminal() {
        if (Pid > 0 && !Exited) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
        if (Master >= 0) close(Master);
    }

    // Reads what the terminal shows until text is among it; false at its end, or when
    // nothing comes for timeoutMs (a program that hangs).
    bool WaitFor(const std::string& text, int timeoutMs = 30000) {
        while (Shown.find(text) == std::string::npos)
            if (!ReadSome(timeoutMs)) return false;
        return true;
    }
    // Waits until the console reads the terminal itself, its echo off (Wine's console
    // takes the terminal over only when the program first reads); false if it never does.
    bool WaitUntilConsoleReads(int timeoutMs = 30000) {
        for (int waited = 0; waited < timeoutMs; waited += PollMs) {
            termios mode{};
            if (tcgetattr(Master, &mode) != 0) return false;
            if (!(mode.c_lflag & ECHO)) return true;
            poll(nullptr, 0, PollMs);
        }
        return false;
    }
    void Type(const std::string& text) { ASSERT_EQ(write(Master, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    // Reads the rest of what the terminal shows; the program's exit status, -1 if it hangs.
    int Wait(int timeoutMs = 60000) {
        while (ReadSome(timeoutMs)) {
        }
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) != Pid) return -1;
        Exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Shown;

private:
    bool ReadSome(int timeoutMs) {
        pollfd p{Master, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return false;
        char buffer[4096];
        const ssize_t n = read(Master, buffer, sizeof buffer);
        if (n <= 0) return false;
        Shown.append(buffer, static_cast<size_t>(n));
        return true;
    }

    static constexpr int PollMs = 20;
    pid_t Pid = -1;
    int Master = -1;
    bool Exited = false;
};

const std::string Cli = "cli/kestrelix-cli.exe";

// A Linux path as a Windows program under Wine names it.
std::string WinePath(const std::string& path) {
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

// Two virtual modems on one network, as the workshop has them: the computer's and the
// device's, at ten times the network's pace, their state in a file of their own.
class CallPair {
public:
    CallPair(int computer, int device, const std::function<void(VirtualModemOptions&)>& deviceOptions = {})
        : Folder(MakeFolder()), State(std::make_shared<StateFile>(Folder + "/state.json")) {
        for (const int com : {computer, device}) {
            auto options = Modem(com, 9600);
            options.Calls = Network;
            options.State = State;
            options.TimeScale = 10;
            if (com == device && deviceOptions) deviceOptions(options);
            Modems.push_back(std::make_unique<WineModem>(options));
        }
    }
    ~CallPair() {
        Modems.clear();
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }

    // Empty on success, otherwise why the modems could not be reached.
    std::string Start() {
        if (std::string error = State->Open(); !error.empty()) return error;
        for (auto& modem : Modems)
            if (std::string error = modem->Start(); !error.empty()) return error;
        return {};
    }
    std::string Stages() const { return gCallStages(StatePath()); }
    std::string StatePath() const { return Folder + "/state.json"; }
    std::string DeviceNumber() { return (**Modems.back()).Number(); }

    const std::string Folder;

private:
    static std::string MakeFolder() {
        std::string pattern = (fs::temp_directory_path() / "kx-wine-call-XXXXXX").string();
        return mkdtemp(pattern.data()) ? pattern : std::string();
    }
    const std::shared_ptr<CallNetwork> Network = std::make_shared<CallNetwork>();
    const std::shared_ptr<StateFile> State;
    std::vector<std::unique_ptr<WineModem>> Modems;
};

class WineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Environment("WINEPREFIX").empty());
        ASSERT_FALSE(Environment("KX_WINDOWS_BUILD").empty());
    }
};

TEST_F(WineTest, ConsoleConfiguresTheModemAndPrintsTheLogAsUtf8) {
    WineModem modem(Modem(7, 9600));
    ASSERT_EQ(modem.Start(), "");
    WineProcess cli(Cli, {"--com", "7", "--model", "1", "--speed", "9600",
                    "--place", "device"});
    EXPECT_EQ(cli.Wait(), 0) << cli.Stderr();
    const std::string out = cli.Stdout();
    EXPECT_EQ(out.find('\r'), std::string::npos) << "rows go to a pipe byte for byte";
    const Lines rows = SplitLines(out);
    ASSERT_EQ(rows.size(), 24u) << out;
    EXPECT_EQ(rows[0], "Открытие СОМ7");
    EXPECT_EQ(rows[1], "Поиск модема на скорости 9600 бит/сек.");
    EXPECT_EQ(rows[2], "Выполнение команды AT+IPR=9600");
    EXPECT_EQ(rows[22], "Получен ответ \"0\"");
    EXPECT_EQ(rows[23], "Операция завершена успешно!");
    EXPECT_EQ(cli.Stderr(), "");
    EXPECT_EQ((*modem).StoredProfile().Speed, 9600u);
}

TEST_F(WineTest, ConsoleWithoutSimCardEndsWithStatusOne) {
    auto options = Modem(8, 115200);
    options.NoSim = true;
    WineModem modem(options);
    ASSERT_EQ(modem.Start(), "");
    WineProcess cli(Cli, {"--com", "8", "--model", "Novacom MC52i", "--speed",
                    "115200"});
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(SplitLines(cli.Stderr()),
              (Lines{"При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"ERROR\".",
                     "Проверьте, что SIM карта вставлена в модем, и модем зарегистрирован в сети оператора!",
                     "Операция будет прекращена!"}));
    const Lines rows = SplitLines(cli.Stdout());
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back(), "Операция завершена НЕ успешно!");
}

// Wine turns SIGINT into the console's Ctrl+C event.
TEST_F(WineTest, CtrlCStopsTheConsoleJob) {
    auto options = Modem(11, 9600);
    options.Silent = true;
    WineModem modem(options);
    ASSERT_EQ(modem.Start(), "");
    WineProcess cli(Cli, {"--com", "11"});
    ASSERT_TRUE(cli.WaitForOutput("Поиск модема на скорости 9600 бит/сек."));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    const Lines rows = SplitLines(cli.Stdout());
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], "Открытие СОМ11");
    EXPECT_EQ(rows.back(), "Операция завершена НЕ успешно!");
    EXPECT_EQ(cli.Stderr(), "");
}

// The PIN from a pipe, as a script gives it, and typed at the console, where it is not
// shown: either way the card's request goes off and the PIN is never written out.
TEST_F(WineTest, ConsoleTurnsOffThePinRequestBothWaysOfInput) {
    const std::string turnedOff = "Запрос PIN-кода отключён: модем включится без PIN-кода.";
    // Its last space the console draws as a move of the cursor.
    const std::string prompt = "PIN-код SIM-карты:";
    for (const bool typed : {false, true}) {
        SCOPED_TRACE(typed ? "typed at the console" : "from a pipe");
        auto options = Modem(typed ? 13 : 12, 9600);
        options.Sim = SimState::PinNeeded;
        options.Pin = "4711";
        WineModem modem(options);
        ASSERT_EQ(modem.Start(), "");
        const std::vector<std::string> args = {"--com", typed ? "13" : "12", "--sim-pin"};
        int status = -1;
        std::string shown;
        if (typed) {
            WineOnTerminal cli(Cli, args);
            ASSERT_TRUE(cli.WaitFor(prompt)) << cli.Shown;
            ASSERT_TRUE(cli.WaitUntilConsoleReads()) << cli.Shown;
            cli.Type("4711\r");
            status = cli.Wait();
            shown = cli.Shown;
        } else {
            WineProcess cli(Cli, args, "4711\n");
            status = cli.Wait();
            shown = cli.Stdout() + cli.Stderr();
        }
        EXPECT_EQ(status, 0) << shown;
        EXPECT_NE(shown.find(prompt), std::string::npos) << shown;
        EXPECT_NE(shown.find(turnedOff), std::string::npos) << shown;
        EXPECT_NE(shown.find("Операция завершена успешно!"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("4711"), std::string::npos) << "the PIN is shown:\n" << shown;
        EXPECT_FALSE((*modem).Card().Lock);
    }
}

// Whether rows holds each of expected, in this order; a row is matched by its beginning,
// as a cause may follow the words.
void ExpectInOrder(const std::string& out, const Lines& expected) {
    size_t at = 0;
    for (const std::string& row : expected) {
        const size_t found = out.find(row, at);
        EXPECT_NE(found, std::string::npos) << row << "\n" << out;
        if (found != std::string::npos) at = found + row.size();
    }
}

// kestrelix-cli.exe --call against two virtual modems, each configured by the Windows
// console itself first: the exit status and rows the operator sees, the report, and both
// modems left on-hook, by the virtual modem's state file.
TEST_F(WineTest, ConsoleTestCallTable) {
    const int computer = 16, device = 17;
    const std::string ringed = "Модем прибора: входящий звонок (RING), 1-й";
    const struct {
        const char* Name;
        bool DeviceConfigured;
        std::function<void(VirtualModemOptions&)> Device;
        Lines Extra;         // the call's options
        std::string StopAt;  // Ctrl+C once this row shows; empty: none
        int Exit;
        Lines Rows;
        std::string Outcome;  // the report's word; empty: no report asked
    } cases[] = {
        {"Passed", true, {}, {}, "", 0,
         {"Выполнение команды AT+CFUN=1,1", "Получен ответ \"^SYSSTART\"", "Набор номера +0017", ringed,
          "Модем прибора сам ответил на звонок: \"1\"", "Соединение установлено: \"CONNECT 9600\"",
          "Данные переданы без искажений: 1024 байт", "Выполнение команды ATH", CallMsg::OtherSideEnded,
          CallMsg::Passed},
         "passed"},
        {"Busy", true, [](VirtualModemOptions& o) { o.AlwaysBusy = true; }, {}, "", 1,
         {"Номер занят!", CallMsg::Failed}, "busy"},
        {"ProfileNeverStored", false, {}, {}, "", 1,
         {ringed, "но сам не ответил! Проверьте, что он настроен для подключения к прибору (ATS0=2)", CallMsg::Failed},
         "not answered"},
        {"CtrlCDuringTheDataCheck", true, [](VirtualModemOptions& o) { o.Bearer = 2400; }, {"--no-restart"},
         "Проверка данных", 1,
         {"Выполнение команды +++", "Выполнение команды ATH", CallMsg::OtherSideEnded, CallMsg::Stopped}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        CallPair modems(computer, device, c.Device);
        ASSERT_EQ(modems.Start(), "");
        for (const auto& [com, place] : {std::pair{computer, "computer"}, {device, "device"}}) {
            if (com == device && !c.DeviceConfigured) continue;
            WineProcess job(Cli, {"--com", std::to_string(com), "--place", place});
            ASSERT_EQ(job.Wait(), 0) << job.Stdout() << job.Stderr();
        }
        const std::string report = modems.Folder + "/call.csv";
        Lines args = {"--call", "+0017", "--com", std::to_string(computer), "--answer-com", std::to_string(device)};
        args.insert(args.end(), c.Extra.begin(), c.Extra.end());
        if (!c.Outcome.empty()) args.insert(args.end(), {"--report", WinePath(report)});
        WineProcess call(Cli, args);
        if (!c.StopAt.empty()) {
            ASSERT_TRUE(call.WaitForOutput(c.StopAt)) << call.Stdout();
            call.Signal(SIGINT);
        }
        EXPECT_EQ(call.Wait(), c.Exit) << call.Stdout() << call.Stderr();
        ExpectInOrder(call.Stdout(), c.Rows);
        EXPECT_EQ(call.Stdout().find('\r'), std::string::npos) << "rows go to a pipe byte for byte";
        EXPECT_TRUE(c.Exit == 0 || call.Stdout().find(CallMsg::Passed) == std::string::npos);
        EXPECT_EQ(modems.Stages(), "COM16:on-hook COM17:on-hook ");
        if (c.Outcome.empty()) continue;
        // A header and one row: the two ports, the number as text, the outcome.
        std::ifstream in(report);
        Lines lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        ASSERT_EQ(lines.size(), 2u);
        Lines fields;
        std::istringstream row(lines[1]);
        for (std::string field; fields.size() < 4 && std::getline(row, field, ';');) fields.push_back(field);
        EXPECT_EQ(fields, (Lines{"COM16", "COM17", "'+0017", c.Outcome}));
    }
}

TEST_F(WineTest, Win32BackEndOnSilentAndTalkingModems) {
    auto silentOptions = Modem(9, 9600);
    silentOptions.Silent = true;
    WineModem silent(silentOptions);
    WineModem talking(Modem(10, 9600));
    ASSERT_EQ(silent.Start(), "");
    ASSERT_EQ(talking.Start(), "");
    setenv("KX_SILENT_COM", "9", 1);
    setenv("KX_TALKING_COM", "10", 1);
    WineProcess tests("tests/windows/kx_win_port_tests.exe", {});
    EXPECT_EQ(tests.Wait(), 0) << tests.Stdout() << tests.Stderr();
}

// What the native window's tests need: a display, a modem on COM12, and Wine closing its
// windows at once (without a window manager it takes some 2 s). The display goes last:
// Wine ends before it.
class NativeWindowWorld {
public:
    // bearer: the data rate of the test call's modems, low enough for a stop to come
    // during the data check.
    explicit NativeWindowWorld(uint32_t bearer)
        : Calls(14, 15, [bearer](VirtualModemOptions& device) { device.Bearer = bearer; }) {}
    ~NativeWindowWorld() {
        for (const char* name : {"KX_MODEM_COM", "KX_CALL_COMS", "KX_CALL_NUMBER", "KX_CALL_STATE"}) unsetenv(name);
    }

    // Empty when ready, otherwise what is missing.
    std::string Start() {
        if (Display.Name.empty()) return "Xvfb did not start";
        if (std::string error = Line.Start(); !error.empty()) return error;
        if (std::string error = Calls.Start(); !error.empty()) return error;
        ChildProcess managed(KX_WINE_RUN,
                             {"reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"});
        if (managed.Wait() != 0) return managed.Stderr();
        setenv("KX_MODEM_COM", "12", 1);
        setenv("KX_CALL_COMS", "14,15", 1);
        setenv("KX_CALL_NUMBER", Calls.DeviceNumber().c_str(), 1);
        setenv("KX_CALL_STATE", WinePath(Calls.StatePath()).c_str(), 1);
        return {};
    }

private:
    XvfbDisplay Display;
    WineModem Line{Modem(12, 115200)};
    CallPair Calls;
};

// The native window, created in-process by its test program and worked with window
// messages, against the modem.
TEST_F(WineTest, NativeWindowAgainstTheModem) {
    NativeWindowWorld world(2400);
    ASSERT_EQ(world.Start(), "");
    WineProcess tests("tests/gui-win32/kx_win32_window_tests.exe", {});
    EXPECT_EQ(tests.Wait(), 0) << tests.Stdout() << tests.Stderr();
}

// The window's layout at each DPI an operator's display may have, set as Windows keeps
// it for the user; the prefix is left at 96 as it was.
TEST_F(WineTest, NativeWindowFitsAtEveryDpi) {
    NativeWindowWorld world(9600);
    ASSERT_EQ(world.Start(), "");
    const auto setDpi = [](int dpi) {
        ChildProcess set(KX_WINE_RUN, {"reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                                       "REG_DWORD", "/d", std::to_string(dpi), "/f"});
        return set.Wait() == 0;
    };
    setenv("GTEST_FILTER", "LayoutTest.*", 1);
    for (const int dpi : {96, 120, 144, 192}) {
        ASSERT_TRUE(setDpi(dpi));
        setenv("KX_EXPECT_DPI", std::to_string(dpi).c_str(), 1);
        WineProcess tests("tests/gui-win32/kx_win32_window_tests.exe", {});
        EXPECT_EQ(tests.Wait(), 0) << "at " << dpi << " DPI:\n" << tests.Stdout() << tests.Stderr();
    }
    unsetenv("GTEST_FILTER");
    unsetenv("KX_EXPECT_DPI");
    EXPECT_TRUE(setDpi(96));
}

}  // namespace
