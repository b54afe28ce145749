#include "engine/ModemRun.h"

#include "engine/PortCommands.h"
#include "serial/Unasked.h"

int32_t ModemRun::FindModem() {
    const SearchEnd end = Context.FindModem(Port);
    SearchPortFailed = end == SearchEnd::PortFailed;
    FoundSpeed = end == SearchEnd::Found ? Context.FoundSpeed() : 0;
    return end == SearchEnd::Found ? 1 : 0;
}

int32_t ModemRun::SetSpeed(int32_t speed) { return gSetSpeed(Port, speed) ? 1 : 0; }

int32_t ModemRun::SendText(const char* text) { return gSendCommand(Port, text) ? 1 : 0; }

ReplyCode ModemRun::AwaitReply(const char* command, const char* expected, const char* alternative,
                               uint32_t timeoutMs, char* reply, uint32_t heardTimeoutMs) {
    const ReplyCode code = Port.ReadReply(command, expected, alternative, timeoutMs, reply, heardTimeoutMs);
    ReportUnasked();
    return code;
}

void ModemRun::ReportFailureUnlessStopped(const std::string& text) {
    if (!StopRequested) Context.Failure(text);
}

void ModemRun::ReportUnasked() {
    for (const UnaskedLine& line : Port.LastHeard.Unasked) Context.Unasked(line);
}
