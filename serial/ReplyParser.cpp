#include "serial/ReplyParser.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

// A numeric result code: a few digits, but not 2, the unsolicited RING. An information
// line of digits alone, an IMEI, is far longer than any result code.
bool IsNumericFinal(std::string_view line) {
    if (line.empty() || line.size() > 3 || line == "2") return false;
    for (char c : line)
        if (c < '0' || c > '9') return false;
    return true;
}

// The verdict of a final result code in verbose form; none when the line is not one.
bool VerboseFinal(std::string_view line, InfoReply& reply) {
    if (line == "OK") {
        reply.Code = Ok;
    } else if (line == "ERROR" || StartsWith(line, "+CMS ERROR:")) {
        reply.Code = ModemError;
    } else if (StartsWith(line, "+CME ERROR:")) {
        reply.Code = ModemError;
        const std::string number(line.substr(11));
        char* end = nullptr;
        const long code = std::strtol(number.c_str(), &end, 10);
        reply.CmeError = end != number.c_str() && *end == '\0' && code >= 0 && code < 100000 ? static_cast<int>(code) : -1;
    } else if (line == "NO CARRIER" || line == "BUSY" || line == "NO ANSWER" || line == "NO DIALTONE") {
        reply.Code = Failed;
    } else {
        return false;
    }
    return true;
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
        scan.Complete = n >= 2 && reply[n - 1] == '\r';
    }
    return scan;
}

ReplyCode gClassifyReply(const char* reply, int length, ReplyForm form, const char* expected,
                         const char* alternative) {
    if (expected && FindBytes(reply, length, expected) >= 0) return Ok;
    if (alternative && FindBytes(reply, length, alternative) >= 0) return Ok;
    const char* error = form == ReplyForm::Verbose ? "\r\nERROR\r\n" : "4\r";
    return FindBytes(reply, length, error) >= 0 ? ModemError : Failed;
}

InfoReply gParseInfoReply(const char* gathered, int count, const char* command) {
    InfoReply reply;
    const int start = ReplyStart(gathered, count, command);
    const std::string_view bytes(gathered + start, static_cast<size_t>(count - start));
    if (bytes.empty() || (bytes.back() != '\r' && bytes.back() != '\n')) return reply;

    std::vector<std::string_view> lines;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        if (end > at) lines.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    if (lines.empty()) return reply;
    const std::string_view last = lines.back();
    // A verbose code ends with CR LF; a numeric one with CR alone.
    if (bytes.back() == '\n') {
        reply.Complete = VerboseFinal(last, reply);
    } else if (IsNumericFinal(last)) {
        reply.Complete = true;
        reply.Code = last == "0" ? Ok : last == "4" ? ModemError : Failed;
    }
    if (!reply.Complete) {
        reply.Code = TimedOut;
        return reply;
    }
    lines.pop_back();
    for (const std::string_view line : lines)
        if (line != "RING") reply.Lines.emplace_back(line);
    return reply;
}
