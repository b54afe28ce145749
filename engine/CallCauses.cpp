// Why a call failed, in the network's words: before the dial the calling modem is asked to
// tell the release cause (ATS18=1) and, in the workshop, the device's modem the type of a
// ring (AT+CRC=1), both in the active profile only. A modem that refuses either only
// leaves the cause untold. After a failed dial the cause is the +CAUSE line, else AT+CEER.

#include <charconv>

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/PortCommands.h"
#include "engine/RunContext.h"
#include "engine/TestCall.h"
#include "serial/LineSplitter.h"
#include "serial/ReplyParser.h"
#include "serial/SerialPort.h"

namespace {

constexpr uint32_t QuestionTimeoutMs = 1500;
constexpr std::string_view BearerPrefix = "+CBST:";

// The calling modem's bearer as +CBST? tells it, "7,0,1"; empty when it does not.
std::string ReadBearer(SerialPort& port) {
    InfoReply reply;
    if (gAsk(port, "AT+CBST?\r", QuestionTimeoutMs, reply) != Ok || reply.Lines.empty()) return {};
    std::string_view line = reply.Lines.front();
    if (line.substr(0, BearerPrefix.size()) != BearerPrefix) return {};
    line.remove_prefix(BearerPrefix.size());
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return std::string(line);
}

// The speed of a bearer as ReadBearer gives it; 0 when it is no number.
int BearerSpeed(const std::string& bearer) {
    int speed = 0;
    const char* end = bearer.data() + bearer.size();
    const auto [at, error] = std::from_chars(bearer.data(), end, speed);
    if (error != std::errc() || (at != end && *at != ',')) return 0;
    return speed;
}

}  // namespace

TestCall::StageEnd TestCall::PrepareDial() {
    InfoReply reply;
    // Only a port that fails or a stop ends the call here; a refusal leaves a cause untold.
    const auto ended = [this](ReplyCode code) -> StageEnd {
        if (code == Stopped || (code == Failed && Context.StopAsked())) return CallResult::Stopped;
        if (code == Failed) return CallResult::PortFailed;
        return GoOn;
    };
    if (const StageEnd end = ended(gAsk(Link.Caller.Port, "ATS18=1\r", QuestionTimeoutMs, reply))) return end;
    if (TwoPorts) {
        reply = {};
        if (const StageEnd end = ended(gAsk(Link.Device.Port, "AT+CRC=1\r", QuestionTimeoutMs, reply))) return end;
    }
    OwnBearer = ReadBearer(Link.Caller.Port);
    Found.Bearer = BearerSpeed(OwnBearer);
    if (Request.Bearer) SetBearer(Request.Bearer);
    return Interrupted();
}

void TestCall::SetBearer(int speed) {
    InfoReply reply;
    const std::string command = "AT+CBST=" + std::to_string(speed) + ",0,1\r";
    if (gAsk(Link.Caller.Port, command.c_str(), QuestionTimeoutMs, reply) != Ok) return;
    BearerChanged = true;
    const int taken = BearerSpeed(ReadBearer(Link.Caller.Port));
    Found.Bearer = taken ? taken : speed;
}

void TestCall::RestoreBearer() {
    if (OwnBearer.empty()) return;
    InfoReply reply;
    gAsk(Link.Caller.Port, ("AT+CBST=" + OwnBearer + "\r").c_str(), QuestionTimeoutMs, reply);
}

std::optional<NetworkCause> TestCall::AskCause() {
    // A +CAUSE after the final code has come already with it.
    while (const std::optional<std::string> line = gTakeLine(Link.Caller.Pending))
        if (std::optional<NetworkCause> cause = gNetworkCause(*line)) return cause;
    InfoReply reply;
    if (gAsk(Link.Caller.Port, "AT+CEER\r", QuestionTimeoutMs, reply) != Ok) return std::nullopt;
    for (const std::string& line : reply.Lines)
        if (std::optional<NetworkCause> cause = gNetworkCause(line)) return cause;
    return std::nullopt;
}

TestCall::StageEnd TestCall::DialFailed(CallResult end, const std::string& row) {
    Link.StopListening();
    if (Context.StopAsked()) return Failure(end, row);
    const std::optional<NetworkCause> cause = Cause ? Cause : AskCause();
    if (!cause) return Failure(end, row);
    // What the modem said, read or not: a cause it cannot read names no wrong one.
    Context.Progress(gFormat(Msg::Received, cause->Text.c_str()));
    if (!cause->Reason) return Failure(end, row);
    const int reason = *cause->Reason;
    Found.Cause = reason;
    if (gBearerRefused(reason)) {
        if (Request.Bearer == 0 && !BearerRetryDue) {
            if (const StageEnd interrupted = Interrupted()) return interrupted;
            BearerRetryDue = true;
            return CallResult::Refused;
        }
        const std::string refused =
            gFormat(CallMsg::BearerRefused, gBearerText(Found.Bearer ? Found.Bearer : BearerV32).c_str());
        return Failure(CallResult::Refused, gFormat(CallMsg::CauseNumber, refused.c_str(), reason));
    }
    const CauseEnd told = gCauseEnd(reason, end, row);
    if (!told.Note.empty()) Context.Progress(told.Note);
    return Failure(told.End, told.Row);
}
