#pragma once
// A command on a port and the answers the runs read the same way: the line's speed, the
// send that clears what is left from before, a question and its reply, and an
// S-register's value.

#include <cstdint>
#include <optional>

class SerialPort;

// Sets the port's line to speed, 8 data bits, one stop bit, no parity; false when the
// port failed.
bool gSetSpeed(SerialPort& port, int32_t speed);

// Drops what the port holds either way and writes text; false when the port failed.
bool gSendCommand(SerialPort& port, const char* text);

struct InfoReply;
enum ReplyCode : int;

// Sends command and reads its information reply; Failed when the port failed to write.
ReplyCode gAsk(SerialPort& port, const char* command, uint32_t timeoutMs, InfoReply& reply);

// The value the modem gives for query ("ATS7?\r"); none when it does not answer OK with
// a whole number.
std::optional<long> gReadSRegister(SerialPort& port, const char* query, uint32_t timeoutMs);
