#include "serial/ReplyParser.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "serial/FinalCode.h"
#include "serial/LineSplitter.h"
#include "serial/Urc.h"

int FindBytes(const char* data, int count, const char* text) {
    if (count <= 0) return -1;
    const int length = static_cast<int>(std::strlen(text));
    for (int i = 0; i + length <= count; ++i) {
        if (std::memcmp(data + i, text, static_cast<size_t>(length)) == 0) return i;
    }
    return -1;
}

namespace {

// Whether the bytes open with the echo of command damaged on the line ("QT+IPR=9600\r"
// for "AT+IPR=9600\r"): as long as the command, ended by its CR, and at most a quarter
// of its bytes wrong.
bool OpensWithDamagedEcho(const char* gathered, int count, const char* command, int length) {
    if (length < 2 || count < length || gathered[length - 1] != command[length - 1]) return false;
    int wrong = 0;
    for (int i = 0; i + 1 < length; ++i) wrong += gathered[i] != command[i];
    return wrong * 4 <= length - 1;
}

// The first byte after the echo of command, 0 when there is none. The digits inside an
// echo, damaged or not, are never a result code.
int ReplyStart(const char* gathered, int count, const char* command) {
    if (!command) return 0;
    const int length = static_cast<int>(std::strlen(command));
    const int echo = FindBytes(gathered, count, command);
    if (echo >= 0) return echo + length;
    return OpensWithDamagedEcho(gathered, count, command, length) ? length : 0;
}

// The prefix of the answer to an extended command: "+CREG:" for "AT+CREG?\r", "^SBC:"
// for "AT^SBC?\r"; empty for any other command.
std::string AnswerPrefix(const char* command) {
    if (!command) return {};
    const std::string_view text(command);
    if (!text.starts_with("AT") || text.size() < 4 || (text[2] != '+' && text[2] != '^')) return {};
    size_t end = 3;
    while (end < text.size() && ((text[end] >= 'A' && text[end] <= 'Z') || (text[end] >= 'a' && text[end] <= 'z')))
        ++end;
    return std::string(text.substr(2, end - 2)) + ':';
}

// What a question expects, for telling its answer from the URCs around it.
struct Question {
    std::string Prefix;  // the answer's prefix, empty for a command without one
    // The bytes hold a line of the asked name in the answer's own form: only then is a line
    // of that name in the unsolicited form set aside, since a modem may answer in the
    // unsolicited form alone ("+CREG: 5", "+CREG: 0011,"0001","0010",000").
    bool AnswerFormCame = false;
    const char* Expected = nullptr;
    const char* Alternative = nullptr;
};

bool AnswerFormCame(std::string_view bytes, const std::string& prefix) {
    const UrcEntry* urc = prefix.empty() ? nullptr : gFindUrc(prefix);
    if (!urc || !urc->IsAnswerForm) return false;
    for (size_t at = 0; at < bytes.size();) {
        const ModemLine line = gLineAt(bytes, at);
        if (line.Text.starts_with(prefix) && urc->IsAnswerForm(line.Text)) return true;
        at = line.Next;
    }
    return false;
}

bool Names(const char* text, std::string_view line) {
    return text && std::string_view(text).find(line) != std::string_view::npos;
}

// Whether the line carries the prefix of the answer: "+CGSN:" or, as V.250 names the same
// question, "+GSN:".
bool HasAnswerPrefix(std::string_view line, const std::string& prefix) {
    if (prefix.empty()) return false;
    if (line.starts_with(prefix)) return true;
    return prefix.starts_with("+CG") && line.starts_with("+G") && line.substr(2).starts_with(prefix.substr(3));
}

// The line is what the question asks for: its answer, or a line the caller waits for.
bool IsAsked(const ModemLine& line, const Question& question) {
    if (Names(question.Expected, line.Text) || Names(question.Alternative, line.Text)) return true;
    if (!HasAnswerPrefix(line.Text, question.Prefix)) return false;
    const UrcEntry* urc = gFindUrc(line.Text);
    return !urc || !urc->IsAnswerForm || urc->IsAnswerForm(line.Text) || !question.AnswerFormCame;
}

// RING in the numeric form: the code 2 alone, ended by CR.
bool IsNumericRing(const ModemLine& line) {
    return !line.Opened && line.Text == "2" && (line.End == LineEnd::Cr || line.End == LineEnd::CrLast);
}

// An incoming call announced in the bytes (RING, +CRING, +CLIP) that ends before the
// answer leaves a NO CARRIER there: the call's end, not the answer (3GPP TS 27.007, +CRC,
// +CLIP; V.250, result codes).
bool AnnouncesCall(const ModemLine& line) {
    return IsNumericRing(line) || line.Text == "RING" || line.Text.starts_with("+CRING:") ||
           line.Text.starts_with("+CLIP:");
}

bool IsNoCarrier(const ModemLine& line) {
    const bool numeric = !line.Opened && (line.End == LineEnd::Cr || line.End == LineEnd::CrLast);
    return (line.Text == "NO CARRIER" && line.End == LineEnd::CrLf) || (numeric && line.Text == "3");
}

// The line has ended for certain. A CR alone at the end ends a numeric line only after
// another numeric one (or at the start): after CR LF the bytes may be a verbose line whose
// LF is still on its way. Such a line is set aside now, and the next look at the bytes
// judges them again from the start.
bool HasEnded(const ModemLine& line, std::string_view bytes) {
    if (line.End == LineEnd::CrLf) return true;
    const bool afterNumeric = line.Frame == 0 || bytes[line.Frame - 1] == '\r';
    return !line.Opened && line.End == LineEnd::CrLast && afterNumeric;
}

}  // namespace

SetAside gSetAside(const char* gathered, int count, const char* command, const char* expected,
                   const char* alternative, Reading reading) {
    SetAside result;
    std::string& bytes = result.Bytes;
    bytes = gWithoutNuls(std::string_view(gathered, static_cast<size_t>(count)));
    Question question{AnswerPrefix(command), false, expected, alternative};
    question.AnswerFormCame = AnswerFormCame(bytes, question.Prefix);
    bool callAnnounced = false;
    for (size_t at = 0; at < bytes.size();) {
        const ModemLine line = gLineAt(bytes, at);
        const bool ring = IsNumericRing(line);
        const UrcEntry* urc = gFindUrc(line.Text);
        const bool urcShaped = reading == Reading::Information && gHasUrcShape(line.Text);
        const bool urcLine = ring || ((urc || urcShaped) && HasEnded(line, bytes));
        const bool callEnd = callAnnounced && IsNoCarrier(line);
        if (line.Text.empty() || IsAsked(line, question) || !(urcLine || callEnd)) {
            at = line.Next;
            continue;
        }
        callAnnounced = !callEnd && (callAnnounced || AnnouncesCall(line));
        const std::string_view text = ring ? "RING" : callEnd ? "NO CARRIER" : line.Text;
        result.Lines.push_back({urc ? urc->Kind : Unasked::Quiet, std::string(text)});
        bytes.erase(line.Frame, line.Next - line.Frame);
    }
    return result;
}

namespace {

// Where the first line of a 27.007 error in words begins, or -1.
int ErrorWords(const char* reply, int length) {
    const std::string_view bytes(reply, static_cast<size_t>(length));
    for (size_t at = 0; at < bytes.size();) {
        const ModemLine line = gLineAt(bytes, at);
        if (gIsErrorInWords(line.Text)) return static_cast<int>(line.Text.data() - reply);
        at = line.Next;
    }
    return -1;
}

}  // namespace

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

namespace {

// The answers that some modems send without a final code after them: +CPIN: READY from
// Wavecom and Falcom modems (oFono's wavecom plugin takes "+CPIN:" for a final response).
struct AnswerWithoutFinal {
    std::string_view Command;
    std::string_view Prefix;
};
constexpr AnswerWithoutFinal AnswersWithoutFinal[] = {{"AT+CPIN?\r", "+CPIN:"}};

bool EndsWithoutFinal(const char* command, std::string_view line) {
    if (!command) return false;
    for (const AnswerWithoutFinal& answer : AnswersWithoutFinal)
        if (answer.Command == command && line.starts_with(answer.Prefix)) return true;
    return false;
}

}  // namespace

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
        const ModemLine line = gLineAt(bytes, at);
        if (line.End == LineEnd::Open) break;
        at = line.Next;
        const bool crAlone = line.End == LineEnd::Cr || line.End == LineEnd::CrLast;
        std::optional<FinalCode> final = !verbose && crAlone ? gNumericFinal(line.Text) : std::nullopt;
        // A line of text whose LF may still come is not over yet.
        if (line.End == LineEnd::CrLast && !final) break;
        if (line.Text.empty()) continue;
        if (!final) final = gVerboseFinal(line.Text);
        if (final) {
            reply.Complete = true;
            reply.Code = final->Code;
            reply.CmeError = final->CmeError;
            reply.Final = std::move(final->Words);
            // At ATV0 a line of information ends in CR LF: a code of digits whose CR came
            // last may yet be one.
            if (line.End == LineEnd::CrLast) reply.Awaiting = MoreMayFollow::Lf;
            break;
        }
        if (line.Text != "RING") lines.push_back(line.Text);
        if (line.End == LineEnd::CrLf && EndsWithoutFinal(command, line.Text)) {
            reply.Complete = true;
            reply.Code = Ok;
            reply.Final = line.Text;
            reply.Awaiting = MoreMayFollow::Final;
            break;
        }
    }
    if (reply.Complete) reply.Lines.assign(lines.begin(), lines.end());
    return reply;
}
