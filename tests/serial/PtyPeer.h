#pragma once
// The far end of a real pseudo-terminal, standing where the modem would be. The port
// side is reached as COMn through a link in a fresh per-user ports folder.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/TempConfigHome.h"

class PtyPeer {
public:
    explicit PtyPeer(int comNumber) {
        Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) throw std::runtime_error("no pty");
        if (Home.Path().empty()) throw std::runtime_error("no temp folder");
        std::filesystem::create_directories(Home.PortsFolder());
        Link(comNumber, ptsname(Master));
    }

    ~PtyPeer() { CloseMaster(); }

    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    void Link(int comNumber, const std::string& target) const {
        const std::string link = Home.PortsFolder() + "/COM" + std::to_string(comNumber);
        unlink(link.c_str());
        if (symlink(target.c_str(), link.c_str()) != 0) throw std::runtime_error("no link");
    }

    // A byte at a time, as a modem's UART hands them over.
    void WriteSlowly(const std::string& bytes, std::chrono::microseconds gap = std::chrono::microseconds(1000)) const {
        for (char c : bytes) {
            if (write(Master, &c, 1) != 1) return;
            std::this_thread::sleep_for(gap);
        }
    }

    void WriteAll(const std::string& bytes) const {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(Master, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }

    // What the port sent, until count bytes have come or the safety time-out passes.
    std::string Read(size_t count, int timeoutMs = 10000) const {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{Master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[4096];
            const ssize_t n = read(Master, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

    void CloseMaster() {
        if (Master >= 0) close(Master);
        Master = -1;
    }

    TempConfigHome Home;
    int Master = -1;
};
