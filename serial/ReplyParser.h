#pragma once
// Judging the modem's answer from the bytes gathered so far: where it begins after the
// echo of the command, whether it is complete, and what it says. No I/O, no state.
// The modem's NUL bytes and its unsolicited result codes (URC, serial/Urc.h) are taken
// out first (gSetAside), so that the rest of the judgement sees the reply alone.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/SerialPort.h"
#include "serial/Urc.h"

// A verbose reply is framed by CR LF ("\r\nOK\r\n"); a numeric one is a code ended by CR ("0\r").
enum class ReplyForm { Verbose, Numeric };

struct ReplyScan {
    bool Complete = false;
    ReplyForm Form = ReplyForm::Numeric;
    int Start = 0;   // first byte after the echo, 0 when no echo was found
    int Length = 0;  // bytes from Start to the end of what was gathered
};

// The gathered bytes without NULs and without the lines the modem sent unasked, and
// those lines in the order they came.
struct SetAside {
    std::string Bytes;
    std::vector<UnaskedLine> Lines;
};

// Takes the NUL bytes and the URCs out of the count gathered bytes. A line is not set
// aside when the question asks for it: when it answers command (a "+CREG: 0,1" to
// "AT+CREG?\r") or is named by expected or alternative (either may be null), as a job
// waiting for "\r\nRING\r\n" names it.
// What is being read decides which URCs are known: the table's alone in a reply, which may
// be any line; in the information that answers a question, also any line in the shape of
// a URC (gHasUrcShape) that the question does not ask for, whoever its maker.
enum class Reading { Reply, Information };

SetAside gSetAside(const char* gathered, int count, const char* command, const char* expected = nullptr,
                   const char* alternative = nullptr, Reading reading = Reading::Reply);

// Finds the echo of command (none when command is null) in the count gathered bytes and
// tells whether what follows it is a complete reply, and in which form.
ReplyScan gScanReply(const char* gathered, int count, const char* command);

// The verdict on a complete reply: expected, then alternative (either may be null), then
// the error reply of the reply's form: ERROR, or in the verbose form the modem's own
// words in a +CME ERROR or +CMS ERROR line.
ReplyCode gClassifyReply(const char* reply, int length, ReplyForm form, const char* expected,
                         const char* alternative);

// An information reply ("\r\n+CSQ: 17,99\r\n\r\nOK\r\n" or, numeric, "+CSQ: 17,99\r\n0\r"):
// complete once a final result code has come, so that a read ending between two lines
// does not cut it short; lines after the code (an unsolicited +CMTI after OK) are not
// part of it.
// What may still come after a complete information reply and change it.
enum class MoreMayFollow {
    Nothing,
    Lf,     // the LF of a digit line ended by CR: a line of information, not a code
    Final,  // the final code of an answer that some modems send without one
};

struct InfoReply {
    bool Complete = false;
    // The reader waits a moment for it (the time a LF takes at the line's speed, or a
    // read's time for a final code) and judges again when bytes come.
    MoreMayFollow Awaiting = MoreMayFollow::Nothing;
    // Ok for OK; ModemError for every other final code, the modem's refusal. The reader
    // sets TimedOut or Stopped when the reply never completed, Failed when the port did.
    ReplyCode Code = TimedOut;
    int CmeError = -1;               // the number of a +CME ERROR result, else -1
    std::string Final;               // the final code in the modem's words (serial/FinalCode.h),
                                     // or the answer that came without one
    std::vector<std::string> Lines;  // the information, one text a line, without empty lines
};

// Finds the echo of command (none when command is null) in the count gathered bytes and
// reads what follows it as an information reply.
InfoReply gParseInfoReply(const char* gathered, int count, const char* command);
