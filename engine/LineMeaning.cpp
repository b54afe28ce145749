#include "engine/LineMeaning.h"

#include <optional>

#include "serial/FinalCode.h"
#include "serial/ResultCodes.h"

namespace {

constexpr std::string_view SysStart = "^SYSSTART";
// A ring with its type, after AT+CRC=1: "+CRING: REL ASYNC".
constexpr std::string_view TypedRing = "+CRING:";

LineKind FinalKind(std::string_view words) {
    if (words == ResultOk.Verbose) return LineKind::Ok;
    if (words.substr(0, ResultConnect.Verbose.size()) == ResultConnect.Verbose) return LineKind::Connect;
    if (words == ResultNoCarrier.Verbose) return LineKind::NoCarrier;
    if (words == ResultNoAnswer.Verbose) return LineKind::NoAnswer;
    if (words == ResultBusy.Verbose) return LineKind::Busy;
    return LineKind::Refusal;
}

}  // namespace

LineMeaning gLineMeaning(std::string_view line) {
    std::optional<FinalCode> final = gVerboseFinal(line);
    if (!final) final = gNumericFinal(line);
    if (final) return {FinalKind(final->Words), final->Words};
    if (line == ResultRing.Verbose || line == std::to_string(ResultRing.Numeric) ||
        line.substr(0, TypedRing.size()) == TypedRing)
        return {LineKind::Ring, {}};
    if (line == SysStart) return {LineKind::SysStart, {}};
    return {};
}

bool gEndsWithNoCarrier(std::string_view received) {
    if (received.empty() || (received.back() != '\r' && received.back() != '\n')) return false;
    while (!received.empty() && (received.back() == '\r' || received.back() == '\n')) received.remove_suffix(1);
    const std::string numeric = std::to_string(ResultNoCarrier.Numeric);
    for (const std::string_view code : {ResultNoCarrier.Verbose, std::string_view(numeric)})
        if (received.size() >= code.size() && received.substr(received.size() - code.size()) == code) return true;
    return false;
}
