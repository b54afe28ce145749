// COM numbering on a made-up machine: device nodes, what sysfs says of them, and links.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "serial/ComNames.h"
#include "serial/ComResolver_posix.h"

class ComNamesTest : public testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/kx-com-XXXXXX";
        ASSERT_TRUE(mkdtemp(folder));
        Root = folder;
        Folders = {Root + "/ports", Root + "/dev", Root + "/sys"};
        for (const auto& dir : {Folders.Ports, Folders.Dev, Folders.SysTty, Root + "/bus", Root + "/bus/platform", Root + "/bus/pnp"}) {
            mkdir(dir.c_str(), 0700);
        }
        // Real: ttyS1 (on pnp), ttyS10 (type 4); placeholders: ttyS0 (platform), ttyS2 (type 0).
        Device("ttyS0", "platform", nullptr);
        Device("ttyS1", "pnp", "4");
        Device("ttyS2", nullptr, "0");
        Device("ttyS10", nullptr, "4");
        for (const char* name : {"ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS", "ttySX1", "ttyUSB", "tty0", "console"}) {
            Device(name, nullptr, nullptr);
        }
    }

    void TearDown() override { std::system(("rm -rf '" + Root + "'").c_str()); }

    void Device(const std::string& name, const char* subsystem, const char* type) {
        std::ofstream(Folders.Dev + "/" + name).put('\n');
        const std::string sys = Folders.SysTty + "/" + name;
        mkdir(sys.c_str(), 0700);
        if (subsystem) {
            mkdir((sys + "/device").c_str(), 0700);
            ASSERT_EQ(symlink((Root + "/bus/" + subsystem).c_str(), (sys + "/device/subsystem").c_str()), 0);
        }
        if (type) std::ofstream(sys + "/type") << type << "\n";
    }

    void Link(const std::string& name, const std::string& target) {
        ASSERT_EQ(symlink(target.c_str(), (Folders.Ports + "/" + name).c_str()), 0);
    }

    std::string Com(int n) { return gResolveComPortIn(n, Folders); }
    std::string Dev(const char* name) { return Folders.Dev + "/" + name; }

    std::string Root;
    DeviceFolders Folders;
};

TEST_F(ComNamesTest, RealDevicesAreNumberedInOrder) {
    EXPECT_EQ(Com(1), Dev("ttyS1"));
    EXPECT_EQ(Com(2), Dev("ttyS10"));
    EXPECT_EQ(Com(3), Dev("ttyUSB0"));
    EXPECT_EQ(Com(4), Dev("ttyUSB1"));
    EXPECT_EQ(Com(5), Dev("ttyACM0"));
    EXPECT_EQ(Com(6), "");
    EXPECT_EQ(Com(0), "");
    EXPECT_EQ(Com(-1), "");
}

TEST_F(ComNamesTest, LinksComeFirstAndTakeTheirNumbersAndDevices) {
    Link("COM2", Dev("ttyUSB1"));
    Link("COM9", Root + "/nowhere");
    Link("COM05", Dev("ttyS1"));  // not a COM name: ignored
    std::ofstream(Folders.Ports + "/COM4").put('\n');  // not a link: ignored

    EXPECT_EQ(Com(2), Folders.Ports + "/COM2");
    EXPECT_EQ(Com(9), Folders.Ports + "/COM9") << "a dangling link fails at open, like a missing device";
    EXPECT_EQ(Com(1), Dev("ttyS1"));
    EXPECT_EQ(Com(3), Dev("ttyS10"));
    EXPECT_EQ(Com(4), Dev("ttyUSB0"));
    EXPECT_EQ(Com(5), Dev("ttyACM0"));
    EXPECT_EQ(Com(6), "");
}

TEST_F(ComNamesTest, PortsFolderFollowsXdgConfigHome) {
    setenv("XDG_CONFIG_HOME", "/somewhere", 1);
    EXPECT_EQ(gPortsFolder(), "/somewhere/Halvstad/ports");
    setenv("XDG_CONFIG_HOME", "", 1);
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(gPortsFolder(), "/home/op/.config/Halvstad/ports");
}
