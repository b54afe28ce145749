#pragma once
// The few serial services the port logic needs from the operating system, under the
// names the logic thinks in. One implementation per platform; tests script their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/OpenFailure.h"

class Event;

using PortHandle = intptr_t;
inline constexpr PortHandle InvalidPortHandle = -1;

// The outcomes the logic tells apart; Code is the platform's own error number.
enum class ErrorKind { None, Aborted, Pending, Other };

struct SysResult {
    ErrorKind Kind = ErrorKind::None;
    uint32_t Code = 0;
    bool Ok() const { return Kind == ErrorKind::None; }
};

// Line-settings record: the fields the logic sets or keeps, with the packed flag word.
struct LineSettings {
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;
    uint8_t ByteSize = 8;
    uint8_t Parity = 0;
    uint8_t StopBits = 0;
};

namespace LineFlag {
inline constexpr uint32_t Binary = 1u << 0;
inline constexpr uint32_t Parity = 1u << 1;
inline constexpr uint32_t OutxCtsFlow = 1u << 2;
inline constexpr uint32_t OutxDsrFlow = 1u << 3;
inline constexpr uint32_t DtrControlMask = 3u << 4;
inline constexpr uint32_t DtrControlEnable = 1u << 4;
inline constexpr uint32_t DsrSensitivity = 1u << 6;
inline constexpr uint32_t TxContinueOnXoff = 1u << 7;
inline constexpr uint32_t OutX = 1u << 8;
inline constexpr uint32_t InX = 1u << 9;
inline constexpr uint32_t ErrorChar = 1u << 10;
inline constexpr uint32_t Null = 1u << 11;
inline constexpr uint32_t RtsControlMask = 3u << 12;
inline constexpr uint32_t RtsControlEnable = 1u << 12;
inline constexpr uint32_t AbortOnError = 1u << 14;
}  // namespace LineFlag

inline constexpr uint8_t OneStopBit = 0;
inline constexpr uint8_t NoParity = 0;
inline constexpr uint32_t PurgeTxClear = 4;
inline constexpr uint32_t PurgeRxClear = 8;
inline constexpr uint32_t EscapeSetRts = 3;
inline constexpr uint32_t EscapeSetDtr = 5;
inline constexpr uint32_t EventRxChar = 0x0001;
inline constexpr uint32_t EventBreak = 0x0040;

// Read and write time-outs in milliseconds; zero write values mean no write time-out.
struct CommTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

// Events that end a blocking call early. Stop ends a read with what it has, and is only
// looked at, never cleared, so the reply reader's own poll still sees it. Cancel
// (manual-reset) means the owner is going away: reads and writes then fail (kind Other).
struct WakeEvents {
    const Event* Stop = nullptr;
    const Event* Cancel = nullptr;
};

class SerialPlatform {
public:
    virtual ~SerialPlatform() = default;

    // Opens the device named "\\.\COMn" exclusively; InvalidPortHandle when missing or busy.
    virtual PortHandle OpenDevice(const std::string& name) = 0;
    // Why the last OpenDevice on this object failed; Unknown where the platform can't tell.
    virtual OpenFailure LastOpenFailure() const { return {}; }
    virtual SysResult GetLineSettings(PortHandle h, LineSettings& settings) = 0;
    virtual SysResult SetLineSettings(PortHandle h, const LineSettings& settings) = 0;
    virtual SysResult GetTimeouts(PortHandle h, CommTimeouts& timeouts) = 0;
    virtual SysResult SetTimeouts(PortHandle h, const CommTimeouts& timeouts) = 0;
    virtual SysResult SetEventMask(PortHandle h, uint32_t mask) = 0;
    virtual SysResult Purge(PortHandle h, uint32_t flags) = 0;
    virtual SysResult EscapeFunction(PortHandle h, uint32_t function) = 0;
    virtual void ClearLineErrors(PortHandle h) = 0;
    // Reads at most size bytes under the port's time-outs; got may be 0.
    virtual SysResult Read(PortHandle h, uint8_t* buffer, size_t size, size_t& got, WakeEvents wake) = 0;
    // Returns when every byte is out, or on failure.
    virtual SysResult Write(PortHandle h, const uint8_t* data, size_t size, WakeEvents wake) = 0;
    virtual void CloseDevice(PortHandle h) = 0;
    // Pauses the calling thread; a signalled Stop or Cancel ends it early.
    virtual void Pause(uint32_t ms, WakeEvents wake) = 0;
    virtual uint32_t TickMs() = 0;
};

// The machine's own serial services.
std::unique_ptr<SerialPlatform> gMakeSystemSerialPlatform();
