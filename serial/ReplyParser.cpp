#include "serial/ReplyParser.h"

#include <cstring>

int FindBytes(const char* data, int count, const char* text) {
    if (count <= 0) return -1;
    const int length = static_cast<int>(std::strlen(text));
    for (int i = 0; i + length <= count; ++i) {
        if (std::memcmp(data + i, text, static_cast<size_t>(length)) == 0) return i;
    }
    return -1;
}

ReplyScan gScanReply(const char* gathered, int count, const char* command) {
    ReplyScan scan;
    const int echo = command ? FindBytes(gathered, count, command) : -1;
    if (echo >= 0) scan.Start = echo + static_cast<int>(std::strlen(command));
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
