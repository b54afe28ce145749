// kestrelix-cli.exe with Cyrillic arguments, its output once redirected to pipes and once
// to a console. Runs on a console of its own (a terminal under Wine): each console case
// gives the program fresh screen buffers and reads back what they show.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "os/Utf16_win32.h"

namespace {

using Lines = std::vector<std::string>;
enum class Output { Redirected, Console };

struct CliRun {
    DWORD Status = 0;
    Lines Out;
    Lines Err;
};

std::wstring Here() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

Lines SplitLines(const std::string& text) {
    Lines lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// The rows a screen buffer shows down to its cursor, without the padding.
Lines ScreenLines(HANDLE screen) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    Lines lines;
    for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y) {
        std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), info.dwSize.X, COORD{0, y}, &read);
        row.resize(row.find_last_not_of(L' ') + 1);
        lines.push_back(gFromUtf16(row.data(), row.size()));
    }
    return lines;
}

HANDLE NewScreen(SECURITY_ATTRIBUTES* inherited) {
    const HANDLE screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    inherited, CONSOLE_TEXTMODE_BUFFER, nullptr);
    SetConsoleScreenBufferSize(screen, COORD{160, 400});
    return screen;
}

class CliConsoleTest : public testing::TestWithParam<Output> {
protected:
    void SetUp() override {
        DWORD mode = 0;
        ASSERT_TRUE(GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
            << "this test needs a console: run it on a terminal";
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        Folder = std::wstring(temp) + L"kx-cli-console-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(Folder.c_str(), nullptr);
    }
    void TearDown() override {
        RemoveFiles();
        RemoveDirectoryW(Folder.c_str());
    }

    void RemoveFiles() {
        for (const std::string& name : FilesMade()) DeleteFileW((Folder + L"\\" + gToUtf16(name)).c_str());
    }

    // kestrelix-cli.exe in Folder, with the arguments as given in UTF-16.
    CliRun Cli(const std::vector<std::wstring>& args) {
        std::wstring line = Quoted(Here() + L"\\..\\..\\cli\\kestrelix-cli.exe");
        for (const std::wstring& arg : args) line += L" " + Quoted(arg);
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE outRead = nullptr, errRead = nullptr, out = nullptr, err = nullptr;
        if (GetParam() == Output::Redirected) {
            CreatePipe(&outRead, &out, &inherited, 0);
            CreatePipe(&errRead, &err, &inherited, 0);
        } else {
            out = NewScreen(&inherited);
            err = NewScreen(&inherited);
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        CliRun run;
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, Folder.c_str(), &startup,
                            &process)) {
            ADD_FAILURE() << "CreateProcessW failed with " << GetLastError();
            return run;
        }
        CloseHandle(process.hThread);
        if (GetParam() == Output::Redirected) {
            CloseHandle(out);
            CloseHandle(err);
            std::string errBytes;
            std::thread errReader([&] { errBytes = ReadAll(errRead); });
            const std::string outBytes = ReadAll(outRead);
            errReader.join();
            run.Out = SplitLines(outBytes);
            run.Err = SplitLines(errBytes);
            CloseHandle(outRead);
            CloseHandle(errRead);
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.Status);
        CloseHandle(process.hProcess);
        if (GetParam() == Output::Console) {
            run.Out = ScreenLines(out);
            run.Err = ScreenLines(err);
            CloseHandle(out);
            CloseHandle(err);
        }
        return run;
    }

    // The names of the files in Folder, in UTF-8.
    Lines FilesMade() const {
        Lines names;
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((Folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(gFromUtf16(name.data(), name.size()));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    std::wstring Folder;
};

// The last line of the usage that follows a bad argument.
const std::string UsageEnd = "With --sim-pin: 0 the request is off on every port, 1 a wrong PIN, a PUK wanted or no modem.";

// Wine offers no device behind COM32, so these runs end before any modem is needed.
struct Case {
    const char* Name;
    std::vector<std::wstring> Args;
    DWORD Status;
    std::string FirstOut;  // "": nothing on stdout
    std::string LastErr;
    Lines Files;
};

const Case Cases[] = {
    {"a Cyrillic report name is the file's name", {L"--check", L"--com", L"32", L"--report", L"Отчёт.csv"}, 3,
     "Открытие СОМ32", "COM32: за этим номером нет устройства.", {"Отчёт.csv"}},
    {"a name beyond code page 1251 too", {L"--check", L"--com", L"32", L"--report", L"Отчёт Ω.csv"}, 3,
     "Открытие СОМ32", "COM32: за этим номером нет устройства.", {"Отчёт Ω.csv"}},
    {"the report failure names the file", {L"--check", L"--com", L"32", L"--report", L"Нет папки\\Отчёт.csv"}, 4,
     "Открытие СОМ32", "kestrelix-cli: cannot write the report Нет папки\\Отчёт.csv: Путь не найден.", {}},
    {"a bad Cyrillic value is quoted back", {L"--model", L"Модель"}, 2, "",
     UsageEnd, {}},
    {"a lone surrogate is a bad argument", {L"--report", std::wstring(L"Отчёт") + wchar_t(0xD800) + L".csv"}, 2, "",
     UsageEnd, {}},
};

TEST_P(CliConsoleTest, CyrillicArgumentsAndWhatTheOperatorSees) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        const CliRun run = Cli(c.Args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Out.empty() ? std::string() : run.Out.front(), c.FirstOut);
        ASSERT_FALSE(run.Err.empty());
        EXPECT_EQ(run.Err.back(), c.LastErr);
        EXPECT_EQ(FilesMade(), c.Files);
        RemoveFiles();
    }
}

TEST_P(CliConsoleTest, BadArgumentsNameTheirFault) {
    const CliRun bad = Cli({L"--model", L"Модель"});
    ASSERT_FALSE(bad.Err.empty());
    EXPECT_EQ(bad.Err.front(), "kestrelix-cli: bad value for --model: Модель");
    const CliRun lone = Cli({L"--report", std::wstring(L"Отчёт") + wchar_t(0xDC00) + L".csv"});
    ASSERT_FALSE(lone.Err.empty());
    EXPECT_EQ(lone.Err.front(),
              "kestrelix-cli: argument 2 is not valid Unicode: it holds half of a UTF-16 surrogate pair");
}

TEST_P(CliConsoleTest, ListShowsTheComNumbersAndTheirDevices) {
    const CliRun run = Cli({L"--list"});
    EXPECT_EQ(run.Status, 0u);
    ASSERT_GE(run.Out.size(), 6u);
    EXPECT_EQ(run.Out.front(), "Models (--model):");
    // Wine's device list has no COM port: the list says so in one line.
    EXPECT_EQ(run.Out[run.Out.size() - 2], "COM ports (--com):");
    EXPECT_EQ(run.Out.back(), "  нет устройства");
    EXPECT_EQ(run.Err, Lines{});
}

INSTANTIATE_TEST_SUITE_P(BothWays, CliConsoleTest, testing::Values(Output::Redirected, Output::Console),
                         [](const auto& info) { return info.param == Output::Console ? "Console" : "Redirected"; });

}  // namespace
