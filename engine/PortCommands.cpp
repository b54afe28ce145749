#include "engine/PortCommands.h"

#include <cstdlib>
#include <cstring>

#include "serial/ReplyParser.h"
#include "serial/SerialPort.h"

bool gSetSpeed(SerialPort& port, int32_t speed) {
    return port.Configure(static_cast<uint32_t>(speed), 8, OneStopBit, NoParity) == 0;
}

bool gSendCommand(SerialPort& port, const char* text) {
    if (port.Purge(PurgeTxClear | PurgeRxClear) != 0) return false;
    return port.Write(text, static_cast<uint32_t>(std::strlen(text))) == 0;
}

ReplyCode gAsk(SerialPort& port, const char* command, uint32_t timeoutMs, InfoReply& reply) {
    if (!gSendCommand(port, command)) return Failed;
    return port.ReadInfoReply(command, timeoutMs, reply);
}

std::optional<long> gReadSRegister(SerialPort& port, const char* query, uint32_t timeoutMs) {
    InfoReply answer;
    if (gAsk(port, query, timeoutMs, answer) != Ok || answer.Lines.empty()) return std::nullopt;
    const std::string& line = answer.Lines.front();
    char* end = nullptr;
    const long value = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || *end != '\0') return std::nullopt;
    return value;
}
