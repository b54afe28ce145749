#pragma once
// The utility's end of a virtual modem's line, opened the way a serial port is, for tests.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

class PtyPeer {
public:
    explicit PtyPeer(const std::string& path);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool IsOpen() const { return Fd >= 0; }
    // Raw 8N1 at speed, any rate (14400 and 56000 too).
    bool SetSpeed(uint32_t speed);
    void Send(std::string_view bytes);
    // Everything read until text has arrived (or the time-out passed: then without text).
    std::string ReadUntil(std::string_view text,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The next count bytes (fewer when the time-out passed first).
    std::string ReadCount(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True when the line went away: a hang-up or end of file within the time-out.
    bool WaitForHangUp(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    int Fd = -1;
};
