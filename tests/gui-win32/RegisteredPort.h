#pragma once
// A serial port device of the Ports class, registered in the system's own device registry
// (under Wine, the test prefix's) with its names and COM number, as a driver's installer
// leaves one, and removed again at the end.

#include <windows.h>

// clang-format off: initguid.h before the GUIDs it defines here.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <string>
#include <utility>

class RegisteredPort {
public:
    RegisteredPort(const wchar_t* portName, const wchar_t* friendlyName, const wchar_t* maker, const wchar_t* service)
        : Set(SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr)) {
        Device.cbSize = sizeof Device;
        if (!Step("SetupDiCreateDeviceInfoW",
                  SetupDiCreateDeviceInfoW(Set, L"PORTS", &GUID_DEVCLASS_PORTS, nullptr, nullptr, DICD_GENERATE_ID,
                                           &Device)) ||
            !Step("SetupDiRegisterDeviceInfo", SetupDiRegisterDeviceInfo(Set, &Device, 0, nullptr, nullptr, nullptr)))
            return;
        Registered = true;
        for (const auto& [property, text] :
             {std::pair{SPDRP_FRIENDLYNAME, friendlyName}, {SPDRP_MFG, maker}, {SPDRP_SERVICE, service}}) {
            if (!Step("SetupDiSetDeviceRegistryPropertyW", SetupDiSetDeviceRegistryPropertyW(
                                                               Set, &Device, property,
                                                               reinterpret_cast<const BYTE*>(text), Bytes(text))))
                return;
        }
        const HKEY key = SetupDiCreateDevRegKeyW(Set, &Device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        if (!Step("SetupDiCreateDevRegKeyW", key != INVALID_HANDLE_VALUE)) return;
        const LSTATUS set =
            RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName), Bytes(portName));
        RegCloseKey(key);
        if (set != ERROR_SUCCESS) Failure = "RegSetValueExW PortName: " + std::to_string(set);
    }
    ~RegisteredPort() {
        if (Registered) SetupDiCallClassInstaller(DIF_REMOVE, Set, &Device);
        SetupDiDestroyDeviceInfoList(Set);
    }
    RegisteredPort(const RegisteredPort&) = delete;
    RegisteredPort& operator=(const RegisteredPort&) = delete;

    // Empty when the device is registered with all it was given.
    std::string Failure;

private:
    static DWORD Bytes(const wchar_t* text) { return static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)); }
    bool Step(const char* call, BOOL done) {
        if (!done) Failure = std::string(call) + ": " + std::to_string(GetLastError());
        return done;
    }

    const HDEVINFO Set;
    SP_DEVINFO_DATA Device{};
    bool Registered = false;
};
