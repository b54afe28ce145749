#include "serial/FinalCode.h"

#include <cstdlib>

#include "serial/ResultCodes.h"

namespace {

// The codes that stand alone as a line in either form (RING, never final, is not one of
// them), and the verbose codes that open one (CONNECT 9600, +CME ERROR: 10, the EZX
// phones' MODEM ERROR: 5). +EXT ERROR: n (in oFono's and FSO's tables of final
// responses) and TOO MANY PARAMETERS are other makers' refusals.
constexpr ResultCode WholeCodes[] = {ResultOk,         ResultConnect, ResultNoCarrier, ResultError,
                                     ResultNoDialtone, ResultBusy,    ResultNoAnswer};
constexpr std::string_view OtherWholeLines[] = {"COMMAND NOT SUPPORT", "TOO MANY PARAMETERS"};
constexpr std::string_view ErrorsInWords[] = {"+CME ERROR:", "+CMS ERROR:", "+EXT ERROR:"};
constexpr std::string_view Openings[] = {"CONNECT ", ErrorsInWords[0], ErrorsInWords[1], ErrorsInWords[2],
                                         "MODEM ERROR:"};

FinalCode Verdict(std::string_view words) {
    FinalCode code;
    code.Code = words == ResultOk.Verbose ? Ok : ModemError;
    code.Words = std::string(words);
    return code;
}

int CmeNumber(std::string_view line) {
    const std::string number(line.substr(std::string_view("+CME ERROR:").size()));
    char* end = nullptr;
    const long code = std::strtol(number.c_str(), &end, 10);
    while (end && *end == ' ') ++end;
    return end != number.c_str() && *end == '\0' && code >= 0 && code < 100000 ? static_cast<int>(code) : -1;
}

}  // namespace

std::optional<FinalCode> gVerboseFinal(std::string_view line) {
    bool final = false;
    for (const ResultCode& whole : WholeCodes) final = final || line == whole.Verbose;
    for (const std::string_view whole : OtherWholeLines) final = final || line == whole;
    for (const std::string_view opening : Openings) final = final || line.starts_with(opening);
    if (!final) return std::nullopt;
    FinalCode code = Verdict(line);
    if (line.starts_with("+CME ERROR:")) code.CmeError = CmeNumber(line);
    return code;
}

std::optional<FinalCode> gNumericFinal(std::string_view line) {
    if (line.empty() || line.size() > 2 || line.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int number = std::atoi(std::string(line).c_str());
    for (const ResultCode& whole : WholeCodes)
        if (whole.Numeric == number) return Verdict(whole.Verbose);
    for (const ConnectRate& rate : ConnectRates)
        if (rate.Code.Numeric == number) return Verdict(rate.Code.Verbose);
    return std::nullopt;
}

bool gIsErrorInWords(std::string_view line) {
    for (const std::string_view opening : ErrorsInWords)
        if (line.starts_with(opening)) return true;
    return false;
}
