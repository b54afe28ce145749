#pragma once
// What the catalogue's real modems do beyond the textbook, each switched on by an option
// of its own: a start-up time and start-up lines, lines sent unasked, a BREAK before a
// delayed line, errors in +CMEE's forms, a slow GPRS attach on ATS0, and deafness after
// AT+IPR's result (their options are rows of sim/ModemOptions). The pure part: formats
// and error texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ModemSettings.h"

struct RealBehaviour {
    // Deaf for this long after the other side first speaks, as a modem switched on with
    // the job is; StartLines then go out at its interface speed, but not under autobaud.
    uint32_t BootMs = 0;
    std::vector<std::string> StartLines;
    // Urc goes out while every UrcEvery-th command line runs: just before its result, or
    // with UrcBreak a NUL at once and the line after the result.
    std::string Urc;
    int UrcEvery = 0;
    bool UrcBreak = false;
    // +CMEE mode, kept by AT&F: 0 ERROR, 1 +CME ERROR: n, 2 +CME ERROR: text; -1 errors as
    // the plain virtual modem gives them.
    int Cmee = -1;
    // ATS0=n with n > 0 attaches to GPRS first, taking this long; AttachFails answers an
    // error, with S0 set all the same.
    uint32_t AttachMs = 0;
    bool AttachFails = false;
    // Bytes that arrive this long after AT+IPR's result are lost.
    uint32_t IprSettleMs = 0;
};

// A text line sent unasked, in the form of s: framed by S3 S4 when verbose, followed by
// them when numeric, as information text is.
std::string gFormatUnaskedText(std::string_view text, const ModemSettings& s);

// The words of a +CME ERROR number (3GPP TS 27.007, +CMEE).
std::string gCmeText(int code);

// Whether a command line's body holds ATS0=n with n > 0.
bool gStartsAttach(std::string_view body);
