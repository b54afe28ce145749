#pragma once
// The final result codes that end a modem's answer: those of V.250 and 3GPP TS 27.007,
// and the vendors' own forms of an error. Every code but OK is the modem's refusal, in its
// own words; none of them says anything of the port. No I/O.

#include <optional>
#include <string>
#include <string_view>

#include "serial/SerialPort.h"

struct FinalCode {
    ReplyCode Code = Ok;     // Ok for OK, ModemError for every other code
    int CmeError = -1;       // the number of a +CME ERROR, else -1
    std::string Words;       // the code in the modem's words; a numeric one in its verbose words
};

// The code of a line in verbose form; none when the line is not a final result code.
std::optional<FinalCode> gVerboseFinal(std::string_view line);

// The code of a line of digits ended by CR alone, the numeric form; none for any other line.
std::optional<FinalCode> gNumericFinal(std::string_view line);

// Whether the line is an error of 3GPP TS 27.007 in words (+CMEE): "+CME ERROR: 10",
// "+CMS ERROR: 500", or a maker's "+EXT ERROR: 3"; such a line ends with CR LF even
// after ATV0.
bool gIsErrorInWords(std::string_view line);
