#include "engine/SignalValue.h"

#include <algorithm>
#include <cstring>

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

DbmSpan gSignalBand(const char* word) {
    int first = -1, last = -1;
    for (int csq = 0; csq <= 31; ++csq) {
        if (std::strcmp(gSignalWord(csq), word) != 0) continue;
        if (first < 0) first = csq;
        last = csq;
    }
    if (first < 0) return {};
    // The words' own rule decides, so the bands follow any change to it.
    return {LowestDbm + 2 * first - 1.0, LowestDbm + 2 * last + 1.0};
}

uint32_t gSignalColour(const SignalReading& reading) {
    if (!reading.Dbm) return 0x909090;
    const std::string_view word = gSignalWord(reading.Csq);
    if (word == "отличный") return 0x1e9e3c;
    if (word == "хороший") return 0x7cc02c;
    if (word == "средний") return 0xe8b410;
    if (word == "слабый") return 0xe06c10;
    return 0xc82020;
}
