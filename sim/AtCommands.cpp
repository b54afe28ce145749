#include "sim/AtCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

namespace {

// Walks the body of one command line; spaces between commands mean nothing to a modem.
class Cursor {
public:
    explicit Cursor(std::string_view text) : Text(text) {}

    bool AtEnd() {
        SkipSpaces();
        return Pos >= Text.size();
    }
    char Next() {
        SkipSpaces();
        return Pos < Text.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(Text[Pos++])))
                                 : '\0';
    }
    bool Take(char c) {
        SkipSpaces();
        if (Pos < Text.size() && std::toupper(static_cast<unsigned char>(Text[Pos])) == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    // Letters, upper-cased: the name of an extended command.
    std::string Name() {
        SkipSpaces();
        std::string name;
        while (Pos < Text.size() && std::isalpha(static_cast<unsigned char>(Text[Pos])))
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(Text[Pos++])));
        return name;
    }
    // A decimal number; an absent one counts as 0, as modems read "ATE" as "ATE0".
    std::optional<uint32_t> Number(bool required = false) {
        SkipSpaces();
        uint64_t value = 0;
        size_t digits = 0;
        while (Pos < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Pos]))) {
            value = value * 10 + static_cast<uint64_t>(Text[Pos++] - '0');
            if (++digits > 9) return std::nullopt;
        }
        if (digits == 0 && required) return std::nullopt;
        return static_cast<uint32_t>(value);
    }

    // The text up to end (not included) or to the end of the line; the cursor stops there.
    std::string_view Until(char end) {
        SkipSpaces();
        const size_t stop = std::min(Text.find(end, Pos), Text.size());
        const std::string_view part = Text.substr(Pos, stop - Pos);
        Pos = stop;
        return part;
    }

private:
    void SkipSpaces() {
        while (Pos < Text.size() && Text[Pos] == ' ') ++Pos;
    }
    std::string_view Text;
    size_t Pos = 0;
};

bool InRange(std::optional<uint32_t> v, uint32_t low, uint32_t high) {
    return v && *v >= low && *v <= high;
}

std::string ThreeDigits(int value) {
    std::string s = std::to_string(value);
    return std::string(s.size() < 3 ? 3 - s.size() : 0, '0') + s;
}

// One S-register: Sn=v or Sn?.
bool RunRegister(Cursor& c, ModemSettings& s, const AtRules& rules, AtOutcome& out) {
    auto n = c.Number(true);
    if (!n) return false;
    struct Reg { int* Value; uint32_t Low; uint32_t High; };
    std::optional<Reg> reg;
    switch (*n) {
        case 0: reg = Reg{&s.AutoAnswer, 0, 255}; break;
        case 3: reg = Reg{&s.LineEnd, 0, 127}; break;
        case 4: reg = Reg{&s.LineFeed, 0, 127}; break;
        case 7: reg = Reg{&s.CarrierWait, 1, 255}; break;
        case 12: reg = Reg{&s.EscapeGuard, 0, 255}; break;
        case 18: reg = Reg{&s.CauseReport, 0, 255}; break;
        default: return false;
    }
    if (c.Take('?')) {
        out.Information.push_back(ThreeDigits(*reg->Value));
        return true;
    }
    if (!c.Take('=')) return false;
    if (*n == 0 && rules.NoSim) return false;
    auto v = c.Number();
    if (!InRange(v, reg->Low, reg->High)) return false;
    *reg->Value = static_cast<int>(*v);
    return true;
}

// +IPR=rate, +IPR? and +IPR=?.
bool RunSpeed(Cursor& c, ModemSettings& s, AtOutcome& out) {
    if (c.Take('?')) {
        out.Information.push_back("+IPR: " + std::to_string(s.Speed));
    } else if (c.Take('=')) {
        if (c.Take('?')) {
            out.Information.push_back("+IPR: (" + gInterfaceSpeedList(",") + "),()");
        } else {
            auto rate = c.Number(true);
            if (!rate || !gIsInterfaceSpeed(*rate)) return false;
            s.Speed = *rate;
        }
    } else {
        return false;
    }
    return true;
}

// +CRC=mode, +CRC? and +CRC=?: the ring's type in place of RING.
bool RunRingReport(Cursor& c, ModemSettings& s, AtOutcome& out) {
    if (c.Take('?')) {
        out.Information.push_back(std::string("+CRC: ") + (s.RingReport ? "1" : "0"));
        return true;
    }
    if (!c.Take('=')) return false;
    if (c.Take('?')) {
        out.Information.push_back("+CRC: (0,1)");
        return true;
    }
    const auto mode = c.Number();
    if (!InRange(mode, 0, 1)) return false;
    s.RingReport = *mode == 1;
    return true;
}

// +CBST=speed[,name[,ce]], +CBST? and +CBST=?: the bearer of its data calls, always
// asynchronous (name 0) and non-transparent (ce 1), as on the MC55.
bool RunBearerService(Cursor& c, ModemSettings& s, AtOutcome& out) {
    if (c.Take('?')) {
        out.Information.push_back("+CBST: " + std::to_string(s.BearerService) + ",0,1");
        return true;
    }
    if (!c.Take('=')) return false;
    if (c.Take('?')) {
        out.Information.push_back("+CBST: (" + gBearerServiceList(",") + "),(0),(1)");
        return true;
    }
    const auto speed = c.Number(true);
    if (!speed || !gIsBearerService(static_cast<int>(*speed))) return false;
    if (c.Take(',') && !InRange(c.Number(true), 0, 0)) return false;
    if (c.Take(',') && !InRange(c.Number(true), 1, 1)) return false;
    s.BearerService = static_cast<int>(*speed);
    return true;
}

// +CEER tells why the last call ended, which the call knows; +CEER=? is supported.
bool RunCauseReport(Cursor& c, AtOutcome& out) {
    if (c.Take('=')) return c.Take('?');
    out.Call = CallAction::ReportCause;
    return true;
}

// What the modem tells of itself and of its network; none of it changes a setting.
bool RunQuery(const std::string& name, Cursor& c, const SimCard& card, const AtRules& rules, AtOutcome& out) {
    const bool read = c.Take('?');
    if (!read && c.Take('=')) return c.Take('?');  // the test form: supported, nothing to list
    const bool simReady = !rules.NoSim && card.State() == SimState::Ready;
    if (name == "CGMI" && !read) {
        out.Information.push_back(rules.Maker);
    } else if (name == "CGMM" && !read) {
        out.Information.push_back(rules.Model);
    } else if (name == "CGMR" && !read) {
        out.Information.push_back("REVISION 01.100");
    } else if (name == "CGSN" && !read) {
        out.Information.push_back(rules.Imei);
    } else if (name == "CSQ" && !read) {
        if (rules.CsqFault == SignalFault::Error) return false;
        out.Information.push_back(rules.CsqFault == SignalFault::Garbage
                                      ? "+CSQ: high"
                                      : "+CSQ: " + std::to_string(rules.Signal) + ",99");
        out.SignalRead = true;
    } else if (name == "CREG" && read) {
        const int stat = simReady ? static_cast<int>(rules.Network) : 0;
        out.Information.push_back("+CREG: 0," + std::to_string(stat));
    } else {
        return false;
    }
    return true;
}

// The card's commands; their quoted parameters may hold anything but ';'.
bool RunSim(const std::string& name, Cursor& c, SimCard& card, const AtRules& rules, AtOutcome& out) {
    SimOutcome sim;
    const bool known = gRunSimCommand(name, c.Until(';'), !rules.NoSim, card, sim);
    out.Information.insert(out.Information.end(), sim.Information.begin(), sim.Information.end());
    out.CmeError = sim.CmeError;
    return known && sim.Ok;
}

// +CFUN: only full functionality; with a reset (+CFUN=1,1) the modem restarts.
bool RunFunctionality(Cursor& c, AtOutcome& out) {
    if (c.Take('?')) {
        out.Information.push_back("+CFUN: 1");
        return true;
    }
    if (!c.Take('=')) return false;
    if (c.Take('?')) {
        out.Information.push_back("+CFUN: (1),(0,1)");
        return true;
    }
    if (!InRange(c.Number(true), 1, 1)) return false;
    if (c.Take(',')) {
        const auto reset = c.Number(true);
        if (!InRange(reset, 0, 1)) return false;
        if (*reset == 1) out.Call = CallAction::Restart;
    }
    return true;
}

// D takes the rest of the line as the number; a ';' after it would make a voice call,
// which the network does not carry.
bool RunDial(Cursor& c, AtOutcome& out) {
    out.Number = std::string(c.Until(';'));
    if (c.Take(';') || out.Number.find_first_of("0123456789") == std::string::npos) return false;
    out.Call = CallAction::Dial;
    return true;
}

bool SetCall(Cursor& c, AtOutcome& out, CallAction action) {
    if (!InRange(c.Number(), 0, 0)) return false;
    out.Call = action;
    return true;
}

// An extended command; it may be followed by ';' and more.
bool RunExtended(Cursor& c, ModemSettings& s, SimCard& card, const AtRules& rules, AtOutcome& out) {
    const std::string name = c.Name();
    bool ran = false;
    if (name == "IPR") {
        ran = RunSpeed(c, s, out);
    } else if (name == "CFUN") {
        ran = RunFunctionality(c, out);
    } else if (name == "CRC") {
        ran = RunRingReport(c, s, out);
    } else if (name == "CBST") {
        ran = RunBearerService(c, s, out);
    } else if (name == "CEER") {
        ran = RunCauseReport(c, out);
    } else if (name == "CPIN" || name == "CLCK" || name == "CPINR") {
        ran = RunSim(name, c, card, rules, out);
    } else {
        ran = RunQuery(name, c, card, rules, out);
    }
    if (!ran) return false;
    c.Take(';');
    return true;
}

bool RunAmpersand(Cursor& c, ModemSettings& s, ModemSettings& stored, AtOutcome& out) {
    switch (c.Next()) {
        case 'F':
            if (!InRange(c.Number(), 0, 0)) return false;
            s = gFactorySettings(s.Speed);
            return true;
        case 'W':
            if (!InRange(c.Number(), 0, 0)) return false;
            stored = gStoredPart(s, stored);
            out.ProfileStored = true;
            return true;
        case 'D': {
            auto v = c.Number();
            if (!InRange(v, 0, 2)) return false;
            s.DtrMode = static_cast<int>(*v);
            return true;
        }
        default:
            return false;
    }
}

bool SetFlag(Cursor& c, bool& flag) {
    auto v = c.Number();
    if (!InRange(v, 0, 1)) return false;
    flag = *v == 1;
    return true;
}

bool SetLevel(Cursor& c, int& level, uint32_t high) {
    auto v = c.Number();
    if (!InRange(v, 0, high)) return false;
    level = static_cast<int>(*v);
    return true;
}

bool RunOne(Cursor& c, ModemSettings& s, ModemSettings& stored, SimCard& card, const AtRules& rules,
            AtOutcome& out) {
    switch (c.Next()) {
        case 'E': return SetFlag(c, s.Echo);
        case 'V': return SetFlag(c, s.Verbose);
        case 'Q': return SetFlag(c, s.Quiet);
        case 'X': return SetLevel(c, s.ResultSet, 4);
        case 'L': return SetLevel(c, s.Loudness, 3);
        case 'Z':
            if (!InRange(c.Number(), 0, 0)) return false;
            s = gStoredPart(stored, gFactorySettings(s.Speed));
            return true;
        case 'S': return RunRegister(c, s, rules, out);
        case 'D': return RunDial(c, out);
        case 'A': out.Call = CallAction::Answer; return true;
        case 'H': return SetCall(c, out, CallAction::HangUp);
        case 'O': return SetCall(c, out, CallAction::Online);
        case '&': return RunAmpersand(c, s, stored, out);
        case '+': return RunExtended(c, s, card, rules, out);
        default: return false;
    }
}

}  // namespace

bool gCommandBody(std::string_view line, std::string_view& body) {
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if ((line[i] == 'A' && line[i + 1] == 'T') || (line[i] == 'a' && line[i + 1] == 't')) {
            body = line.substr(i + 2);
            return true;
        }
    }
    return false;
}

AtOutcome gRunCommands(std::string_view body, ModemSettings& current, ModemSettings& stored, SimCard& card,
                       const AtRules& rules) {
    AtOutcome out;
    Cursor c(body);
    while (!c.AtEnd()) {
        if (!RunOne(c, current, stored, card, rules, out)) {
            out.Ok = false;
            break;
        }
    }
    return out;
}

std::string gFormatReply(const AtOutcome& outcome, const ModemSettings& s) {
    const std::string crlf{static_cast<char>(s.LineEnd), static_cast<char>(s.LineFeed)};
    std::string reply;
    for (const auto& text : outcome.Information) {
        if (s.Verbose) reply += crlf;
        reply += text + crlf;
    }
    if (!s.Quiet && outcome.CmeError >= 0) {
        // An extended error is a text in either form.
        reply += (s.Verbose ? crlf : std::string()) + "+CME ERROR: " +
                 (outcome.CmeText.empty() ? std::to_string(outcome.CmeError) : outcome.CmeText) + crlf;
    } else if (!outcome.Pending) {
        reply += gFormatResult(outcome.Result ? *outcome.Result : outcome.Ok ? ResultOk : ResultError, s);
    }
    return reply;
}

std::string gFormatResult(const ResultCode& code, const ModemSettings& s) {
    return s.Quiet ? std::string() : gFormatUnsolicited(code.Verbose, code.Numeric, s);
}

std::string gFormatUnsolicited(std::string_view verboseText, int numericCode, const ModemSettings& s) {
    const std::string crlf{static_cast<char>(s.LineEnd), static_cast<char>(s.LineFeed)};
    if (s.Verbose) return crlf + std::string(verboseText) + crlf;
    return std::to_string(numericCode) + static_cast<char>(s.LineEnd);
}

std::string gImeiFor(int comNumber) {
    std::string digits = std::to_string(comNumber % 1000000);
    digits = "35199800" + std::string(6 - digits.size(), '0') + digits;
    // Luhn: every second digit from the right of the fourteen is doubled.
    int sum = 0;
    for (size_t i = 0; i < digits.size(); ++i) {
        int d = digits[digits.size() - 1 - i] - '0';
        if (i % 2 == 0) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        sum += d;
    }
    return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}
