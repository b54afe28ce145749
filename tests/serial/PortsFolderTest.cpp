// What stands behind a COM number and why its port does not open, against real objects:
// links in a temporary ports folder, a pseudo-terminal with no rights, held by another
// process, or locked by one. The machine may have no USB serial devices at all.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "os/Event.h"
#include "serial/PortIdentity.h"
#include "serial/PortOpen_posix.h"
#include "serial/SerialPort.h"
#include "tests/serial/PtyPeer.h"
#include "tests/support/RecordingToolkit.h"

namespace {

constexpr int Com = 5;

// `cat` reading the pseudo-terminal in a process of its own, as a terminal program
// would hold a port; with lock, it takes flock first.
class Holder {
public:
    Holder(const std::string& device, bool lock) {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) return;
        Pid = fork();
        if (Pid == 0) {
            const int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
            if (fd < 0 || (lock && flock(fd, LOCK_EX) != 0) || dup2(fd, 0) < 0) _exit(1);
            execlp("cat", "cat", static_cast<char*>(nullptr));
            _exit(1);
        }
        // The pipe's write end goes with the exec, so cat holds the device once it closes.
        close(ready[1]);
        char byte;
        [[maybe_unused]] const ssize_t n = read(ready[0], &byte, 1);
        close(ready[0]);
    }
    ~Holder() {
        if (Pid <= 0) return;
        kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    pid_t Pid = -1;
};

// ptsname_r: the openers below ask from many threads at once.
std::string Device(const PtyPeer& peer) {
    char name[64] = {};
    return ptsname_r(peer.Master, name, sizeof name) == 0 ? name : "";
}

OpenFailure TryOpen(const std::string& path) {
    OpenFailure failure;
    const int fd = gOpenTerminalAlone(path, failure);
    if (fd >= 0) close(fd);
    return failure;
}

}  // namespace

TEST(PortsFolderTest, LinksThatLeadToNoTerminal) {
    PtyPeer peer(Com);
    const std::string home = peer.Home.Path();
    std::ofstream(home + "/plain") << "keep";
    std::filesystem::create_directory(home + "/folder");
    struct Case {
        int Com;
        std::string Target;
        OpenFault Fault;
        std::string Device;
    } cases[] = {
        {6, home + "/missing", OpenFault::NoDevice, home + "/missing"},
        {7, "../../plain", OpenFault::NotTerminal, home + "/plain"},
        {8, home + "/folder", OpenFault::NotTerminal, home + "/folder"},
    };
    auto platform = gMakeSystemSerialPlatform();
    for (const Case& c : cases) {
        peer.Link(c.Com, c.Target);
        EXPECT_EQ(platform->OpenDevice("\\\\.\\COM" + std::to_string(c.Com)), InvalidPortHandle) << c.Target;
        const OpenFailure failure = platform->LastOpenFailure();
        EXPECT_EQ(failure.Fault, c.Fault) << c.Target;
        EXPECT_EQ(failure.Device, c.Device);
    }
    EXPECT_EQ(TryOpen("").Fault, OpenFault::NoDevice);
}

TEST(PortsFolderTest, HolderThatDidNotLockAndOneThatDidAreNamed) {
    PtyPeer peer(Com);
    for (const bool lock : {false, true}) {
        Holder cat(Device(peer), lock);
        ASSERT_GT(cat.Pid, 0);
        auto platform = gMakeSystemSerialPlatform();
        EXPECT_EQ(platform->OpenDevice("\\\\.\\COM5"), InvalidPortHandle) << lock;
        const OpenFailure failure = platform->LastOpenFailure();
        EXPECT_EQ(failure.Fault, OpenFault::Busy);
        EXPECT_EQ(failure.Device, Device(peer));
        ASSERT_EQ(failure.Holders.size(), 1u) << lock;
        EXPECT_EQ(failure.Holders[0].Pid, cat.Pid);
        EXPECT_EQ(failure.Holders[0].Program, "cat");
    }
    // Gone with the holder; the modem's end (the master, here in this process) never counts.
    auto platform = gMakeSystemSerialPlatform();
    const PortHandle h = platform->OpenDevice("\\\\.\\COM5");
    EXPECT_NE(h, InvalidPortHandle);
    platform->CloseDevice(h);
}

TEST(PortsFolderTest, NoRightsOnTheDevice) {
    PtyPeer peer(Com);
    const std::string device = Device(peer);
    struct stat st {};
    ASSERT_EQ(stat(device.c_str(), &st), 0);
    const group* owners = getgrgid(st.st_gid);
    ASSERT_TRUE(owners);
    const std::string ownersName = owners->gr_name;
    for (const auto& [mode, group] : {std::pair<mode_t, std::string>{0000, ""}, {0060, ownersName}}) {
        ASSERT_EQ(chmod(device.c_str(), mode), 0);
        if (geteuid() != 0) {
            const OpenFailure failure = TryOpen(device);
            EXPECT_EQ(failure.Fault, OpenFault::NoPermission);
            EXPECT_EQ(failure.Group, group);
            continue;
        }
        // Root may open anything: the open is tried by user nobody in a child, as setpriv would.
        int result[2];
        ASSERT_EQ(pipe(result), 0);
        const pid_t child = fork();
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
            const OpenFailure failure = TryOpen(device);
            const std::string answer = std::to_string(static_cast<int>(failure.Fault)) + " " + failure.Group;
            [[maybe_unused]] const ssize_t n = write(result[1], answer.data(), answer.size());
            _exit(0);
        }
        close(result[1]);
        char answer[256] = {};
        [[maybe_unused]] const ssize_t n = read(result[0], answer, sizeof answer - 1);
        close(result[0]);
        waitpid(child, nullptr, 0);
        EXPECT_EQ(std::string(answer), std::to_string(static_cast<int>(OpenFault::NoPermission)) + " " + group)
            << std::oct << mode;
    }
}

// The machine's own serial services, with the operator pressing Stop as the first
// attempt to open fails.
class StopAtFirstFailedOpen : public SerialPlatform {
public:
    explicit StopAtFirstFailedOpen(Event& stop) : Stop(stop) {}
    int Attempts = 0;

    PortHandle OpenDevice(const std::string& name) override {
        ++Attempts;
        const PortHandle h = System->OpenDevice(name);
        if (h == InvalidPortHandle) Stop.Signal();
        return h;
    }
    OpenFailure LastOpenFailure() const override { return System->LastOpenFailure(); }
    SysResult GetLineSettings(PortHandle h, LineSettings& s) override { return System->GetLineSettings(h, s); }
    SysResult SetLineSettings(PortHandle h, const LineSettings& s) override { return System->SetLineSettings(h, s); }
    SysResult GetTimeouts(PortHandle h, CommTimeouts& t) override { return System->GetTimeouts(h, t); }
    SysResult SetTimeouts(PortHandle h, const CommTimeouts& t) override { return System->SetTimeouts(h, t); }
    SysResult SetEventMask(PortHandle h, uint32_t mask) override { return System->SetEventMask(h, mask); }
    SysResult Purge(PortHandle h, uint32_t flags) override { return System->Purge(h, flags); }
    SysResult EscapeFunction(PortHandle h, uint32_t f) override { return System->EscapeFunction(h, f); }
    void ClearLineErrors(PortHandle h) override { System->ClearLineErrors(h); }
    SysResult Read(PortHandle h, uint8_t* buffer, size_t size, size_t& got, WakeEvents wake) override {
        return System->Read(h, buffer, size, got, wake);
    }
    SysResult Write(PortHandle h, const uint8_t* data, size_t size, WakeEvents wake) override {
        return System->Write(h, data, size, wake);
    }
    void CloseDevice(PortHandle h) override { System->CloseDevice(h); }
    void Pause(uint32_t ms, WakeEvents wake) override { System->Pause(ms, wake); }
    uint32_t TickMs() override { return System->TickMs(); }

private:
    Event& Stop;
    std::unique_ptr<SerialPlatform> System = gMakeSystemSerialPlatform();
};

TEST(PortsFolderTest, StopEndsTheOpenAttemptsAtOnceWithoutABox) {
    PtyPeer peer(Com);
    Holder cat(Device(peer), false);
    RecordingToolkit window;
    Event stop;
    auto platform = std::make_unique<StopAtFirstFailedOpen>(stop);
    StopAtFirstFailedOpen& counted = *platform;
    SerialPort port(std::move(platform));
    port.OwnerWindow = &window;
    port.StopEventRef = &stop;
    EXPECT_EQ(port.Open(Com), 1);
    // None of the four attempts left is made.
    EXPECT_EQ(counted.Attempts, 1);
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_TRUE(stop.IsSignalled()) << "the stop is left for the engine to see";
}

TEST(PortsFolderTest, IdentitiesOfAllNumbersOnThisMachine) {
    PtyPeer peer(3);
    const std::string ports = peer.Home.PortsFolder();
    peer.Link(4, peer.Home.Path() + "/gone");
    std::ofstream(peer.Home.Path() + "/plain") << "x";
    peer.Link(5, peer.Home.Path() + "/plain");

    const std::vector<PortIdentity> all = gIdentifyComPorts(32);
    ASSERT_EQ(all.size(), 32u);
    for (int n = 1; n <= 32; ++n) EXPECT_EQ(all[n - 1].Number, n);
    const PortIdentity& pty = all[2];
    EXPECT_EQ(pty.Presence, PortPresence::Device);
    EXPECT_EQ(pty.Route, ports + "/COM3");
    EXPECT_EQ(pty.Device, ptsname(peer.Master));
    EXPECT_EQ(all[3].Presence, PortPresence::Missing);
    EXPECT_EQ(all[3].Device, peer.Home.Path() + "/gone");
    EXPECT_EQ(all[4].Presence, PortPresence::NotDevice);
    // Whatever real devices the machine has, every entry that leads somewhere names it.
    for (const PortIdentity& p : all) EXPECT_EQ(p.Presence == PortPresence::Nothing, p.Device.empty()) << p.Number;
}

// Ports opened at once share their looks at /proc: the held one is still named, the rest
// open, and a holder that comes after the look is refused.
TEST(PortsFolderTest, HolderRuleHoldsWhenManyPortsOpenAtOnce) {
    std::vector<std::unique_ptr<PtyPeer>> peers;
    for (int com = 1; com <= 8; ++com) peers.push_back(std::make_unique<PtyPeer>(com));
    Holder cat(Device(*peers[3]), false);
    ASSERT_GT(cat.Pid, 0);
    OpenFailure failures[8];
    int fds[8];
    std::vector<std::thread> openers;
    for (int i = 0; i < 8; ++i)
        openers.emplace_back([&, i] { fds[i] = gOpenTerminalAlone(Device(*peers[i]), failures[i]); });
    for (auto& t : openers) t.join();
    for (int i = 0; i < 8; ++i) {
        if (i == 3) {
            EXPECT_EQ(fds[i], -1);
            EXPECT_EQ(failures[i].Fault, OpenFault::Busy);
            ASSERT_EQ(failures[i].Holders.size(), 1u);
            EXPECT_EQ(failures[i].Holders[0].Pid, cat.Pid);
        } else {
            EXPECT_GE(fds[i], 0) << i;
        }
    }
    // The late opener takes no lock; even as root it runs as another user here, as an
    // operator's terminal program would.
    const std::string device = Device(*peers[0]);
    chmod(device.c_str(), 0666);
    const auto opensAsOther = [&device] {
        const pid_t pid = fork();
        if (pid == 0) {
            if (getuid() == 0 && setuid(65534) != 0) _exit(2);
            _exit(open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0 ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(opensAsOther(), 1);
    // Let go as the port's Close does.
    for (int i = 0; i < 8; ++i) {
        if (fds[i] < 0) continue;
        ioctl(fds[i], TIOCNXCL);
        close(fds[i]);
    }
    EXPECT_EQ(opensAsOther(), 0);
}
