#include "engine/SignalValue.h"

#include <algorithm>

#include "engine/CheckRows.h"

std::optional<SignalReading> gSignalReading(const InfoReply& csq, const InfoReply& creg) {
    const std::optional<int> level = gCsqLevel(csq);
    if (!level) return std::nullopt;
    SignalReading reading;
    reading.Csq = *level;
    if (*level == 99) {
        reading.Words = SignalMsg::NoSignal;
    } else {
        reading.Dbm = -113 + 2 * *level;
        reading.Words = gSignalWord(*level);
    }
    reading.Registration = gRegistrationState(creg);
    return reading;
}

std::string gSignalSummary(int readings, std::vector<int> dbms) {
    std::string row = "Измерение завершено: показаний " + std::to_string(readings);
    if (dbms.empty()) return row + "; уровень сигнала не получен";
    std::sort(dbms.begin(), dbms.end());
    const size_t n = dbms.size();
    // Levels are odd numbers of dBm, so the mean of the two middle ones is whole.
    const int median = n % 2 ? dbms[n / 2] : (dbms[n / 2 - 1] + dbms[n / 2]) / 2;
    return row + "; мин. " + std::to_string(dbms.front()) + " дБм, медиана " + std::to_string(median) +
           " дБм, макс. " + std::to_string(dbms.back()) + " дБм";
}
