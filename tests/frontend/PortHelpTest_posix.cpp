// The help names the ports folder where the port names are read from, as a user types it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frontend/HelpText.h"

namespace {

struct Case {
    const char* Why;
    const char* Home;
    const char* ConfigHome;  // nullptr: unset
    const char* Named;
};

const Case Cases[] = {
    {"the default folder under the home folder", "/home/op", nullptr, " ~/.config/Halvstad/ports "},
    {"an empty XDG_CONFIG_HOME counts as unset", "/home/op", "", " ~/.config/Halvstad/ports "},
    {"XDG_CONFIG_HOME elsewhere", "/home/op", "/srv/cfg", " /srv/cfg/Halvstad/ports "},
    {"XDG_CONFIG_HOME inside the home folder", "/home/op", "/home/op/cfg", " ~/cfg/Halvstad/ports "},
    {"a folder that only starts like the home folder", "/home/op", "/home/opx", " /home/opx/Halvstad/ports "},
};

void Set(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

}  // namespace

TEST(PortHelp, NamesThePortsFolderInUse) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Why);
        Set("HOME", c.Home);
        Set("XDG_CONFIG_HOME", c.ConfigHome);
        EXPECT_NE(gHelpText().find(std::string("ссылка COMn в папке") + c.Named), std::string::npos) << gHelpText();
    }
}
