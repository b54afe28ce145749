#include "engine/NetworkCause.h"

#include <charconv>
#include <vector>

#include "engine/CallMessages.h"
#include "engine/Format.h"

namespace {

constexpr int CallControl = 8;

// The fields of text split at sep, each a whole decimal number between optional spaces;
// none when any field is not.
std::optional<std::vector<int>> Numbers(std::string_view text, char sep) {
    std::vector<int> numbers;
    for (;;) {
        const size_t end = text.find(sep);
        std::string_view field = text.substr(0, end);
        while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
        while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
        int value = 0;
        const auto [at, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || error != std::errc() || at != field.data() + field.size() || value < 0)
            return std::nullopt;
        numbers.push_back(value);
        if (end == std::string_view::npos) return numbers;
        text.remove_prefix(end + 1);
    }
}

// Reasons with a row of their own; 17 and 19 keep the rows of a busy and an unanswered
// call. Each reason once.
struct ReasonRow {
    int Reason;
    CallResult End;
    const char* Row;  // none: the call's own row
};
constexpr ReasonRow ReasonRows[] = {
    {57, CallResult::Refused, CallMsg::CallerNoData},
    {88, CallResult::Refused, CallMsg::DeviceNoData},
    {1, CallResult::Refused, CallMsg::NoSuchNumber},
    {22, CallResult::Refused, CallMsg::NoSuchNumber},
    {28, CallResult::Refused, CallMsg::NoSuchNumber},
    {18, CallResult::NotReached, CallMsg::DeviceUnreachable},
    {20, CallResult::NotReached, CallMsg::DeviceUnreachable},
    {27, CallResult::NotReached, CallMsg::DeviceUnreachable},
    {21, CallResult::Refused, CallMsg::DeviceRejected},
    {8, CallResult::Refused, CallMsg::CallerBarred},
    {50, CallResult::Refused, CallMsg::CallerBarred},
    {68, CallResult::Refused, CallMsg::CallerBarred},
    {34, CallResult::Refused, CallMsg::NetworkCongested},
    {38, CallResult::Refused, CallMsg::NetworkCongested},
    {41, CallResult::Refused, CallMsg::NetworkCongested},
    {42, CallResult::Refused, CallMsg::NetworkCongested},
    {44, CallResult::Refused, CallMsg::NetworkCongested},
    {47, CallResult::Refused, CallMsg::NetworkCongested},
    {102, CallResult::Refused, CallMsg::NetworkCongested},
    {17, CallResult::Busy, CallMsg::Busy},
    {19, CallResult::NotAnswered, nullptr},
};

}  // namespace

std::optional<NetworkCause> gNetworkCause(std::string_view line) {
    constexpr std::string_view Cause = "+CAUSE:", Ceer = "+CEER:";
    const bool cause = line.substr(0, Cause.size()) == Cause;
    if (!cause && line.substr(0, Ceer.size()) != Ceer) return std::nullopt;
    const std::optional<std::vector<int>> fields =
        cause ? Numbers(line.substr(Cause.size()), ':') : Numbers(line.substr(Ceer.size()), ',');
    NetworkCause found{std::string(line), std::nullopt};
    // +CAUSE has two fields; +CEER three, or two where a family leaves the last out.
    const bool whole = fields && (cause ? fields->size() == 2 : fields->size() == 2 || fields->size() == 3);
    if (!whole) return found;
    const int location = (*fields)[0], reason = (*fields)[1];
    if (location == 0 && reason == 0) return std::nullopt;
    // Another location's numbers mean other things: shown as the modem said them.
    if (location == CallControl && reason > 0) found.Reason = reason;
    return found;
}

bool gBearerRefused(int reason) { return reason == 58 || reason == 65 || reason == 70 || reason == 79; }

CauseEnd gCauseEnd(int reason, CallResult today, const std::string& todayRow) {
    for (const ReasonRow& row : ReasonRows) {
        if (row.Reason != reason) continue;
        if (!row.Row) return {today, gFormat(CallMsg::CauseNumber, todayRow.c_str(), reason), {}};
        return {row.End, gFormat(CallMsg::CauseNumber, row.Row, reason), {}};
    }
    return {today, todayRow, gFormat(CallMsg::OtherCause, reason)};
}

std::string gBearerText(int speed) {
    // 3GPP TS 27.007, +CBST: the analogue modulations by their speed codes, V.110 for ISDN.
    const char* name = speed == 6 || speed == 7 ? "V.32" : speed >= 65 && speed <= 83 ? "V.110" : nullptr;
    const std::string command = "AT+CBST=" + std::to_string(speed) + ",0,1";
    return name ? command + " (" + name + ")" : command;
}
