#include "serial/Urc.h"

namespace {

// The answer to AT+CREG? or AT+CGREG? begins with <n>,<stat>; the unsolicited form is
// <stat> alone or followed by a quoted <lac> (3GPP TS 27.007, +CREG, +CGREG), so that
// "+CREG: 2" arriving with the answer is not taken for it.
bool IsRegistrationAnswer(std::string_view line) {
    const size_t comma = line.find(',');
    return comma != std::string_view::npos && comma + 1 < line.size() && line[comma + 1] != '"';
}

// The URCs of the catalogue's modems.
//   ^SYSSTART: started and ready, not sent under autobaud (MC55 AT Command Set, ^SYSSTART);
//     "^SYSSTART AIRPLANE MODE" and the like on later models.
//   ^SBC: and ^SHUTDOWN: sent without being enabled (TC35i AT Command Set, ^SBC, ^SMSO).
//   RDY, +CFUN:, +CPIN:, Call Ready, SMS Ready: a SIM800-class modem at power-on with a
//     fixed rate, the last two at unexpected times (SIM800 Hardware Design).
//   RING is the numeric code 2 (ITU V.250, result codes); +CRING, +CLIP, +CMTI, +CREG and
//     +CGREG are the unsolicited forms of 3GPP TS 27.007.
constexpr UrcEntry Urcs[] = {
    {"^SYSSTART", UrcMatch::WholeLine, Unasked::Quiet},
    {"^SYSSTART ", UrcMatch::Prefix, Unasked::Quiet},
    {"^SBC:", UrcMatch::Prefix, Unasked::Undervoltage},
    {"^SHUTDOWN", UrcMatch::WholeLine, Unasked::Shutdown},
    {"RDY", UrcMatch::WholeLine, Unasked::Quiet},
    {"+CFUN:", UrcMatch::Prefix, Unasked::Quiet},
    {"+CPIN:", UrcMatch::Prefix, Unasked::Quiet},
    {"Call Ready", UrcMatch::WholeLine, Unasked::Quiet},
    {"SMS Ready", UrcMatch::WholeLine, Unasked::Quiet},
    {"RING", UrcMatch::WholeLine, Unasked::Quiet},
    {"+CRING:", UrcMatch::Prefix, Unasked::Quiet},
    {"+CLIP:", UrcMatch::Prefix, Unasked::Quiet},
    {"+CMTI:", UrcMatch::Prefix, Unasked::Quiet},
    {"+CREG:", UrcMatch::Prefix, Unasked::Quiet, IsRegistrationAnswer},
    {"+CGREG:", UrcMatch::Prefix, Unasked::Quiet, IsRegistrationAnswer},
};

}  // namespace

const UrcEntry* gFindUrc(std::string_view line) {
    for (const UrcEntry& entry : Urcs) {
        if (entry.Match == UrcMatch::WholeLine ? line == entry.Text : line.starts_with(entry.Text)) return &entry;
    }
    return nullptr;
}

bool gHasUrcShape(std::string_view line) {
    if (line.size() < 2 || (line[0] != '^' && line[0] != '+') || line[1] < 'A' || line[1] > 'Z') return false;
    size_t end = 2;
    while (end < line.size() && ((line[end] >= 'A' && line[end] <= 'Z') || (line[end] >= '0' && line[end] <= '9')))
        ++end;
    return line[0] == '^' || end == line.size() || line[end] == ':';
}

std::optional<Unasked> gUnaskedKind(std::string_view line) {
    if (const UrcEntry* entry = gFindUrc(line)) return entry->Kind;
    return std::nullopt;
}
