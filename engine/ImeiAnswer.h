#pragma once
// Reading the IMEI out of the answer to AT+CGSN: modems write it bare, quoted, after a
// "+CGSN:" name, or followed by their serial number ("356936001568843,NL2A62Z0N5"). No I/O.

#include <optional>
#include <string>
#include <string_view>

// The 15 digits of the IMEI in an information line; none when the line holds no IMEI.
std::optional<std::string> gImei(std::string_view line);
