#pragma once
// The choices the window offers of its own, beside the engine's models and speeds: the
// COM ports by number and the two places a modem can be connected at. Every front end
// fills its selectors with these through its Toolkit, so the engine sees the same lists.

#include <string>

#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

inline constexpr int ComPortCount = 32;
inline constexpr const char* PlaceAtDevice = "Подключение к прибору";
inline constexpr const char* PlaceAtComputer = "Подключение к компьютеру";
// The window menu's item that runs the modem check, beside About.
inline constexpr const char* CheckModemItem = "Проверить модем";
// The item beside it that opens the signal meter.
inline constexpr const char* SignalMeterItem = "Уровень сигнала…";

// COM1..COM32 with comIndex selected.
inline void gFillComChoices(Toolkit& window, int comIndex) {
    for (int n = 1; n <= ComPortCount; ++n) window.ComboAppend(ControlId::ComSelector, "COM" + std::to_string(n));
    window.ComboSelect(ControlId::ComSelector, comIndex);
}

// The COM ports, then the places, indexed as the stored IsLocal. A window whose layout
// carries the places fills only the COM ports.
inline void gFillWindowChoices(Toolkit& window, int comIndex) {
    gFillComChoices(window, comIndex);
    window.ComboAppend(ControlId::PlaceSelector, PlaceAtDevice);
    window.ComboAppend(ControlId::PlaceSelector, PlaceAtComputer);
}
