#pragma once
// A fresh per-user configuration folder for one test: XDG_CONFIG_HOME points at a new
// temporary folder (so COM links and stored settings are the test's own) and goes
// back when the object ends. Make it before any thread starts.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "serial/ComNames.h"

class TempConfigHome {
public:
    TempConfigHome() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) Previous = old;
        std::string pattern = (std::filesystem::temp_directory_path() / "kx-config-XXXXXX").string();
        Folder = mkdtemp(pattern.data()) ? pattern : std::string();
        setenv("XDG_CONFIG_HOME", Folder.c_str(), 1);
    }
    ~TempConfigHome() {
        if (Previous) setenv("XDG_CONFIG_HOME", Previous->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(Folder, ec);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    // Empty when the folder could not be made.
    std::string Path() const { return Folder; }
    std::string PortsFolder() const { return Folder + "/" + CompanyName + "/ports"; }

private:
    std::string Folder;
    std::optional<std::string> Previous;
};
