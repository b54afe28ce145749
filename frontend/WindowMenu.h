#pragma once
// The items both windows add to the window menu (the native window's system menu, the Qt
// window's right-click menu) after a separator: About, then the runs. An item that starts
// a run is greyed while one is busy, since the worker takes one run at a time.

// The command each item sends, numbered as the system menu's commands are (the lowest four
// bits are the system's own).
enum class MenuCommand : unsigned {
    About = 16,
    CheckModem = 32,
    SignalMeter = 48,
    SimPin = 64,
    TestCall = 80,
};

struct WindowMenuItem {
    MenuCommand Command;
    const char* Text;
    // The item's name, by which the Qt window's tests find it.
    const char* Name;
    bool GreyedWhileBusy;
};

inline constexpr WindowMenuItem WindowMenuItems[] = {
    {MenuCommand::About, "&About...", "aboutAction", false},
    {MenuCommand::CheckModem, "Проверить модем", "checkModemAction", true},
    {MenuCommand::SignalMeter, "Уровень сигнала…", "signalMeterAction", true},
    {MenuCommand::SimPin, "Снять PIN-код SIM-карты…", "simPinAction", true},
    {MenuCommand::TestCall, "Пробный звонок…", "testCallAction", true},
};

// Whether item is offered now.
constexpr bool gMenuItemEnabled(const WindowMenuItem& item, bool busy) { return !(busy && item.GreyedWhileBusy); }
