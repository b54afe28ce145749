#pragma once
// One reading of the signal job as every front end shows it: the level in dBm (none when
// the modem reports 99, no signal), the check's words for it and the registration state.
// The job's last call carries Ended and the summary row instead of a new reading.

#include <cstdint>
#include <optional>
#include <string>

struct SignalReading {
    int Csq = 99;               // the modem's level, 0 to 31 or 99
    std::optional<int> Dbm;     // -113 + 2 * Csq; none for 99
    std::string Words;          // "хороший", "слабый", ... or "нет сигнала"
    std::string Registration;   // "домашняя сеть", "роуминг", ...
    uint32_t Millis = 0;        // since the job's first reading
    bool Ended = false;         // the job is over; the fields above keep the last reading
    std::string Summary;        // with Ended: the summary row, empty when nothing was read
};
