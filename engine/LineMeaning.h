#pragma once
// What a line from a modem means during a call, verbose or numeric (V0). Final result
// codes are read by serial/FinalCode alone; RING and ^SYSSTART, which end nothing, by the
// table of result codes (serial/ResultCodes.h). No I/O.

#include <string>
#include <string_view>

enum class LineKind {
    Other,       // an echo, an answer's information, data
    Ok,
    Connect,     // with or without its rate
    Ring,        // RING, or +CRING with the call's type
    NoCarrier,
    NoAnswer,
    Busy,
    Refusal,     // any other final code: ERROR, +CME ERROR, NO DIALTONE, COMMAND NOT SUPPORT...
    SysStart,    // the modem has started
};

struct LineMeaning {
    LineKind Kind = LineKind::Other;
    // A final code in the modem's words; a numeric one in its verbose words.
    std::string Words;
};

LineMeaning gLineMeaning(std::string_view line);

// Whether bytes received online end with the modem's NO CARRIER, after whatever data came
// before it on the same line: its verbose text or its numeric code, ended by CR or LF.
bool gEndsWithNoCarrier(std::string_view received);
