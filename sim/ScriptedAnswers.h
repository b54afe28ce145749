#pragma once
// Answers given word for word: a question the modem is told to answer with chosen bytes
// (a real modem's +CREG, +CPIN or IMEI as captured), in place of its own answer. The echo
// still follows the modem's settings. No I/O.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ScriptedAnswer {
    std::string Command;  // the command line without its line end, upper-cased: "AT+CREG?"
    std::string Bytes;    // what the modem sends after the echo
};

// Reads "AT+CREG?=\r\n+CREG: 2,1\r\n\r\nOK\r\n": the question up to the first '=', the
// bytes after it with \r, \n, \\ and \xHH written as in C. Empty on success.
std::string gParseScriptedAnswer(std::string_view text, ScriptedAnswer& answer);

// The bytes for a command line (without its line end), if it is one of the answers.
std::optional<std::string> gScriptedBytes(const std::vector<ScriptedAnswer>& answers, std::string_view line);
