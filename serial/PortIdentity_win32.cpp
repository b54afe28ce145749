#include "serial/PortIdentity.h"

// clang-format off: windows.h first, initguid.h before the GUIDs it defines here.
#include <windows.h>
#include <cfgmgr32.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <cwchar>
#include <map>
#include <memory>

#include "os/Utf16_win32.h"

// The COM number is the device itself (\\.\COMn); what stands behind it is the present
// device of the Ports class whose PortName is COMn, as Device Manager lists it.

namespace {

std::string Utf8(const wchar_t* text) { return gFromUtf16(text, wcslen(text)); }

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr)) {
        return {};
    }
    return Utf8(buffer);
}

// "COM3" from the device's own key, or empty (printer ports and the like have others).
int ComNumber(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return 0;
    wchar_t name[32] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    if (!read || _wcsnicmp(name, L"COM", 3) != 0) return 0;
    return _wtoi(name + 3);
}

// The serial number that a USB device reports is the last part of its instance id
// (USB\VID_0403&PID_6001\A50285BI); Windows makes one up, with '&' in it, when it has none.
std::string UsbSerial(DEVINST instance) {
    DEVINST parent = 0;
    wchar_t id[MAX_DEVICE_ID_LEN] = {};
    for (DEVINST at = instance; CM_Get_Parent(&parent, at, 0) == CR_SUCCESS; at = parent) {
        if (CM_Get_Device_IDW(parent, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
        if (_wcsnicmp(id, L"USB\\VID_", 8) != 0) continue;
        const wchar_t* last = wcsrchr(id, L'\\');
        return last && !wcschr(last, L'&') ? Utf8(last + 1) : std::string();
    }
    return {};
}

std::map<int, DeviceFacts> PresentPorts() {
    std::map<int, DeviceFacts> ports;
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const int n = ComNumber(set, device);
        if (n <= 0) continue;
        DeviceFacts& facts = ports[n];
        facts.Driver = Property(set, device, SPDRP_SERVICE);
        facts.Vendor = Property(set, device, SPDRP_MFG);
        facts.Product = Property(set, device, SPDRP_FRIENDLYNAME);
        if (facts.Product.empty()) facts.Product = Property(set, device, SPDRP_DEVICEDESC);
        facts.Serial = UsbSerial(device.DevInst);
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

}  // namespace

std::vector<PortIdentity> gIdentifyComPorts(int count) {
    const std::map<int, DeviceFacts> present = PresentPorts();
    std::vector<PortIdentity> ports;
    for (int n = 1; n <= count; ++n) {
        PortIdentity port;
        port.Number = n;
        if (const auto found = present.find(n); found != present.end()) {
            port.Presence = PortPresence::Device;
            port.Device = "COM" + std::to_string(n);
            port.Facts = found->second;
        }
        ports.push_back(port);
    }
    return ports;
}
