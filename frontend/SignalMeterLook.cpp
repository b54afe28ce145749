#include "frontend/SignalMeterLook.h"

#include "engine/SignalValue.h"
#include "frontend/AboutText.h"

std::string gSignalMeterTitle() { return std::string(ProductName) + ": уровень сигнала"; }

int gSignalBarLength(const SignalReading& reading, int full) {
    return reading.Dbm ? full * (reading.Csq + 1) / 32 : 0;
}

std::string gSignalFigureText(const SignalReading& reading) {
    return reading.Dbm ? std::to_string(*reading.Dbm) + " дБм" : std::string(SignalMsg::NoSignal);
}

std::string gSignalWordsText(const SignalReading& reading) { return reading.Dbm ? reading.Words : std::string(); }

std::string gSignalRegistrationText(const SignalReading& reading) { return "Регистрация: " + reading.Registration; }
