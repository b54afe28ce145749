#include "sim/ModemSettings.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<uint32_t, 11> InterfaceSpeeds = {
    0, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
constexpr std::array<int, 9> BearerServices = {0, 4, 6, 7, 14, 68, 70, 71, 75};

template <typename List> std::string Written(const List& list, std::string_view separator) {
    std::string text;
    for (const auto value : list) {
        if (!text.empty()) text += separator;
        text += std::to_string(value);
    }
    return text;
}
}  // namespace

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
    s.CauseReport = from.CauseReport;
    s.RingReport = from.RingReport;
    s.BearerService = from.BearerService;
    s.Speed = from.Speed;
    return s;
}

bool gIsInterfaceSpeed(uint32_t speed) {
    return std::find(InterfaceSpeeds.begin(), InterfaceSpeeds.end(), speed) != InterfaceSpeeds.end();
}

std::string gInterfaceSpeedList(std::string_view separator) { return Written(InterfaceSpeeds, separator); }

bool gIsBearerService(int speed) {
    return std::find(BearerServices.begin(), BearerServices.end(), speed) != BearerServices.end();
}

std::string gBearerServiceList(std::string_view separator) { return Written(BearerServices, separator); }
