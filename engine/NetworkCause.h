#pragma once
// The network's reason for a data call that failed or ended, as the calling modem tells
// it: "+CAUSE: <location>:<reason>" before the result code (ATS18 odd), or
// "+CEER: <location>,<reason>,<ssRelease>" when asked. Location 8 gives the call control
// reasons of the GSM network (3GPP TS 24.008, table 10.5.123), which the rows name. No I/O.

#include <optional>
#include <string>
#include <string_view>

#include "engine/CallOutcome.h"

struct NetworkCause {
    std::string Text;           // the modem's line as it came
    std::optional<int> Reason;  // none when the line cannot be read as location 8 and a reason
};

// The cause a line tells; none when the line is no cause line, or one that has nothing to
// report (+CEER: 0,0,0).
std::optional<NetworkCause> gNetworkCause(std::string_view line);

// The network refused the bearer the calling modem asked for: another one may pass.
bool gBearerRefused(int reason);

// The end and the row for reason, where the call's own end and row were today's; the row
// ends with the number.
struct CauseEnd {
    CallResult End;
    std::string Row;
    std::string Note;  // a row before it: the number of a reason that has no row of its own
};
CauseEnd gCauseEnd(int reason, CallResult today, const std::string& todayRow);

// The two common bearers of a data call to a meter: 7 is 9600 bit/s V.32, 71 is V.110.
inline constexpr int BearerV32 = 7;
inline constexpr int BearerV110 = 71;
// The command that sets a bearer, with its modulation where known: "AT+CBST=71,0,1 (V.110)".
std::string gBearerText(int speed);
