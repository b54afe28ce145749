#include "serial/ReplyParser.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "serial/FinalCode.h"

int FindBytes(const char* data, int count, const char* text) {
    if (count <= 0) return -1;
    const int length = static_cast<int>(std::strlen(text));
    for (int i = 0; i + length <= count; ++i) {
        if (std::memcmp(data + i, text, static_cast<size_t>(length)) == 0) return i;
    }
    return -1;
}

namespace {

// The first byte after the echo of command, 0 when there is none.
int ReplyStart(const char* gathered, int count, const char* command) {
    const int echo = command ? FindBytes(gathered, count, command) : -1;
    return echo >= 0 ? echo + static_cast<int>(std::strlen(command)) : 0;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The lines the catalogue's modems send unasked. A text ending in ':' or a space begins a
// line; any other is the whole line.
//   ^SYSSTART: started and ready, not sent under autobaud (MC55 AT Command Set, ^SYSSTART);
//     "^SYSSTART AIRPLANE MODE" and the like on later models.
//   ^SBC: and ^SHUTDOWN: sent without being enabled (TC35i AT Command Set, ^SBC, ^SMSO).
//   RDY, +CFUN:, +CPIN:, Call Ready, SMS Ready: a SIM800-class modem at power-on with a
//     fixed rate, the last two at unexpected times (SIM800 Hardware Design).
//   RING is the numeric code 2 (ITU V.250, result codes); +CRING, +CLIP, +CMTI, +CREG and
//     +CGREG are the unsolicited forms of 3GPP TS 27.007.
// The answer to AT+CREG? or AT+CGREG? begins with <n>,<stat>; the unsolicited form is
// <stat> alone or followed by a quoted <lac> (3GPP TS 27.007, +CREG, +CGREG), so that
// "+CREG: 2" arriving with the answer is not taken for it.
bool IsRegistrationAnswer(std::string_view line) {
    const size_t comma = line.find(',');
    return comma != std::string_view::npos && comma + 1 < line.size() && line[comma + 1] != '"';
}

struct UnaskedEntry {
    std::string_view Text;
    Unasked Kind;
    bool (*IsAnswer)(std::string_view line) = nullptr;  // none: any line of the asked name is
};

constexpr UnaskedEntry UnaskedTable[] = {
    {"^SYSSTART", Unasked::Quiet},
    {"^SYSSTART ", Unasked::Quiet},
    {"^SBC:", Unasked::Undervoltage},
    {"^SHUTDOWN", Unasked::Shutdown},
    {"RDY", Unasked::Quiet},
    {"+CFUN:", Unasked::Quiet},
    {"+CPIN:", Unasked::Quiet},
    {"Call Ready", Unasked::Quiet},
    {"SMS Ready", Unasked::Quiet},
    {"RING", Unasked::Quiet},
    {"+CRING:", Unasked::Quiet},
    {"+CLIP:", Unasked::Quiet},
    {"+CMTI:", Unasked::Quiet},
    {"+CREG:", Unasked::Quiet, IsRegistrationAnswer},
    {"+CGREG:", Unasked::Quiet, IsRegistrationAnswer},
};

// RING in the numeric form: the code alone, ended by CR.
constexpr std::string_view NumericRing = "2";

const UnaskedEntry* FindUnasked(std::string_view line) {
    for (const UnaskedEntry& entry : UnaskedTable) {
        const char last = entry.Text.back();
        if (last == ':' || last == ' ' ? StartsWith(line, entry.Text) : line == entry.Text) return &entry;
    }
    return nullptr;
}

}  // namespace

std::optional<Unasked> gUnaskedKind(std::string_view line) {
    if (const UnaskedEntry* entry = FindUnasked(line)) return entry->Kind;
    return std::nullopt;
}

namespace {

// Whether the bytes hold a line of the asked name in the answer's own form: only then is a
// line of that name in the unsolicited form set aside, since a modem may answer in the
// unsolicited form alone ("+CREG: 5", "+CREG: 0011,"0001","0010",000").
bool HoldsAnswer(std::string_view bytes, const std::string& answer) {
    const UnaskedEntry* entry = answer.empty() ? nullptr : FindUnasked(answer);
    if (!entry || !entry->IsAnswer) return false;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        const std::string_view line = bytes.substr(at, end - at);
        if (StartsWith(line, answer) && entry->IsAnswer(line)) return true;
        at = end + 1;
    }
    return false;
}

// The prefix of the answer to an extended command: "+CREG:" for "AT+CREG?\r", "^SBC:"
// for "AT^SBC?\r"; empty for any other command.
std::string AnswerPrefix(const char* command) {
    if (!command) return {};
    const std::string_view text(command);
    if (!StartsWith(text, "AT") || text.size() < 4 || (text[2] != '+' && text[2] != '^')) return {};
    size_t end = 3;
    while (end < text.size() && ((text[end] >= 'A' && text[end] <= 'Z') || (text[end] >= 'a' && text[end] <= 'z')))
        ++end;
    return std::string(text.substr(2, end - 2)) + ':';
}

// Where the first +CME ERROR or +CMS ERROR line begins (3GPP TS 27.007, +CMEE), or -1.
int ErrorWords(const char* reply, int length) {
    int first = -1;
    for (const char* words : {"+CME ERROR:", "+CMS ERROR:"}) {
        for (int from = 0; from < length;) {
            const int at = FindBytes(reply + from, length - from, words);
            if (at < 0) break;
            const int index = from + at;
            if (index == 0 || reply[index - 1] == '\r' || reply[index - 1] == '\n') {
                if (first < 0 || index < first) first = index;
                break;
            }
            from = index + 1;
        }
    }
    return first;
}

bool Named(const char* text, std::string_view line) {
    return text && std::string_view(text).find(line) != std::string_view::npos;
}

}  // namespace

SetAside gSetAside(const char* gathered, int count, const char* command, const char* expected,
                   const char* alternative) {
    SetAside result;
    // A BREAK before a delayed line arrives as NUL bytes (TC35i AT Command Set, URCs).
    for (int i = 0; i < count; ++i)
        if (gathered[i] != '\0') result.Bytes += gathered[i];

    const std::string answer = AnswerPrefix(command);
    std::string& bytes = result.Bytes;
    const bool answered = HoldsAnswer(bytes, answer);
    for (size_t at = 0; at < bytes.size();) {
        const bool lineStart = at == 0 || bytes[at - 1] == '\r' || bytes[at - 1] == '\n';
        // Verbose: "\r\n" text "\r\n". Numeric: text "\r\n", or RING's code and CR.
        const size_t lead = bytes.compare(at, 2, "\r\n") == 0 ? 2 : 0;
        const size_t textEnd = bytes.find_first_of("\r\n", at + lead);
        if (!lineStart || textEnd == std::string::npos || textEnd == at + lead) {
            ++at;
            continue;
        }
        const std::string_view line(bytes.data() + at + lead, textEnd - at - lead);
        const bool endsLine = bytes.compare(textEnd, 2, "\r\n") == 0;
        // A lone CR at the end may yet be followed by its LF: the line is set aside now,
        // and the next look at the bytes judges them again from the start.
        const bool crOnly = bytes[textEnd] == '\r' && (textEnd + 1 == bytes.size() || bytes[textEnd + 1] != '\n');
        // Only a numeric line follows a CR alone; after CR LF the bytes may be a verbose
        // line whose LF is still on its way.
        const bool atEnd = textEnd + 1 == bytes.size() && (at == 0 || bytes[at - 1] == '\r');
        const UnaskedEntry* entry = FindUnasked(line);
        const bool ring = lead == 0 && line == NumericRing && crOnly;
        const bool asked = !answer.empty() && StartsWith(line, answer) &&
                           (!entry || !entry->IsAnswer || entry->IsAnswer(line) || !answered);
        const bool wanted = asked || Named(expected, line) || Named(alternative, line);
        if (wanted || (!entry && !ring) || (!ring && !endsLine && !(lead == 0 && crOnly && atEnd))) {
            ++at;
            continue;
        }
        result.Lines.push_back({entry ? entry->Kind : Unasked::Quiet, std::string(ring ? "RING" : line)});
        bytes.erase(at, textEnd + (endsLine ? 2 : 1) - at);
    }
    return result;
}

ReplyScan gScanReply(const char* gathered, int count, const char* command) {
    ReplyScan scan;
    scan.Start = ReplyStart(gathered, count, command);
    scan.Length = count - scan.Start;

    const char* reply = gathered + scan.Start;
    const int n = scan.Length;
    if (n >= 3 && reply[0] == '\r' && reply[1] == '\n') {
        // Once it opens with CR LF it can only end as a verbose reply.
        scan.Form = ReplyForm::Verbose;
        scan.Complete = reply[n - 2] == '\r' && reply[n - 1] == '\n';
    } else {
        scan.Form = ReplyForm::Numeric;
        // Error words end like an information line, with CR LF, even after ATV0.
        const int words = ErrorWords(reply, n);
        const bool wordsEnded =
            words >= 0 && std::string_view(reply, static_cast<size_t>(n)).find("\r\n", static_cast<size_t>(words)) ==
                              static_cast<size_t>(n - 2);
        scan.Complete = (n >= 2 && reply[n - 1] == '\r') || wordsEnded;
    }
    return scan;
}

ReplyCode gClassifyReply(const char* reply, int length, ReplyForm form, const char* expected,
                         const char* alternative) {
    // The modem's error in words is a final result code: nothing after it belongs to the
    // reply, and nothing inside it is a match ("+CME ERROR: 10\r" holds "0\r").
    const int words = ErrorWords(reply, length);
    const int before = words >= 0 ? words : length;
    if (expected && FindBytes(reply, before, expected) >= 0) return Ok;
    if (alternative && FindBytes(reply, before, alternative) >= 0) return Ok;
    if (words >= 0) return ModemError;
    const char* error = form == ReplyForm::Verbose ? "\r\nERROR\r\n" : "4\r";
    return FindBytes(reply, length, error) >= 0 ? ModemError : Failed;
}

InfoReply gParseInfoReply(const char* gathered, int count, const char* command) {
    InfoReply reply;
    const int start = ReplyStart(gathered, count, command);
    const std::string_view bytes(gathered + start, static_cast<size_t>(count - start));
    // Once it opens with CR LF the reply is verbose: its lines end with CR LF, and a line
    // of digits in it is information (a model "88"), never a numeric result code, even
    // while its LF has yet to come.
    const bool verbose = bytes.substr(0, 2) == "\r\n";
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string_view::npos) break;
        const std::string_view line = bytes.substr(at, end - at);
        const bool crLast = bytes[end] == '\r' && end + 1 == bytes.size();
        const bool crAlone = bytes[end] == '\r' && (crLast || bytes[end + 1] != '\n');
        at = end + (bytes[end] == '\r' && !crAlone ? 2 : 1);
        std::optional<FinalCode> final = !verbose && crAlone ? gNumericFinal(line) : std::nullopt;
        // A line of text whose LF may still come is not over yet.
        if (crLast && !final) break;
        if (line.empty()) continue;
        if (!final) final = gVerboseFinal(line);
        if (final) {
            reply.Complete = true;
            reply.Code = final->Code;
            reply.CmeError = final->CmeError;
            reply.Final = std::move(final->Words);
            break;
        }
        if (line != "RING") lines.push_back(line);
    }
    if (reply.Complete) reply.Lines.assign(lines.begin(), lines.end());
    return reply;
}
