#pragma once
// The choices the window offers of its own, beside the engine's models and speeds: the
// COM ports by number and the two places a modem can be connected at. Every front end
// fills its selectors with these through its Toolkit, so the engine sees the same lists.
// Beside them, the texts of the small dialogs that both windows show.

#include <string>

#include "frontend/MainWindowLayout.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

inline constexpr int ComPortCount = 32;
// Windows numbers ports up to COM256; the console reaches every one of them, the windows
// list only the 32 their layout has room for.
inline constexpr int HighestComNumber = 256;
inline constexpr const char* PlaceAtDevice = KX_PLACE_AT_DEVICE;
inline constexpr const char* PlaceAtComputer = KX_PLACE_AT_COMPUTER;
// The Cancel button of the small dialogs (PIN, test call).
inline constexpr const char* CancelButtonText = "Отмена";
// The texts of the small dialog that asks for the SIM card's PIN.
inline constexpr const char* SimPinCaption = "PIN-код SIM-карты";
inline constexpr const char* SimPinPrompt = "PIN-код SIM-карты (4–8 цифр):";
// The texts of the test call's dialog.
inline constexpr const char* TestCallCaption = "Пробный звонок";
inline constexpr const char* TestCallNumberPrompt = "Номер телефона модема прибора:";
inline constexpr const char* TestCallPortPrompt = "СОМ порт модема прибора в мастерской:";
inline constexpr const char* TestCallNoPort = "Нет: модем уже у прибора";
inline constexpr const char* TestCallRestart = "Перезапустить модем прибора перед звонком";

// COM1..COMcount with comIndex selected.
inline void gFillComChoices(Toolkit& window, int comIndex, int count = ComPortCount) {
    for (int n = 1; n <= count; ++n) window.ComboAppend(ControlId::ComSelector, "COM" + std::to_string(n));
    window.ComboSelect(ControlId::ComSelector, comIndex);
}

// The COM ports, then the places, indexed as the stored IsLocal. A window whose layout
// carries the places fills only the COM ports.
inline void gFillWindowChoices(Toolkit& window, int comIndex, int comCount = ComPortCount) {
    gFillComChoices(window, comIndex, comCount);
    window.ComboAppend(ControlId::PlaceSelector, PlaceAtDevice);
    window.ComboAppend(ControlId::PlaceSelector, PlaceAtComputer);
}

// A console shows no list: the numbers up to the chosen one give the engine its name.
inline void gFillConsoleChoices(Toolkit& window, int com) { gFillWindowChoices(window, com - 1, com); }
