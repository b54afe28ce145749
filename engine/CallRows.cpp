#include "engine/CallRows.h"


#include "engine/CallOutcome.h"
#include "serial/ResultCodes.h"

namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

CallLine gCallLine(std::string_view line) {
    const auto is = [line](const ResultCode& code) {
        return line == code.Verbose || (AllDigits(line) && line == std::to_string(code.Numeric));
    };
    if (is(ResultOk)) return CallLine::Ok;
    if (is(ResultRing)) return CallLine::Ring;
    if (is(ResultNoCarrier)) return CallLine::NoCarrier;
    if (is(ResultError) || line.substr(0, 11) == "+CME ERROR:") return CallLine::Error;
    if (is(ResultBusy)) return CallLine::Busy;
    if (is(ResultConnect) || line.substr(0, 8) == "CONNECT ") return CallLine::Connect;
    for (const ConnectRate& rate : ConnectRates)
        if (is(rate.Code)) return CallLine::Connect;
    if (is(ResultNoDialtone)) return CallLine::NoDialtone;
    if (is(ResultNoAnswer)) return CallLine::NoAnswer;
    if (line == "^SYSSTART") return CallLine::SysStart;
    return CallLine::Other;
}

bool gEndsWithNoCarrier(std::string_view received) {
    if (received.empty() || (received.back() != '\r' && received.back() != '\n')) return false;
    while (!received.empty() && (received.back() == '\r' || received.back() == '\n')) received.remove_suffix(1);
    for (const std::string_view code : {ResultNoCarrier.Verbose, std::string_view("3")})
        if (received.size() >= code.size() && received.substr(received.size() - code.size()) == code) return true;
    return false;
}

// xorshift32: fast, and any seed but 0 gives a long sequence.
std::string gTestBlock(uint32_t seed, size_t size) {
    uint32_t state = seed ? seed : 0x9E3779B9u;
    std::string block(size, '\0');
    for (char& byte : block) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return block;
}


const char* gCallResultName(CallResult end) {
    switch (end) {
    case CallResult::NotRun: return "not run";
    case CallResult::Passed: return "passed";
    case CallResult::Stopped: return "stopped";
    case CallResult::PortNotOpened: return "port not opened";
    case CallResult::PortFailed: return "port failed";
    case CallResult::NoModem: return "no calling modem";
    case CallResult::NoAnswerModem: return "no device modem";
    case CallResult::NotBack: return "not back after restart";
    case CallResult::NoNetwork: return "no network";
    case CallResult::NoReply: return "no reply";
    case CallResult::Busy: return "busy";
    case CallResult::NotReached: return "not reached";
    case CallResult::NotAnswered: return "not answered";
    case CallResult::Dropped: return "dropped";
    case CallResult::Damaged: return "data damaged";
    }
    return "";
}
