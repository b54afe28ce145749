#pragma once
// The result codes of a data call in both forms, as the catalogue's modems send them: the
// virtual modem writes them from this table and the utility reads them by it. The numbers
// are those of the family's AT command sets (MC55_ATC_V04.00 and BGS2T_ATC_V01.301,
// "Verbose and numeric result codes"): OK 0, CONNECT 1, RING 2, NO CARRIER 3, ERROR 4,
// BUSY 7, and CONNECT with the rate 47 to 50 for 2400 to 14400 bit/s. The manuals print
// the rate as "9600/RLP"; the texts here carry the rate alone, as the rows show it.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

struct ResultCode {
    std::string_view Verbose;
    int Numeric = 0;
};

inline constexpr ResultCode ResultOk{"OK", 0};
inline constexpr ResultCode ResultConnect{"CONNECT", 1};
inline constexpr ResultCode ResultRing{"RING", 2};
inline constexpr ResultCode ResultNoCarrier{"NO CARRIER", 3};
inline constexpr ResultCode ResultError{"ERROR", 4};
inline constexpr ResultCode ResultBusy{"BUSY", 7};
// V.250's two other ends of a dial; the reader knows them from any modem.
inline constexpr ResultCode ResultNoDialtone{"NO DIALTONE", 6};
inline constexpr ResultCode ResultNoAnswer{"NO ANSWER", 8};

struct ConnectRate {
    uint32_t Bearer = 0;
    ResultCode Code;
};

inline constexpr std::array<ConnectRate, 4> ConnectRates = {{
    {2400, {"CONNECT 2400", 47}},
    {4800, {"CONNECT 4800", 48}},
    {9600, {"CONNECT 9600", 49}},
    {14400, {"CONNECT 14400", 50}},
}};

// The CONNECT of a modem at result set X for a call at bearer bit/s: X0 gives no rate;
// nothing when the bearer is none of the table's.
inline std::optional<ResultCode> gConnectCode(int resultSet, uint32_t bearer) {
    if (resultSet == 0) return ResultConnect;
    for (const auto& rate : ConnectRates)
        if (rate.Bearer == bearer) return rate.Code;
    return std::nullopt;
}

// Busy detection is off below X3: the caller of a busy number hears NO CARRIER.
inline ResultCode gBusyCode(int resultSet) {
    return resultSet >= 3 ? ResultBusy : ResultNoCarrier;
}
