#pragma once
// The one access to the serial line that leads to the modem: a fixed line set-up,
// one retry after an aborted control call, and reports to the operator in message boxes.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/SerialPlatform.h"
#include "serial/Unasked.h"

class Event;
class Toolkit;
struct InfoReply;
enum class MoreMayFollow;
struct SetAside;
enum class Reading;

enum ReplyCode : int { Ok = 0, Failed = 1, Stopped = 2, TimedOut = 3, ModemError = 4 };

inline constexpr int ReplyBufferSize = 1024;

// What the last read heard beside its verdict.
struct Heard {
    int Bytes = 0;                    // bytes that arrived, NULs and unasked lines included
    bool Echoed = false;              // the echo of the command came back
    std::vector<UnaskedLine> Unasked; // the lines the modem sent unasked, set aside from the reply
};

class SerialPort {
public:
    SerialPort();
    explicit SerialPort(std::unique_ptr<SerialPlatform> platform);
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    int Open(int n);
    int Configure(uint32_t speed, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
    int Purge(uint32_t flags);
    int Escape(uint32_t function);
    void ClearErrors();
    int Write(const char* data, uint32_t length);
    // The reads below set aside NUL bytes and the lines the modem sends unasked before they
    // judge the reply (ReplyParser.h), and keep them in LastHeard; out and reply hold the
    // reply alone. A line named by expected or alternative is the reply, never set aside.
    // out, when given, must hold ReplyBufferSize bytes. Once the echo of command has come
    // back, the wait lasts up to heardTimeoutMs when that is longer: the echo shows that
    // the modem listens at this speed and only its result is late.
    ReplyCode ReadReply(const char* command, const char* expected, const char* alternative,
                        uint32_t timeoutMs, char* out, uint32_t heardTimeoutMs = 0);
    // The same gathering for a reply with lines of information before its result code
    // (ReplyParser.h): complete on the final result code; Ok, ModemError, Failed, TimedOut
    // or Stopped. reply receives what was understood of a complete reply.
    ReplyCode ReadInfoReply(const char* command, uint32_t timeoutMs, InfoReply& reply);
    // One read under the port's time-outs, for bytes that are data rather than replies;
    // a stop ends it with what it has. Ok with got bytes (maybe none), or Failed.
    ReplyCode ReadSome(char* buffer, uint32_t size, uint32_t& got);
    void Close();
    // Waits ms, or less when the stop or the cancel is signalled.
    void Pause(uint32_t ms);
    // The clock the port's time-outs run on, in milliseconds.
    uint32_t TickMs();

    Heard LastHeard;
    Toolkit* OwnerWindow = nullptr;
    Event* StopEventRef = nullptr;
    PortHandle Handle = InvalidPortHandle;
    // Set by an owner that may go away during a job: once signalled, every wait of the
    // port ends at once and its reads and writes fail.
    const Event* CancelEventRef = nullptr;

private:
    // What a verdict makes of the bytes so far: none while the reply is incomplete; a
    // code, which bytes arriving within QuietMs would make it judge again.
    struct Judgement {
        std::optional<ReplyCode> Code;
        uint32_t QuietMs = 0;
    };
    // Reads until verdict, given all bytes gathered so far, returns a code for a complete
    // reply, the time-out passes, or a stop is requested. The time-out is read afresh at
    // each turn, so that a verdict may lengthen it.
    using Verdict = std::function<Judgement(const char* gathered, int count)>;
    ReplyCode Gather(const uint32_t& timeoutMs, const Verdict& verdict);
    // One read of what has arrived already, without waiting.
    ReplyCode ReadAtOnce(char* buffer, uint32_t size, uint32_t& got);
    // How long an information reply waits for what may still follow it.
    uint32_t QuietMs(MoreMayFollow more) const;
    // The gathered bytes without what the reader sets aside, which it keeps in LastHeard.
    SetAside Note(const char* gathered, int count, const char* command, const char* expected,
                  const char* alternative, Reading reading);

    std::unique_ptr<SerialPlatform> Platform;
    uint32_t Speed = 9600;  // bit/s of the line, as configured
};

// Shows that text alone in an information box captioned "Информация" when owner is set.
void gShowErrorText(uint32_t code, Toolkit* owner);
// Lowest index of text in the count bytes at data, or -1.
int FindBytes(const char* data, int count, const char* text);
