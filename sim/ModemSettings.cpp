#include "sim/ModemSettings.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<uint32_t, 11> InterfaceSpeeds = {
    0, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
}

ModemSettings gFactorySettings(uint32_t speed) {
    ModemSettings s;
    s.Speed = speed;
    return s;
}

ModemSettings gStoredPart(const ModemSettings& from, const ModemSettings& onto) {
    ModemSettings s = onto;
    s.Echo = from.Echo;
    s.Verbose = from.Verbose;
    s.ResultSet = from.ResultSet;
    s.Loudness = from.Loudness;
    s.DtrMode = from.DtrMode;
    s.AutoAnswer = from.AutoAnswer;
    s.CarrierWait = from.CarrierWait;
    s.Speed = from.Speed;
    return s;
}

bool gIsInterfaceSpeed(uint32_t speed) {
    return std::find(InterfaceSpeeds.begin(), InterfaceSpeeds.end(), speed) != InterfaceSpeeds.end();
}

std::string gInterfaceSpeedList(std::string_view separator) {
    std::string list;
    for (const uint32_t speed : InterfaceSpeeds) {
        if (!list.empty()) list += separator;
        list += std::to_string(speed);
    }
    return list;
}
