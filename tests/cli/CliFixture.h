#pragma once
// What the tests of kestrelix-cli share: a configuration folder of their own, virtual
// modems and links in its ports folder, and the output and the report split as an
// operator reads them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sim/VirtualModem.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempConfigHome.h"

using Lines = std::vector<std::string>;

inline Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The lines of one port, its prefix taken off, in their order.
inline Lines PortLines(const std::string& text, int com) {
    const std::string prefix = "COM" + std::to_string(com) + ": ";
    Lines lines;
    for (const std::string& line : SplitLines(text))
        if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
    return lines;
}

inline Lines Fields(const std::string& row) {
    Lines fields;
    std::istringstream in(row);
    for (std::string field; std::getline(in, field, ';');) fields.push_back(field);
    return fields;
}

inline std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The report's rows after its header, each split into its fields; its CR LF line ends
// taken off.
inline std::vector<Lines> ReportRows(const std::string& path) {
    std::vector<Lines> rows;
    Lines lines = SplitLines(FileText(path));
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i].back() == '\r') lines[i].pop_back();
        rows.push_back(Fields(lines[i]));
    }
    return rows;
}

struct CliTest : ::testing::Test {
    TempConfigHome Home;
    std::vector<std::unique_ptr<VirtualModem>> Modems;
    VirtualModem* Modem = nullptr;  // the last one started

    void StartModem(VirtualModemOptions options) {
        options.Mismatch = MismatchMode::Silent;
        Modems.push_back(std::make_unique<VirtualModem>(options));
        Modem = Modems.back().get();
        ASSERT_EQ(Modem->Start(), "");
    }
    void StartModem(int com, uint32_t speed, bool noSim = false, bool silent = false) {
        VirtualModemOptions options;
        options.ComNumber = com;
        options.Speed = speed;
        options.NoSim = noSim;
        options.Silent = silent;
        StartModem(options);
    }
    // COMn, a link in the ports folder, leads to target.
    void LinkPort(int com, const std::string& target) {
        std::filesystem::create_directories(Home.PortsFolder());
        std::filesystem::create_symlink(target, Home.PortsFolder() + "/COM" + std::to_string(com));
    }
    // COMn leads nowhere, as an unplugged adapter does.
    void MissingPort(int com) { LinkPort(com, "/nonexistent/kx-tty"); }
    void TearDown() override {
        for (auto& m : Modems) m->Stop();
    }
};
