#pragma once
// The modem's end of a serial line. The POSIX one is a pseudo-terminal whose other
// end (the slave) the utility opens as its COM port.

#include <cstdint>
#include <memory>
#include <string>

class ModemLine {
public:
    enum class ReadResult { Data, Idle, Woken, Poked };

    virtual ~ModemLine() = default;
    // Waits up to timeoutMs for bytes from the other side and appends them to into.
    virtual ReadResult Read(std::string& into, int timeoutMs) = 0;
    // Sends every byte, waiting while the other side's queue is full; false when woken.
    virtual bool Write(const std::string& bytes) = 0;
    // Waits until the other side has read (or discarded) all that was sent, at most
    // timeoutMs; false when woken first.
    virtual bool Drain(int timeoutMs) = 0;
    // Waits ms milliseconds; false when woken first.
    virtual bool Pause(int ms) = 0;
    // Makes the current and every later wait return at once; safe from any thread.
    virtual void Wake() = 0;
    // Makes the current or next Read return Poked, for news from elsewhere (the network);
    // safe from any thread. The other waits do not heed it.
    virtual void Poke() = 0;
    // The speed the other side has set on its end, in bit/s.
    virtual uint32_t LineSpeed() = 0;
    virtual std::string DevicePath() const = 0;
    // Ends the line: the other side's device goes away.
    virtual void Close() = 0;
};

// A new pseudo-terminal in raw mode; empty with error set when the system refuses.
std::unique_ptr<ModemLine> gOpenModemLine(std::string& error);
