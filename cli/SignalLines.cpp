#include "cli/SignalLines.h"

#include <cstdio>

namespace {
constexpr int BarCells = 20;
constexpr int TopLevel = 31;
}  // namespace

std::string gSignalMeterLine(const SignalReading& r) {
    const int filled = r.Dbm ? (r.Csq * BarCells + TopLevel / 2) / TopLevel : 0;
    std::string line = "[";
    for (int i = 0; i < BarCells; ++i) line += i < filled ? "█" : "░";
    line += "] ";
    if (r.Dbm) line += std::to_string(*r.Dbm) + " дБм, ";
    return line + r.Words + ", " + r.Registration;
}

std::string gSignalDataLine(const SignalReading& r, std::tm t) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return std::string(time) + ";" + (r.Dbm ? std::to_string(*r.Dbm) : std::string()) + ";" + std::to_string(r.Csq) +
           ";" + r.Registration;
}
