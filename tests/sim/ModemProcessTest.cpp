// kestrelix-modem as a program: however it ends, the next modem on its number starts.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempConfigHome.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Started = "COM7 /dev/pts/";

struct Modem : ChildProcess {
    Modem() : ChildProcess(KX_MODEM_PATH, {"--com", "7"}) {}
};

TEST(ModemProcess, EachEndingSignalRemovesTheLink) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const TempConfigHome home;
        const fs::path link = fs::path(home.PortsFolder()) / "COM7";
        Modem modem;
        ASSERT_TRUE(modem.WaitForOutput(Started)) << modem.Stderr();
        EXPECT_TRUE(fs::is_symlink(link));
        modem.Signal(signal);
        EXPECT_EQ(modem.Wait(), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

// A program that cannot be started fails the test and never reads as an exit status of 0.
TEST(ModemProcess, ProgramThatCannotStartFailsTheTest) {
    for (const char* program : {"/nonexistent/kestrelix-modem", "/dev/null", "/"}) {
        SCOPED_TRACE(program);
        auto start = [program] {
            ChildProcess child(program, {"--com", "7"});
            EXPECT_FALSE(child.Started());
            EXPECT_EQ(child.Wait(), -1);
            EXPECT_FALSE(child.WaitForOutput("COM7", 100));
        };
        EXPECT_NONFATAL_FAILURE(start(), "could not start");
    }
}

// Killed outright, a modem leaves its link behind, often leading to the very terminal
// that the next modem gets.
TEST(ModemProcess, AKilledModemsLinkIsTakenOverByTheNext) {
    const TempConfigHome home;
    const fs::path link = fs::path(home.PortsFolder()) / "COM7";
    {
        Modem killed;
        ASSERT_TRUE(killed.WaitForOutput(Started)) << killed.Stderr();
        killed.Signal(SIGKILL);
        killed.Wait();
    }
    ASSERT_TRUE(fs::is_symlink(link));
    Modem next;
    ASSERT_TRUE(next.WaitForOutput(Started)) << next.Stderr();
    EXPECT_EQ(next.Stdout(), "COM7 " + fs::read_symlink(link).string() + "\n");
    next.Signal(SIGTERM);
    EXPECT_EQ(next.Wait(), 0);
}

// Tests read the state file; one that cannot be written stops the modems before any starts.
TEST(ModemProcess, AStateFileThatCannotBeWrittenStopsItAtOnce) {
    const TempConfigHome home;
    ChildProcess modem(KX_MODEM_PATH, {"--state", "/nonexistent/state.json", "--com", "7"});
    EXPECT_EQ(modem.Wait(), 1);
    EXPECT_EQ(modem.Stderr(), "kestrelix-modem: cannot write the state file /nonexistent/state.json\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(fs::path(home.PortsFolder()) / "COM7")));
}

}  // namespace
