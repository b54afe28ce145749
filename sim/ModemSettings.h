#pragma once
// The settings a modem keeps: those in force, and those it stores as its profile.

#include <cstdint>
#include <string>
#include <string_view>

struct ModemSettings {
    bool Echo = true;
    bool Verbose = true;
    bool Quiet = false;
    int ResultSet = 4;      // X
    int Loudness = 0;       // L
    int DtrMode = 2;        // &D
    int AutoAnswer = 0;     // S0, rings before answering; 0 never answers
    int LineEnd = 13;       // S3, ends a command line and frames results
    int LineFeed = 10;      // S4
    int CarrierWait = 60;   // S7, seconds
    int EscapeGuard = 50;   // S12, fiftieths of a second of silence around +++
    int CauseReport = 0;    // S18, odd: +CAUSE before the result of a released data call
    bool RingReport = false;  // +CRC: +CRING: <type> in place of RING
    int BearerService = 7;  // +CBST speed of its outgoing data calls: 7 V.32, 71 V.110, 9600 bit/s
    uint32_t Speed = 115200;  // interface speed in bit/s; 0 is autobaud

    bool operator==(const ModemSettings&) const = default;
};

// The factory settings at the given interface speed (&F leaves the speed alone).
ModemSettings gFactorySettings(uint32_t speed);

// onto, with the part that &W stores and Z brings back taken from from.
ModemSettings gStoredPart(const ModemSettings& from, const ModemSettings& onto);

// The +CBST speeds it takes for a data call at 2400 to 14400 bit/s, V.32 or V.34 and V.110
// (MC55 AT Command Set, AT+CBST): "0,4,6,7,14,68,70,71,75", with separator between them.
bool gIsBearerService(int speed);
std::string gBearerServiceList(std::string_view separator);

// Interface speeds the modem accepts for +IPR: the metering devices' speeds, and 0.
bool gIsInterfaceSpeed(uint32_t speed);
// Those speeds in ascending order, written out with separator between them.
std::string gInterfaceSpeedList(std::string_view separator);
