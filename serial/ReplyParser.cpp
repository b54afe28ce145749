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
